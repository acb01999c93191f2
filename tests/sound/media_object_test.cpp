// The time helpers every media object shares, and the settings-level to
// attenuation rule the callers apply.
#include "sound/MediaObject.h"

#include <gtest/gtest.h>

namespace {
// The base operations only; every pure slot answers a fixed value.
class BareMedia : public CMediaObject {
public:
    int Open(const char*) override { return 0; }
    int Close() override { return 0; }
    int Play() override { return 0; }
    int Resume() override { return 0; }
    int Stop() override { return 0; }
    int Pause() override { return 0; }
    bool IsPlaying() override { return false; }
    bool GetLoop() override { return false; }
    int SetLoop(bool) override { return 0; }
    int GetPosition() override { return -1; }
    int SetPosition(int) override { return 0; }
    int GetLength() override { return 0; }
    int SetVolume(int) override { return 0; }
    int GetVolume() override { return 0; }
};
}  // namespace

TEST(MediaObjectTest, hms_round_trip_and_refusals)
{
    BareMedia m;
    int ms = 0;
    ASSERT_EQ(m.HMSToMs(&ms, 1, 2, 3, 4), 0);
    EXPECT_EQ(ms, 3723004) << "1 h 2 min 3 s 4 ms joined wrongly";
    int h = 9, mi = 9, s = 9, r = 9;
    ASSERT_EQ(m.MsToHMS(ms, &h, &mi, &s, &r), 0);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(mi, 2);
    EXPECT_EQ(s, 3);
    EXPECT_EQ(r, 4) << "MsToHMS must invert HMSToMs";

    h = mi = s = r = 77;
    EXPECT_EQ(m.MsToHMS(-1, &h, &mi, &s, &r), -1) << "a negative time must be refused";
    EXPECT_EQ(h, 77) << "a refused split must leave the outputs untouched";
    EXPECT_EQ(r, 77);
    ms = 55;
    EXPECT_EQ(m.HMSToMs(&ms, 0, -1, 0, 0), -1) << "a negative minute must be refused";
    EXPECT_EQ(m.HMSToMs(&ms, 0, 0, 0, -5), -1) << "a negative rest must be refused";
    EXPECT_EQ(ms, 55) << "a refused join must leave the output untouched";

    ASSERT_EQ(m.MsToHMS(90000000, &h, &mi, &s, &r), 0);
    EXPECT_EQ(h, 25) << "hours must not wrap at 24";
}

TEST(MediaObjectTest, level_to_volume_mapping_and_clamps)
{
    EXPECT_EQ(LevelToVolume(255), -1) << "full level is -1, not 0";
    EXPECT_EQ(LevelToVolume(128), -98);
    EXPECT_EQ(LevelToVolume(0), -10000);
    EXPECT_EQ(LevelToVolume(-20), -10000) << "levels below 0 must not go below -10000";
    EXPECT_EQ(LevelToVolume(1000), -1) << "levels above 255 are clamped to 255";
    for (int level = 1; level <= 255; ++level) {
        EXPECT_GE(LevelToVolume(level), LevelToVolume(level - 1)) << "the mapping must rise with the level";
    }
}
