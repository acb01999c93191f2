// The overlay's frame on a present that sends only the changed parts: it
// runs every time, but the strip is drawn again only when it looks different.
#include <gtest/gtest.h>

#include <memory>

#include "platform/Menu.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"
#include "platform/sdl/Overlay.h"
#include "platform/sdl/OverlayPlaces.h"

namespace {

// A main window with a menu strip and a window procedure that does nothing.
bool MakeWindow()
{
    platform::MainWindowDesc desc;
    desc.caption = "overlay";
    return platform::CreateMainWindow(desc, [](platform::WindowHandle, uint32_t, platform::WParam, platform::LParam) {
               return intptr_t{0};
           }) != nullptr;
}

TEST(OverlayLook, a_still_overlay_is_not_drawn_again_and_any_change_or_clear_draws_it)
{
    if (!MakeWindow()) {
        GTEST_SKIP() << "no video driver can make a window here";
    }
    auto bar = std::make_unique<platform::Menu>();
    bar->AppendSubmenu("ファイル(&F)")->AppendItem("ゲーム終了(&X)...", 40001);
    bar->AppendSubmenu("設定(&H)")->AppendItem("オプション(&O)...", 65535);
    platform::Menu* menu = bar.get();
    platform::SetWindowMenu(std::move(bar));
    int drawn = 0;
    const auto draw = [&drawn] { return platform::sdl::DrawOverlayIfChanged([&drawn] { ++drawn; }); };
    EXPECT_TRUE(draw()) << "the new bar must be drawn";
    EXPECT_EQ(drawn, 1) << "with what goes under it first";
    EXPECT_FALSE(draw()) << "the same bar again is not drawn";
    EXPECT_FALSE(draw());
    EXPECT_EQ(drawn, 1);
    // A title greyed by the program, with no input and no call to redraw the bar.
    ASSERT_TRUE(menu->EnableItemAt(1, false));
    EXPECT_TRUE(draw()) << "a greyed title looks different";
    EXPECT_FALSE(draw());
    platform::sdl::OverlayCleared();
    EXPECT_TRUE(draw()) << "a cleared window needs the bar again";
    platform::sdl::DrawOverlay();
    EXPECT_FALSE(draw()) << "a whole draw of the same bar counts as drawn";
    platform::SetWindowMenu(nullptr);
    EXPECT_TRUE(draw()) << "no bar at all looks different";
    platform::DestroyMainWindow();
}

TEST(OverlayPlaces, touching_places_merge_into_their_bounds_and_apart_ones_stay)
{
    using platform::sdl::WindowRect;
    std::vector<WindowRect> places{{0, 0, 10, 10}, {50, 50, 5, 5}, {10, 0, 10, 10}, {15, 8, 10, 10}};
    platform::sdl::MergeTouching(&places);
    ASSERT_EQ(places.size(), 2u) << "the three that touch in a chain become one";
    EXPECT_EQ(places[0].x, 0);
    EXPECT_EQ(places[0].y, 0);
    EXPECT_EQ(places[0].w, 25);
    EXPECT_EQ(places[0].h, 18);
    EXPECT_EQ(places[1].x, 50) << "a place apart from the others stays as it is";
    EXPECT_EQ(places[1].w, 5);
}

TEST(OverlayPlaces, the_keeper_hears_where_the_bar_draws_before_it_draws)
{
    if (!MakeWindow()) {
        GTEST_SKIP() << "no video driver can make a window here";
    }
    auto bar = std::make_unique<platform::Menu>();
    bar->AppendSubmenu("ファイル(&F)")->AppendItem("ゲーム終了(&X)...", 40001);
    platform::SetWindowMenu(std::move(bar));
    std::vector<platform::sdl::WindowRect> heard;
    int calls = 0;
    platform::sdl::SetOverlayUnderKeeper([&](const std::vector<platform::sdl::WindowRect>& places) {
        heard = places;
        ++calls;
    });
    platform::sdl::DrawOverlay();
    EXPECT_EQ(calls, 1) << "every drawing of the overlay is announced";
    ASSERT_FALSE(heard.empty()) << "the bar draws somewhere";
    for (const auto& place : heard) {
        EXPECT_GE(place.y, 0);
        EXPECT_LE(place.y + place.h, platform::kMenuBarHeight) << "the bar alone keeps to its strip";
    }
    EXPECT_FALSE(platform::sdl::DrawOverlayIfChanged(nullptr));
    EXPECT_EQ(calls, 1) << "an overlay not drawn again keeps nothing";
    platform::sdl::SetOverlayUnderKeeper(nullptr);
    platform::SetWindowMenu(nullptr);
    platform::DestroyMainWindow();
}

}  // namespace
