#pragma once
// Driving full-window screens through the real frame loop: the pointer moves
// and buttons are pressed by SDL events, taken by the application's pump, and
// the next CGame::Frame gives them to the open screen.
#include <gtest/gtest.h>

#include "GameRig.h"
#include "platform/EventInjection.h"
#include "platform/WindowMessages.h"

namespace game_test {

// A game folder whose scenario waits for a click, with the chip pictures.
struct ScreenFolder {
    ScreenFolder()
    {
        TestSettings("test.nsd");
        WriteChipPictures(folder);
        WriteScenario(folder, "test", "waitclick 0\nend\n");
    }
    GameFolder folder;
    std::string Path(const std::string& name) const { return folder.path() + "/" + name; }
};

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

}  // namespace game_test
