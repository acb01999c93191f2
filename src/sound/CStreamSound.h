#pragma once
// CStreamSound: plays a file of any length through a 4-second ring buffer
// that a worker thread refills from a PCM reader. The ring always loops;
// whether the file loops is the reader's loop flag, and the worker stops the
// ring itself when a non-looping file has played out.
//
// Threads: the worker refills under the stream's lock; every operation that
// reads what the worker writes (the ring, the fed count, the write offset,
// the end flag) takes the same lock, so the game thread sees them whole.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "frame/CCriticalSection.h"
#include "frame/CRingPtr.h"
#include "frame/CThread.h"
#include "platform/Audio.h"
#include "sound/WaveFormat.h"

class CDirectSound;
class CPCMReaderFactory;
class CPcmReader;
class kmStreamSoundHelper;

// The stream interface the music player holds.
class CStreamSoundBase {
public:
    // Closes, keeps name and loop flag, prepares a reader: true when prepared.
    virtual bool Open(const char* name, bool loop) = 0;
    // Prepares the reader again and starts the worker from the start
    // position; returns once the ring is primed. False when not prepared or
    // when the worker cannot start.
    virtual bool Play() = 0;
    // Stops the worker and waits for it; false when not prepared.
    virtual bool Stop(int ignored = 0) = 0;
    virtual int IsPlaying() = 0;
    // -1 no buffer, -2 failed query.
    virtual int GetFrequency() = 0;
    // 0 or 100..100000: 0 ok, 1 no buffer, 2 out of range or refused.
    virtual int SetFrequency(int hz) = 0;
    // The reader's length in ms; 0 without a reader.
    virtual int GetLength() = 0;
    virtual int GetVolume() = 0;
    // Stores the volume for every new ring; 1 with no ring, else the ring's answer.
    virtual int SetVolume(int volume) = 0;
    // The play position in ms; the start position when there is no ring.
    virtual int GetPosition() = 0;
    virtual const WAVEFORMATEX* GetFormat() = 0;
    virtual ~CStreamSoundBase() = default;
    // Stops, releases ring, reader and ring object; 0.
    virtual int Close() = 0;
    virtual void SetReaderFactory(CRingPtr<CPCMReaderFactory> factory) = 0;
    virtual CRingPtr<CPCMReaderFactory> GetReaderFactory() = 0;
    virtual void SetStartPosition(int ms) = 0;
    virtual int GetStartPosition() = 0;
    // Kept even without a reader (a failed Open); passed to the reader when there is one.
    virtual void SetLoop(bool loop) = 0;
    virtual bool GetLoop() = 0;
};

class CStreamSound : public CThread, public virtual CStreamSoundBase {
public:
    CStreamSound();
    ~CStreamSound() override;

    bool Open(const char* name, bool loop) override;
    bool Play() override;
    bool Stop(int ignored = 0) override;
    int IsPlaying() override;
    int GetFrequency() override;
    int SetFrequency(int hz) override;
    int GetLength() override;
    int GetVolume() override;
    int SetVolume(int volume) override;
    int GetPosition() override;
    const WAVEFORMATEX* GetFormat() override;
    int Close() override;
    void SetReaderFactory(CRingPtr<CPCMReaderFactory> factory) override;
    CRingPtr<CPCMReaderFactory> GetReaderFactory() override;
    void SetStartPosition(int ms) override;
    int GetStartPosition() override;
    void SetLoop(bool loop) override;
    bool GetLoop() override;

    // Bytes written into the ring since the stream started (tests).
    uint32_t GetFedBytes();
    // Passes of the worker's loop so far (tests wait on it instead of on time).
    uint32_t GetWorkerPasses() const { return workerPasses_; }

protected:
    void ThreadMain() override;

private:
    // One refill step; *idle when the play cursor had not moved.
    enum class Refill { kGoOn, kEnded, kIdle };
    Refill RefillOnce();
    // 0 prepared; 2 no name; 3 no reader.
    int PrepareReader();
    int PositionLocked();
    // Adds the cursor's move since the last look to played_.
    void ObservePlayLocked();
    // Once a non-looping reader has run dry: records the end, silences the
    // ring beyond the data still to play and keeps it silenced from then on.
    void NoteDataEndLocked();
    void SignalStarted();
    void ReleaseAll();

    CRingPtr<CPCMReaderFactory> factory_;
    std::string fileName_;
    bool loop_ = true;
    std::atomic<bool> prepared_{false};
    std::atomic<bool> ended_{false};
    std::atomic<int> startPosition_{0};
    std::atomic<uint32_t> workerPasses_{0};
    // The start event: set by the worker once the ring is primed.
    std::mutex startLock_;
    std::condition_variable startChanged_;
    bool started_ = false;
    CPcmReader* reader_ = nullptr;
    kmStreamSoundHelper* ring_ = nullptr;
    std::shared_ptr<platform::SoundBuffer> buffer_;
    CDirectSound* device_ = nullptr;
    int ringSeconds_ = 4;
    int volume_ = 0;
    uint32_t lastPlay_ = 0;
    uint32_t fed_ = 0;
    // Bytes the play cursor has passed since the stream started, and where
    // it stood when last looked at (under lock_).
    uint64_t played_ = 0;
    uint32_t seenPlay_ = 0;
    bool dataEnded_ = false;  // a non-looping file has given all its bytes
    uint32_t streamSize_ = 0;
    CCriticalSection lock_;
};

// A new stream as its interface (null when it cannot be made).
CStreamSoundBase* CreateStreamSound();
