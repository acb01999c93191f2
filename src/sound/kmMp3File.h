#pragma once
// kmMp3File: a loose MP3 file presented as Layer-3 data (for a codec): the
// data starts 4 bytes after the first frame's sync (after any ID3v2 tag) and
// ends before a trailing 128-byte "TAG" block.
#include <cstdio>

#include "sound/kmFile.h"

class kmMp3File : public virtual kmFile {
public:
    kmMp3File();
    ~kmMp3File() override;
    bool Close() override;
    bool Open(const char* name) override;
    // Reads up to min(bytes left, bytes); 0 on a read error.
    int Read(void* buffer, uint32_t bytes) override;
    // -1 when closed; else 0.
    int Rewind() override;
    // 0 for 0 bytes (even when closed); -1 when closed; else the new file position.
    int Skip(int bytes) override;
    int Tell() override;
    WAVEFORMATEX* GetFormat() override;
    uint32_t GetSize() override;

private:
    bool open_ = false;
    std::FILE* file_ = nullptr;
    MPEGLAYER3WAVEFORMAT format_;
    int64_t left_ = 0;
    uint32_t dataBytes_ = 0;
    int64_t dataStart_ = 0;
};
