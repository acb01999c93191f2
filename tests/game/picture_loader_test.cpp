// The picture loader: the shown-picture record and the placeholder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "GameTestFolder.h"
#include "GameTestPlanes.h"
#include "display/FastPlane.h"
#include "game/MissingPictures.h"
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

// The screen at its base width and the 7 x 5 white placeholder in the folder.
bool WritePlaceholder(const game_test::GameFolder& folder)
{
    gConfig.width = gConfig.basewidth = 800;
    return game_test::WriteFlatPng(folder.path() + "/chip/tofu.png", 7, 5, 0xFFFFFFFFu);
}

TEST(PictureLoader, missing_picture_tells_the_player_and_gives_the_placeholder)
{
    game_test::GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    ASSERT_TRUE(WritePlaceholder(folder));
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

// Loads `count` missing pictures <folder>\m0.png, <folder>\m1.png, ...
// inside one batch, each placeholder still standing in; gives what reached
// stderr.
std::string LoadMissingInABatch(const std::string& folder, int count)
{
    testing::internal::CaptureStderr();
    {
        const MissingPictureBatch batch;
        for (int i = 0; i < count; ++i) {
            std::unique_ptr<CFastPlane> p(LoadPictureOrTofu(folder + "\\m" + std::to_string(i) + ".png"));
            int w = 0, h = 0;
            p->GetSize(&w, &h);
            EXPECT_EQ(w, 7) << "picture " << i << ": the placeholder stands in inside a batch too";
        }
    }
    return testing::internal::GetCapturedStderr();
}

TEST(PictureLoader, a_batch_missing_pictures_shows_one_box_and_logs_every_name)
{
    game_test::GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    ASSERT_TRUE(WritePlaceholder(folder));
    FlushFileLayerCache();
    // Each case in a folder of its own: stderr folds a line equal to the one before it.
    const struct {
        const char* folder;
        int count;
        const char* text;
    } cases[] = {
        {"a", 0, nullptr},
        {"b", 1, "みつからないの。。。<b\\m0.png>"},
        {"c", 5, "みつからないの。。。<c\\m0.png>\n<c\\m1.png>\n<c\\m2.png>\n<c\\m3.png>\n<c\\m4.png>"},
        {"d", 6, "みつからないの。。。<d\\m0.png>\n<d\\m1.png>\n<d\\m2.png>\n<d\\m3.png>\n<d\\m4.png>\nほか 1 件"},
        {"e", 2000, "みつからないの。。。<e\\m0.png>\n<e\\m1.png>\n<e\\m2.png>\n<e\\m3.png>\n<e\\m4.png>\nほか 1995 件"},
    };
    for (const auto& c : cases) {
        boxes.texts.clear();
        boxes.captions.clear();
        const std::string err = LoadMissingInABatch(c.folder, c.count);
        if (!c.text) {
            EXPECT_TRUE(boxes.texts.empty()) << "a batch that missed nothing says nothing";
            continue;
        }
        ASSERT_EQ(boxes.texts.size(), 1u) << c.count << " missing: one box for the whole batch, not one per picture";
        EXPECT_EQ(boxes.texts[0], c.text) << c.count << " missing: the first five in the order met, then how many more";
        EXPECT_EQ(boxes.captions[0], "えら");
        size_t lines = 0;
        for (size_t at = err.find(" not found\n"); at != std::string::npos; at = err.find(" not found\n", at + 1))
            ++lines;
        EXPECT_EQ(lines, static_cast<size_t>(c.count)) << "each name once on stderr";
        const std::string last =
            "lantern: picture " + std::string(c.folder) + "\\m" + std::to_string(c.count - 1) + ".png not found\n";
        EXPECT_NE(err.find(last), std::string::npos) << "names the box leaves out reach stderr too";
    }
}

TEST(PictureLoader, nested_batches_and_repeated_names_give_one_box_at_the_outer_end)
{
    game_test::GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    gConfig.width = gConfig.basewidth = 800;
    {
        const MissingPictureBatch outer;
        {
            const MissingPictureBatch inner;
            delete LoadPictureOrTofu("a.png");
            delete LoadPictureOrTofu("b.png");
        }
        EXPECT_TRUE(boxes.texts.empty()) << "an inner batch only adds to the outer one";
        delete LoadPictureOrTofu("a.png");
    }
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"みつからないの。。。<a.png>\n<b.png>"})
        << "a name missed twice is named once";
    delete LoadPictureOrTofu("c.png");
    EXPECT_EQ(boxes.texts.size(), 2u) << "after the batch, a missing picture has its box at once again";
}

TEST(PictureLoader, damaged_picture_is_logged_with_the_decoders_reason_not_called_missing)
{
    game_test::GameFolder folder;
    game_test::MessageBoxCatcher boxes;
    ASSERT_TRUE(WritePlaceholder(folder));
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
