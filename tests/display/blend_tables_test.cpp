// The shared blend and cosine tables.
#include <gtest/gtest.h>

#include <cmath>

#include "display/BlendTables.h"
#include "display/CosTable.h"

TEST(BlendTables, hold_the_truncated_products)
{
    BuildBlendTables();
    for (int a = 0; a < 256; ++a) {
        for (int x = 0; x < 256; ++x) {
            ASSERT_EQ(gMulTable[a][x], a * x / 255) << "gMulTable[" << a << "][" << x << "] must be floor(a*x/255)";
            ASSERT_EQ(gInvMulTable[a][x], x * (255 - a) / 255) << "gInvMulTable[" << a << "][" << x << "] must be floor(x*(255-a)/255)";
        }
    }
}

TEST(BlendTables, level_tables_scale_each_channel_alone)
{
    BuildBlendTables();
    for (int level = 0; level < 16; ++level) {
        for (int p = 0; p < 65536; p += 7) {
            int r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
            int want = ((r * level / 15) << 11) | ((g * level / 15) << 5) | (b * level / 15);
            ASSERT_EQ(gLevelTable565[level * 65536 + p], want) << "5-6-5 level " << level << " of 0x" << std::hex << p;
            r = (p >> 10) & 31;
            g = (p >> 5) & 31;
            want = ((r * level / 15) << 10) | ((g * level / 15) << 5) | (b * level / 15);
            ASSERT_EQ(gLevelTable555[level * 65536 + p], want)
                << "5-5-5 level " << level << " of 0x" << std::hex << p << ": bit 15 must be ignored and come out 0";
        }
    }
    EXPECT_EQ(gLevelTable565[15 * 65536 + 0xFFFF], 0xFFFF) << "level 15 must be the identity";
    EXPECT_EQ(gLevelTable555[15 * 65536 + 0xFFFF], 0x7FFF);
    EXPECT_EQ(gLevelTable565[8 * 65536 + 0xF800] + gLevelTable565[7 * 65536 + 0xF800], 30 << 11)
        << "full red over full red at level 8 gives 16 + 14 = 30";
}

TEST(CosTable, is_one_period_in_truncated_fixed_point_and_returns_its_owner)
{
    char owner = 0;
    EXPECT_EQ(BuildCosTable(&owner), &owner) << "BuildCosTable must hand back its argument";
    EXPECT_EQ(gCosTable[0], 65536);
    EXPECT_EQ(gCosTable[256], -65536);
    EXPECT_EQ(gCosTable[128], 0) << "cos(pi/2) is a tiny positive double that truncates to 0";
    for (int i = 0; i < 512; ++i) {
        double c = std::cos(i * 3.14159265358979323846 / 256.0) * 65536.0;
        ASSERT_EQ(gCosTable[i], static_cast<int32_t>(std::trunc(c))) << "entry " << i << " must be truncated toward zero";
    }
}
