// The game's application object: its main window's descriptor.
#include <gtest/gtest.h>

#include "game/GameApp.h"
#include "game/GameConfig.h"

namespace {

TEST(GameApp, window_takes_caption_and_size_from_the_settings)
{
    gConfig.VersionString = "caption";
    gConfig.width = 800;
    gConfig.height = 600;
    CGameApp app;
    WindowDesc desc;
    EXPECT_EQ(app.InitWindowDesc(&desc), 0);
    EXPECT_EQ(desc.caption, "caption");
    EXPECT_EQ(desc.className, "APPLICATION");
    EXPECT_EQ(desc.width, 800);
    EXPECT_EQ(desc.height, 600);
    EXPECT_EQ(desc.style, 0x00CA0000u) << "caption, system menu and minimise box; no sizing";
}

}  // namespace
