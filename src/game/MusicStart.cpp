#include "game/MusicStart.h"

#include "frame/DebugOutput.h"
#include "game/GameConfig.h"
#include "sound/CAudioMixer.h"
#include "sound/CCDDA.h"
#include "sound/MediaObject.h"

SoundSettings CurrentSoundSettings()
{
    SoundSettings s;
    s.cdLevel = gConfig.cdLevel;
    s.seLevel = gConfig.seLevel;
    s.se2Level = gConfig.se2Level;
    s.bgmCDDA = gConfig.bgmCDDA;
    s.useWindowsMP3Codec = gConfig.useWindowsMP3Codec;
    s.seDir = gConfig.seDir;
    s.voiceDir = gConfig.voiceDir;
    s.bgmDir = gConfig.bgmDir;
    s.CDDADrive = gConfig.CDDADrive;
    return s;
}

int StartCDDA(CAudioMixer* mixer, CCDDA* cdPlayer, int track, const SoundChannels& channels)
{
    const bool fromFiles = gConfig.bgmCDDA == 0;
    if (fromFiles) {
        if (channels.music) {
            channels.music->SetVolume(LevelToVolume(gConfig.cdLevel));
        }
    } else if (mixer) {
        mixer->SetVolume(3, gConfig.cdLevel * 255, 0);
    }
    if (channels.voice) {
        channels.voice->SetVolume(LevelToVolume(gConfig.seLevel));
    }
    if (channels.se) {
        channels.se->SetVolume(LevelToVolume(gConfig.se2Level));
    }
    if (cdPlayer) {
        cdPlayer->Close();
    }
    for (CMediaObject* channel : {channels.music, channels.voice, channels.se}) {
        if (channel) {
            channel->Stop();
        }
    }
    if (fromFiles) {
        std::string path;
        // The voice level gates the music here, as it always has.
        if (track != kNoMusicTrack && gConfig.seLevel != 0 && channels.music &&
            MusicFilePath(gConfig.bgmDir, track, &path)) {
            channels.music->Load(path);
            channels.music->SetVolume(LevelToVolume(gConfig.cdLevel));
            channels.music->Play();
            DebugOutput("StartCDDA " + path + "\n");
        }
    } else if (cdPlayer) {
        cdPlayer->Open(gConfig.CDDADrive);
        if (track != kNoMusicTrack && cdPlayer->IsOpen()) {
            cdPlayer->PlayTrack(track);
        }
    }
    DebugOutput("Change Drive ");
    DebugOutput(gConfig.CDDADrive);
    DebugOutput("\n");
    return 0;
}
