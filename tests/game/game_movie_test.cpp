// Movies through the game object: a scenario movie (the generated
// tests/data/movie/colours.mpg: red, green, blue, white for 400 ms each)
// plays over the scene on the movie clock, then the frame loop returns to
// the scenario; a key skips it.
#include <gtest/gtest.h>

#include <filesystem>

#include "GameRig.h"
#include "display/FastPlane.h"
#include "frame/FileLayer.h"
#include "support/ManualClock.h"
#include "platform/EventInjection.h"

namespace {

using namespace game_test;

struct MovieFolder {
    MovieFolder()
    {
        TestSettings("test.nsd");
        WriteChipPictures(folder);
        std::filesystem::create_directories(folder.path() + "/movie");
        const char* data = std::getenv("LANTERN_TEST_DATA");
        std::filesystem::copy_file(std::string(data ? data : "tests/data") + "/movie/colours.mpg",
                                   folder.path() + "/movie/scene.mpg");
        FlushFileLayerCache();
        WriteScenario(folder, "test", "waitclick 0\nend\n");
    }
    GameFolder folder;
};

// Runs the start sequence (the logo and opening movies are missing here)
// into the scenario.
void StartIntoScenario(TestGame& game)
{
    ASSERT_TRUE(game.Start());
    ASSERT_TRUE(game.Frame());
    ASSERT_TRUE(game.Frame());
    ASSERT_EQ(game.movie, nullptr) << "the missing start movies end at once";
    ASSERT_EQ(game.executor.scenarioName(), "test.nsd");
}

TEST(GameMovie, scenario_movie_plays_over_the_screen_then_the_scenario_goes_on)
{
    ManualClock clock;
    MovieFolder f;
    GameApp app([&](TestGame& game) {
        StartIntoScenario(game);
        game.PlayMovie("movie\\scene.mpg", CGame::kMovieScenario);
        ASSERT_NE(game.movie, nullptr);
        ASSERT_TRUE(game.movie->IsPlaying()) << "the scenario's movie opened and started";
        const uint32_t start = ManualClock::now;
        CFastPlane* back = game.display.GetBackPlane();
        struct Check {
            int ms;
            Rgb colour;
        };
        for (Check c : {Check{100, {255, 0, 0}}, Check{500, {0, 255, 0}}, Check{900, {0, 0, 255}}}) {
            ManualClock::now = start + static_cast<uint32_t>(c.ms);
            ASSERT_TRUE(game.Frame());
            ASSERT_NE(game.movie, nullptr) << "the movie still plays at " << c.ms << " ms";
            // The 64 x 48 movie is stretched over the whole 800 x 600 screen.
            for (auto [x, y] : {std::pair{5, 5}, std::pair{400, 300}, std::pair{795, 595}}) {
                EXPECT_TRUE(Near(back->GetPixel(x, y), c.colour, 30))
                    << "at " << c.ms << " ms the movie frame must cover (" << x << ", " << y << ")";
            }
        }
        ManualClock::now = start + 2000;
        ASSERT_TRUE(game.Frame());
        EXPECT_EQ(game.movie, nullptr) << "an ended movie is released at the next frame";
        ASSERT_TRUE(game.Frame());
        EXPECT_EQ(game.executor.scenarioName(), "test.nsd") << "the scenario goes on after the movie";
        EXPECT_FALSE(game.executor.failed()) << game.executor.lastError();
    });
    app.Run();
}

TEST(GameMovie, space_skips_a_playing_movie)
{
    ManualClock clock;
    MovieFolder f;
    GameApp app([&](TestGame& game) {
        StartIntoScenario(game);
        game.PlayMovie("movie\\scene.mpg", CGame::kMovieScenario);
        ASSERT_TRUE(game.Frame());
        ASSERT_NE(game.movie, nullptr) << "the movie plays while no key is pressed";
        platform::testing::PushKey(platform::Key::Space, true);
        game.Frame();  // the pump at this frame's end takes the key
        game.Frame();  // this frame sees it down
        EXPECT_EQ(game.movie, nullptr) << "Space skips the movie";
        platform::testing::PushKey(platform::Key::Space, false);
        game.Frame();
        EXPECT_EQ(game.executor.fastForward, 0) << "the key that skipped must not run on as skip mode";
    });
    app.Run();
}

}  // namespace
