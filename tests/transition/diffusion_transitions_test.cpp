// Geometry of the diffusion and motion transitions on a recording plane.
// Expected offsets are worked from the random bytes and cosines by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "TransitionRecord.h"
#include "display/CosTable.h"
#include "transition/DiffusionTransitions.h"
#include "transition/EffectTables.h"

namespace {

class Diffusion : public ::testing::Test {
protected:
    void SetUp() override { CreateEffectTables(); }
    static int Rt(int i) { return gEffectRandomTable[i & 255]; }
};

// The call that draws the block whose source corner is (bx, by).
const PlaneCall* Block(const std::vector<PlaneCall>& calls, int bx, int by)
{
    for (const PlaneCall& c : calls) {
        if (c.piece->left == bx && c.piece->top == by) {
            return &c;
        }
    }
    return nullptr;
}

TEST_F(Diffusion, diagonal_blocks_are_offset_by_random_shares_of_the_scatter_distance)
{
    auto calls = Record(DiagonalDiffusionBlt, 640, 480, 128, 5, 6);
    ASSERT_EQ(calls.size(), 160u * 240u) << "every 4 x 2 block is drawn on every frame";
    EXPECT_EQ(*calls[0].piece, Lthw(0, 0, 4, 2));
    EXPECT_EQ(calls[0].x, 5 + 83) << "K = 560: (38 * 560) >> 8";
    EXPECT_EQ(calls[0].y, 6 + 85) << "(39 * 560) >> 8";
    const PlaneCall* b = Block(calls, 12, 2);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->x, 5 + 12 + ((Rt(14) * 560) >> 8));
    EXPECT_EQ(b->y, 6 + 2 + ((Rt(15) * 560) >> 8));
    for (const PlaneCall& c : Record(DiagonalDiffusionBlt, 640, 480, 255)) {
        EXPECT_TRUE(c.x - c.piece->left <= 4 && c.y - c.piece->top <= 4) << "K = 5 at level 255: " << c;
    }
}

TEST_F(Diffusion, radial_blocks_fly_out_from_the_centre_and_the_centre_block_stays)
{
    const int w = 64, h = 32, level = 100;
    const int k = (w + h) - (((w + h) * level) >> 8);
    auto calls = Record(DiffusionCongeriesBlt1, w, h, level);
    const PlaneCall* centre = Block(calls, 32, 16);
    ASSERT_NE(centre, nullptr);
    EXPECT_EQ(centre->x, 32);
    EXPECT_EQ(centre->y, 16) << "the block at the centre must not move";
    // Block (8, 4): row 2, so ra = 52 and rb = 77.
    const int dx = 8 - 32, dy = 4 - 16;
    const int dist = static_cast<int>(std::sqrt(double(dx * dx + dy * dy)));
    const int ux = dx * 256 / dist, uy = dy * 256 / dist;
    const PlaneCall* b = Block(calls, 8, 4);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->x, 8 + ((Rt(52 + 8) * ux * k) >> 16));
    EXPECT_EQ(b->y, 4 + ((Rt(77 + 8) * uy * k) >> 16));
    EXPECT_EQ(Record(DiffusionCongeriesBlt2, w, h, level).size(), 32u * 16u) << "2 x 2 blocks";
    // The swirl turns the same offsets by the level's angle: A = 312.
    auto swirl = Record(DiffusionCongeriesBlt3, w, h, level);
    const PlaneCall* s = Block(swirl, 8, 4);
    ASSERT_NE(s, nullptr);
    const int ox = (Rt(60) * ux * k) >> 16, oy = (Rt(85) * uy * k) >> 16;
    EXPECT_EQ(s->x, 8 + ((ox * gCosTable[312]) >> 16));
    EXPECT_EQ(s->y, 4 + ((oy * gCosTable[184]) >> 16));
}

TEST_F(Diffusion, squash_products_do_not_wrap_on_an_800_by_600_picture)
{
    const int level = 64;  // A = 384: sine -65536, cosine 0
    auto calls = Record(SquashBlt, 800, 600, level);
    const int64_t k = 1400 - ((1400 * level) >> 8);
    // Block (0, 0): dx = -400, dy = -300; 65536 * 256 * 400 is past 2^31.
    const int64_t dx = -400, dy = -300, dist = 500;
    const int64_t ux = ((int64_t{gCosTable[256]} * (dx * 256)) >> 16) / dist;
    const int64_t uy = ((int64_t{gCosTable[384]} * (dy * 256)) >> 16) / dist;
    ASSERT_EQ(ux, 204) << "worked by hand: (-65536 * -102400) >> 16 = 102400, / 500";
    const PlaneCall* b = Block(calls, 0, 0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->x, (ux * k) >> 8) << "the corner block landed off its path: a product wrapped";
    EXPECT_EQ(b->y, (uy * k) >> 8);
    EXPECT_GT(b->x, 0) << "the top-left block must be thrown right at this angle";
}

TEST_F(Diffusion, forward_roll_rounds_its_offsets_to_the_nearest)
{
    const int level = 128;  // A = 256: cx = COS[64], sy = COS[128] = 0
    auto calls = Record(ForwardRollBlt, 800, 600, level);
    const int k = 1400 - ((1400 * level) >> 8);
    int roundedAway = 0;
    for (int bx = 0; bx < 800; bx += 4) {
        const PlaneCall* b = Block(calls, bx, 0);
        ASSERT_NE(b, nullptr);
        const double exact = double(k) * (double(bx - 400) * gCosTable[64]) / 16777216.0;
        EXPECT_EQ(b->x - bx, static_cast<int>(std::lround(exact))) << "block " << bx << ": MulDiv must round";
        EXPECT_EQ(b->y, 0) << "a zero sine leaves the block on its row";
        roundedAway += static_cast<int>(std::lround(exact)) != static_cast<int>(exact);
    }
    EXPECT_GT(roundedAway, 0) << "no block tells rounding from truncation";
}

TEST_F(Diffusion, rotation_at_level_128_mirrors_the_grid_through_the_centre)
{
    auto calls = Record(RotationBlt2, 400, 296, 128, 10, 20);
    const PlaneCall* b = Block(calls, 200 + 100, 148);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->x, 10 + 200 - 100);
    EXPECT_EQ(b->y, 20 + 148);
    EXPECT_EQ(*b->piece, Lthw(300, 148, 4, 4)) << "the blocks themselves are not turned";
    for (const PlaneCall& c : Record(RotationBlt3, 64, 64, 255)) {
        EXPECT_LE(std::abs(c.x - c.piece->left), 1) << "at 255 the grid is turned by 1.4 degrees only: " << c;
    }
}

TEST_F(Diffusion, rising_cells_show_their_top_rows_at_the_bottom_of_their_square)
{
    auto calls = Record(EnterUpBlt2, 256, 16, 255, 0, 0);
    for (const PlaneCall& c : calls) {
        const int r = Rt(c.piece->left >> 3);
        if (r >= 2) {
            EXPECT_EQ(c.piece->Height(), 16) << "a cell with r >= 2 is complete at 255";
            EXPECT_EQ(c.y, 0);
        } else {
            EXPECT_EQ(c.piece->Height(), 15) << "r = 0 shows 15 rows one pixel low";
            EXPECT_EQ(c.y, 1);
        }
    }
    calls = Record(EnterUpBlt1, 2048, 8, 120);
    int drawn = 0;
    for (int bx = 0; bx < 2048; bx += 8) {
        const bool starts = Rt(bx >> 3) >= 48;
        const PlaneCall* c = Block(calls, bx, 0);
        EXPECT_EQ(c != nullptr, starts) << "at level 120 only cells whose byte is at least 48 rise";
        drawn += starts;
    }
    EXPECT_EQ(static_cast<int>(calls.size()), drawn);
}

TEST_F(Diffusion, gathering_cells_converge_on_their_places)
{
    for (const PlaneCall& c : Record(CellGatherBlt1, 64, 16, 1)) {
        const int i = c.piece->left >> 2, row = c.piece->top >> 2;
        EXPECT_EQ(c.x - c.piece->left, Rt(i + row * 13) - 128) << "level 1: offsets are the bytes less 128";
        EXPECT_EQ(c.y - c.piece->top, Rt(i + row * 19) - 128);
    }
    for (const PlaneCall& c : Record(CellGatherBlt2, 64, 16, 255)) {
        const int ox = c.x - c.piece->left;
        EXPECT_TRUE(ox == 0 || ox == -1) << "level 255 leaves at most -1 sideways: " << c;
        EXPECT_EQ(c.y, c.piece->top) << "level 255 leaves no vertical offset: " << c;
    }
}

TEST_F(Diffusion, a_source_without_rows_draws_nothing)
{
    EXPECT_TRUE(Record(RotationBlt1, 50, 0, 128).empty());
    EXPECT_TRUE(Record(EnterUpBlt1, 50, 0, 128).empty());
}

TEST_F(Diffusion, first_and_last_blocks_at_level_1_on_800_by_600)
{
    auto calls = Record(DiagonalDiffusionBlt, 800, 600, 1);  // K = 1400 - 5 = 1395
    ASSERT_EQ(calls.size(), 200u * 300u);
    EXPECT_EQ(calls.front().x, (38 * 1395) >> 8);
    EXPECT_EQ(calls.front().y, (39 * 1395) >> 8);
    const PlaneCall& last = calls.back();
    EXPECT_EQ(*last.piece, Lthw(796, 598, 4, 2));
    EXPECT_EQ(last.x, 796 + ((Rt(1394) * 1395) >> 8));
    EXPECT_EQ(last.y, 598 + ((Rt(1395) * 1395) >> 8));
}

// The squash blocks (4 x 2) of a w x h picture at a level that are not where
// the formula in 64-bit integer division puts them.
int SquashMismatches(const std::vector<PlaneCall>& calls, int64_t w, int64_t h, int level)
{
    auto cosine = [](int64_t i) { return int64_t{gCosTable[i & 511]}; };
    const int64_t k = (w + h) - (((w + h) * level) >> 8);
    const int64_t a = (256 - int64_t{level}) * 2;
    int mismatches = 0;
    for (const PlaneCall& c : calls) {
        const int64_t bx = c.piece->left, by = c.piece->top;
        const int64_t dx = bx - w / 2, dy = by - h / 2;
        const auto dist = static_cast<int64_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
        const int64_t ux = dist != 0 ? ((cosine(a - 128) * (dx * 256)) >> 16) / dist : 0;
        const int64_t uy = dist != 0 ? ((cosine(a) * (dy * 256)) >> 16) / dist : 0;
        mismatches += c.x != bx + ((ux * k) >> 8) || c.y != by + ((uy * k) >> 8);
    }
    return mismatches;
}

// Every block of the radial and gathering effects on an 800 x 600 picture
// against their formulas in 64-bit integer division: the divisions must
// truncate exactly as the integer ones do for every block, not just most.
TEST_F(Diffusion, every_divided_offset_matches_the_integer_formula_on_800_by_600)
{
    const int64_t w = 800, h = 600;
    for (int level : {1, 37, 100, 128, 200, 255}) {
        const int64_t k = (w + h) - (((w + h) * level) >> 8);
        auto congeries = Record(DiffusionCongeriesBlt2, 800, 600, level);
        ASSERT_EQ(congeries.size(), 400u * 300u);
        auto squash = Record(SquashBlt, 800, 600, level);
        ASSERT_EQ(squash.size(), 200u * 300u);
        auto gather = Record(CellGatherBlt1, 800, 600, level);
        ASSERT_EQ(gather.size(), 200u * 150u);
        int mismatches = 0;
        for (const PlaneCall& c : congeries) {
            const int64_t bx = c.piece->left, by = c.piece->top, row = by / 2;
            const int64_t dx = bx - w / 2, dy = by - h / 2;
            const auto dist = static_cast<int64_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
            const int64_t ux = dist != 0 ? dx * 256 / dist : 0;
            const int64_t uy = dist != 0 ? dy * 256 / dist : 0;
            mismatches += c.x != bx + ((Rt(static_cast<int>(26 * row + bx)) * ux * k) >> 16) ||
                          c.y != by + ((Rt(static_cast<int>(1 + 38 * row + bx)) * uy * k) >> 16);
        }
        mismatches += SquashMismatches(squash, w, h, level);
        for (const PlaneCall& c : gather) {
            const int bx = c.piece->left, by = c.piece->top, row = by / 4;
            const int d = (level >> 1) + 1;
            mismatches += c.x != bx + (Rt((bx >> 2) + row * 13) - 128) / d ||
                          c.y != by + (Rt((bx >> 2) + row * 19) - 128) / d;
        }
        EXPECT_EQ(mismatches, 0) << "blocks off their formula's place at level " << level
                                 << ": a division truncated differently from the integer one";
    }
}

// Where the outward formula puts block (bx, by) of a w x h picture, blocks of
// blockH rows, at scatter k.
std::pair<int64_t, int64_t> OutwardPlace(int64_t w, int64_t h, int64_t bx, int64_t by, int64_t blockH, int64_t k)
{
    const int64_t row = by / blockH;
    const int64_t dx = bx - w / 2, dy = by - h / 2;
    const auto dist = static_cast<int64_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    const int64_t ux = dist != 0 ? dx * 256 / dist : 0;
    const int64_t uy = dist != 0 ? dy * 256 / dist : 0;
    return {bx + ((int64_t{gEffectRandomTable[(26 * row + bx) & 255]} * ux * k) >> 16),
            by + ((int64_t{gEffectRandomTable[(1 + 38 * row + bx) & 255]} * uy * k) >> 16)};
}

int OutwardMismatches(const std::vector<PlaneCall>& calls, int64_t w, int64_t h, int level)
{
    const int64_t k = (w + h) - (((w + h) * level) >> 8);
    int mismatches = 0;
    for (const PlaneCall& c : calls) {
        const auto [px, py] = OutwardPlace(w, h, c.piece->left, c.piece->top, 2, k);
        mismatches += c.x != px || c.y != py;
    }
    return mismatches;
}

TEST_F(Diffusion, outward_blocks_follow_each_picture_size_in_turn_and_past_the_kept_directions)
{
    // The directions kept for one size must not serve another: sizes in turn,
    // both block widths, then back to the first.
    for (auto [w, h] : {std::pair{64, 32}, std::pair{90, 70}, std::pair{64, 32}}) {
        EXPECT_EQ(OutwardMismatches(Record(DiffusionCongeriesBlt2, w, h, 77), w, h, 77), 0)
            << "2 x 2 blocks of " << w << " x " << h << " off their places: directions of another size were used";
        EXPECT_EQ(OutwardMismatches(Record(DiffusionCongeriesBlt1, w, h, 180), w, h, 180), 0)
            << "4 x 2 blocks of " << w << " x " << h << " off their places";
    }
    // Too many blocks to keep directions for: each is worked out on the spot.
    const int w = 1602, h = 1202;
    const auto calls = Record(DiffusionCongeriesBlt2, w, h, 200);
    ASSERT_EQ(calls.size(), 801u * 601u);
    EXPECT_EQ(OutwardMismatches(calls, w, h, 200), 0) << "a picture past the kept grid's limit must still be right";
}

TEST_F(Diffusion, squash_blocks_follow_each_picture_size_in_turn_and_past_the_kept_distances)
{
    // The distances kept for one size must not serve another.
    for (auto [w, h] : {std::pair{64, 32}, std::pair{90, 70}, std::pair{64, 32}}) {
        const auto calls = Record(SquashBlt, w, h, 150);
        ASSERT_EQ(calls.size(), static_cast<size_t>((w + 3) / 4 * (h / 2)));
        EXPECT_EQ(SquashMismatches(calls, w, h, 150), 0)
            << "blocks of " << w << " x " << h << " off their places: distances of another size were used";
    }
    // Too many blocks to keep distances for: each is worked out on the spot.
    const int w = 3202, h = 1202;
    const auto calls = Record(SquashBlt, w, h, 90);
    ASSERT_EQ(calls.size(), 801u * 601u);
    EXPECT_EQ(SquashMismatches(calls, w, h, 90), 0) << "a picture past the kept grid's limit must still be right";
}

}  // namespace
