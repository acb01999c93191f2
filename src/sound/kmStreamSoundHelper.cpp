#include "sound/kmStreamSoundHelper.h"

#include <cstring>

#include "frame/ErrorLog.h"
#include "sound/CDirectSound.h"
#include "sound/PcmReader.h"

kmStreamSoundHelper::kmStreamSoundHelper(CDirectSound* device, CPcmReader* reader)
    : device_(device), reader_(reader)
{
    SoundUseIn();
}

kmStreamSoundHelper::~kmStreamSoundHelper()
{
    if (buffer_) {
        buffer_->Stop();
        buffer_.reset();
    }
    SoundUseOut();
}

bool kmStreamSoundHelper::Reset()
{
    carry_ = 0;
    writeOffset_ = 0;
    ringSize_ = 0;
    return true;
}

std::shared_ptr<platform::SoundBuffer> kmStreamSoundHelper::CreateDirectSoundBuffer(int seconds)
{
    seconds_ = seconds;
    ringSize_ = reader_->GetBufferSize(static_cast<uint32_t>(seconds));
    const WAVEFORMATEX* format = reader_->GetFormat();
    platform::AudioDevice* device = device_ ? device_->GetDevice() : nullptr;
    int32_t r = platform::kAudioErrNoDevice;
    if (device && format) {
        platform::BufferDesc desc;
        desc.flags = platform::kBufGetCurrentPosition2 | platform::kBufGlobalFocus |
                     platform::kBufCtrlVolume | platform::kBufLocSoftware;
        desc.bytes = ringSize_;
        desc.format = *format;
        r = device->CreateSoundBuffer(desc, &buffer_);
    }
    if (r != platform::kAudioOk) {
        gErrorLog.Print("kmStreamSoundHelper::CreateDirectSoundBufferのCreateSoundBuffer()で失敗！:%x", r);
        buffer_.reset();
        return nullptr;
    }
    ringSize_ = buffer_->GetSize();
    ClearBuffer();
    return buffer_;
}

int32_t kmStreamSoundHelper::LockRing(uint32_t offset, uint32_t bytes, void** p1, uint32_t* n1, void** p2,
                                      uint32_t* n2)
{
    int32_t r = buffer_->Lock(offset, bytes, p1, n1, p2, n2, 0);
    if (r == platform::kAudioErrBufferLost) {
        if (device_) {
            device_->RestoreAll();
        }
        buffer_->Restore();
        r = buffer_->Lock(offset, bytes, p1, n1, p2, n2, 0);
    }
    return r;
}

int kmStreamSoundHelper::ClearBuffer()
{
    if (!buffer_) {
        return 1;
    }
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    int32_t r = LockRing(0, ringSize_, &p1, &n1, &p2, &n2);
    if (r != platform::kAudioOk) {
        buffer_->Stop();
        gErrorLog.Print("kmStreamSoundHelper::CreateDirectSoundBufferのm_lpDSBuffer->Lockに失敗！%x", r);
        return 1;
    }
    std::memset(p1, SilenceByte(), n1);
    r = buffer_->Unlock(p1, n1, p2, n2);
    if (r != platform::kAudioOk) {
        gErrorLog.Print("kmStreamSoundHelper::CreateDirectSoundBufferのm_lpDSBuffer->Unlockに失敗！%x", r);
        return 2;
    }
    return 0;
}

bool kmStreamSoundHelper::UpdateDirectSound(uint32_t n, uint32_t* written)
{
    *written = 0;
    if (!buffer_ || ringSize_ == 0) {
        return false;
    }
    n += carry_;
    carry_ = 0;
    if (n > ringSize_ - writeOffset_) {
        carry_ = n - (ringSize_ - writeOffset_);
        n = ringSize_ - writeOffset_;
    }
    if (n == 0) {
        return true;
    }
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    if (LockRing(writeOffset_, n, &p1, &n1, &p2, &n2) != platform::kAudioOk) {
        buffer_->Stop();
        return false;
    }
    if (silence_) {
        std::memset(p1, SilenceByte(), n1);
        carry_ = 0;
        writeOffset_ = (writeOffset_ + n1) % ringSize_;
        return buffer_->Unlock(p1, n1, p2, 0) == platform::kAudioOk;
    }
    uint32_t got = reader_->Read(p1, n1);
    if (got < n1) {
        // Past the end of the data: silence rather than the ring's old contents.
        std::memset(static_cast<uint8_t*>(p1) + got, SilenceByte(), n1 - got);
    }
    int32_t r = buffer_->Unlock(p1, n1, p2, 0);
    if (r != platform::kAudioOk) {
        gErrorLog.Print("kmStreamSoundHelper::UpdateDirectSoundのm_lpDSBuffer->Unlockに失敗！%x", r);
        return false;
    }
    writeOffset_ = (writeOffset_ + got) % ringSize_;
    if (got < n) {
        carry_ += n - got;
    }
    *written = got;
    return true;
}

uint8_t kmStreamSoundHelper::SilenceByte() const
{
    return reader_->GetFormat()->wBitsPerSample == 8 ? 0x80 : 0;
}

bool kmStreamSoundHelper::FillSilence(uint32_t bytes)
{
    if (!buffer_ || ringSize_ == 0) {
        return false;
    }
    bytes = bytes > ringSize_ ? ringSize_ : bytes;
    if (bytes == 0) {
        return true;
    }
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    if (LockRing(writeOffset_, bytes, &p1, &n1, &p2, &n2) != platform::kAudioOk) {
        return false;
    }
    std::memset(p1, SilenceByte(), n1);
    if (p2) {
        std::memset(p2, SilenceByte(), n2);
    }
    return buffer_->Unlock(p1, n1, p2, n2) == platform::kAudioOk;
}

void kmStreamSoundHelper::Seek(uint32_t bytes)
{
    silence_ = false;
    carry_ = 0;
    writeOffset_ = 0;
    reader_->Seek(bytes);
}
