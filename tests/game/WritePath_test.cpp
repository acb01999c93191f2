// Save slot names: the pattern of one number, inside the game folder.
#include <gtest/gtest.h>

#include "game/WritePath.h"

namespace {

TEST(WritePath, slot_names_come_from_a_pattern_of_one_number)
{
    std::string name = "unchanged";
    EXPECT_TRUE(FormatSaveSlotName("savedata\\save%02d.dat", 7, &name));
    EXPECT_EQ(name, "savedata\\save07.dat");
    EXPECT_TRUE(FormatSaveSlotName("save%%%x.dat", 255, &name));
    EXPECT_EQ(name, "save%ff.dat");
    EXPECT_TRUE(FormatSaveSlotName("fixed.dat", 3, &name)) << "a pattern without a number is odd but harmless";
    EXPECT_EQ(name, "fixed.dat");
    name = "unchanged";
    for (const char* bad : {"save%s.dat", "%d%d", "%n", "%.9999d", "%*d", "%ld", "%", "..\\%d", "%d:x"})
        EXPECT_FALSE(FormatSaveSlotName(bad, 1, &name)) << bad;
    EXPECT_EQ(name, "unchanged") << "a refused pattern leaves the output alone";
}

}  // namespace
