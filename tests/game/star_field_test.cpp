// CStarField: the first star drawn over a cleared target is copied from its
// picture blended over black; what shows must be exactly what blending every
// star gives, whole and clipped, in the screen's formats.
#include "game/StarField.h"

#include <gtest/gtest.h>

#include <random>

#include "display/FastPlane.h"
#include "frame/CRand.h"
#include "support/PlaneTestSupport.h"

namespace {

TEST(StarField, the_first_star_copied_over_black_shows_as_every_star_blended)
{
    struct Case {
        int target, pictures;
    };
    for (const Case c : {Case{pixfmt::kBGRX32, pixfmt::kBGRA32}, Case{pixfmt::kRGBX32, pixfmt::kRGBA32},
                         Case{pixfmt::k565, pixfmt::k565A4}, Case{pixfmt::k555, pixfmt::k555A4}}) {
        SCOPED_TRACE("target format " + std::to_string(c.target));
        // Pictures of every alpha, large enough that stars overlap, so that
        // only the first in each area may be copied.
        std::mt19937 rng(static_cast<uint32_t>(c.target));
        CFastPlane slow, fast;
        ASSERT_EQ(slow.CreateSurface(23, 17, c.pictures), 0);
        ASSERT_EQ(fast.CreateSurface(31, 29, c.pictures), 0);
        planetest::FillRandom(slow, rng);
        planetest::FillRandom(fast, rng);
        crt::srand(7);
        CStarField field;
        field.Scatter();
        field.SetPictures(&slow, &fast);
        CFastPlane copied, blended;
        ASSERT_EQ(copied.CreateSurface(800, 600, c.target), 0);
        ASSERT_EQ(blended.CreateSurface(800, 600, c.target), 0);
        for (int frame = 0; frame < 3; ++frame) {
            for (const Rect& area : {Rect{0, 0, 800, 600}, Rect{100, 80, 420, 300}, Rect{-20, 590, 30, 640},
                                     Rect{400, 300, 401, 301}}) {
                const bool whole = area == Rect{0, 0, 800, 600};
                const Rect* clip = whole ? nullptr : &area;
                planetest::FillRandom(copied, rng);
                blended.CopyFrom(copied);
                copied.Clear(clip);
                blended.Clear(clip);
                field.Draw(&copied, clip, true);
                field.Draw(&blended, clip, false);
                ASSERT_EQ(planetest::Snapshot(copied), planetest::Snapshot(blended))
                    << "frame " << frame << ", area " << area.left << "," << area.top;
            }
            field.MarkDrawn();
            field.Move();
        }
        // The comparison means something only if the copy differs from a
        // blend over what was there before the clear.
        planetest::FillRandom(copied, rng);
        blended.CopyFrom(copied);
        field.Draw(&copied, nullptr, true);
        field.Draw(&blended, nullptr, false);
        EXPECT_NE(planetest::Snapshot(copied), planetest::Snapshot(blended))
            << "over a target that is not black the copy must show";
    }
}

}  // namespace
