// The three dialogs in a running game, through real SDL events on the ImGui
// view: each one is captured over the game's picture (written under the
// build folder, "dialog-shots", for a person to look at), driven by clicks,
// keys and typed text, and its effect checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "GameRig.h"
#include "ScreenTestSupport.h"
#include "game/ScriptFrame.h"
#include "game/GameMenus.h"
#include "game/NameInputDialog.h"
#include "game/OptionsDialog.h"
#include "game/VarWatchDialog.h"
#include "game/WinMain.h"
#include "platform/Dialog.h"
#include "platform/EventInjection.h"
#include "frame/TextEncoding.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"

namespace {

using namespace game_test;

constexpr uint32_t kRed = 0xFFFF0000u;

std::string Sjis(const char8_t* text) { return Utf8ToSjis(reinterpret_cast<const char*>(text)); }

struct Shot {
    std::vector<uint32_t> pixels;  // 0x00RRGGBB
    int w = 0;
    int h = 0;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x]; }
};

// Captures the whole window and keeps a copy under the build folder.
Shot Capture(const std::string& name)
{
    Shot shot;
    EXPECT_TRUE(platform::testing::CaptureWindow(&shot.pixels, &shot.w, &shot.h)) << "the window must read back";
    const char* build = std::getenv("LANTERN_BUILD_DIR");
    const std::filesystem::path dir = std::filesystem::path(build ? build : ".") / "dialog-shots";
    std::filesystem::create_directories(dir);
    std::vector<uint32_t> argb(shot.pixels);
    for (uint32_t& p : argb)
        p |= 0xFF000000u;
    if (!shot.pixels.empty())
        WritePng((dir / (name + ".png")).string(), shot.w, shot.h, argb, false);
    return shot;
}

bool IsRed(uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) > 0xF0 && ((rgb >> 8) & 0xFF) < 0x10 && (rgb & 0xFF) < 0x10;
}

// Checks that a dialog stands over the game: the game's red picture around
// it, something else where the dialog's control is.
void ExpectOverTheGame(const Shot& shot, int controlId)
{
    ASSERT_FALSE(shot.pixels.empty());
    EXPECT_TRUE(IsRed(shot.At(4, shot.h - 4))) << "the game's picture must stay visible around the dialog";
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(platform::testing::DialogControlRect(controlId, &x, &y, &w, &h));
    EXPECT_FALSE(IsRed(shot.At(x + w / 2, y + h / 2))) << "the dialog must cover the game where it stands";
}

void ClickControl(int id)
{
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(platform::testing::DialogControlRect(id, &x, &y, &w, &h)) << "control " << id << " was not drawn";
    platform::testing::PushMouseMotion(x + w / 2, y + h / 2);
    platform::testing::PushMouseButton(1, true, x + w / 2, y + h / 2);
    platform::testing::PushMouseButton(1, false, x + w / 2, y + h / 2);
}

// A turn hook that runs the steps in order, one per turn, and presses Enter
// from then on so that a failing test cannot keep the loop open.
void RunSteps(std::vector<std::function<void()>> steps)
{
    auto turn = std::make_shared<size_t>(0);
    platform::testing::SetModalTurnHook([steps = std::move(steps), turn]() {
        if (*turn < steps.size()) {
            steps[*turn]();
        } else {
            platform::testing::PushKey(platform::Key::Return, (*turn % 2) == 0);
        }
        ++*turn;
    });
}

struct RedGame {
    explicit RedGame(const std::string& rest)
    {
        TestSettings("test.nsd");
        gConfig.defaultAnimationFrames = 1;  // the picture at once
        WriteChipPictures(folder);
        WriteFlatPng(folder.path() + "/bg/red.png", 800, 600, kRed);
        FlushFileLayerCache();
        WriteScenario(folder, "test", "show \"bg\\\\red.png\", 0, 0, 0, 0\n" + rest);
    }
    GameFolder folder;
};

TEST(GameDialogs, options_over_the_game_cancel_then_ok_by_mouse_and_keys)
{
    const CGameConfig saved = gConfig;
    RedGame red("waitclick 0\nend\n");
    gConfig.bgmCDDA = 0;
    gConfig.cdLevel = 100;
    gConfig.interval = 10;
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(game.Frame());

        // Cancel with Esc after checking CD music: nothing changes or is saved.
        Shot shot;
        RunSteps({[] {},
                  [&] {
                      shot = Capture("options");
                      ClickControl(options_dialog::kMusicFromCd);
                  },
                  [] {},
                  [] { platform::testing::PushKey(platform::Key::Escape, true); },
                  [] { platform::testing::PushKey(platform::Key::Escape, false); }});
        game.OnWindowMessage(GetAppWindow(), platform::kWmCommand, kCmdOptions, 0);
        ExpectOverTheGame(shot, options_dialog::kSpeed);
        EXPECT_EQ(gConfig.bgmCDDA, 0) << "Esc must cancel without applying the check box";
        EXPECT_FALSE(std::filesystem::exists(red.folder.path() + "/user.ini")) << "Cancel saves nothing";

        // OK: the speed slider dragged to its right end, then the OK button.
        RunSteps({[] {},
                  [] {
                      int x = 0, y = 0, w = 0, h = 0;
                      ASSERT_TRUE(platform::testing::DialogControlRect(options_dialog::kSpeed, &x, &y, &w, &h));
                      platform::testing::PushMouseMotion(x + 2, y + h / 2);
                      platform::testing::PushMouseButton(1, true, x + 2, y + h / 2);
                  },
                  [] {
                      int x = 0, y = 0, w = 0, h = 0;
                      ASSERT_TRUE(platform::testing::DialogControlRect(options_dialog::kSpeed, &x, &y, &w, &h));
                      platform::testing::PushMouseMotion(x + w + 40, y + h / 2);
                  },
                  [] {
                      int x = 0, y = 0, w = 0, h = 0;
                      ASSERT_TRUE(platform::testing::DialogControlRect(options_dialog::kSpeed, &x, &y, &w, &h));
                      platform::testing::PushMouseButton(1, false, x + w + 40, y + h / 2);
                  },
                  [] { ClickControl(options_dialog::kOk); }});
        game.OnWindowMessage(GetAppWindow(), platform::kWmCommand, kCmdOptions, 0);
        EXPECT_EQ(gConfig.interval, 0) << "the slider dragged to Fast must give interval 0";
        EXPECT_TRUE(std::filesystem::exists(red.folder.path() + "/user.ini")) << "OK saves the user file";
        platform::testing::SetModalTurnHook(nullptr);
        EXPECT_TRUE(game.Frame()) << "the game goes on after the dialog";
    });
    app.Run();
    gConfig = saved;
}

TEST(GameDialogs, name_input_types_into_the_scenario_variable)
{
    const CGameConfig saved = gConfig;
    RedGame red(reinterpret_cast<const char*>(u8"input &4, \"ななし\"\nwaitclick 0\nend\n"));
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        Shot shot;
        RunSteps({[] {},
                  [] { platform::testing::PushKey(platform::Key::Backspace, true); },
                  [] { platform::testing::PushKey(platform::Key::Backspace, false); },
                  [] { platform::testing::PushText(reinterpret_cast<const char*>(u8"やまだ🍣")); },
                  [] {},
                  [&] {
                      // Backspace cleared the selected name offered; the emoji was refused.
                      shot = Capture("name-input");
                      int x = 0, y = 0, w = 0, h = 0;
                      ASSERT_TRUE(platform::testing::DialogControlRect(name_input::kNote, &x, &y, &w, &h));
                      EXPECT_GT(w, 0) << "the refused emoji must leave a note under the field";
                  },
                  // Esc neither closes the dialog nor leaves the field deaf.
                  [] { platform::testing::PushKey(platform::Key::Escape, true); },
                  [] { platform::testing::PushKey(platform::Key::Escape, false); },
                  [] {},
                  [] { platform::testing::PushText(reinterpret_cast<const char*>(u8"みお")); },
                  [] { platform::testing::PushKey(platform::Key::Return, true); },
                  [] { platform::testing::PushKey(platform::Key::Return, false); }});
        ASSERT_TRUE(RunUntil(game, [&] { return game.executor.valsStr().count(4) != 0; }, 20))
            << game.executor.lastError();
        platform::testing::SetModalTurnHook(nullptr);
        EXPECT_EQ(game.executor.valsStr()[4], Sjis(u8"ななしみお"))
            << "Esc brings back the name offered, and the field must go on taking what is typed";
        ExpectOverTheGame(shot, name_input::kName);
        EXPECT_FALSE(game.executor.failed()) << game.executor.lastError();
        const size_t waitingAt = game.executor.position();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame()) << "the Enter that closed the dialog must not run the scenario to its end";
        EXPECT_EQ(game.executor.position(), waitingAt) << "the Enter that closed the dialog reached the game";
    });
    app.Run();
    gConfig = saved;
}

// Near-white pixels (typed text) in a band of client rows, over the columns
// left of x (the dialog stands in the middle).
int WhiteIn(const Shot& shot, int top, int bottom, int right)
{
    int n = 0;
    for (int y = top + platform::kMenuBarHeight; y < bottom + platform::kMenuBarHeight && y < shot.h; ++y)
        for (int x = 0; x < right && x < shot.w; ++x) {
            const uint32_t p = shot.At(x, y);
            n += ((p >> 16) & 0xFF) > 0xE0 && ((p >> 8) & 0xFF) > 0xE0 && (p & 0xFF) > 0xE0;
        }
    return n;
}

// A name input reached while skipping: the page before it has ended in the
// same step, so the window behind the dialog must be empty of its text.
TEST(GameDialogs, name_input_reached_by_skipping_stands_over_the_current_frame)
{
    const CGameConfig saved = gConfig;
    RedGame red("window 1\ntext \"MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM\"\npage\ninput &4, \"x\"\nwaitclick 0\nend\n");
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(RunUntil(game, [&] { return game.text.GetScriptFrame()->GetState() == 1; }, 40));
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame());
        Shot page;
        ASSERT_TRUE(platform::testing::CaptureWindow(&page.pixels, &page.w, &page.h));
        ASSERT_GT(WhiteIn(page, 440, 600, 240), 200) << "the page's text must show before the skip";
        Shot shot;
        RunSteps({[] {}, [&] { shot = Capture("name-input-after-skip"); }});
        game.executor.setFastForward(1);
        ASSERT_TRUE(RunUntil(game, [&] { return game.executor.valsStr().count(4) != 0; }, 20))
            << game.executor.lastError();
        platform::testing::SetModalTurnHook(nullptr);
        ExpectOverTheGame(shot, name_input::kName);
        EXPECT_EQ(WhiteIn(shot, 440, 600, 240), 0) << "the turned page's text must not stay behind the dialog";
    });
    app.Run();
    gConfig = saved;
}

// A scenario whose first wait is the name input: the start menu closes in
// the frame before, and the dialog must not open over it.
TEST(GameDialogs, name_input_at_a_new_game_does_not_stand_over_the_start_menu)
{
    const CGameConfig saved = gConfig;
    ScreenFolder f;
    WriteScreenPictures(f);
    WriteScenario(f.folder, "test", "input &4, \"x\"\nwaitclick 0\nend\n");
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        ASSERT_NE(game.screen, nullptr) << "the start menu must open";
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame());
        Shot menu;
        ASSERT_TRUE(platform::testing::CaptureWindow(&menu.pixels, &menu.w, &menu.h));
        const int buttonY = 520 + platform::kMenuBarHeight;  // the exit button, below the dialog
        ASSERT_NE(menu.At(100, buttonY) & 0xFFFFFF, 0u) << "the start menu's buttons must show first";
        Shot shot;
        RunSteps({[] {}, [&] { shot = Capture("name-input-at-new-game"); }});
        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(1)));
        ASSERT_TRUE(RunUntil(game, [&] { return game.executor.valsStr().count(4) != 0; }, 20))
            << game.executor.lastError();
        platform::testing::SetModalTurnHook(nullptr);
        ASSERT_FALSE(shot.pixels.empty()) << "the name input must have opened";
        EXPECT_EQ(shot.At(100, buttonY), 0u) << "the start menu must be gone from behind the dialog";
    });
    app.Run();
    gConfig = saved;
}

TEST(GameDialogs, variable_watch_lists_on_refresh_and_keeps_presses_from_the_game)
{
    const CGameConfig saved = gConfig;
    RedGame red("push 42\nst $3\nwaitclick 0\nend\n");
    std::filesystem::create_directories(red.folder.path() + "/scenario");
    {
        std::FILE* map = std::fopen((red.folder.path() + "/scenario/VarDef.map").c_str(), "wb");
        ASSERT_NE(map, nullptr);
        std::fputs("3 answer\n", map);
        std::fclose(map);
    }
    FlushFileLayerCache();
    gDebugMode = 1;
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        ASSERT_TRUE(game.varWatch.IsOpen()) << "the debug switch opens the watch before the first frame";
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(game.Frame());
        const size_t waitingAt = game.executor.position();
        ClickControl(var_watch::kRefresh);
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame()) << "a press on the watch must not advance the scenario to its end";
        EXPECT_EQ(game.executor.position(), waitingAt) << "the press over the watch reached the game";
        const platform::DialogState* state = platform::ModelessDialogState(game.varWatch.DialogId());
        ASSERT_NE(state, nullptr);
        ASSERT_FALSE(state->Rows(var_watch::kList).empty()) << "the refresh button must fill the list";
        EXPECT_EQ(state->Rows(var_watch::kList)[0], (std::vector<std::string>{"3", "42", "answer"}));
        const Shot shot = Capture("variable-watch");
        ExpectOverTheGame(shot, var_watch::kList);
    });
    app.Run();
    gDebugMode = 0;
    gConfig = saved;
}

TEST(GameDialogs, without_the_debug_switch_there_is_no_watch)
{
    const CGameConfig saved = gConfig;
    RedGame red("waitclick 0\nend\n");
    gDebugMode = 0;
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        EXPECT_FALSE(game.varWatch.IsOpen());
    });
    app.Run();
    gConfig = saved;
}

}  // namespace
