#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/EventInjection.h"
#include "platform/Input.h"
#include "platform/Menu.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"

namespace {

using platform::Menu;
using platform::MenuResult;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(MenuModel, finds_items_in_submenus_and_writes_data_only_when_found)
{
    Menu bar;
    Menu* file = bar.AppendSubmenu("ファイル(&F)");
    file->AppendItem("タイトルに戻る(&T)", 40030);
    file->AppendSeparator();
    Menu* mode = bar.AppendSubmenu("画面モード(&M)")->AppendSubmenu("フルスクリーン");
    mode->AppendItem("ハイカラー (１６bit)", 40003, false, 16);

    uintptr_t data = 77;
    EXPECT_FALSE(bar.GetItemData(40004, &data));
    EXPECT_EQ(data, 77u) << "a missing id must leave the output alone";
    ASSERT_TRUE(bar.GetItemData(40003, &data)) << "ids must be found two submenus deep";
    EXPECT_EQ(data, 16u);
    EXPECT_TRUE(bar.EnableItem(40003, false));
    EXPECT_TRUE(bar.FindItem(40003)->grayed);
    EXPECT_TRUE(bar.SetRadioMark(40030, true));
    EXPECT_TRUE(file->ItemAt(0)->radioChecked);

    EXPECT_FALSE(bar.DeleteItem(40030)) << "DeleteItem works on the menu's own items, not its submenus'";
    EXPECT_TRUE(file->DeleteItem(40030));
    EXPECT_FALSE(file->DeleteItem(40030)) << "a deleted item must be gone";
    EXPECT_EQ(file->ItemCount(), 1) << "the separator stays";
    EXPECT_EQ(bar.SubmenuAt(0), file);
    EXPECT_EQ(bar.SubmenuAt(7), nullptr);
    EXPECT_FALSE(bar.EnableItemAt(2, false));
    EXPECT_TRUE(bar.EnableItemAt(1, false));
    EXPECT_TRUE(bar.ItemAt(1)->grayed);
}

TEST(MenuModel, mnemonic_marks_are_never_shown_as_ampersands)
{
    size_t mark = 0;
    EXPECT_EQ(Menu::DisplayText("ファイル(&F)", &mark), Utf8(u8"ファイル(F)"));
    EXPECT_EQ(mark, Utf8(u8"ファイル(").size()) << "the mark must point at the letter in the UTF-8 text";
    EXPECT_EQ(Menu::DisplayText("A&&B", &mark), "A&B") << "&& is a literal ampersand";
    EXPECT_EQ(mark, std::string::npos);
    EXPECT_EQ(Menu::DisplayText("end&", &mark), "end") << "a lone trailing mark shows nothing";
    EXPECT_EQ(Menu::DisplayText("SUNDREL Website", &mark), "SUNDREL Website");
    EXPECT_EQ(mark, std::string::npos);
}

TEST(MenuModel, mnemonic_keys_are_lower_case_letters_or_digits)
{
    EXPECT_EQ(Menu::MnemonicKey("ファイル(&F)"), 'f');
    EXPECT_EQ(Menu::MnemonicKey("&1 slot"), '1');
    EXPECT_EQ(Menu::MnemonicKey("SUNDREL Website"), 0);
    EXPECT_EQ(Menu::MnemonicKey("A&&B"), 0) << "&& marks nothing";
    EXPECT_EQ(Menu::MnemonicKey("&設定"), 0) << "no key types a kanji";
}

// Geometry the tests aim at: a menu's items are 20 pixels high below a
// 3-pixel frame; the client area starts 20 pixels down the window.
constexpr int kStrip = 20;
int ItemCentreY(int menuTopWindowY, int index) { return menuTopWindowY + 3 + 20 * index + 10; }

struct Seen {
    uint32_t message;
    platform::WParam wParam;
    platform::LParam lParam;
};

class MenuInWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::MainWindowDesc desc;
        desc.caption = "menu";
        ASSERT_NE(platform::CreateMainWindow(desc,
                                             [this](platform::WindowHandle, uint32_t message, platform::WParam w,
                                                    platform::LParam l) {
                                                 seen_.push_back({message, w, l});
                                                 if (message == platform::kWmInitMenuPopup && onInit_) {
                                                     onInit_(reinterpret_cast<Menu*>(w));
                                                 }
                                                 return intptr_t{0};
                                             }),
                  nullptr);
        platform::PumpMessages();
        seen_.clear();
    }
    void TearDown() override
    {
        platform::testing::SetModalTurnHook(nullptr);
        platform::SetWindowMenu(nullptr);
        platform::DestroyMainWindow();
    }

    // Runs one step per turn of the modal loop; past the script it presses
    // Esc, and later outside every menu, so a broken menu cannot hang the test.
    void Script(std::vector<std::function<void()>> steps)
    {
        steps_ = std::move(steps);
        turn_ = 0;
        platform::testing::SetModalTurnHook([this] {
            if (turn_ < steps_.size()) {
                steps_[turn_]();
            } else if (turn_ < steps_.size() + 6) {
                platform::testing::PushKey(platform::Key::Escape, turn_ % 2 == 0);
            } else {
                platform::testing::PushMouseButton(1, turn_ % 2 == 0, 799, 619);
            }
            ++turn_;
        });
    }

    std::vector<uint32_t> Commands() const
    {
        std::vector<uint32_t> ids;
        for (const Seen& s : seen_) {
            if (s.message == platform::kWmCommand) {
                ids.push_back(platform::LowWord(s.wParam));
            }
        }
        return ids;
    }

    std::vector<Seen> seen_;
    std::function<void(Menu*)> onInit_;
    std::vector<std::function<void()>> steps_;
    size_t turn_ = 0;
};

std::function<void()> Click(int x, int y)
{
    return [x, y] {
        platform::testing::PushMouseMotion(x, y);
        platform::testing::PushMouseButton(1, true, x, y);
        platform::testing::PushMouseButton(1, false, x, y);
    };
}
std::function<void()> MoveTo(int x, int y)
{
    return [x, y] { platform::testing::PushMouseMotion(x, y); };
}
std::function<void()> Nothing()
{
    return [] {};
}

TEST_F(MenuInWindow, popup_returns_the_chosen_id_after_filling_the_menu)
{
    Menu popup;
    popup.AppendItem("ウインドウを隠す", 40032);
    popup.AppendSeparator();
    popup.AppendItem("バックログ", 40033, true);   // grey: never chosen
    std::vector<Menu*> initialised;
    onInit_ = [&](Menu* m) {
        initialised.push_back(m);
        m->AppendItem("遅れて来た項目", 45007);   // built when it opens, chosen at once
    };
    const int top = 100 + kStrip;
    Script({Click(150, ItemCentreY(top, 2)), Nothing(), Click(150, ItemCentreY(top, 3))});
    EXPECT_EQ(platform::TrackPopupMenu(&popup, 100, 100, MenuResult::kReturnCommand), 45007u)
        << "the item added on kWmInitMenuPopup must be there to choose; the grey item must not be chosen";
    ASSERT_EQ(initialised.size(), 1u);
    EXPECT_EQ(initialised[0], &popup) << "kWmInitMenuPopup must carry the menu that opens";
    platform::PumpMessages();
    EXPECT_TRUE(Commands().empty()) << "a returned command must not also be posted";
}

TEST_F(MenuInWindow, escape_or_a_press_outside_cancels_and_posts_nothing)
{
    Menu popup;
    popup.AppendItem("ウインドウを隠す", 40032);
    Script({[] { platform::testing::PushKey(platform::Key::Escape, true); }});
    EXPECT_EQ(platform::TrackPopupMenu(&popup, 10, 10, MenuResult::kPostCommand), 0u);
    platform::testing::PushKey(platform::Key::Escape, false);
    Script({Click(700, 500)});
    EXPECT_EQ(platform::TrackPopupMenu(&popup, 10, 10, MenuResult::kReturnCommand), 0u)
        << "a press outside the menu must close it without a choice";
    platform::PumpMessages();
    EXPECT_TRUE(Commands().empty());
    platform::MouseSnapshot mouse;
    platform::ReadMouse(&mouse);
    EXPECT_FALSE(mouse.left) << "the press that closed the menu must not reach the game's input";
    platform::KeySnapshot keys;
    platform::ReadKeys(&keys);
    EXPECT_FALSE(keys.keys[static_cast<int>(platform::Key::Escape)]) << "the menu's Esc must not reach the game";
}

TEST_F(MenuInWindow, hovering_a_submenu_opens_and_fills_it_and_posts_its_item)
{
    Menu popup;
    popup.AppendItem("ウインドウを隠す", 40032);
    Menu* load = popup.AppendSubmenu("ロード(&L)");
    load->AppendItem("最新の選択肢", 45501);
    std::vector<Menu*> initialised;
    onInit_ = [&](Menu* m) { initialised.push_back(m); };
    const int top = 50 + kStrip;
    const int loadY = ItemCentreY(top, 1);
    // The submenu opens to the right of its entry, its first item level with it.
    Script({MoveTo(100, loadY), Nothing(), MoveTo(300, loadY), Click(300, loadY)});
    EXPECT_EQ(platform::TrackPopupMenu(&popup, 50, 50, MenuResult::kPostCommand), 0u);
    ASSERT_EQ(initialised.size(), 2u);
    EXPECT_EQ(initialised[1], load) << "the submenu must get its own kWmInitMenuPopup when it opens";
    platform::PumpMessages();
    EXPECT_EQ(Commands(), std::vector<uint32_t>{45501}) << "the chosen item must arrive as kWmCommand";
}

TEST_F(MenuInWindow, escape_closes_a_submenu_even_with_the_pointer_on_its_entry)
{
    Menu popup;
    popup.AppendItem("ウインドウを隠す", 40032);
    Menu* load = popup.AppendSubmenu("ロード(&L)");
    load->AppendItem("最新の選択肢", 45501);
    const int loadY = ItemCentreY(50 + kStrip, 1);
    bool openBefore = false, openAfter = true, stillTracking = false;
    auto submenuOpen = [] {
        int x = 0, y = 0;
        return platform::testing::OpenMenuItemCentre(1, 0, &x, &y);
    };
    Script({MoveTo(100, loadY), [&] { openBefore = submenuOpen(); },
            [] { platform::testing::PushKey(platform::Key::Escape, true); },
            [] { platform::testing::PushKey(platform::Key::Escape, false); },
            [&] {
                openAfter = submenuOpen();
                stillTracking = platform::IsMenuTracking();
            }});
    EXPECT_EQ(platform::TrackPopupMenu(&popup, 50, 50, MenuResult::kReturnCommand), 0u);
    EXPECT_TRUE(openBefore) << "resting on the entry opens the submenu";
    EXPECT_FALSE(openAfter) << "Esc must close the submenu; the resting pointer must not open it again";
    EXPECT_TRUE(stillTracking) << "the first Esc closes only the submenu";
}

TEST_F(MenuInWindow, menu_bar_press_tracks_its_menu_and_the_game_sees_no_click)
{
    auto bar = std::make_unique<Menu>();
    Menu* file = bar->AppendSubmenu("ファイル(&F)");
    file->AppendItem("バージョン(&V)...", 40009);
    file->AppendItem("ゲーム終了(&X)...", 40001);
    Menu* settings = bar->AppendSubmenu("設定(&H)");
    settings->AppendItem("オプション(&O)...", 65535);
    platform::SetWindowMenu(std::move(bar));
    const uint32_t before = platform::MenuBarChangeCount();
    platform::testing::PushMouseMotion(10, 300);
    platform::PumpMessages();
    EXPECT_FALSE(platform::IsMenuBarHot());
    platform::testing::PushMouseMotion(30, 8);
    platform::PumpMessages();
    EXPECT_TRUE(platform::IsMenuBarHot()) << "a presenter must know that the bar follows the pointer now";
    platform::testing::PushMouseMotion(10, 300);
    platform::PumpMessages();
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(platform::testing::CaptureWindow(&pixels, &w, &h)) << "drawing lays out the bar's titles";
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600 + kStrip);
    EXPECT_NE(pixels[static_cast<size_t>(5) * w + 2], 0u) << "the bar must be painted on the strip";

    // Drag from the title down onto the second item and release there.
    bool sawMenu = false;
    Script({[&] {
                std::vector<uint32_t> shot;
                int sw = 0, sh = 0;
                ASSERT_TRUE(platform::testing::CaptureWindow(&shot, &sw, &sh));
                // Inside the open menu, below the strip, something other than the black frame.
                sawMenu = shot[static_cast<size_t>(kStrip + 12) * sw + 40] != 0;
                platform::testing::PushMouseMotion(40, ItemCentreY(kStrip, 1));
            },
            [] { platform::testing::PushMouseButton(1, false, 40, ItemCentreY(kStrip, 1)); }});
    platform::testing::PushMouseButton(1, true, 15, 10);
    platform::PumpMessages();
    EXPECT_TRUE(sawMenu) << "the open menu must be drawn over the game";
    EXPECT_GT(platform::MenuBarChangeCount(), before) << "opening a menu changes the overlay";
    bool init = false;
    for (const Seen& s : seen_) {
        init = init || (s.message == platform::kWmInitMenuPopup && reinterpret_cast<Menu*>(s.wParam) == file);
    }
    EXPECT_TRUE(init) << "the bar's menu must get kWmInitMenuPopup before it opens";
    platform::PumpMessages();
    EXPECT_EQ(Commands(), std::vector<uint32_t>{40001});
    platform::MouseSnapshot mouse;
    platform::ReadMouse(&mouse);
    EXPECT_FALSE(mouse.left) << "a press on the menu bar must not reach the game's input";
    for (const Seen& s : seen_) {
        EXPECT_NE(s.message, platform::kWmLButtonDown) << "a menu press must not become a game click";
    }
}

TEST_F(MenuInWindow, a_grey_title_opens_nothing)
{
    auto bar = std::make_unique<Menu>();
    bar->AppendSubmenu("ファイル(&F)")->AppendItem("ゲーム終了(&X)...", 40001);
    bar->EnableItemAt(0, false);
    platform::SetWindowMenu(std::move(bar));
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(platform::testing::CaptureWindow(&pixels, &w, &h));
    bool tracked = false;
    platform::testing::SetModalTurnHook([&] {
        tracked = true;
        platform::testing::PushKey(platform::Key::Escape, true);
    });
    platform::testing::PushMouseButton(1, true, 15, 10);
    platform::testing::PushMouseButton(1, false, 15, 10);
    platform::PumpMessages();
    EXPECT_FALSE(tracked) << "a greyed menu-bar entry must not open";
}

// The game's menu bar, with ids of the test's own.
void InstallGameLikeBar()
{
    auto bar = std::make_unique<Menu>();
    Menu* file = bar->AppendSubmenu("ファイル(&F)");
    file->AppendItem("タイトルに戻る(&T)", 40030);
    file->AppendSeparator();
    file->AppendItem("SUNDREL Website", 40010);
    file->AppendItem("バージョン(&V)...", 40009);
    file->AppendItem("ゲーム終了(&X)...", 40001);
    Menu* settings = bar->AppendSubmenu("設定(&H)");
    settings->AppendItem("オプション(&O)...", 65535);
    Menu* mode = settings->AppendSubmenu("画面モード(&M)");
    mode->AppendItem("ウィンドウ(&W)", 40002);
    Menu* full = mode->AppendSubmenu("フルスクリーン");
    full->AppendItem("ハイカラー (１６bit)", 40003);
    platform::SetWindowMenu(std::move(bar));
}

platform::Key Letter(char c) { return static_cast<platform::Key>(static_cast<int>(platform::Key::A) + (c - 'a')); }

// Presses the keys in turn (each down, then up); Alt+x when `alt` is set.
void Press(const std::vector<platform::Key>& keys)
{
    for (platform::Key key : keys) {
        platform::testing::PushKey(key, true);
        platform::testing::PushKey(key, false);
    }
}
void PressWithAlt(char letter)
{
    platform::testing::PushKey(platform::Key::LeftAlt, true);
    Press({Letter(letter)});
    platform::testing::PushKey(platform::Key::LeftAlt, false);
}

TEST_F(MenuInWindow, alt_and_a_title_letter_open_its_menu_and_letters_choose_without_reaching_the_game)
{
    InstallGameLikeBar();
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(platform::testing::CaptureWindow(&pixels, &w, &h)) << "drawing lays out the bar's titles";
    bool tracked = false;
    Script({[&] { tracked = platform::IsMenuTracking(); }, Nothing(), Nothing()});
    PressWithAlt('f');
    Press({Letter('x')});
    platform::PumpMessages();
    platform::PumpMessages();
    EXPECT_TRUE(tracked) << "Alt+F must open the file menu";
    EXPECT_EQ(Commands(), std::vector<uint32_t>{40001}) << "X chooses the item with the underlined X";
    for (const Seen& s : seen_) {
        if (s.message == platform::kWmKeyDown) {
            EXPECT_NE(s.wParam, static_cast<platform::WParam>(Letter('f'))) << "Alt+F belongs to the menu bar";
            EXPECT_NE(s.wParam, static_cast<platform::WParam>(Letter('x'))) << "the menu's X belongs to the menu";
        }
    }
    platform::KeySnapshot keys;
    platform::ReadKeys(&keys);
    EXPECT_FALSE(keys.keys[static_cast<int>(Letter('f'))]) << "the game's input must not see the menu's keys";
    EXPECT_FALSE(keys.keys[static_cast<int>(Letter('x'))]);

    // A grey title's letter opens nothing; the key is then the game's.
    platform::GetWindowMenu()->EnableItemAt(1, false);
    tracked = false;
    Script({[&] { tracked = true; }});
    PressWithAlt('h');
    platform::PumpMessages();
    EXPECT_FALSE(tracked) << "a grey menu must not open from its letter";
    platform::ReadKeys(&keys);
    EXPECT_TRUE(keys.keys[static_cast<int>(Letter('h'))]) << "a key that opened nothing reaches the game";
}

TEST_F(MenuInWindow, f10_and_the_arrows_walk_the_menus_and_enter_chooses)
{
    InstallGameLikeBar();
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(platform::testing::CaptureWindow(&pixels, &w, &h));
    // The pointer rests over the game, away from every menu: it moved
    // before the menu opened, not since, so the highlight stays the keys'.
    platform::testing::PushMouseMotion(600, 400);
    platform::PumpMessages();
    using platform::Key;
    const struct {
        std::vector<Key> keys;
        uint32_t chosen;  // 0: nothing
        const char* why;
    } cases[] = {
        {{Key::F10, Key::Return}, 40030, "F10 opens the first menu with its first item highlighted"},
        {{Key::F10, Key::Down, Key::Down, Key::Return}, 40009, "Down passes over the separator"},
        {{Key::F10, Key::Up, Key::Return}, 40001, "Up from the first item goes round to the last"},
        {{Key::F10, Key::Right, Key::Return}, 65535, "Right opens the next menu of the bar"},
        {{Key::F10, Key::Left, Key::Return}, 65535, "Left from the first menu goes round to the last"},
        {{Key::F10, Key::Right, Key::Down, Key::Right, Key::Return}, 40002, "Right opens a submenu"},
        {{Key::F10, Key::Right, Key::Down, Key::Right, Key::Left, Key::Return, Key::Down, Key::Right, Key::Return},
         40003, "Left closes the submenu; Enter on its entry opens it again"},
        {{Key::F10, Key::Right, Key::Down, Key::Down, Key::Return}, 65535, "Down goes round too"},
        {{Key::F10, Key::Escape}, 0, "Esc closes the menu and chooses nothing"},
        {{Key::F10, Key::Right, Key::Down, Key::Right, Key::Escape, Key::Up, Key::Return}, 65535,
         "Esc closes only the submenu"},
    };
    for (const auto& c : cases) {
        seen_.clear();
        Script({Nothing(), Nothing(), Nothing()});
        Press(c.keys);
        platform::PumpMessages();
        platform::PumpMessages();
        const std::vector<uint32_t> want = c.chosen ? std::vector<uint32_t>{c.chosen} : std::vector<uint32_t>{};
        EXPECT_EQ(Commands(), want) << c.why;
        EXPECT_FALSE(platform::IsMenuTracking());
    }
    seen_.clear();
    Script({Nothing(), Nothing(), Nothing()});
    PressWithAlt('h');
    Press({Letter('m'), Letter('w')});
    platform::PumpMessages();
    platform::PumpMessages();
    EXPECT_EQ(Commands(), std::vector<uint32_t>{40002}) << "a submenu entry's letter opens it, an item's chooses it";
}

TEST_F(MenuInWindow, a_popup_takes_the_arrows_and_letters_too)
{
    Menu popup;
    popup.AppendItem("ウインドウを隠す", 40032);
    popup.AppendSeparator();
    popup.AppendSubmenu("セーブ(&S)")->AppendItem("最新の選択肢", 45001);
    popup.AppendSubmenu("ロード(&L)")->AppendItem("最新の選択肢", 45501);
    popup.AppendItem("自動的に進む(&A)", 40031);
    using platform::Key;
    Script({Nothing(), Nothing(), Nothing()});
    Press({Key::Down, Key::Return});
    EXPECT_EQ(platform::TrackPopupMenu(&popup, 10, 10, MenuResult::kReturnCommand), 40032u)
        << "Down highlights the first item of a menu the pointer opened";
    Script({Nothing(), Nothing(), Nothing()});
    Press({Letter('l'), Key::Return});
    EXPECT_EQ(platform::TrackPopupMenu(&popup, 10, 10, MenuResult::kReturnCommand), 45501u)
        << "L opens the load submenu on its first item";
    Script({Nothing(), Nothing(), Nothing()});
    Press({Key::Up, Key::Return});
    EXPECT_EQ(platform::TrackPopupMenu(&popup, 10, 10, MenuResult::kReturnCommand), 40031u)
        << "Up starts from the last item";
}

}  // namespace
