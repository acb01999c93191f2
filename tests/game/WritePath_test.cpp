// Names of the files the engine writes: the slot pattern and the folder rule.
#include <gtest/gtest.h>

#include "game/WritePath.h"

namespace {

TEST(WritePath, each_way_out_of_the_folder_has_its_reason)
{
    EXPECT_EQ(WritePathError("\\x.ini"), "an absolute path");
    EXPECT_EQ(WritePathError("/x.ini"), "an absolute path");
    EXPECT_EQ(WritePathError("C:\\x.ini"), "a drive letter");
    EXPECT_EQ(WritePathError("a\\b:c"), "a drive letter") << "an alternate data stream or a drive inside";
    EXPECT_EQ(WritePathError("a\\..\\..\\x.ini"), "a \"..\" component");
    EXPECT_EQ(WritePathError(".."), "a \"..\" component");
    EXPECT_EQ(WritePathError("a/b/../x"), "a \"..\" component");
    EXPECT_EQ(WritePathError("savedata\\save01.dat"), "");
    EXPECT_EQ(WritePathError("...\\x"), "") << "three dots name a folder of that name";
    // "ソ" is 0x83 0x5C: its trail byte is no separator, so "ソ.." is one name.
    EXPECT_EQ(WritePathError("\x83\x5C..\\x"), "");
}

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
