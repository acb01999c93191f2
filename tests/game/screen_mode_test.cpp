// Screen-mode changes and their fall-backs, on a stand-in display that
// refuses chosen depths and on the display manager itself.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "display/FastDraw.h"
#include "display/FastPlane.h"
#include "game/ScreenMode.h"

namespace {

// Refuses full screen at the depths in `refused` (and the window when asked).
struct FakeDisplay {
    std::set<int> refused;
    bool refuseWindow = false;
    bool pending = false;
    bool full = false;
    int bits = 32;
    std::vector<ScreenModeAttempt> tried;

    void BeginChangeDisplay() { pending = true; }
    int TestDisplayMode(int, int, bool fullScreen, int depth)
    {
        if (!pending)
            return 0;
        tried.push_back({fullScreen, depth});
        if ((fullScreen && refused.count(depth)) || (!fullScreen && refuseWindow))
            return 1;
        full = fullScreen;
        bits = fullScreen ? depth : 32;
        pending = false;
        return 0;
    }
    void EndChangeDisplay() { pending = false; }
    bool IsFullScreen() const { return full; }
    int GetScreenBitsPerPixel() const { return bits; }
};

TEST(ScreenMode, refused_depths_fall_back_deeper_then_to_the_window)
{
    FakeDisplay display;
    display.refused = {16};
    EXPECT_EQ(ChangeScreenMode(display, 800, 600, 16), 24) << "16 refused: 24 is next";
    ASSERT_EQ(display.tried.size(), 2u) << "attempts stop at the first that works";

    display = FakeDisplay{};
    display.refused = {24, 32};
    EXPECT_EQ(ChangeScreenMode(display, 800, 600, 24), 0) << "24 and 32 refused: the window";
    EXPECT_FALSE(display.IsFullScreen());
    ASSERT_EQ(display.tried.size(), 3u);
    EXPECT_FALSE(display.tried[2].fullScreen);

    display = FakeDisplay{};
    display.refused = {32};
    EXPECT_EQ(ChangeScreenMode(display, 800, 600, 32), 0) << "32 never falls back to a shallower depth";
    EXPECT_EQ(display.tried.size(), 2u);

    display = FakeDisplay{};
    EXPECT_EQ(ChangeScreenMode(display, 800, 600, 8), 16) << "an unknown depth is taken as 16";
    display = FakeDisplay{};
    display.full = true;
    EXPECT_EQ(ChangeScreenMode(display, 800, 600, 0), 0) << "mode 0 is the window";
    EXPECT_EQ(display.tried.size(), 1u);
}

TEST(ScreenMode, display_manager_switches_and_planes_keep_their_pictures)
{
    CFastDraw display;
    ASSERT_EQ(display.SetDisplayMode(64, 48, 16), 0);
    CFastPlane picture;
    ASSERT_EQ(picture.Create(8, 8), 0);
    picture.Clear(0x00FF8040u, nullptr);   // 0x00RRGGBB
    const uint32_t before = picture.GetPixel(2, 2);

    EXPECT_EQ(ChangeScreenMode(display, 64, 48, 24), 24);
    EXPECT_EQ(display.GetScreenBitsPerPixel(), 24);
    EXPECT_EQ(picture.GetPixel(2, 2), before) << "a plane must survive the switch to 24 bits";
    EXPECT_EQ(ChangeScreenMode(display, 64, 48, 32), 32);
    EXPECT_EQ(picture.GetPixel(2, 2), before) << "a plane must survive the switch to 32 bits";
    EXPECT_EQ(ChangeScreenMode(display, 64, 48, 0), 0);
    EXPECT_FALSE(display.IsFullScreen());
    EXPECT_NE(display.GetBackPlane(), nullptr) << "the window always has a back buffer";
    EXPECT_EQ(picture.GetPixel(2, 2), before);
}

}  // namespace
