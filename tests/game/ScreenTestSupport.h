#pragma once
// Driving full-window screens through the real frame loop: the pointer moves
// and buttons are pressed by SDL events, taken by the application's pump, and
// the next CGame::Frame gives them to the open screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "GameRig.h"
#include "platform/EventInjection.h"
#include "platform/WindowMessages.h"

namespace game_test {

// A game folder whose scenario waits for a click, with the chip pictures.
// The screens' own pictures come from WriteScreenPictures.
struct ScreenFolder {
    ScreenFolder()
    {
        TestSettings("test.nsd");
        // Settings the screens read, as a fresh game has them (another test
        // of this process may have loaded a settings file that sets them).
        gConfig.hideCGReplay = 0;
        gConfig.omake1 = 0;
        WriteChipPictures(folder);
        WriteScenario(folder, "test", "waitclick 0\nend\n");
    }
    GameFolder folder;
    // A message box would wait for a player: every one is answered and kept.
    MessageBoxCatcher boxes;
    std::string Path(const std::string& name) const { return folder.path() + "/" + name; }
};

// Flat rectangles of colour on black, 800 x 600: a hit-test picture.
struct HitRect {
    int left, top, width, height;
    uint32_t argb;
};
inline void WriteHitPicture(const std::string& path, const std::vector<HitRect>& rects)
{
    std::vector<uint32_t> pixels(800 * 600, 0xFF000000u);
    for (const HitRect& r : rects)
        for (int y = r.top; y < r.top + r.height; ++y)
            for (int x = r.left; x < r.left + r.width; ++x)
                pixels[static_cast<size_t>(y) * 800 + x] = r.argb;
    ASSERT_TRUE(WritePng(path, 800, 600, pixels, false));
}

// Hit colours as ARGB; the screens read them as 0x00BBGGRR masked with 0xF0F0F0.
constexpr uint32_t kHitRed = 0xFFF00000u;      // 0x0000F0
constexpr uint32_t kHitYellow = 0xFFF0F000u;   // 0x00F0F0
constexpr uint32_t kHitGreen = 0xFF00F000u;    // 0x00F000
constexpr uint32_t kHitCyan = 0xFF00F0F0u;     // 0xF0F000
constexpr uint32_t kHitBlue = 0xFF0000F0u;     // 0xF00000
constexpr uint32_t kHitMagenta = 0xFFF000F0u;  // 0xF000F0

// Where the screens' buttons are: start-menu button b (1-6) at (80, 260 +
// 50 (b - 1)), 200 x 40; tab i (0-4) at (762, 160 + 56 i), 38 x 50; the title
// button at (275, 550), 250 x 40. Centres for clicking:
inline int MenuButtonY(int b) { return 280 + 50 * (b - 1); }
constexpr int kMenuButtonX = 180;
inline int TabY(int i) { return 185 + 56 * i; }
constexpr int kTabX = 780;
constexpr int kTitleButtonX = 400;
constexpr int kTitleButtonY = 570;

// Every picture the three screens load, small and flat, and their hit-test
// pictures; no message box is shown for a missing one.
inline void WriteScreenPictures(const ScreenFolder& f)
{
    const std::string chip = f.Path("chip/");
    ASSERT_TRUE(WriteFlatPng(chip + "start_back.png", 8, 8, 0xFF000000u));
    for (const char* b : {"start", "load", "cg", "replay", "music", "exit"}) {
        ASSERT_TRUE(WriteFlatPng(chip + "start_" + b + "_l.png", 200, 40, 0xFFFFFF00u, true));
        ASSERT_TRUE(WriteFlatPng(chip + "start_" + b + "_d.png", 200, 40, 0xFF404040u, true));
    }
    ASSERT_TRUE(WriteFlatPng(chip + "start_a.png", 800, 600, 0x00000000u, true));
    for (int i = 1; i <= 4; ++i)  // star 3 is 3 x 3, star 4 is 5 x 5: the draws tell them apart
        ASSERT_TRUE(WriteFlatPng(chip + "start_star" + std::to_string(i) + ".png", i + (i == 4), i + (i == 4),
                                 0xFFFFFFFFu, true));
    WriteHitPicture(chip + "start_hittest.png", {{80, 260, 200, 40, kHitRed},
                                                 {80, 310, 200, 40, kHitYellow},
                                                 {80, 360, 200, 40, kHitGreen},
                                                 {80, 410, 200, 40, kHitCyan},
                                                 {80, 510, 200, 40, kHitMagenta}});
    ASSERT_TRUE(WriteFlatPng(chip + "cgreplay_back.png", 800, 600, 0xFF101030u));
    for (int i = 1; i <= 5; ++i) {
        ASSERT_TRUE(WriteFlatPng(chip + "cgreplay_" + std::to_string(i) + "d.png", 38, 50, 0xFF303030u, true));
        ASSERT_TRUE(WriteFlatPng(chip + "cgreplay_" + std::to_string(i) + "l.png", 38, 50, 0xFFF0C040u, true));
    }
    WriteHitPicture(chip + "cgreplay_hittest.png", {{762, 160, 38, 50, kHitRed},
                                                    {762, 216, 38, 50, kHitYellow},
                                                    {762, 272, 38, 50, kHitGreen},
                                                    {762, 328, 38, 50, kHitCyan},
                                                    {762, 384, 38, 50, kHitBlue},
                                                    {275, 550, 250, 40, kHitMagenta},
                                                    {0, 0, 10, 10, 0xFFF08000u}});  // a colour that is no button
    for (const char* name : {"cg_title.png", "replay_title.png"})
        ASSERT_TRUE(WriteFlatPng(chip + name, 250, 40, 0xFF808080u, true));
    ASSERT_TRUE(WriteFlatPng(chip + "cg_notseen.png", 110, 80, 0xFF202020u));
    ASSERT_TRUE(WriteFlatPng(chip + "cg_bignotseen.png", 800, 600, 0xFF202020u));
    ASSERT_TRUE(WriteFlatPng(chip + "replay_notseen.png", 220, 160, 0xFF202020u));
    for (int i = 0; i <= 10; ++i)  // digits 10 wide, the slash 6 wide
        ASSERT_TRUE(WriteFlatPng(chip + "num_" + (i < 10 ? std::to_string(i) : std::string("s")) + ".png",
                                 i < 10 ? 10 : 6, 14, 0xFFFFFFFFu, true));
    FlushFileLayerCache();
}

// Runs the start-up until the movies have ended (the test folders have none).
inline void StartPastMovies(CGame& game)
{
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(RunUntil(game, [&] { return game.movie == nullptr; }, 10)) << "the missing movies end at once";
}

// Pumps what was pushed, then runs one frame: that frame's screen sees it.
inline bool FrameWith(CGame& game)
{
    game.app->PumpMessages();
    return game.Frame();
}

// The pointer to client (x, y) and one frame.
inline bool MoveTo(CGame& game, int x, int y)
{
    platform::testing::PushMouseMotion(x, y + platform::kMenuBarHeight);
    return FrameWith(game);
}

// The pointer to client (x, y) and a press of the button (1 left, 3 right)
// there in one frame, then the release in a second frame (a release and a
// new press taken by one pump would not read as a new press).
inline bool ClickAt(CGame& game, int x, int y, int button = 1)
{
    platform::testing::PushMouseMotion(x, y + platform::kMenuBarHeight);
    platform::testing::PushMouseButton(button, true, x, y + platform::kMenuBarHeight);
    if (!FrameWith(game))
        return false;
    platform::testing::PushMouseButton(button, false, x, y + platform::kMenuBarHeight);
    return FrameWith(game);
}

// The pointer onto (x, y) for one frame (a screen lights what is there),
// then a left click there: the way a player presses a screen's button.
inline bool PressButton(CGame& game, int x, int y)
{
    return MoveTo(game, x, y) && ClickAt(game, x, y);
}

// A second of silence as 8-bit mono PCM.
inline void WriteWave(const std::string& path)
{
    const uint32_t rate = 8000, bytes = rate;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate);
    u16(1);
    u16(8);
    out.write("data", 4);
    u32(bytes);
    out << std::string(bytes, '\x80');
}

}  // namespace game_test
