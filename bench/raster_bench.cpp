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

// Sets the SSE2 rows on or off from the benchmark's argument for one run,
// and back on after it (the other benchmarks expect the default).
class SimdChoice {
public:
    explicit SimdChoice(benchmark::State& state) { raster::SetSimdEnabled(state.range(0) != 0); }
    ~SimdChoice() { raster::SetSimdEnabled(true); }
    SimdChoice(const SimdChoice&) = delete;
    SimdChoice& operator=(const SimdChoice&) = delete;
};

// Runs op(plane) once per iteration on a full frame of the format.
template <class Op>
void RunOnFrame(benchmark::State& state, int format, uint32_t seed, Op op)
{
    CFastPlane p;
    Fill(p, format, seed);
    for (auto _ : state) {
        op(p);
        benchmark::ClobberMemory();
    }
}

// Runs op(dst, src) once per iteration on two full frames.
template <class Op>
void RunOnFrames(benchmark::State& state, int dstFormat, uint32_t dstSeed, int srcFormat, uint32_t srcSeed, Op op)
{
    CFastPlane dst, src;
    Fill(dst, dstFormat, dstSeed);
    Fill(src, srcFormat, srcSeed);
    for (auto _ : state) {
        op(dst, src);
        benchmark::ClobberMemory();
    }
}

// A frame of random pixels, drawn from rng in order.
template <class T>
std::vector<T> RandomFrame(std::mt19937& rng)
{
    std::vector<T> pixels(kW * kH);
    for (auto& p : pixels) p = static_cast<T>(rng());
    return pixels;
}

// A solid mask of half coverage: pixman's form of a constant 128 blend.
pixman_image_t* HalfMask()
{
    pixman_color_t half{0, 0, 0, 0x8080};
    return pixman_image_create_solid_fill(&half);
}

// Composites src OVER dst (through mask, if not null) once per iteration,
// then releases the images.
void CompositeFrames(benchmark::State& state, pixman_image_t* si, pixman_image_t* mask, pixman_image_t* di)
{
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, si, mask, di, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    if (mask) pixman_image_unref(mask);
    pixman_image_unref(si);
    pixman_image_unref(di);
}

void BlendAt128(benchmark::State& state, int format, uint32_t dstSeed, uint32_t srcSeed)
{
    SimdChoice simd(state);
    RunOnFrames(state, format, dstSeed, format, srcSeed, [](CFastPlane& dst, CFastPlane& src) { dst.BlendBltFast(&src, 0, 0, 128); });
}

void FadeSteps(benchmark::State& state, int format, uint32_t seed)
{
    SimdChoice simd(state);
    int f = 0;
    RunOnFrame(state, format, seed, [&f](CFastPlane& p) { p.FadeEffect(200 + (f++ & 31)); });
}

void AddThenSub(benchmark::State& state, int format, uint32_t seed)
{
    SimdChoice simd(state);
    RunOnFrame(state, format, seed, [](CFastPlane& p) {
        p.AddColorFast(0x102030);
        p.SubColorFast(0x102030);
    });
    state.SetItemsProcessed(state.iterations() * 2);
}

void BM_AlphaBltFast_7_from_12(benchmark::State& state)
{
    SimdChoice simd(state);
    RunOnFrames(state, 7, 1, 12, 2, [](CFastPlane& dst, CFastPlane& src) { dst.AlphaBltFast(&src, 0, 0); });
}
BENCHMARK(BM_AlphaBltFast_7_from_12)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_Pixman_Over_argb_onto_xrgb(benchmark::State& state)
{
    std::mt19937 rng(3);
    std::vector<uint32_t> d = RandomFrame<uint32_t>(rng), s(kW * kH);
    // pixman expects premultiplied colour: keep each channel below the alpha.
    for (auto& p : s) {
        uint32_t a = rng() & 0xFF, r = a ? rng() % (a + 1) : 0, g = a ? rng() % (a + 1) : 0, b = a ? rng() % (a + 1) : 0;
        p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    CompositeFrames(state, pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, s.data(), kW * 4), nullptr,
                    pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, d.data(), kW * 4));
}
BENCHMARK(BM_Pixman_Over_argb_onto_xrgb)->Unit(benchmark::kMicrosecond);

void BM_BlendBltFast_7_from_7_level128(benchmark::State& state) { BlendAt128(state, 7, 4, 5); }
BENCHMARK(BM_BlendBltFast_7_from_7_level128)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_Pixman_Over_constant_mask(benchmark::State& state)
{
    std::mt19937 rng(6);
    std::vector<uint32_t> d = RandomFrame<uint32_t>(rng);
    std::vector<uint32_t> s = RandomFrame<uint32_t>(rng);
    CompositeFrames(state, pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, s.data(), kW * 4), HalfMask(),
                    pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, d.data(), kW * 4));
}
BENCHMARK(BM_Pixman_Over_constant_mask)->Unit(benchmark::kMicrosecond);

void BM_Blt_7_from_7(benchmark::State& state)
{
    RunOnFrames(state, 7, 7, 7, 8, [](CFastPlane& dst, CFastPlane& src) { dst.Blt(&src, 0, 0); });
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

void BM_FadeEffect_7(benchmark::State& state) { FadeSteps(state, 7, 9); }
BENCHMARK(BM_FadeEffect_7)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_AddColorFast_7(benchmark::State& state) { AddThenSub(state, 7, 10); }
BENCHMARK(BM_AddColorFast_7)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_FadeEffect_3(benchmark::State& state) { FadeSteps(state, 3, 14); }
BENCHMARK(BM_FadeEffect_3)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_AddColorFast_3(benchmark::State& state) { AddThenSub(state, 3, 15); }
BENCHMARK(BM_AddColorFast_3)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_BlendBltFast_3_from_3_level128(benchmark::State& state) { BlendAt128(state, 3, 11, 12); }
BENCHMARK(BM_BlendBltFast_3_from_3_level128)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_Pixman_Over_constant_mask_565(benchmark::State& state)
{
    std::mt19937 rng(13);
    std::vector<uint16_t> d = RandomFrame<uint16_t>(rng);
    std::vector<uint16_t> s = RandomFrame<uint16_t>(rng);
    CompositeFrames(state, pixman_image_create_bits(PIXMAN_r5g6b5, kW, kH, reinterpret_cast<uint32_t*>(s.data()), kW * 2),
                    HalfMask(), pixman_image_create_bits(PIXMAN_r5g6b5, kW, kH, reinterpret_cast<uint32_t*>(d.data()), kW * 2));
}
BENCHMARK(BM_Pixman_Over_constant_mask_565)->Unit(benchmark::kMicrosecond);

}  // namespace
