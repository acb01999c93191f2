// The screen base: hit testing by colour, the hover table, clicks, the end
// code, the software cursor over a screen, the captured background and the
// music gate, driven through the frame loop by real SDL events.
#include "game/GameScreen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "ScreenTestSupport.h"
#include "display/FastPlane.h"
#include "sound/MediaObject.h"

namespace {

using namespace game_test;

// Hit-test picture, 700 x 600 (the client area is 800 wide, so x >= 700
// lies outside it): x < 100 grey, 100-199 red 0xF3, 200-299 red 0xFC (the
// same button once masked), 300-399 green, 400-499 white, 500-699 blue.
void WriteProbeHitPicture(const std::string& path)
{
    std::vector<uint32_t> hit(700 * 600);
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 700; ++x) {
            uint32_t c = 0xFF808080u;
            if (x >= 100 && x < 200)
                c = 0xFFF30000u;
            else if (x >= 200 && x < 300)
                c = 0xFFFC0A0Au;
            else if (x >= 300 && x < 400)
                c = 0xFF00F000u;
            else if (x >= 400 && x < 500)
                c = 0xFFFFFFFFu;
            else if (x >= 500)
                c = 0xFF0000F0u;
            hit[static_cast<size_t>(y) * 700 + x] = c;
        }
    }
    ASSERT_TRUE(WritePng(path, 700, 600, hit, false));
}

constexpr unsigned long kRed = 0x0000F0;    // 0x00BBGGRR, masked
constexpr unsigned long kGreen = 0x00F000;
constexpr unsigned long kBlue = 0xF00000;

class ProbeScreen : public CGameScreen {
public:
    explicit ProbeScreen(int endCode = 0) : endCode_(endCode) { Setup("chip\\probe_hit.png"); }
    std::vector<std::string> log;
    std::vector<int> codes;  // what Update answered, frame by frame

    int PrepareBackground(CPlaneBase*) override { return 0; }
    int Update(CGameKeyInput* keys, CMouseInput* mouse) override
    {
        codes.push_back(CGameScreen::Update(keys, mouse));
        return codes.back();
    }
    int OnLeftClick(unsigned long c) override
    {
        Note("left", c);
        if (endCode_)
            EndScreen(endCode_);
        return 0;
    }
    int OnRightClick(unsigned long c) override { return Note("right", c); }
    int OnHoverEnter(unsigned long c) override { return Note("enter", c); }
    int OnHoverLeave(unsigned long c) override { return Note("leave", c); }
    int DrawContents(CPlaneBase* target, const Rect&) override
    {
        static_cast<CFastPlane*>(target)->Clear(0x000000u, nullptr);
        return 0;
    }
    using CGameScreen::Music;

private:
    int Note(const char* what, unsigned long c)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%s %06lx", what, c);
        log.push_back(text);
        return 0;
    }
    int endCode_;
};

std::string Hex(unsigned long c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lx", c);
    return text;
}

// Runs body with a probe screen open in a started game (a folder with the
// hit-test picture), and ends the loop afterwards.
void WithProbe(int endCode, const std::function<void(TestGame&, ProbeScreen*)>& body)
{
    ScreenFolder f;
    WriteProbeHitPicture(f.Path("chip/probe_hit.png"));
    GameApp app([&](TestGame& game) {
        StartPastMovies(game);
        auto* screen = new ProbeScreen(endCode);
        game.screen = screen;
        body(game, screen);
        game.Finish();
    });
    app.Run();
}

TEST(GameScreen, grey_parts_and_masked_colours)
{
    EXPECT_TRUE(IsGreyHitColor(0x000000));
    EXPECT_TRUE(IsGreyHitColor(0xF0F0F0));
    EXPECT_TRUE(IsGreyHitColor(0x808080));
    EXPECT_FALSE(IsGreyHitColor(0x0000F0));
    EXPECT_FALSE(IsGreyHitColor(0xF0F000)) << "two equal channels are not grey";

    ScreenFolder f;
    WriteProbeHitPicture(f.Path("chip/probe_hit.png"));
    ProbeScreen screen;
    EXPECT_EQ(screen.HitColorAt(150, 10), kRed) << "0xF3 red keeps only its upper four bits";
    EXPECT_EQ(screen.HitColorAt(250, 10), kRed) << "0xFC0A0A masks to the same red";
    EXPECT_EQ(screen.HitColorAt(750, 10), 0ul) << "outside the picture reads 0";
    EXPECT_EQ(screen.HitColorAt(-1, 10), 0ul);
}

TEST(GameScreen, hover_and_clicks_follow_the_colour_under_the_pointer)
{
    WithProbe(0, [&](TestGame& game, ProbeScreen* screen) {
        ASSERT_TRUE(MoveTo(game, 50, 300));
        EXPECT_TRUE(screen->log.empty()) << "a grey part calls nothing";

        ASSERT_TRUE(ClickAt(game, 150, 300));
        ASSERT_EQ(screen->log, (std::vector<std::string>{"enter " + Hex(kRed)}))
            << "the click in the frame the pointer arrives must not be handled";
        screen->log.clear();
        ASSERT_TRUE(ClickAt(game, 150, 300));
        EXPECT_EQ(screen->log, (std::vector<std::string>{"left " + Hex(kRed)}));

        screen->log.clear();
        platform::testing::PushMouseMotion(250, 300 + platform::kMenuBarHeight);
        platform::testing::PushMouseButton(1, true, 250, 300 + platform::kMenuBarHeight);
        platform::testing::PushMouseButton(3, true, 250, 300 + platform::kMenuBarHeight);
        ASSERT_TRUE(FrameWith(game));
        platform::testing::PushMouseButton(1, false, 250, 300 + platform::kMenuBarHeight);
        platform::testing::PushMouseButton(3, false, 250, 300 + platform::kMenuBarHeight);
        ASSERT_TRUE(FrameWith(game));
        EXPECT_EQ(screen->log, (std::vector<std::string>{"left " + Hex(kRed), "right " + Hex(kRed)}))
            << "both masked reds are one button; left is handled before right";

        screen->log.clear();
        ASSERT_TRUE(MoveTo(game, 450, 300));
        ASSERT_TRUE(ClickAt(game, 450, 300));
        ASSERT_TRUE(MoveTo(game, 750, 300));
        ASSERT_TRUE(ClickAt(game, 750, 300));
        EXPECT_TRUE(screen->log.empty()) << "white and outside the picture are no button: red stays hovered";

        ASSERT_TRUE(MoveTo(game, 350, 300));
        EXPECT_EQ(screen->log, (std::vector<std::string>{"leave " + Hex(kGreen), "enter " + Hex(kGreen)}))
            << "leaving red is told with the colour now under the pointer";
        screen->log.clear();
        ASSERT_TRUE(MoveTo(game, 150, 300));
        ASSERT_TRUE(MoveTo(game, 600, 300));
        EXPECT_EQ(screen->log, (std::vector<std::string>{"leave " + Hex(kRed), "enter " + Hex(kRed), "leave " + Hex(kBlue),
                                                         "enter " + Hex(kBlue)}))
            << "a colour seen before is entered again";
    });
}

TEST(GameScreen, an_ended_screen_repeats_its_code_except_over_grey)
{
    WithProbe(kScreenNothing, [&](TestGame& game, ProbeScreen* screen) {
        ASSERT_TRUE(MoveTo(game, 150, 300));
        ASSERT_TRUE(ClickAt(game, 150, 300));
        ASSERT_TRUE(FrameWith(game));
        ASSERT_TRUE(MoveTo(game, 50, 300));
        ASSERT_TRUE(MoveTo(game, 350, 300));
        EXPECT_EQ(game.screen, screen) << "0x104 leaves the screen open";
        // enter, the ending click, its release, one more frame, grey, green.
        const std::vector<int> want{0, kScreenNothing, kScreenNothing, kScreenNothing, 0, kScreenNothing};
        ASSERT_GE(screen->codes.size(), want.size());
        EXPECT_EQ(std::vector<int>(screen->codes.end() - static_cast<long>(want.size()), screen->codes.end()), want)
            << "the code comes back every frame, but a grey part returns 0 before the done flag is looked at";
    });
}

TEST(GameScreen, the_software_cursor_is_drawn_over_the_screen)
{
    WithProbe(0, [&](TestGame& game, ProbeScreen*) {
        ASSERT_TRUE(MoveTo(game, 300, 200));
        ASSERT_TRUE(FrameWith(game));
        CFastPlane* back = game.display.GetBackPlane();
        // The test cursor is a white diagonal from its corner to the hot spot (15, 15).
        EXPECT_TRUE(Near(back->GetPixel(300 - 5, 200 - 5), {255, 255, 255}, 8)) << "the pointer must be visible";
        EXPECT_TRUE(Near(back->GetPixel(300 - 5, 200 - 2), {0, 0, 0}, 8)) << "beside the line the screen shows";
        ASSERT_TRUE(MoveTo(game, 500, 400));
        EXPECT_TRUE(Near(back->GetPixel(300 - 5, 200 - 5), {0, 0, 0}, 8)) << "the old cursor is painted over";
        EXPECT_FALSE(game.executor.dirtyRects().empty()) << "what the screen painted is marked dirty";
        EXPECT_EQ(game.executor.dirtyRects().size(), 1u) << "frame after frame it stays one rectangle";
    });
}

TEST(GameScreen, captured_background_is_drawn_clipped_under_the_contents)
{
    ScreenFolder f;
    WriteProbeHitPicture(f.Path("chip/probe_hit.png"));
    class Plain : public ProbeScreen {
    public:
        int DrawContents(CPlaneBase*, const Rect&) override { return 0; }
    } screen;
    CFastPlane target;
    ASSERT_EQ(target.Create(800, 600), 0);
    target.Clear(0x000000u, nullptr);
    EXPECT_EQ(screen.DrawBackground(&target), 1) << "nothing captured yet";
    CFastPlane source;
    ASSERT_EQ(source.Create(800, 600), 0);
    source.Clear(0xFF0000u, nullptr);
    EXPECT_EQ(screen.CaptureBackground(&source), 0);
    source.Clear(0x0000FFu, nullptr);
    screen.Draw(&target, {10, 10, 20, 20});
    EXPECT_TRUE(Near(target.GetPixel(15, 15), {255, 0, 0}, 8)) << "the capture is a copy, drawn inside the clip";
    EXPECT_TRUE(Near(target.GetPixel(25, 15), {0, 0, 0}, 8)) << "nothing outside the clip";
    EXPECT_EQ(screen.DrawBackground(&target), 0);
    EXPECT_TRUE(Near(target.GetPixel(25, 15), {255, 0, 0}, 8));
}

TEST(GameScreen, file_music_is_gated_by_the_voice_level)
{
    ScreenFolder f;
    WriteProbeHitPicture(f.Path("chip/probe_hit.png"));
    std::filesystem::create_directories(f.Path("bgm"));
    WriteWave(f.Path("bgm/02.wav"));
    FlushFileLayerCache();
    gConfig.bgmCDDA = 0;
    gConfig.bgmDir = "bgm";
    gConfig.cdLevel = 200;
    // The streamed player of the "useWindowsMP3Codec" setting plays WAVE files.
    gConfig.useWindowsMP3Codec = 1;
    gConfig.seLevel = 0;
    {
        ProbeScreen screen;
        ASSERT_NE(screen.Music(), nullptr) << "music from files has a player";
        screen.PlayBGM(2);
        EXPECT_FALSE(screen.Music()->IsPlaying()) << "seLevel 0 keeps the music silent whatever cdLevel says";
    }
    gConfig.seLevel = 255;
    {
        ProbeScreen screen;
        screen.PlayBGM(2);
        EXPECT_TRUE(screen.Music()->IsPlaying()) << "the track plays";
        EXPECT_TRUE(screen.Music()->GetLoop()) << "screen music loops";
        EXPECT_EQ(screen.Music()->GetVolume(), LevelToVolume(200));
        screen.StopBGM();
        EXPECT_FALSE(screen.Music()->IsPlaying());
    }
    gConfig.bgmCDDA = 1;
    {
        ProbeScreen fromCd;
        EXPECT_EQ(fromCd.Music(), nullptr) << "music from the CD makes no file player";
    }
    gConfig.bgmCDDA = 0;
}

}  // namespace
