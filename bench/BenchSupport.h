#pragma once
// Shared by the benchmarks that state their results as multiples of one
// full-screen Blt of the back buffer: that Blt, a reporter that prints the
// ratios after the usual table, and the main that runs them with it.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "display/FastPlane.h"
#include "display/PixelFormat.h"

namespace benchsupport {

// One 800 x 600 Blt of a 32-bit picture onto a 32-bit back buffer: the unit
// the ratios are stated in (register it as BM_FullScreenBlt).
inline void BM_FullScreenBlt(benchmark::State& state)
{
    CFastPlane back, picture;
    back.CreateSurface(800, 600, pixfmt::kBGRX32);
    picture.CreateSurface(800, 600, pixfmt::kBGRX32);
    for (auto _ : state) {
        back.Blt(&picture, 0, 0);
        benchmark::ClobberMemory();
    }
}

// The console table, then PrintRatios once every run is in (only when the
// Blt ran, so that a filtered run prints no meaningless ratios).
class BltRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            ns_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        blt_ = ns_["BM_FullScreenBlt"];
        if (blt_ <= 0)
            return;
        PrintRatios();
    }

protected:
    virtual void PrintRatios() = 0;
    bool Ran(const std::string& name) const { return ns_.count(name) != 0; }
    // The benchmark's time over the Blt's (0 for one that did not run).
    double Ratio(const std::string& name) { return ns_[name] / blt_; }

private:
    std::map<std::string, double> ns_;
    double blt_ = 0;
};

// The body of main: runs the benchmarks the command line selects through reporter.
inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace benchsupport
