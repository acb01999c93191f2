#include "sound/CPcmDirectShow.h"

#include "frame/ErrorLog.h"
#include "frame/FileLayer.h"
#include "platform/Media.h"

CPcmDirectShow::CPcmDirectShow() = default;
CPcmDirectShow::~CPcmDirectShow() = default;

bool CPcmDirectShow::Open(const char* name)
{
    decoder_.reset();
    if (!name) {
        return false;
    }
    decoder_ = platform::media::AudioFileDecoder::Open(MakeFullPath(name));
    if (!decoder_) {
        gErrorLog.Print("%s:File OpenError.", name);
        return false;
    }
    format_ = decoder_->GetFormat();
    return true;
}

uint32_t CPcmDirectShow::Read(void* buffer, uint32_t bytes)
{
    if (!decoder_ || !buffer || bytes == 0) {
        return 0;
    }
    int64_t got = decoder_->Read(buffer, bytes);
    if (got < 0) {
        return 0;
    }
    if (got == 0 && loop_) {
        // At the end: back to time 0 and read again, once (an empty stream must not spin).
        if (!decoder_->Seek(0)) {
            return 0;
        }
        got = decoder_->Read(buffer, bytes);
        return got > 0 ? static_cast<uint32_t>(got) : 0;
    }
    return static_cast<uint32_t>(got);
}

int CPcmDirectShow::GetLength()
{
    if (!decoder_ || decoder_->GetDuration() < 0) {
        return 0;
    }
    return static_cast<int>(decoder_->GetDuration() / 10000);
}

int CPcmDirectShow::GetPosition()
{
    if (!decoder_) {
        return -1;
    }
    int64_t end = decoder_->GetLastSampleEnd();
    return end < 0 ? -1 : static_cast<int>(end / 10000);
}

bool CPcmDirectShow::Seek(uint32_t bytes)
{
    if (!decoder_ || format_.nAvgBytesPerSec == 0) {
        return false;
    }
    return decoder_->Seek(static_cast<int64_t>(bytes) * 10000000 / format_.nAvgBytesPerSec);
}

bool CPcmDirectShow::SetLoop(bool loop)
{
    bool previous = loop_;
    loop_ = loop;
    return previous;
}

const WAVEFORMATEX* CPcmDirectShow::GetFormat()
{
    return decoder_ ? &format_ : nullptr;
}

uint32_t CPcmDirectShow::GetSize()
{
    if (!decoder_ || decoder_->GetDuration() < 0 || format_.nBlockAlign == 0) {
        return 0;
    }
    uint64_t bytes = static_cast<uint64_t>(format_.nSamplesPerSec) * format_.nBlockAlign *
                     static_cast<uint64_t>(decoder_->GetDuration()) / 10000000;
    bytes = (bytes + format_.nBlockAlign - 1) / format_.nBlockAlign * format_.nBlockAlign;
    return bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
}

uint32_t CPcmDirectShow::GetBufferSize(uint32_t seconds)
{
    if (!decoder_) {
        return 0;
    }
    uint64_t bytes = static_cast<uint64_t>(format_.nBlockAlign) * format_.nSamplesPerSec * seconds;
    return bytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(bytes);
}
