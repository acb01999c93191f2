// The backlog screen through the frame loop: a scenario shows voiced and
// plain pages, its backlog instruction opens the screen, and real SDL events
// scroll it, replay a voice and close it again.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "GameRig.h"
#include "display/FastPlane.h"
#include "game/BacklogScreen.h"
#include "game/ScriptFrame.h"
#include "game/TextDrawable.h"
#include "game/TextLabel.h"
#include "platform/Audio.h"
#include "platform/EventInjection.h"
#include "platform/Window.h"
#include "sound/MediaObject.h"
#include "sound/ScenarioSound.h"

namespace {

namespace fs = std::filesystem;
using namespace game_test;
namespace inject = platform::testing;

constexpr int kBar = 20;       // scroll bar width and button height
constexpr int kSliderH = 30;
constexpr uint32_t kBlue = 0xFF2040C0u;

// Five pages (the first and the last voiced), then a page with a link that opens the backlog.
const char kScenario[] = R"(
        show "bg\\blue.png", 0, 0, 0, 0
        window 1
        name "Mio"
        voice "mio01"
        text "one"
        page
        text "two"
        page
        text "three"
        page
        text "four"
        page
        voice "mio02"
        text "five"
        page
        name "Ren"
        text "pick "
        link 1
        text "A"
        endlink
        text " tail"
        backlog
        select $1
        end
)";

struct BacklogFolder {
    BacklogFolder()
    {
        saved = gConfig;
        TestSettings("test.nsd");
        gConfig.voiceDir = "voice";
        gConfig.useWindowsMP3Codec = 1;  // the voices are WAVE files
        gConfig.seLevel = 160;
        WriteChipPictures(folder);
        const std::string chip = folder.path() + "/chip/";
        WriteFlatPng(chip + "backlog_back.png", kBar, 600, 0xFF303030u);
        WriteFlatPng(chip + "backlog_slider.png", kBar, kSliderH, 0xFFC0C0C0u);
        for (const char* name : {"backlog_upnormal", "backlog_uponmouse", "backlog_downnormal", "backlog_downomouse"})
            WriteFlatPng(chip + name + ".png", kBar, kBar, 0xFF808080u);
        WriteFlatPng(folder.path() + "/bg/blue.png", 800, 600, kBlue);
        fs::copy(RepoFolder() / "demo" / "sounds" / "voice", fs::path(folder.path()) / "voice");
        WriteScenario(folder, "test", kScenario);
        platform::UseManualClock(true);
    }
    ~BacklogFolder()
    {
        platform::UseManualClock(false);
        gConfig = saved;
    }
    CGameConfig saved;
    GameFolder folder;
};

// 16-bit screens lose the low bits of each channel.
int Tolerance16(CGame& game)
{
    return game.display.GetScreenBitsPerPixel() == 16 ? 10 : 2;
}

void Click(CGame& game, int button, int x, int y)
{
    inject::PushMouseMotion(x, y + platform::kMenuBarHeight);
    inject::PushMouseButton(button, true, x, y + platform::kMenuBarHeight);
    game.Frame();
    inject::PushMouseButton(button, false, x, y + platform::kMenuBarHeight);
    game.Frame();
}

void PressKey(CGame& game, platform::Key key)
{
    inject::PushKey(key, true);
    game.Frame();
    inject::PushKey(key, false);
    game.Frame();
}

// Starts the game and reads `pages` pages; the next one is left on the window.
void ReadPages(CGame& game, int pages)
{
    ASSERT_TRUE(game.Start());
    for (int page = 0; page <= pages; ++page) {
        ASSERT_TRUE(RunUntil(game, [&] {
            CTextDrawable* text = game.text.GetTextDrawable();
            return !text->Runs().empty() && !text->IsTyping();
        })) << "page " << page << " must be shown: " << game.executor.lastError();
        if (page < pages)
            PressKey(game, platform::Key::Space);
    }
}

// Runs the scenario through its five pages to the open backlog.
void OpenBacklog(CGame& game)
{
    ReadPages(game, 5);
    ASSERT_TRUE(RunUntil(game, [&] { return game.backlog.IsOpen(); })) << game.executor.lastError();
    game.Frame();  // the first frame the screen draws itself
}

// Whether some pixel of the rectangle has the colour 0x00RRGGBB.
bool ShowsColor(CFastPlane* plane, const Rect& r, uint32_t rgb)
{
    const Rgb want{static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb & 0xFF)};
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (Near(plane->GetPixel(x, y), want, 8))
                return true;
    return false;
}

}  // namespace

TEST(BacklogScreenDarkening, black_stays_black_and_the_factor_is_held_for_tiny_means)
{
    EXPECT_EQ(BacklogDarkening(0.0), 0) << "a black picture would divide by zero";
    EXPECT_EQ(BacklogDarkening(-1.0), 0);
    EXPECT_EQ(BacklogDarkening(std::nan("")), 0);
    EXPECT_EQ(BacklogDarkening(1e-300), 56) << "12800 / mean overflows an int: the factor is held at 200";
    EXPECT_EQ(BacklogDarkening(64.0), 56);
    EXPECT_EQ(BacklogDarkening(128.0), 156);
    EXPECT_EQ(BacklogDarkening(255.0), 206) << "the brightest picture is darkened most";
}

TEST(BacklogScreen, opens_over_the_darkened_scene_with_the_pages_and_nothing_else)
{
    BacklogFolder f;
    GameApp app([&](TestGame& game) {
        OpenBacklog(game);
        ASSERT_TRUE(game.backlog.IsOpen());
        EXPECT_EQ(game.text.GetScriptFrame()->IsShown(), 0) << "the message window goes while the backlog is open";
        CFastPlane* back = game.display.GetBackPlane();
        // blue.png (32, 64, 192) has the mean 69.0: 12800 / 69 = 185, so 71 comes off every channel.
        EXPECT_TRUE(Near(back->GetPixel(600, 12), {0, 0, 121}, Tolerance16(game)))
            << "the scene is darkened by its mean brightness";
        EXPECT_TRUE(Near(back->GetPixel(400, 590), {0, 0, 121}, Tolerance16(game)))
            << "only the backlog is drawn: no message window over the scene";
        CBacklogScreen* screen = game.backlog.GetScreen();
        EXPECT_EQ(game.backlog.Log()->Count(), 5u);
        EXPECT_EQ(game.backlog.Log()->GetScroll(), 3) << "the newest page is on the bottom line";
        CFastPlane* work = screen->GetWorkPlane();
        EXPECT_TRUE(ShowsColor(work, {10, 30, 200, 130}, CBacklogScreen::kPlainColor))
            << "line 0 shows page two, not voiced: white";
        EXPECT_FALSE(ShowsColor(work, {10, 30, 200, 130}, CBacklogScreen::kVoicedColor));
        EXPECT_TRUE(ShowsColor(back, {10, 420, 200, 540}, CBacklogScreen::kVoicedColor))
            << "the bottom line's voiced page must reach the screen, tinted";
        // The top line shows page two of five: a quarter down the track.
        const int sliderTop = kBar + (600 - 2 * kBar - kSliderH) / 4;
        EXPECT_EQ(screen->SliderTop(), sliderTop);
        EXPECT_TRUE(Near(back->GetPixel(800 - kBar / 2, sliderTop + kSliderH / 2), {192, 192, 192}, 8))
            << "the slider is drawn where the view stands";
        game.Finish();
    });
    app.Run();
}

TEST(BacklogScreen, scrolls_by_buttons_track_wheel_and_keys_within_the_log)
{
    BacklogFolder f;
    GameApp app([&](TestGame& game) {
        OpenBacklog(game);
        CBacklog* log = game.backlog.Log();
        Click(game, 1, 800 - kBar / 2, kBar / 2);
        EXPECT_EQ(log->GetScroll(), 4) << "the up button shows one page older";
        Click(game, 1, 800 - kBar / 2, kBar / 2);
        EXPECT_EQ(log->GetScroll(), 4) << "at the oldest page the up button changes nothing";
        EXPECT_EQ(game.backlog.GetScreen()->SliderTop(), kBar) << "the oldest page puts the slider at the top";
        Click(game, 1, 800 - kBar / 2, 600 - kBar / 2);
        EXPECT_EQ(log->GetScroll(), 3) << "the down button shows one page newer";
        Click(game, 1, 800 - kBar / 2, 600 - kBar - 1);
        EXPECT_EQ(log->GetScroll(), 0) << "the bottom of the track is the newest page";
        EXPECT_EQ(game.backlog.GetScreen()->SliderTop(), 600 - kBar - kSliderH);
        Click(game, 1, 800 - kBar / 2, 600 - kBar / 2);
        EXPECT_EQ(log->GetScroll(), 0) << "at the newest page the down button changes nothing";

        inject::PushMouseWheel(2);
        game.Frame();  // the pump at the frame's end takes the wheel
        game.Frame();
        EXPECT_EQ(log->GetScroll(), 2) << "the wheel turned away shows older pages";
        PressKey(game, platform::Key::Down);
        EXPECT_EQ(log->GetScroll(), 1) << "the down key shows a newer page";
        PressKey(game, platform::Key::Up);
        EXPECT_EQ(log->GetScroll(), 2);
        EXPECT_TRUE(game.backlog.IsOpen());
        game.Finish();
    });
    app.Run();
}

TEST(BacklogScreen, a_click_on_a_voiced_line_replays_its_voice_at_the_voice_volume)
{
    BacklogFolder f;
    GameApp app([&](TestGame& game) {
        OpenBacklog(game);
        CMediaObject* voice = game.sound.Sound()->Channels().voice;
        voice->Stop();
        Click(game, 1, 300, 100);
        EXPECT_FALSE(voice->IsPlaying()) << "line 0 shows page two, which has no voice";
        PressKey(game, platform::Key::Up);
        ASSERT_EQ(game.backlog.Log()->GetScroll(), 4);
        EXPECT_TRUE(ShowsColor(game.backlog.GetScreen()->GetWorkPlane(), {10, 30, 200, 130},
                               CBacklogScreen::kVoicedColor))
            << "the voiced page is tinted";
        Click(game, 1, 300, 131);
        EXPECT_FALSE(voice->IsPlaying()) << "a click just below the line's rectangle plays nothing";
        Click(game, 1, 300, 100);
        EXPECT_TRUE(voice->IsPlaying()) << "page one's voice is played again";
        EXPECT_EQ(voice->GetVolume(), LevelToVolume(160)) << "at the voice volume";
        game.Finish();
    });
    app.Run();
}

TEST(BacklogScreen, the_cursor_leaves_no_trail_over_the_backlog)
{
    BacklogFolder f;
    GameApp app([&](TestGame& game) {
        OpenBacklog(game);
        inject::PushMouseMotion(300, 300 + platform::kMenuBarHeight);
        game.Frame();
        game.Frame();
        CFastPlane* back = game.display.GetBackPlane();
        // The test cursor is a white diagonal from its corner (x - 15, y - 15).
        ASSERT_TRUE(Near(back->GetPixel(290, 290), {255, 255, 255}, 8)) << "the cursor is drawn over the backlog";
        inject::PushMouseMotion(500, 300 + platform::kMenuBarHeight);
        game.Frame();
        game.Frame();
        EXPECT_TRUE(Near(back->GetPixel(290, 290), {0, 0, 121}, Tolerance16(game)))
            << "where the cursor was, the darkened scene is painted again";
        game.Finish();
    });
    app.Run();
}

TEST(BacklogScreen, a_right_click_closes_it_and_the_page_comes_back_with_its_link)
{
    BacklogFolder f;
    GameApp app([&](TestGame& game) {
        OpenBacklog(game);
        Click(game, 3, 400, 300);
        ASSERT_FALSE(game.backlog.IsOpen()) << "a right click closes the backlog";
        EXPECT_FALSE(game.executor.failed())
            << "the closing click must not reach the scenario's wait as a popup request: " << game.executor.lastError();
        EXPECT_EQ(game.text.GetScriptFrame()->IsShown(), 1) << "the message window is back";
        EXPECT_EQ(game.text.GetScriptFrame()->GetNameLabel()->GetText(), "Ren");
        CTextDrawable* text = game.text.GetTextDrawable();
        ASSERT_EQ(text->Runs().size(), 11u) << "pick A tail";
        ASSERT_EQ(text->Links().size(), 1u);
        EXPECT_EQ(text->Links()[0].runs, (std::vector<size_t>{5})) << "only A is the link";
        EXPECT_EQ(text->Runs()[10].flags, 0u) << "the text after the link's end is plain";

        const Rect& run = text->Runs()[5].rect;
        int32_t x = 0, y = 0;
        text->GetPos(&x, &y);
        Click(game, 1, x + (run.left + run.right) / 2, y + (run.top + run.bottom) / 2);
        RunUntil(game, [&] { return game.executor.valsInt().count(1) != 0; }, 10);
        EXPECT_EQ(game.executor.valsInt()[1], 1) << "the restored link is chosen by clicking it";
        EXPECT_EQ(game.backlog.Log()->Count(), 6u) << "the chosen page goes to the log";
        game.Finish();
    });
    app.Run();
}

TEST(BacklogScreen, opened_at_a_page_wait_its_clicks_never_reach_the_page)
{
    BacklogFolder f;
    GameApp app([&](TestGame& game) {
        ReadPages(game, 2);
        const size_t waitingAt = game.executor.position();
        game.executor.openBacklog();  // what the popup menu's backlog command asks
        ASSERT_TRUE(RunUntil(game, [&] { return game.backlog.IsOpen(); }, 3));
        game.Frame();
        Click(game, 1, 800 - kBar / 2, kBar / 2);
        EXPECT_EQ(game.backlog.Log()->GetScroll(), 1) << "two pages: the up button reaches the oldest";
        // Both buttons in one frame: the right one closes, the left one is the backlog's too.
        inject::PushMouseButton(1, true, 400, 300 + platform::kMenuBarHeight);
        inject::PushMouseButton(3, true, 400, 300 + platform::kMenuBarHeight);
        game.Frame();
        inject::PushMouseButton(1, false, 400, 300 + platform::kMenuBarHeight);
        inject::PushMouseButton(3, false, 400, 300 + platform::kMenuBarHeight);
        game.Frame();
        game.Frame();
        ASSERT_FALSE(game.backlog.IsOpen());
        EXPECT_EQ(game.executor.position(), waitingAt) << "the page still waits: the closing clicks were the backlog's";
        EXPECT_EQ(game.backlog.Log()->Count(), 2u);
        EXPECT_EQ(game.text.GetTextDrawable()->Runs().size(), 5u) << "page three is back in the window";
        PressKey(game, platform::Key::Space);
        EXPECT_EQ(game.backlog.Log()->Count(), 3u) << "the next advance ends the page";
        game.Finish();
    });
    app.Run();
}

TEST(BacklogScreen, going_back_to_the_title_drops_the_screen_and_the_unread_page)
{
    BacklogFolder f;
    GameApp app([&](TestGame& game) {
        OpenBacklog(game);
        ASSERT_FALSE(game.backlog.Log()->CurrentPage().items.empty());
        game.OpenScreen(2);  // what the title command ends with
        EXPECT_FALSE(game.backlog.IsOpen());
        EXPECT_TRUE(game.backlog.Log()->CurrentPage().items.empty())
            << "the unread page must not run into the first page of the next game";
        EXPECT_EQ(game.backlog.Log()->Count(), 5u) << "the pages read stay in the log";
        CTextLabel* label = game.text.GetScriptFrame()->GetNameLabel();
        EXPECT_EQ(label->GetText(), "") << "the backlog's last line must not stay on the name plate";
        EXPECT_EQ(label->GetTextDraw()->GetColor(), CBacklogScreen::kPlainColor)
            << "names are white again, not tinted like the voiced line drawn last";
        ASSERT_TRUE(RunUntil(game, [&] { return !game.text.GetTextDrawable()->Runs().empty(); }));
        EXPECT_FALSE(game.executor.failed()) << game.executor.lastError();
        game.Finish();
    });
    app.Run();
}
