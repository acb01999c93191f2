// The start menu: its seeded star field against the formula, its buttons
// and command codes through the frame loop, "hideCGReplay", the hover sound
// and highlight, and the idle time-out.
#include "game/StartMenuScreen.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/ManualClock.h"
#include "support/PlaneTestSupport.h"
#include "ScreenTestSupport.h"
#include "frame/CRand.h"
#include "game/CGViewScreen.h"
#include "game/SceneReplayScreen.h"
#include "game/ScriptFrame.h"
#include "sound/MediaObject.h"

namespace {

using namespace game_test;

CStartMenuScreen* Menu(CGame& game)
{
    return dynamic_cast<CStartMenuScreen*>(game.screen);
}

TEST(StartMenuScreen, stars_follow_the_seeded_formula_and_wrap_at_the_field_edges)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    crt::srand(20240607);
    CStartMenuScreen menu;

    // The formula, with the same generator seeded the same way.
    struct Ref {
        float x, y, dx, dy;
    };
    std::vector<Ref> stars;
    crt::srand(20240607);
    for (int i = 0; i < CStartMenuScreen::kStarCount; ++i) {
        Ref r{};
        r.x = static_cast<float>(crt::rand() % 800);
        r.y = static_cast<float>(crt::rand() % 600);
        const double speed = (-5 - crt::rand() % 20) * 0.1;
        r.dx = static_cast<float>(speed);
        r.dy = static_cast<float>(-speed);
        stars.push_back(r);
    }
    for (int i = 0; i < CStartMenuScreen::kStarCount; ++i) {
        ASSERT_EQ(menu.StarAt(i).x, stars[i].x) << "star " << i;
        ASSERT_EQ(menu.StarAt(i).y, stars[i].y) << "star " << i;
        ASSERT_EQ(menu.StarAt(i).dx, stars[i].dx) << "star " << i;
        ASSERT_EQ(menu.StarAt(i).dy, stars[i].dy) << "star " << i;
    }

    int wrappedLeft = 0, wrappedBottom = 0, bigStars = 0;
    for (int frame = 0; frame < 400; ++frame) {
        RecordingPlane target(800, 600);
        menu.DrawContents(&target, {});
        ASSERT_GE(target.calls.size(), static_cast<size_t>(CStartMenuScreen::kStarCount));
        for (int i = 0; i < CStartMenuScreen::kStarCount; ++i) {
            const PlaneCall& call = target.calls[static_cast<size_t>(i)];
            Ref& r = stars[static_cast<size_t>(i)];
            ASSERT_EQ(call.op, "BltAuto");
            ASSERT_EQ(call.x, static_cast<int>(r.x)) << "star " << i << " at frame " << frame;
            ASSERT_EQ(call.y, static_cast<int>(r.y)) << "star " << i << " at frame " << frame;
            int w = 0, h = 0;
            call.src->GetSize(&w, &h);
            // Speeds -2.0 to -2.4 draw the fourth picture, slower ones the third.
            ASSERT_EQ(w, r.dx <= -2.0f ? 5 : 3) << "star " << i << " with dx " << r.dx;
            bigStars += w == 5;
            r.x += r.dx;
            r.y += r.dy;
            if (r.x < 0) {
                r.x += 800;
                ++wrappedLeft;
            }
            if (r.y > 600) {
                r.y -= 600;
                ++wrappedBottom;
            }
        }
    }
    EXPECT_GT(wrappedLeft, 0) << "400 frames move every star past the left edge";
    EXPECT_GT(wrappedBottom, 0);
    EXPECT_GT(bigStars, 0);
}

TEST(StartMenuScreen, buttons_lead_where_their_codes_say)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        ASSERT_NE(Menu(game), nullptr) << "after the movies the start menu opens";
        EXPECT_EQ(game.executor.scenarioName(), "") << "scnstart waits for the start button when there is a menu";

        ASSERT_TRUE(MoveTo(game, kMenuButtonX, MenuButtonY(1)));
        EXPECT_EQ(Menu(game)->Highlight(1), 1);
        ASSERT_TRUE(MoveTo(game, kMenuButtonX, MenuButtonY(2)));
        EXPECT_EQ(Menu(game)->Highlight(1), 0) << "moving onto another button moves the light";
        EXPECT_EQ(Menu(game)->Highlight(2), 1);
        ASSERT_TRUE(MoveTo(game, 500, 300));
        EXPECT_EQ(Menu(game)->Highlight(2), 1) << "a grey part keeps the last light";

        // Load: the slot menu closes with nothing chosen, the menu stays.
        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(2)));
        ASSERT_NE(Menu(game), nullptr) << "nothing chosen from the load slots leaves the menu open";
        EXPECT_TRUE(Menu(game)->IsDone());
        EXPECT_EQ(Menu(game)->Result(), 0) << "the code is forgotten so the slots do not open again";
        EXPECT_TRUE(game.cursor.IsEnabled()) << "the software cursor is back";

        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(3)));
        EXPECT_NE(dynamic_cast<CCGViewScreen*>(game.screen), nullptr) << "the gallery button opens the gallery";
        ASSERT_TRUE(PressButton(game, kTitleButtonX, kTitleButtonY));
        ASSERT_NE(Menu(game), nullptr) << "the gallery's title button returns to the start menu";

        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(4)));
        EXPECT_NE(dynamic_cast<CSceneReplayScreen*>(game.screen), nullptr) << "the replay button opens the replay";
        ASSERT_TRUE(PressButton(game, kTitleButtonX, kTitleButtonY));
        ASSERT_NE(Menu(game), nullptr);

        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(1)));
        EXPECT_EQ(game.screen, nullptr) << "start closes the menu";
        EXPECT_EQ(game.executor.scenarioName(), "test.nsd") << "and opens scnstart";
        game.Finish();
    });
    app.Run();
    EXPECT_EQ(f.boxes.texts, (std::vector<std::string>{"回想オフセットマップの読み込みに失敗しました"}))
        << "the replay reports its missing \"scene.dat\"; no picture of the three screens may be missing";
}

TEST(StartMenuScreen, a_start_menu_without_its_pictures_says_so_in_one_box)
{
    ScreenFolder f;  // the chip pictures and the placeholder, none of the menu's own
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        ASSERT_NE(Menu(game), nullptr) << "the menu opens with placeholders";
        game.Finish();
    });
    app.Run();
    ASSERT_EQ(f.boxes.texts.size(), 1u) << "the screen's pictures are one batch: one box, not one per picture";
    const std::string& text = f.boxes.texts[0];
    EXPECT_EQ(text.rfind("みつからないの。。。<chip\\start_back.png>\n<chip\\start_start_l.png>\n", 0), 0u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5) << "five names, then the count of the rest: " << text;
    EXPECT_NE(text.find("\nほか "), std::string::npos) << text;
}

TEST(StartMenuScreen, a_finished_game_comes_back_to_the_start_menu_and_can_start_again)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    WriteScenario(f.folder, "test", "push 7\nst $1\nwindow 1\ntext \"end\"\npage\ntotitle\n");
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(1)));
        ASSERT_EQ(game.screen, nullptr);
        ASSERT_TRUE(RunUntil(game, [&] { return game.text.GetScriptFrame()->GetState() == 1; }, 40));
        ASSERT_TRUE(ClickAt(game, 400, 200));
        ASSERT_TRUE(RunUntil(game, [&] { return Menu(game) != nullptr; }, 20))
            << "the game's end must lead to the start menu, not close the program: " << game.executor.lastError();
        EXPECT_TRUE(game.executor.valsInt().empty()) << "the finished game is forgotten";
        EXPECT_EQ(game.text.GetScriptFrame()->GetState(), 0) << "its message window is gone";
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(game.Frame()) << "the start menu stays";
        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(1)));
        EXPECT_EQ(game.screen, nullptr) << "a new game starts from there";
        ASSERT_TRUE(RunUntil(game, [&] { return game.executor.valsInt().count(1) != 0; }, 20));
        EXPECT_EQ(game.executor.valsInt()[1], 7);
        game.Finish();
    });
    app.Run();
}

TEST(StartMenuScreen, exit_stops_the_game)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        ASSERT_TRUE(MoveTo(game, kMenuButtonX, MenuButtonY(6)));
        EXPECT_FALSE(ClickAt(game, kMenuButtonX, MenuButtonY(6))) << "the exit button ends the frame loop";
        game.Finish();
    });
    app.Run();
}

TEST(StartMenuScreen, hidden_gallery_and_replay_are_neither_drawn_nor_clickable)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    ManualClock clock;
    gConfig.hideCGReplay = 1;
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        ASSERT_NE(Menu(game), nullptr);
        RecordingPlane target(800, 600);
        Menu(game)->DrawContents(&target, {});
        std::vector<int> rows;
        for (const PlaneCall& call : target.calls)
            if (call.op == "AlphaBlt")
                rows.push_back(call.y);
        EXPECT_EQ(rows, (std::vector<int>{260, 310, 510})) << "start, load and exit only; music never";

        ASSERT_TRUE(PressButton(game, kMenuButtonX, MenuButtonY(3)));
        ASSERT_NE(Menu(game), nullptr) << "the hidden gallery button does nothing";
        EXPECT_EQ(Menu(game)->Result(), 0xFF) << "its click ends the menu with a code nobody acts on";
        clock.now += 70000;
        ASSERT_TRUE(FrameWith(game));
        EXPECT_NE(Menu(game), nullptr) << "an ended menu no longer times out";
        EXPECT_EQ(game.movie, nullptr);
        game.Finish();
    });
    app.Run();
    gConfig.hideCGReplay = 0;
}

TEST(StartMenuScreen, sixty_idle_seconds_play_the_opening_movie_even_over_a_button)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    ManualClock clock;
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        ASSERT_NE(Menu(game), nullptr);
        ASSERT_TRUE(MoveTo(game, kMenuButtonX, MenuButtonY(1)));
        clock.now += 59999;
        ASSERT_TRUE(FrameWith(game));
        ASSERT_NE(Menu(game), nullptr) << "59.999 s is not yet the time-out";
        clock.now += 1;
        ASSERT_TRUE(FrameWith(game));
        EXPECT_EQ(game.screen, nullptr) << "60 s after opening, hovering or not, the menu gives way";
        EXPECT_NE(game.movie, nullptr) << "to the opening movie";
        ASSERT_TRUE(RunUntil(game, [&] { return Menu(game) != nullptr; }, 5))
            << "the (missing) opening movie ends and the menu comes back";
        game.Finish();
    });
    app.Run();
}

TEST(StartMenuScreen, hover_sound_plays_at_the_effect_volume)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    WriteWave(f.Path("se/sys_start.wav"));
    FlushFileLayerCache();
    struct Probe : CStartMenuScreen {
        using CGameScreen::SoundEffect;
    };
    gConfig.useWindowsMP3Codec = 1;
    for (int level : {0, 100, 255}) {
        gConfig.seLevel = level;
        Probe menu;
        ASSERT_NE(menu.SoundEffect(), nullptr);
        EXPECT_EQ(menu.SoundEffect()->GetVolume(), LevelToVolume(level)) << "the hover sound follows seLevel " << level;
        menu.OnHoverEnter(0x0000F0);
        EXPECT_TRUE(menu.SoundEffect()->IsPlaying()) << "entering a button plays the hover sound";
        EXPECT_EQ(menu.Highlight(1), 1);
        menu.OnHoverLeave(0);
        EXPECT_EQ(menu.Highlight(1), 0);
    }
}

TEST(StartMenuScreen, repainting_only_what_changed_gives_the_whole_frame_each_frame)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    // A foreground the stars shine through in part, so that every clipped
    // blend shows in the comparison.
    std::vector<uint32_t> fg(800 * 600);
    for (size_t i = 0; i < fg.size(); ++i)
        fg[i] = (static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu) | ((i % 7 == 0 ? 0x80u : 0x00u) << 24);
    ASSERT_TRUE(WritePng(f.Path("chip/start_a.png"), 800, 600, fg, true));
    crt::srand(99);
    CStartMenuScreen whole;
    crt::srand(99);
    CStartMenuScreen changes;
    CFastPlane a, b;
    ASSERT_EQ(a.CreateSurface(800, 600, pixfmt::kBGRX32), 0);
    ASSERT_EQ(b.CreateSurface(800, 600, pixfmt::kBGRX32), 0);
    size_t drawnArea = 0;
    Rect cursorWas{};
    for (int frame = 0; frame < 60; ++frame) {
        if (frame == 10) {
            whole.OnHoverEnter(0x0000F0);  // the start button lights
            changes.OnHoverEnter(0x0000F0);
        }
        if (frame == 20) {
            whole.OnHoverLeave(0);
            changes.OnHoverLeave(0);
        }
        // Something drawn over the last frame (the cursor) is painted over again.
        const Rect cursor{frame * 7 % 780, frame * 11 % 580, frame * 7 % 780 + 20, frame * 11 % 580 + 20};
        if (!cursorWas.IsEmpty())
            b.Clear(&cursorWas);
        whole.Draw(&a, cursor);
        RectList drawn;
        EXPECT_EQ(changes.DrawChanges(&b, cursor, {cursorWas, cursor}, &drawn), frame == 0 ? 0 : 1)
            << "frame " << frame << ": a whole frame, then partial repaints";
        cursorWas = cursor;
        ASSERT_EQ(planetest::Snapshot(a), planetest::Snapshot(b))
            << "frame " << frame << ": repainting the changed parts differs from the whole frame";
        if (frame > 0)
            for (const Rect& r : drawn)
                drawnArea += static_cast<size_t>(r.Width()) * r.Height();
    }
    EXPECT_LT(drawnArea, 59u * 800 * 600 / 4) << "a frame at rest repaints far less than the whole screen";
    int white = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            white += (a.GetPixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
    EXPECT_GT(white, 200) << "the stars must show for the comparison to mean anything";
}

}  // namespace
