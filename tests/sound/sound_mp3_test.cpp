// CSoundMp3 over the program's MP3 decoder: a file made by the MP3 tests'
// generator plays as the reference decoder (mpg123) heard it, within the
// 16-bit bound; sharing, and the refusals of files that are not MP3.
#include "sound/CSoundMp3.h"

#include <cmath>

#include "SoundTestSupport.h"
#include "Mp3TestSupport.h"
#include "platform/Audio.h"

using namespace soundtest;

namespace {

// A stream of the MP3 tests' generator, with mpg123's output beside it.
const char* kFile = "l3_m1_stereo_44k_128.mp3";

}  // namespace

class SoundMp3Test : public SoundFolderTest {
protected:
    void SetUp() override
    {
        SoundFolderTest::SetUp();
        mp3_ = mp3test::Stream(kFile);
        ASSERT_FALSE(mp3_.empty()) << "the MP3 test data must be present";
        Write("bgm/01.wav", mp3_);
        platform::SetManualCapture(true);
    }
    void TearDown() override
    {
        platform::SetManualCapture(false);
        SoundFolderTest::TearDown();
    }
    std::vector<uint8_t> mp3_;
};

TEST_F(SoundMp3Test, plays_the_decoded_file_whatever_its_extension)
{
    std::vector<float> ref = mp3test::Reference(kFile);
    ASSERT_FALSE(ref.empty());
    CSoundMp3 s;
    ASSERT_EQ(s.Load("bgm\\01.wav"), kSoundLoaded) << "an MP3 named .wav is decoded as MP3";
    EXPECT_EQ(s.GetFrequency(), 44100);
    size_t frames = ref.size() / 2;
    EXPECT_NEAR(s.GetLength(), frames * 1000.0 / 44100, 30) << "the length follows the decoded samples";
    s.Play();
    platform::TakeManualCapture();
    platform::AdvanceManualClock(static_cast<uint32_t>(frames));
    std::vector<int16_t> out = platform::TakeManualCapture();
    double worst = 0;
    for (size_t i = 0; i < ref.size() && i < out.size(); ++i) {
        worst = std::max(worst, std::fabs(out[i] - ref[i] * 32768.0));
    }
    EXPECT_LE(worst, 3.0) << "decoded PCM must be within 3 LSB of the reference decoder";
}

TEST_F(SoundMp3Test, same_file_shares_and_non_mp3_files_fail)
{
    CSoundMp3 a, b;
    ASSERT_EQ(a.Load("bgm\\01.wav"), kSoundLoaded);
    ASSERT_EQ(b.Load("bgm\\01.wav"), kSoundLoaded);
    EXPECT_TRUE(b.GetBuffer()->SharesSamplesWith(*a.GetBuffer())) << "the second sound shares the first one's samples";
    Write("text.mp3", std::vector<uint8_t>(1000, 'x'));
    CSoundMp3 c;
    EXPECT_EQ(c.Load("text.mp3"), kSoundNotLoaded) << "a file that exists but is not MP3 is not loaded";
    EXPECT_EQ(c.GetBuffer(), nullptr);
    EXPECT_EQ(c.Load("missing.mp3"), kSoundNotLoaded) << "a missing file is not loaded";
    EXPECT_EQ(c.Load(""), kSoundLoaded) << "an empty path is no error";
}
