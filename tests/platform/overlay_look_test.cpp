// The overlay's frame on a present that sends only the changed parts: it
// runs every time, but the strip is drawn again only when it looks different.
#include <gtest/gtest.h>

#include <memory>

#include "platform/Menu.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"
#include "platform/sdl/Overlay.h"

namespace {

TEST(OverlayLook, a_still_overlay_is_not_drawn_again_and_any_change_or_clear_draws_it)
{
    platform::MainWindowDesc desc;
    desc.caption = "overlay";
    if (platform::CreateMainWindow(desc, [](platform::WindowHandle, uint32_t, platform::WParam, platform::LParam) {
            return intptr_t{0};
        }) == nullptr) {
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

}  // namespace
