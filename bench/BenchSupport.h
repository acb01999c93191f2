#pragma once
// Shared by the benchmarks that state their results as multiples of one
// full-screen Blt of the back buffer: that Blt, a reporter that prints the
// ratios after the usual table, and the main that runs them with it.
#include <benchmark/benchmark.h>

#include <cstdio>
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
        // Kept under the full name and under the function name (without the
        // arguments that options such as Iterations add to it): a run's time,
        // or the median of its repetitions.
        for (const Run& run : runs) {
            ns_[run.benchmark_name()] = run.GetAdjustedRealTime();
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                ns_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
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

// A console reporter that keeps each benchmark's CPU time per iteration, the
// median when repetitions were asked for, under its full name and under its
// function name (without arguments added by options such as min_time). CPU
// time, not wall time: the benchmarks are single-threaded, and on a shared
// machine wall time also counts the turns other processes took.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            const bool first = r.run_type == Run::RT_Iteration && !r.error_occurred && r.iterations > 0 &&
                               times_.count(r.run_name.str()) == 0;
            if (first || median) {
                times_[r.run_name.str()] = r.GetAdjustedCPUTime();
                times_[r.run_name.function_name] = r.GetAdjustedCPUTime();
            }
        }
    }

protected:
    // The time of a benchmark that ran, else a negative number.
    double Time(const std::string& name) const
    {
        const auto it = times_.find(name);
        return it == times_.end() ? -1 : it->second;
    }
    // Prints one line of the table scripts/bench collects: ours over the
    // reference, against its target (0: no target); nothing when either did not run.
    void PrintRatio(const std::string& what, const std::string& ours, const std::string& ref, double target) const
    {
        if (Time(ours) <= 0 || Time(ref) <= 0)
            return;
        PrintRatioLine(what, Time(ours) / Time(ref), target);
    }
    static void PrintRatioLine(const std::string& what, double ratio, double target)
    {
        if (target <= 0) {
            std::printf("ratio: %-62s %6.2f x\n", what.c_str(), ratio);
            return;
        }
        std::printf("ratio: %-62s %6.2f x  (target <= %.2f x) %s\n", what.c_str(), ratio, target,
                    ratio <= target ? "met" : "MISSED");
    }

private:
    std::map<std::string, double> times_;
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
