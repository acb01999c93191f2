// AlphaBltFast of a full 800 x 600 picture onto the back buffer, beside
// pixman's OVER of the same pixels (premultiplied, as pixman wants them):
//   32 <- 32 with alpha (7 <- 12), photo alpha: alpha varies smoothly, most
//     pixels partly transparent
//   the same with sprite alpha: shapes, fully opaque inside, fully clear
//     outside, a soft edge of a few pixels
//   5-6-5 screen (3 <- 10, 4-bit levels) vs pixman OVER a8r8g8b8 onto r5g6b5
// Ours runs with the scalar steps (/0), SSE2 rows (/1) and AVX2 rows (/2);
// the summary states the row the processor gets as a multiple of pixman.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "display/FastPlane.h"
#include "BenchSupport.h"
#include "raster/Simd.h"

namespace {

constexpr int kW = 800, kH = 600;

struct Argb {
    uint8_t a, r, g, b;
};

// A photo-like picture: smooth colour with grain; alpha per kind.
Argb PixelAt(int x, int y, bool sprite, std::mt19937& rng)
{
    const int grain = static_cast<int>(rng() % 17) - 8;
    auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    Argb p{0, clamp(x * 255 / kW + grain), clamp(y * 255 / kH + grain), clamp(128 + (x - y) / 8 + grain)};
    if (!sprite) {
        p.a = clamp(static_cast<int>(128 + 110 * std::sin(x / 37.0) * std::cos(y / 53.0)) + grain);
        return p;
    }
    // Round shapes on a 200-pixel grid, their edges soft over 4 pixels.
    const double dx = (x % 200) - 100, dy = (y % 200) - 100;
    const double edge = (70 - std::sqrt(dx * dx + dy * dy)) * 64;
    p.a = clamp(static_cast<int>(edge));
    return p;
}

std::vector<Argb> Picture(bool sprite)
{
    std::mt19937 rng(sprite ? 2 : 1);
    std::vector<Argb> out;
    out.reserve(kW * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) out.push_back(PixelAt(x, y, sprite, rng));
    return out;
}

// The picture in one of our alpha formats, the screen a photo-like frame.
void MakePlanes(CFastPlane& dst, CFastPlane& src, int dstFormat, int srcFormat, bool sprite)
{
    dst.CreateSurface(kW, kH, dstFormat);
    src.CreateSurface(kW, kH, srcFormat);
    const std::vector<Argb> pic = Picture(sprite);
    const SurfaceView sv = src.GetSurfaceView(), dv = dst.GetSurfaceView();
    std::mt19937 rng(3);
    for (int y = 0; y < kH; ++y) {
        uint8_t* s = sv.pixels + static_cast<intptr_t>(y) * sv.pitch;
        uint8_t* d = dv.pixels + static_cast<intptr_t>(y) * dv.pitch;
        for (int x = 0; x < kW; ++x) {
            const Argb p = pic[static_cast<size_t>(y) * kW + x];
            if (srcFormat == pixfmt::kBGRA32) {
                s[x * 4] = p.b, s[x * 4 + 1] = p.g, s[x * 4 + 2] = p.r, s[x * 4 + 3] = p.a;
            } else {  // 5-6-5 word, 4-bit level in byte 2
                const uint16_t w = pixfmt::Pack565(p.r, p.g, p.b);
                s[x * 4] = static_cast<uint8_t>(w), s[x * 4 + 1] = static_cast<uint8_t>(w >> 8);
                s[x * 4 + 2] = static_cast<uint8_t>(p.a >> 4), s[x * 4 + 3] = 0;
            }
            for (int i = 0; i < pixfmt::BytesPerPixel(dstFormat); ++i) d[x * pixfmt::BytesPerPixel(dstFormat) + i] = static_cast<uint8_t>(rng());
        }
    }
}

void Ours(benchmark::State& state, int dstFormat, int srcFormat, bool sprite)
{
    if (raster::SetSimdLevel(static_cast<raster::SimdLevel>(state.range(0))) != static_cast<raster::SimdLevel>(state.range(0))) {
        state.SkipWithError("this processor lacks the instructions");
        raster::SetSimdEnabled(true);
        return;
    }
    CFastPlane dst, src;
    MakePlanes(dst, src, dstFormat, srcFormat, sprite);
    for (auto _ : state) {
        dst.AlphaBltFast(&src, 0, 0);
        benchmark::ClobberMemory();
    }
    raster::SetSimdEnabled(true);
}

void Pixman(benchmark::State& state, pixman_format_code_t dstFormat, bool sprite)
{
    const std::vector<Argb> pic = Picture(sprite);
    std::vector<uint32_t> src(kW * kH);
    for (size_t i = 0; i < src.size(); ++i) {
        const Argb p = pic[i];
        auto pm = [&](uint8_t c) { return static_cast<uint32_t>(c * p.a / 255); };
        src[i] = (uint32_t{p.a} << 24) | (pm(p.r) << 16) | (pm(p.g) << 8) | pm(p.b);
    }
    const int bpp = dstFormat == PIXMAN_r5g6b5 ? 2 : 4;
    std::vector<uint32_t> dst(kW * kH);
    std::mt19937 rng(3);
    for (auto& d : dst) d = rng();
    pixman_image_t* si = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, src.data(), kW * 4);
    pixman_image_t* di = pixman_image_create_bits(dstFormat, kW, kH, dst.data(), kW * bpp);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, si, nullptr, di, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(si);
    pixman_image_unref(di);
}

void BM_AlphaBltFast_photo(benchmark::State& s) { Ours(s, pixfmt::kBGRX32, pixfmt::kBGRA32, false); }
void BM_Pixman_Over_photo(benchmark::State& s) { Pixman(s, PIXMAN_x8r8g8b8, false); }
void BM_AlphaBltFast_sprite(benchmark::State& s) { Ours(s, pixfmt::kBGRX32, pixfmt::kBGRA32, true); }
void BM_Pixman_Over_sprite(benchmark::State& s) { Pixman(s, PIXMAN_x8r8g8b8, true); }
void BM_AlphaBltFast_565_photo(benchmark::State& s) { Ours(s, pixfmt::k565, pixfmt::k565A4, false); }
void BM_Pixman_Over_565_photo(benchmark::State& s) { Pixman(s, PIXMAN_r5g6b5, false); }

BENCHMARK(BM_AlphaBltFast_photo)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pixman_Over_photo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AlphaBltFast_sprite)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pixman_Over_sprite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AlphaBltFast_565_photo)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pixman_Over_565_photo)->Unit(benchmark::kMicrosecond);

// The table after the runs: ours at the level this processor gets over
// pixman, from the medians when repetitions were asked for.
class RatioReporter : public benchsupport::MedianReporter {
public:
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const std::string best = std::to_string(static_cast<int>(raster::CurrentSimdLevel()));
        PrintRatio("AlphaBltFast 32 <- 32a vs pixman OVER, photo alpha", "BM_AlphaBltFast_photo/" + best,
                   "BM_Pixman_Over_photo", 1.0);
        PrintRatio("AlphaBltFast 32 <- 32a vs pixman OVER, sprite alpha", "BM_AlphaBltFast_sprite/" + best,
                   "BM_Pixman_Over_sprite", 1.0);
        PrintRatio("AlphaBltFast 5-6-5 vs pixman OVER onto r5g6b5", "BM_AlphaBltFast_565_photo/1",
                   "BM_Pixman_Over_565_photo", 1.2);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
