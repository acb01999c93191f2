#pragma once
// CSoundMp3: a whole MP3 file decoded by the program's own MP3 decoder into
// one static buffer. A second CSoundMp3 of the same file shares the first
// one's samples. Its reader factory is kept and handed out, never used.
#include <set>
#include <string>

#include "sound/CBufferedSound.h"

class CSoundMp3 : public CBufferedSound {
public:
    CSoundMp3();
    ~CSoundMp3() override;

    // A SoundLoadResult (a file that does not open as MP3 is kSoundNotLoaded).
    int Load(std::string path) override;
};

// The live CSoundMp3 objects, in address order.
extern std::set<CSoundMp3*> gSoundRegistryB;
