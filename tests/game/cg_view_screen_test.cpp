// The CG gallery: "cg\thumbgroup.txt", tabs and pages for many groups, the
// page shown agreeing with the lit tab, the seen/total counts, and the
// thumbnails and viewer driven by clicks through the frame loop, without
// counting anything they show as seen.
#include "game/CGViewScreen.h"

#include <gtest/gtest.h>

#include <fstream>

#include "ScreenTestSupport.h"
#include "game/StartMenuScreen.h"
#include "game/SystemData.h"
#include "game/ScreenTextFiles.h"

namespace {

using namespace game_test;
using Groups = std::vector<std::vector<std::string>>;

void WriteText(const ScreenFolder& f, const std::string& name, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(f.Path(name)).parent_path());
    std::ofstream(f.Path(name), std::ios::binary) << text;
    FlushFileLayerCache();
}

// n groups of one name each, "g0.png" ... (none of them seen).
std::string ManyGroups(int n)
{
    std::string text;
    for (int i = 0; i < n; ++i) {
        // Appended piece by piece: GCC 12 misreads "g" + std::string as an
        // overlapping copy at -O3 (-Wrestrict).
        text += 'g';
        text += std::to_string(i);
        text += ".png\r\n";
    }
    return text;
}

TEST(CGViewScreen, thumbgroup_lines_split_on_single_spaces)
{
    EXPECT_EQ(ParseThumbGroups("a.png b.png\r\n\r\nc.png  d.png\r\ne.png"),
              (Groups{{"a.png", "b.png"}, {""}, {"c.png", "", "d.png"}, {"e.png"}}))
        << "two spaces give an empty name, an empty line a group of one empty name";
    EXPECT_EQ(ParseThumbGroups("a.png\r\nb.png\r\n"), (Groups{{"a.png"}, {"b.png"}}))
        << "the last line's CR LF does not start another group";
    EXPECT_EQ(ParseThumbGroups("a.png\nb.png"), (Groups{{"a.png"}, {"b.png"}})) << "a bare LF ends a line too";
    EXPECT_EQ(ParseThumbGroups(" x\r"), (Groups{{"", "x\r"}})) << "no trimming";
    EXPECT_TRUE(ParseThumbGroups("").empty());
}

TEST(CGViewScreen, one_tab_per_25_groups_up_to_five)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    const struct {
        int groups, tabs;
    } cases[] = {{0, 0}, {1, 1}, {25, 1}, {26, 2}, {125, 5}, {130, 5}};
    for (const auto& c : cases) {
        WriteText(f, "cg/thumbgroup.txt", ManyGroups(c.groups));
        CCGViewScreen gallery;
        EXPECT_EQ(gallery.ItemCount(), c.tabs) << c.groups << " groups";
        EXPECT_EQ(gallery.ThumbnailCount(), std::min(c.groups, 25)) << c.groups << " groups";
        EXPECT_EQ(gallery.TotalCount(), c.groups);
        gallery.SelectItem(4);
        if (c.groups >= 125) {
            EXPECT_EQ(gallery.ThumbnailCount(), 25) << "the fifth page holds groups 100-124; 125 on are never shown";
        }
    }
    EXPECT_TRUE(f.boxes.texts.empty()) << "unseen groups show the placeholder, which exists";
}

TEST(CGViewScreen, the_page_shown_is_always_the_lit_tab)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    WriteText(f, "cg/thumbgroup.txt", ManyGroups(30));
    CCGViewScreen gallery;
    gallery.SelectItem(1);
    EXPECT_EQ(gallery.SelectedItem(), 1);
    EXPECT_EQ(gallery.ThumbnailCount(), 5) << "page 2 holds groups 25-29";
    gallery.SelectItem(3);
    EXPECT_EQ(gallery.SelectedItem(), 1) << "a tab beyond the last page leaves the lit tab";
    EXPECT_EQ(gallery.ThumbnailCount(), 5) << "and the page shown stays the lit one, not an empty page";
    gallery.OnLeftClick(0x0080F0);  // a colour that is no button selects item -1, clamped to 0
    EXPECT_EQ(gallery.SelectedItem(), 0);
    EXPECT_EQ(gallery.ThumbnailCount(), 25) << "tab 1 lit shows page 1";
    EXPECT_EQ(gallery.SlideTime(), CCGReplayBase::kSlideStart) << "a selection restarts the tabs' slide";
}

TEST(CGViewScreen, counter_counts_names_and_omake_sees_everything)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    WriteText(f, "cg/thumbgroup.txt", "a.png b.png\r\nA.PNG\r\nc.png\r\n");
    gSeenPictures = {"a.png"};
    {
        CCGViewScreen gallery;
        EXPECT_EQ(gallery.SeenCount(), 2) << "a name counts once for every place it stands, compared lower-cased";
        EXPECT_EQ(gallery.TotalCount(), 4);
        EXPECT_EQ(gallery.IsGroupSeen(0), 1);
        EXPECT_EQ(gallery.IsGroupSeen(2), 0);
        EXPECT_EQ(gallery.IsGroupSeen(3), 0) << "past the last group";
    }
    gConfig.omake1 = 1;
    {
        CCGViewScreen gallery;
        EXPECT_EQ(gallery.SeenCount(), gallery.TotalCount()) << "with omake1 every picture counts as seen";
        EXPECT_EQ(gallery.IsGroupSeen(2), 1);
    }
    gConfig.omake1 = 0;
    gSeenPictures.clear();
}

TEST(CGViewScreen, thumbnails_open_the_viewer_and_clicks_page_through_it)
{
    ScreenFolder f;
    WriteScreenPictures(f);
    // Group 0: x unseen, y seen, so its real thumbnail shows and it opens.
    // Group 1: z unseen.
    WriteText(f, "cg/thumbgroup.txt", "x.png y.png\r\nz.png\r\n");
    ASSERT_TRUE(WriteFlatPng(f.Path("cg/x.png"), 110, 80, 0xFFFF0000u));
    ASSERT_TRUE(WriteFlatPng(f.Path("picture/x.png"), 800, 600, 0xFF0000FFu));
    ASSERT_TRUE(WriteFlatPng(f.Path("picture/y.png"), 800, 600, 0xFF00FF00u));
    FlushFileLayerCache();
    gSeenPictures = {"y.png"};
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        game.OpenScreen(4);
        auto* gallery = dynamic_cast<CCGViewScreen*>(game.screen);
        ASSERT_NE(gallery, nullptr);
        CFastPlane* back = game.display.GetBackPlane();
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(FrameWith(game));
        EXPECT_TRUE(Near(back->GetPixel(150, 100), {255, 0, 0}, 8))
            << "group 0 shows its first picture's thumbnail though only its second was seen";
        EXPECT_TRUE(Near(back->GetPixel(270, 100), {32, 32, 32}, 8)) << "group 1 shows the placeholder";

        ASSERT_TRUE(ClickAt(game, 150, 100, 3));
        EXPECT_EQ(gallery->ViewedGroup(), -1) << "a right click in the page view does nothing";
        ASSERT_TRUE(ClickAt(game, 270, 100));
        EXPECT_EQ(gallery->ViewedGroup(), -1) << "an unseen group does not open";
        ASSERT_TRUE(ClickAt(game, 150, 100));
        EXPECT_EQ(gallery->ViewedGroup(), 0);
        EXPECT_TRUE(Near(back->GetPixel(600, 450), {32, 32, 32}, 8)) << "the unseen first picture shows as not seen";
        ASSERT_TRUE(ClickAt(game, 400, 300, 3));
        EXPECT_EQ(gallery->ViewedPicture(), 1) << "a right click in the viewer advances";
        EXPECT_TRUE(Near(back->GetPixel(600, 450), {0, 255, 0}, 8)) << "the seen picture in full";
        ASSERT_TRUE(ClickAt(game, 400, 300));
        EXPECT_EQ(gallery->ViewedGroup(), -1) << "a click after the last picture closes the viewer";

        EXPECT_EQ(gSeenPictures.count("x.png") + gSeenPictures.count("z.png"), 0u)
            << "showing thumbnails and pictures in the gallery must not count them as seen";

        game.executor.sceneReplay = 1;
        ASSERT_TRUE(PressButton(game, kTitleButtonX, kTitleButtonY));
        EXPECT_NE(dynamic_cast<CStartMenuScreen*>(game.screen), nullptr) << "the title button returns to the menu";
        EXPECT_EQ(game.executor.sceneReplay, 0);
        game.Finish();
    });
    app.Run();
    gSeenPictures.clear();
    EXPECT_TRUE(f.boxes.texts.empty()) << (f.boxes.texts.empty() ? "" : f.boxes.texts[0]);
}

}  // namespace
