#pragma once
// CMovieAVIAUDIO: the sound of a decoded movie. Its PCM goes into a looping
// mixer buffer of four seconds used as a ring: a seek writes seven eighths of
// the ring ahead, then a feeder thread of its own tops the ring up as the
// mixer's write cursor moves.
//
// The feeder takes no lock: the decoder, the ring offsets and the carry are
// touched by one thread at a time, because every seek, stop and close on the
// game thread first stops and joins the feeder. Only the end time is shared
// while it runs (atomic); volume calls go to the mixer buffer, which locks.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame/CThread.h"
#include "platform/Audio.h"

namespace platform::media {
class AudioFileDecoder;
}
class CDirectSound;
class CMovieAVI;

class CMovieAVIAUDIO : public CThread {
public:
    // Takes a use of the shared sound device (making it when first).
    explicit CMovieAVIAUDIO(CMovieAVI* owner);
    // Close, then gives the device use back.
    ~CMovieAVIAUDIO() override;

    // Opens the file's sound stream (a host path); -1 when there is none.
    int OpenAudioStrema(const std::string& hostPath);
    // Makes the ring buffer after OpenAudioStrema; 0, or 1 without a sound
    // device or when the buffer cannot be made (the movie then plays mute).
    int InitAudio();

    virtual int Close();
    // From the start: Stop, seek to 0, play the ring, start the feeder; 0.
    virtual int Play();
    // Undoes one Stop/Pause; the last one re-seeks to the owner's position. 0.
    virtual int Resume();
    // Nesting stop (the first one stops the ring and joins the feeder); 0.
    virtual int Stop();
    virtual int Pause() { return Stop(); }
    virtual bool IsPlaying() const { return playing_; }
    virtual int SetLoop(bool loop);
    // Re-seeks to the owner's position (Pause, then Resume).
    virtual int SetPosition();

    // The feeder's body: Update until told to stop.
    void ThreadMain() override;

    // The ring buffer's volume; -1 without a buffer.
    int SetVolume(int volume);
    // The ring buffer's volume, -10000 without one.
    int GetVolume() const;
    bool HasBuffer() const { return buffer_ != nullptr; }
    // Movie time (ms) at which the sound ran out; -1 while it has not (yet).
    int64_t GetEndMs() const { return endMs_.load(); }
    // Length of the sound stream in ms; -1 unknown.
    int64_t GetLengthMs() const;
    uint32_t GetRingSize() const { return ringSize_; }
    const platform::WaveFormat& GetFormat() const { return format_; }

    // Ring size for a PCM format: four seconds of output (0 for an unusable format).
    static uint32_t RingSizeFor(const platform::WaveFormat& format);

    // Result codes of the ring writes.
    static constexpr int kLockFailed = 8;
    static constexpr int kUnlockFailed = 10;

private:
    // Repositions the ring and the decoder at ms and writes 7/8 of the ring ahead.
    void Seek(int ms);
    // One feeder step: writes what the write cursor moved over, or waits 500 ms.
    void Update();
    // Writes n bytes (plus what is owed) at the write offset; 0, 8 or 10.
    int RingWrite(uint32_t n);
    // Fills bytes of PCM, silence past the end of the stream; bytes filled.
    uint32_t ReadSoundStream(uint8_t* destination, uint32_t bytes);

    CMovieAVI* owner_;
    CDirectSound* device_ = nullptr;
    std::unique_ptr<platform::media::AudioFileDecoder> decoder_;
    platform::WaveFormat format_;
    std::shared_ptr<platform::SoundBuffer> buffer_;
    uint32_t ringSize_ = 0;
    uint32_t writeOffset_ = 0;
    uint32_t carry_ = 0;
    uint32_t lastWrite_ = 0;
    int64_t seekMs_ = 0;
    uint64_t delivered_ = 0;  // PCM bytes the decoder gave since the seek
    std::atomic<int64_t> endMs_{-1};
    int pauseCount_ = 0;
    bool playing_ = false;
    bool loop_ = false;
};
