#pragma once
// CScenarioSound: the scenario engine's three sound channels (music, voice,
// sound effect) and its sound instructions. The channels are chosen once, by
// "useWindowsMP3Codec": 0 makes the voice channel and the music CSoundMp3
// objects (decoded whole by our MP3 decoder, whatever the extension) and the
// sound-effect channel a CSound; otherwise both effect channels are CSound
// objects and the music is a CStreamMusic. Music comes from CD audio instead
// when "bgmCDDA" is set.
#include <functional>
#include <memory>
#include <string>

#include "scenario/ScenarioHost.h"

class CMediaObject;
class CCDDA;
class CAudioMixer;

// The settings the sound instructions read, current at each call.
struct SoundSettings {
    int cdLevel = 255;    // music volume 0..255
    int seLevel = 255;    // voice (and one-shot) volume 0..255; 0 silences every effect
    int se2Level = 255;   // looping sound-effect volume 0..255
    int bgmCDDA = 0;      // music from CD tracks when non-zero
    int useWindowsMP3Codec = 1;
    std::string seDir;
    std::string voiceDir;
    std::string bgmDir;
    std::string CDDADrive;
};

struct SoundChannels {
    CMediaObject* music = nullptr;
    CMediaObject* voice = nullptr;
    CMediaObject* se = nullptr;
};

class CScenarioSound : public scenario::SoundService {
public:
    // Makes the channels by the settings as they are now; cd and mixer are
    // not owned and may be null (no CD music then).
    CScenarioSound(std::function<SoundSettings()> settings, CCDDA* cd, CAudioMixer* mixer);
    ~CScenarioSound() override;

    // One-shot: "<voiceDir>\<name>.wav" on the voice channel at seLevel;
    // looping: "<seDir>\<name>.wav" on the effect channel at se2Level.
    // Nothing plays when seLevel is 0. A file that does not load plays nothing.
    scenario::HostResult PlaySe(const std::string& name, bool loop) override;
    // Stops the voice and effect channels.
    scenario::HostResult StopSe() override;
    // "<voiceDir>\<name>.wav" on the voice channel at seLevel. The path goes
    // to the voice listener first, even when the voice level silences it.
    scenario::HostResult PlayVoice(const std::string& name) override;
    // Music track from files ("<bgmDir>\%02d.wav", looping, at cdLevel;
    // nothing when seLevel is 0) or from the CD (nothing when cdLevel is 0).
    scenario::HostResult PlayMusic(int32_t track) override;
    scenario::HostResult StopMusic() override;

    // Told the path of every voice line (the backlog keeps it with its page).
    void SetVoiceListener(std::function<void(const std::string& path)> listener) { voiceListener_ = std::move(listener); }
    SoundChannels Channels() const;
    CCDDA* GetCD() const { return cd_; }
    CAudioMixer* GetMixer() const { return mixer_; }

private:
    void PlayOn(CMediaObject* channel, const std::string& path, int level, bool loop);

    std::function<SoundSettings()> settings_;
    std::function<void(const std::string&)> voiceListener_;
    std::unique_ptr<CMediaObject> music_;
    std::unique_ptr<CMediaObject> voice_;
    std::unique_ptr<CMediaObject> se_;
    CCDDA* cd_;
    CAudioMixer* mixer_;
};

// "<folder>\<name>.wav" ("<name>.wav" without a folder).
std::string SoundFilePath(const std::string& folder, const std::string& name);
// "<folder>\%02d.wav" for a music track; false when it would not fit the
// program's 256-byte name buffer.
bool MusicFilePath(const std::string& folder, int track, std::string* out);
