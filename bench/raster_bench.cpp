// The display plane's full-frame kernels at 800 x 600, each beside its
// reference: pixman for the blends, memcpy for the copy.
//   AlphaBltFast 7 <- 12        vs pixman OVER a8r8g8b8 onto x8r8g8b8
//   BlendBltFast 7 <- 7 @ 128   vs pixman OVER with a constant 128 mask
//   Blt 7 <- 7                  vs memcpy of the same rows
//   FadeEffect, AddColorFast (+ SubColorFast) on a 32-bit and a 5-6-5 back
//   buffer; BlendBltFast 3 <- 3 vs pixman OVER r5g6b5 with a constant mask
// Each kernel runs with its SSE2 rows and with the scalar steps alone.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>
#include <vector>

#include "display/FastPlane.h"
#include "raster/Simd.h"

namespace {

constexpr int kW = 800, kH = 600;

void Fill(CFastPlane& p, int format, uint32_t seed)
{
    p.CreateSurface(kW, kH, format);
    std::mt19937 rng(seed);
    SurfaceView v = p.GetSurfaceView();
    for (int y = 0; y < kH; ++y) {
        uint8_t* row = v.pixels + static_cast<intptr_t>(y) * v.pitch;
        for (int i = 0; i < kW * pixfmt::BytesPerPixel(format); ++i) row[i] = static_cast<uint8_t>(rng());
    }
}

void SetSimd(benchmark::State& state) { raster::SetSimdEnabled(state.range(0) != 0); }

void BM_AlphaBltFast_7_from_12(benchmark::State& state)
{
    SetSimd(state);
    CFastPlane dst, src;
    Fill(dst, 7, 1);
    Fill(src, 12, 2);
    for (auto _ : state) {
        dst.AlphaBltFast(&src, 0, 0);
        benchmark::ClobberMemory();
    }
    raster::SetSimdEnabled(true);
}
BENCHMARK(BM_AlphaBltFast_7_from_12)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_Pixman_Over_argb_onto_xrgb(benchmark::State& state)
{
    std::vector<uint32_t> d(kW * kH), s(kW * kH);
    std::mt19937 rng(3);
    for (auto& p : d) p = rng();
    // pixman expects premultiplied colour: keep each channel below the alpha.
    for (auto& p : s) {
        uint32_t a = rng() & 0xFF, r = a ? rng() % (a + 1) : 0, g = a ? rng() % (a + 1) : 0, b = a ? rng() % (a + 1) : 0;
        p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    pixman_image_t* di = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, d.data(), kW * 4);
    pixman_image_t* si = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, s.data(), kW * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, si, nullptr, di, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(si);
    pixman_image_unref(di);
}
BENCHMARK(BM_Pixman_Over_argb_onto_xrgb)->Unit(benchmark::kMicrosecond);

void BM_BlendBltFast_7_from_7_level128(benchmark::State& state)
{
    SetSimd(state);
    CFastPlane dst, src;
    Fill(dst, 7, 4);
    Fill(src, 7, 5);
    for (auto _ : state) {
        dst.BlendBltFast(&src, 0, 0, 128);
        benchmark::ClobberMemory();
    }
    raster::SetSimdEnabled(true);
}
BENCHMARK(BM_BlendBltFast_7_from_7_level128)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_Pixman_Over_constant_mask(benchmark::State& state)
{
    std::vector<uint32_t> d(kW * kH), s(kW * kH);
    std::mt19937 rng(6);
    for (auto& p : d) p = rng();
    for (auto& p : s) p = rng();
    pixman_image_t* di = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, d.data(), kW * 4);
    pixman_image_t* si = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, s.data(), kW * 4);
    pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, si, mask, di, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
    pixman_image_unref(si);
    pixman_image_unref(di);
}
BENCHMARK(BM_Pixman_Over_constant_mask)->Unit(benchmark::kMicrosecond);

void BM_Blt_7_from_7(benchmark::State& state)
{
    CFastPlane dst, src;
    Fill(dst, 7, 7);
    Fill(src, 7, 8);
    for (auto _ : state) {
        dst.Blt(&src, 0, 0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Blt_7_from_7)->Unit(benchmark::kMicrosecond);

void BM_Memcpy_frame(benchmark::State& state)
{
    std::vector<uint8_t> d(kW * kH * 4), s(kW * kH * 4, 1);
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y) std::memcpy(d.data() + y * kW * 4, s.data() + y * kW * 4, kW * 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy_frame)->Unit(benchmark::kMicrosecond);

void BM_FadeEffect_7(benchmark::State& state)
{
    SetSimd(state);
    CFastPlane p;
    Fill(p, 7, 9);
    int f = 0;
    for (auto _ : state) {
        p.FadeEffect(200 + (f++ & 31));
        benchmark::ClobberMemory();
    }
    raster::SetSimdEnabled(true);
}
BENCHMARK(BM_FadeEffect_7)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_AddColorFast_7(benchmark::State& state)
{
    SetSimd(state);
    CFastPlane p;
    Fill(p, 7, 10);
    for (auto _ : state) {
        p.AddColorFast(0x102030);
        p.SubColorFast(0x102030);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2);
    raster::SetSimdEnabled(true);
}
BENCHMARK(BM_AddColorFast_7)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_FadeEffect_3(benchmark::State& state)
{
    SetSimd(state);
    CFastPlane p;
    Fill(p, 3, 14);
    int f = 0;
    for (auto _ : state) {
        p.FadeEffect(200 + (f++ & 31));
        benchmark::ClobberMemory();
    }
    raster::SetSimdEnabled(true);
}
BENCHMARK(BM_FadeEffect_3)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_AddColorFast_3(benchmark::State& state)
{
    SetSimd(state);
    CFastPlane p;
    Fill(p, 3, 15);
    for (auto _ : state) {
        p.AddColorFast(0x102030);
        p.SubColorFast(0x102030);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2);
    raster::SetSimdEnabled(true);
}
BENCHMARK(BM_AddColorFast_3)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_BlendBltFast_3_from_3_level128(benchmark::State& state)
{
    SetSimd(state);
    CFastPlane dst, src;
    Fill(dst, 3, 11);
    Fill(src, 3, 12);
    for (auto _ : state) {
        dst.BlendBltFast(&src, 0, 0, 128);
        benchmark::ClobberMemory();
    }
    raster::SetSimdEnabled(true);
}
BENCHMARK(BM_BlendBltFast_3_from_3_level128)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_Pixman_Over_constant_mask_565(benchmark::State& state)
{
    std::vector<uint16_t> d(kW * kH), s(kW * kH);
    std::mt19937 rng(13);
    for (auto& p : d) p = static_cast<uint16_t>(rng());
    for (auto& p : s) p = static_cast<uint16_t>(rng());
    pixman_image_t* di = pixman_image_create_bits(PIXMAN_r5g6b5, kW, kH, reinterpret_cast<uint32_t*>(d.data()), kW * 2);
    pixman_image_t* si = pixman_image_create_bits(PIXMAN_r5g6b5, kW, kH, reinterpret_cast<uint32_t*>(s.data()), kW * 2);
    pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, si, mask, di, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
    pixman_image_unref(si);
    pixman_image_unref(di);
}
BENCHMARK(BM_Pixman_Over_constant_mask_565)->Unit(benchmark::kMicrosecond);

}  // namespace
