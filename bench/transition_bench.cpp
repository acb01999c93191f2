// The 75 transitions on an 800 x 600 32-bit back buffer with an 800 x 600
// picture with alpha, draw mode 3 (as the picture drawable calls them), each
// against one full-screen AlphaBltFast of the same planes measured in the
// same run. Every level from 1 to 255 is timed once per transition first; the
// three slowest levels of each, and levels 1, 128 and 255, are then measured
// as benchmarks. The summary gives, per transition, its worst frame as a
// multiple of that AlphaBltFast (flagging those over the target and the
// worst of all), then the best, median and worst transition by that measure
// and how many are over. Target: every transition at most 4.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <set>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "transition/TransitionNameTable.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kFixedLevels[] = {1, 128, 255};
constexpr double kTarget = 4;

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

// Prints the summary from every run's time per iteration.
class RatioReporter : public benchsupport::MedianReporter {
public:
    void PrintSummary() const
    {
        const double base = Time("AlphaBltFast");
        if (base <= 0) {
            std::printf("no AlphaBltFast baseline was measured\n");
            return;
        }
        struct Worst {
            double ratio;
            int level;
            std::string name;
        };
        std::vector<Worst> worst;
        std::vector<std::string> rows;
        for (int n = 0; n < kTransitionCount; ++n) {
            const std::string name = TransitionNameTable[n].name;
            Worst w{-1, 0, name};
            for (int level = 1; level <= 255; ++level) {
                const double t = Time(name + "/" + std::to_string(level));
                const double ratio = t < 0 ? -1 : t / base;
                if (ratio > w.ratio) {
                    w = {ratio, level, name};
                }
            }
            if (w.ratio < 0) {
                continue;  // filtered out
            }
            char row[128];
            int used = std::snprintf(row, sizeof row, "%-24s", name.c_str());
            for (int level : kFixedLevels) {
                const double t = Time(name + "/" + std::to_string(level));
                used += std::snprintf(row + used, sizeof row - used, " %8.2f", t < 0 ? -1 : t / base);
            }
            std::snprintf(row + used, sizeof row - used, " %8.2f (%3d)", w.ratio, w.level);
            rows.push_back(row);
            worst.push_back(w);
        }
        if (worst.empty()) {
            return;
        }
        const auto slowest = std::max_element(worst.begin(), worst.end(),
                                              [](const Worst& a, const Worst& b) { return a.ratio < b.ratio; });
        std::printf("\ntransition frame CPU time / one full-screen AlphaBltFast (%.1f us)\n", base);
        std::printf("%-24s %8s %8s %8s %14s\n", "transition", "L=1", "L=128", "L=255", "worst (level)");
        int over = 0;
        for (size_t i = 0; i < worst.size(); ++i) {
            over += worst[i].ratio > kTarget ? 1 : 0;
            const char* flag = &worst[i] == &*slowest ? "  <- worst" : worst[i].ratio > kTarget ? "  over" : "";
            std::printf("%s%s\n", rows[i].c_str(), flag);
        }
        std::sort(worst.begin(), worst.end(), [](const Worst& a, const Worst& b) { return a.ratio < b.ratio; });
        const Worst& best = worst.front();
        const Worst& median = worst[worst.size() / 2];
        const Worst& last = worst.back();
        std::printf("\nworst frame per transition, as a multiple of one AlphaBltFast:\n");
        std::printf("  best   %-24s %6.2f (level %d)\n", best.name.c_str(), best.ratio, best.level);
        std::printf("  median %-24s %6.2f (level %d)\n", median.name.c_str(), median.ratio, median.level);
        std::printf("  worst  %-24s %6.2f (level %d)  target <= %.0f\n", last.name.c_str(), last.ratio, last.level,
                    kTarget);
        std::printf("  %d of %zu over %.0f x\n", over, worst.size(), kTarget);
        PrintRatioLine("worst transition frame (" + last.name + ", level " + std::to_string(last.level) +
                           ") / AlphaBltFast",
                       last.ratio, kTarget);
    }
};

// The three slowest levels of a transition, each timed once (the first call
// of the transition warms its tables and caches).
std::set<int> SlowestLevels(int effect)
{
    Planes& p = SharedPlanes();
    const TransitionFunc f = TransitionNameTable[effect].func;
    f(&p.screen, &p.picture, 0, 0, 128, 3, 255, nullptr);
    std::vector<std::pair<double, int>> times;
    for (int level = 1; level <= 255; ++level) {
        timespec t0{}, t1{};
        clock_gettime(CLOCK_MONOTONIC, &t0);
        f(&p.screen, &p.picture, 0, 0, level, 3, 255, nullptr);
        clock_gettime(CLOCK_MONOTONIC, &t1);
        times.push_back({double(t1.tv_sec - t0.tv_sec) + double(t1.tv_nsec - t0.tv_nsec) * 1e-9, level});
    }
    std::sort(times.rbegin(), times.rend());
    return {times[0].second, times[1].second, times[2].second};
}

// Whether the command line's filter could select the transition (a scan of
// 255 levels is skipped for the ones it cannot).
bool Selected(const std::string& name, int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const std::string flag = "--benchmark_filter=";
        if (a.rfind(flag, 0) == 0) {
            const std::regex filter(a.substr(flag.size()));
            for (const char* level : {"/1", "/128", "/255"}) {
                if (std::regex_search(name + level, filter)) {
                    return true;
                }
            }
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::RegisterBenchmark("AlphaBltFast", BM_AlphaBltFast)->Unit(benchmark::kMicrosecond);
    for (int n = 0; n < kTransitionCount; ++n) {
        if (!Selected(TransitionNameTable[n].name, argc, argv)) {
            continue;
        }
        std::set<int> levels = SlowestLevels(n);
        levels.insert(std::begin(kFixedLevels), std::end(kFixedLevels));
        for (int level : levels) {
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
