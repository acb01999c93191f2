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

    // 0 loaded (or an empty path); 1 no device, no such file, no sharer
    // duplicate, or a file that does not open as MP3; 7 no buffer; 8 lock
    // failed; 10 unlock failed.
    int Load(std::string path) override;
};

// The live CSoundMp3 objects, in address order.
extern std::set<CSoundMp3*> gSoundRegistryB;
