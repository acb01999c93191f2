// The game shell's quake and flash services: the scenario's values reach the
// draw queue's quake state.
#include <gtest/gtest.h>

#include <climits>

#include "game/DrawQueue.h"
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

}  // namespace
