#pragma once
// The sound device: one output (an SDL2 audio device, or a manual clock for
// tests) and our own mixer of secondary buffers in the manner the sound
// classes expect: 8-bit unsigned or 16-bit signed PCM, one or two channels,
// any rate; volume in hundredths of a decibel; frequency changes resampled;
// play once or looping; lock/unlock in two regions across the wrap.
//
// Every operation may be called from any thread (the game thread, stream
// workers, the movie feeder) while the output mixes: one lock guards the
// mixer's state. Buffers are never lost.
//
// Sections: result codes, formats and flags, SoundBuffer, AudioDevice,
// line gains, the manual clock.
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// ---- result codes (0 success, negative failures, as the sound classes test them)
enum AudioResult : int32_t {
    kAudioOk = 0,
    kAudioErrInvalidParam = -1,     // argument out of range
    kAudioErrInvalidCall = -2,      // wrong state (locked twice, unlock without lock)
    kAudioErrControlUnavail = -3,   // the buffer was made without that control flag
    kAudioErrBadFormat = -4,        // format the mixer does not play
    kAudioErrOutOfMemory = -5,
    kAudioErrNoDevice = -6,
    kAudioErrBufferLost = -7,       // never produced: our buffers are never lost
};
const char* ToString(AudioResult code);

// ---- formats and flags
// The wave format record; byte layout of the classic 18-byte format header.
#pragma pack(push, 1)
struct WaveFormat {
    uint16_t wFormatTag = 0;       // 1 = PCM
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18);

constexpr uint16_t kWaveFormatPcm = 1;

// Buffer capability flags (the values the sound classes pass).
constexpr uint32_t kBufCtrlFrequency = 0x20;
constexpr uint32_t kBufCtrlPan = 0x40;
constexpr uint32_t kBufCtrlVolume = 0x80;
constexpr uint32_t kBufGetCurrentPosition2 = 0x10000;
constexpr uint32_t kBufGlobalFocus = 0x8000;
constexpr uint32_t kBufLocSoftware = 0x8;

// Lock flags.
constexpr uint32_t kLockFromWriteCursor = 1;
constexpr uint32_t kLockEntireBuffer = 2;

// Status bits.
constexpr uint32_t kStatusPlaying = 1;
constexpr uint32_t kStatusBufferLost = 2;
constexpr uint32_t kStatusLooping = 4;

constexpr int32_t kVolumeMin = -10000;
constexpr int32_t kVolumeMax = 0;
constexpr uint32_t kFrequencyMin = 100;
constexpr uint32_t kFrequencyMax = 100000;

// The lines of the mixer; a buffer plays on the wave line unless made for CD audio.
enum class AudioLine : int { Master = 0, Wave = 1, Synth = 2, CD = 3 };

struct BufferDesc {
    uint32_t flags = 0;
    uint32_t bytes = 0;             // buffer size; rounded down to whole blocks
    WaveFormat format;
    AudioLine line = AudioLine::Wave;
};

// ---- SoundBuffer
class Mixer;
struct Voice;
struct AudioOutput;

// A secondary buffer. Made by AudioDevice; kept alive by its shared_ptr
// (the mixer forgets it when the last reference goes).
class SoundBuffer {
public:
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // Starts from the current play cursor; looping wraps at the end, otherwise
    // the buffer stops by itself at its end (cursor back to 0).
    int32_t Play(bool looping);
    // Stops where it is; the cursor is kept.
    int32_t Stop();
    // kStatus* bits.
    int32_t GetStatus(uint32_t* status) const;
    // Play cursor (next byte the mixer reads) and write cursor (first byte
    // safe to write), both block-aligned; either pointer may be null.
    int32_t GetCurrentPosition(uint32_t* play, uint32_t* write) const;
    // Moves the play cursor (rounded down to a block); kAudioErrInvalidParam past the end.
    int32_t SetCurrentPosition(uint32_t offset);
    // Locks `bytes` from `offset` (or the write cursor / the whole buffer by
    // flags); the second region is the part that wrapped to the start (null, 0
    // when none). The regions hold the current contents; the bytes written
    // reach the mixer at Unlock. One lock at a time.
    int32_t Lock(uint32_t offset, uint32_t bytes, void** p1, uint32_t* n1,
                 void** p2, uint32_t* n2, uint32_t flags);
    // Writes the locked regions back; the pointers must be those Lock gave.
    int32_t Unlock(void* p1, uint32_t n1, void* p2, uint32_t n2);
    // -10000..0 hundredths of a dB; needs kBufCtrlVolume.
    int32_t SetVolume(int32_t volume);
    int32_t GetVolume(int32_t* volume) const;
    // 0 (the format's own rate) or 100..100000 Hz; needs kBufCtrlFrequency.
    int32_t SetFrequency(uint32_t hz);
    int32_t GetFrequency(uint32_t* hz) const;
    // -10000 (left only) .. 10000 (right only); needs kBufCtrlPan.
    int32_t SetPan(int32_t pan);
    int32_t GetPan(int32_t* pan) const;
    // Copies the 18-byte format record; *written gets the bytes copied.
    int32_t GetFormat(WaveFormat* out, uint32_t size, uint32_t* written) const;
    // Buffers are never lost: always kAudioOk.
    int32_t Restore();
    uint32_t GetSize() const;
    uint32_t GetFlags() const;
    // Whether two buffers play the same sample memory (duplicates).
    bool SharesSamplesWith(const SoundBuffer& other) const;

private:
    friend class AudioDevice;
    SoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<Voice> voice);
    std::shared_ptr<Mixer> mixer_;
    std::shared_ptr<Voice> voice_;
};

// ---- AudioDevice
// One handle on the process's output. The first live handle opens the output
// (SDL, or nothing under the manual clock); the last one closes it.
class AudioDevice {
public:
    // Null when the output cannot be opened (no audio available).
    static std::unique_ptr<AudioDevice> Create();
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // kAudioErrBadFormat for anything but PCM 8/16 bits, 1/2 channels,
    // 100..100000 Hz; kAudioErrInvalidParam for a size under one block.
    int32_t CreateSoundBuffer(const BufferDesc& desc, std::shared_ptr<SoundBuffer>* out);
    // A new buffer over the same samples, stopped at 0, with the original's
    // volume, frequency and pan.
    int32_t DuplicateSoundBuffer(const SoundBuffer& original, std::shared_ptr<SoundBuffer>* out);

private:
    AudioDevice() = default;
    std::shared_ptr<AudioOutput> output_;
};

// ---- line gains (the mixer's own "system mixer"; never the system volume)
// Left and right gains 0..65535 of a line; a line starts at full.
void SetLineGain(AudioLine line, uint16_t left, uint16_t right);
void GetLineGain(AudioLine line, uint16_t* left, uint16_t* right);

// ---- the manual clock (tests)
// Switches later-opened outputs to the manual clock: nothing plays by itself;
// AdvanceManualClock mixes. Call while no AudioDevice is alive.
void UseManualClock(bool on);
bool IsManualClock();
// Mixes `frames` output frames (44100 Hz stereo) in steps of at most 10 ms,
// appending them to the capture when capturing. No effect without the manual clock.
void AdvanceManualClock(uint32_t frames);
// Starts (clearing) or stops keeping the mixed output.
void SetManualCapture(bool on);
// The mixed output so far, interleaved stereo, and clears it.
std::vector<int16_t> TakeManualCapture();

constexpr uint32_t kMixRate = 44100;
constexpr uint32_t kMixChannels = 2;

}  // namespace platform
