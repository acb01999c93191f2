#include "sound/CBufferedSound.h"

#include <cstring>

#include "frame/ErrorLog.h"
#include "platform/Audio.h"
#include "sound/CDirectSound.h"
#include "sound/CPCMReaderFactory.h"

CBufferedSound::CBufferedSound() : factory_(new CPCMReaderFactory)
{
    device_ = SoundUseIn();
}

CBufferedSound::~CBufferedSound()
{
    // The derived destructor has already released the buffer and left its registry.
    buffer_.reset();
    SoundUseOut();
}

int CBufferedSound::Open(const char* name)
{
    return Load(std::string(name ? name : ""));
}

int CBufferedSound::Close()
{
    ReleaseBuffer();
    return 0;
}

int CBufferedSound::Play()
{
    if (!buffer_) {
        return 1;
    }
    pauseCount_ = 0;
    buffer_->SetCurrentPosition(0);
    uint32_t status = 0;
    buffer_->GetStatus(&status);
    if (status & platform::kStatusPlaying) {
        buffer_->Stop();
        buffer_->SetCurrentPosition(0);
    }
    if (buffer_->Play(loop_) == platform::kAudioErrBufferLost) {
        return Reload();
    }
    return 0;
}

int CBufferedSound::Resume()
{
    if (pauseCount_ == 0) {
        return 0;
    }
    if (--pauseCount_ == 0 && buffer_) {
        return buffer_->Play(loop_);
    }
    return 0;
}

int CBufferedSound::Stop()
{
    if (!IsPlaying()) {
        return 0;
    }
    int v = GetVolume();
    FadeOut(v, [this](int volume) { SetVolume(volume); });
    buffer_->Stop();
    SetVolume(v);
    buffer_->SetCurrentPosition(0);
    return 0;
}

int CBufferedSound::Pause()
{
    if (pauseCount_ > 0) {
        ++pauseCount_;
    }
    if (IsPlaying()) {
        pauseCount_ = 1;
        return buffer_->Stop();
    }
    return 0;
}

bool CBufferedSound::IsPlaying()
{
    if (!buffer_) {
        return false;
    }
    uint32_t status = 0;
    buffer_->GetStatus(&status);
    return (status & platform::kStatusPlaying) != 0;
}

bool CBufferedSound::GetLoop()
{
    return loop_;
}

int CBufferedSound::SetLoop(bool loop)
{
    loop_ = loop;
    return 0;
}

int CBufferedSound::GetPosition()
{
    if (!buffer_ || avgBytesPerSec_ == 0) {
        return -1;
    }
    uint32_t play = 0;
    if (buffer_->GetCurrentPosition(&play, nullptr) != platform::kAudioOk) {
        return -1;
    }
    return static_cast<int>(static_cast<uint64_t>(play) * 1000 / avgBytesPerSec_);
}

int CBufferedSound::SetPosition(int ms)
{
    if (!buffer_ || avgBytesPerSec_ == 0) {
        return -1;
    }
    uint64_t bytes = static_cast<uint64_t>(ms < 0 ? 0 : ms) * avgBytesPerSec_ / 1000;
    return buffer_->SetCurrentPosition(static_cast<uint32_t>(std::min<uint64_t>(bytes, UINT32_MAX)));
}

int CBufferedSound::GetLength()
{
    return length_;
}

int CBufferedSound::SetVolume(int volume)
{
    if (!buffer_) {
        return 1;
    }
    return buffer_->SetVolume(volume);
}

int CBufferedSound::GetVolume()
{
    if (!buffer_) {
        return 1;
    }
    int32_t v = 0;
    if (buffer_->GetVolume(&v) != platform::kAudioOk) {
        gErrorLog.Print("CSound::GetVolumeに失敗");
        return 0;
    }
    return v;
}

int CBufferedSound::ReleaseBuffer()
{
    if (buffer_) {
        if (IsPlaying()) {
            Stop();
        }
        buffer_.reset();
        fileName_.clear();
    }
    return 0;
}

int CBufferedSound::Reload()
{
    if (!fileName_.empty()) {
        if (!buffer_) {
            return 1;
        }
        uint32_t status = 0;
        buffer_->GetStatus(&status);
        if (!(status & platform::kStatusBufferLost)) {
            return 0;
        }
    }
    std::string name = fileName_;
    ReleaseBuffer();
    return Load(name);
}

int CBufferedSound::GetFrequency()
{
    if (!buffer_) {
        return -1;
    }
    uint32_t hz = 0;
    if (buffer_->GetFrequency(&hz) != platform::kAudioOk) {
        return -2;
    }
    return static_cast<int>(hz);
}

int CBufferedSound::SetFrequency(int hz)
{
    if (!buffer_) {
        return 1;
    }
    if (hz != 0 && (hz < static_cast<int>(platform::kFrequencyMin) ||
                    hz > static_cast<int>(platform::kFrequencyMax))) {
        return 2;
    }
    return buffer_->SetFrequency(static_cast<uint32_t>(hz)) == platform::kAudioOk ? 0 : 2;
}

void CBufferedSound::SetReaderFactory(CRingPtr<CPCMReaderFactory> factory)
{
    factory_ = factory;
}

CRingPtr<CPCMReaderFactory> CBufferedSound::GetReaderFactory()
{
    return factory_;
}

int CBufferedSound::BeginLoad(const std::string& path)
{
    if (!SharedAudioDevice()) {
        return kSoundNotLoaded;
    }
    ReleaseBuffer();
    fileName_.clear();
    return path.empty() ? kSoundLoaded : -1;
}

SoundLoadResult CBufferedSound::ShareFrom(CBufferedSound& sharer, const std::string& path)
{
    sharer.Reload();
    platform::AudioDevice* device = SharedAudioDevice();
    if (!device || !sharer.buffer_ ||
        device->DuplicateSoundBuffer(*sharer.buffer_, &buffer_) != platform::kAudioOk) {
        buffer_.reset();
        return kSoundNotLoaded;
    }
    fileName_ = path;
    avgBytesPerSec_ = sharer.avgBytesPerSec_;
    length_ = sharer.length_;
    return kSoundLoaded;
}

SoundLoadResult CBufferedSound::FillBuffer(uint32_t flags, const platform::WaveFormat& format, uint32_t size,
                               void (*fill)(void*, uint8_t*, uint32_t), void* context)
{
    platform::AudioDevice* device = SharedAudioDevice();
    platform::BufferDesc desc;
    desc.flags = flags;
    desc.bytes = size;
    desc.format = format;
    std::shared_ptr<platform::SoundBuffer> buffer;
    if (!device || device->CreateSoundBuffer(desc, &buffer) != platform::kAudioOk) {
        desc.flags = platform::kBufCtrlVolume;
        if (!device || device->CreateSoundBuffer(desc, &buffer) != platform::kAudioOk) {
            gErrorLog.Print("CSound::LoadのCreateSoundBuffer()で失敗！");
            return kSoundNoBuffer;
        }
    }
    void* p1 = nullptr;
    uint32_t n1 = 0;
    int32_t r = buffer->Lock(0, buffer->GetSize(), &p1, &n1, nullptr, nullptr, 0);
    if (r == platform::kAudioErrBufferLost) {
        buffer->Restore();
        r = buffer->Lock(0, buffer->GetSize(), &p1, &n1, nullptr, nullptr, 0);
    }
    if (r != platform::kAudioOk) {
        gErrorLog.Print("CSound::LoadのLock()に失敗！");
        return kSoundLockFailed;
    }
    std::memset(p1, 0, n1);
    fill(context, static_cast<uint8_t*>(p1), n1);
    if (buffer->Unlock(p1, n1, nullptr, 0) != platform::kAudioOk) {
        gErrorLog.Print("CSound::LoadのUnlock()に失敗！");
        return kSoundUnlockFailed;
    }
    platform::WaveFormat actual;
    avgBytesPerSec_ = buffer->GetFormat(&actual, sizeof(actual), nullptr) == platform::kAudioOk
                          ? actual.nAvgBytesPerSec
                          : 0;
    length_ = avgBytesPerSec_ ? static_cast<int>(static_cast<uint64_t>(size) * 1000 /
                                                 avgBytesPerSec_)
                              : 0;
    buffer_ = std::move(buffer);
    return kSoundLoaded;
}
