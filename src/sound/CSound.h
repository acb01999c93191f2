#pragma once
// CSound: a whole sound file decoded through a PCM reader (chosen by its
// reader factory) into one static buffer. A second CSound of the same file
// plays the first one's samples through a duplicate buffer.
#include <set>
#include <string>

#include "sound/CBufferedSound.h"

class CSound : public CBufferedSound {
public:
    CSound();
    ~CSound() override;

    // A SoundLoadResult.
    int Load(std::string path) override;

    // The registry walks of the shared device.
    static void ReleaseAllBuffers();
    static void ReloadAll();
};

// The live CSound objects, in address order.
extern std::set<CSound*> gSoundRegistryA;
