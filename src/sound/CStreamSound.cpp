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
    played_ = 0;
    seenPlay_ = 0;
    dataEnded_ = false;
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

void CStreamSound::ObservePlayLocked()
{
    uint32_t play = 0;
    buffer_->GetCurrentPosition(&play, nullptr);
    const uint32_t size = ring_->GetBufferSize();
    played_ += play >= seenPlay_ ? play - seenPlay_ : size - seenPlay_ + play;
    seenPlay_ = play;
}

int CStreamSound::PositionLocked()
{
    int start = startPosition_;
    if (!buffer_ || !ring_ || !reader_) {
        return start;
    }
    const WAVEFORMATEX* f = reader_->GetFormat();
    if (!f || f->nAvgBytesPerSec == 0) {
        return start;
    }
    ObservePlayLocked();
    // Counted from what the cursor has played, in 64 bits: nothing wraps
    // however late anyone looks. A non-looping file never plays past the
    // bytes it gave (what the ring plays after them is silence); a looping one
    // goes round the file.
    uint64_t p = uint64_t{reader_->MsToBytes(start)};
    if (loop_) {
        p = (p + played_) % streamSize_;
    } else {
        p += played_ < fed_ ? played_ : fed_;
        if (streamSize_ != kUnknownSize && p > streamSize_) {
            p = streamSize_;
        }
    }
    return static_cast<int>((p * 1000 + f->nAvgBytesPerSec / 2) / f->nAvgBytesPerSec);
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
    if (written == 0 && !loop_) {
        NoteDataEndLocked();
    }
    return dataEnded_ ? Refill::kEnded : Refill::kGoOn;
}

void CStreamSound::NoteDataEndLocked()
{
    if (dataEnded_) {
        return;
    }
    dataEnded_ = true;
    // Everything in the ring but the data still to play becomes silence at
    // once: a worker that wakes late must never let the ring's old audio
    // play again after the file's end.
    ObservePlayLocked();
    const uint64_t ahead = played_ < fed_ ? fed_ - played_ : 0;
    const uint32_t size = ring_->GetBufferSize();
    ring_->FillSilence(ahead >= size ? 0 : static_cast<uint32_t>(size - ahead));
    ring_->WriteSilenceFromNowOn();
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
            played_ = 0;
            seenPlay_ = 0;
            dataEnded_ = false;
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
    for (;;) {
        if (!IsRunning()) {
            CCriticalSectionLock lock(lock_);
            buffer_->Stop();
            ended_ = true;
            return;
        }
        Refill r = Refill::kIdle;
        bool done;
        {
            CCriticalSectionLock lock(lock_);
            // After the data's end the refill writes silence where the
            // cursor has passed, and the stream ends once the cursor has
            // played every byte of the data.
            r = RefillOnce();
            ObservePlayLocked();
            done = dataEnded_ && played_ >= fed_;
            if (done) {
                buffer_->Stop();
                ended_ = true;
            }
        }
        ++workerPasses_;
        if (done) {
            return;
        }
        if (r != Refill::kGoOn) {
            Wait(kIdleWaitMs);  // nothing to write, or only silence
        }
    }
}
