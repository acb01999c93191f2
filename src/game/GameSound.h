#pragma once
// CGameSound: the game's sound for the scenario executor. It owns the
// scenario's sound service (CScenarioSound, reading the settings from gConfig
// at every call) and plays through the game's CD audio player and audio
// mixer, which the game object owns and keeps alive longer than this object.
//
// The game object makes one call when it starts, after the settings are
// loaded: host.SetSounds(sound.Start()); and RestartMusic with the
// executor's current track after a saved game is loaded and after the
// options dialog closes with OK.
#include <functional>
#include <memory>
#include <string>

#include "scenario/ScenarioHost.h"

class CAudioMixer;
class CCDDA;
class CScenarioSound;

class CGameSound {
public:
    // cd and mixer are not owned; either may be null (no CD music, no line gains).
    CGameSound(CCDDA* cd, CAudioMixer* mixer);
    ~CGameSound();
    CGameSound(const CGameSound&) = delete;
    CGameSound& operator=(const CGameSound&) = delete;

    // Makes the channels from the settings as gConfig holds them now
    // ("useWindowsMP3Codec" takes effect here only; a second Start replaces
    // the channels, stopping what they play) and sets the mixer's CD line to
    // "cdLevel". Returns the service for the executor's host (owned here).
    scenario::SoundService* Start();
    // Told the path of every voice line, by the channels of every Start.
    void SetVoiceListener(std::function<void(const std::string& path)> listener);
    // The service Start made; null before Start.
    scenario::SoundService* Service() const;
    // The scenario's channels and CD music; null before Start.
    CScenarioSound* Sound() const { return sound_.get(); }
    // StartCDDA with the channels: volumes from the settings, everything
    // stopped, then the track (999: none) from files or from the CD.
    // 0; 1 before Start.
    int RestartMusic(int track);

private:
    CCDDA* cd_;
    CAudioMixer* mixer_;
    std::unique_ptr<CScenarioSound> sound_;
    std::function<void(const std::string&)> voiceListener_;
};
