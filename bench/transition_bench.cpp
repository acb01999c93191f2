// The 75 transitions on an 800 x 600 32-bit back buffer with an 800 x 600
// picture with alpha, draw mode 3 (as the picture drawable calls them), at
// levels 1, 128, 240 and 255, each against one full-screen AlphaBltFast of the
// same planes measured in the same run. The summary gives, per transition,
// its worst frame as a multiple of that AlphaBltFast, then the best, median
// and worst transition by that measure. Target: the worst at most 10.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "transition/TransitionNameTable.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kLevels[] = {1, 128, 240, 255};

struct Planes {
    CFastPlane screen;
    CFastPlane picture;

    Planes()
    {
        screen.CreateSurface(kWidth, kHeight, pixfmt::kBGRX32);
        picture.CreateSurface(kWidth, kHeight, pixfmt::kBGRA32);
        // A picture with every alpha from clear to opaque, as a sprite
        // with soft edges has.
        std::mt19937 rng(1);
        for (CFastPlane* p : {&screen, &picture}) {
            const SurfaceView v = p->GetSurfaceView();
            for (int y = 0; y < kHeight; ++y) {
                uint8_t* row = v.pixels + static_cast<intptr_t>(y) * v.pitch;
                for (int i = 0; i < kWidth * 4; ++i) {
                    row[i] = static_cast<uint8_t>(rng());
                }
            }
        }
    }
};

Planes& SharedPlanes()
{
    static Planes planes;
    return planes;
}

void BM_AlphaBltFast(benchmark::State& state)
{
    Planes& p = SharedPlanes();
    for (auto _ : state) {
        benchmark::DoNotOptimize(p.screen.AlphaBltFast(&p.picture, 0, 0));
    }
}

void BM_Transition(benchmark::State& state, int effect, int level)
{
    Planes& p = SharedPlanes();
    const TransitionFunc f = TransitionNameTable[effect].func;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(&p.screen, &p.picture, 0, 0, level, 3, 255, nullptr));
    }
}

// Collects every run's time per iteration for the summary.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration && r.iterations > 0) {
                times_[r.run_name.function_name] = r.GetAdjustedRealTime();
            }
        }
    }

    void PrintSummary() const
    {
        const auto base = times_.find("AlphaBltFast");
        if (base == times_.end() || base->second <= 0) {
            std::printf("no AlphaBltFast baseline was measured\n");
            return;
        }
        struct Worst {
            double ratio;
            int level;
            std::string name;
        };
        std::vector<Worst> worst;
        std::printf("\ntransition frame time / one full-screen AlphaBltFast (%.1f us)\n", base->second);
        std::printf("%-24s %8s %8s %8s %8s\n", "transition", "L=1", "L=128", "L=240", "L=255");
        for (int n = 0; n < kTransitionCount; ++n) {
            const std::string name = TransitionNameTable[n].name;
            Worst w{-1, 0, name};
            std::printf("%-24s", name.c_str());
            for (int level : kLevels) {
                const auto it = times_.find(name + "/" + std::to_string(level));
                const double ratio = it == times_.end() ? -1 : it->second / base->second;
                std::printf(" %8.2f", ratio);
                if (ratio > w.ratio) {
                    w = {ratio, level, name};
                }
            }
            std::printf("\n");
            worst.push_back(w);
        }
        std::sort(worst.begin(), worst.end(), [](const Worst& a, const Worst& b) { return a.ratio < b.ratio; });
        const Worst& best = worst.front();
        const Worst& median = worst[worst.size() / 2];
        const Worst& last = worst.back();
        std::printf("\nworst frame per transition, as a multiple of one AlphaBltFast:\n");
        std::printf("  best   %-24s %6.2f (level %d)\n", best.name.c_str(), best.ratio, best.level);
        std::printf("  median %-24s %6.2f (level %d)\n", median.name.c_str(), median.ratio, median.level);
        std::printf("  worst  %-24s %6.2f (level %d)  target <= 10\n", last.name.c_str(), last.ratio, last.level);
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::RegisterBenchmark("AlphaBltFast", BM_AlphaBltFast)->Unit(benchmark::kMicrosecond);
    for (int n = 0; n < kTransitionCount; ++n) {
        for (int level : kLevels) {
            const std::string name = std::string(TransitionNameTable[n].name) + "/" + std::to_string(level);
            benchmark::RegisterBenchmark(name.c_str(), BM_Transition, n, level)
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(0.05);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
