#pragma once
// CMp3StreamReader: opens an MP3 file through the file layer (loose file or
// archive entry), measures it, and decodes the whole of it with the MP3
// decoder into one PCM block. CSoundMp3 is its user. Each reader owns its
// decoder: readers on different threads decode at the same time; one reader
// is used by one thread at a time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/mp3/Mp3ByteSource.h"
#include "sound/mp3/Mp3Decoder.h"

// What Open learns about a file.
struct Mp3StreamInfo {
    int32_t reserved = 0;     // not written
    std::string name;         // the path's part after its last backslash
    int32_t channels = 0;
    int32_t sampleRate = 0;   // Hz, after down-sampling
    int32_t bitrate = 0;      // bit/s; 0 for a variable-rate ("Xing") stream
    int32_t frames = 0;
    int64_t samples = 0;      // PCM samples per channel of the whole file (capped)
    int32_t seconds = 0;
    int32_t bits = 0;         // 16 in this program
};

// Notification sink: (code, 0, context). Code 2 announces the start of decoding.
using Mp3Callback = void (*)(int code, int zero, void* context);

class CMp3StreamReaderBase {
public:
    virtual ~CMp3StreamReaderBase() = default;
    virtual int SetUserValue(int value) = 0;
    virtual Mp3Callback SetCallback(Mp3Callback callback, void* context) = 0;
    virtual bool Open(const char* path, Mp3StreamInfo* info) = 0;
    virtual int Close() = 0;
    virtual int GetStatus() = 0;
    virtual void Reserved6() = 0;
    virtual void Reserved7() = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual void SeekToFrame(int frame) = 0;
    virtual void SeekToSecond(int second) = 0;
    virtual int EnableEqualizer(int on) = 0;
    virtual int SetEqualizer(const int levels[10]) = 0;
    virtual size_t DecodeAll(void* pcm, size_t pcmBytes) = 0;
};

class CMp3StreamReader final : public CMp3StreamReaderBase {
public:
    // The PCM block Open lets a caller ask for is capped at this size (about
    // 100 minutes of 44.1 kHz 16-bit stereo): frame counts come from the file.
    static constexpr int64_t kMaxPcmBytes = int64_t(1) << 30;

    // Makes its decoder (equaliser on at unity).
    CMp3StreamReader();
    ~CMp3StreamReader() override;

    // Stores the value; nothing reads it. Returns it.
    int SetUserValue(int value) override;
    // Stores the sink and its context; returns the previous sink.
    Mp3Callback SetCallback(Mp3Callback callback, void* context) override;
    // Opens the file and measures it. False, with the reader closed and *info
    // untouched, when the file cannot be opened, has no sync within its first
    // 512 bytes, or its first frame is refused.
    bool Open(const char* path, Mp3StreamInfo* info) override;
    // As Open, over the given bytes (tests, fuzzing); `path` only names it.
    bool OpenSource(std::unique_ptr<Mp3ByteSource> source, const char* path, Mp3StreamInfo* info);
    // Closes the file; returns 0.
    int Close() override;
    // Always 0.
    int GetStatus() override;
    void Reserved6() override;
    void Reserved7() override;
    void Start() override;
    void Stop() override;
    void SeekToFrame(int frame) override;
    void SeekToSecond(int second) override;
    // Switches the decoder's equaliser; returns 0.
    int EnableEqualizer(int on) override;
    // Level 100 is unity (gain = level x 0.03 - 3, factor 10^gain). Returns 0.
    int SetEqualizer(const int levels[10]) override;
    // Decodes the whole file (after a successful Open) into pcm, writing at
    // most pcmBytes bytes; bad bytes are skipped to the next sync. Returns the
    // bytes written (0 when nothing is open or the first frame is refused).
    size_t DecodeAll(void* pcm, size_t pcmBytes) override;

    const Mp3FrameHeader& Header() const { return header_; }
    // The reader's decoder (tests look at its equaliser).
    const Mp3Decoder& Decoder() const { return *decoder_; }

private:
    bool Refill();
    bool Resync();

    int userValue_ = 0;
    Mp3Callback callback_;
    Mp3DecoderPtr decoder_;
    void* callbackContext_ = nullptr;
    Mp3FrameHeader header_;
    int64_t syncOffset_ = 0;
    int status_ = 0;
    int framesPerBuffer_ = 128;
    std::vector<uint8_t> input_;
    size_t readPos_ = 0;  // next unread byte in input_
    size_t fill_ = 0;     // unread bytes from readPos_ on
    std::vector<uint8_t> framePcm_;
    int eqOn_ = 1;
    double eqGains_[10] = {};
    std::unique_ptr<Mp3ByteSource> source_;
    bool open_ = false;
};
