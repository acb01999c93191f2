// Frame pacing: how closely CFrameTimer keeps a loop on its schedule, side by
// side with the naive loop that sleeps a whole-millisecond period per frame.
// Counters (microseconds): mean and largest distance of each frame's end from
// its ideal time, and the drift of the last frame. Compare the two rows.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "frame/CFrameTimer.h"
#include "platform/Time.h"

namespace {

constexpr int kFrames = 60;

template <typename WaitFrame>
void MeasurePacing(benchmark::State& state, int fps, WaitFrame waitFrame)
{
    const double periodUs = 1e6 / fps;
    double sumError = 0;
    double maxError = 0;
    double drift = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        std::vector<uint64_t> ends;
        ends.reserve(kFrames);
        const uint64_t start = platform::GetMicroTicks();
        waitFrame(true);   // restart the schedule at `start`
        for (int i = 0; i < kFrames; ++i) {
            waitFrame(false);
            ends.push_back(platform::GetMicroTicks());
        }
        for (int i = 0; i < kFrames; ++i) {
            const double error = std::fabs(static_cast<double>(ends[i] - start) - (i + 1) * periodUs);
            sumError += error;
            maxError = std::max(maxError, error);
        }
        drift += static_cast<double>(ends.back() - start) - kFrames * periodUs;
        frames += kFrames;
    }
    state.counters["mean_abs_error_us"] = sumError / static_cast<double>(frames);
    state.counters["max_error_us"] = maxError;
    state.counters["drift_per_second_us"] =
        drift / static_cast<double>(state.iterations()) * (static_cast<double>(fps) / kFrames);
}

void BM_FrameTimer(benchmark::State& state)
{
    const int fps = static_cast<int>(state.range(0));
    CFrameTimer timer;
    MeasurePacing(state, fps, [&](bool restart) {
        if (restart) {
            timer.SetFPS(fps);
        } else {
            timer.WaitFrame();
        }
    });
}

// The reference: sleep the period rounded down to whole milliseconds.
void BM_NaiveSleep(benchmark::State& state)
{
    const int fps = static_cast<int>(state.range(0));
    MeasurePacing(state, fps, [&](bool restart) {
        if (!restart) {
            platform::SleepMs(1000 / fps);
        }
    });
}

BENCHMARK(BM_FrameTimer)->Arg(30)->Arg(60)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NaiveSleep)->Arg(30)->Arg(60)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
