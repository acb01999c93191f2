// A test audio reader plug-in: opens any name ending in ".tone" as one
// second of 8000 Hz mono 16-bit PCM whose sample i is (i x 3) mod 1000.
#include <cstring>
#include <string>

#include "sound/PcmReader.h"

namespace {

class ToneReader : public CPcmReader {
public:
    bool Open(const char* name) override
    {
        std::string n = name ? name : "";
        if (n.size() < 5 || n.compare(n.size() - 5, 5, ".tone") != 0) {
            return false;
        }
        format_.wFormatTag = 1;
        format_.nChannels = 1;
        format_.nSamplesPerSec = 8000;
        format_.wBitsPerSample = 16;
        format_.nBlockAlign = 2;
        format_.nAvgBytesPerSec = 16000;
        open_ = true;
        return true;
    }
    uint32_t Read(void* buffer, uint32_t bytes) override
    {
        auto* out = static_cast<int16_t*>(buffer);
        uint32_t n = 0;
        for (; n + 2 <= bytes; n += 2) {
            if (pos_ >= 8000) {
                if (!loop_) break;
                pos_ = 0;
            }
            out[n / 2] = static_cast<int16_t>((pos_ * 3) % 1000);
            ++pos_;
        }
        return n;
    }
    int GetLength() override { return 1000; }
    int GetPosition() override { return static_cast<int>(pos_ / 8); }
    bool Seek(uint32_t bytes) override
    {
        pos_ = bytes / 2;
        return true;
    }
    bool SetLoop(bool loop) override
    {
        bool old = loop_;
        loop_ = loop;
        return old;
    }
    const WAVEFORMATEX* GetFormat() override { return open_ ? &format_ : nullptr; }
    uint32_t GetSize() override { return 16000; }
    uint32_t GetBufferSize(uint32_t seconds) override { return 16000 * seconds; }

private:
    WAVEFORMATEX format_;
    bool open_ = false;
    bool loop_ = true;
    uint32_t pos_ = 0;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) int CreateInstance(void** out, const char* interfaceName)
{
    if (!out || !interfaceName || std::strcmp(interfaceName, "AudioReaderPlugin") != 0) {
        return 1;
    }
    *out = static_cast<CPcmReader*>(new ToneReader);
    return 0;
}
