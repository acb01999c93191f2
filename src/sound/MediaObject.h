#pragma once
// CMediaObject: the one interface through which the game plays anything
// (sounds, music, movies). Callers never test the concrete class. Times are
// milliseconds (-1 = none); volumes are attenuations in hundredths of a
// decibel (0 full, -10000 silent); results are 0 for success.
#include <string>

class CMediaObject {
public:
    virtual ~CMediaObject() = default;

    // Opens or loads the named file (sounds: the same as Load).
    virtual int Open(const char* name) = 0;
    // Stops and releases what Open/Load made.
    virtual int Close() = 0;
    // Starts playing (sounds from the start; music from its start position).
    virtual int Play() = 0;
    // Undoes one Pause.
    virtual int Resume() = 0;
    // Stops (sounds and music fade out over 25 ms first).
    virtual int Stop() = 0;
    // Pauses, keeping the position.
    virtual int Pause() = 0;
    virtual bool IsPlaying() = 0;
    virtual bool GetLoop() = 0;
    // Takes effect at the next start; 0.
    virtual int SetLoop(bool loop) = 0;
    // Current position in ms; -1 when there is none.
    virtual int GetPosition() = 0;
    virtual int SetPosition(int ms) = 0;
    virtual int GetLength() = 0;
    virtual int SetVolume(int volume) = 0;
    virtual int GetVolume() = 0;
    // Loads a file; the base ignores the path and returns 0.
    virtual int Load(std::string path);

    // Splits ms into hours (not wrapped at 24), minutes, seconds and the rest;
    // -1 with the outputs untouched when ms is negative, else 0.
    int MsToHMS(int ms, int* h, int* m, int* s, int* rest);
    // Joins a time (inverse of MsToHMS); -1 with *ms untouched when any part is negative.
    int HMSToMs(int* ms, int h, int m, int s, int rest);
};

// The 25 ms fade that Stop plays: sets from - t x step for the elapsed t
// (step = (from + 10000) / 25), then -10000. Blocks for 25 ms, spinning on
// the real clock (a sleep's granularity would stretch it; a test's manual
// frame clock must not freeze it).
void FadeOutWith(int from, void (*set)(void*, int), void* context);
template <typename SetVolume>
void FadeOut(int from, SetVolume setVolume)
{
    FadeOutWith(from, [](void* ctx, int v) { (*static_cast<SetVolume*>(ctx))(v); }, &setVolume);
}

// A settings level 0..255 as an attenuation: -(integer part of
// 10^((255 - level) x 4 / 255)); 255 gives -1, 128 gives -98, 0 gives -10000.
// Levels outside 0..255 are clamped (they would give attenuations below -10000).
int LevelToVolume(int level);
