// CSound on the manual clock: loading, buffer sharing, nested pauses, the
// stop fade, volume and frequency, the shared device's life, and the mixed
// output of two loaded sounds against samples computed here.
#include "sound/CSound.h"

#include <cmath>
#include <memory>

#include "SoundTestSupport.h"
#include "platform/Time.h"
#include "sound/CDirectSound.h"

using namespace soundtest;

class SoundTest : public SoundFolderTest {
protected:
    void SetUp() override
    {
        SoundFolderTest::SetUp();
        platform::SetManualCapture(true);
    }
    void TearDown() override
    {
        platform::SetManualCapture(false);
        SoundFolderTest::TearDown();
    }
};

TEST_F(SoundTest, loads_a_wave_file_and_reports_its_length)
{
    Write("se/a.wav", PcmWave(2, 22050, 16, Samples16(Ramp(22050, 2, 1))));
    CSound s;
    ASSERT_EQ(s.Load("se\\a.wav"), kSoundLoaded) << "a PCM WAVE file must load";
    EXPECT_EQ(s.GetLength(), 1000) << "one second of samples";
    EXPECT_EQ(s.GetFileName(), "se\\a.wav");
    EXPECT_EQ(s.GetFrequency(), 22050);
    EXPECT_EQ(s.GetPosition(), 0);
    EXPECT_EQ(s.Load(""), kSoundLoaded) << "an empty path releases the old buffer and is no error";
    EXPECT_EQ(s.GetBuffer(), nullptr) << "nothing is loaded after an empty path";
    EXPECT_EQ(s.Load("missing.wav"), kSoundNotLoaded) << "a file no reader opens is not loaded";
}

TEST_F(SoundTest, no_buffer_answers)
{
    CSound s;
    EXPECT_EQ(s.Play(), 1);
    EXPECT_EQ(s.GetVolume(), 1) << "GetVolume with nothing loaded returns 1";
    EXPECT_EQ(s.SetVolume(-100), 1);
    EXPECT_EQ(s.GetPosition(), -1);
    EXPECT_EQ(s.GetFrequency(), -1);
    EXPECT_EQ(s.SetFrequency(22050), 1);
    EXPECT_FALSE(s.IsPlaying());
    EXPECT_EQ(s.Stop(), 0);
}

TEST_F(SoundTest, same_file_shares_one_sample_memory)
{
    Write("v.wav", PcmWave(1, 44100, 16, Samples16(Ramp(4410, 1, 2))));
    CSound a;
    CSound b;
    ASSERT_EQ(a.Load("v.wav"), kSoundLoaded);
    a.SetVolume(-500);
    // With the file gone, b can only load by sharing a's samples: no reader is made.
    ASSERT_EQ(std::remove((dir_ + "/v.wav").c_str()), 0);
    FlushFileLayerCache();
    ASSERT_EQ(b.Load("v.wav"), kSoundLoaded) << "a second sound of the same file must borrow the first one's buffer";
    ASSERT_NE(b.GetBuffer(), nullptr);
    EXPECT_TRUE(b.GetBuffer()->SharesSamplesWith(*a.GetBuffer())) << "the samples must be shared, not copied";
    EXPECT_EQ(b.GetLength(), a.GetLength());
    EXPECT_EQ(b.GetVolume(), -500) << "a duplicate starts with the original's volume";
}

TEST_F(SoundTest, nested_pause_and_resume)
{
    Write("p.wav", PcmWave(1, 44100, 16, Samples16(Ramp(44100, 1, 1))));
    CSound s;
    ASSERT_EQ(s.Load("p.wav"), kSoundLoaded);
    s.Pause();
    EXPECT_EQ(s.GetPauseCount(), 0) << "Pause on a sound neither playing nor paused leaves the count at 0";
    s.Play();
    platform::AdvanceManualClock(4410);
    s.Pause();
    s.Pause();
    EXPECT_EQ(s.GetPauseCount(), 2);
    int where = s.GetPosition();
    EXPECT_EQ(where, 100);
    s.Resume();
    EXPECT_FALSE(s.IsPlaying()) << "two pauses need two resumes";
    platform::AdvanceManualClock(4410);
    s.Resume();
    EXPECT_TRUE(s.IsPlaying()) << "the second resume restarts the sound";
    EXPECT_EQ(s.GetPosition(), where) << "from where it was paused";
    EXPECT_EQ(s.Resume(), 0) << "Resume when not paused does nothing";
    s.Play();
    EXPECT_EQ(s.GetPauseCount(), 0) << "Play clears the pause count";
}

TEST_F(SoundTest, stop_fades_for_25_ms_and_restores_the_volume)
{
    Write("f.wav", PcmWave(1, 44100, 16, Samples16(Ramp(44100, 1, 1))));
    CSound s;
    ASSERT_EQ(s.Load("f.wav"), kSoundLoaded);
    s.SetVolume(-300);
    uint32_t before = platform::GetTicks();
    EXPECT_EQ(s.Stop(), 0);
    EXPECT_LT(platform::GetTicks() - before, 20u) << "Stop on a sound that is not playing returns at once";
    s.Play();
    platform::AdvanceManualClock(441);
    before = platform::GetTicks();
    EXPECT_EQ(s.Stop(), 0);
    EXPECT_GE(platform::GetTicks() - before, 25u) << "Stop blocks for the 25 ms fade";
    EXPECT_FALSE(s.IsPlaying());
    EXPECT_EQ(s.GetVolume(), -300) << "the volume is restored for the next play";
    EXPECT_EQ(s.GetPosition(), 0) << "Stop rewinds the buffer";
}

TEST_F(SoundTest, frequency_range)
{
    Write("q.wav", PcmWave(1, 22050, 8, std::vector<uint8_t>(2205, 0x80)));
    CSound s;
    ASSERT_EQ(s.Load("q.wav"), kSoundLoaded);
    EXPECT_EQ(s.SetFrequency(99), 2);
    EXPECT_EQ(s.SetFrequency(100001), 2);
    EXPECT_EQ(s.SetFrequency(100000), 0);
    EXPECT_EQ(s.GetFrequency(), 100000);
    EXPECT_EQ(s.SetFrequency(0), 0);
    EXPECT_EQ(s.GetFrequency(), 22050) << "0 means the file's own rate";
}

TEST_F(SoundTest, last_sound_releases_the_device_and_the_next_makes_a_new_one)
{
    EXPECT_EQ(gSoundUseCount, 0);
    {
        CSound a;
        EXPECT_EQ(gSoundUseCount, 1);
        EXPECT_NE(gSharedDirectSound.get(), nullptr) << "the first sound creates the device";
        CSound b;
        EXPECT_EQ(gSoundUseCount, 2);
    }
    EXPECT_EQ(gSharedDirectSound.get(), nullptr) << "the last sound destroyed deletes the device";
    CSound c;
    EXPECT_NE(gSharedDirectSound.get(), nullptr) << "the next sound makes a new device";
}

TEST_F(SoundTest, two_sounds_mix_at_their_volumes)
{
    std::vector<int16_t> a(4410), b(4410 * 2);
    for (int i = 0; i < 4410; ++i) {
        a[i] = static_cast<int16_t>(8000 * std::sin(i * 0.01));
        b[2 * i] = static_cast<int16_t>(i * 3);
        b[2 * i + 1] = static_cast<int16_t>(-i * 2);
    }
    Write("a.wav", PcmWave(1, 44100, 16, Samples16(a)));
    Write("b.wav", PcmWave(2, 44100, 16, Samples16(b)));
    CSound sa, sb;
    ASSERT_EQ(sa.Load("a.wav"), kSoundLoaded);
    ASSERT_EQ(sb.Load("b.wav"), kSoundLoaded);
    sa.SetVolume(LevelToVolume(128));
    sb.SetVolume(LevelToVolume(200));
    sa.Play();
    sb.Play();
    platform::TakeManualCapture();
    platform::AdvanceManualClock(4410);
    std::vector<int16_t> out = platform::TakeManualCapture();
    ASSERT_EQ(out.size(), 8820u);
    double ga = std::pow(10.0, -98 / 2000.0);
    double gb = std::pow(10.0, LevelToVolume(200) / 2000.0);
    for (int i = 0; i < 4410; ++i) {
        ASSERT_NEAR(out[2 * i], a[i] * ga + b[2 * i] * gb, 1.0) << "left frame " << i;
        ASSERT_NEAR(out[2 * i + 1], a[i] * ga + b[2 * i + 1] * gb, 1.0) << "right frame " << i;
    }
    EXPECT_FALSE(sa.IsPlaying()) << "a non-looping sound stops at its end";
}
