#include "sound/CkmRawWave.h"

#include <algorithm>

CkmRawWave::CkmRawWave() = default;
CkmRawWave::~CkmRawWave() = default;

bool CkmRawWave::Open(const char* name)
{
    WAVEFORMATEX* format = nullptr;
    std::unique_ptr<kmFile> file = kmOpenAudioSource(name, "CkmRawWave:getWaveFotmat失敗", &format);
    if (!file || format->wFormatTag != WAVE_FORMAT_PCM) {
        return false;
    }
    file_ = std::move(file);
    format_ = format;
    return true;
}

uint32_t CkmRawWave::Read(void* buffer, uint32_t bytes)
{
    if (bytes == 0 || !buffer || !file_) {
        return 0;
    }
    int got = file_->Read(buffer, bytes);
    uint32_t total = got > 0 ? static_cast<uint32_t>(got) : 0;
    if (total < bytes && loop_) {
        file_->Rewind();
        int more = file_->Read(static_cast<uint8_t*>(buffer) + total, bytes - total);
        total += more > 0 ? static_cast<uint32_t>(more) : 0;
    }
    return total;
}

int CkmRawWave::GetLength()
{
    if (!format_ || format_->nAvgBytesPerSec == 0) {
        return 0;
    }
    return static_cast<int>(static_cast<uint64_t>(GetSize()) * 1000 / format_->nAvgBytesPerSec);
}

int CkmRawWave::GetPosition()
{
    if (!format_ || format_->nAvgBytesPerSec == 0) {
        return 0;
    }
    int pos = file_->Tell();
    return pos < 0 ? 0 : static_cast<int>(static_cast<uint64_t>(pos) * 1000 / format_->nAvgBytesPerSec);
}

bool CkmRawWave::Seek(uint32_t bytes)
{
    if (!file_) {
        return false;
    }
    file_->Rewind();
    file_->Skip(static_cast<int>(std::min<uint32_t>(bytes, INT32_MAX)));
    return true;
}

bool CkmRawWave::SetLoop(bool loop)
{
    bool previous = loop_;
    loop_ = loop;
    return previous;
}

const WAVEFORMATEX* CkmRawWave::GetFormat()
{
    return format_;
}

uint32_t CkmRawWave::GetSize()
{
    return file_ ? file_->GetSize() : 0;
}

uint32_t CkmRawWave::GetBufferSize(uint32_t seconds)
{
    if (!format_) {
        return 0;
    }
    uint64_t bytes = static_cast<uint64_t>(format_->nBlockAlign) * format_->nSamplesPerSec * seconds;
    return bytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(bytes);
}
