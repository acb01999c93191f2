#include "sound/CMovieAVIAUDIO.h"

#include <cstring>

#include "frame/ErrorLog.h"
#include "platform/Media.h"
#include "sound/CDirectSound.h"
#include "sound/CMovieAVI.h"

CMovieAVIAUDIO::CMovieAVIAUDIO(CMovieAVI* owner) : owner_(owner)
{
    device_ = SoundUseIn();
}

CMovieAVIAUDIO::~CMovieAVIAUDIO()
{
    Close();
    Join();
    SoundUseOut();
}

int CMovieAVIAUDIO::OpenAudioStrema(const std::string& hostPath)
{
    decoder_ = platform::media::AudioFileDecoder::Open(hostPath);
    if (!decoder_) {
        gErrorLog.Print("CMovieAVIAUDIO::OpenAudioStrema not found AudioStrema");
        return -1;
    }
    format_ = decoder_->GetFormat();
    return 0;
}

uint32_t CMovieAVIAUDIO::RingSizeFor(const platform::WaveFormat& format)
{
    // Rates are at most 100000 and blocks at most 4 bytes here, so four
    // seconds stay far below 2^32; anything else is refused.
    if (format.nBlockAlign == 0 || format.nBlockAlign > 8 || format.nSamplesPerSec == 0 ||
        format.nSamplesPerSec > platform::kFrequencyMax) {
        return 0;
    }
    return static_cast<uint32_t>(format.nBlockAlign) * format.nSamplesPerSec * 4;
}

int CMovieAVIAUDIO::InitAudio()
{
    if (!decoder_) {
        return 1;
    }
    ringSize_ = RingSizeFor(format_);
    platform::AudioDevice* device = SharedAudioDevice();
    platform::BufferDesc desc;
    desc.flags = platform::kBufGetCurrentPosition2 | platform::kBufGlobalFocus | platform::kBufCtrlVolume;
    desc.bytes = ringSize_;
    desc.format = format_;
    if (!device || ringSize_ == 0 || device->CreateSoundBuffer(desc, &buffer_) != platform::kAudioOk) {
        gErrorLog.Print("CMovieAVI: CreateSoundBuffer Error");
        buffer_.reset();
        return 1;
    }
    return 0;
}

int CMovieAVIAUDIO::Close()
{
    Stop();
    Join();
    if (buffer_) {
        buffer_->Stop();
        buffer_.reset();
    }
    decoder_.reset();
    pauseCount_ = 0;
    return 0;
}

int CMovieAVIAUDIO::Play()
{
    Stop();
    pauseCount_ = 0;
    playing_ = true;
    if (buffer_) {
        Seek(0);
        buffer_->Play(true);
        if (!HasStopEvent()) {
            Start();
        }
    }
    return 0;
}

int CMovieAVIAUDIO::Stop()
{
    if (playing_) {
        pauseCount_ = 1;
        if (buffer_) {
            buffer_->Stop();
        }
        // The feeder must be gone before anyone touches the ring or the decoder.
        Join();
        playing_ = false;
    } else if (pauseCount_ > 0) {
        ++pauseCount_;
    }
    return 0;
}

int CMovieAVIAUDIO::Resume()
{
    if (pauseCount_ == 0) {
        return 0;
    }
    if (--pauseCount_ == 0 && !playing_) {
        playing_ = true;
        if (buffer_) {
            Seek(owner_->GetPosition());
            buffer_->Play(true);
            Start();
        }
    }
    return 0;
}

int CMovieAVIAUDIO::SetLoop(bool loop)
{
    loop_ = loop;
    return 0;
}

int CMovieAVIAUDIO::SetPosition()
{
    Pause();
    Resume();
    return 0;
}

int CMovieAVIAUDIO::SetVolume(int volume)
{
    return buffer_ ? buffer_->SetVolume(volume) : -1;
}

int CMovieAVIAUDIO::GetVolume() const
{
    int32_t volume = -10000;
    if (buffer_) {
        buffer_->GetVolume(&volume);
    }
    return volume;
}

int64_t CMovieAVIAUDIO::GetLengthMs() const
{
    if (!decoder_) {
        return -1;
    }
    const int64_t duration = decoder_->GetDuration();
    return duration < 0 ? -1 : duration / 10000;
}

void CMovieAVIAUDIO::Seek(int ms)
{
    if (ms < 0) {
        ms = 0;
    }
    buffer_->SetCurrentPosition(0);
    lastWrite_ = 0;
    writeOffset_ = 0;
    carry_ = 0;
    delivered_ = 0;
    seekMs_ = ms;
    endMs_ = -1;
    if (!decoder_->Seek(static_cast<int64_t>(ms) * 10000)) {
        // Nothing more can be read from here on: the sound ends where it is.
        endMs_ = ms;
    }
    // Seven eighths of the ring, in whole samples: at an odd rate (size / 8)
    // x 7 splits a sample, and every later write would start mid-sample.
    const uint32_t block = format_.nBlockAlign;
    RingWrite(ringSize_ / 8 * 7 / block * block);
}

void CMovieAVIAUDIO::ThreadMain()
{
    while (IsRunning()) {
        Update();
    }
}

void CMovieAVIAUDIO::Update()
{
    uint32_t play = 0;
    uint32_t write = 0;
    if (buffer_->GetCurrentPosition(&play, &write) != platform::kAudioOk || write == lastWrite_) {
        Wait(500);  // a stop wakes it at once
        return;
    }
    uint32_t n = write > lastWrite_ ? write - lastWrite_ : ringSize_ - lastWrite_ + write;
    // Never overwrite what the mixer has not played yet.
    if (play > writeOffset_ && writeOffset_ + n > play) {
        n = play - writeOffset_;
    } else if (play < writeOffset_ && writeOffset_ + n > ringSize_ + play) {
        n = ringSize_ + play - writeOffset_;
    }
    lastWrite_ = write;
    RingWrite(n);
}

int CMovieAVIAUDIO::RingWrite(uint32_t n)
{
    uint64_t total = static_cast<uint64_t>(n) + carry_;
    carry_ = 0;
    uint32_t bytes = static_cast<uint32_t>(total > ringSize_ ? ringSize_ : total);
    if (writeOffset_ + static_cast<uint64_t>(bytes) > ringSize_) {
        bytes = ringSize_ - writeOffset_;
    }
    carry_ = static_cast<uint32_t>(total - bytes);
    if (bytes == 0) {
        return 0;
    }
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0;
    uint32_t n2 = 0;
    if (buffer_->Lock(writeOffset_, bytes, &p1, &n1, &p2, &n2, 0) != platform::kAudioOk) {
        gErrorLog.Print("Lock Fail");
        buffer_->Stop();
        return kLockFailed;
    }
    const uint32_t filled = ReadSoundStream(static_cast<uint8_t*>(p1), n1);
    const int32_t r = buffer_->Unlock(p1, n1, p2, n2);
    if (r != platform::kAudioOk) {
        gErrorLog.Print("CSound::LoadWaveのUnlock()に失敗！%x", static_cast<unsigned>(r));
        return kUnlockFailed;
    }
    writeOffset_ = (writeOffset_ + filled) % ringSize_;
    carry_ += bytes - filled;
    return 0;
}

uint32_t CMovieAVIAUDIO::ReadSoundStream(uint8_t* destination, uint32_t bytes)
{
    if (!destination || !decoder_) {
        return 0;
    }
    uint32_t filled = 0;
    while (filled < bytes && endMs_.load() < 0) {
        const int64_t got = decoder_->Read(destination + filled, bytes - filled);
        if (got <= 0) {
            // The end (or a damaged stream, which ends it too): the movie's
            // sound stops at the last PCM delivered.
            const uint32_t perSecond = format_.nAvgBytesPerSec ? format_.nAvgBytesPerSec : 1;
            endMs_ = seekMs_ + static_cast<int64_t>(delivered_ * 1000 / perSecond);
            break;
        }
        filled += static_cast<uint32_t>(got);
        delivered_ += static_cast<uint64_t>(got);
    }
    // Past the end the ring keeps looping over silence until the movie stops.
    std::memset(destination + filled, format_.wBitsPerSample == 8 ? 0x80 : 0, bytes - filled);
    return bytes;
}
