// CCDDA on a CUE/BIN image of generated tones, played through the mixer's
// CD line on the manual clock: table of contents, play ranges, the end of a
// range and looping, and the refusals (bad track numbers, no disc).
#include "sound/CCDDA.h"

#include <cstdlib>
#include <memory>

#include "SoundTestSupport.h"
#include "platform/Cd.h"
#include "platform/Time.h"
#include "platform/WindowMessages.h"

using namespace soundtest;

namespace {
// Track k (1-based) is a square wave of amplitude k x 1000, right = -left.
constexpr uint32_t kTrackSectors[] = {75, 150, 75};

std::vector<uint8_t> ImageBytes()
{
    std::vector<uint8_t> bin;
    for (int k = 0; k < 3; ++k) {
        for (uint32_t f = 0; f < kTrackSectors[k] * 588; ++f) {
            int16_t l = static_cast<int16_t>((f % 100 < 50 ? 1 : -1) * (k + 1) * 1000);
            Put16(bin, static_cast<uint16_t>(l));
            Put16(bin, static_cast<uint16_t>(-l));
        }
    }
    return bin;
}
}  // namespace

class CddaTest : public SoundFolderTest {
protected:
    void SetUp() override
    {
        SoundFolderTest::SetUp();
        unsetenv("LANTERN_CD_IMAGE");
        Write("disc.bin", ImageBytes());
        std::string cue = "FILE \"" + dir_ + "/disc.bin\" BINARY\n"
                          "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                          "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"
                          "  TRACK 03 AUDIO\n    INDEX 01 00:03:00\n";
        Write("disc.cue", std::vector<uint8_t>(cue.begin(), cue.end()));
        platform::cd::SetCdImage("Q", dir_ + "/disc.cue");
        platform::SetManualCapture(true);
        cd_ = std::make_unique<CCDDA>();
    }
    void TearDown() override
    {
        cd_.reset();
        platform::SetManualCapture(false);
        platform::cd::SetCdImage("Q", "");
        SoundFolderTest::TearDown();
    }
    // Plays `ms` of output in 50 ms steps, letting the feeder keep up.
    std::vector<int16_t> Hear(int ms)
    {
        for (int t = 0; t < ms; t += 50) {
            platform::AdvanceManualClock(2205);
            platform::SleepMs(15);
        }
        platform::SleepMs(30);
        return platform::TakeManualCapture();
    }
    // Delivers the end-of-range notification once the feeder has seen the
    // end; true when `done` came about within 10 s.
    template <typename Done>
    bool AwaitNotify(Done done)
    {
        for (int i = 0; i < 2000; ++i) {
            cd_->PollNotify();
            if (done()) {
                return true;
            }
            platform::SleepMs(5);
        }
        return false;
    }
    std::unique_ptr<CCDDA> cd_;
};

TEST_F(CddaTest, reads_the_table_of_contents)
{
    ASSERT_EQ(cd_->Open("Q"), kCdOpened) << "the image must open as a disc";
    EXPECT_EQ(cd_->GetTrackCount(), 3);
    EXPECT_EQ(cd_->GetTrackStart(1), CCDDA::PackMsf(150)) << "track 1 starts at 00:02:00";
    EXPECT_EQ(cd_->GetTrackStart(2), 0x0300u) << "track 2 at 00:03:00 (seconds in the second byte)";
    EXPECT_EQ(cd_->GetTrackLength(2), 0x0200u) << "track 2 lasts 2 s";
    EXPECT_EQ(cd_->GetTotalLength(), 0x0400u);
    int track, h, m, s, f;
    ASSERT_EQ(cd_->AbsoluteToTrackTime(0x0400, &track, &h, &m, &s, &f), 0);
    EXPECT_EQ(track, 2) << "00:04 lies in track 2";
    EXPECT_EQ(s, 4);
    uint32_t pos = 0;
    ASSERT_EQ(cd_->TrackTimeToAbsolute(&pos, 2, 0, 0, 1, 0), 0);
    EXPECT_EQ(pos, 0x0400u) << "1 s into track 2 is 00:04";
    EXPECT_EQ(cd_->TrackTimeToAbsolute(&pos, 2, 0, 0, 2, 0), -1) << "an offset not shorter than the track";
    EXPECT_EQ(cd_->TrackTimeToAbsolute(&pos, 4, 0, 0, 0, 0), -1) << "a track beyond the count";
}

TEST_F(CddaTest, plays_one_track_and_stops_at_its_end)
{
    ASSERT_EQ(cd_->Open("Q"), kCdOpened);
    cd_->Close();
    ASSERT_EQ(cd_->PlayTrack(2), kCdPlaying) << "Play opens the stored drive again when needed";
    EXPECT_TRUE(cd_->IsOpen());
    EXPECT_TRUE(cd_->IsPlaying());
    std::vector<int16_t> out = Hear(2400);
    size_t frames = out.size() / 2;
    ASSERT_GE(frames, 44100u * 2);
    for (size_t i = 0; i < 44100 * 2 - 600; ++i) {
        ASSERT_EQ(std::abs(out[2 * i]), 2000) << "frame " << i << " must be track 2's tone";
        ASSERT_EQ(out[2 * i + 1], -out[2 * i]) << "the right channel of frame " << i;
    }
    for (size_t i = 44100 * 2 + 44100 / 10; i < frames; ++i) {
        ASSERT_EQ(out[2 * i], 0) << "track 3 must not be heard after track 2, frame " << i;
    }
    EXPECT_TRUE(AwaitNotify([&] { return !cd_->IsPlaying(); }))
        << "the end of the range stops a non-looping play";
    EXPECT_EQ(cd_->Stop(), kCdStopNotPlaying) << "Stop when not playing";
}

TEST_F(CddaTest, last_track_plays_to_the_end_of_the_disc_and_loops)
{
    ASSERT_EQ(cd_->Open("Q"), kCdOpened);
    cd_->SetLoop(true);
    ASSERT_EQ(cd_->PlayTrack(3), kCdPlaying);
    int plays = cd_->GetPlayCount();
    std::vector<int16_t> out = Hear(1300);
    for (size_t i = 0; i < 44100 - 600; ++i) {
        ASSERT_EQ(std::abs(out[2 * i]), 3000) << "frame " << i << " must be track 3";
    }
    EXPECT_TRUE(AwaitNotify([&] { return cd_->GetPlayCount() > plays; }))
        << "a looping range starts again when it ends";
    EXPECT_TRUE(cd_->IsPlaying());
    platform::TakeManualCapture();
    out = Hear(300);
    size_t heard = 0;
    for (size_t i = 0; i < out.size() / 2; ++i) {
        heard += std::abs(out[2 * i]) == 3000;
    }
    EXPECT_GT(heard, 44100u / 10) << "track 3 is heard again after the replay";
    EXPECT_EQ(cd_->Stop(), kCdStopped);
    EXPECT_EQ(cd_->Stop(), kCdStopNotPlaying) << "a second Stop finds nothing playing";
}

TEST_F(CddaTest, refuses_bad_track_numbers_and_foreign_notifications)
{
    ASSERT_EQ(cd_->Open("Q"), kCdOpened);
    EXPECT_EQ(cd_->Play(0, 1), kCdPlayBadTracks) << "track 0 would read before the table";
    EXPECT_EQ(cd_->Play(1, 4), kCdPlayBadTracks) << "beyond the track count";
    EXPECT_EQ(cd_->Play(3, 2), kCdPlayBadTracks) << "a range that ends before it starts";
    EXPECT_FALSE(cd_->IsPlaying());
    EXPECT_EQ(cd_->PlayDW(0x0300, 0x0300, false), kCdRangePlaying) << "an empty range does nothing";
    EXPECT_FALSE(cd_->IsPlaying());
    int id = cd_->GetDeviceId();
    EXPECT_EQ(cd_->OnWindowMessage(nullptr, platform::kWmMciNotify, platform::kMciNotifyAborted, id), 0)
        << "an aborted play is not a finished range";
    EXPECT_EQ(cd_->OnWindowMessage(nullptr, platform::kWmMciNotify, platform::kMciNotifySuccessful, id + 100), 0)
        << "another device's notification is not ours";
    EXPECT_EQ(cd_->OnWindowMessage(nullptr, platform::kWmMciNotify, platform::kMciNotifySuccessful, id), 1);
}

TEST_F(CddaTest, no_disc_fails_to_open_and_play)
{
    platform::cd::SetCdImage("Q", dir_ + "/missing.cue");
    EXPECT_EQ(cd_->Open("Q"), kCdNoDevice) << "an image that does not exist does not open";
    EXPECT_FALSE(cd_->IsOpen());
    EXPECT_EQ(cd_->PlayTrack(1), 1) << "every Play fails while there is no disc";
    EXPECT_EQ(cd_->Stop(), kCdStopNotOpen);
}
