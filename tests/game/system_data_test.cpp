// The user system file: what it writes, in which order, and how a partial
// or odd file is laid over the settings.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "GameTestFolder.h"
#include "GameTestPlanes.h"
#include "game/ErrorReport.h"
#include "game/SystemData.h"
#include "scenario/SceneSeen.h"

using game_test::GameFolder;

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ResetState()
{
    gConfig = CGameConfig();
    gSeenPictures.clear();
    gSceneSeen.clear();
}

TEST(SystemData, writes_sections_and_keys_in_their_order)
{
    GameFolder folder;
    ResetState();
    gConfig.width = 800;
    gConfig.height = 600;
    gConfig.CDDADrive = "Q";
    gConfig.seLevel = 200;
    gConfig.vistaAnimationLength = 12;
    gConfig.interval = 3;
    gConfig.systemInt = {{10, -1}, {2, 5}};
    gSeenPictures = {"cg\\b.png", "cg\\a.png"};
    gSceneSeen = {123, 7};
    ASSERT_EQ(SaveSystemData("user.ini"), 0);
    const std::string expected =
        "[global]\r\nwidth=800\r\nheight=600\r\ndefaultAnimationFrames=0\r\nwindowMove=0\r\ncdLevel=0\r\n"
        "seLevel=200\r\nse2Level=0\r\nCDDADrive=Q\r\nbgmCDDA=0\r\nuseWindowsMP3Codec=0\r\nwindowmode=0\r\n"
        "[scriptframe]\r\nAnimationLength=0\r\nBackColor=0\r\n"
        "[vista]\r\nAnimationLength=12\r\n[text]\r\ninterval=3\r\n"
        "[systemInt]\r\n2=5\r\n10=-1\r\n"
        "[cgs]\r\ncg\\a.png=seen\r\ncg\\b.png=seen\r\n"
        "[SceneSeen]\r\n07=seen\r\n123=seen\r\n";
    EXPECT_EQ(ReadAll(folder.path() + "/user.ini"), expected)
        << "sections in their order, system variables and scenes ascending, scene keys at least two digits";
}

TEST(SystemData, empty_sets_write_no_section)
{
    GameFolder folder;
    ResetState();
    ASSERT_EQ(SaveSystemData("user.ini"), 0);
    const std::string text = ReadAll(folder.path() + "/user.ini");
    EXPECT_EQ(text.find("[systemInt]"), std::string::npos);
    EXPECT_EQ(text.find("[cgs]"), std::string::npos);
    EXPECT_EQ(text.find("[SceneSeen]"), std::string::npos);
}

TEST(SystemData, round_trip_restores_every_value)
{
    GameFolder folder;
    ResetState();
    gConfig.cdLevel = 128;
    gConfig.windowmode = 24;
    gConfig.BackColor = 0x80;
    gConfig.CDDADrive = "E";
    gConfig.systemInt = {{-2, 3}, {0, 42}, {1, 11}, {300, -300}};
    gSeenPictures = {"bg\\x.png"};
    gSceneSeen = {7, 123};
    ASSERT_EQ(SaveSystemData("user.ini"), 0);
    const CGameConfig saved = gConfig;
    ResetState();
    ASSERT_EQ(LoadSystemData("user.ini"), 0);
    EXPECT_EQ(gConfig.cdLevel, 128);
    EXPECT_EQ(gConfig.windowmode, 24);
    EXPECT_EQ(gConfig.BackColor, 0x80);
    EXPECT_EQ(gConfig.CDDADrive, "E");
    EXPECT_EQ(gConfig.systemInt, saved.systemInt) << "a system variable (0 or negative ones too) was lost on the way";
    EXPECT_EQ(gSeenPictures, (std::set<std::string>{"bg\\x.png"}));
    EXPECT_EQ(gSceneSeen, (std::set<int>{7, 123})) << "\"07\" reads back as scene 7";
}

TEST(SystemData, partial_file_changes_only_its_keys)
{
    GameFolder folder;
    ResetState();
    gConfig.cdLevel = 9;
    gConfig.interval = 1;
    gSeenPictures = {"old.png"};
    gSceneSeen = {4};
    ProfileFile file;
    file.SetString("text", "interval", "50");
    folder.Write("user.ini", file);
    ASSERT_EQ(LoadSystemData("user.ini"), 0);
    EXPECT_EQ(gConfig.interval, 50);
    EXPECT_EQ(gConfig.cdLevel, 9) << "a key the file lacks keeps the settings value";
    EXPECT_TRUE(gSeenPictures.empty()) << "without a cgs section the seen pictures end empty";
    EXPECT_EQ(gSceneSeen, (std::set<int>{4})) << "the seen scenes are added to, never emptied";
}

TEST(SystemData, system_variable_zero_is_read_and_keys_without_digits_are_skipped)
{
    GameFolder folder;
    ResetState();
    ProfileFile file;
    file.SetString("systemInt", "0", "99");
    file.SetString("systemInt", "abc", "42");
    file.SetString("systemInt", "5", "6");
    folder.Write("user.ini", file);
    ASSERT_EQ(LoadSystemData("user.ini"), 0);
    EXPECT_EQ(gConfig.systemInt, (std::map<int, int>{{0, 99}, {5, 6}}))
        << "\"0=99\" must give variable 0 the value 99, and \"abc\" (no number) must not overwrite it";
}

TEST(SystemData, missing_file_changes_nothing)
{
    GameFolder folder;
    ResetState();
    gConfig.cdLevel = 3;
    gSeenPictures = {"keep.png"};
    EXPECT_EQ(LoadSystemData("none.ini"), 1);
    EXPECT_EQ(gConfig.cdLevel, 3);
    EXPECT_EQ(gSeenPictures.size(), 1u);
}

TEST(SystemData, failed_write_is_reported)
{
    GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    ResetErrorReports();
    ResetState();
    // A folder where the file should go cannot be replaced by a file, even by root.
    std::filesystem::create_directories(folder.path() + "/user.ini/inside");
    EXPECT_EQ(SaveSystemData("user.ini"), 1) << "a write that cannot happen must be reported";
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() + "/user.ini/inside"))
        << "what stood there is left as it was";
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_EQ(entry.path().filename().string().find("user.ini."), std::string::npos)
            << "no temporary file is left behind: " << entry.path();
}

TEST(SystemData, first_failed_write_of_a_run_shows_a_box_every_one_reaches_stderr)
{
    GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    ResetErrorReports();
    ResetState();
    std::filesystem::create_directories(folder.path() + "/user.ini/inside");
    const std::string line = "lantern: cannot write user.ini: cannot rename the temporary file into place: ";
    testing::internal::CaptureStderr();
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_EQ(SaveSystemData("user.ini"), 1);
    FlushErrorLines();
    const std::string err = testing::internal::GetCapturedStderr();
    const size_t first = err.find(line);
    ASSERT_NE(first, std::string::npos) << "the failure is logged with its reason: " << err;
    EXPECT_NE(err.find(" (repeated 2 times)\n", first), std::string::npos)
        << "the same failure again is counted, not lost: " << err;
    size_t lines = 0;
    for (size_t at = err.find(line); at != std::string::npos; at = err.find(line, at + 1))
        ++lines;
    EXPECT_EQ(lines, 2u) << "logged once, then once with its count: " << err;
    ASSERT_EQ(boxes.texts.size(), 1u) << "the player is told once per run, not at every save";
    EXPECT_EQ(boxes.texts[0].rfind("セーブデータを書き込めませんでした\nuser.ini\ncannot rename", 0), 0u)
        << boxes.texts[0];
    EXPECT_EQ(boxes.captions[0], "えら");
}

TEST(SystemData, read_only_game_folder_is_reported_not_silent)
{
    GameFolder folder;
    ResetState();
    // Permissions do not hold root back: the save then runs in a child that
    // has given up root, as a player's own account would.
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::group_exec |
                                                    std::filesystem::perms::others_read |
                                                    std::filesystem::perms::others_exec);
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(10);
        std::string box;
        platform::SetMessageBoxResponder(
            [&box](const std::string& text, const std::string&, platform::MessageBoxKind) {
                box = text;
                return platform::kIdOk;
            });
        ResetErrorReports();
        const int result = SaveSystemData("user.ini");
        (void)!write(pipeFds[1], box.data(), box.size());
        _exit(result == 1 ? 0 : 11);
    }
    close(pipeFds[1]);
    std::string box;
    char chunk[256];
    for (ssize_t n; (n = read(pipeFds[0], chunk, sizeof chunk)) > 0;)
        box.append(chunk, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 10) << "the test could not give up root";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a save into a read-only folder must fail";
    EXPECT_EQ(box, "セーブデータを書き込めませんでした\nuser.ini\ncannot create the temporary file: Permission denied");
}

TEST(SystemData, old_unknown_sections_are_dropped_on_the_next_save)
{
    GameFolder folder;
    ResetState();
    ProfileFile file;
    file.SetString("extra", "key", "1");
    folder.Write("user.ini", file);
    ASSERT_EQ(LoadSystemData("user.ini"), 0);
    ASSERT_EQ(SaveSystemData("user.ini"), 0);
    EXPECT_EQ(ReadAll(folder.path() + "/user.ini").find("[extra]"), std::string::npos);
}

}  // namespace
