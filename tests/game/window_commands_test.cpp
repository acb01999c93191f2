// The window commands end to end: the menus are opened and chosen with real
// SDL events (a press on the menu bar, a right click in the scenario), the
// questions are answered by the message-box responder, and what the game
// then does is read from the game object and the slot files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "GameRig.h"
#include "frame/ProfileFile.h"
#include "game/Drawable.h"
#include "game/ErrorReport.h"
#include "game/GameMenus.h"
#include "game/SaveSlots.h"
#include "game/ScriptFrame.h"
#include "platform/EventInjection.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"
#include "platform/Video.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"

namespace {

using namespace game_test;
using platform::MessageBoxKind;

// $3 and the title change after the first click wait; #2 is a system variable.
const char kScenario[] = R"(
        title "Chapter"
        push 42
        st $3
        push 5
        st #2
        show "bg\\red.png", 0, 0, 0, 0
        window 1
        savepoint
        waitclick 0
        push 43
        st $3
        title "Later"
        waitclick 0
        end
)";

struct Box {
    std::string text;
    std::string caption;
    MessageBoxKind kind;
};

class WindowCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestSettings("test.nsd");
        gConfig.savedataFormat = "savedata\\save%02d.dat";
        gConfig.maxSaveSlot = 12;
        gConfig.VersionString = "lantern test 1.0";
        WriteChipPictures(folder_);
        WriteFlatPng(folder_.path() + "/bg/red.png", 800, 600, 0xFFFF0000u);
        std::filesystem::create_directories(folder_.path() + "/savedata");
        WriteScenario(folder_, "test", kScenario);
        platform::SetMessageBoxResponder([this](const std::string& text, const std::string& caption,
                                                MessageBoxKind kind) {
            boxes_.push_back({text, caption, kind});
            return kind == MessageBoxKind::YesNo ? answer_ : platform::kIdOk;
        });
    }
    void TearDown() override
    {
        platform::SetMessageBoxResponder(nullptr);
        platform::testing::SetModalTurnHook(nullptr);
    }

    // Runs the game body in a real window with the game started and waiting
    // at the first click (the message window shown).
    void Play(const std::function<void(TestGame&)>& body)
    {
        GameApp app([&](TestGame& game) {
            ASSERT_TRUE(game.Start());
            ASSERT_TRUE(RunUntil(game, [&] { return AtFirstWait(game); })) << game.executor.lastError();
            // The window's fade has ended; the next steps reach the wait.
            for (int i = 0; i < 3; ++i)
                ASSERT_TRUE(game.Frame());
            body(game);
        });
        app.Run();
    }
    static bool AtFirstWait(CGame& game)
    {
        auto& vars = game.executor.valsInt();
        CScriptFrame* frame = game.text.GetScriptFrame();
        return vars.count(3) && vars[3] == 42 && frame && frame->GetState() == 1;
    }

    // Runs the steps one per turn of the next nested loops (a step that
    // answers false is tried again next turn); when they are done, or after
    // too many turns, Esc (and then a press outside) closes whatever is open.
    void Script(std::vector<std::function<bool()>> steps)
    {
        steps_ = std::move(steps);
        next_ = 0;
        turns_ = 0;
        platform::testing::SetModalTurnHook([this] {
            ++turns_;
            if (next_ < steps_.size() && turns_ < 60) {
                if (steps_[next_]())
                    ++next_;
                return;
            }
            // Past the script: Esc, then a press outside every menu.
            if (turns_ < 70)
                platform::testing::PushKey(platform::Key::Escape, turns_ % 2 == 0);
            else
                platform::testing::PushMouseButton(1, turns_ % 2 == 0, 799, 619);
        });
    }
    bool ScriptDone() const { return next_ == steps_.size(); }
    // *opened becomes true when a menu opens (which is then closed with Esc).
    static void NoteMenuOpening(bool* opened)
    {
        platform::testing::SetModalTurnHook([opened] {
            *opened = true;
            platform::testing::PushKey(platform::Key::Escape, true);
        });
    }

    static std::function<bool()> PointAt(int level, int position)
    {
        return [=] {
            int x = 0, y = 0;
            if (!platform::testing::OpenMenuItemCentre(level, position, &x, &y))
                return false;
            platform::testing::PushMouseMotion(x, y);
            return true;
        };
    }
    static std::function<bool()> ClickAt(int level, int position)
    {
        return [=] {
            int x = 0, y = 0;
            if (!platform::testing::OpenMenuItemCentre(level, position, &x, &y))
                return false;
            platform::testing::PushMouseMotion(x, y);
            platform::testing::PushMouseButton(1, true, x, y);
            platform::testing::PushMouseButton(1, false, x, y);
            return true;
        };
    }
    // Points at each item of the path in turn (opening its submenu) and
    // clicks the last one.
    static std::vector<std::function<bool()>> PathSteps(const std::vector<int>& path)
    {
        std::vector<std::function<bool()>> steps;
        for (size_t i = 0; i + 1 < path.size(); ++i)
            steps.push_back(PointAt(static_cast<int>(i), path[i]));
        steps.push_back(ClickAt(static_cast<int>(path.size()) - 1, path.back()));
        return steps;
    }
    // Opens the menu-bar title and walks the path of item positions (the
    // last one is chosen). The pump of the frame tracks the menu and then
    // carries out the command; false when that frame ended the loop.
    bool FromMenuBar(CGame& game, int title, const std::vector<int>& path)
    {
        Script(PathSteps(path));
        int x = 0, y = 0;
        EXPECT_TRUE(platform::testing::MenuBarTitleCentre(title, &x, &y)) << "the menu bar must be drawn";
        platform::testing::PushMouseButton(1, true, x, y);
        platform::testing::PushMouseButton(1, false, x, y);
        const bool running = game.Frame();
        EXPECT_TRUE(ScriptDone()) << "the menu path could not be followed";
        return running;
    }
    // A right click in the client area, then the path through the popup.
    bool FromPopup(CGame& game, const std::vector<int>& path)
    {
        Script(PathSteps(path));
        RightClick(game);
        EXPECT_TRUE(ScriptDone()) << "the popup path could not be followed";
        return true;
    }
    static void RightClick(CGame& game)
    {
        platform::testing::PushMouseMotion(300, 200 + platform::kMenuBarHeight);
        platform::testing::PushMouseButton(3, true, 300, 200 + platform::kMenuBarHeight);
        platform::testing::PushMouseButton(3, false, 300, 200 + platform::kMenuBarHeight);
        game.Frame();   // the pump takes the click
        game.Frame();   // the scenario's wait sees it: the popup opens
    }
    static void LeftClick(CGame& game)
    {
        platform::testing::PushMouseButton(1, true, 300, 200 + platform::kMenuBarHeight);
        platform::testing::PushMouseButton(1, false, 300, 200 + platform::kMenuBarHeight);
        game.Frame();
        game.Frame();
    }
    std::string SlotPath(int slot) const
    {
        char name[32];
        std::snprintf(name, sizeof name, "/savedata/save%02d.dat", slot);
        return folder_.path() + name;
    }
    bool Asked(const std::string& text) const
    {
        for (const Box& box : boxes_) {
            if (box.text == text && box.caption == "確認" && box.kind == MessageBoxKind::YesNo)
                return true;
        }
        return false;
    }

    GameFolder folder_;
    std::vector<Box> boxes_;
    int answer_ = platform::kIdYes;

private:
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    int turns_ = 0;
};

TEST_F(WindowCommands, quit_and_version_from_the_menu_bar)
{
    Play([&](TestGame& game) {
        ASSERT_TRUE(FromMenuBar(game, 0, {3}));
        ASSERT_FALSE(boxes_.empty());
        EXPECT_EQ(boxes_.back().text, "lantern test 1.0");
        EXPECT_EQ(boxes_.back().caption, "バージョン情報");
        EXPECT_EQ(boxes_.back().kind, MessageBoxKind::Ok);

        answer_ = platform::kIdNo;
        EXPECT_TRUE(FromMenuBar(game, 0, {4})) << "No to the question must keep the game running";
        EXPECT_TRUE(Asked("終了しますか？"));
        EXPECT_TRUE(game.Frame());
        answer_ = platform::kIdYes;
        const bool running = FromMenuBar(game, 0, {4}) && game.Frame();
        EXPECT_FALSE(running) << "Yes must end the frame loop";
    });
}

TEST_F(WindowCommands, return_to_title_forgets_the_game_but_keeps_system_variables)
{
    Play([&](TestGame& game) {
        game.executor.setFastForward(2);
        answer_ = platform::kIdNo;
        ASSERT_TRUE(FromMenuBar(game, 0, {0}));
        EXPECT_TRUE(Asked("タイトルに戻りますか？"));
        EXPECT_EQ(game.executor.valsInt()[3], 42) << "No must change nothing";

        answer_ = platform::kIdYes;
        ASSERT_TRUE(FromMenuBar(game, 0, {0}));
        // Without a start menu the title is the first scenario, started afresh.
        EXPECT_EQ(game.executor.scenarioName(), "test.nsd");
        EXPECT_EQ(game.executor.position(), 0u);
        EXPECT_EQ(game.executor.valsInt().count(3), 0u) << "the old game's variables must be gone";
        EXPECT_TRUE(game.executor.saveTitle().empty());
        EXPECT_TRUE(game.executor.pictures().empty());
        EXPECT_EQ(game.executor.stack.size(), 0u);
        EXPECT_EQ(game.executor.systemInt()[2], 5) << "system variables outlive the game";
        EXPECT_EQ(game.executor.fastForward, 0) << "auto-advance must not run on into the new game";
        EXPECT_EQ(game.text.GetScriptFrame()->GetState(), 0) << "the message window is hidden";
    });
}

// The X run of these tests has an X server without a window manager, where
// full screen is refused for real (LANTERN_BARE_X names that run).
bool BareX() { return std::getenv("LANTERN_BARE_X") != nullptr; }

TEST_F(WindowCommands, screen_modes_switch_and_move_the_radio_mark)
{
    if (BareX())
        GTEST_SKIP() << "no window manager to make a window full screen";
    Play([&](TestGame& game) {
        platform::Menu* bar = platform::GetWindowMenu();
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(FromMenuBar(game, 1, {1, 1, 1}));
        EXPECT_EQ(gConfig.windowmode, 24);
        EXPECT_EQ(game.screenMode, 24) << "full screen at 24 bits";
        EXPECT_EQ(game.display.GetScreenBitsPerPixel(), 24);
        EXPECT_TRUE(bar->FindItem(kCmdFullScreen24)->radioChecked);
        EXPECT_FALSE(bar->FindItem(kCmdWindowed)->radioChecked);
        ASSERT_TRUE(game.Frame()) << "the game goes on in the new mode";

        ASSERT_TRUE(FromMenuBar(game, 1, {1, 0}));
        EXPECT_EQ(game.screenMode, 0);
        EXPECT_EQ(gConfig.windowmode, 0);
        EXPECT_FALSE(game.display.IsFullScreen());
        EXPECT_TRUE(bar->FindItem(kCmdWindowed)->radioChecked);
        EXPECT_FALSE(bar->FindItem(kCmdFullScreen24)->radioChecked);
    });
}

TEST_F(WindowCommands, window_mode_setting_takes_effect_at_start)
{
    if (BareX())
        GTEST_SKIP() << "no window manager to make a window full screen";
    gConfig.windowmode = 16;
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        EXPECT_TRUE(game.display.IsFullScreen()) << "windowmode=16 must open full screen";
        EXPECT_EQ(game.screenMode, 16);
        EXPECT_TRUE(platform::GetWindowMenu()->FindItem(kCmdFullScreen16)->radioChecked);
    });
    app.Run();
}

// Full screen that the window system does not carry out (no window manager):
// the game must end in a window showing the whole picture, with the pointer
// where it is, and keep the window as the mode for the next start.
TEST_F(WindowCommands, full_screen_the_window_system_refuses_falls_back_to_the_window_and_is_not_kept)
{
    // Without a window manager the real server refuses; elsewhere the stand-in does.
    platform::testing::RefuseFullScreen(!BareX());
    Play([&](TestGame& game) {
        platform::Menu* bar = platform::GetWindowMenu();
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(FromMenuBar(game, 1, {1, 1, 1}));
        EXPECT_EQ(game.screenMode, 0) << "a refused full screen must end in the window";
        EXPECT_EQ(gConfig.windowmode, 0) << "only a mode that took may be kept for the next start";
        EXPECT_FALSE(game.display.IsFullScreen());
        EXPECT_FALSE(game.display.Output()->IsFullScreen());
        EXPECT_TRUE(bar->FindItem(kCmdWindowed)->radioChecked);
        EXPECT_FALSE(bar->FindItem(kCmdFullScreen24)->radioChecked);
        ASSERT_TRUE(game.Frame());
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        ASSERT_TRUE(game.display.Output()->ReadClientArea(&pixels, &w, &h));
        EXPECT_EQ(w, 800) << "the client area must be the game's whole picture, not a cut of a larger one";
        EXPECT_EQ(h, 600);
        platform::testing::PushMouseMotion(400, 300 + platform::kMenuBarHeight);
        game.app->PumpMessages();
        ASSERT_TRUE(game.Frame());
        int x = 0, y = 0;
        game.mouse.GetPos(&x, &y);
        EXPECT_EQ(x, 400) << "the pointer must land where it is on the window";
        EXPECT_EQ(y, 300);
        ASSERT_TRUE(FromMenuBar(game, 1, {1, 1, 2}));
        EXPECT_EQ(gConfig.windowmode, 0) << "full screen 32 is refused the same way";
        EXPECT_TRUE(bar->FindItem(kCmdWindowed)->radioChecked);
    });
    platform::testing::RefuseFullScreen(false);

    // A saved full-screen mode that the screen refuses at start.
    platform::testing::RefuseFullScreen(!BareX());
    gConfig.windowmode = 16;
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        EXPECT_FALSE(game.display.IsFullScreen());
        EXPECT_EQ(gConfig.windowmode, 0) << "the next start must not try the refused mode again";
        EXPECT_TRUE(platform::GetWindowMenu()->FindItem(kCmdWindowed)->radioChecked);
    });
    app.Run();
    platform::testing::RefuseFullScreen(false);
}

TEST_F(WindowCommands, save_and_load_a_slot_through_the_popup)
{
    Play([&](TestGame& game) {
        answer_ = platform::kIdNo;
        FromPopup(game, {2, 1 + 2});
        EXPECT_TRUE(Asked("セーブしてよろしいですか？"));
        EXPECT_FALSE(std::filesystem::exists(SlotPath(2))) << "No must write nothing";

        answer_ = platform::kIdYes;
        FromPopup(game, {2, 1 + 2});
        ASSERT_TRUE(std::filesystem::exists(SlotPath(2)));
        LeftClick(game);
        ASSERT_EQ(game.executor.valsInt()[3], 43) << "the game went on past the wait";
        ASSERT_EQ(game.executor.saveTitle(), "Later");

        FromPopup(game, {3, 1 + 2});
        const platform::Menu* load = game.popupMenu->SubmenuAt(kPopupLoadPosition);
        const std::string label = load->FindItem(kLoadSlotIdBase + 2)->text;
        EXPECT_EQ(label.substr(0, 4), "02: ");
        EXPECT_EQ(label.substr(label.size() - 8), " Chapter") << "the slot item ends with the save title: " << label;
        EXPECT_EQ(game.executor.valsInt()[3], 42) << "the load must bring the saved variable back";
        EXPECT_EQ(game.executor.saveTitle(), "Chapter");
        EXPECT_EQ(game.executor.systemInt()[2], 5);
        LeftClick(game);
        EXPECT_EQ(game.executor.valsInt()[3], 43) << "the loaded game must run on from its wait";
    });
}

TEST_F(WindowCommands, save_point_writes_slot_99_which_the_latest_choice_item_loads)
{
    Play([&](TestGame& game) {
        ASSERT_TRUE(std::filesystem::exists(SlotPath(99))) << "the scenario's save point writes slot 99";
        LeftClick(game);
        ASSERT_EQ(game.executor.valsInt()[3], 43);
        FromPopup(game, {3, 0});
        EXPECT_EQ(game.executor.valsInt()[3], 42) << "\"最新の選択肢\" must load slot 99";

        // In the save menu the same text has no command. (The loaded game
        // stands at its save point, which writes slot 99 again first.)
        game.Frame();
        std::filesystem::remove(SlotPath(99));
        FromPopup(game, {2, 0});
        EXPECT_FALSE(std::filesystem::exists(SlotPath(99)));
        EXPECT_FALSE(Asked("セーブしてよろしいですか？"));
    });
}

TEST_F(WindowCommands, scene_replay_saves_nothing_and_greys_save_and_load)
{
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        game.executor.sceneReplay = 1;
        ASSERT_TRUE(RunUntil(game, [&] { return AtFirstWait(game); }));
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame());
        EXPECT_FALSE(std::filesystem::exists(SlotPath(99))) << "a save point in a replayed scene writes nothing";
        bool saveGrey = false, loadGrey = false;
        Script({[&] {
            saveGrey = game.popupMenu->ItemAt(kPopupSavePosition)->grayed;
            loadGrey = game.popupMenu->ItemAt(kPopupLoadPosition)->grayed;
            return true;
        }});
        RightClick(game);
        EXPECT_TRUE(saveGrey);
        EXPECT_TRUE(loadGrey);
    });
    app.Run();
}

TEST_F(WindowCommands, damaged_slot_leaves_the_game_as_it_was_and_says_so)
{
    Play([&](TestGame& game) {
        LeftClick(game);
        ASSERT_EQ(game.executor.valsInt()[3], 43);
        std::ofstream(SlotPath(4)) << "[title]\r\ntext=broken\r\n[scenario]\r\nversion=1\r\n";
        const size_t position = game.executor.position();
        FromPopup(game, {3, 1 + 4});
        ASSERT_FALSE(boxes_.empty());
        EXPECT_EQ(boxes_.back().text, "ロードに失敗(1)");
        EXPECT_EQ(boxes_.back().caption, "えら");
        EXPECT_EQ(game.executor.valsInt()[3], 43) << "a failed load must not touch the running game";
        EXPECT_EQ(game.executor.position(), position);
        EXPECT_EQ(game.executor.saveTitle(), "Later");
        EXPECT_EQ(game.text.GetScriptFrame()->GetState(), 1) << "the message window stays";
        EXPECT_FALSE(game.executor.pictures().empty()) << "the pictures stay";
        EXPECT_TRUE(game.Frame());
        EXPECT_FALSE(game.executor.failed());
    });
}

TEST_F(WindowCommands, the_lowest_and_the_highest_offered_slot_save_and_load_through_the_menus)
{
    const int last = LastOfferedSlot(gConfig.maxSaveSlot);
    ASSERT_EQ(last, 9) << "maxSaveSlot 12 offers slots 0 to 9";
    Play([&](TestGame& game) {
        // Two different games: slot 0 at the first wait, the last slot at the second.
        FromPopup(game, {2, 1 + 0});
        ASSERT_TRUE(std::filesystem::exists(SlotPath(0))) << "the lowest slot's save item wrote nothing";
        LeftClick(game);
        ASSERT_EQ(game.executor.valsInt()[3], 43);
        boxes_.clear();
        FromPopup(game, {2, 1 + last});
        EXPECT_TRUE(Asked("セーブしてよろしいですか？")) << "the highest slot's save item asked nothing";
        ASSERT_TRUE(std::filesystem::exists(SlotPath(last))) << "the highest slot's save item wrote nothing";

        FromPopup(game, {3, 1 + 0});
        EXPECT_EQ(game.executor.valsInt()[3], 42) << "the lowest slot's load item did not load it";
        EXPECT_EQ(game.executor.saveTitle(), "Chapter");
        FromPopup(game, {3, 1 + last});
        EXPECT_EQ(game.executor.valsInt()[3], 43) << "the highest slot's load item did not load it";
        EXPECT_EQ(game.executor.saveTitle(), "Later");
        const platform::Menu* load = game.popupMenu->SubmenuAt(kPopupLoadPosition);
        const std::string highest = load->FindItem(kLoadSlotIdBase + static_cast<uint32_t>(last))->text;
        EXPECT_EQ(highest.substr(0, 4), "09: ");
        EXPECT_EQ(highest.substr(highest.size() - 6), " Later") << highest;
        for (const Box& box : boxes_)
            EXPECT_NE(box.caption, "えら") << "a slot command failed: " << box.text;
    });
}

// Rewrites a slot's pictures as `count` layers under keys 100, 101, ...,
// the n-th naming names[n % names.size()] (escaped as a save stores it).
void SetSlotPictures(int slot, int count, const std::vector<std::string>& names)
{
    char path[32];
    std::snprintf(path, sizeof path, "savedata\\save%02d.dat", slot);
    ProfileFile save;
    ASSERT_EQ(save.load(path), 0);
    save.SetInt("pictures", "count", &count);
    for (int i = 0; i < count; ++i) {
        const std::string p = std::to_string(i) + ".";
        const int key = 100 + i;
        const int zero = 0;
        save.SetInt("pictures", p + "key", &key);
        for (const char* field : {"kind", "x", "y", "blit", "direction", "frames"})
            save.SetInt("pictures", p + field, &zero);
        save.SetString("pictures", p + "name", names[static_cast<size_t>(i) % names.size()]);
    }
    ASSERT_EQ(save.save(path), 0);
}

TEST_F(WindowCommands, a_slot_naming_one_picture_under_a_thousand_keys_decodes_it_once)
{
    Play([&](TestGame& game) {
        FromPopup(game, {2, 1 + 5});
        ASSERT_TRUE(std::filesystem::exists(SlotPath(5)));
        SetSlotPictures(5, 1000, {"bg\\\\red.png", "BG\\\\RED.PNG"});
        LeftClick(game);
        ASSERT_EQ(game.executor.valsInt()[3], 43);

        FromPopup(game, {3, 1 + 5});
        ASSERT_EQ(game.executor.valsInt()[3], 42) << "the slot must load";
        ASSERT_EQ(game.executor.pictures().size(), 1000u);
        const CDrawable* first = game.drawQueue.Find(100);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(first->GetPlane(), nullptr);
        for (int32_t key = 100; key < 1100; ++key) {
            const CDrawable* d = game.drawQueue.Find(key);
            ASSERT_NE(d, nullptr) << "key " << key << " was not put back";
            ASSERT_EQ(d->GetPlane(), first->GetPlane()) << "key " << key << " decoded the picture again";
        }
        EXPECT_EQ(game.services.PictureBytes(), 800u * 600u * 4u) << "one 800 x 600 picture is all it holds";
    });
}

TEST_F(WindowCommands, a_slot_naming_many_missing_pictures_says_so_in_one_box)
{
    Play([&](TestGame& game) {
        FromPopup(game, {2, 1 + 7});
        std::vector<std::string> names;
        for (int i = 0; i < 2000; ++i)
            names.push_back("bg\\\\gone" + std::to_string(i) + ".png");
        SetSlotPictures(7, 2000, names);
        LeftClick(game);
        boxes_.clear();

        testing::internal::CaptureStderr();
        FromPopup(game, {3, 1 + 7});
        const std::string err = testing::internal::GetCapturedStderr();
        ASSERT_EQ(game.executor.valsInt()[3], 42) << "missing pictures do not stop the load";
        ASSERT_EQ(boxes_.size(), 1u) << "one box for the load, not one per picture";
        const std::string& base = gConfig.baseDir;
        EXPECT_EQ(boxes_[0].text.rfind("みつからないの。。。<" + base + "bg\\gone0.png>\n<" + base + "bg\\gone1.png>\n", 0), 0u)
            << boxes_[0].text;
        EXPECT_NE(boxes_[0].text.find("\nほか 1995 件"), std::string::npos) << boxes_[0].text;
        EXPECT_EQ(boxes_[0].caption, "えら");
        EXPECT_NE(err.find("lantern: picture " + base + "bg\\gone1999.png not found"), std::string::npos)
            << "the names the box leaves out reach stderr";
        EXPECT_TRUE(game.Frame());
    });
}

TEST_F(WindowCommands, a_slot_whose_pictures_pass_the_bound_is_refused_and_the_game_goes_on)
{
    // Two distinct 4096 x 4096 pictures hold 128 MiB: more than 64 screens of 800 x 600.
    ASSERT_TRUE(WriteFlatPng(folder_.path() + "/bg/big1.png", 4096, 4096, 0xFF102030u));
    ASSERT_TRUE(WriteFlatPng(folder_.path() + "/bg/big2.png", 4096, 4096, 0xFF203040u));
    Play([&](TestGame& game) {
        ASSERT_LT(game.services.RestoreLimit(), size_t{2} * 4096 * 4096 * 4);
        FromPopup(game, {2, 1 + 6});
        SetSlotPictures(6, 4, {"bg\\\\big1.png", "bg\\\\big2.png"});
        LeftClick(game);
        ASSERT_EQ(game.executor.valsInt()[3], 43);
        const auto before = game.executor.pictures();
        const size_t bytes = game.services.PictureBytes();
        const size_t position = game.executor.position();
        boxes_.clear();

        FromPopup(game, {3, 1 + 6});
        ASSERT_FALSE(boxes_.empty()) << "a refused slot must say so";
        EXPECT_EQ(boxes_.back().text, "ロードに失敗(5)");
        EXPECT_EQ(boxes_.back().caption, "えら");
        EXPECT_EQ(game.executor.valsInt()[3], 43) << "a refused load must not touch the running game";
        EXPECT_EQ(game.executor.position(), position);
        EXPECT_EQ(game.executor.saveTitle(), "Later");
        ASSERT_EQ(game.executor.pictures().size(), before.size());
        for (const auto& [key, layer] : before) {
            const CDrawable* d = game.drawQueue.Find(key);
            ASSERT_NE(d, nullptr) << "the game's picture " << key << " is gone";
            EXPECT_EQ(d->GetName(), layer.name);
            EXPECT_NE(d->GetPlane(), nullptr);
        }
        EXPECT_EQ(game.services.PictureBytes(), bytes) << "the refused pictures must be let go";
        EXPECT_TRUE(game.Frame());
        EXPECT_FALSE(game.executor.failed());
    });
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(WindowCommands, a_save_that_cannot_be_written_says_so_and_keeps_the_old_file)
{
    Play([&](TestGame& game) {
        FromPopup(game, {2, 1 + 1});
        const std::string saved = FileBytes(SlotPath(1));
        ASSERT_FALSE(saved.empty());
        LeftClick(game);
        ASSERT_EQ(game.executor.valsInt()[3], 43) << "a new save would differ from the old one";
        // The write goes through "<name>.tmp<pid>": a folder of that name stops it.
        std::filesystem::create_directory(SlotPath(1) + ".tmp" + std::to_string(getpid()));
        boxes_.clear();
        FromPopup(game, {2, 1 + 1});
        ASSERT_FALSE(boxes_.empty());
        EXPECT_EQ(boxes_.back().text, "セーブに失敗しました");
        EXPECT_EQ(boxes_.back().caption, "えら");
        EXPECT_EQ(FileBytes(SlotPath(1)), saved) << "a failed save must leave the old file as it was";
        std::filesystem::remove(SlotPath(1) + ".tmp" + std::to_string(getpid()));

        boxes_.clear();
        gConfig.savedataFormat = "nofolder\\save%02d.dat";
        FromPopup(game, {2, 1});
        ASSERT_FALSE(boxes_.empty());
        EXPECT_EQ(boxes_.back().text, "セーブに失敗しました");
        EXPECT_EQ(boxes_.back().caption, "えら");
        boxes_.clear();
        gConfig.savedataFormat = "savedata\\save%s.dat";
        FromPopup(game, {2, 1});
        ASSERT_FALSE(boxes_.empty());
        EXPECT_EQ(boxes_.back().text, "セーブに失敗しました") << "a bad pattern writes nothing and says so";
        EXPECT_FALSE(std::filesystem::exists(folder_.path() + "/savedata/save%s.dat"));

        // The scenario's own save point is not the player's request: its
        // failure is told once per run, then only logged.
        ResetErrorReports();
        gConfig.savedataFormat = "nofolder\\save%02d.dat";
        boxes_.clear();
        EXPECT_FALSE(game.SavePoint());
        ASSERT_EQ(boxes_.size(), 1u) << "a failed save point must not pass in silence";
        EXPECT_EQ(boxes_[0].text.rfind("セーブデータを書き込めませんでした\nnofolder\\save99.dat\n", 0), 0u)
            << boxes_[0].text;
        EXPECT_FALSE(game.SavePoint());
        EXPECT_EQ(boxes_.size(), 1u) << "later automatic failures go to stderr only";
        ResetErrorReports();
    });
}

TEST_F(WindowCommands, auto_advance_and_skip_from_the_popup_and_a_click_stops_auto_advance)
{
    Play([&](TestGame& game) {
        FromPopup(game, {6});
        EXPECT_EQ(game.executor.fastForward, 1) << "次の選択肢へ: skip";
        game.executor.setFastForward(0);
        // The game is at its first wait again only after the skip: reload it.
        FromPopup(game, {3, 0});
        FromPopup(game, {5});
        EXPECT_EQ(game.executor.fastForward, 2) << "自動的に進む: auto-advance";
        const size_t position = game.executor.position();
        LeftClick(game);
        EXPECT_EQ(game.executor.fastForward, 0) << "a click must stop auto-advance";
        EXPECT_EQ(game.executor.position(), position) << "the click that stops it does not also advance";
    });
}

TEST_F(WindowCommands, hide_window_then_a_right_click_brings_it_back_without_a_menu)
{
    Play([&](TestGame& game) {
        FromPopup(game, {0});
        ASSERT_TRUE(RunUntil(game, [&] { return game.text.GetScriptFrame()->GetState() == 0; }, 60));
        bool opened = false;
        NoteMenuOpening(&opened);
        RightClick(game);
        EXPECT_FALSE(opened) << "no menu opens on a hidden window";
        EXPECT_TRUE(RunUntil(game, [&] { return game.text.GetScriptFrame()->GetState() == 1; }, 60))
            << "the window comes back";
    });
}

TEST_F(WindowCommands, a_window_without_fade_frames_counts_as_shown_exactly_when_on_screen)
{
    // Text shown and waited on without "window 1", then "window 1" and
    // "window 0" themselves.
    WriteScenario(folder_, "test", R"(
        show "bg\\red.png", 0, 0, 0, 0
        text "hello"
        push 42
        st $3
        waitclick 0
        window 1
        push 43
        st $3
        window 0
        push 44
        st $4
        waitclick 0
        end
)");
    // A point of the window picture away from the text; red when the window is away.
    const auto windowOnScreen = [](TestGame& game) {
        return !Near(game.display.GetBackPlane()->GetPixel(400, 590), {255, 0, 0}, 8);
    };
    for (int length : {0, 1, 2, 4}) {
        gConfig.AnimationLength = length;
        GameApp app([&](TestGame& game) {
            ASSERT_TRUE(game.Start());
            auto& vars = game.executor.valsInt();
            ASSERT_TRUE(RunUntil(game, [&] { return vars.count(3) && vars[3] == 42; })) << game.executor.lastError();
            ASSERT_TRUE(RunUntil(game, [&] {
                return Near(game.display.GetBackPlane()->GetPixel(400, 100), {255, 0, 0}, 8);
            })) << "the background's transition ends";
            CScriptFrame* frame = game.text.GetScriptFrame();
            ASSERT_EQ(frame->GetState(), 0) << "AnimationLength=" << length << ": the scenario never opened the window";
            EXPECT_FALSE(windowOnScreen(game)) << "AnimationLength=" << length << ": a hidden window stands on the screen";

            bool opened = false;
            NoteMenuOpening(&opened);
            RightClick(game);
            EXPECT_FALSE(opened) << "the first right click only brings the hidden window back";
            ASSERT_TRUE(RunUntil(game, [&] { return frame->GetState() == 1; }, 10))
                << "AnimationLength=" << length << ": the window brought back never counts as shown";
            game.Frame();
            EXPECT_TRUE(windowOnScreen(game)) << "AnimationLength=" << length;
            RightClick(game);
            EXPECT_TRUE(opened) << "AnimationLength=" << length << ": a right click on the shown window opens the menu";

            LeftClick(game);
            EXPECT_TRUE(RunUntil(game, [&] { return vars.count(4) && vars[4] == 44; }, 20))
                << "AnimationLength=" << length << ": \"window 1\" or \"window 0\" never finished";
            game.Frame();
            EXPECT_FALSE(windowOnScreen(game)) << "AnimationLength=" << length << ": \"window 0\" left the window up";
        });
        app.Run();
        platform::testing::SetModalTurnHook(nullptr);
    }
}

TEST_F(WindowCommands, load_menu_alone_returns_its_choice_for_the_start_menu)
{
    Play([&](TestGame& game) {
        Script({ClickAt(0, 0)});
        EXPECT_EQ(game.TrackLoadMenu(100, 100), kLatestChoiceLoadId) << "the command is returned, not posted";
        const platform::Menu* load = game.popupMenu->SubmenuAt(kPopupLoadPosition);
        EXPECT_EQ(load->ItemCount(), 11) << "opened alone, the load submenu still gets its ten slots";
        EXPECT_EQ(game.executor.valsInt()[3], 42);
    });
}

// A start menu stand-in whose load button was pressed (command 0x101).
class LoadButtonScreen : public CGameScreen {
public:
    explicit LoadButtonScreen(int* ended) : ended_(ended) {}
    int Update(CGameKeyInput*, CMouseInput*) override { return kScreenLoadMenu; }
    int EndScreen(int code) override
    {
        *ended_ = code;
        return CGameScreen::EndScreen(code);
    }
    int PrepareBackground(CPlaneBase*) override { return 0; }
    int OnLeftClick(unsigned long) override { return 0; }
    int OnRightClick(unsigned long) override { return 0; }
    int OnHoverEnter(unsigned long) override { return 0; }
    int OnHoverLeave(unsigned long) override { return 0; }
    int DrawContents(CPlaneBase*, const Rect&) override { return 0; }

private:
    int* ended_;
};

TEST_F(WindowCommands, start_menu_load_button_loads_or_comes_back_on_failure)
{
    Play([&](TestGame& game) {
        std::ofstream(SlotPath(4)) << "[scenario]\r\nversion=1\r\n";
        game.executor.resetGame();   // at the start menu no game runs yet
        int ended = -1;
        game.screen = new LoadButtonScreen(&ended);
        Script({ClickAt(0, 1 + 4)});
        ASSERT_TRUE(game.Frame());
        EXPECT_EQ(game.screen, nullptr) << "a chosen load closes the start menu";
        ASSERT_FALSE(boxes_.empty());
        EXPECT_EQ(boxes_.back().text, "ロードに失敗(1)");
        // No start menu exists yet, so "the start menu" is the first scenario.
        EXPECT_EQ(game.executor.scenarioName(), "test.nsd") << "a failed load must lead back to the start menu";
        EXPECT_TRUE(game.Frame()) << "a failed load from the start menu must not end the game";

        game.screen = new LoadButtonScreen(&ended);
        Script({});   // Esc: nothing chosen
        ASSERT_TRUE(game.Frame());
        ASSERT_NE(game.screen, nullptr) << "nothing chosen: the start menu stays";
        EXPECT_EQ(ended, 0) << "and its command is ended so that it does not repeat";
        EXPECT_TRUE(game.cursor.IsEnabled());

        Script({ClickAt(0, 0)});
        ASSERT_TRUE(game.Frame());
        EXPECT_EQ(game.screen, nullptr);
        EXPECT_EQ(game.executor.valsInt()[3], 42) << "slot 99 was loaded from the start menu";
    });
}

TEST_F(WindowCommands, movies_grey_the_settings_menu_and_activation_repaints)
{
    Play([&](TestGame& game) {
        platform::Menu* bar = platform::GetWindowMenu();
        game.PlayMovie("movie\\none.mpg", CGame::kMovieScenario);
        EXPECT_TRUE(bar->ItemAt(kMenuBarSettingsPosition)->grayed) << "no mode change while a movie plays";
        game.Frame();
        EXPECT_FALSE(bar->ItemAt(kMenuBarSettingsPosition)->grayed) << "the movie ended";

        game.executor.dirtyRects().clear();
        platform::testing::PushFocus(false);
        platform::testing::PushFocus(true);
        platform::PumpMessages();
        bool whole = false;
        for (const Rect& r : game.executor.dirtyRects())
            whole = whole || (r.left == 0 && r.top == 0 && r.right == 800 && r.bottom == 600);
        EXPECT_TRUE(whole) << "coming back to the front must repaint everything";

        EXPECT_EQ(CenterWindow(platform::GetMainWindow()), 0);
        int x = 0, y = 0, w = 0, h = 0;
        ASSERT_TRUE(platform::GetMainWindowFrame(&x, &y, &w, &h));
        EXPECT_EQ(x, (1024 - w) / 2) << "centred on the 1024 x 768 desktop";
        EXPECT_EQ(y, (768 - h) / 2);
    });
}

}  // namespace
