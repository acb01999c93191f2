// The settings reader: every key of the table, its failure code and the lists.
#include <gtest/gtest.h>

#include <set>

#include "GameTestFolder.h"
#include "game/GameConfig.h"

using game_test::FullSettings;
using game_test::GameFolder;
using game_test::Without;

namespace {

const char kSettings[] = "scenario/brask.ini";

TEST(GameConfig, table_has_every_key_once_per_section_in_reading_order)
{
    const auto& keys = ConfigKeys();
    size_t lookups = 0;
    std::set<std::pair<std::string, std::string>> seen;
    for (const ConfigKey& key : keys) {
        lookups += key.namePattern ? 2 : 1;
        EXPECT_TRUE(seen.emplace(key.section, key.key).second) << key.section << " " << key.key << " twice";
    }
    EXPECT_EQ(lookups, 149u) << "149 lookups, counting each list's name pattern as one";
    EXPECT_STREQ(keys.front().key, "mouseGuardTime");
    EXPECT_STREQ(keys.back().key, "count");
}

TEST(GameConfig, a_missing_key_gives_its_code)
{
    GameFolder folder;
    const ProfileFile full = FullSettings();
    folder.Write(kSettings, full);
    gConfig = CGameConfig();
    ASSERT_EQ(LoadConfig("scenario\\brask.ini"), 0) << "a file with every key reads completely";
    EXPECT_EQ(gConfig.mouseGuardTime, 1);
    EXPECT_EQ(gConfig.VersionString, "v");
    EXPECT_EQ(gConfig.count, 1) << "the last key, quake count, is read";
    EXPECT_EQ(gConfig.ParaParaAnimationFileName, (std::vector<std::string>{"name0", "name1"}));
    EXPECT_EQ(gConfig.se, (std::vector<std::string>{"name0", "name1"}));

    // A few codes from the settings table, written down here rather than read
    // from the table the reader walks: the first key, a list count and its
    // names, and the key whose code repeats the count's.
    const struct {
        const char* section;
        const char* key;
        int code;
    } spots[] = {{"global", "mouseGuardTime", 4}, {"battle", "seNo", 178}, {"battle", "se1", 179},
                 {"battle", "bgFilenameAfter", 178}};
    for (const auto& spot : spots) {
        folder.Write(kSettings, Without(full, spot.section, spot.key));
        EXPECT_EQ(LoadConfig("scenario\\brask.ini"), spot.code) << spot.section << " " << spot.key;
    }
}

TEST(GameConfig, files_the_engine_writes_must_stay_inside_the_game_folder)
{
    GameFolder folder;
    struct Case {
        const char* key;
        const char* value;
        int code;
    };
    const Case cases[] = {
        {"userini", "..\\..\\..\\escaped.ini", kConfigUserIniOutside},
        {"userini", "save/../../escaped.ini", kConfigUserIniOutside},
        {"userini", "\\Users\\me\\escaped.ini", kConfigUserIniOutside},
        {"userini", "/home/me/.bashrc", kConfigUserIniOutside},
        {"userini", "C:\\escaped.ini", kConfigUserIniOutside},
        {"userini", "c:escaped.ini", kConfigUserIniOutside},
        {"userini", "sub\\..", kConfigUserIniOutside},
        {"savedataFormat", "..\\save%02d.dat", kConfigSaveDataOutside},
        {"savedataFormat", "D:\\save%02d.dat", kConfigSaveDataOutside},
        {"savedataFormat", "savedata\\%s.dat", kConfigSaveDataOutside},
        {"savedataFormat", "savedata\\%d_%d.dat", kConfigSaveDataOutside},
        {"savedataFormat", "savedata\\%n.dat", kConfigSaveDataOutside},
        // Inside the folder: subfolders, dots in names, a Shift-JIS trail byte 0x5C.
        {"userini", "user.ini", 0},
        {"userini", "data\\..user.ini", 0},
        {"userini", "表.ini", 0},
        {"userini", "ソ..\\x.ini", 0},  // 0x83 0x5C: a trail byte, not a separator before ".."
        {"userini", "a\\b:c", kConfigUserIniOutside},
        {"savedataFormat", "savedata\\save%02d.dat", 0},
        {"savedataFormat", "savedata\\%%%d.dat", 0},
    };
    for (const Case& c : cases) {
        ProfileFile settings = FullSettings();
        settings.SetString("global", c.key, c.value);
        folder.Write(kSettings, settings);
        std::string why;
        EXPECT_EQ(LoadConfig("scenario\\brask.ini", &why), c.code) << c.key << "=" << c.value << ": " << why;
        if (c.code != 0) {
            EXPECT_NE(why.find(c.value), std::string::npos) << "the reason names the value: " << why;
        }
    }
}

TEST(GameConfig, missing_file_gives_1)
{
    GameFolder folder;
    EXPECT_EQ(LoadConfig("scenario\\brask.ini"), 1);
}

TEST(GameConfig, stops_at_the_first_missing_key_and_keeps_what_was_read)
{
    GameFolder folder;
    ProfileFile file = Without(FullSettings(), "scriptframe", "ParaParaAnimationInterval");
    file.SetString("global", "windowmode", "full");
    file.SetString("global", "maxSaveSlot", "  -12abc");
    file.SetString("scriptframe", "ParaParaAnimations", "3");
    file.SetString("scriptframe", "ParaParaAnimationFileName2", "name2");
    file.SetString("text", "interval", "77");
    folder.Write(kSettings, file);
    gConfig = CGameConfig();
    EXPECT_EQ(LoadConfig("scenario\\brask.ini"), 45);
    EXPECT_EQ(gConfig.ParaParaAnimationFileName.size(), 3u) << "the list before the missing key is complete";
    EXPECT_EQ(gConfig.windowmode, 0) << "a value without digits reads as 0 without error";
    EXPECT_EQ(gConfig.maxSaveSlot, -12) << "leading blanks and a sign are taken, trailing text ignored";
    EXPECT_EQ(gConfig.interval, 0) << "keys after the missing one are not read";
}

TEST(GameConfig, zero_or_negative_counts_read_no_names)
{
    GameFolder folder;
    ProfileFile file = FullSettings();
    file.SetString("scriptframe", "ParaParaAnimations", "0");
    file.SetString("battle", "seNo", "-4");
    folder.Write(kSettings, file);
    gConfig = CGameConfig();
    gConfig.se = {"stale"};
    EXPECT_EQ(LoadConfig("scenario\\brask.ini"), 0);
    EXPECT_TRUE(gConfig.ParaParaAnimationFileName.empty());
    EXPECT_TRUE(gConfig.se.empty()) << "the list is emptied even when no names follow";
}

TEST(GameConfig, key_in_the_wrong_section_counts_as_missing)
{
    GameFolder folder;
    ProfileFile file = Without(FullSettings(), "battle", "bgFilenameAfter");
    file.SetString("layer", "bgFilenameAfter", "x");
    folder.Write(kSettings, file);
    EXPECT_EQ(LoadConfig("scenario\\brask.ini"), 178) << "bgFilenameAfter shares its code with seNo";
}

}  // namespace
