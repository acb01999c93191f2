// Profile files at the size of the largest save: 65,536 variables in one
// section. Reading is parsing the text and finding every key; writing is
// setting every key and making the text. There is no reference library for
// this format: each prints its time against the 50 ms target (a save or a
// load must not hold up a frame loop for longer than a few frames).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "frame/ProfileFile.h"

namespace {

constexpr int kKeys = 65536;
constexpr double kTargetMs = 50.0;

const std::string& SaveText()
{
    static const std::string text = [] {
        ProfileFile p;
        p.SetString("title", "text", "a long game");
        for (int i = 0; i < kKeys; ++i) {
            const int value = i * 7;
            p.SetInt("valsInt", std::to_string(i), &value);
        }
        return p.serialize(0);
    }();
    return text;
}

void BM_ProfileRead65536Keys(benchmark::State& state)
{
    const std::string& text = SaveText();
    for (auto _ : state) {
        ProfileFile p;
        p.loadFromMemory(text.data(), text.size());
        std::string value;
        for (int i = 0; i < kKeys; ++i)
            p.GetString("valsInt", std::to_string(i), &value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ProfileRead65536Keys)->Unit(benchmark::kMillisecond);

void BM_ProfileWrite65536Keys(benchmark::State& state)
{
    for (auto _ : state) {
        ProfileFile p;
        p.SetString("title", "text", "a long game");
        for (int i = 0; i < kKeys; ++i) {
            const int value = i * 7;
            p.SetInt("valsInt", std::to_string(i), &value);
        }
        std::string text = p.serialize(0);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ProfileWrite65536Keys)->Unit(benchmark::kMillisecond);

// The times over the 50 ms target (so "ratio" <= 1.00 meets it).
class TargetReporter : public benchsupport::MedianReporter {
public:
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        Print("profile: read 65,536 keys, time / 50 ms", "BM_ProfileRead65536Keys");
        Print("profile: write 65,536 keys, time / 50 ms", "BM_ProfileWrite65536Keys");
    }

private:
    void Print(const std::string& what, const std::string& name) const
    {
        const double ms = Time(name);
        if (ms > 0) {
            char label[96];
            std::snprintf(label, sizeof label, "%s (%.1f ms)", what.c_str(), ms);
            PrintRatioLine(label, ms / kTargetMs, 1.0);
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    TargetReporter reporter;
    return benchsupport::RunBenchmarks(argc, argv, reporter);
}
