#include "sound/ScenarioSound.h"

#include <cstdio>

#include "frame/DebugOutput.h"
#include "sound/CCDDA.h"
#include "sound/CSound.h"
#include "sound/CSoundMp3.h"
#include "sound/CStreamMusic.h"
#include "sound/MediaObject.h"

using scenario::HostResult;

std::string SoundFilePath(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name + ".wav" : folder + "\\" + name + ".wav";
}

bool MusicFilePath(const std::string& folder, int track, std::string* out)
{
    char name[256];
    int n = std::snprintf(name, sizeof name, "%s\\%02d.wav", folder.c_str(), track);
    if (n < 0 || n >= static_cast<int>(sizeof name)) {
        return false;
    }
    *out = name;
    return true;
}

CScenarioSound::CScenarioSound(std::function<SoundSettings()> settings, CCDDA* cd, CAudioMixer* mixer)
    : settings_(std::move(settings)), cd_(cd), mixer_(mixer)
{
    SoundSettings s = settings_();
    if (s.useWindowsMP3Codec == 0) {
        voice_ = std::make_unique<CSoundMp3>();
        music_ = std::make_unique<CSoundMp3>();
    } else {
        voice_ = std::make_unique<CSound>();
        music_ = std::make_unique<CStreamMusic>();
    }
    se_ = std::make_unique<CSound>();
}

CScenarioSound::~CScenarioSound() = default;

SoundChannels CScenarioSound::Channels() const
{
    return {music_.get(), voice_.get(), se_.get()};
}

void CScenarioSound::PlayOn(CMediaObject* channel, const std::string& path, int level, bool loop)
{
    // The previous sound goes first; a file that does not load leaves the channel silent.
    if (channel->Load(path) != 0) {
        return;
    }
    channel->SetVolume(LevelToVolume(level));
    channel->SetLoop(loop);
    channel->Play();
}

HostResult CScenarioSound::PlaySe(const std::string& name, bool loop)
{
    SoundSettings s = settings_();
    if (s.seLevel == 0) {
        return HostResult::kDone;
    }
    if (loop) {
        PlayOn(se_.get(), SoundFilePath(s.seDir, name), s.se2Level, true);
    } else {
        PlayOn(voice_.get(), SoundFilePath(s.voiceDir, name), s.seLevel, false);
    }
    return HostResult::kDone;
}

HostResult CScenarioSound::StopSe()
{
    voice_->Stop();
    se_->Stop();
    return HostResult::kDone;
}

HostResult CScenarioSound::PlayVoice(const std::string& name)
{
    SoundSettings s = settings_();
    const std::string path = SoundFilePath(s.voiceDir, name);
    if (voiceListener_) {
        voiceListener_(path);
    }
    if (s.seLevel == 0) {
        return HostResult::kDone;
    }
    PlayOn(voice_.get(), path, s.seLevel, false);
    return HostResult::kDone;
}

HostResult CScenarioSound::PlayMusic(int32_t track)
{
    SoundSettings s = settings_();
    if (s.bgmCDDA == 0) {
        std::string path;
        if (s.seLevel == 0 || !MusicFilePath(s.bgmDir, track, &path)) {
            return HostResult::kDone;
        }
        if (music_->Load(path) == 0) {
            music_->SetVolume(LevelToVolume(s.cdLevel));
            music_->SetLoop(true);
            music_->Play();
        }
        DebugOutput("StartCDDA " + path + "\n");
        return HostResult::kDone;
    }
    if (!cd_) {
        return HostResult::kDone;
    }
    if (cd_->IsOpen()) {
        if (s.cdLevel != 0) {
            cd_->SetLoop(true);
            cd_->PlayTrack(track);
            DebugOutput("StartCDDA " + std::to_string(track) + "\n");
        }
    } else {
        DebugOutput("StartCDDA Failed\n");
    }
    return HostResult::kDone;
}

HostResult CScenarioSound::StopMusic()
{
    music_->Stop();
    if (cd_ && cd_->IsPlaying()) {
        cd_->Stop();
    }
    return HostResult::kDone;
}
