// The game object end to end: scenarios written in the assembler run through
// the frame loop on the headless platform, input comes as real SDL events,
// and the back buffer is compared with pixels computed here from the blend
// rules at chosen frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "GameRig.h"
#include "ScreenTestSupport.h"
#include "game/ScriptFrame.h"
#include "game/TextDrawable.h"
#include "display/FastPlane.h"
#include "platform/EventInjection.h"
#include "platform/Menu.h"
#include "platform/MessageBox.h"
#include "platform/Video.h"
#include "platform/Window.h"

namespace {

using namespace game_test;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

struct Folder {
    Folder(const std::string& source)
    {
        TestSettings("test.nsd");
        WriteChipPictures(folder);
        WriteFlatPng(folder.path() + "/bg/red.png", 800, 600, kRed);
        // A half-transparent blue sprite: alpha 128 of 255.
        WriteFlatPng(folder.path() + "/ev/sprite.png", 200, 100, 0x800000FFu, true);
        // Left half red, right half green: a sideways shift shows at the border.
        std::vector<uint32_t> split(800 * 600);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                split[static_cast<size_t>(y) * 800 + x] = x < 400 ? kRed : 0xFF00FF00u;
        WritePng(folder.path() + "/bg/split.png", 800, 600, split, false);
        FlushFileLayerCache();
        WriteScenario(folder, "test", source);
    }
    GameFolder folder;
};

int Tolerance(CGame& game)
{
    return game.display.GetScreenBitsPerPixel() == 16 ? 8 : 2;
}

// The blend of one channel at level L (0-255) over another, as the level rates give it.
int BlendChannel(int dst, int src, int level)
{
    return (dst * (255 - level) + src * level) / 255;
}

void PressSpace(CGame& game)
{
    platform::testing::PushKey(platform::Key::Space, true);
    game.Frame();  // the pump at this frame's end takes the key
    platform::testing::PushKey(platform::Key::Space, false);
    game.Frame();  // this frame sees it down; its pump lets it go
}

TEST(Game, start_sequence_runs_past_the_missing_movies_into_the_scenario)
{
    Folder f("waitclick 0\nend\n");
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        EXPECT_EQ(gGame, &game) << "Start designates the game object";
        ASSERT_NE(game.movie, nullptr) << "the brand logo is the first thing shown";
        EXPECT_EQ(game.movieKind, CGame::kMovieLogo);
        ASSERT_TRUE(game.Frame());
        EXPECT_EQ(game.movieKind, CGame::kMovieOpening) << "a logo that cannot play ends and the opening follows";
        ASSERT_TRUE(game.Frame());
        EXPECT_EQ(game.movie, nullptr);
        EXPECT_EQ(game.screen, nullptr);
        EXPECT_EQ(game.executor.scenarioName(), "test.nsd") << "without a start menu the first scenario starts";
        ASSERT_TRUE(game.Frame());
        EXPECT_FALSE(game.executor.failed()) << game.executor.lastError();
        game.PlayMovie("movie\\scene.mpg", CGame::kMovieScenario);
        ASSERT_NE(game.movie, nullptr);
        game.Finish();
        EXPECT_EQ(game.movie, nullptr) << "a movie alive at the end of the loop is released";
    });
    app.Run();
}

TEST(Game, picture_comes_in_through_its_transition_frame_by_frame)
{
    Folder f(R"(
        effect 49
        show "bg\\red.png", 0, 0, 0, 0
        waitclick 0
        show "ev\\sprite.png", 10, -39, -19, 2
        waitclick 0
        end
)");
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        game.Frame();
        game.Frame();  // the logo and the opening movie end
        CFastPlane* back = game.display.GetBackPlane();
        ASSERT_NE(back, nullptr);
        const int tol = Tolerance(game);
        // Frame k of the transition draws at level k * 255 / 8 over the black backdrop.
        for (int k = 1; k <= 8; ++k) {
            ASSERT_TRUE(game.Frame());
            const int level = k * 255 / 8;
            EXPECT_TRUE(Near(back->GetPixel(100, 500), {BlendChannel(0, 255, level), 0, 0}, tol))
                << "transition frame " << k << " should blend red at level " << level;
        }
        game.Frame();
        EXPECT_TRUE(Near(back->GetPixel(100, 500), {255, 0, 0}, tol)) << "after the range the picture is plain";
        const size_t waitingAt = game.executor.position();
        game.Frame();
        EXPECT_EQ(game.executor.position(), waitingAt) << "the scenario waits for a click";

        PressSpace(game);
        for (int i = 0; i < 12; ++i)
            game.Frame();
        // The sprite is centred (-39, -19): 300..500 x 250..350, drawn by alpha.
        const int a = 128;
        EXPECT_TRUE(Near(back->GetPixel(400, 300), {BlendChannel(255, 0, a), 0, BlendChannel(0, 255, a)}, tol + 2))
            << "the sprite blends by its alpha over the background";
        EXPECT_TRUE(Near(back->GetPixel(299, 300), {255, 0, 0}, tol)) << "left of the sprite the background shows";
        EXPECT_TRUE(Near(back->GetPixel(400, 351), {255, 0, 0}, tol)) << "below the sprite the background shows";
        game.Finish();
    });
    app.Run();
}

// The red picture waiting for a click, the pointer at client (200, 200).
const char* const kStillRed = "show \"bg\\\\red.png\", 0, 0, 0, 0\nwaitclick 0\nend\n";
void StartStillWithPointer(TestGame& game)
{
    ASSERT_TRUE(game.Start());
    platform::testing::PushMouseMotion(200, 200 + platform::kMenuBarHeight);
    for (int i = 0; i < 16; ++i)
        game.Frame();
}

TEST(Game, still_screen_repaints_only_the_cursor_area)
{
    Folder f(kStillRed);
    GameApp app([&](TestGame& game) {
        StartStillWithPointer(game);
        ASSERT_EQ(game.cursor.GetRect().left, 200 - 15) << "the cursor follows the pointer";
        CFastPlane* back = game.display.GetBackPlane();
        // Paint marks the drawables never asked for: a frame that repaints
        // the whole screen would wipe them; a still one only under the cursor.
        const Rect mark{600, 100, 610, 110};
        back->Clear(0x00FF00u, &mark);
        const Rect cursorRect = game.cursor.GetRect();
        // A transparent pixel of the cursor picture (only its diagonal is drawn).
        const Rect underCursor{cursorRect.left + 14, cursorRect.top + 15, cursorRect.left + 15, cursorRect.top + 16};
        back->Clear(0x00FF00u, &underCursor);
        game.Frame();
        EXPECT_TRUE(Near(back->GetPixel(605, 105), {0, 255, 0}, Tolerance(game)))
            << "a still screen must not repaint areas nothing changed";
        EXPECT_TRUE(Near(back->GetPixel(underCursor.left, underCursor.top), {255, 0, 0}, Tolerance(game)))
            << "the area under the cursor is repainted every frame";
        game.Finish();
    });
    app.Run();
}

// Whether the client-area picture shows the test cursor's white diagonal
// at its place (the picture's pixel (5, 5) from the rectangle's corner).
bool CursorShown(const std::vector<uint32_t>& pixels, int width, int top, const Rect& cursor)
{
    const size_t at = static_cast<size_t>(top + cursor.top + 5) * width + static_cast<size_t>(cursor.left + 5);
    const uint32_t p = pixels[at] & 0xFFFFFF;
    return (p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) > 200 && (p & 0xFF) > 200;
}

TEST(Game, the_cursor_leaves_the_screen_while_a_box_or_menu_is_up_and_comes_back)
{
    Folder f(kStillRed);
    GameApp app([&](TestGame& game) {
        StartStillWithPointer(game);
        const Rect cursor = game.cursor.GetRect();
        std::vector<uint32_t> client;
        int w = 0, h = 0;
        ASSERT_TRUE(game.display.Output()->ReadClientArea(&client, &w, &h));
        ASSERT_TRUE(CursorShown(client, w, 0, cursor)) << "the game draws its cursor over the red picture";

        // Inside a box's and a popup menu's loop: the whole window as drawn.
        std::vector<bool> during;
        int turn = 0;
        platform::testing::SetModalTurnHook([&] {
            if (++turn == 3) {
                std::vector<uint32_t> window;
                int ww = 0, wh = 0;
                ASSERT_TRUE(platform::testing::CaptureWindow(&window, &ww, &wh));
                during.push_back(CursorShown(window, ww, platform::kMenuBarHeight, cursor));
            }
            if (turn >= 3)
                platform::testing::PushKey(platform::Key::Escape, turn % 2 == 1);
        });
        platform::ShowMessageBox("m", "c", platform::MessageBoxKind::Ok);
        ASSERT_TRUE(game.display.Output()->ReadClientArea(&client, &w, &h));
        EXPECT_TRUE(CursorShown(client, w, 0, cursor)) << "the cursor is back as soon as the box has gone";
        turn = 0;
        platform::Menu menu;
        menu.AppendItem("項目", 100);
        platform::TrackPopupMenu(&menu, 500, 400, platform::MenuResult::kReturnCommand);
        platform::testing::SetModalTurnHook(nullptr);
        EXPECT_EQ(during, (std::vector<bool>{false, false})) << "no game cursor beside the system pointer in a "
                                                                "box's or a menu's frame";
        game.Frame();
        ASSERT_TRUE(game.display.Output()->ReadClientArea(&client, &w, &h));
        EXPECT_TRUE(CursorShown(client, w, 0, cursor)) << "the next frame draws the cursor as before";
        game.Finish();
    });
    app.Run();
}

// The sideways offset of the presented picture: where the split picture's
// green half begins on the screen, minus where it begins in the picture; or
// INT32_MIN when the window's pixels cannot be read back.
int32_t PresentedShift(CGame& game)
{
    std::vector<uint32_t> shown;
    int w = 0, h = 0;
    if (!game.display.Output()->ReadClientArea(&shown, &w, &h) || w != 800)
        return INT32_MIN;
    for (int x = 0; x < 800; ++x)
        if ((shown[static_cast<size_t>(300) * 800 + x] & 0x00FF00u) > 0x008000u)
            return x - 400;
    return INT32_MIN;
}

TEST(Game, quake_shakes_the_presented_picture_while_the_scenario_waits)
{
    // Sideways only, 20 frames, constant envelope, amplitude 40; then
    // sideways, 10 frames, envelope 4 (still at both ends, strongest in the middle).
    Folder f("show \"bg\\\\split.png\", 0, 0, 0, 0\nwaitclick 1\nquake 2, 20, 0, 40\npush 7\nst $1\n"
             "quake 2, 10, 4, 40\npush 8\nst $1\nwaitclick 0\nend\n");
    gConfig.defaultAnimationFrames = 2;
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        for (int i = 0; i < 6; ++i)
            game.Frame();
        PressSpace(game);  // passes "waitclick 1"; the quake starts
        ASSERT_TRUE(RunUntil(game, [&] { return game.drawQueue.Quake().GetState() == CScreenQuake::kQuake; }));
        CFastPlane* back = game.display.GetBackPlane();
        const uint32_t frozen = back->GetPixel(399, 300);
        int frames = 0, largest = 0;
        while (game.drawQueue.Quake().GetState() == CScreenQuake::kQuake) {
            ASSERT_TRUE(game.Frame());
            ++frames;
            EXPECT_EQ(game.executor.valsInt()[1], 0) << "the scenario must not advance during a quake";
            EXPECT_EQ(back->GetPixel(399, 300), frozen) << "the picture stays as drawn; only its offset changes";
            const int32_t shift = PresentedShift(game);
            ASSERT_NE(shift, INT32_MIN) << "the presented picture must be readable";
            EXPECT_LE(std::abs(shift), 40) << "the offset stays within the scenario's amplitude";
            largest = std::max(largest, std::abs(shift));
        }
        EXPECT_EQ(frames, 20 + 1) << "the scenario's 20 frames plus the last at rest";
        EXPECT_GT(largest, 12) << "an amplitude of 40 must reach the quake (20 draws all within 12: p < 1e-9)";

        ASSERT_TRUE(RunUntil(game, [&] { return game.drawQueue.Quake().GetState() == CScreenQuake::kQuake; }));
        EXPECT_EQ(game.executor.valsInt()[1], 7) << "after the first quake the scenario goes on";
        std::vector<int32_t> shifts;
        while (game.drawQueue.Quake().GetState() == CScreenQuake::kQuake) {
            ASSERT_TRUE(game.Frame());
            shifts.push_back(PresentedShift(game));
        }
        ASSERT_EQ(shifts.size(), 11u) << "10 frames plus the last at rest";
        for (size_t i = 0; i < shifts.size(); ++i) {
            const int t = 10 - static_cast<int>(i);
            const double e = t < 1 ? 0.0 : 1.0 - std::abs(10 - 2 * t) / 10.0;  // envelope 4
            EXPECT_LE(std::abs(shifts[i]), static_cast<int>(40 * e + 1e-9))
                << "frame " << i << ": the offset must follow envelope 4 at amplitude 40";
        }
        EXPECT_EQ(shifts.front(), 0) << "envelope 4 starts without moving";
        game.Frame();
        EXPECT_EQ(game.executor.valsInt()[1], 8) << "after the quake the scenario goes on";
        game.Finish();
    });
    app.Run();
}

TEST(Game, flash_freezes_the_picture_and_adds_its_colour_rising_and_falling)
{
    // A white flash over red; then, over the black backdrop, a red one whose
    // colour carries a top byte that must be ignored.
    Folder f("show \"bg\\\\red.png\", 0, 0, 0, 0\nwaitclick 1\nflash 0xFFFFFF\npush 3\nst $1\nwaitclick 0\n"
             "remove 0\nflash 0x7FFF0000\npush 4\nst $1\nwaitclick 0\nend\n");
    gConfig.defaultAnimationFrames = 2;
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        for (int i = 0; i < 6; ++i)
            game.Frame();
        PressSpace(game);
        ASSERT_TRUE(RunUntil(game, [&] { return game.drawQueue.Quake().GetState() == CScreenQuake::kFlash; }));
        CFastPlane* back = game.display.GetBackPlane();
        std::vector<int> greens;
        while (game.drawQueue.Quake().GetState() == CScreenQuake::kFlash) {
            ASSERT_TRUE(game.Frame());
            EXPECT_EQ(game.executor.valsInt()[1], 0) << "the scenario waits during a flash";
            greens.push_back(FromBgr(back->GetPixel(100, 500)).g);
            EXPECT_EQ(FromBgr(back->GetPixel(100, 500)).r, 255) << "red stays saturated";
        }
        // White at f = 0, 0.5, 1, 0.5, 0 over red: green is 0, 127, 255, 127, 0.
        ASSERT_EQ(greens.size(), 5u);
        const int tol = Tolerance(game);
        const int want[] = {0, 127, 255, 127, 0};
        for (size_t i = 0; i < 5; ++i)
            EXPECT_NEAR(greens[i], want[i], tol) << "flash frame " << i;
        EXPECT_EQ(game.flashSnapshot != nullptr, true) << "the snapshot lives until the next scenario frame";
        game.Frame();
        EXPECT_EQ(game.flashSnapshot, nullptr) << "the next scenario frame frees the snapshot";
        EXPECT_EQ(game.executor.valsInt()[1], 3);

        // The scenario's red flash over black: red at f = 0, 0.5, 1, 0.5, 0,
        // never any blue (the colour add takes blue in the low byte).
        PressSpace(game);
        ASSERT_TRUE(RunUntil(game, [&] { return game.drawQueue.Quake().GetState() == CScreenQuake::kFlash; }));
        std::vector<Rgb> seen;
        while (game.drawQueue.Quake().GetState() == CScreenQuake::kFlash) {
            ASSERT_TRUE(game.Frame());
            // Away from the message window, whose hidden area is repainted from the pictures each frame.
            seen.push_back(FromBgr(back->GetPixel(100, 100)));
        }
        ASSERT_EQ(seen.size(), 5u);
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_NEAR(seen[i].r, want[i], tol) << "red flash frame " << i;
            EXPECT_EQ(seen[i].g, 0) << "red flash frame " << i << ": the top byte must not leak into green";
            EXPECT_EQ(seen[i].b, 0) << "red flash frame " << i << ": a red flash must not turn blue";
        }
        game.Frame();
        EXPECT_EQ(game.executor.valsInt()[1], 4);

        // A flash still running when the loop ends.
        game.drawQueue.Quake().StartFlash(0x0000FF, 1, 1);
        game.Frame();
        ASSERT_NE(game.flashSnapshot, nullptr) << "the flash is running";
        game.Finish();
        EXPECT_EQ(game.flashSnapshot, nullptr) << "a flash alive at the end of the loop is released";
    });
    app.Run();
}

TEST(Game, pan_slides_a_tall_picture_then_remove_uncovers_the_backdrop)
{
    Folder f("pan \"bg\\\\tall.png\", 5, 1, 12\nwaitclick 1\nremove 5\nwaitclick 0\nend\n");
    // Rows 0-599 red, 600-1199 blue: row 100 of the screen turns blue once
    // the pan has moved the picture up by more than 500 pixels.
    std::vector<uint32_t> tall(800 * 1200);
    for (size_t i = 0; i < tall.size(); ++i)
        tall[i] = i < 800 * 600 ? kRed : kBlue;
    ASSERT_TRUE(WritePng(f.folder.path() + "/bg/tall.png", 800, 1200, tall, false));
    FlushFileLayerCache();
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        game.Frame();
        game.Frame();
        CFastPlane* back = game.display.GetBackPlane();
        const int tol = Tolerance(game);
        // Frame k draws the picture at y = -60 k (d = 10): row 100 shows source row 100 + 60 k.
        for (int k = 1; k <= 10; ++k) {
            ASSERT_TRUE(game.Frame());
            const bool blue = 100 + 60 * k >= 600;
            EXPECT_TRUE(Near(back->GetPixel(50, 100), blue ? Rgb{0, 0, 255} : Rgb{255, 0, 0}, tol))
                << "pan frame " << k << " shows source row " << 100 + 60 * k;
        }
        PressSpace(game);
        game.Frame();
        EXPECT_TRUE(Near(back->GetPixel(50, 100), {0, 0, 0}, tol)) << "a removed picture uncovers the black backdrop";
        game.Finish();
    });
    app.Run();
}

TEST(Game, reveal_band_repaints_bands_growing_from_the_edges)
{
    Folder f("show \"bg\\\\red.png\", 0, 0, 0, 0\nwaitclick 1\nvista 1\nwaitclick 0\nend\n");
    gConfig.defaultAnimationFrames = 2;
    gConfig.vistaAnimationLength = 12;  // d = 10: the band edge moves 10 rows a frame
    gConfig.vistaFileName = "chip\\band.png";
    ASSERT_TRUE(WriteFlatPng(f.folder.path() + "/chip/band.png", 400, 100, 0xFF000000u));
    FlushFileLayerCache();
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        for (int i = 0; i < 6; ++i)
            game.Frame();
        CFastPlane* back = game.display.GetBackPlane();
        // Marks inside the band's columns (200-600) near the top and bottom,
        // and one outside them.
        const Rect top{300, 25, 301, 26}, bottom{300, 585, 301, 586}, outside{100, 25, 101, 26};
        for (const Rect* r : {&top, &bottom, &outside})
            back->Clear(0x00FF00u, r);
        PressSpace(game);  // the band starts; its first frames reach rows 0-20
        const int tol = Tolerance(game);
        EXPECT_TRUE(Near(back->GetPixel(300, 25), {0, 255, 0}, tol)) << "row 25 is not reached yet";
        EXPECT_TRUE(Near(back->GetPixel(300, 585), {0, 255, 0}, tol)) << "row 585 is not reached yet";
        for (int i = 0; i < 3; ++i)
            game.Frame();
        EXPECT_TRUE(Near(back->GetPixel(300, 25), {255, 0, 0}, tol)) << "the top band has repainted row 25";
        EXPECT_TRUE(Near(back->GetPixel(300, 585), {255, 0, 0}, tol)) << "the bottom band has repainted row 585";
        EXPECT_TRUE(Near(back->GetPixel(100, 25), {0, 255, 0}, tol)) << "outside the band's columns nothing is repainted";
        game.Finish();
    });
    app.Run();
}

TEST(Game, skip_mode_runs_frames_without_the_frame_wait)
{
    Folder f("waitclick 0\nend\n");
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        game.Frame();
        game.Frame();
        const int before = game.waits;
        game.Frame();
        EXPECT_EQ(game.waits, before + 1) << "a normal frame waits for its deadline";
        game.executor.fastForward = 2;
        game.Frame();
        EXPECT_EQ(game.waits, before + 2) << "auto-advance keeps the pace";
        game.executor.fastForward = 1;
        game.Frame();
        game.Frame();
        EXPECT_EQ(game.waits, before + 2) << "skip mode runs unpaced";
        game.Finish();
    });
    app.Run();
}

// Ten pages before a choice: skipping takes a few frames per page, so a
// second click can land before the choice.
const char kPagesToAChoice[] = R"(
        window 1
        text "first"
        page
        push 0
        st $1
more:   text "page"
        page
        ld $1
        push 1
        add
        dup
        st $1
        push 10
        lt
        jnz more
        link 1
        text "choice"
        endlink
        select $2
        text "after"
        page
        end
)";

// The message window's fast-forward button: 700, 10 from the window's origin
// (20, 436), its picture 60 x 20.
constexpr int kButtonX = 20 + 700 + 30, kButtonY = 436 + 10 + 10;

TEST(Game, fast_forward_button_skips_to_the_choice_and_a_second_click_stops_it)
{
    Folder f(kPagesToAChoice);
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        CScriptFrame* frame = game.text.GetScriptFrame();
        ASSERT_TRUE(RunUntil(game, [&] { return frame->GetState() == 1 && !game.text.GetTextDrawable()->IsTyping(); }))
            << "the first page must be shown";
        const size_t firstPage = game.executor.position();
        ASSERT_TRUE(MoveTo(game, kButtonX, kButtonY));
        EXPECT_EQ(frame->GetButtonState(), CScriptFrame::kButtonOver) << "the pointer lights the button";
        ASSERT_TRUE(ClickAt(game, kButtonX, kButtonY));
        EXPECT_EQ(game.executor.fastForward, 1) << "a click on the button must turn skip mode on";
        EXPECT_EQ(frame->GetButtonState(), CScriptFrame::kButtonPressed) << "the button shows it is pressed";
        EXPECT_NE(game.executor.position(), firstPage) << "skipping leaves the page without a further click";
        ASSERT_TRUE(ClickAt(game, kButtonX, kButtonY));
        EXPECT_EQ(game.executor.fastForward, 0) << "a second click on the button must turn skip mode off";
        EXPECT_LT(game.executor.valsInt()[1], 10) << "the second click came before the choice";
        const size_t stopped = game.executor.position();
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(game.Frame());
        EXPECT_EQ(game.executor.position(), stopped) << "with skip off the game waits at its page";
        EXPECT_EQ(frame->GetButtonState(), CScriptFrame::kButtonOver) << "released, the button is lit again";

        ASSERT_TRUE(ClickAt(game, kButtonX, kButtonY));
        ASSERT_TRUE(RunUntil(game, [&] { return game.executor.fastForward == 0; }, 100))
            << "skipping must end by itself";
        EXPECT_EQ(game.executor.valsInt()[1], 10) << "skipping ends at the choice, not before";
        ASSERT_TRUE(MoveTo(game, 400, 100));
        EXPECT_EQ(frame->GetButtonState(), CScriptFrame::kButtonNormal) << "the picture follows the mode";

        game.executor.setFastForward(2);
        ASSERT_TRUE(ClickAt(game, kButtonX, kButtonY));
        EXPECT_EQ(game.executor.fastForward, 0) << "the pressed button releases auto-advance too";
        game.Finish();
    });
    app.Run();
}

TEST(Game, fast_forward_button_of_a_hidden_window_is_not_there)
{
    Folder f("window 0\nwaitclick 0\nwaitclick 0\nend\n");
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(game.Frame());
        ASSERT_EQ(game.text.GetScriptFrame()->GetState(), 0);
        const size_t before = game.executor.position();
        ASSERT_TRUE(ClickAt(game, kButtonX, kButtonY));
        EXPECT_EQ(game.executor.fastForward, 0) << "a click where a hidden window's button would be must not skip";
        EXPECT_NE(game.executor.position(), before) << "it is an ordinary click that goes on";
        game.Finish();
    });
    app.Run();
}

TEST(Game, scenario_end_and_error_end_the_loop_without_presenting)
{
    {
        Folder f("end\n");
        GameApp app([&](TestGame& game) {
            ASSERT_TRUE(game.Start());
            game.Frame();
            game.Frame();
            EXPECT_FALSE(game.Frame()) << "the scenario's end ends the loop";
            game.Finish();
        });
        app.Run();
    }
    {
        MessageBoxCatcher boxes;
        Folder f("error\n");
        GameApp app([&](TestGame& game) {
            ASSERT_TRUE(game.Start());
            game.Frame();
            game.Frame();
            EXPECT_FALSE(game.Frame()) << "a scenario error ends the loop";
            game.Finish();
        });
        app.Run();
        EXPECT_EQ(boxes.texts.size(), 1u) << "the player is told once";
    }
}

// Plays the scenario for 14 frames: whether the placeholder picture (magenta)
// then stands where a picture shown at (10, 20) would.
bool ShowsPlaceholder(const std::string& source)
{
    Folder f(source);
    bool placeholder = false;
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        for (int i = 0; i < 14; ++i)
            ASSERT_TRUE(game.Frame());
        placeholder = Near(game.display.GetBackPlane()->GetPixel(20, 30), {255, 0, 255}, Tolerance(game));
        game.Finish();
    });
    app.Run();
    return placeholder;
}

TEST(Game, missing_picture_shows_the_placeholder_with_one_message)
{
    MessageBoxCatcher boxes;
    EXPECT_TRUE(ShowsPlaceholder("effect 49\nshow \"bg\\\\gone.png\", 0, 10, 20, 0\nwaitclick 0\nend\n"))
        << "the placeholder picture stands where the missing one would";
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "みつからないの。。。<.\\bg\\gone.png>");
}

TEST(Game, a_picture_name_that_climbs_out_of_the_game_folder_gets_the_placeholder)
{
    // A green picture beside the game folder, named by climbing out of it.
    char pattern[] = "/tmp/lantern-secret-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string secretFolder = pattern;
    ASSERT_TRUE(WriteFlatPng(secretFolder + "/SECRET.png", 800, 600, 0xFF00FF00u));
    const std::string name = "..\\" + std::filesystem::path(secretFolder).filename().string() + "\\SECRET.png";
    std::string escaped;
    for (char c : name)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    MessageBoxCatcher boxes;
    EXPECT_TRUE(ShowsPlaceholder("show \"" + escaped + "\", 0, 10, 20, 0\nwaitclick 0\nend\n"))
        << "the picture outside the game folder was decoded and shown";
    std::filesystem::remove_all(secretFolder);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "みつからないの。。。<.\\" + name + ">") << "a refused name is reported as missing";
}

// A screen that answers a scripted command code once, then 0x104.
class ScriptedScreen : public CGameScreen {
public:
    ScriptedScreen(int code, int* draws, bool* deleted) : code_(code), draws_(draws), deleted_(deleted) {}
    ~ScriptedScreen() override { *deleted_ = true; }
    int PrepareBackground(CPlaneBase*) override { return 0; }
    int Update(CGameKeyInput*, CMouseInput*) override
    {
        const int code = code_;
        code_ = kScreenNothing;
        return code;
    }
    int OnLeftClick(unsigned long) override { return 0; }
    int OnRightClick(unsigned long) override { return 0; }
    int OnHoverEnter(unsigned long) override { return 0; }
    int OnHoverLeave(unsigned long) override { return 0; }
    int DrawContents(CPlaneBase*, const Rect&) override
    {
        ++*draws_;
        return 0;
    }

private:
    int code_;
    int* draws_;
    bool* deleted_;
};

TEST(Game, screen_command_codes_drive_the_loop)
{
    Folder f("waitclick 0\nend\n");
    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        game.Frame();
        game.Frame();
        int draws = 0;
        bool deleted = false;
        game.screen = new ScriptedScreen(0x999, &draws, &deleted);
        game.Frame();
        game.Frame();
        EXPECT_FALSE(deleted) << "an unlisted code and 0x104 leave the screen open";
        EXPECT_EQ(draws, 2) << "an open screen is drawn every frame";

        game.OpenScreen(0);
        EXPECT_TRUE(deleted) << "OpenScreen closes the open screen first";
        EXPECT_EQ(game.screen, nullptr) << "screen number 0 opens nothing";
        deleted = false;
        game.screen = new ScriptedScreen(kScreenNewGame, &draws, &deleted);
        game.Frame();
        EXPECT_TRUE(deleted) << "new game closes the screen";
        EXPECT_EQ(game.screen, nullptr);
        EXPECT_EQ(game.executor.scenarioName(), "test.nsd") << "new game opens scnstart";

        game.screen = new ScriptedScreen(kScreenQuit, &draws, &deleted);
        EXPECT_FALSE(game.Frame()) << "quit stops the application at this frame's pump";
        game.Finish();
        EXPECT_EQ(game.screen, nullptr) << "the end of the loop closes the screen";
    });
    app.Run();
}

}  // namespace
