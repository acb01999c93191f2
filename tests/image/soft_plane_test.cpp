// The software plane's data model and its non-kernel operations: creation
// and its size checks, clearing, colour keys, alpha queries, the level forms
// and the in-place effects.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "display/FastPlane.h"
#include "image/CpuClass.h"
#include "image/SoftPlane.h"

namespace {

std::vector<uint32_t> PixelsOf(CSoftPlane& p)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    const uint32_t* px = p.GetImpl()->GetPixels();
    return std::vector<uint32_t>(px, px + w * h);
}

void Fill(CSoftPlane& p, uint32_t seed)
{
    int w = 0, h = 0;
    p.GetSize(&w, &h);
    uint32_t* px = p.GetImpl()->GetPixels();
    for (int i = 0; i < w * h; ++i) {
        seed = seed * 1103515245u + 12345u;
        px[i] = seed;
    }
}

}  // namespace

TEST(SoftPlane, create_rejects_empty_and_oversized_planes)
{
    CSoftPlane p;
    EXPECT_EQ(p.Create(0, 5), 1) << "a zero width must fail";
    int w = -1, h = -1;
    p.GetSize(&w, &h);
    EXPECT_EQ(w, 0) << "a failed Create leaves the plane empty";
    EXPECT_EQ(h, 0);
    EXPECT_FALSE(p.IsCreated());
    EXPECT_EQ(p.Create(65536, 65536), 1) << "width x height x 4 would overflow 32 bits; it must be refused";
    EXPECT_EQ(p.Create(16384, 16384), 1) << "a gigabyte plane is over the cap";
    EXPECT_EQ(p.Clear(), 1) << "Clear on an empty plane reports 1";
}

TEST(SoftPlane, create_gives_cleared_aligned_rows_and_counts_as_created)
{
    CSoftPlane p;
    ASSERT_EQ(p.Create(7, 3), 0);
    EXPECT_TRUE(p.IsCreated()) << "a plane with pixels must report that it has a surface";
    CSoftPlaneImpl* impl = p.GetImpl();
    EXPECT_EQ(impl->GetPitch(), 28) << "pitch is width * 4";
    EXPECT_EQ(reinterpret_cast<uintptr_t>(impl->GetPixels()) % 8, 0u) << "pixels must be 8-byte aligned";
    EXPECT_EQ(impl->GetRow(2), impl->GetPixels() + 14) << "rows are contiguous, top-down";
    for (uint32_t v : PixelsOf(p)) ASSERT_EQ(v, 0u) << "Create clears with the fill colour 0";
    p.Release();
    EXPECT_FALSE(p.IsCreated());
}

TEST(SoftPlane, clear_fills_a_clipped_rectangle_with_the_fill_colour)
{
    CSoftPlane p;
    ASSERT_EQ(p.Create(4, 4), 0);
    p.GetImpl()->SetFillColor(0x00112233);
    Rect r{2, -5, 9, 2};  // reaches outside: only the inside is filled
    EXPECT_EQ(p.Clear(&r), 0);
    std::vector<uint32_t> px = PixelsOf(p);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(px[y * 4 + x], (x >= 2 && y < 2) ? 0x00112233u : 0u) << "at (" << x << ", " << y << ")";
}

TEST(SoftPlane, colour_keys_and_alpha_queries)
{
    CSoftPlane p;
    ASSERT_EQ(p.Create(2, 1), 0);
    uint32_t* px = p.GetImpl()->GetPixels();
    px[0] = 0x00ABCDEF;
    px[1] = 0x01ABCDEF;
    EXPECT_EQ(p.SetColorKeyByPos(2, 0), 1) << "a position outside the plane is refused";
    EXPECT_EQ(p.SetColorKeyByPos(1, 0), 0);
    EXPECT_EQ(p.GetImpl()->GetColorKey(), 0x00ABCDEFu) << "the key takes the low 24 bits of the pixel";
    EXPECT_EQ(p.GetAlphaAt(0, 0), 0) << "without alpha, the pixel equal to the key is transparent";
    EXPECT_EQ(p.GetAlphaAt(1, 0), 255) << "a pixel with a non-zero alpha byte never counts as the key";
    EXPECT_EQ(p.GetAlphaAt(-1, 0), 0) << "outside the plane alpha is 0";
    *p.GetImpl()->GetAlphaFlagRef() = 1;
    EXPECT_EQ(p.GetAlphaAt(1, 0), 1) << "with alpha the alpha byte is returned";
    p.SetColorKeyRGB(1, 2, 3);
    EXPECT_EQ(p.GetImpl()->GetColorKey(), 0x010203u);
}

TEST(SoftPlane, level_forms_and_anchor)
{
    for (int cls : {2, 4}) {
        ForceCpuClassForTesting(cls);
        CSoftPlane src, dst;
        ASSERT_EQ(src.Create(3, 3), 0);
        ASSERT_EQ(dst.Create(3, 3), 0);
        Fill(src, 1);
        src.GetImpl()->SetColorKeyRGB(0, 0, 0);
        Fill(dst, 2);
        std::vector<uint32_t> before = PixelsOf(dst);
        EXPECT_EQ(dst.BltLevel(&src, 0, 0, 0), 0);
        EXPECT_EQ(PixelsOf(dst), before) << "level 0 must draw nothing";

        CSoftPlane autoDst;
        ASSERT_EQ(autoDst.Create(3, 3), 0);
        Fill(autoDst, 2);
        EXPECT_EQ(dst.BltLevel(&src, 0, 0, 256), 0);
        autoDst.BltAuto(&src, 0, 0);
        EXPECT_EQ(PixelsOf(dst), PixelsOf(autoDst)) << "level 256 must equal BltAuto";

        CSoftPlane rated;
        ASSERT_EQ(rated.Create(3, 3), 0);
        Fill(rated, 2);
        Fill(dst, 2);
        dst.BltLevel(&src, 0, 0, 255);
        rated.RateBltColorKey(&src, 0, 0, 0x000000, 0xFFFFFF);
        EXPECT_EQ(PixelsOf(dst), PixelsOf(rated)) << "level 255 must blend with rates 0 and 0xFFFFFF";

        CSoftPlane faded;
        ASSERT_EQ(faded.Create(3, 3), 0);
        Fill(faded, 4);
        Fill(rated, 4);
        faded.AlphaBltFade(&src, 0, 0, 100);
        rated.AlphaRateBlt(&src, 0, 0, 0xFFFFFF - 100 * 0x010101, 100 * 0x010101);
        EXPECT_EQ(PixelsOf(faded), PixelsOf(rated)) << "AlphaBltFade is AlphaRateBlt with the level's rates";

        EXPECT_EQ(dst.BltWithAnchor(&src, 0, 0, 5, 256), -2) << "anchor 5 does not exist";
        EXPECT_EQ(dst.BltWithAnchor(nullptr, 0, 0, 1, 256), -1) << "a null source gives -1";
    }
    ForceCpuClassForTesting(0);
}

TEST(SoftPlane, blits_refuse_other_planes_and_empty_clips_draw_nothing)
{
    CSoftPlane src, dst;
    ASSERT_EQ(src.Create(4, 4), 0);
    ASSERT_EQ(dst.Create(4, 4), 0);
    Fill(src, 3);
    std::vector<uint32_t> before = PixelsOf(dst);
    Rect clip{2, 0, 4, 4};
    EXPECT_EQ(dst.Blt(&src, -4, 0, nullptr, nullptr, &clip), 0) << "a blit left of the clip returns 0";
    Size zero{0, 5};
    EXPECT_EQ(dst.Blt(&src, 0, 0, nullptr, &zero), 0) << "a stretch to width 0 returns 0";
    EXPECT_EQ(PixelsOf(dst), before) << "neither may change a pixel";
    EXPECT_EQ(dst.Blt(nullptr, 0, 0), 1) << "a null source is refused";
    CSoftPlane empty;
    EXPECT_EQ(dst.Blt(&empty, 0, 0), 0) << "an empty source draws nothing";
    Rect outside{-2, -1, 50, 50};
    EXPECT_EQ(dst.Blt(&src, 0, 0, &outside), 0);
    std::vector<uint32_t> s = PixelsOf(src), d = PixelsOf(dst);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(d[y * 4 + x], (x >= 2 && y >= 1) ? s[(y - 1) * 4 + (x - 2)] : before[y * 4 + x])
                << "a source rectangle reaching outside the source is cut to it, the rest keeping its place";
}

TEST(SoftPlane, interface_operations_draw_as_the_implementation_and_refuse_other_planes)
{
    CSoftPlane src, viaInterface, viaImpl;
    ASSERT_EQ(src.Create(5, 4), 0);
    ASSERT_EQ(viaInterface.Create(6, 6), 0);
    ASSERT_EQ(viaImpl.Create(6, 6), 0);
    Fill(src, 5);
    Fill(viaInterface, 6);
    Fill(viaImpl, 6);
    CPlaneBase* base = &viaInterface;
    CSoftPlaneImpl* impl = viaImpl.GetImpl();
    const Rect piece{1, 0, 5, 3};
    const Rect clip{0, 1, 5, 6};
    EXPECT_EQ(base->RateBlt(&src, 1, 2, 0x404040, 0xC0C0C0, &piece, nullptr, &clip),
              impl->RateBlt(src.GetImpl(), 1, 2, 0x404040, 0xC0C0C0, &piece, nullptr, &clip));
    EXPECT_EQ(base->AlphaBlt(&src, -1, 1, &piece, nullptr, &clip),
              impl->AlphaBlt(src.GetImpl(), -1, 1, &piece, nullptr, &clip));
    EXPECT_EQ(PixelsOf(viaInterface), PixelsOf(viaImpl))
        << "RateBlt or AlphaBlt through the plane interface drew other pixels than the software plane's own";

    CFastPlane display;
    ASSERT_EQ(display.CreateSurface(5, 4, 7), 0);
    const std::vector<uint32_t> before = PixelsOf(viaInterface);
    for (CPlaneBase* other : {static_cast<CPlaneBase*>(&display), static_cast<CPlaneBase*>(nullptr)}) {
        const int want = other == nullptr ? kPlaneNotLocked : kPlaneFormatPair;
        const char* what = other == nullptr ? "a null source" : "a display plane as source";
        EXPECT_EQ(base->BltColorKey(other, 0, 0), want) << what;
        EXPECT_EQ(base->Blt(other, 0, 0), want) << what;
        EXPECT_EQ(base->RateBltColorKey(other, 0, 0, 0x808080, 0x808080), want) << what;
        EXPECT_EQ(base->RateBlt(other, 0, 0, 0x808080, 0x808080), want) << what;
        EXPECT_EQ(base->AlphaRateBlt(other, 0, 0, 0x808080, 0x808080), want) << what;
        EXPECT_EQ(base->AlphaBlt(other, 0, 0), want) << what;
        EXPECT_EQ(base->AlphaBltFade(other, 0, 0, 128), want) << what;
    }
    EXPECT_EQ(PixelsOf(viaInterface), before) << "a refused source changed the plane";
}

TEST(SoftPlane, processor_class_is_stable_and_in_range)
{
    int first = GetCpuClass();
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 4);
    EXPECT_EQ(GetCpuClass(), first) << "the class is detected once";
    ForceCpuClassForTesting(2);
    EXPECT_EQ(GetCpuClass(), 2) << "the test switch forces the class";
    ForceCpuClassForTesting(0);
    EXPECT_EQ(GetCpuClass(), first);
}

TEST(SoftPlane, mosaic_and_negative_effects)
{
    CSoftPlane p;
    ASSERT_EQ(p.Create(5, 3), 0);
    Fill(p, 9);
    std::vector<uint32_t> start = PixelsOf(p);
    EXPECT_EQ(p.MosaicEffect(0), -2) << "size 0 is refused";
    EXPECT_EQ(p.MosaicEffect(1), 0);
    EXPECT_EQ(PixelsOf(p), start) << "size 1 changes nothing";
    p.NegativeEffect();
    std::vector<uint32_t> neg = PixelsOf(p);
    for (size_t i = 0; i < neg.size(); ++i) ASSERT_EQ(neg[i], start[i] ^ 0xFFFFFFu) << "colour inverted, alpha kept";
    p.NegativeEffect();
    EXPECT_EQ(PixelsOf(p), start) << "twice gives the start back";
    Rect r{1, 1, 5, 3};
    p.MosaicEffect(2, &r);
    std::vector<uint32_t> m = PixelsOf(p);
    EXPECT_EQ(m[1 * 5 + 2], start[1 * 5 + 1]) << "each block takes its top-left pixel";
    EXPECT_EQ(m[2 * 5 + 4], start[1 * 5 + 3]) << "the cut last block too";
    EXPECT_EQ(m[0], start[0]) << "outside the rectangle nothing changes";
}

TEST(SoftPlane, take_memory_hands_the_pixels_over_and_empties_the_plane)
{
    CSoftPlane p;
    p.GetImpl()->SetKeepMemory(true);
    EXPECT_EQ(p.GetImpl()->TakeMemory(), nullptr) << "a plane without pixels has no memory to give";
    ASSERT_EQ(p.Create(5, 4), 0);
    Fill(p, 9);
    const std::vector<uint32_t> before = PixelsOf(p);
    const uint32_t* pixels = p.GetImpl()->GetPixels();
    PixelMemory memory = p.GetImpl()->TakeMemory();
    ASSERT_NE(memory, nullptr);
    EXPECT_FALSE(p.IsCreated()) << "the plane must be released once its memory is taken";
    EXPECT_EQ(std::vector<uint32_t>(pixels, pixels + before.size()), before)
        << "the pixels must stay where GetPixels showed them, inside the block handed over";
    ASSERT_EQ(p.Create(5, 4), 0) << "a kept-memory plane must make new memory after giving its own away";
    EXPECT_NE(p.GetImpl()->GetPixels(), pixels) << "the new pixels must not be the memory given away";
}
