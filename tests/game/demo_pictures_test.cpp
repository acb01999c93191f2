// The demo game's pictures tour in a window: the demo's scenarios assembled,
// its pictures made by tools/demopictures, and what the window shows (read
// back from the presented frame) compared with the pictures' own formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "GameRig.h"
#include "platform/EventInjection.h"
#include "platform/Video.h"
#include "platform/Window.h"

namespace {

namespace fs = std::filesystem;
using namespace game_test;

// The client area as presented, pixel (x, y) as 0x00RRGGBB.
uint32_t Shown(CGame& game, int x, int y)
{
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!game.display.Output()->ReadClientArea(&pixels, &w, &h) || x >= w || y >= h)
        return 0xFFFFFFFFu;
    return pixels[static_cast<size_t>(y) * w + x];
}

::testing::AssertionResult NearRgb(uint32_t rgb, int r, int g, int b, int tol)
{
    return Near(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF), {r, g, b}, tol);
}

TEST(DemoPictures, start_scenario_plays_the_tour_with_transitions_quake_and_flash_in_the_window)
{
    GameFolder folder;
    const char* build = std::getenv("LANTERN_BUILD_DIR");
    ASSERT_NE(build, nullptr) << "LANTERN_BUILD_DIR must name the build folder (ctest sets it)";
    const std::string tool = std::string(build) + "/tools/demopictures";
    ASSERT_TRUE(fs::exists(tool)) << "the demo picture generator must be built: " << tool;
    ASSERT_EQ(std::system((tool + " " + folder.path()).c_str()), 0) << "demopictures must make the pictures";
    std::vector<std::string> sources;
    for (const auto& entry : fs::directory_iterator(RepoFolder() / "demo" / "scenario"))
        if (entry.path().extension() == ".nss")
            sources.push_back(entry.path().string());
    std::string errors;
    ASSERT_TRUE(scenario::AssembleFiles(sources, folder.path() + "/scenario", &errors)) << errors;
    fs::copy_file(RepoFolder() / "demo" / "scenario" / "brask.ini", folder.path() + "/scenario/brask.ini");
    FlushFileLayerCache();
    ASSERT_EQ(LoadConfig("scenario\\brask.ini"), 0) << "the demo's settings must load";
    gConfig.width = 800;
    gConfig.height = 600;
    gConfig.baseDir = ".\\";
    EXPECT_EQ(gConfig.scnstart, "start.nsd") << "the demo starts with its start scenario, which calls the tour";
    gConfig.windowmode = -1;
    MessageBoxCatcher boxes;

    GameApp app([&](TestGame& game) {
        game.paced = true;
        ASSERT_TRUE(game.Start());
        platform::testing::PushMouseMotion(790, 590 + platform::kMenuBarHeight);
        for (int i = 0; i < 30; ++i)
            ASSERT_TRUE(game.Frame()) << game.executor.lastError();
        // The room's gradient at (700, 300): t = 300 / 599, no band there.
        const double t = 300.0 / 599.0;
        EXPECT_TRUE(NearRgb(Shown(game, 700, 300), static_cast<int>(90 + 110 * t), static_cast<int>(60 + 100 * t),
                            static_cast<int>(40 + 70 * t), 8))
            << "after its transition the window shows the room";
        // Mio comes in on column "xpos10" (160) once the first wait is over (1 s).
        ASSERT_TRUE(RunUntil(game, [&] { return NearRgb(Shown(game, 160, 300), 200, 80, 110, 8); }, 120))
            << "the sprite with alpha must appear over the room";
        // Its soft edge: 115 pixels right of its middle the body (half-width 120) is partly transparent.
        const uint32_t edge = Shown(game, 160 + 115, 380);
        EXPECT_FALSE(NearRgb(edge, 200, 80, 110, 8)) << "the sprite's edge blends with the room";
        EXPECT_EQ(game.executor.scenarioName(), "pictures.nsd");
        EXPECT_EQ(game.executor.callDepth(), 1u) << "the start scenario far-calls the tour";

        // The quake: the presented picture moves, so a strip along some edge
        // shows the black outside the back buffer in at least one frame.
        ASSERT_TRUE(RunUntil(game, [&] { return game.drawQueue.Quake().GetState() == CScreenQuake::kQuake; }, 200))
            << "the tour must reach its quake";
        int moved = 0;
        while (game.drawQueue.Quake().GetState() == CScreenQuake::kQuake) {
            ASSERT_TRUE(game.Frame());
            for (auto [x, y] : {std::pair{0, 300}, {799, 300}, {400, 0}, {400, 599}})
                moved += Shown(game, x, y) == 0 ? 1 : 0;
        }
        EXPECT_GT(moved, 0) << "the quake must shake the presented picture";

        // The flash brightens the frozen picture towards its warm white.
        ASSERT_TRUE(RunUntil(game, [&] { return game.drawQueue.Quake().GetState() == CScreenQuake::kFlash; }, 200))
            << "the tour must reach its flash";
        int brightest = 0;
        while (game.drawQueue.Quake().GetState() == CScreenQuake::kFlash) {
            ASSERT_TRUE(game.Frame());
            const uint32_t c = Shown(game, 400, 300);
            brightest = std::max(brightest, static_cast<int>((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF)));
        }
        EXPECT_GE(brightest, 255 + 240 + 192 - 3 * 8) << "at its height the flash adds its colour, saturating";

        // The pan and the last pictures, then back into the start scenario.
        ASSERT_TRUE(RunUntil(game, [&] { return game.executor.scenarioName() == "start.nsd"; }, 400))
            << "the tour must return to the start scenario: " << game.executor.lastError();
        EXPECT_FALSE(game.executor.failed()) << game.executor.lastError();
        game.Finish();
    });
    app.Run();
    EXPECT_TRUE(boxes.texts.empty()) << "every picture the demo names must exist: "
                                     << (boxes.texts.empty() ? "" : boxes.texts[0]);
}

}  // namespace
