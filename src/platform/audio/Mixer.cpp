#include "platform/audio/Mixer.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Sample value on the 16-bit scale: 8-bit PCM is unsigned around 128.
template <int Bits>
inline float SampleAt(const uint8_t* p)
{
    if constexpr (Bits == 8) {
        return static_cast<float>((static_cast<int>(*p) - 128) * 256);
    } else {
        int16_t s;
        __builtin_memcpy(&s, p, 2);
        return static_cast<float>(s);
    }
}

// Adds one voice into the accumulator; returns false when a non-looping
// voice reached its end (it is then stopped by the caller).
template <int Bits, int Channels>
bool MixVoice(Voice& v, float* acc, uint32_t frames, float gainL, float gainR)
{
    constexpr uint32_t kBlock = Channels * Bits / 8;
    constexpr uint32_t kSampleBytes = Bits / 8;
    const uint8_t* data = v.samples->data();
    const uint64_t end = static_cast<uint64_t>(v.frames) << 32;
    const uint32_t rate = v.frequency ? v.frequency : v.format.nSamplesPerSec;
    const uint64_t step = (static_cast<uint64_t>(rate) << 32) / kMixRate;
    uint64_t pos = v.position;
    for (uint32_t i = 0; i < frames; ++i) {
        uint32_t idx = static_cast<uint32_t>(pos >> 32);
        uint32_t next = idx + 1;
        if (next >= v.frames) {
            next = v.looping ? 0 : idx;
        }
        float frac = static_cast<float>(static_cast<uint32_t>(pos)) * (1.0f / 4294967296.0f);
        const uint8_t* a = data + static_cast<size_t>(idx) * kBlock;
        const uint8_t* b = data + static_cast<size_t>(next) * kBlock;
        float l0 = SampleAt<Bits>(a);
        float l1 = SampleAt<Bits>(b);
        float left = l0 + (l1 - l0) * frac;
        float right = left;
        if constexpr (Channels == 2) {
            float r0 = SampleAt<Bits>(a + kSampleBytes);
            float r1 = SampleAt<Bits>(b + kSampleBytes);
            right = r0 + (r1 - r0) * frac;
        }
        acc[2 * i] += left * gainL;
        acc[2 * i + 1] += right * gainR;
        pos += step;
        if (pos >= end) {
            if (!v.looping) {
                v.position = 0;
                return false;
            }
            pos %= end;
        }
    }
    v.position = pos;
    return true;
}

}  // namespace

float AttenuationToGain(int32_t hundredthsOfDb)
{
    if (hundredthsOfDb <= kVolumeMin) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, hundredthsOfDb / 2000.0));
}

std::shared_ptr<Mixer> Mixer::Instance()
{
    static std::shared_ptr<Mixer> instance = std::make_shared<Mixer>();
    return instance;
}

void Mixer::Add(Voice* voice)
{
    std::lock_guard<std::mutex> lock(mutex_);
    voices_.push_back(voice);
}

void Mixer::Remove(Voice* voice)
{
    std::lock_guard<std::mutex> lock(mutex_);
    voices_.erase(std::remove(voices_.begin(), voices_.end(), voice), voices_.end());
}

void Mixer::SetLineGain(AudioLine line, uint16_t left, uint16_t right)
{
    std::lock_guard<std::mutex> lock(mutex_);
    lineGain_[static_cast<int>(line)] = {left, right};
}

void Mixer::GetLineGain(AudioLine line, uint16_t* left, uint16_t* right)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (left) *left = lineGain_[static_cast<int>(line)][0];
    if (right) *right = lineGain_[static_cast<int>(line)][1];
}

void Mixer::Mix(int16_t* out, uint32_t frames)
{
    std::lock_guard<std::mutex> lock(mutex_);
    // At rest nothing plays: the output is silence, with no mixing to do.
    if (std::none_of(voices_.begin(), voices_.end(), [](const Voice* v) { return v->playing && v->frames != 0; })) {
        std::fill(out, out + static_cast<size_t>(frames) * 2, int16_t{0});
        return;
    }
    accum_.assign(static_cast<size_t>(frames) * 2, 0.0f);
    const float masterL = lineGain_[0][0] / 65535.0f;
    const float masterR = lineGain_[0][1] / 65535.0f;
    for (Voice* v : voices_) {
        if (!v->playing || v->frames == 0) {
            continue;
        }
        const auto& line = lineGain_[static_cast<int>(v->line)];
        float gain = AttenuationToGain(v->volume);
        float panL = v->pan > 0 ? AttenuationToGain(-v->pan) : 1.0f;
        float panR = v->pan < 0 ? AttenuationToGain(v->pan) : 1.0f;
        float gl = gain * panL * masterL * (line[0] / 65535.0f);
        float gr = gain * panR * masterR * (line[1] / 65535.0f);
        bool more;
        const bool stereo = v->format.nChannels == 2;
        if (v->format.wBitsPerSample == 8) {
            more = stereo ? MixVoice<8, 2>(*v, accum_.data(), frames, gl, gr)
                          : MixVoice<8, 1>(*v, accum_.data(), frames, gl, gr);
        } else {
            more = stereo ? MixVoice<16, 2>(*v, accum_.data(), frames, gl, gr)
                          : MixVoice<16, 1>(*v, accum_.data(), frames, gl, gr);
        }
        if (!more) {
            v->playing = false;
        }
    }
    for (size_t i = 0; i < accum_.size(); ++i) {
        float s = std::nearbyint(accum_[i]);
        out[i] = static_cast<int16_t>(std::clamp(s, -32768.0f, 32767.0f));
    }
}

}  // namespace platform
