#pragma once
// A game folder with generated pictures and assembled scenarios, and an
// application whose main routine builds the game object and hands it to the
// test, which drives the frame loop one frame at a time.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "GameTestFolder.h"
#include "GameTestPlanes.h"
#include "MessageWindowSettings.h"
#include "frame/CApp.h"
#include "game/Game.h"
#include "game/GameConfig.h"
#include "game/ScreenSlot.h"
#include "scenario/AssembleFiles.h"

namespace game_test {

// Counts the frame waits instead of sleeping, so that a test runs at once
// and can tell paced frames from unpaced ones.
class TestGame : public CGame {
public:
    // Without screens, as a game whose start menu cannot be made: the
    // movies lead straight into "scnstart". UseScreens() brings them back.
    TestGame() { SetGameScreenFactory([](int) -> CGameScreen* { return nullptr; }); }
    ~TestGame() override { SetGameScreenFactory(nullptr); }
    void UseScreens() { SetGameScreenFactory(nullptr); }

    int waits = 0;
    bool paced = false;  // true: really wait, for scenarios that wait in milliseconds

protected:
    void WaitForFrame() override
    {
        ++waits;
        if (paced)
            CGame::WaitForFrame();
    }
};

class GameApp : public CApp {
public:
    explicit GameApp(std::function<void(TestGame&)> body) : body_(std::move(body)) {}
    int Main() override
    {
        TestGame game;
        game.app = this;
        body_(game);
        return 0;
    }

private:
    std::function<void(TestGame&)> body_;
};

// Settings for a test game: 800 x 600, pictures at their own size, ten
// frames per transition, a flash of 2 + 2 frames, no window-mode command.
inline void TestSettings(const std::string& scnstart)
{
    gConfig.width = 800;
    gConfig.height = 600;
    gConfig.basewidth = 800;
    gConfig.baseDir = ".\\";
    gConfig.scnstart = scnstart;
    gConfig.defaultAnimationFrames = 10;
    gConfig.beforeAnimationLength = 2;
    gConfig.afterAnimationLength = 2;
    gConfig.mouseGuardTime = 0;
    gConfig.windowmode = -1;
    gConfig.WaitMouse = 1000;
    gConfig.Wait = 1000;
    gConfig.userini = "user.ini";
    gConfig.xpos10 = gConfig.xpos11 = gConfig.xpos12 = gConfig.xpos13 = gConfig.xpos14 = gConfig.xpos15 = -1;
    // The message window's pictures (WriteChipPictures makes them) and sizes.
    MessageWindowSettings{}.Apply();
}

// Writes the source as scenario\<name>.nsd in the folder.
inline void WriteScenario(GameFolder& folder, const std::string& name, const std::string& source)
{
    const std::string path = folder.path() + "/" + name + ".nss";
    std::ofstream(path) << source;
    std::string errors;
    ASSERT_TRUE(scenario::AssembleFiles({path}, folder.path() + "/scenario", &errors))
        << "the test scenario must assemble: " << errors;
    FlushFileLayerCache();
}

// The pictures every test game has: the cursor and the placeholder.
inline void WriteChipPictures(GameFolder& folder)
{
    std::vector<uint32_t> cursor(16 * 16, 0x00000000u);
    for (int i = 0; i < 16; ++i)
        cursor[static_cast<size_t>(i) * 16 + i] = 0xFFFFFFFFu;
    ASSERT_TRUE(WritePng(folder.path() + "/chip/cursor.png", 16, 16, cursor, true));
    ASSERT_TRUE(WriteFlatPng(folder.path() + "/chip/tofu.png", 32, 32, 0xFFFF00FFu));
    ASSERT_TRUE(WriteFlatPng(folder.path() + "/chip/frame.png", 760, 160, 0xC0202040u, true));
    ASSERT_TRUE(WriteFlatPng(folder.path() + "/chip/frameback.png", 760, 160, 0x80000000u, true));
    ASSERT_TRUE(WriteFlatPng(folder.path() + "/chip/ff.png", 60, 20, 0xFF808080u));
    ASSERT_TRUE(WriteFlatPng(folder.path() + "/chip/marker.png", 12, 12, 0xFFFFFFFFu, true));
}

// Runs frames until pred holds (at most limit frames); false if it never did
// or the loop ended first.
inline bool RunUntil(CGame& game, const std::function<bool()>& pred, int limit = 200)
{
    for (int i = 0; i < limit; ++i) {
        if (pred())
            return true;
        if (!game.Frame())
            return pred();
    }
    return pred();
}

// Channel values of a 0x00BBGGRR pixel.
struct Rgb {
    int r, g, b;
};
inline Rgb FromBgr(uint32_t p)
{
    return {static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>((p >> 16) & 0xFF)};
}
// Within tolerance per channel (16-bit modes lose the low bits).
inline ::testing::AssertionResult Near(uint32_t bgr, Rgb want, int tolerance)
{
    const Rgb got = FromBgr(bgr);
    if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
        std::abs(got.b - want.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << got.r << ", " << got.g << ", " << got.b << ") but expected ("
                                         << want.r << ", " << want.g << ", " << want.b << ") within " << tolerance;
}

}  // namespace game_test
