// Start-up and shut-down: the settings failure message and exit code, and a
// second copy that finds the first one running.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

#include "support/ChildProcess.h"
#include "support/EndRequests.h"
#include "GameRig.h"
#include "GameTestFolder.h"
#include "frame/CSingleInstance.h"
#include "game/ErrorReport.h"
#include "game/Game.h"
#include "game/SystemData.h"
#include "game/ScreenSlot.h"
#include "game/WinMain.h"
#include "platform/EventInjection.h"
#include "platform/MessageBox.h"
#include "scenario/AssembleFiles.h"
#include "scenario/SceneSeen.h"

using game_test::FullSettings;
using game_test::GameFolder;
using game_test::Without;

namespace {

struct Box {
    std::string text, caption;
};

// Runs WinMain with the folder as the current directory, answering and
// recording every message box.
int RunIn(const std::string& gameFolder, std::vector<Box>* boxes)
{
    const std::filesystem::path back = std::filesystem::current_path();
    std::filesystem::current_path(gameFolder);
    platform::SetMessageBoxResponder([boxes](const std::string& text, const std::string& caption,
                                             platform::MessageBoxKind) {
        boxes->push_back({text, caption});
        return platform::kIdOk;
    });
    // Without screens, as a game without a start menu: "scnstart" runs right
    // after the movies instead of a menu waiting for a click.
    SetGameScreenFactory([](int) -> CGameScreen* { return nullptr; });
    const int result = WinMain(nullptr, nullptr, "", 10);
    SetGameScreenFactory(nullptr);
    platform::SetMessageBoxResponder(nullptr);
    std::filesystem::current_path(back);
    return result;
}

int RunIn(const GameFolder& folder, std::vector<Box>* boxes) { return RunIn(folder.path(), boxes); }

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Every key, with the user system file "user.ini" beside the game.
ProfileFile SettingsWithUserFile()
{
    ProfileFile settings = FullSettings();
    settings.SetString("global", "userini", "user.ini");
    return settings;
}

TEST(WinMain, unreadable_settings_end_with_1_and_name_the_file_the_folder_and_the_fault)
{
    GameFolder folder;
    std::vector<Box> boxes;
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunIn(folder, &boxes), 1) << "no settings file";
    std::string err = testing::internal::GetCapturedStderr();
    const std::string where = "scenario/brask.ini in " + folder.path() + ": ";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "iniファイルの読み込みに失敗(1)\n" + where + "not found");
    EXPECT_EQ(boxes[0].caption, "えら");
    EXPECT_NE(err.find("lantern: " + where + "not found\n"), std::string::npos)
        << "the reason must reach stderr even when nobody sees the box: " << err;

    ProfileFile settings = Without(FullSettings(), "global", "UrlSundrel");
    folder.Write("scenario/brask.ini", settings);
    boxes.clear();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunIn(folder, &boxes), 1);
    err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "iniファイルの読み込みに失敗(8)\n" + where + "key \"UrlSundrel\" missing from [global]")
        << "the code names the missing key, the second line spells it out";
    EXPECT_NE(err.find("UrlSundrel"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/v")) << "no user system file after a failed start";
}

TEST(WinMain, a_missing_settings_key_reaches_stderr_once)
{
    GameFolder folder;
    folder.Write("scenario/brask.ini", Without(FullSettings(), "global", "UrlSundrel"));
    // No responder and no display: the box as a player without a screen
    // meets it, which writes its text to stderr and answers OK at once.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string savedDriver = driver ? driver : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    const std::filesystem::path back = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    testing::internal::CaptureStderr();
    const int result = WinMain(nullptr, nullptr, "", 10);
    const std::string err = testing::internal::GetCapturedStderr();
    std::filesystem::current_path(back);
    if (savedDriver.empty())
        unsetenv("SDL_VIDEODRIVER");
    else
        setenv("SDL_VIDEODRIVER", savedDriver.c_str(), 1);
    EXPECT_EQ(result, 1);
    const std::string line = "key \"UrlSundrel\" missing from [global]";
    const size_t first = err.find(line);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find(line, first + 1), std::string::npos) << "the reason is written once: " << err;
    EXPECT_NE(err.find("lantern: " + Utf8(u8"えら: iniファイルの読み込みに失敗(8)")), std::string::npos)
        << "the box's own line, with the code: " << err;
}

TEST(WinMain, settings_naming_a_file_outside_the_game_folder_stop_the_start_before_any_write)
{
    GameFolder folder;
    std::filesystem::create_directories(folder.path() + "/game/scenario");
    ProfileFile settings = SettingsWithUserFile();
    settings.SetString("global", "userini", "..\\escaped.ini");
    folder.Write("game/scenario/brask.ini", settings);
    std::vector<Box> boxes;
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunIn(folder.path() + "/game", &boxes), 1) << "a settings error";
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("iniファイルの書き込み先がゲームのフォルダの外です(300)\n", 0), 0u) << boxes[0].text;
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/escaped.ini")) << "nothing is written above the game";
}

TEST(WinMain, second_copy_saves_the_user_file_and_ends_with_0)
{
    GameFolder folder;
    ProfileFile settings = SettingsWithUserFile();
    folder.Write("scenario/brask.ini", settings);
    ProfileFile user;
    user.SetString("global", "width", "1024");
    user.SetString("global", "height", "768");
    user.SetString("global", "cdLevel", "99");
    folder.Write("user.ini", user);
    gSceneSeen.clear();

    CSingleInstance first;  // this process plays the copy that already runs
    ASSERT_TRUE(first.IsFirstInstance());
    std::vector<Box> boxes;
    EXPECT_EQ(RunIn(folder, &boxes), 0);
    EXPECT_TRUE(boxes.empty()) << "the second copy shows nothing";
    EXPECT_EQ(gConfig.width, 800) << "start-up replaces the width read from the user file";
    EXPECT_EQ(gConfig.height, 600);
    EXPECT_EQ(gConfig.baseDir, ".\\");
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() + "/savedata")) << "start-up makes the save folder";

    ProfileFile written;
    ASSERT_EQ(written.load(folder.path() + "/user.ini"), 0);
    int value = 0;
    ASSERT_EQ(written.GetInt("global", "cdLevel", &value), 0);
    EXPECT_EQ(value, 99) << "the values this copy read are written back";
    ASSERT_EQ(written.GetInt("global", "width", &value), 0);
    EXPECT_EQ(value, 800);
}

TEST(WinMain, first_copy_runs_the_application_and_saves_the_user_file_at_exit)
{
    GameFolder folder;
    ProfileFile settings = SettingsWithUserFile();
    settings.SetString("global", "VersionString", "lantern test");
    folder.Write("scenario/brask.ini", settings);
    gSceneSeen = {3};
    gGame = nullptr;
    // The player closes the window as soon as it is there.
    ASSERT_TRUE(platform::testing::PushWindowClose()) << "the event queue must take the close";
    std::vector<Box> boxes;
    EXPECT_EQ(RunIn(folder, &boxes), 0);
    EXPECT_NE(gGame, nullptr) << "the application's main routine must build the game object and run its loop";
    // The folder holds no pictures: the game names each one it misses, and
    // shows nothing else (no settings failure, no scenario error).
    for (const Box& box : boxes) {
        EXPECT_EQ(box.text.rfind("みつからないの。。。<", 0), 0u) << "unexpected message box: " << box.text;
        EXPECT_EQ(box.caption, "えら");
    }
    ProfileFile written;
    ASSERT_EQ(written.load(folder.path() + "/user.ini"), 0) << "the first run creates the user system file";
    std::string seen;
    EXPECT_EQ(written.GetString("SceneSeen", "03", &seen), 0) << "with the scenes seen during the run";
}

TEST(WinMain, user_file_that_cannot_be_written_at_exit_goes_to_stderr_without_a_box)
{
    GameFolder folder;
    folder.Write("scenario/brask.ini", SettingsWithUserFile());
    // A folder where the user file belongs: every write of it fails, as on a
    // full disk or a read-only folder.
    std::filesystem::create_directories(folder.path() + "/user.ini");
    ASSERT_TRUE(platform::testing::PushWindowClose());
    std::vector<Box> boxes;
    testing::internal::CaptureStderr();
    const int status = RunIn(folder, &boxes);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 0) << "a failed save at exit keeps the usual status";
    for (const Box& box : boxes)
        EXPECT_EQ(box.text.find("セーブデータを書き込めませんでした"), std::string::npos)
            << "a box after the window has gone has nobody to close it: " << box.text;
    EXPECT_NE(err.find("lantern: cannot write user.ini: "), std::string::npos)
        << "the failure must still be told, on stderr: " << err;
}

TEST(WinMain, the_game_starts_and_plays_with_every_number_at_an_extreme)
{
    // cdLevel x 255 for the CD line, an effect length minus one, a size
    // scaled by width / basewidth: each overflowed with such values, and the
    // sanitizer build stops at the first.
    for (const char* extreme : {"2147483647", "-2147483648", "99999999999999999999"}) {
        GameFolder folder;
        ProfileFile settings = SettingsWithUserFile();
        ProfileFile user;
        for (const ConfigKey& key : ConfigKeys()) {
            if (key.isInt && !key.namePattern) {
                settings.SetString(key.section, key.key, extreme);
                user.SetString(key.section, key.key, extreme);
            }
        }
        settings.SetString("global", "scnstart", "extreme.nsd");
        folder.Write("scenario/brask.ini", settings);
        folder.Write("user.ini", user);
        const std::string source = folder.path() + "/extreme.nss";
        std::ofstream(source) << "show \"bg\\\\gone.png\", 0, 0, 0, 0\ntext \"extreme\"\nnl\npush 1\nst $1\nend\n";
        std::string errors;
        ASSERT_TRUE(scenario::AssembleFiles({source}, folder.path() + "/scenario", &errors)) << errors;
        std::vector<Box> boxes;
        EXPECT_EQ(RunIn(folder, &boxes), 0) << extreme << ": the scenario runs to its end";
        for (const Box& box : boxes)
            EXPECT_EQ(box.text.rfind("みつからないの。。。<", 0), 0u) << extreme << ": unexpected message box: " << box.text;
    }
}

TEST(WinMain, scenario_error_names_the_file_on_stderr_and_ends_with_a_failure_status)
{
    GameFolder folder;
    ProfileFile settings = SettingsWithUserFile();
    settings.SetString("global", "scnstart", "start.nsd");
    folder.Write("scenario/brask.ini", settings);
    {
        std::ofstream damaged(folder.path() + "/scenario/start.nsd", std::ios::binary);
        damaged << std::string(40, '\0');
    }
    std::vector<Box> boxes;
    testing::internal::CaptureStderr();
    const int status = RunIn(folder, &boxes);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, kExitFatalError) << "a game ended by an error must not report success";
    bool named = false;
    for (const Box& box : boxes)
        named = named || box.text == "エラーが発生しました\nscenario start.nsd: not a NASDAP66 version 2 file";
    EXPECT_TRUE(named) << "the box keeps the system's line and names the file and the reason";
    EXPECT_NE(err.find("lantern: scenario start.nsd: not a NASDAP66 version 2 file\n"), std::string::npos)
        << "the same line must reach stderr without LANTERN_DEBUG: " << err;
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "/user.ini")) << "the user file is still saved";
}

// Runs WinMain in a child process on a game whose saves all fail at once, as
// on a full disk, and whose scenario is `source`; with raiseAtBox, SIGTERM
// comes when the first failed save shows its box, the way a kill from outside
// would while the scenario goes on. Returns the exit status (-1: it did not
// end within two minutes) and the lines the child wrote to stderr.
int RunFailingSaves(const std::string& source, bool raiseAtBox, std::vector<std::string>* lines)
{
    GameFolder folder;
    ProfileFile settings = SettingsWithUserFile();
    settings.SetString("global", "scnstart", "loop.nsd");
    settings.SetString("global", "savedataFormat", "nofolder\\save%02d.dat");  // no such folder
    folder.Write("scenario/brask.ini", settings);
    game_test::WriteScenario(folder, "loop", source);
    const std::string errPath = folder.path() + "/stderr.txt";
    const int status = test_support::ChildStatusWithin(120, [&folder, &errPath, raiseAtBox] {
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err < 0 || dup2(err, 2) < 0)
            return 90;
        std::filesystem::current_path(folder.path());
        SetGameScreenFactory([](int) -> CGameScreen* { return nullptr; });
        platform::SetMessageBoxResponder(
            [raiseAtBox](const std::string& text, const std::string&, platform::MessageBoxKind) {
                if (raiseAtBox && text.rfind("セーブデータを書き込めませんでした", 0) == 0)
                    raise(SIGTERM);
                return platform::kIdOk;
            });
        return WinMain(nullptr, nullptr, "", 10);
    });
    std::ifstream in(errPath);
    for (std::string line; std::getline(in, line);)
        lines->push_back(line);
    return status;
}

const char kFailedSave[] = "lantern: cannot write nofolder\\save99.dat: cannot create the temporary file: ";

TEST(WinMain, save_point_loop_on_a_failing_disk_hears_sigterm_between_two_instructions)
{
    std::vector<std::string> lines;
    const int status = RunFailingSaves("top:\n        savepoint\n        jmp top\n", true, &lines);
    EXPECT_EQ(status, 0) << "-1: the loop held the process; else SIGTERM did not end the game as a quit";
    size_t failures = 0;
    long repeats = 0;
    for (const std::string& line : lines) {
        if (line.rfind(kFailedSave, 0) != 0)
            continue;
        ++failures;
        if (const size_t at = line.find(" (repeated "); at != std::string::npos)
            repeats = std::stol(line.substr(at + 11));
    }
    EXPECT_GE(failures, 1u) << "the failed save is logged";
    // A step's budget is 100,000 instructions, 50,000 save points: a stop
    // heard only at the end of the step lets all of them run first.
    EXPECT_LT(repeats, 25000) << "SIGTERM must be heard between two instructions, not after the step's budget";
    EXPECT_LT(lines.size(), 50u) << "one line per failed save floods the log";
}

TEST(WinMain, failure_repeated_by_the_scenario_is_logged_once_with_its_count)
{
    std::vector<std::string> lines;
    const int status = RunFailingSaves(R"(
        push 0
        st $1
    top:
        savepoint
        ld $1
        push 1
        add
        dup
        st $1
        push 100
        lt
        jnz top
        end
    )",
                                       false, &lines);
    EXPECT_EQ(status, 0);
    std::vector<std::string> failures;
    for (const std::string& line : lines) {
        if (line.rfind(kFailedSave, 0) == 0)
            failures.push_back(line);
    }
    ASSERT_EQ(failures.size(), 2u) << "100 failed saves: the line once, then once with its count";
    EXPECT_EQ(failures[1], failures[0] + " (repeated 99 times)") << "the count comes at the end at the latest";
}

TEST(WinMain, signal_or_close_inside_a_message_box_ends_the_game_cleanly_with_the_user_file_saved)
{
    const auto ends = test_support::EndRequests();
    for (const auto& [what, end] : ends) {
        GameFolder folder;
        folder.Write("scenario/brask.ini", SettingsWithUserFile());
        // The folder has no pictures: the game's first box ("みつからないの。。。")
        // is up when the end comes; the hook stands in for a person who does
        // not answer it.
        const int status = test_support::ChildStatusWithin(60, [&folder, end = end] {
            std::filesystem::current_path(folder.path());
            int turns = 0;
            platform::testing::SetModalTurnHook([&turns, &end] {
                if (++turns == 5)
                    end();
            });
            const int result = WinMain(nullptr, nullptr, "", 10);
            return turns >= 5 ? result : 100;
        });
        EXPECT_EQ(status, 0) << what << ": -1 means the box kept the game from ending, 100 that no box came up";
        EXPECT_TRUE(std::filesystem::exists(folder.path() + "/user.ini"))
            << what << ": the user file is saved as at a normal quit";
    }
}

}  // namespace
