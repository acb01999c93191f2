#include "sound/CStreamSound.h"

#include <cstdlib>

#include "frame/ErrorLog.h"
#include "platform/Time.h"
#include "sound/CDirectSound.h"
#include "sound/CPCMReaderFactory.h"
#include "sound/PcmReader.h"
#include "sound/kmStreamSoundHelper.h"

namespace {
// The worker's pause when the play cursor has not moved, and the play-out poll.
constexpr int kIdleWaitMs = 50;
// Distances from the end (ms) at which the data's end is trusted and the ring stopped.
constexpr int kEndWindowMs = 200;
constexpr int kStopWindowMs = 100;
// A stream size that is never reached when the reader cannot tell its size.
constexpr uint32_t kUnknownSize = static_cast<uint32_t>(-2);
}  // namespace

CStreamSoundBase* CreateStreamSound()
{
    return new (std::nothrow) CStreamSound;
}

CStreamSound::CStreamSound() : factory_(new CPCMReaderFactory)
{
    device_ = SoundUseIn();
}

CStreamSound::~CStreamSound()
{
    Stop();
    Join();
    ReleaseAll();
    SoundUseOut();
}

void CStreamSound::ReleaseAll()
{
    CCriticalSectionLock lock(lock_);
    buffer_.reset();
    delete ring_;
    ring_ = nullptr;
    if (reader_) {
        reader_->Release();
        reader_ = nullptr;
    }
}

int CStreamSound::PrepareReader()
{
    if (fileName_.empty()) {
        return 2;
    }
    Close();
    if (!factory_) {
        factory_.Reset(new CPCMReaderFactory);
    }
    CPcmReader* reader = factory_->CreateReader(fileName_);
    if (!reader) {
        return 3;
    }
    CCriticalSectionLock lock(lock_);
    reader_ = reader;
    reader_->SetLoop(loop_);
    streamSize_ = reader_->GetSize();
    if (streamSize_ == 0) {
        streamSize_ = kUnknownSize;
    }
    fed_ = 0;
    prepared_ = true;
    return 0;
}

bool CStreamSound::Open(const char* name, bool loop)
{
    Close();
    {
        CCriticalSectionLock lock(lock_);
        loop_ = loop;
    }
    fileName_ = name ? name : "";
    if (PrepareReader() != 0) {
        prepared_ = false;
        return false;
    }
    return true;
}

bool CStreamSound::Play()
{
    if (!prepared_) {
        return false;
    }
    // A reader that cannot be made again leaves the stream unprepared: the
    // worker then releases us at once and nothing is heard.
    PrepareReader();
    ended_ = false;
    {
        std::lock_guard<std::mutex> lock(startLock_);
        started_ = false;
    }
    if (Start()) {
        // The worker never ran: waiting for its start would never end.
        return false;
    }
    std::unique_lock<std::mutex> lock(startLock_);
    startChanged_.wait(lock, [this] { return started_; });
    return true;
}

bool CStreamSound::Stop(int /*ignored*/)
{
    if (!prepared_) {
        return false;
    }
    Join();
    while (HasStopEvent()) {
        platform::SleepMs(100);
    }
    return true;
}

int CStreamSound::IsPlaying()
{
    CCriticalSectionLock lock(lock_);
    return PositionLocked() >= 0 && !ended_ && buffer_ ? 1 : 0;
}

int CStreamSound::GetFrequency()
{
    CCriticalSectionLock lock(lock_);
    if (!buffer_) {
        return -1;
    }
    uint32_t hz = 0;
    return buffer_->GetFrequency(&hz) == platform::kAudioOk ? static_cast<int>(hz) : -2;
}

int CStreamSound::SetFrequency(int hz)
{
    CCriticalSectionLock lock(lock_);
    if (!buffer_) {
        return 1;
    }
    if (hz != 0 && (hz < 100 || hz > 100000)) {
        return 2;
    }
    return buffer_->SetFrequency(static_cast<uint32_t>(hz)) == platform::kAudioOk ? 0 : 2;
}

int CStreamSound::GetLength()
{
    CCriticalSectionLock lock(lock_);
    return reader_ ? reader_->GetLength() : 0;
}

int CStreamSound::GetVolume()
{
    CCriticalSectionLock lock(lock_);
    if (!buffer_) {
        return volume_;
    }
    int32_t v = 0;
    if (buffer_->GetVolume(&v) != platform::kAudioOk) {
        gErrorLog.Print("CStreamSound::GetVolumeに失敗");
        return 0;
    }
    return v;
}

int CStreamSound::SetVolume(int volume)
{
    CCriticalSectionLock lock(lock_);
    volume_ = volume;
    if (!buffer_) {
        return 1;
    }
    return buffer_->SetVolume(volume);
}

int CStreamSound::GetPosition()
{
    CCriticalSectionLock lock(lock_);
    return PositionLocked();
}

int CStreamSound::PositionLocked()
{
    int start = startPosition_;
    if (!buffer_ || !ring_ || !reader_) {
        return start;
    }
    uint32_t play = 0;
    buffer_->GetCurrentPosition(&play, nullptr);
    uint32_t x = ring_->GetWriteOffset();
    uint32_t ahead;
    if (x > play) {
        ahead = x - play;
    } else if (x < play) {
        ahead = ring_->GetBufferSize() - play + x;
    } else if (ended_) {
        ahead = ring_->GetBufferSize();
    } else {
        return start;
    }
    uint32_t p = (reader_->MsToBytes(start) + fed_ - ahead) % streamSize_;
    const WAVEFORMATEX* f = reader_->GetFormat();
    if (!f || f->nAvgBytesPerSec == 0) {
        return start;
    }
    return static_cast<int>((static_cast<uint64_t>(p) * 1000 + f->nAvgBytesPerSec / 2) / f->nAvgBytesPerSec);
}

const WAVEFORMATEX* CStreamSound::GetFormat()
{
    CCriticalSectionLock lock(lock_);
    return reader_ ? reader_->GetFormat() : nullptr;
}

int CStreamSound::Close()
{
    Stop();
    ReleaseAll();
    ended_ = false;
    prepared_ = false;
    return 0;
}

void CStreamSound::SetReaderFactory(CRingPtr<CPCMReaderFactory> factory)
{
    factory_ = factory;
}

CRingPtr<CPCMReaderFactory> CStreamSound::GetReaderFactory()
{
    return factory_;
}

void CStreamSound::SetStartPosition(int ms)
{
    startPosition_ = ms;
}

int CStreamSound::GetStartPosition()
{
    return startPosition_;
}

void CStreamSound::SetLoop(bool loop)
{
    CCriticalSectionLock lock(lock_);
    loop_ = loop;
    // After a failed Open there is no reader: the flag waits for the next one.
    if (reader_) {
        reader_->SetLoop(loop);
    }
}

bool CStreamSound::GetLoop()
{
    CCriticalSectionLock lock(lock_);
    return loop_;
}

uint32_t CStreamSound::GetFedBytes()
{
    CCriticalSectionLock lock(lock_);
    return fed_;
}

void CStreamSound::SignalStarted()
{
    std::lock_guard<std::mutex> lock(startLock_);
    started_ = true;
    startChanged_.notify_all();
}

CStreamSound::Refill CStreamSound::RefillOnce()
{
    uint32_t play = 0, write = 0;
    buffer_->GetCurrentPosition(&play, &write);
    if (play == lastPlay_) {
        return Refill::kIdle;
    }
    uint32_t size = ring_->GetBufferSize();
    uint32_t n = play > lastPlay_ ? play - lastPlay_ : size - lastPlay_ + play;
    uint32_t x = ring_->GetWriteOffset();
    if (write > x && x + n > write) {
        n = write - x;
    }
    lastPlay_ = play;
    uint32_t written = 0;
    if (!ring_->UpdateDirectSound(n, &written)) {
        // A failed update is neither data nor the end of the data.
        return Refill::kGoOn;
    }
    fed_ += written;
    return written == 0 && !loop_ ? Refill::kEnded : Refill::kGoOn;
}

void CStreamSound::ThreadMain()
{
    if (!prepared_) {
        SignalStarted();
        return;
    }
    {
        CCriticalSectionLock lock(lock_);
        ring_ = new kmStreamSoundHelper(device_, reader_);
        buffer_ = ring_->CreateDirectSoundBuffer(ringSeconds_);
        if (!buffer_) {
            prepared_ = false;
        } else {
            buffer_->SetVolume(volume_);
            uint32_t startBytes = reader_->MsToBytes(startPosition_);
            buffer_->SetCurrentPosition(0);
            lastPlay_ = 0;
            uint32_t n = ring_->GetBufferSize() / 8 * 7;
            ring_->Seek(startBytes);
            uint32_t written = 0;
            ring_->UpdateDirectSound(n, &written);
            fed_ += written;
            if (written < n) {
                ring_->UpdateDirectSound(0, &written);
                fed_ += written;
            }
        }
    }
    if (!prepared_) {
        SignalStarted();
        return;
    }
    {
        // Playing before Play() is released: the caller finds the stream audible.
        CCriticalSectionLock lock(lock_);
        buffer_->Play(true);
    }
    SignalStarted();
    const int length = GetLength();
    // Bytes the ring has played since the data ended: once a whole ring has
    // gone by, the end is certain even if the position check missed it.
    uint64_t drained = 0;
    for (;;) {
        if (!IsRunning()) {
            CCriticalSectionLock lock(lock_);
            buffer_->Stop();
            ended_ = true;
            return;
        }
        Refill r;
        int d;
        bool overrun = false;
        {
            CCriticalSectionLock lock(lock_);
            uint32_t before = lastPlay_;
            r = RefillOnce();
            d = length - PositionLocked();
            if (r == Refill::kEnded) {
                uint32_t size = ring_->GetBufferSize();
                drained += lastPlay_ >= before ? lastPlay_ - before : size - before + lastPlay_;
                overrun = drained >= size;
            } else if (r == Refill::kGoOn) {
                drained = 0;
            }
            if (overrun) {
                buffer_->Stop();
                ended_ = true;
                return;
            }
        }
        ++workerPasses_;
        if (r == Refill::kEnded && d >= -kEndWindowMs && d <= kEndWindowMs) {
            break;
        }
        if (r == Refill::kIdle) {
            Wait(kIdleWaitMs);
        }
    }
    // Play-out: the data has ended; stop when the position reaches the length
    // (or a whole ring has gone by, should a late wake-up miss that moment).
    for (;;) {
        bool done;
        {
            CCriticalSectionLock lock(lock_);
            uint32_t play = 0;
            buffer_->GetCurrentPosition(&play, nullptr);
            uint32_t size = ring_->GetBufferSize();
            drained += play >= lastPlay_ ? play - lastPlay_ : size - lastPlay_ + play;
            lastPlay_ = play;
            int d = length - PositionLocked();
            done = (d >= -kStopWindowMs && d <= kStopWindowMs) || drained >= size;
        }
        ++workerPasses_;
        if (done || Wait(kIdleWaitMs) != 0 || !IsRunning()) {
            CCriticalSectionLock lock(lock_);
            buffer_->Stop();
            ended_ = true;
            return;
        }
    }
}
