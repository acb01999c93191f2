#pragma once
// CPcmDirectShow: anything the media decoder can read (opened by path as a
// loose file), delivered as 16-bit PCM at the stream's own rate.
#include <memory>

#include "sound/PcmReader.h"

namespace platform::media {
class AudioFileDecoder;
}

class CPcmDirectShow : public CPcmReader {
public:
    CPcmDirectShow();
    ~CPcmDirectShow() override;
    // False (after "%s:File OpenError.") when the file has no decodable audio.
    bool Open(const char* name) override;
    // Wraps to the start at the end when looping; 0 at the end otherwise.
    uint32_t Read(void* buffer, uint32_t bytes) override;
    int GetLength() override;
    // End of the last block read; -1 before any read.
    int GetPosition() override;
    bool Seek(uint32_t bytes) override;
    bool SetLoop(bool loop) override;
    const WAVEFORMATEX* GetFormat() override;
    // Whole blocks covering the duration; 0 when it is unknown.
    uint32_t GetSize() override;
    uint32_t GetBufferSize(uint32_t seconds) override;

private:
    std::unique_ptr<platform::media::AudioFileDecoder> decoder_;
    WAVEFORMATEX format_;
    bool loop_ = true;
};
