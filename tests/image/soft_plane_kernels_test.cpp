// The thirty-two software-plane kernels of both kernel sets against a plain
// per-pixel reference written here from the per-pixel rules and the stepping
// contract, over random planes: 1:1, stretched (both ways), mirrored, clipped,
// with a source rectangle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "image/CpuClass.h"
#include "image/SoftPlane.h"

namespace {

uint32_t Ch(uint32_t p, int c) { return (p >> (8 * c)) & 0xFF; }

uint32_t Pack(uint32_t b, uint32_t g, uint32_t r, uint32_t a) { return b | (g << 8) | (r << 16) | (a << 24); }

constexpr SoftKernel kAllKernels[] = {
    SoftKernel::BltColorKey,          SoftKernel::Blt,          SoftKernel::HalfBltColorKey,
    SoftKernel::HalfBlt,              SoftKernel::RateBltColorKey, SoftKernel::RateBlt,
    SoftKernel::AddBltColorKey,       SoftKernel::AddBlt,       SoftKernel::SubBltColorKey,
    SoftKernel::SubBlt,               SoftKernel::BltColorKeyClearAlpha, SoftKernel::BltClearAlpha,
    SoftKernel::AlphaRateBlt,         SoftKernel::AlphaBlt,     SoftKernel::BltColorKeyKeepAlpha,
    SoftKernel::BltKeepAlpha,
};

const char* Name(SoftKernel k)
{
    static const char* names[] = {"BltColorKey", "Blt", "HalfBltColorKey", "HalfBlt", "RateBltColorKey", "RateBlt",
                                  "AddBltColorKey", "AddBlt", "SubBltColorKey", "SubBlt", "BltColorKeyClearAlpha",
                                  "BltClearAlpha", "AlphaRateBlt", "AlphaBlt", "BltColorKeyKeepAlpha",
                                  "BltKeepAlpha"};
    return names[static_cast<int>(k)];
}

// The per-pixel rule of kernel k in set A (simd = false) or B/C (simd = true),
// written channel by channel from the rules' table.
uint32_t Reference(SoftKernel k, bool simd, uint32_t s, uint32_t d, uint32_t key, Rates dstRate, Rates srcRate)
{
    auto colour = [&](auto rule, uint32_t top) {
        return Pack(rule(0), rule(1), rule(2), top);
    };
    uint32_t sTop = s >> 24;
    uint32_t dTop = d >> 24;
    switch (k) {
    case SoftKernel::BltColorKey: return s == key ? d : s;
    case SoftKernel::Blt: return s;
    case SoftKernel::HalfBltColorKey:
        if (s == key) return d;
        [[fallthrough]];
    case SoftKernel::HalfBlt: return colour([&](int c) { return (Ch(s, c) + Ch(d, c)) / 2; }, sTop & dTop);
    case SoftKernel::RateBltColorKey:
        if (s == key) return d;
        [[fallthrough]];
    case SoftKernel::RateBlt:
        return colour([&](int c) {
            return std::min<uint32_t>(255, Ch(s, c) * Ch(srcRate, c) / 256 + Ch(d, c) * Ch(dstRate, c) / 256);
        }, 0);
    case SoftKernel::AddBltColorKey:
        if (s == key) return d;
        [[fallthrough]];
    case SoftKernel::AddBlt:
        return colour([&](int c) { return std::min<uint32_t>(255, Ch(s, c) + Ch(d, c)); },
                      simd ? std::min<uint32_t>(255, sTop + dTop) : (sTop + dTop) % 256);
    case SoftKernel::SubBltColorKey:
        if (s == key) return d;
        [[fallthrough]];
    case SoftKernel::SubBlt:
        return colour([&](int c) { return Ch(d, c) > Ch(s, c) ? Ch(d, c) - Ch(s, c) : 0u; },
                      simd ? (dTop > sTop ? dTop - sTop : 0u) : (dTop - sTop) & 0xFF);
    case SoftKernel::BltColorKeyClearAlpha:
        if ((s & 0xFFFFFF) == key) return d;
        [[fallthrough]];
    case SoftKernel::BltClearAlpha: return s & 0xFFFFFF;
    case SoftKernel::AlphaRateBlt: {
        uint32_t a = sTop == 255 ? 256 : sTop;
        return colour([&](int c) {
            uint32_t f = a * Ch(srcRate, c) / 256;
            uint32_t g = 255 - a * (255 - Ch(dstRate, c)) / 256;
            return std::min<uint32_t>(255, Ch(s, c) * f / 256 + Ch(d, c) * g / 256);
        }, 0);
    }
    case SoftKernel::AlphaBlt: {
        uint32_t f = sTop == 255 ? 256 : sTop;
        uint32_t g = simd ? 256 - f : (sTop == 0 ? 256 : 255 - sTop);
        return colour([&](int c) { return std::min<uint32_t>(255, Ch(s, c) * f / 256 + Ch(d, c) * g / 256); }, 0);
    }
    case SoftKernel::BltColorKeyKeepAlpha:
        if (s == key) return d;
        [[fallthrough]];
    case SoftKernel::BltKeepAlpha: return (s & 0xFFFFFF) | (d & 0xFF000000);
    }
    return 0;
}

// The source column (or row) that destination offset i of an unclipped walk
// samples, from the stepping contract: the error term starts at -den - 1
// (den the destination size), the column advances by size / den plus one on
// each carry. Mirrored walks use doubled terms and are clamped into the source.
std::vector<int> SampleIndices(int srcStart, int srcSize, int dstSize, bool mirror)
{
    std::vector<int> out;
    if (dstSize == srcSize) {
        for (int i = 0; i < dstSize; ++i) out.push_back(mirror ? srcStart + srcSize - 1 - i : srcStart + i);
        return out;
    }
    int step = srcSize / dstSize;
    int rem = mirror ? (2 * srcSize) % (2 * dstSize) : srcSize % dstSize;
    int den = mirror ? 2 * dstSize : dstSize;
    int err = -dstSize - 1;
    int pos = 0;
    for (int i = 0; i < dstSize; ++i) {
        int p = std::min(pos, srcSize - 1);
        out.push_back(mirror ? srcStart + srcSize - 1 - p : srcStart + p);
        pos += step;
        err += rem;
        if (err >= 0) {
            ++pos;
            err -= den;
        }
    }
    return out;
}

std::vector<int> RowIndices(int srcStart, int srcSize, int dstSize, bool mirror, bool stretch)
{
    // Rows are never mirrored, but a mirrored stretch walks them with the
    // doubled (half-pixel) terms.
    if (!stretch) {
        std::vector<int> out;
        for (int i = 0; i < srcSize; ++i) out.push_back(srcStart + i);
        return out;
    }
    std::vector<int> rows = SampleIndices(0, srcSize, dstSize, mirror);
    for (int& r : rows) r = mirror ? srcStart + (srcSize - 1 - r) : srcStart + r;
    return rows;
}

struct Plane {
    CSoftPlane plane;
    std::vector<uint32_t> Pixels()
    {
        int w = 0, h = 0;
        plane.GetSize(&w, &h);
        return std::vector<uint32_t>(plane.GetImpl()->GetPixels(), plane.GetImpl()->GetPixels() + w * h);
    }
};

void FillRandom(CSoftPlane& p, std::mt19937& rng, uint32_t key)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    uint32_t* px = p.GetImpl()->GetPixels();
    const uint32_t alphas[] = {0, 1, 128, 254, 255};
    for (int i = 0; i < w * h; ++i) {
        uint32_t v = rng();
        switch (rng() % 8) {
        case 0: v = key; break;                                     // keyed by both tests
        case 1: v = key | 0x5A000000; break;                        // keyed only by the 24-bit test
        case 2: v = (v & 0xFFFFFF) | (alphas[rng() % 5] << 24); break;  // the alpha edge values
        case 3: v |= 0xF0F0F0; break;                               // saturating channels
        default: break;
        }
        px[i] = v;
    }
}

struct Case {
    const char* what;
    int srcW, srcH, dstW, dstH;
    int x, y;
    Rect srcRect;
    bool useSrcRect;
    Size size;
    bool useSize;
    Rect clip;
    bool useClip;
};

void CheckCase(const Case& c, int cpuClass, std::mt19937& rng)
{
    ForceCpuClassForTesting(cpuClass);
    const bool simd = cpuClass >= 3;
    for (SoftKernel k : kAllKernels) {
        for (bool mirror : {false, true}) {
            CSoftPlane src;
            CSoftPlane dst;
            ASSERT_EQ(src.Create(c.srcW, c.srcH), 0);
            ASSERT_EQ(dst.Create(c.dstW, c.dstH), 0);
            uint32_t key = rng() & 0xFFFFFF;
            src.GetImpl()->SetColorKeyRGB(key >> 16, (key >> 8) & 0xFF, key & 0xFF);
            FillRandom(src, rng, key);
            FillRandom(dst, rng, key);
            Rates dstRate = rng() & 0xFFFFFF;
            Rates srcRate = rng() & 0xFFFFFF;
            const uint32_t* sp = src.GetImpl()->GetPixels();
            std::vector<uint32_t> before(dst.GetImpl()->GetPixels(), dst.GetImpl()->GetPixels() + c.dstW * c.dstH);

            Rect s = c.useSrcRect ? c.srcRect : Rect{0, 0, c.srcW, c.srcH};
            int outW = c.useSize ? c.size.cx : s.Width();
            int outH = c.useSize ? c.size.cy : s.Height();
            bool stretch = c.useSize && (outW != s.Width() || outH != s.Height());
            std::vector<int> cols = stretch ? SampleIndices(s.left, s.Width(), outW, mirror)
                                            : SampleIndices(s.left, s.Width(), s.Width(), mirror);
            std::vector<int> rows = RowIndices(s.top, s.Height(), outH, mirror, stretch);
            Rect clip = c.useClip ? c.clip : Rect{0, 0, c.dstW, c.dstH};
            clip = Rect{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, c.dstW),
                        std::min(clip.bottom, c.dstH)};

            std::vector<uint32_t> expected = before;
            for (int j = 0; j < outH; ++j) {
                for (int i = 0; i < outW; ++i) {
                    int X = c.x + i, Y = c.y + j;
                    if (X < clip.left || X >= clip.right || Y < clip.top || Y >= clip.bottom) continue;
                    uint32_t sv = sp[rows[j] * c.srcW + cols[i]];
                    uint32_t& dv = expected[Y * c.dstW + X];
                    dv = Reference(k, simd, sv, dv, key, dstRate, srcRate);
                }
            }

            CSoftPlaneImpl* impl = dst.GetImpl();
            int result = impl->RunKernel(k, mirror, src.GetImpl(), c.x, c.y, dstRate, srcRate,
                                         c.useSrcRect ? &c.srcRect : nullptr, c.useSize ? &c.size : nullptr,
                                         c.useClip ? &c.clip : nullptr);
            EXPECT_EQ(result, 0) << "kernels always answer 0";
            const uint32_t* got = impl->GetPixels();
            int mismatches = 0;
            for (int i = 0; i < c.dstW * c.dstH && mismatches < 3; ++i) {
                if (got[i] != expected[i]) {
                    ++mismatches;
                    ADD_FAILURE() << c.what << ": " << Name(k) << (mirror ? "Mirror" : "") << " in set "
                                  << (simd ? "B/C" : "A") << " wrote 0x" << std::hex << got[i] << " at (" << std::dec
                                  << i % c.dstW << ", " << i / c.dstW << ") where the per-pixel rule gives 0x"
                                  << std::hex << expected[i] << "; the kernel breaks its rule or samples the wrong"
                                  << " source pixel";
                }
            }
        }
    }
    ForceCpuClassForTesting(0);
}

const Case kCases[] = {
    {"1:1 whole plane, odd width", 13, 7, 13, 7, 0, 0, {}, false, {}, false, {}, false},
    {"1:1 offset and overhanging every edge", 9, 6, 11, 8, -3, 4, {}, false, {}, false, {}, false},
    {"1:1 with a source rectangle and a clip", 16, 12, 20, 20, 2, 3, {3, 2, 14, 11}, true, {}, false,
     {5, 4, 17, 9}, true},
    {"same size given as dstSize", 8, 5, 10, 10, 1, 1, {}, false, {8, 5}, true, {}, false},
    {"enlarge 3x4 to 10x9 (more than twice)", 3, 4, 12, 12, 1, 2, {}, false, {10, 9}, true, {}, false},
    {"enlarge clipped on every side", 5, 4, 30, 30, -2, -3, {}, false, {29, 27}, true, {3, 4, 22, 19}, true},
    {"reduce 17x13 to 6x5", 17, 13, 8, 8, 1, 1, {}, false, {6, 5}, true, {}, false},
    {"reduce 6 to 4 (remainder a multiple), clipped", 6, 6, 8, 8, 0, 0, {}, false, {4, 4}, true,
     {2, 2, 8, 8}, true},
    {"stretch a source rectangle, width only", 12, 9, 16, 16, 2, 1, {2, 1, 9, 8}, true, {7, 12}, true,
     {0, 3, 16, 16}, true},
    {"enlarge from a 1-pixel source", 1, 1, 6, 6, 0, 0, {}, false, {5, 6}, true, {}, false},
};

}  // namespace

TEST(SoftPlaneKernels, set_a_matches_the_per_pixel_reference)
{
    std::mt19937 rng(1234);
    for (const Case& c : kCases) CheckCase(c, 2, rng);
}

TEST(SoftPlaneKernels, set_b_matches_the_per_pixel_reference)
{
    std::mt19937 rng(5678);
    for (const Case& c : kCases) CheckCase(c, 3, rng);
}

TEST(SoftPlaneKernels, set_c_matches_the_per_pixel_reference)
{
    std::mt19937 rng(91011);
    for (const Case& c : kCases) CheckCase(c, 4, rng);
}

TEST(SoftPlaneKernels, random_geometry_matches_the_reference_in_both_sets)
{
    std::mt19937 rng(4242);
    for (int n = 0; n < 40; ++n) {
        Case c{"random geometry", 1 + int(rng() % 20), 1 + int(rng() % 20), 1 + int(rng() % 24),
               1 + int(rng() % 24), int(rng() % 30) - 8, int(rng() % 30) - 8, {}, false, {}, false, {}, false};
        if (rng() % 2) {
            c.useSize = true;
            c.size = Size{1 + int(rng() % 40), 1 + int(rng() % 40)};
        }
        if (rng() % 2) {
            c.useClip = true;
            int l = int(rng() % 24) - 2, t = int(rng() % 24) - 2;
            c.clip = Rect{l, t, l + int(rng() % 26), t + int(rng() % 26)};
        }
        CheckCase(c, n % 2 ? 2 : 4, rng);
    }
}

// Each pixel rule's worked examples, in both sets.
class SoftPlaneRuleExamples : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { ForceCpuClassForTesting(GetParam()); }
    void TearDown() override { ForceCpuClassForTesting(0); }

    uint32_t Apply(SoftKernel k, uint32_t s, uint32_t d, Rates dstRate = 0, Rates srcRate = 0, uint32_t key = 0)
    {
        CSoftPlane src, dst;
        EXPECT_EQ(src.Create(1, 1), 0);
        EXPECT_EQ(dst.Create(1, 1), 0);
        src.GetImpl()->SetColorKeyRGB(key >> 16, (key >> 8) & 0xFF, key & 0xFF);
        *src.GetImpl()->GetPixels() = s;
        *dst.GetImpl()->GetPixels() = d;
        dst.GetImpl()->RunKernel(k, false, src.GetImpl(), 0, 0, dstRate, srcRate, nullptr, nullptr, nullptr);
        return *dst.GetImpl()->GetPixels();
    }
    bool Simd() const { return GetParam() >= 3; }
};

TEST_P(SoftPlaneRuleExamples, half_blt_rounds_each_channel_down)
{
    EXPECT_EQ(Apply(SoftKernel::HalfBlt, 0x00FFFFFF, 0x00000001) & 0xFFFFFF, 0x7F7F80u)
        << "(255,255,255) over (0,0,1) must average to (127,127,128)";
}

TEST_P(SoftPlaneRuleExamples, rate_blt_at_level_255_loses_one_step)
{
    EXPECT_EQ(Apply(SoftKernel::RateBlt, 0x00FFFFFF, 0x00000000, 0, 0xFFFFFF), 0x00FEFEFEu)
        << "srcRate 255 is 255/256, so 255 must become 254";
}

TEST_P(SoftPlaneRuleExamples, add_and_sub_differ_only_in_the_top_byte)
{
    uint32_t add = Apply(SoftKernel::AddBlt, Pack(1, 128, 255, 128), Pack(3, 2, 1, 128));
    EXPECT_EQ(add & 0xFFFFFF, Pack(4, 130, 255, 0)) << "colour channels saturate in both sets";
    EXPECT_EQ(add >> 24, Simd() ? 255u : 0u) << "top byte: wraps in set A, saturates in set B/C";
    uint32_t sub = Apply(SoftKernel::SubBlt, Pack(16, 0, 0, 1), Pack(32, 0, 0, 0));
    EXPECT_EQ(sub & 0xFFFFFF, Pack(16, 0, 0, 0)) << "colour channels stop at 0 in both sets";
    EXPECT_EQ(sub >> 24, Simd() ? 0u : 255u) << "top byte: wraps in set A, stops at 0 in set B/C";
}

TEST_P(SoftPlaneRuleExamples, alpha_blt_weights_follow_the_set)
{
    EXPECT_EQ(Apply(SoftKernel::AlphaBlt, 0x00123456, 0x7F654321), 0x00654321u)
        << "alpha 0 keeps the destination colour exactly and clears its top byte";
    EXPECT_EQ(Apply(SoftKernel::AlphaBlt, 0xFF123456, 0x7F654321), 0x00123456u)
        << "alpha 255 copies the source colour exactly with top byte 0";
    EXPECT_EQ(Apply(SoftKernel::AlphaBlt, 0x80000000, 0x00FFFFFF), Simd() ? 0x007F7F7Fu : 0x007E7E7Eu)
        << "black at 128 over white: 126 in set A (weights add to 255), 127 in set B/C (add to 256)";
    EXPECT_EQ(Apply(SoftKernel::AlphaRateBlt, 0x00000000, 0x00FFFFFF, 0x808080, 0x7F7F7F), 0x00FEFEFEu)
        << "AlphaRateBlt with alpha 0 still scales the destination by 255/256";
}

TEST_P(SoftPlaneRuleExamples, key_tests_compare_32_or_24_bits)
{
    EXPECT_EQ(Apply(SoftKernel::BltColorKey, 0x01000000, 0x00ABCDEF), 0x01000000u)
        << "a pixel whose alpha byte is set never matches the 0x00RRGGBB key in the 32-bit test";
    EXPECT_EQ(Apply(SoftKernel::BltColorKeyClearAlpha, 0x01000000, 0x00ABCDEF), 0x00ABCDEFu)
        << "the 24-bit test ignores the alpha byte, so the pixel is skipped";
    EXPECT_EQ(Apply(SoftKernel::BltColorKeyClearAlpha, 0x7F000001, 0x00ABCDEF), 0x00000001u)
        << "drawn pixels of the clear-alpha kernel get top byte 0";
}

INSTANTIATE_TEST_SUITE_P(BothSets, SoftPlaneRuleExamples, ::testing::Values(2, 4));

TEST(SoftPlaneKernels, mirror_and_stretch_sample_the_documented_columns)
{
    auto columns = [](int srcW, int dstW, bool mirror, const Rect* clip = nullptr) {
        CSoftPlane src, dst;
        EXPECT_EQ(src.Create(srcW, 1), 0);
        EXPECT_EQ(dst.Create(dstW, 1), 0);
        for (int i = 0; i < srcW; ++i) src.GetImpl()->GetPixels()[i] = static_cast<uint32_t>(i + 1);
        Size size{dstW, 1};
        dst.GetImpl()->RunKernel(SoftKernel::Blt, mirror, src.GetImpl(), 0, 0, 0, 0, nullptr,
                                 srcW == dstW ? nullptr : &size, clip);
        std::vector<int> out;
        for (int i = 0; i < dstW; ++i) out.push_back(static_cast<int>(dst.GetImpl()->GetPixels()[i]) - 1);
        return out;
    };
    EXPECT_EQ(columns(3, 3, true), (std::vector<int>{2, 1, 0})) << "a 1:1 mirror reverses the row";
    Rect cut{1, 0, 3, 1};
    EXPECT_EQ(columns(3, 3, true, &cut), (std::vector<int>{-1, 1, 0}))
        << "clipping the leftmost pixel of a mirror draws (p1, p0) in the rest";
    EXPECT_EQ(columns(4, 2, false), (std::vector<int>{0, 2})) << "2:1 reduction uses columns 0 and 2";
    EXPECT_EQ(columns(4, 2, true), (std::vector<int>{3, 1})) << "its mirror uses columns 3 and 1";
    EXPECT_EQ(columns(3, 4, false), (std::vector<int>{0, 0, 1, 2})) << "3 to 4 columns, direct";
    EXPECT_EQ(columns(3, 4, true), (std::vector<int>{2, 1, 1, 0})) << "3 to 4 columns, mirrored at pixel centres";
    std::vector<int> wide = columns(2, 9, true);
    EXPECT_EQ(wide.back(), 0) << "a mirrored enlargement of more than twice must not read left of the source";
}
