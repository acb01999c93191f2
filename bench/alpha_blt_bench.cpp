// AlphaBltFast of a full 800 x 600 picture onto the back buffer, beside
// pixman's OVER of the same pixels (premultiplied, as pixman wants them):
//   32 <- 32 with alpha (7 <- 12), photo alpha: alpha varies smoothly, most
//     pixels partly transparent
//   the same with sprite alpha: shapes, fully opaque inside, fully clear
//     outside, a soft edge of a few pixels
//   the same with random alpha: every pixel's alpha drawn at random, so no
//     group of eight is all clear or all opaque and every one is mixed
//   the same three on a 64 x 64 picture, which the caches hold: the
//     arithmetic, not the memory
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

struct Argb {
    uint8_t a, r, g, b;
};

enum class Alpha { kPhoto, kSprite, kRandom };

// A picture of w x h pixels and its kind of alpha.
struct Shape {
    int w, h;
    Alpha alpha;
};

// A photo-like picture: smooth colour with grain; alpha per kind.
Argb PixelAt(int x, int y, const Shape& shape, std::mt19937& rng)
{
    const int grain = static_cast<int>(rng() % 17) - 8;
    auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    Argb p{0, clamp(x * 255 / shape.w + grain), clamp(y * 255 / shape.h + grain), clamp(128 + (x - y) / 8 + grain)};
    switch (shape.alpha) {
    case Alpha::kPhoto:
        p.a = clamp(static_cast<int>(128 + 110 * std::sin(x / 37.0) * std::cos(y / 53.0)) + grain);
        break;
    case Alpha::kSprite: {
        // Round shapes on a 200-pixel grid, their edges soft over 4 pixels.
        const double dx = (x % 200) - 100, dy = (y % 200) - 100;
        const double edge = (70 - std::sqrt(dx * dx + dy * dy)) * 64;
        p.a = clamp(static_cast<int>(edge));
        break;
    }
    case Alpha::kRandom:
        p.a = static_cast<uint8_t>(rng() >> 24);
        break;
    }
    return p;
}

std::vector<Argb> Picture(const Shape& shape)
{
    std::mt19937 rng(1 + static_cast<unsigned>(shape.alpha));
    std::vector<Argb> out;
    out.reserve(static_cast<size_t>(shape.w) * shape.h);
    for (int y = 0; y < shape.h; ++y)
        for (int x = 0; x < shape.w; ++x) out.push_back(PixelAt(x, y, shape, rng));
    return out;
}

// The picture in one of our alpha formats, the screen a photo-like frame.
void MakePlanes(CFastPlane& dst, CFastPlane& src, int dstFormat, int srcFormat, const Shape& shape)
{
    const int w = shape.w, h = shape.h;
    dst.CreateSurface(w, h, dstFormat);
    src.CreateSurface(w, h, srcFormat);
    const std::vector<Argb> pic = Picture(shape);
    const SurfaceView sv = src.GetSurfaceView(), dv = dst.GetSurfaceView();
    std::mt19937 rng(3);
    for (int y = 0; y < h; ++y) {
        uint8_t* s = sv.pixels + static_cast<intptr_t>(y) * sv.pitch;
        uint8_t* d = dv.pixels + static_cast<intptr_t>(y) * dv.pitch;
        for (int x = 0; x < w; ++x) {
            const Argb p = pic[static_cast<size_t>(y) * w + x];
            if (srcFormat == pixfmt::kBGRA32) {
                s[x * 4] = p.b, s[x * 4 + 1] = p.g, s[x * 4 + 2] = p.r, s[x * 4 + 3] = p.a;
            } else {  // 5-6-5 word, 4-bit level in byte 2
                const uint16_t word = pixfmt::Pack565(p.r, p.g, p.b);
                s[x * 4] = static_cast<uint8_t>(word), s[x * 4 + 1] = static_cast<uint8_t>(word >> 8);
                s[x * 4 + 2] = static_cast<uint8_t>(p.a >> 4), s[x * 4 + 3] = 0;
            }
            for (int i = 0; i < pixfmt::BytesPerPixel(dstFormat); ++i) d[x * pixfmt::BytesPerPixel(dstFormat) + i] = static_cast<uint8_t>(rng());
        }
    }
}

void BM_AlphaBltFast(benchmark::State& state, int dstFormat, int srcFormat, const Shape& shape)
{
    if (raster::SetSimdLevel(static_cast<raster::SimdLevel>(state.range(0))) != static_cast<raster::SimdLevel>(state.range(0))) {
        state.SkipWithError("this processor lacks the instructions");
        raster::SetSimdEnabled(true);
        return;
    }
    CFastPlane dst, src;
    MakePlanes(dst, src, dstFormat, srcFormat, shape);
    for (auto _ : state) {
        dst.AlphaBltFast(&src, 0, 0);
        benchmark::ClobberMemory();
    }
    raster::SetSimdEnabled(true);
}

// pixman draws on planes made as ours are and in the same order, so that
// both sides' rows lie alike: on vectors of its own, where the allocator put
// its source and destination (their alignment, and how far apart modulo 4 KB)
// moved its time by up to a sixth from one build or run order to the next.
void BM_Pixman_Over(benchmark::State& state, int dstFormat, const Shape& shape)
{
    const int w = shape.w, h = shape.h;
    CFastPlane dst, src;
    dst.CreateSurface(w, h, dstFormat);
    src.CreateSurface(w, h, pixfmt::kBGRA32);
    const std::vector<Argb> pic = Picture(shape);
    const SurfaceView sv = src.GetSurfaceView(), dv = dst.GetSurfaceView();
    std::mt19937 rng(3);
    for (int y = 0; y < h; ++y) {
        auto* s = reinterpret_cast<uint32_t*>(sv.pixels + static_cast<intptr_t>(y) * sv.pitch);
        for (int x = 0; x < w; ++x) {
            const Argb p = pic[static_cast<size_t>(y) * w + x];
            auto pm = [&](uint8_t c) { return static_cast<uint32_t>(c * p.a / 255); };
            s[x] = (uint32_t{p.a} << 24) | (pm(p.r) << 16) | (pm(p.g) << 8) | pm(p.b);
        }
        auto* d = reinterpret_cast<uint32_t*>(dv.pixels + static_cast<intptr_t>(y) * dv.pitch);
        for (int i = 0; i < dv.pitch / 4; ++i) d[i] = rng();
    }
    const pixman_format_code_t format = dstFormat == pixfmt::k565 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
    pixman_image_t* si =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, reinterpret_cast<uint32_t*>(sv.pixels), sv.pitch);
    pixman_image_t* di = pixman_image_create_bits(format, w, h, reinterpret_cast<uint32_t*>(dv.pixels), dv.pitch);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, si, nullptr, di, 0, 0, 0, 0, 0, 0, w, h);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(si);
    pixman_image_unref(di);
}

constexpr Shape kPhoto{800, 600, Alpha::kPhoto}, kSprite{800, 600, Alpha::kSprite}, kRandom{800, 600, Alpha::kRandom};
constexpr Shape kPhoto64{64, 64, Alpha::kPhoto}, kSprite64{64, 64, Alpha::kSprite}, kRandom64{64, 64, Alpha::kRandom};

// Ours at each level, then pixman, for each picture.
BENCHMARK_CAPTURE(BM_AlphaBltFast, photo, pixfmt::kBGRX32, pixfmt::kBGRA32, kPhoto)
    ->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pixman_Over, photo, pixfmt::kBGRX32, kPhoto)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AlphaBltFast, sprite, pixfmt::kBGRX32, pixfmt::kBGRA32, kSprite)
    ->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pixman_Over, sprite, pixfmt::kBGRX32, kSprite)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AlphaBltFast, random, pixfmt::kBGRX32, pixfmt::kBGRA32, kRandom)
    ->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pixman_Over, random, pixfmt::kBGRX32, kRandom)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AlphaBltFast, photo64, pixfmt::kBGRX32, pixfmt::kBGRA32, kPhoto64)->DenseRange(0, 2);
BENCHMARK_CAPTURE(BM_Pixman_Over, photo64, pixfmt::kBGRX32, kPhoto64);
BENCHMARK_CAPTURE(BM_AlphaBltFast, sprite64, pixfmt::kBGRX32, pixfmt::kBGRA32, kSprite64)->DenseRange(0, 2);
BENCHMARK_CAPTURE(BM_Pixman_Over, sprite64, pixfmt::kBGRX32, kSprite64);
BENCHMARK_CAPTURE(BM_AlphaBltFast, random64, pixfmt::kBGRX32, pixfmt::kBGRA32, kRandom64)->DenseRange(0, 2);
BENCHMARK_CAPTURE(BM_Pixman_Over, random64, pixfmt::kBGRX32, kRandom64);
BENCHMARK_CAPTURE(BM_AlphaBltFast, 565_photo, pixfmt::k565, pixfmt::k565A4, kPhoto)
    ->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Pixman_Over, 565_photo, pixfmt::k565, kPhoto)->Unit(benchmark::kMicrosecond);

// The table after the runs: ours at the level this processor gets over
// pixman, from the medians when repetitions were asked for.
class RatioReporter : public benchsupport::MedianReporter {
public:
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const std::string best = std::to_string(static_cast<int>(raster::CurrentSimdLevel()));
        PrintRatio("AlphaBltFast 32 <- 32a vs pixman OVER, photo alpha", "BM_AlphaBltFast/photo/" + best,
                   "BM_Pixman_Over/photo", 1.0);
        PrintRatio("AlphaBltFast 32 <- 32a vs pixman OVER, sprite alpha", "BM_AlphaBltFast/sprite/" + best,
                   "BM_Pixman_Over/sprite", 1.0);
        PrintRatio("AlphaBltFast 32 <- 32a vs pixman OVER, random alpha", "BM_AlphaBltFast/random/" + best,
                   "BM_Pixman_Over/random", 0);
        PrintRatio("the same at 64 x 64, photo alpha", "BM_AlphaBltFast/photo64/" + best, "BM_Pixman_Over/photo64", 0);
        PrintRatio("the same at 64 x 64, sprite alpha", "BM_AlphaBltFast/sprite64/" + best, "BM_Pixman_Over/sprite64",
                   0);
        PrintRatio("the same at 64 x 64, random alpha", "BM_AlphaBltFast/random64/" + best, "BM_Pixman_Over/random64",
                   0);
        PrintRatio("AlphaBltFast 5-6-5 vs pixman OVER onto r5g6b5", "BM_AlphaBltFast/565_photo/1",
                   "BM_Pixman_Over/565_photo", 1.2);
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
