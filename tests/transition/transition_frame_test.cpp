// The frame every transition shares, checked on all 75 through the name
// table: the level gate, the one-operation path, the draw modes, the clip
// hand-over and the rule that every piece lies inside the source.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/RecordingPlane.h"
#include "frame/CRand.h"
#include "transition/TransitionFrame.h"
#include "transition/TransitionNameTable.h"

namespace {

const char* const kModeOps[4] = {"Blt", "BltColorKey", "AlphaBltLevel", "BltAuto"};

bool IsBlend(int n)
{
    return n == 0 || n == 49;
}

bool IsTensile(int n)
{
    return n >= 71;
}

TEST(TransitionNameTable, holds_the_75_names_in_effect_number_order)
{
    EXPECT_STREQ(TransitionNameTable[0].name, "WaveBlt1") << "effect 0 is what old scenarios call first";
    EXPECT_STREQ(TransitionNameTable[20].name, "CutInBlt12") << "entry 20 names the wrong effect";
    EXPECT_STREQ(TransitionNameTable[49].name, "BlendBlt1");
    EXPECT_STREQ(TransitionNameTable[63].name, "SlitCurtainBlt1");
    EXPECT_STREQ(TransitionNameTable[74].name, "TensileBlt4") << "the last effect number is wrong";
    std::set<std::string> names;
    std::set<TransitionFunc> funcs;
    for (const TransitionEntry& e : TransitionNameTable) {
        ASSERT_NE(e.func, nullptr) << e.name << " has no function: scenarios using it would crash";
        names.insert(e.name);
        funcs.insert(e.func);
    }
    EXPECT_EQ(names.size(), 75u) << "two entries share a name";
    EXPECT_EQ(funcs.size(), 74u) << "only WaveBlt1 and BlendBlt1 may share a function";
    EXPECT_EQ(TransitionNameTable[0].func, TransitionNameTable[49].func)
        << "WaveBlt1 and BlendBlt1 must be one effect";
}

TEST(TransitionFrame, level_zero_or_below_draws_nothing_in_any_mode)
{
    for (int n = 0; n < kTransitionCount; ++n) {
        for (int level : {0, -1, -300}) {
            for (uint32_t mode = 0; mode < 6; ++mode) {
                RecordingPlane dst(800, 600);
                RecordingPlane src(64, 48);
                const int r = TransitionNameTable[n].func(&dst, &src, 3, 4, level, mode, 255, nullptr);
                EXPECT_EQ(r, 0) << TransitionNameTable[n].name << " level " << level;
                EXPECT_TRUE(dst.calls.empty())
                    << TransitionNameTable[n].name << " drew at level " << level << ": " << dst.calls[0];
            }
        }
    }
}

TEST(TransitionFrame, level_256_or_more_is_one_plain_operation_of_the_mode_with_its_result)
{
    const Rect clip{1, 2, 300, 400};
    for (int n = 0; n < kTransitionCount; ++n) {
        for (int level : {256, 257, 1000}) {
            for (uint32_t mode = 0; mode < 4; ++mode) {
                RecordingPlane dst(800, 600);
                RecordingPlane src(64, 48);
                dst.result = 7;
                const int r = TransitionNameTable[n].func(&dst, &src, 5, -6, level, mode, 77, &clip);
                const char* name = TransitionNameTable[n].name;
                EXPECT_EQ(r, 7) << name << " did not pass the plane's result back";
                ASSERT_EQ(dst.calls.size(), 1u) << name << " at level " << level << " is not one operation";
                const PlaneCall& c = dst.calls[0];
                EXPECT_EQ(c.op, kModeOps[mode]) << name << " mode " << mode;
                EXPECT_FALSE(c.piece.has_value()) << name << " drew a piece instead of the whole source";
                EXPECT_FALSE(c.dstSize.has_value()) << name << " stretched the whole source";
                EXPECT_EQ(c.x, 5);
                EXPECT_EQ(c.y, -6);
                EXPECT_EQ(c.clip, &clip) << name << " lost the caller's clip";
                if (mode == 2) {
                    EXPECT_EQ(c.level, 77) << name << " mode 2 must pass modeArg as the factor";
                }
            }
        }
    }
}

TEST(TransitionFrame, modes_4_and_up_draw_nothing_and_answer_0_except_blend_which_answers_minus_1)
{
    for (int n = 0; n < kTransitionCount; ++n) {
        for (int level : {1, 100, 255, 300}) {
            RecordingPlane dst(800, 600);
            RecordingPlane src(64, 48);
            const int r = TransitionNameTable[n].func(&dst, &src, 0, 0, level, 5, 255, nullptr);
            EXPECT_EQ(r, IsBlend(n) ? -1 : 0) << TransitionNameTable[n].name << " level " << level;
            EXPECT_TRUE(dst.calls.empty()) << TransitionNameTable[n].name << " drew in mode 5";
        }
    }
}

// Every piece of every effect at every level, on sizes that are and are not
// multiples of the block sizes, uses the mode's operation, passes the clip,
// and stays inside the source (the planes never clip the source rectangle).
TEST(TransitionFrame, every_piece_lies_inside_the_source_and_uses_the_modes_operation)
{
    const Rect clip{0, 0, 700, 500};
    const int sizes[][2] = {{37, 23}, {16, 16}, {1, 1}, {0, 5}, {5, 0}, {130, 3}};
    for (int n = 0; n < kTransitionCount; ++n) {
        const char* name = TransitionNameTable[n].name;
        for (const auto& sz : sizes) {
            for (int level = 1; level <= 255; ++level) {
                const uint32_t mode = static_cast<uint32_t>(level & 3);
                RecordingPlane dst(90, 70);
                RecordingPlane src(sz[0], sz[1]);
                const int r = TransitionNameTable[n].func(&dst, &src, 7, 9, level, mode, 99, &clip);
                if (!IsBlend(n)) {
                    EXPECT_EQ(r, 0) << name << ": the piece path answers 0";
                }
                for (const PlaneCall& c : dst.calls) {
                    EXPECT_EQ(c.clip, &clip) << name << " lost the clip: " << c;
                    if (IsBlend(n)) {
                        continue;
                    }
                    EXPECT_EQ(c.op, kModeOps[mode]) << name << " level " << level << ": " << c;
                    ASSERT_TRUE(c.piece.has_value()) << name << " drew the whole source on the piece path";
                    const Rect& p = *c.piece;
                    if (!p.IsEmpty()) {
                        EXPECT_TRUE(p.left >= 0 && p.top >= 0 && p.right <= sz[0] && p.bottom <= sz[1])
                            << name << " on " << sz[0] << " x " << sz[1] << " level " << level
                            << " drew outside the source: " << c;
                    }
                    EXPECT_EQ(c.dstSize.has_value() && !IsTensile(n), false)
                        << name << " stretched a piece: only the tensile effects may";
                    if (c.dstSize) {
                        EXPECT_TRUE(c.dstSize->cx >= 1 && c.dstSize->cy >= 1)
                            << name << " stretched onto an empty size: " << c;
                    }
                    if (mode == 2) {
                        EXPECT_EQ(c.level, 99) << name << " mode 2 pieces take modeArg";
                    }
                }
            }
        }
    }
}

TEST(TransitionFrame, large_pictures_at_the_first_middle_and_last_level_stay_inside_the_source)
{
    for (int n = 0; n < kTransitionCount; ++n) {
        for (int level : {1, 128, 255}) {
            RecordingPlane dst(800, 600);
            RecordingPlane src(800, 600);
            TransitionNameTable[n].func(&dst, &src, 0, 0, level, 0, 255, nullptr);
            for (const PlaneCall& c : dst.calls) {
                if (c.piece && !c.piece->IsEmpty()) {
                    const Rect& p = *c.piece;
                    ASSERT_TRUE(p.left >= 0 && p.top >= 0 && p.right <= 800 && p.bottom <= 600)
                        << TransitionNameTable[n].name << " level " << level << " drew outside the source: " << c;
                }
            }
        }
    }
}

TEST(TransitionFrame, random_effects_consume_the_generator_in_every_mode_alike)
{
    // CutInBlt3 calls rand() once per 4 x 2 block whatever the mode.
    for (uint32_t mode : {0u, 3u, 4u, 9u}) {
        crt::srand(4242);
        RecordingPlane dst(800, 600);
        RecordingPlane src(8, 4);  // 2 x 2 blocks
        TransitionNameTable[11].func(&dst, &src, 0, 0, 100, mode, 255, nullptr);
        const int next = crt::rand();
        crt::srand(4242);
        for (int i = 0; i < 4; ++i) {
            crt::rand();
        }
        EXPECT_EQ(next, crt::rand()) << "mode " << mode << " changed how much of the sequence a frame uses";
    }
}

TEST(ClampPieceToSource, moves_negative_corners_in_without_shrinking_then_cuts_the_far_edges)
{
    using transition::Piece;
    Piece p{-3, -2, 10, 5};
    transition::ClampPieceToSource(p, 8, 4);
    EXPECT_EQ(p.left, 0);
    EXPECT_EQ(p.top, 0);
    EXPECT_EQ(p.width, 8) << "the width is cut only at the far edge";
    EXPECT_EQ(p.height, 4);
    Piece q{6, 1, 4, 2};
    transition::ClampPieceToSource(q, 8, 4);
    EXPECT_EQ(q.width, 2);
    EXPECT_EQ(q.height, 2);
    Piece past{9, 0, 4, 1};
    transition::ClampPieceToSource(past, 8, 4);
    EXPECT_LE(past.width, 0) << "a piece past the far edge must come out empty";
}

}  // namespace
