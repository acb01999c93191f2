#pragma once
// CBufferedSound: what CSound and CSoundMp3 share: a whole sound decoded into
// one static buffer of the shared device, played from memory, with nested
// pauses, the 25 ms fade on Stop, volume and frequency. The two classes
// differ only in how Load fills the buffer and which registry they join.
#include <cstdint>
#include <memory>
#include <string>

#include "frame/CRingPtr.h"
#include "platform/Audio.h"
#include "sound/MediaObject.h"
#include "sound/SoundLoadResult.h"

class CDirectSound;
class CPCMReaderFactory;

class CBufferedSound : public CMediaObject {
public:
    ~CBufferedSound() override;

    int Open(const char* name) override;
    int Close() override;
    // 1 with no buffer; else 0 (from the start; a stopped buffer is rewound).
    int Play() override;
    // 0 when not paused; the play result when the count reaches 0.
    int Resume() override;
    // Fades to silence over 25 ms, stops, restores the volume, rewinds; 0.
    int Stop() override;
    int Pause() override;
    bool IsPlaying() override;
    bool GetLoop() override;
    int SetLoop(bool loop) override;
    // -1 with no buffer or no rate.
    int GetPosition() override;
    int SetPosition(int ms) override;
    int GetLength() override;
    // 1 with no buffer.
    int SetVolume(int volume) override;
    // 1 with no buffer; 0 when the query fails.
    int GetVolume() override;

    // Stops and releases the buffer, clears the name; 0.
    virtual int ReleaseBuffer();
    // Rebuilds a lost buffer from the file: 1 no buffer, 0 not lost, else Load's result.
    virtual int Reload();
    // -1 no buffer, -2 failed query.
    virtual int GetFrequency();
    // 0 or 100..100000: 0 ok, 1 no buffer, 2 out of range or refused.
    virtual int SetFrequency(int hz);
    virtual void SetReaderFactory(CRingPtr<CPCMReaderFactory> factory);
    virtual CRingPtr<CPCMReaderFactory> GetReaderFactory();

    const std::string& GetFileName() const { return fileName_; }
    platform::SoundBuffer* GetBuffer() const { return buffer_.get(); }
    int GetPauseCount() const { return pauseCount_; }

protected:
    CBufferedSound();
    // The common start of Load: -1 to go on loading; else the result
    // (kSoundNotLoaded without a device; kSoundLoaded for an empty path,
    // nothing loaded). The old buffer is released.
    int BeginLoad(const std::string& path);
    // Shares the samples of the first other live sound of the registry loaded
    // from the same path: kSoundLoaded, kSoundNotLoaded, or -1 no such sound.
    template <typename Registry>
    int ShareFromRegistry(const Registry& registry, const std::string& path);
    // Shares `sharer`'s samples, taking over name, rate and length.
    SoundLoadResult ShareFrom(CBufferedSound& sharer, const std::string& path);
    // Makes the buffer (flags, retried with volume control alone), fills it
    // through `fill`.
    template <typename Fill>
    SoundLoadResult CreateAndFill(uint32_t flags, const platform::WaveFormat& format, uint32_t size, Fill fill);
    SoundLoadResult FillBuffer(uint32_t flags, const platform::WaveFormat& format, uint32_t size,
                   void (*fill)(void*, uint8_t*, uint32_t), void* context);

    std::shared_ptr<platform::SoundBuffer> buffer_;
    std::string fileName_;
    int pauseCount_ = 0;
    bool loop_ = false;
    uint32_t avgBytesPerSec_ = 0;
    int length_ = 0;
    CRingPtr<CPCMReaderFactory> factory_;
    CDirectSound* device_ = nullptr;
};

template <typename Registry>
int CBufferedSound::ShareFromRegistry(const Registry& registry, const std::string& path)
{
    for (CBufferedSound* other : registry) {
        if (other != this && other->fileName_ == path) {
            return ShareFrom(*other, path);
        }
    }
    return -1;
}

template <typename Fill>
SoundLoadResult CBufferedSound::CreateAndFill(uint32_t flags, const platform::WaveFormat& format, uint32_t size,
                                  Fill fill)
{
    return FillBuffer(flags, format, size,
                      [](void* ctx, uint8_t* data, uint32_t n) { (*static_cast<Fill*>(ctx))(data, n); },
                      &fill);
}
