// The debug variable watch: the name file's parser, reading it through the
// file layer, and the list the refresh button fills.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "GameTestFolder.h"
#include "frame/NmmPacker.h"
#include "game/VarDefMap.h"
#include "game/VarWatchDialog.h"
#include "scenario/ScenarioExecutor.h"

namespace {

using namespace var_watch;

TEST(VarDefMap, number_name_lines_with_junk_skipped_and_the_last_duplicate_kept)
{
    const std::string text =
        "1 hp\r\n"
        "  2\tgold  trailing words\n"
        "3\n"              // a number without a name
        "name 4\n"         // a name first
        "5name\n"          // no white space between them
        "\n"
        "-7 debt\n"
        "+8 plus\n"
        "+-9 both\n"
        "99999999999 huge\n"  // beyond an int
        "1 hp2\n"          // replaces the first
        "10 last";         // no newline at the end
    const VarNames names = ParseVarDefMap(text);
    const VarNames expected = {{1, "hp2"}, {2, "gold"}, {-7, "debt"}, {8, "plus"}, {10, "last"}};
    EXPECT_EQ(names, expected);
}

TEST(VarDefMap, names_of_any_length_and_shift_jis_bytes_survive)
{
    const std::string longName(5000, 'x');
    // "表" is 0x95 0x5C: its trail byte is a backslash, not a separator.
    const std::string kanji = "\x95\x5C\x8E\xA6";
    const VarNames names = ParseVarDefMap("1 " + longName + "\n2 " + kanji + "\n4 z");
    EXPECT_EQ(names.at(1), longName) << "a name longer than any line buffer must be kept whole";
    EXPECT_EQ(names.at(2), kanji);
    EXPECT_EQ(names.at(4), "z");
    EXPECT_EQ(ParseVarDefMap(std::string("5 a\0b\n", 6)).at(5), "a") << "a NUL byte ends the line's text";
}

class VarWatchFiles : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(folder_.path() + "/" + name, std::ios::binary) << bytes;
        FlushFileLayerCache();
    }
    game_test::GameFolder folder_;
};

TEST_F(VarWatchFiles, the_map_is_read_through_the_file_layer)
{
    Write("scenario/VARDEF.MAP", "3 loose\n");
    EXPECT_EQ(LoadVarDefMap("scenario\\VarDef.map"), (VarNames{{3, "loose"}})) << "the name matches ignoring case";

    std::filesystem::remove(folder_.path() + "/scenario/VARDEF.MAP");
    std::vector<uint8_t> archive;
    std::string error;
    const std::string text = "4 packed\n";
    ASSERT_TRUE(BuildNmmArchive({{"VarDef.map", std::vector<uint8_t>(text.begin(), text.end()), -1}}, 0x5A,
                                &archive, &error))
        << error;
    Write("scenario.NMM", std::string(archive.begin(), archive.end()));
    EXPECT_EQ(LoadVarDefMap("scenario\\VarDef.map"), (VarNames{{4, "packed"}})) << "an archive entry serves too";

    std::filesystem::remove(folder_.path() + "/scenario.NMM");
    FlushFileLayerCache();
    EXPECT_TRUE(LoadVarDefMap("scenario\\VarDef.map").empty()) << "no file, no names";
}

TEST_F(VarWatchFiles, refresh_lists_scenario_then_system_variables_with_names)
{
    Write("scenario/VarDef.map", "5 flag\n7 route\n");
    ScenarioExecutor executor;
    std::map<int32_t, int32_t> system = {{5, 1}, {2, -3}};
    executor.setSystemVariables(&system);
    executor.valsInt()[7] = 42;
    executor.valsInt()[5] = 9;

    CVarWatchDialog handler(&executor);
    platform::DialogState state(VarWatchDialogTemplate());
    platform::DialogInput input(state, handler);
    handler.OnInit(state);
    ASSERT_EQ(state.Columns(kList).size(), 3u);
    EXPECT_EQ(state.Columns(kList)[0].title, "変数番号");
    EXPECT_EQ(state.Columns(kList)[2].width, 220);
    EXPECT_TRUE(state.Rows(kList).empty()) << "the list fills only when refreshed";

    input.Press(kRefresh);
    using Row = std::vector<std::string>;
    const std::vector<Row> expected = {
        {"5", "9", "flag"}, {"7", "42", "route"},  // scenario variables, ascending
        {"2", "-3", ""},    {"5", "1", "flag"},    // then the system variables
    };
    EXPECT_EQ(state.Rows(kList), expected) << "a system variable takes the same name as a scenario variable";

    executor.valsInt()[7] = 43;
    input.Press(kRefresh);
    EXPECT_EQ(state.Rows(kList)[1][1], "43") << "refreshing replaces the rows with the values of now";
    EXPECT_EQ(state.Rows(kList).size(), 4u);
}

}  // namespace
