// The game shell's quake and flash services: the scenario's values reach the
// draw queue's quake state. The picture services: one plane per file, and
// the bound on what a load may put back.
#include <gtest/gtest.h>

#include <climits>

#include "GameTestFolder.h"
#include "GameTestPlanes.h"
#include "game/DrawQueue.h"
#include "game/Drawable.h"
#include "game/GameConfig.h"
#include "game/GameServices.h"

namespace {

// Frames the quake state stays in kQuake, counting the last one at rest.
int QuakeFrames(CScreenQuake& quake, int limit)
{
    int frames = 0;
    while (quake.GetState() == CScreenQuake::kQuake && frames < limit) {
        quake.Step();
        ++frames;
    }
    return frames;
}

TEST(GameServices, quake_runs_the_scenario_frame_count_and_survives_extreme_counts)
{
    CDrawQueue queue;
    GameServices services(&queue, nullptr);
    EXPECT_EQ(services.StartQuake(0, 7, 0, 5), scenario::HostResult::kDone);
    EXPECT_EQ(QuakeFrames(queue.Quake(), 100), 7 + 1) << "7 frames, then the last one at rest";

    services.StartQuake(0, -5, 0, 5);
    EXPECT_EQ(QuakeFrames(queue.Quake(), 100), 1) << "a negative count is a quake of no frames";

    // The duration is frames x 30: the largest counts must not overflow it.
    services.StartQuake(0, INT32_MAX, 0, 5);
    EXPECT_EQ(QuakeFrames(queue.Quake(), 1000), 1000) << "a huge count still quakes (clamped, not wrapped)";
}

TEST(GameServices, flash_takes_the_colour_without_its_top_byte_and_the_settings_lengths)
{
    gConfig.beforeAnimationLength = 2;
    gConfig.afterAnimationLength = 1;
    CDrawQueue queue;
    GameServices services(&queue, nullptr);
    EXPECT_EQ(services.StartFlash(static_cast<int32_t>(0x12FF0000u)), scenario::HostResult::kDone);
    std::vector<uint32_t> colors;
    while (queue.Quake().GetState() == CScreenQuake::kFlash && colors.size() < 20) {
        uint32_t c = 0;
        queue.Quake().GetFlashColor(&c);
        colors.push_back(c);
        queue.Quake().Step();
    }
    // f = 0, 1/2 (rising over 2), 1 (falling over 1), then the frame at 0.
    EXPECT_EQ(colors, (std::vector<uint32_t>{0xFF000000u, 0xFF7F0000u, 0xFFFF0000u, 0xFF000000u}))
        << "a red flash stays red, and the colour's own top byte changes nothing";
}

class ScenePictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = gConfig;
        gConfig.baseDir = ".\\";
        gConfig.basewidth = gConfig.width = 10;  // 10 x 10 screens: the bound is 64 x 400 bytes
        gConfig.height = 10;
        for (const char* name : {"a", "b", "c"})
            ASSERT_TRUE(game_test::WriteFlatPng(folder_.path() + "/bg/" + name + ".png", 200, 200, 0xFF336699u));
        ASSERT_TRUE(game_test::WriteFlatPng(folder_.path() + "/chip/tofu.png", 32, 32, 0xFFFF00FFu));
    }
    void TearDown() override { gConfig = saved_; }

    static scenario::PictureLayer Layer(int32_t key, const std::string& name)
    {
        scenario::PictureLayer layer;
        layer.key = key;
        layer.name = name;
        return layer;
    }
    const CPlaneBase* PlaneAt(int32_t key) const
    {
        const CDrawable* d = queue_.Find(key);
        return d ? d->GetPlane() : nullptr;
    }

    game_test::GameFolder folder_;
    CDrawQueue queue_;
    CGameConfig saved_;
};

TEST_F(ScenePictures, keys_naming_one_file_share_its_plane_and_a_missing_file_tells_once)
{
    game_test::MessageBoxCatcher boxes;
    GameServices services(&queue_, nullptr);
    ASSERT_EQ(services.ShowPicture(Layer(1, "bg\\a.png"), 0, false), scenario::HostResult::kDone);
    const size_t one = services.PictureBytes();
    ASSERT_GE(one, 200u * 200u * 2u) << "a 200 x 200 picture holds at least two bytes a pixel";
    services.ShowPicture(Layer(2, "BG\\A.PNG"), 0, false);
    services.PanPicture(Layer(3, "bg\\a.png"));
    services.ShowPicture(Layer(4, "bg\\b.png"), 0, false);
    services.ShowPicture(Layer(4, "bg\\a.png"), 0, true);  // replaced by the shared one
    ASSERT_NE(PlaneAt(1), nullptr);
    for (int32_t key : {2, 3, 4})
        EXPECT_EQ(PlaneAt(key), PlaneAt(1)) << "key " << key << " decoded bg\\a.png again";
    EXPECT_EQ(services.PictureBytes(), one) << "b.png was replaced: only a.png is held";
    EXPECT_EQ(queue_.Find(2)->GetName(), "BG\\A.PNG") << "each drawable keeps the name it was given";

    services.RemovePicture(1);
    services.RemovePicture(2);
    services.RemovePicture(3);
    EXPECT_EQ(services.PictureBytes(), one) << "key 4 still shows it";
    services.RemovePicture(4);
    EXPECT_EQ(services.PictureBytes(), 0u) << "the last holder lets it go";

    for (int32_t key = 10; key < 15; ++key)
        services.ShowPicture(Layer(key, "bg\\missing.png"), 0, false);
    EXPECT_EQ(boxes.texts.size(), 1u) << "one missing file under five keys is one box, not five";
    EXPECT_EQ(PlaneAt(14), PlaneAt(10));
    EXPECT_NE(PlaneAt(10), nullptr) << "the placeholder stands in";
}

TEST_F(ScenePictures, a_restore_past_the_bound_fails_but_the_games_own_pictures_always_fit_back)
{
    GameServices services(&queue_, nullptr);
    services.ShowPicture(Layer(1, "bg\\a.png"), 0, false);
    const size_t one = services.PictureBytes();
    ASSERT_GT(one, 64u * 10 * 10 * 4) << "one picture alone is past 64 screens of 10 x 10";
    services.ShowPicture(Layer(2, "bg\\b.png"), 0, false);
    EXPECT_EQ(services.RestoreLimit(), 2 * one) << "what the game itself showed sets the bound";

    // A refused load puts the game's own pictures back: they must fit.
    services.ClearPictures();
    EXPECT_EQ(services.PictureBytes(), 0u);
    EXPECT_EQ(services.RestorePicture(Layer(1, "bg\\a.png")), scenario::HostResult::kDone);
    EXPECT_EQ(services.RestorePicture(Layer(2, "bg\\b.png")), scenario::HostResult::kDone);
    EXPECT_EQ(services.RestorePicture(Layer(3, "BG\\B.png")), scenario::HostResult::kDone)
        << "a file already held costs nothing more";

    services.ClearPictures();
    services.RestorePicture(Layer(1, "bg\\a.png"));
    services.RestorePicture(Layer(2, "bg\\b.png"));
    EXPECT_EQ(services.RestorePicture(Layer(3, "bg\\c.png")), scenario::HostResult::kFailed)
        << "a third file passes what the game ever held";
    EXPECT_EQ(queue_.Find(3), nullptr);
    EXPECT_EQ(services.PictureBytes(), 2 * one) << "the refused picture must be let go at once";
}

}  // namespace
