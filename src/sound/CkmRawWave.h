#pragma once
// CkmRawWave: uncompressed PCM straight from a RIFF WAVE file.
#include <memory>

#include "sound/PcmReader.h"
#include "sound/kmFile.h"

class CkmRawWave : public CPcmReader {
public:
    CkmRawWave();
    ~CkmRawWave() override;
    // False for a missing file, a file without format, or non-PCM data.
    bool Open(const char* name) override;
    // Wraps to the data start at most once per call when looping.
    uint32_t Read(void* buffer, uint32_t bytes) override;
    int GetLength() override;
    int GetPosition() override;
    bool Seek(uint32_t bytes) override;
    bool SetLoop(bool loop) override;
    const WAVEFORMATEX* GetFormat() override;
    uint32_t GetSize() override;
    uint32_t GetBufferSize(uint32_t seconds) override;

private:
    std::unique_ptr<kmFile> file_;
    WAVEFORMATEX* format_ = nullptr;
    bool loop_ = true;
};
