#pragma once
// kmACMtoPCM: compressed WAVE data (ADPCM, A-law, mu-law, GSM, MPEG) or MP3
// data converted to 16-bit PCM through the codec-conversion stream.
#include <memory>
#include <vector>

#include "sound/PcmReader.h"
#include "sound/kmFile.h"

namespace platform::media {
class AcmStream;
}

class kmACMtoPCM : public CPcmReader {
public:
    kmACMtoPCM();
    ~kmACMtoPCM() override;
    // False for a missing file, PCM data (CkmRawWave's) or a format no codec takes.
    bool Open(const char* name) override;
    uint32_t Read(void* buffer, uint32_t bytes) override;
    int GetLength() override;
    int GetPosition() override;
    bool Seek(uint32_t bytes) override;
    bool SetLoop(bool loop) override;
    const WAVEFORMATEX* GetFormat() override;
    uint32_t GetSize() override;
    uint32_t GetBufferSize(uint32_t seconds) override;

private:
    // Converts `length` source bytes into target; returns the bytes produced
    // (the whole room as silence when the codec gave nothing), 0 on failure.
    uint32_t Convert(uint32_t length, uint8_t* target, uint32_t room);

    std::unique_ptr<kmFile> file_;
    WAVEFORMATEX* source_ = nullptr;
    WAVEFORMATEX target_;
    std::unique_ptr<platform::media::AcmStream> stream_;
    uint32_t minimumBlock_ = 0;
    std::vector<uint8_t> sourceBuffer_;
    std::vector<uint8_t> hold_;
    uint32_t holdCount_ = 0;
    uint32_t holdOffset_ = 0;
    bool loop_ = true;
};
