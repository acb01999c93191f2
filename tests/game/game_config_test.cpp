// The settings reader: every key of the table, its failure code and the lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "GameTestFolder.h"
#include "game/GameConfig.h"
#include "game/SystemData.h"

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
    file.SetString("global", "maxSaveSlot", "  +12abc");
    file.SetString("scriptframe", "ParaParaAnimations", "3");
    file.SetString("scriptframe", "ParaParaAnimationFileName2", "name2");
    file.SetString("text", "interval", "77");
    folder.Write(kSettings, file);
    gConfig = CGameConfig();
    EXPECT_EQ(LoadConfig("scenario\\brask.ini"), 45);
    EXPECT_EQ(gConfig.ParaParaAnimationFileName.size(), 3u) << "the list before the missing key is complete";
    EXPECT_EQ(gConfig.windowmode, 0) << "a value without digits reads as 0 without error";
    EXPECT_EQ(gConfig.maxSaveSlot, 12) << "leading blanks and a sign are taken, trailing text ignored";
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

// The range each number of the settings is kept in, written down here from
// what its readers need: a volume is 0..255, an effect length a frame count,
// a geometry value fits a screen, a switch is on or off.
struct KeyRange {
    int low;
    int high;
    std::vector<const char*> keys;  // "section/key"
};
const KeyRange kExpectedRanges[] = {
    {0, 255, {"global/cdLevel", "global/seLevel", "global/se2Level", "scriptframe/BackColor"}},
    {0, 3600, {"global/mouseGuardTime", "global/defaultAnimationFrames", "scriptframe/AnimationLength",
               "vista/AnimationLength", "flash/beforeAnimationLength", "flash/afterAnimationLength",
               "battle/resultAnimationLength", "battle/bar1AnimationLength", "battle/bar2AnimationLength",
               "battle/bar1ShadowAnimationLength", "battle/bar2ShadowAnimationLength", "battle/bgAnimationLength",
               "battle/face1AnimationLength", "battle/face2AnimationLength", "battle/vsAnimationLength",
               "battle/name1AnimationLength", "battle/name2AnimationLength", "battle/img1AnimationLength",
               "battle/img2AnimationLength"}},
    {0, 16384, {"global/basewidth"}},
    {0, 60000, {"scriptframe/WaitMouse", "scriptframe/Wait", "text/interval", "scriptframe/ParaParaAnimationInterval"}},
    {0, 4096, {"scriptframe/namePosX", "scriptframe/namePosY", "scriptframe/textPosX", "scriptframe/textPosY"}},
    {-4096, 4096, {"scriptframe/scriptFFx", "scriptframe/scriptFFy", "battle/resultPosX", "battle/resultPosY",
                   "battle/bar1PosX", "battle/bar1PosY", "battle/bar2PosX", "battle/bar2PosY", "battle/face1PosX",
                   "battle/face1PosY", "battle/face2PosX", "battle/face2PosY", "battle/vsPosX", "battle/vsPosY",
                   "battle/name1PosX", "battle/name1PosY", "battle/name2PosX", "battle/name2PosY",
                   "battle/img1PosX", "battle/img1PosY", "battle/img2PosX", "battle/img2PosY",
                   "battle/name1AfterPosX", "battle/name1AfterPosY", "battle/name2AfterPosX",
                   "battle/name2AfterPosY"}},
    {0, 4096, {"scriptframe/nameWidth", "scriptframe/nameHeight", "scriptframe/textWidth", "scriptframe/textHeight",
               "battle/bar1Width", "battle/bar1Height", "battle/bar2Width", "battle/bar2Height"}},
    {0, 512, {"text/textSize", "text/rubySize", "text/nameSize", "cmap/nameTextSize", "cmap/placeFrameSize"}},
    {-512, 512, {"text/linespace", "text/charspace"}},
    {0, 65535, {"global/maxSaveSlot", "text/maxchars"}},
    {-1, 16384, {"layer/xpos10", "layer/xpos11", "layer/xpos12", "layer/xpos13", "layer/xpos14", "layer/xpos15"}},
    {0, 74, {"battle/resultEffectNo", "battle/bgEffectNo", "battle/face1EffectNo", "battle/face2EffectNo",
             "battle/vsEffectNo", "battle/name1EffectNo", "battle/name2EffectNo", "battle/img1EffectNo",
             "battle/img2EffectNo"}},
    {-32768, 32767, {"battle/winMaxRangeMin", "battle/winMaxRangeMax", "battle/winMinRangeMin",
                     "battle/winMinRangeMax", "battle/loseMaxRangeMin", "battle/loseMaxRangeMax",
                     "battle/ternRangeMin", "battle/ternRangeMax", "battle/resultBltMethod", "battle/bar1Direction",
                     "battle/bar2Direction", "battle/face1BltMethod", "battle/face2BltMethod", "battle/vsBltMethod",
                     "battle/name1BltMethod", "battle/name2BltMethod", "battle/img1BltMethod",
                     "battle/img2BltMethod", "quake/offset", "quake/count"}},
};
const char* const kSwitches[] = {"global/useWindowsMP3Codec", "global/bgmCDDA", "global/windowMove", "global/omake1",
                                 "global/hideCGReplay"};

// What a settings value becomes for a key of that range; the text "huge"
// values stand for numbers past int, which read as INT_MIN / INT_MAX first.
// Settings and user files saved by a text editor may begin with a UTF-8
// byte-order mark; the game reads them as if it were not there, and writes
// the user file back without one.
TEST(GameConfig, settings_and_user_files_with_a_byte_order_mark_load)
{
    GameFolder folder;
    const std::string mark = "\xEF\xBB\xBF";
    {
        std::ofstream(folder.path() + "/" + kSettings, std::ios::binary) << mark << FullSettings().serialize(0);
        std::ofstream(folder.path() + "/user.ini", std::ios::binary) << mark << "[global]\r\nseLevel=7\r\n";
    }
    FlushFileLayerCache();
    gConfig = CGameConfig();
    std::string why;
    ASSERT_EQ(LoadConfig("scenario\\brask.ini", &why), 0) << why;
    EXPECT_EQ(gConfig.mouseGuardTime, 1) << "the first key, just after the mark";
    EXPECT_EQ(gConfig.count, 1);
    ASSERT_EQ(LoadSystemData("user.ini"), 0);
    EXPECT_EQ(gConfig.seLevel, 7) << "the user file's first section was lost to the mark";

    ASSERT_EQ(SaveSystemData("user.ini"), 0);
    std::ifstream saved(folder.path() + "/user.ini", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, 9), "[global]\r") << "the user file is written as plain text without a mark";
}

int Expected(const std::string& key, long long value)
{
    value = std::clamp<long long>(value, INT_MIN, INT_MAX);
    if (key == "global/windowmode")
        return value == 16 || value == 24 || value == 32 ? static_cast<int>(value) : 0;
    for (const char* s : kSwitches) {
        if (key == s)
            return value != 0 ? 1 : 0;
    }
    for (const KeyRange& range : kExpectedRanges) {
        for (const char* k : range.keys) {
            if (key == k)
                return static_cast<int>(std::clamp<long long>(value, range.low, range.high));
        }
    }
    ADD_FAILURE() << key << " has no range written down in the test";
    return 0;
}

TEST(GameConfig, every_number_of_the_settings_and_the_user_file_is_kept_in_its_range)
{
    GameFolder folder;
    const ProfileFile full = FullSettings();
    const struct {
        const char* text;
        long long value;
    } extremes[] = {{"-2147483648", INT_MIN}, {"2147483647", INT_MAX}, {"-1", -1}, {"0", 0}, {"16", 16},
                    {"99999999999999999999999", 99999999999999999LL}, {"-99999999999999999999999", -99999999999999999LL}};
    // The keys the user system file also carries; "width" and "height" are
    // its own and keep to a screen's size.
    const std::set<std::string> userKeys = {"global/defaultAnimationFrames", "global/windowMove", "global/cdLevel",
                                            "global/seLevel", "global/se2Level", "global/bgmCDDA",
                                            "global/useWindowsMP3Codec", "global/windowmode",
                                            "scriptframe/AnimationLength", "scriptframe/BackColor",
                                            "vista/AnimationLength", "text/interval"};
    // Every number of one file holds the same extreme: one read checks them all.
    for (const auto& extreme : extremes) {
        ProfileFile settings = full;
        ProfileFile user;
        for (const ConfigKey& key : ConfigKeys()) {
            if (key.isInt && !key.namePattern)
                settings.SetString(key.section, key.key, extreme.text);
        }
        for (const std::string& name : userKeys) {
            const size_t slash = name.find('/');
            user.SetString(name.substr(0, slash), name.substr(slash + 1), extreme.text);
        }
        folder.Write(kSettings, settings);
        folder.Write("user.ini", user);
        for (const bool fromUserFile : {false, true}) {
            gConfig = CGameConfig();
            if (fromUserFile)
                ASSERT_EQ(LoadSystemData("user.ini"), 0);
            else
                ASSERT_EQ(LoadConfig("scenario\\brask.ini"), 0) << extreme.text;
            for (const ConfigKey& key : ConfigKeys()) {
                const std::string name = std::string(key.section) + "/" + key.key;
                if (!key.isInt || key.namePattern || (fromUserFile && !userKeys.count(name)))
                    continue;
                ASSERT_NE(key.member, nullptr) << name;
                EXPECT_EQ(gConfig.*(key.member), Expected(name, extreme.value))
                    << name << "=" << extreme.text << (fromUserFile ? " in the user system file" : " in the settings")
                    << " must be kept in its range";
            }
        }
    }
    size_t userKeysSeen = 0;
    for (const ConfigKey& key : ConfigKeys())
        userKeysSeen += userKeys.count(std::string(key.section) + "/" + key.key);
    EXPECT_EQ(userKeysSeen, userKeys.size()) << "every key of the user system file was tried";
    for (const auto& extreme : extremes) {
        ProfileFile user;
        user.SetString("global", "width", extreme.text);
        user.SetString("global", "height", extreme.text);
        user.SetString("systemInt", "7", extreme.text);
        folder.Write("user.ini", user);
        gConfig = CGameConfig();
        ASSERT_EQ(LoadSystemData("user.ini"), 0);
        const int side = static_cast<int>(std::clamp<long long>(extreme.value, 0, 16384));
        EXPECT_EQ(gConfig.width, side) << "width=" << extreme.text;
        EXPECT_EQ(gConfig.height, side) << "height=" << extreme.text;
        EXPECT_EQ(gConfig.systemInt[7], std::clamp<long long>(extreme.value, INT_MIN, INT_MAX))
            << "a system variable may hold any int, but a longer number stops at the end of the range, not wraps";
    }
}

}  // namespace
