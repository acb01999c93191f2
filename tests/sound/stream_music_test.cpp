// CStreamMusic's states: single-level pause, positions, the end of a
// non-looping track, and refusals.
#include "sound/CStreamMusic.h"

#include "SoundTestSupport.h"
#include "platform/Time.h"
#include "sound/CStreamSound.h"

using namespace soundtest;

class StreamMusicTest : public SoundFolderTest {
protected:
    void WriteTrack(const char* name, size_t frames)
    {
        std::vector<int16_t> s(frames);
        for (size_t i = 0; i < frames; ++i) s[i] = static_cast<int16_t>(i % 3000);
        Write(name, PcmWave(1, 44100, 16, Samples16(s)));
    }
};

TEST_F(StreamMusicTest, refusals_and_wrong_states)
{
    CStreamMusic m;
    EXPECT_EQ(m.Play(), 2) << "nothing opened: nothing to play";
    EXPECT_EQ(m.Resume(), 99) << "Resume when not paused";
    EXPECT_EQ(m.Pause(), 99) << "Pause when not playing";
    EXPECT_EQ(m.Open("missing.wav"), 1) << "a file the stream cannot open";
    EXPECT_EQ(m.SetLoop(true), 0) << "SetLoop after a failed open must not touch a missing reader";
    EXPECT_EQ(m.Play(), 1) << "the stream refuses to play an unopened file";
}

TEST_F(StreamMusicTest, pause_remembers_the_position_and_resume_goes_on)
{
    WriteTrack("bgm/01.wav", 44100 * 5);
    CStreamMusic m;
    m.SetLoop(true);
    ASSERT_EQ(m.Open("bgm\\01.wav"), 0);
    ASSERT_EQ(m.Play(), 0);
    platform::AdvanceManualClock(44100 * 2);
    ASSERT_EQ(m.Pause(), 0);
    EXPECT_TRUE(m.IsPaused());
    EXPECT_EQ(m.Pause(), 99) << "a second Pause is refused";
    EXPECT_NEAR(m.GetPosition(), 2000, 30) << "the paused position is kept";
    EXPECT_EQ(m.SetPosition(3000), 0);
    EXPECT_EQ(m.GetPosition(), 3000) << "SetPosition while paused only moves the saved position";
    ASSERT_EQ(m.Resume(), 0);
    EXPECT_TRUE(m.IsPlaying());
    EXPECT_EQ(m.GetPosition(), 3000) << "Resume starts at the saved position";
    EXPECT_EQ(m.Stop(), 1) << "Stop answers the stream's stop";
    EXPECT_FALSE(m.IsPlaying());
    EXPECT_EQ(m.GetPosition(), 0) << "stopped music is back at 0";
}

TEST_F(StreamMusicTest, set_position_clamps)
{
    WriteTrack("t.wav", 44100 * 2);
    CStreamMusic m;
    ASSERT_EQ(m.Open("t.wav"), 0);
    m.SetPosition(99999);
    EXPECT_EQ(m.GetPosition(), 2000) << "beyond the length clamps to the length";
    m.SetPosition(-5);
    EXPECT_EQ(m.GetPosition(), 0) << "a negative position clamps to 0";
}

TEST_F(StreamMusicTest, non_looping_track_ends_and_plays_again_from_the_start)
{
    WriteTrack("e.wav", 44100);
    CStreamMusic m;
    m.SetLoop(false);
    ASSERT_EQ(m.Open("e.wav"), 0);
    ASSERT_EQ(m.Play(), 0);
    platform::AdvanceManualClock(44100 * 95 / 100);
    EXPECT_FALSE(m.IsPlaying()) << "within 100 ms of its end the track is noticed as ended";
    ASSERT_EQ(m.Play(), 0);
    EXPECT_EQ(m.GetPosition(), 0) << "Play right after the end starts from the beginning";
    m.Close();
}

TEST_F(StreamMusicTest, track_ends_even_when_the_worker_looks_late)
{
    WriteTrack("late.wav", 44100 * 5);
    CStreamMusic m;
    m.SetLoop(false);
    ASSERT_EQ(m.Open("late.wav"), 0);
    ASSERT_EQ(m.Play(), 0);
    int elapsed = 0;
    bool playing = true;
    while (playing && elapsed < 8000) {
        platform::AdvanceManualClock(44100 * 4 / 10);
        elapsed += 400;
        // Real time for the stream's worker to look once (it wakes every 50 ms).
        platform::SleepMs(120);
        playing = m.IsPlaying();
        EXPECT_LE(m.GetPosition(), 5000) << "at " << elapsed << " ms";
    }
    EXPECT_FALSE(playing) << "a track that played out must not count as playing for ever";
    EXPECT_GE(elapsed, 4800) << "nor end early";
    ASSERT_EQ(m.Play(), 0);
    EXPECT_EQ(m.GetPosition(), 0) << "Play after the end starts from the beginning";
    m.Close();
}
