// The picture loader: the shown-picture record and the placeholder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "GameTestFolder.h"
#include "GameTestPlanes.h"
#include "display/FastPlane.h"
#include "game/PictureLoader.h"
#include "game/SystemData.h"

namespace {

TEST(PictureLoader, records_only_the_lower_cased_file_part)
{
    gSeenPictures.clear();
    EXPECT_EQ(SeenPictureName("bg\\Room01.PNG"), "room01.png");
    EXPECT_EQ(SeenPictureName("bg\\sub\\a.png"), "a.png");
    EXPECT_EQ(SeenPictureName("a.png"), "a.png");
    // 0x95 0x5C is one Shift-JIS character whose trail byte is a backslash.
    EXPECT_EQ(SeenPictureName(std::string("ev\\\x95\x5C" "A.png")), std::string("\x95\x5C" "a.png"))
        << "a trail byte 0x5C is not a folder separator, and double-byte characters keep their bytes";
}

TEST(PictureLoader, loads_a_picture_and_records_it_once_across_folders)
{
    game_test::GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    gConfig.width = 800;
    gConfig.basewidth = 800;
    ASSERT_TRUE(game_test::WriteFlatPng(folder.path() + "/bg/Room.png", 4, 3, 0xFF102030u));
    ASSERT_TRUE(game_test::WriteFlatPng(folder.path() + "/ev/room.png", 2, 2, 0xFF102030u));
    FlushFileLayerCache();
    gSeenPictures.clear();
    std::unique_ptr<CFastPlane> a(LoadPictureOrTofu("bg\\Room.png"));
    std::unique_ptr<CFastPlane> b(LoadPictureOrTofu("ev\\room.png"));
    ASSERT_TRUE(a->IsCreated());
    int w = 0, h = 0;
    a->GetSize(&w, &h);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(a->GetPixel(1, 1), 0x302010u) << "the picture's pixels (0x00BBGGRR)";
    EXPECT_EQ(gSeenPictures, (std::set<std::string>{"room.png"})) << "same file name in two folders counts once";
    EXPECT_TRUE(boxes.texts.empty());
}

TEST(PictureLoader, missing_picture_tells_the_player_and_gives_the_placeholder)
{
    game_test::GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    gConfig.width = gConfig.basewidth = 800;
    ASSERT_TRUE(game_test::WriteFlatPng(folder.path() + "/chip/tofu.png", 7, 5, 0xFFFFFFFFu));
    FlushFileLayerCache();
    gSeenPictures.clear();
    std::unique_ptr<CFastPlane> p(LoadPictureOrTofu("bg\\Gone.png"));
    ASSERT_TRUE(p->IsCreated()) << "the placeholder takes the missing picture's place";
    int w = 0, h = 0;
    p->GetSize(&w, &h);
    EXPECT_EQ(w, 7);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "みつからないの。。。<bg\\Gone.png>");
    EXPECT_EQ(boxes.captions[0], "えら");
    EXPECT_EQ(gSeenPictures.count("gone.png"), 1u) << "a missing picture still counts as shown";
}

TEST(PictureLoader, damaged_picture_is_logged_with_the_decoders_reason_not_called_missing)
{
    game_test::GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    gConfig.width = gConfig.basewidth = 800;
    ASSERT_TRUE(game_test::WriteFlatPng(folder.path() + "/chip/tofu.png", 7, 5, 0xFFFFFFFFu));
    ASSERT_TRUE(game_test::WriteFlatPng(folder.path() + "/bg/cut.png", 40, 30, 0xFF102030u));
    std::filesystem::resize_file(folder.path() + "/bg/cut.png", 60);  // the picture data cut short
    {
        std::ofstream bmp(folder.path() + "/bg/half.bmp", std::ios::binary);
        bmp << "BM" << std::string(52, '\0');  // headers only, and an info header of size 0
    }
    FlushFileLayerCache();
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {{"bg\\cut.png", "cannot be decoded: PNG: "}, {"bg\\half.bmp", "BMP info header of 0 bytes"}};
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        std::unique_ptr<CFastPlane> p(LoadPictureOrTofu(c.name));
        const std::string err = testing::internal::GetCapturedStderr();
        int w = 0, h = 0;
        p->GetSize(&w, &h);
        EXPECT_EQ(w, 7) << c.name << ": the placeholder still stands in and the game goes on";
        EXPECT_NE(err.find(std::string("lantern: picture ") + c.name), std::string::npos) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << c.name << ": the decoder's reason: " << err;
    }
    EXPECT_TRUE(boxes.texts.empty()) << "a file that is there is not reported as missing";
}

TEST(PictureLoader, missing_placeholder_too_gives_a_blank_plane_after_one_message)
{
    game_test::GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    gConfig.width = gConfig.basewidth = 800;
    std::unique_ptr<CFastPlane> p(LoadPictureOrTofu("none.png"));
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->IsCreated());
    EXPECT_EQ(boxes.texts.size(), 1u) << "no second message for the placeholder";
}

TEST(PictureLoader, empty_name_gives_a_blank_plane_without_record_or_message)
{
    game_test::MessageBoxCatcher boxes;
    gSeenPictures.clear();
    std::unique_ptr<CFastPlane> p(LoadPictureOrTofu(""));
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->IsCreated());
    EXPECT_TRUE(gSeenPictures.empty());
    EXPECT_TRUE(boxes.texts.empty());
}

TEST(PictureLoader, scale_follows_width_over_basewidth)
{
    gConfig.width = 800;
    gConfig.basewidth = 800;
    EXPECT_DOUBLE_EQ(CPictureLoader::Scale(), 100.0);
    gConfig.basewidth = 1024;
    EXPECT_DOUBLE_EQ(CPictureLoader::Scale(), 78.125);
    gConfig.basewidth = 0;
    EXPECT_DOUBLE_EQ(CPictureLoader::Scale(), 100.0) << "a base width of 0 must not scale by infinity";
    gConfig.basewidth = 800;
}

}  // namespace
