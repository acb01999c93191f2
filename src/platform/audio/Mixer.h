#pragma once
// The software mixer behind platform::SoundBuffer: the voices (one per
// secondary buffer), the line gains, and Mix, which the output calls for
// every block of output frames. One mutex guards everything here.
#include "platform/Audio.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

// One secondary buffer's state. `samples` is shared with duplicates.
struct Voice {
    std::shared_ptr<std::vector<uint8_t>> samples;
    WaveFormat format;
    uint32_t flags = 0;
    AudioLine line = AudioLine::Wave;
    uint32_t size = 0;       // bytes, whole blocks
    uint32_t frames = 0;     // size / nBlockAlign
    bool playing = false;
    bool looping = false;
    uint64_t position = 0;   // frames in 32.32 fixed point
    int32_t volume = 0;      // hundredths of a dB
    uint32_t frequency = 0;  // 0 = the format's own rate
    int32_t pan = 0;
    // Lock staging: the regions handed out by Lock, copied back at Unlock.
    bool locked = false;
    uint32_t lockOffset = 0;
    uint32_t lockBytes = 0;
    std::vector<uint8_t> staging;
};

class Mixer {
public:
    // The process's one mixer (it outlives every device handle).
    static std::shared_ptr<Mixer> Instance();

    // Mixes `frames` stereo 16-bit frames at kMixRate into out (overwritten).
    void Mix(int16_t* out, uint32_t frames);

    void Add(Voice* voice);
    void Remove(Voice* voice);

    void SetLineGain(AudioLine line, uint16_t left, uint16_t right);
    void GetLineGain(AudioLine line, uint16_t* left, uint16_t* right);

    std::mutex& Lock() { return mutex_; }

private:
    std::mutex mutex_;
    std::vector<Voice*> voices_;
    std::array<std::array<uint16_t, 2>, 4> lineGain_{{{65535, 65535}, {65535, 65535},
                                                      {65535, 65535}, {65535, 65535}}};
    std::vector<float> accum_;
};

// Linear gain of an attenuation in hundredths of a decibel: 10^(v / 2000).
float AttenuationToGain(int32_t hundredthsOfDb);

}  // namespace platform
