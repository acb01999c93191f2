#pragma once
// StartCDDA: (re)starts a music track with the current settings (after the
// options dialog closes with OK and after a saved game is loaded): sets the
// music, voice and effect volumes, stops whatever plays, then plays the track
// from CD ("bgmCDDA" set) or as "<bgmDir>\%02d.wav". Track 999 starts nothing.
#include "sound/ScenarioSound.h"

class CAudioMixer;
class CCDDA;

constexpr int kNoMusicTrack = 999;

// Always 0; failures (no disc, a missing file) leave the music silent.
// The channels are the scenario engine's; any of mixer, cdPlayer may be null.
int StartCDDA(CAudioMixer* mixer, CCDDA* cdPlayer, int track, const SoundChannels& channels);

// The sound settings as gConfig holds them now (for CScenarioSound).
SoundSettings CurrentSoundSettings();
