// The shared tables of the transitions and the arithmetic they depend on:
// the runtime generator, the random byte table, the cosine table and MulDiv.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "support/RecordingPlane.h"
#include "display/CosTable.h"
#include "frame/CRand.h"
#include "frame/MulDiv.h"
#include "transition/DiffusionTransitions.h"
#include "transition/EffectTables.h"

namespace {

// The generator written out from its definition, independent of crt::rand.
struct ReferenceLcg {
    uint32_t state;
    int Next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

TEST(EffectRandomTable, starts_with_the_bytes_of_the_sequence_seeded_with_zero)
{
    uint8_t table[256] = {};
    BuildRandomByteTable(table);
    const uint8_t first[8] = {38, 39, 246, 133, 151, 21, 173, 29};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(table[i], first[i]) << "byte " << i << ": the block effects would scatter differently";
    }
    ReferenceLcg ref{0};
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(table[i], ref.Next() & 0xFF) << "byte " << i << " is not the low byte of rand() number " << i + 1;
    }
    EXPECT_EQ(crt::rand(), ref.Next()) << "building the table must leave the generator 256 steps past srand(0)";
}

TEST(EffectRandomTable, is_in_place_after_create_and_never_rebuilt)
{
    CreateEffectTables();
    EXPECT_EQ(gEffectRandomTable[0], 38) << "CreateEffectTables did not make the random table";
    EXPECT_EQ(gEffectRandomTable[7], 29);
    crt::srand(777);
    CreateEffectTables();
    ReferenceLcg ref{777};
    EXPECT_EQ(crt::rand(), ref.Next()) << "a second CreateEffectTables reseeded the generator";
}

// The first block effect of the process reseeds the thread's generator; it
// runs in a fresh process so that no earlier test has made the tables.
TEST(EffectRandomTableDeathTest, first_block_effect_restarts_the_generator_from_zero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            crt::srand(12345);
            RecordingPlane dst(800, 600);
            RecordingPlane src(0, 0);  // no rows: nothing drawn, but the tables are made
            DiagonalDiffusionBlt(&dst, &src, 0, 0, 100, 0, 255, nullptr);
            ReferenceLcg ref{0};
            for (int i = 0; i < 256; ++i) {
                ref.Next();
            }
            const bool ok = dst.calls.empty() && crt::rand() == ref.Next() && gEffectRandomTable[2] == 246;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << "after the first block effect rand() must return the 257th value seeded with 0";
}

TEST(CosTable, holds_one_period_of_the_cosine_in_16_16_truncated)
{
    BuildCosTable(nullptr);
    EXPECT_EQ(gCosTable[0], 65536);
    EXPECT_EQ(gCosTable[128], 0) << "cos(pi/2) must truncate to 0";
    EXPECT_EQ(gCosTable[256], -65536);
    EXPECT_EQ(gCosTable[64], 46340) << "cos(pi/4) * 65536 = 46340.95 truncates toward zero";
    EXPECT_EQ(gCosTable[320], -46340) << "negative entries truncate toward zero too";
    for (int i = 0; i < 512; ++i) {
        ASSERT_EQ(gCosTable[i], static_cast<int32_t>(std::cos(i * M_PI * (1.0 / 256)) * 65536.0)) << "entry " << i;
    }
}

TEST(MulDiv, rounds_halves_away_from_zero)
{
    EXPECT_EQ(MulDiv(1, 3, 2), 2) << "1.5 rounds up";
    EXPECT_EQ(MulDiv(-1, 3, 2), -2) << "-1.5 rounds away from zero";
    EXPECT_EQ(MulDiv(1, -3, 2), -2);
    EXPECT_EQ(MulDiv(5, 1, 10), 1);
    EXPECT_EQ(MulDiv(4, 1, 10), 0);
    EXPECT_EQ(MulDiv(-4, 1, 10), 0);
    EXPECT_EQ(MulDiv(1000, 65536 * 300, 16777216), 1172) << "1171.875 rounds to the nearest";
    EXPECT_EQ(MulDiv(7, 7, 0), -1) << "a zero divisor answers -1";
}

}  // namespace
