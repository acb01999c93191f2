// CSoftPlane::AlphaBlt of an 800 x 600 picture with per-pixel alpha, in the
// kernel set this machine gets (and in set A for comparison), against
// pixman's OVER of the same size.
#include <benchmark/benchmark.h>

#include <pixman.h>

#include <vector>

#include "image/CpuClass.h"
#include "image/SoftPlane.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

void Fill(uint32_t* p, size_t n, uint32_t seed)
{
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        p[i] = seed;
    }
}

void SoftAlphaBlt(benchmark::State& state, int cpuClass)
{
    ForceCpuClassForTesting(cpuClass);
    CSoftPlane src, dst;
    src.Create(kWidth, kHeight);
    dst.Create(kWidth, kHeight);
    ForceCpuClassForTesting(0);
    Fill(src.GetImpl()->GetPixels(), size_t{kWidth} * kHeight, 1);
    Fill(dst.GetImpl()->GetPixels(), size_t{kWidth} * kHeight, 2);
    for (auto _ : state) {
        dst.AlphaBlt(&src, 0, 0);
        benchmark::DoNotOptimize(dst.GetImpl()->GetPixels());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_SoftPlaneAlphaBlt(benchmark::State& state) { SoftAlphaBlt(state, GetCpuClass()); }
void BM_SoftPlaneAlphaBlt_SetA(benchmark::State& state) { SoftAlphaBlt(state, 2); }

void BM_PixmanOver(benchmark::State& state)
{
    std::vector<uint32_t> srcPixels(size_t{kWidth} * kHeight), dstPixels(size_t{kWidth} * kHeight);
    Fill(srcPixels.data(), srcPixels.size(), 1);
    Fill(dstPixels.data(), dstPixels.size(), 2);
    // pixman wants premultiplied colour.
    for (uint32_t& p : srcPixels) {
        uint32_t a = p >> 24;
        uint32_t r = ((p >> 16) & 255) * a / 255, g = ((p >> 8) & 255) * a / 255, b = (p & 255) * a / 255;
        p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, srcPixels.data(), kWidth * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, dstPixels.data(), kWidth * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(dstPixels.data());
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

}  // namespace

BENCHMARK(BM_PixmanOver)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SoftPlaneAlphaBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SoftPlaneAlphaBlt_SetA)->Unit(benchmark::kMicrosecond);
