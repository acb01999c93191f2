#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/EndRequests.h"
#include "platform/EventInjection.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"
#include "platform/WindowMessages.h"
#include "platform/sdl/BoxText.h"

namespace {

using platform::MessageBoxKind;

// Whether the tests run with a real X server (message_box_xvfb).
bool XDisplayThere()
{
    const char* display = std::getenv("DISPLAY");
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return display && *display && !(driver && std::string(driver) == "dummy");
}

struct Recorded {
    std::string text;
    std::string caption;
    MessageBoxKind kind;
};

TEST(MessageBox, responder_answers_and_sees_text_and_caption)
{
    std::vector<Recorded> seen;
    platform::SetMessageBoxResponder([&](const std::string& text, const std::string& caption, MessageBoxKind kind) {
        seen.push_back({text, caption, kind});
        return kind == MessageBoxKind::YesNo ? platform::kIdYes : platform::kIdOk;
    });
    EXPECT_EQ(platform::ShowMessageBox("終了しますか？", "確認", MessageBoxKind::YesNo), platform::kIdYes)
        << "the responder's answer must be the box's result";
    EXPECT_EQ(platform::ShowMessageBox("みつからないの。。。<a.png>", "えら", MessageBoxKind::Ok), platform::kIdOk);
    platform::SetMessageBoxResponder(nullptr);
    ASSERT_EQ(seen.size(), 2u) << "the responder must see every box";
    EXPECT_EQ(seen[0].text, "終了しますか？") << "the text must reach the responder byte for byte (Shift-JIS)";
    EXPECT_EQ(seen[0].caption, "確認");
    EXPECT_EQ(seen[0].kind, MessageBoxKind::YesNo);
    EXPECT_EQ(seen[1].caption, "えら");
    EXPECT_EQ(seen[1].kind, MessageBoxKind::Ok);
}

TEST(MessageBox, without_window_or_display_answers_default_at_once)
{
    // The dummy video driver means no display to show a box on.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = driver ? driver : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(platform::GetMainWindow(), nullptr);
    const int question = platform::ShowMessageBox("タイトルに戻りますか？", "確認", MessageBoxKind::YesNo);
    const int error = platform::ShowMessageBox("iniファイルの読み込みに失敗(1)", "えら", MessageBoxKind::Ok);
    if (saved.empty()) {
        unsetenv("SDL_VIDEODRIVER");
    } else {
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    }
    EXPECT_EQ(question, platform::kIdNo) << "a question nobody can see must be answered No, never Yes";
    EXPECT_EQ(error, platform::kIdOk);
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The dummy video driver (no display: no box can be seen) for one scope.
class DummyVideo {
public:
    DummyVideo()
    {
        const char* driver = std::getenv("SDL_VIDEODRIVER");
        saved_ = driver ? driver : "";
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    ~DummyVideo()
    {
        if (saved_.empty())
            unsetenv("SDL_VIDEODRIVER");
        else
            setenv("SDL_VIDEODRIVER", saved_.c_str(), 1);
    }

private:
    std::string saved_;
};

TEST(MessageBox, text_of_a_box_reaches_stderr_as_lantern_lines)
{
    const DummyVideo noDisplay;
    ASSERT_EQ(platform::GetMainWindow(), nullptr);
    testing::internal::CaptureStderr();
    const int answer = platform::ShowMessageBox("iniファイルの読み込みに失敗(1)\nscenario/brask.ini in /g: not found",
                                                "えら", MessageBoxKind::Ok);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, platform::kIdOk);
    EXPECT_EQ(err, Utf8(u8"lantern: えら: iniファイルの読み込みに失敗(1)\n"
                        u8"lantern: scenario/brask.ini in /g: not found\n"))
        << "every line on stderr begins with \"lantern: \", in UTF-8, whatever the box shows";
}

// The cut text's checks: kept is a start of text on a character boundary,
// followed by the mark, that fits; one more character would not.
void ExpectCutWell(const std::string& text, const std::string& cut,
                   const std::function<bool(const std::string&)>& fits, const std::string& why)
{
    const std::string mark = platform::sdl::kCutMark;
    ASSERT_GE(cut.size(), mark.size()) << why;
    ASSERT_EQ(cut.substr(cut.size() - mark.size()), mark) << why << ": a cut text ends in the mark";
    const std::string kept = cut.substr(0, cut.size() - mark.size());
    ASSERT_EQ(text.compare(0, kept.size(), kept), 0) << why << ": the shown part is the text's start";
    ASSERT_LT(kept.size(), text.size()) << why;
    EXPECT_NE(static_cast<unsigned char>(text[kept.size()]) & 0xC0, 0x80)
        << why << ": cut inside a UTF-8 sequence after " << kept.size() << " bytes";
    if (kept.empty() && !fits(cut))
        return;  // not even the mark fits: the mark alone
    EXPECT_TRUE(fits(cut)) << why;
    size_t next = kept.size() + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
        ++next;
    EXPECT_FALSE(fits(text.substr(0, next) + mark)) << why << ": one more character would have fitted";
}

TEST(MessageBoxText, a_long_text_is_cut_on_a_character_boundary_at_every_size)
{
    // Characters of one, two, three and four bytes, over and over.
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += Utf8(u8"a\u00E9\u3042\U0001F600");
    for (size_t limit = 0; limit < text.size() + 3; ++limit) {
        const auto fits = [limit](const std::string& t) { return t.size() <= limit; };
        const std::string cut = platform::sdl::FitBoxText(text, platform::sdl::kCutMark, fits);
        if (fits(text)) {
            EXPECT_EQ(cut, text) << limit;
            continue;
        }
        ExpectCutWell(text, cut, fits, "limit " + std::to_string(limit));
    }
}

TEST(MessageBoxText, too_many_lines_are_cut_after_the_last_that_fits)
{
    const std::string text = "line 1\nline 2\nline 3\nline 4\nline 5";
    const auto fits = [](const std::string& t) { return std::count(t.begin(), t.end(), '\n') < 3; };
    const std::string cut = platform::sdl::FitBoxText(text, platform::sdl::kCutMark, fits);
    EXPECT_EQ(cut, "line 1\nline 2\nline 3" + std::string(platform::sdl::kCutMark));
    ExpectCutWell(text, cut, fits, "three lines");
    const std::string three = "line 1\nline 2\nline 3";
    EXPECT_EQ(platform::sdl::FitBoxText(text, platform::sdl::kAsciiCutMark, fits), "line 1\nline 2\nline 3...")
        << "the mark for a font without U+2026";
    EXPECT_EQ(platform::sdl::FitBoxText(three, platform::sdl::kCutMark, fits), three)
        << "a text that fits is shown whole, without the mark";
    EXPECT_EQ(platform::sdl::FitBoxText("", platform::sdl::kCutMark, fits), "");
}

class MessageBoxInWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::MainWindowDesc desc;
        desc.caption = "test";
        ASSERT_NE(platform::CreateMainWindow(desc,
                                             [this](platform::WindowHandle, uint32_t message, platform::WParam,
                                                    platform::LParam) {
                                                 messages_.push_back(message);
                                                 return intptr_t{0};
                                             }),
                  nullptr);
        platform::PumpMessages();
        messages_.clear();
    }
    void TearDown() override { platform::DestroyMainWindow(); }
    std::vector<uint32_t> messages_;
};

TEST_F(MessageBoxInWindow, enter_answers_no_to_a_question)
{
    platform::testing::PushKey(platform::Key::Return, true);
    EXPECT_EQ(platform::ShowMessageBox("セーブしてよろしいですか？", "確認", MessageBoxKind::YesNo), platform::kIdNo)
        << "Enter must choose the default button No";
}

TEST_F(MessageBoxInWindow, escape_answers_no_and_enter_answers_ok)
{
    platform::testing::PushKey(platform::Key::Escape, true);
    EXPECT_EQ(platform::ShowMessageBox("q", "c", MessageBoxKind::YesNo), platform::kIdNo) << "Esc must answer No";
    platform::testing::PushKey(platform::Key::Escape, false);
    platform::testing::PushKey(platform::Key::KeypadEnter, true);
    EXPECT_EQ(platform::ShowMessageBox("m", "c", MessageBoxKind::Ok), platform::kIdOk);
}

// Presses each key of the script (down and up), shows the box and returns its answer.
int AnswerByKeys(const std::vector<platform::Key>& keys, MessageBoxKind kind)
{
    for (platform::Key key : keys) {
        platform::testing::PushKey(key, true);
        platform::testing::PushKey(key, false);
    }
    return platform::ShowMessageBox("終了しますか？", "確認", kind);
}

TEST_F(MessageBoxInWindow, keys_move_the_focus_from_no_and_press_the_focused_button)
{
    using platform::Key;
    const struct {
        std::vector<Key> keys;
        int answer;
        const char* why;
    } cases[] = {
        {{Key::Return}, platform::kIdNo, "the focus starts on the default button No"},
        {{Key::Tab, Key::Return}, platform::kIdYes, "Tab moves the focus on to Yes (round the row)"},
        {{Key::Tab, Key::Tab, Key::KeypadEnter}, platform::kIdNo, "a second Tab comes back to No"},
        {{Key::Left, Key::Space}, platform::kIdYes, "Left moves to Yes and Space presses it"},
        {{Key::Left, Key::Right, Key::Space}, platform::kIdNo, "Right moves back to No"},
        {{Key::Tab, Key::Escape}, platform::kIdNo, "Esc answers No wherever the focus is"},
        {{static_cast<Key>(static_cast<int>(Key::A) + ('y' - 'a'))}, platform::kIdYes, "Y is Yes's letter"},
        {{Key::Tab, static_cast<Key>(static_cast<int>(Key::A) + ('n' - 'a'))}, platform::kIdNo, "N is No's letter"},
        {{static_cast<Key>(static_cast<int>(Key::A) + ('q' - 'a')), Key::Return}, platform::kIdNo,
         "a letter no button has does nothing"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnswerByKeys(c.keys, MessageBoxKind::YesNo), c.answer) << c.why;
    }
    // Shift held through Tab goes back, from No round to Yes.
    platform::testing::PushKey(Key::LeftShift, true);
    platform::testing::PushKey(Key::Tab, true);
    platform::testing::PushKey(Key::Tab, false);
    platform::testing::PushKey(Key::LeftShift, false);
    EXPECT_EQ(AnswerByKeys({Key::Return}, MessageBoxKind::YesNo), platform::kIdYes) << "Shift+Tab moves the focus";
    EXPECT_EQ(AnswerByKeys({Key::Escape}, MessageBoxKind::Ok), platform::kIdOk) << "Esc answers an OK box with OK";
    EXPECT_EQ(AnswerByKeys({Key::Tab, Key::Space}, MessageBoxKind::Ok), platform::kIdOk);

    platform::KeySnapshot keys;
    platform::ReadKeys(&keys);
    for (Key key : {Key::Return, Key::Tab, Key::Space, Key::Escape, Key::Left}) {
        EXPECT_FALSE(keys.keys[static_cast<int>(key)]) << "a key the box took must not reach the game: "
                                                        << static_cast<int>(key);
    }
}

// The pixels of the window in the colour the focus frame is drawn in.
struct FocusPixels {
    int left = 0;   // left of the window's middle
    int right = 0;
};
FocusPixels CountFocusPixels()
{
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    FocusPixels count;
    if (!platform::testing::CaptureWindow(&pixels, &w, &h))
        return count;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * w + x];
            const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
            if (std::abs(r - 66) < 8 && std::abs(g - 150) < 8 && std::abs(b - 250) < 8)
                (x < w / 2 ? count.left : count.right) += 1;
        }
    return count;
}

TEST_F(MessageBoxInWindow, the_focused_button_is_framed)
{
    FocusPixels before, after;
    int turn = 0;
    platform::testing::SetModalTurnHook([&] {
        ++turn;
        if (turn == 4) {
            before = CountFocusPixels();
            platform::testing::PushKey(platform::Key::Tab, true);
        } else if (turn == 8) {
            after = CountFocusPixels();
            platform::testing::PushKey(platform::Key::Escape, true);
        } else if (turn > 12) {
            platform::testing::PushKey(platform::Key::Escape, turn % 2 == 0);
        }
    });
    EXPECT_EQ(platform::ShowMessageBox("終了しますか？", "確認", MessageBoxKind::YesNo), platform::kIdNo);
    platform::testing::SetModalTurnHook(nullptr);
    EXPECT_GT(before.right, 40) << "the focus frame must stand on No, the right-hand button, at first";
    EXPECT_LT(before.left, before.right / 4) << "and not on Yes";
    EXPECT_GT(after.left, 40) << "after Tab the frame must stand on Yes";
    EXPECT_LT(after.right, after.left / 4);
}

TEST_F(MessageBoxInWindow, the_system_pointer_shows_over_a_box_only)
{
    platform::ShowSystemCursor(false);  // the game draws its own over the client area
    platform::testing::PushMouseMotion(400, 300);
    platform::PumpMessages();
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(platform::testing::CaptureWindow(&pixels, &w, &h)) << "an overlay frame is drawn";
    EXPECT_FALSE(platform::testing::SystemCursorShown())
        << "drawing the overlay must not bring the system pointer back beside the game's";
    bool during = false;
    int turn = 0;
    platform::testing::SetModalTurnHook([&] {
        during = platform::testing::SystemCursorShown();
        platform::testing::PushKey(platform::Key::Escape, ++turn % 2 == 1);
    });
    platform::ShowMessageBox("m", "c", MessageBoxKind::Ok);
    platform::testing::SetModalTurnHook(nullptr);
    EXPECT_TRUE(during) << "a box is pointed at with the system's pointer";
    EXPECT_FALSE(platform::testing::SystemCursorShown()) << "after the box the game's choice holds again";
    platform::ShowSystemCursor(true);
}

TEST_F(MessageBoxInWindow, a_very_long_text_is_cut_so_the_button_stays_in_sight_and_reaches_stderr_whole)
{
    // A picture name of 4,000 characters, as a damaged save can hold.
    const std::string name(4000, 'x');
    FocusPixels seen;
    int turn = 0;
    platform::testing::SetModalTurnHook([&] {
        ++turn;
        if (turn == 4) {
            seen = CountFocusPixels();
            platform::testing::PushKey(platform::Key::Return, true);
        } else if (turn > 8) {
            platform::testing::PushKey(platform::Key::Escape, turn % 2 == 1);
        }
    });
    testing::internal::CaptureStderr();
    const int answer = platform::ShowMessageBox("みつからないの。。。<" + name + ">", "えら", MessageBoxKind::Ok);
    const std::string err = testing::internal::GetCapturedStderr();
    platform::testing::SetModalTurnHook(nullptr);
    EXPECT_EQ(answer, platform::kIdOk);
    EXPECT_GT(seen.left + seen.right, 40) << "the OK button (framed: it has the focus) must be on the window";
    EXPECT_NE(err.find(Utf8(u8"lantern: えら: みつからないの。。。<") + name + ">\n"), std::string::npos)
        << "the whole text reaches stderr when the box shows only part of it";

    platform::testing::PushKey(platform::Key::Return, false);
    platform::testing::PushKey(platform::Key::Return, true);
    testing::internal::CaptureStderr();
    platform::ShowMessageBox("みつからないの。。。<bg\\a.png>", "えら", MessageBoxKind::Ok);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a box shown whole in the window writes nothing";
}

// The menu strip's pixels as the overlay draws them now (empty on failure).
std::vector<uint32_t> MenuStrip()
{
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!platform::testing::CaptureWindow(&pixels, &w, &h))
        return {};
    pixels.resize(static_cast<size_t>(w) * platform::kMenuBarHeight);
    return pixels;
}

TEST_F(MessageBoxInWindow, a_box_leaves_the_glyphs_of_the_window_as_they_were)
{
    auto bar = std::make_unique<platform::Menu>();
    bar->AppendSubmenu("ファイル(&F)")->AppendItem("終了(&X)", 100);
    platform::SetWindowMenu(std::move(bar));
    platform::PumpMessages();
    const std::vector<uint32_t> before = MenuStrip();
    ASSERT_FALSE(before.empty());
    ASSERT_NE(std::count(before.begin(), before.end(), before[0]), static_cast<long>(before.size()))
        << "the title is drawn on the strip";
    platform::testing::PushKey(platform::Key::Return, true);
    platform::ShowMessageBox("みつからないの。。。<bg\\a.png>", "えら", MessageBoxKind::Ok);
    platform::PumpMessages();
    const std::vector<uint32_t> after = MenuStrip();
    platform::SetWindowMenu(nullptr);
    EXPECT_TRUE(after == before) << "the menu bar's title must look the same after a box (font atlas kept)";
}

TEST_F(MessageBoxInWindow, the_window_and_its_boxes_point_with_the_systems_arrow)
{
    if (!XDisplayThere())
        GTEST_SKIP() << "the dummy driver has no system pointers (the xvfb run of these tests checks)";
    EXPECT_TRUE(platform::testing::SystemArrowSet())
        << "SDL's default pointer on X11 is the root window's: a cross without a window manager";
    bool during = false;
    int turn = 0;
    platform::testing::SetModalTurnHook([&] {
        during = platform::testing::SystemArrowSet();
        platform::testing::PushKey(platform::Key::Escape, ++turn % 2 == 1);
    });
    platform::ShowMessageBox("m", "c", MessageBoxKind::Ok);
    platform::testing::SetModalTurnHook(nullptr);
    EXPECT_TRUE(during) << "a box over the window is pointed at with the arrow";
}

TEST_F(MessageBoxInWindow, messages_posted_meanwhile_wait_for_the_box)
{
    platform::PostMessage(platform::GetMainWindow(), platform::kWmUser + 7, 0, 0);
    platform::testing::PushKey(platform::Key::Return, true);
    platform::ShowMessageBox("m", "c", MessageBoxKind::Ok);
    EXPECT_TRUE(messages_.empty()) << "the window procedure must not run inside the box's loop";
    platform::PumpMessages();
    bool found = false;
    for (uint32_t m : messages_) {
        found = found || m == platform::kWmUser + 7;
    }
    EXPECT_TRUE(found) << "a message posted before the box was lost by its loop";
}

TEST(MessageBoxWithoutDisplay, box_over_the_window_answers_its_default_at_once)
{
    // On the dummy driver nobody can see the box; it must not wait for ever.
    const int status = test_support::ChildStatusWithin(20, [] {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        platform::MainWindowDesc desc;
        desc.caption = "headless";
        if (!platform::CreateMainWindow(desc, [](platform::WindowHandle, uint32_t, platform::WParam,
                                                 platform::LParam) { return intptr_t{0}; }))
            return 90;
        const int answer = platform::ShowMessageBox("終了しますか？", "確認", MessageBoxKind::YesNo);
        platform::DestroyMainWindow();
        return answer == platform::kIdNo ? 0 : 91;
    });
    EXPECT_EQ(status, 0) << "-1: the box waited for an answer nobody could give; 91: it answered Yes";
}

// The nested loops of boxes and menus end when the program is told to end.
class NestedLoopEnd : public MessageBoxInWindow {
protected:
    void TearDown() override
    {
        platform::testing::SetModalTurnHook(nullptr);
        platform::testing::ClearEndRequest();
        MessageBoxInWindow::TearDown();
    }
    // On the loop's third turn, does what the person or the system would.
    void EndOnThirdTurn(std::function<void()> end)
    {
        turns_ = 0;
        platform::testing::SetModalTurnHook([this, end] {
            if (++turns_ == 3)
                end();
        });
    }
    int turns_ = 0;
};

TEST_F(NestedLoopEnd, sigterm_sigint_or_closing_the_window_end_a_box_with_its_default)
{
    const auto ends = test_support::EndRequests();
    for (const auto& [what, end] : ends) {
        EndOnThirdTurn(end);
        messages_.clear();
        EXPECT_EQ(platform::ShowMessageBox("セーブしてよろしいですか？", "確認", MessageBoxKind::YesNo), platform::kIdNo)
            << what << ": the box ends with its default answer";
        EXPECT_LT(turns_, 10) << what << ": at the next turn, not after someone answers";
        EXPECT_TRUE(platform::EndRequested()) << what;
        const int before = turns_;
        EXPECT_EQ(platform::ShowMessageBox("m", "c", MessageBoxKind::Ok), platform::kIdOk);
        EXPECT_EQ(turns_, before) << what << ": a later box does not even start its loop";
        platform::PumpMessages();
        EXPECT_NE(std::find(messages_.begin(), messages_.end(), platform::kWmClose), messages_.end())
            << what << ": the game's own loop hears the close after the box";
        platform::testing::ClearEndRequest();
    }
}

TEST_F(NestedLoopEnd, sigterm_ends_menu_tracking_without_a_choice)
{
    platform::Menu menu;
    menu.AppendItem("項目", 100);
    EndOnThirdTurn([] { raise(SIGTERM); });
    EXPECT_EQ(platform::TrackPopupMenu(&menu, 10, 10, platform::MenuResult::kReturnCommand), 0u);
    EXPECT_LT(turns_, 10);
    EXPECT_TRUE(platform::EndRequested());
}

}  // namespace

namespace {

// Before the main window, with a display: the box stands in a small window of
// its own, drawn by the ImGui layer with the Japanese font (SDL's X11 box
// turns Japanese into mojibake). Needs a real X server (xvfb-run).
TEST(MessageBoxBeforeWindow, box_stands_in_a_window_of_its_own_and_answers)
{
    if (!XDisplayThere())
        GTEST_SKIP() << "needs an X display (the xvfb run of these tests)";
    const int status = test_support::ChildStatusWithin(60, [] {
        if (platform::GetMainWindow())
            return 90;
        int turns = 0;
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        bool arrow = false;
        platform::testing::SetModalTurnHook([&] {
            if (++turns == 4) {
                arrow = platform::testing::SystemArrowSet();
                if (!platform::testing::CaptureWindow(&pixels, &width, &height))
                    width = -1;
                platform::testing::PushKey(platform::Key::Escape, true);
            }
        });
        const int answer = platform::ShowMessageBox("iniファイルの読み込みに失敗(1)\nscenario/brask.ini in /g: not found",
                                                    "えら", MessageBoxKind::YesNo);
        platform::testing::SetModalTurnHook(nullptr);
        if (turns < 4)
            return 91;  // no ImGui loop ran: another kind of box, or none
        if (width <= 0 || width >= 800 || height <= 0 || height >= 400)
            return 92;  // not a small window of the box's own
        // The box draws its frame, title bar and text over the cleared window.
        const size_t differing = static_cast<size_t>(
            std::count_if(pixels.begin(), pixels.end(), [&](uint32_t p) { return p != pixels[0]; }));
        if (differing < pixels.size() / 10)
            return 93;
        if (answer != platform::kIdNo)
            return 94;
        if (!arrow)
            return 97;  // the root window's pointer (a cross without a window manager)
        if (platform::GetMainWindow())
            return 95;  // the stand-in must be gone
        // The main window can follow (nothing of the box is left in its
        // place). On the dummy driver: a new X connection here would only
        // test the X server.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        platform::MainWindowDesc desc;
        desc.caption = "after";
        if (!platform::CreateMainWindow(desc, [](platform::WindowHandle, uint32_t, platform::WParam,
                                                 platform::LParam) { return intptr_t{0}; }))
            return 96;
        platform::DestroyMainWindow();
        return 0;
    });
    EXPECT_EQ(status, 0) << "-1: the box waited for ever (SDL's own box?); 91: no ImGui box ran; 92: not a small "
                            "window of its own; 93: nothing drawn; 94: Esc did not answer No; 95: the window "
                            "stayed; 96: the main window could not follow; 97: not the system's arrow";
}

TEST(MessageBoxBeforeWindow, program_ending_answers_the_default_at_once_without_a_box)
{
    if (!XDisplayThere())
        GTEST_SKIP() << "needs an X display (the xvfb run of these tests)";
    // After a signal, or once the game's window has gone: a box then would
    // stand with nothing under it and hold the process.
    const int status = test_support::ChildStatusWithin(20, [] {
        platform::RequestEnd();
        int turns = 0;
        platform::testing::SetModalTurnHook([&turns] { ++turns; });
        const int answer = platform::ShowMessageBox("セーブデータを書き込めませんでした", "えら", MessageBoxKind::YesNo);
        platform::testing::SetModalTurnHook(nullptr);
        return answer == platform::kIdNo && turns == 0 ? 0 : 91;
    });
    EXPECT_EQ(status, 0) << "-1: a box held the ending process; 91: a box was shown, or answered Yes";
}

TEST(MessageBoxBeforeWindow, closing_the_box_window_answers_its_default_and_the_program_goes_on)
{
    if (!XDisplayThere())
        GTEST_SKIP() << "needs an X display (the xvfb run of these tests)";
    const int status = test_support::ChildStatusWithin(60, [] {
        int turns = 0;
        platform::testing::SetModalTurnHook([&turns] {
            if (++turns == 4)
                platform::testing::PushWindowClose();
        });
        const int answer = platform::ShowMessageBox("終了しますか？", "確認", MessageBoxKind::YesNo);
        platform::testing::SetModalTurnHook(nullptr);
        if (turns < 4 || turns > 20)
            return 91;
        if (answer != platform::kIdNo)
            return 92;
        return platform::EndRequested() ? 93 : 0;
    });
    EXPECT_EQ(status, 0) << "-1: the box waited for ever; 91: it did not end at the close; 92: the close did not "
                            "answer No; 93: closing a box was taken as ending the program";
}

}  // namespace
