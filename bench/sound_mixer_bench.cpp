// The mixer's cost per second of audio with 8 buffers playing, as a ratio to
// real time (counter "realtime_ratio": 0.01 means one second of output costs
// 10 ms). The buffers mix every kind the game plays: 8/16-bit, mono/stereo,
// rates that need resampling, and a frequency change.
#include "platform/Audio.h"
#include "platform/Time.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::shared_ptr<platform::SoundBuffer> MakeTone(platform::AudioDevice& device, uint16_t channels,
                                                uint32_t rate, uint16_t bits, double hz)
{
    platform::BufferDesc d;
    d.flags = platform::kBufCtrlVolume | platform::kBufCtrlFrequency;
    d.format.wFormatTag = platform::kWaveFormatPcm;
    d.format.nChannels = channels;
    d.format.nSamplesPerSec = rate;
    d.format.wBitsPerSample = bits;
    d.format.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
    d.format.nAvgBytesPerSec = rate * d.format.nBlockAlign;
    d.bytes = rate * d.format.nBlockAlign * 2;  // two seconds, looping
    std::shared_ptr<platform::SoundBuffer> b;
    device.CreateSoundBuffer(d, &b);
    void* p1; uint32_t n1; void* p2; uint32_t n2;
    b->Lock(0, 0, &p1, &n1, &p2, &n2, platform::kLockEntireBuffer);
    auto* bytes = static_cast<uint8_t*>(p1);
    uint32_t frames = n1 / d.format.nBlockAlign;
    for (uint32_t i = 0; i < frames; ++i) {
        double v = std::sin(2 * M_PI * hz * i / rate);
        for (uint16_t c = 0; c < channels; ++c) {
            if (bits == 8) {
                bytes[i * channels + c] = static_cast<uint8_t>(128 + 100 * v);
            } else {
                int16_t s = static_cast<int16_t>(20000 * v);
                std::memcpy(bytes + (i * channels + c) * 2, &s, 2);
            }
        }
    }
    b->Unlock(p1, n1, p2, n2);
    b->SetVolume(-600);
    return b;
}

void BM_MixOneSecondEightBuffers(benchmark::State& state)
{
    platform::UseManualClock(true);
    auto device = platform::AudioDevice::Create();
    std::vector<std::shared_ptr<platform::SoundBuffer>> buffers = {
        MakeTone(*device, 2, 44100, 16, 440), MakeTone(*device, 1, 44100, 16, 330),
        MakeTone(*device, 2, 22050, 16, 220), MakeTone(*device, 1, 22050, 8, 550),
        MakeTone(*device, 2, 48000, 16, 660), MakeTone(*device, 1, 11025, 8, 110),
        MakeTone(*device, 2, 32000, 16, 880), MakeTone(*device, 1, 44100, 8, 770),
    };
    buffers[6]->SetFrequency(36000);
    for (auto& b : buffers) {
        b->Play(true);
    }
    double seconds = 0;
    for (auto _ : state) {
        uint64_t start = platform::GetMicroTicks();
        platform::AdvanceManualClock(platform::kMixRate);
        seconds += static_cast<double>(platform::GetMicroTicks() - start) / 1e6;
    }
    state.counters["realtime_ratio"] = seconds / static_cast<double>(state.iterations());
    buffers.clear();
    device.reset();
    platform::UseManualClock(false);
}
BENCHMARK(BM_MixOneSecondEightBuffers)->Unit(benchmark::kMillisecond);

}  // namespace
