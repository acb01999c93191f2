// Unpacking archive entries: the two decoders against memcpy of the same
// output (the floor any unpacking sits on), on 1 MiB of picture-like data
// (32-bit pixels with flat areas and gradients).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "frame/DxorDecode.h"
#include "frame/LzssDecode.h"
#include "frame/NmmPacker.h"

namespace {

const std::vector<uint8_t>& Picture()
{
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> d;
        const int width = 512;
        const int height = 512;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                bool flat = (x / 64 + y / 64) % 2 == 0;
                d.push_back(static_cast<uint8_t>(flat ? 0x20 : x));
                d.push_back(static_cast<uint8_t>(flat ? 0x40 : y));
                d.push_back(static_cast<uint8_t>(flat ? 0x60 : (x ^ y)));
                d.push_back(0xFF);
            }
        }
        return d;
    }();
    return data;
}

void BM_Memcpy(benchmark::State& state)
{
    const auto& src = Picture();
    std::vector<uint8_t> out(src.size());
    for (auto _ : state) {
        std::memcpy(out.data(), src.data(), src.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
}
BENCHMARK(BM_Memcpy);

void BM_LzssDecode(benchmark::State& state)
{
    const auto& src = Picture();
    std::vector<uint8_t> packed = LzssEncode(src.data(), src.size());
    std::vector<uint8_t> out(src.size());
    LzssDecode decoder;
    for (auto _ : state) {
        uint8_t* target = out.data();
        benchmark::DoNotOptimize(decoder.Decode(packed.data(), packed.size(), &target, out.size(), false));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
    state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(src.size());
}
BENCHMARK(BM_LzssDecode);

void BM_DxorDecode(benchmark::State& state)
{
    const auto& src = Picture();
    std::vector<uint8_t> packed = DxorEncode(src.data(), src.size());
    std::vector<uint8_t> out(src.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(DxorDecode().Decode(packed.data(), packed.size(), out.data(), out.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
    state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(src.size());
}
BENCHMARK(BM_DxorDecode);

}  // namespace
