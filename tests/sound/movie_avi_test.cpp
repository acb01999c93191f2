// The movie front and its decoding back-end (CMovieAVI with CPlaneAVI and the
// CMovieAVIAUDIO feeder) on the generated movies in tests/data/movie: red,
// green, blue and white for 400 ms each (1.6 s), with a 440 Hz tone. The
// movie clock is the timers' manual clock and the sound runs on the mixer's
// manual clock, so every check happens at a known movie time.
#include <gtest/gtest.h>

#include <cmath>

#include "SoundTestSupport.h"
#include "display/FastPlane.h"
#include "support/ManualClock.h"
#include "platform/Time.h"
#include "sound/CMovieAVI.h"
#include "frame/FileLayer.h"
#include "sound/CMovieAVIAUDIO.h"
#include "sound/CMovieFront.h"
#include "sound/CMovieNull.h"
#include "sound/CPlaneAVI.h"

namespace {

std::string MoviePath(const char* name)
{
    const char* root = std::getenv("LANTERN_TEST_DATA");
    return std::string(root ? root : "tests/data") + "/movie/" + name;
}

// Channel distance allowed after the codecs' YUV round trip.
constexpr int kColourTolerance = 24;

// The colour the generator drew at movie time ms, as 0x00BBGGRR.
uint32_t ColourAt(int ms)
{
    static const uint32_t kColours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
    return kColours[std::min(ms / 400, 3)];
}

bool NearColour(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int x = static_cast<int>((a >> shift) & 0xFF);
        int y = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(x - y) > kColourTolerance)
            return false;
    }
    return true;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t to)
{
    to = std::min(to, s.size());
    if (from >= to)
        return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

class MovieTest : public soundtest::SoundFolderTest {
protected:
    void SetUp() override
    {
        SoundFolderTest::SetUp();
        // The movies are read by full path from the data folder: it is the
        // game folder here, as the file layer reads nothing outside it.
        SetStartDirectory(MoviePath(""));
        gMovieMode = 1;
    }
    void TearDown() override
    {
        gMovieMode = 1;
        SoundFolderTest::TearDown();
    }
    // Moves the movie clock to `ms` after the Play made at `start`.
    void At(uint32_t start, int ms) { ManualClock::now = start + static_cast<uint32_t>(ms); }

    ManualClock clock_;
};

TEST_F(MovieTest, front_builds_the_back_end_of_the_movie_mode)
{
    gMovieMode = 0;
    CMovieFront null;
    ASSERT_NE(dynamic_cast<CMovieNull*>(null.GetBackEnd()), nullptr) << "mode 0 plays nothing";
    EXPECT_EQ(null.Open(MoviePath("colours.avi").c_str()), 0);
    EXPECT_FALSE(null.IsPlaying()) << "the null back-end never plays";
    EXPECT_EQ(null.GetVolume(), -10000);
    EXPECT_EQ(null.GetLength(), -1);
    EXPECT_EQ(null.GetPlane(), nullptr);
    null.SetLoop(true);
    EXPECT_TRUE(null.GetLoop()) << "the null back-end keeps its loop byte";

    for (int mode : {1, 2}) {
        gMovieMode = mode;
        CMovieFront front;
        EXPECT_NE(dynamic_cast<CMovieAVI*>(front.GetBackEnd()), nullptr)
            << "mode " << mode << " decodes the file itself";
    }
    gMovieMode = 7;
    CMovieFront none;
    EXPECT_EQ(none.GetBackEnd(), nullptr);
    EXPECT_EQ(none.Open(MoviePath("colours.avi").c_str()), -1) << "an unknown mode opens nothing";
    EXPECT_FALSE(none.IsPlaying()) << "so the frame loop ends it at once";
}

void ExpectFramesFollowTheClock(const char* file, uint32_t& now)
{
    CMovieFront movie;
    movie.SetDrawSize(800, 600, 1);
    ASSERT_EQ(movie.Open(MoviePath(file).c_str()), 0) << file << " must open";
    EXPECT_TRUE(movie.HasVideo());
    EXPECT_TRUE(movie.HasAudio()) << file << " has a sound stream";
    EXPECT_FALSE(movie.IsPlaying()) << "Open leaves the movie stopped";
    ASSERT_EQ(movie.Play(), 0);
    const uint32_t start = now;
    for (int ms : {0, 100, 390, 420, 799, 810, 1210, 1590}) {
        now = start + static_cast<uint32_t>(ms);
        EXPECT_EQ(movie.GetPosition(), ms) << "the position is the clock since Play";
        CFastPlane* plane = movie.GetPlane();
        ASSERT_NE(plane, nullptr);
        const uint32_t got = plane->GetPixel(32, 24);
        // The frame due at ms is the last one starting at or before it.
        const int frameStart = ms / 40 * 40;
        EXPECT_TRUE(NearColour(got, ColourAt(frameStart)))
            << file << " at " << ms << " ms shows 0x" << std::hex << got << " instead of 0x" << ColourAt(frameStart);
        EXPECT_TRUE(movie.IsPlaying()) << file << " still plays at " << std::dec << ms << " ms";
    }
}

TEST_F(MovieTest, frames_follow_the_movie_clock_in_both_containers)
{
    ExpectFramesFollowTheClock("colours.avi", ManualClock::now);
    ExpectFramesFollowTheClock("colours.mpg", ManualClock::now);
}

TEST_F(MovieTest, movie_ends_once_picture_and_sound_are_both_over)
{
    CMovieFront movie;
    movie.SetDrawSize(800, 600, 1);
    ASSERT_EQ(movie.Open(MoviePath("colours.mpg").c_str()), 0);
    auto* avi = dynamic_cast<CMovieAVI*>(movie.GetBackEnd());
    ASSERT_NE(avi, nullptr);
    ASSERT_NE(avi->GetAudio(), nullptr);
    ASSERT_TRUE(avi->GetAudio()->HasBuffer()) << "the manual clock gives a sound device";
    movie.Play();
    const uint32_t start = ManualClock::now;
    // The Layer II sound is padded to whole frames of 1152 samples: it runs
    // past the last picture (1600 ms), and the movie waits for it.
    const int64_t soundEnd = avi->GetAudio()->GetEndMs();
    ASSERT_GT(soundEnd, 1600) << "the sound ring was filled past the end of the short sound";
    ASSERT_LT(soundEnd, 1700) << "1.6 s of sound, padded by less than one frame";
    At(start, 1605);
    EXPECT_TRUE(movie.IsPlaying()) << "the picture is over but the sound is not";
    At(start, static_cast<int>(soundEnd));
    EXPECT_FALSE(movie.IsPlaying()) << "both are over: the movie ends";
    At(start, 5000);
    EXPECT_FALSE(movie.IsPlaying()) << "an ended movie never restarts";
    EXPECT_EQ(movie.GetPosition(), soundEnd) << "the position stays where the movie ended";
}

TEST_F(MovieTest, movie_without_sound_ends_after_its_last_frame)
{
    CMovieFront movie;
    ASSERT_EQ(movie.Open(MoviePath("silent.avi").c_str()), 0);
    EXPECT_FALSE(movie.HasAudio());
    EXPECT_EQ(movie.GetVolume(), 0) << "without sound the stored volume is given back";
    movie.Play();
    const uint32_t start = ManualClock::now;
    At(start, 1599);
    EXPECT_TRUE(movie.IsPlaying()) << "the last frame (1560 ms) lasts 40 ms";
    At(start, 1600);
    EXPECT_FALSE(movie.IsPlaying()) << "the last frame is over";
}

TEST_F(MovieTest, sound_reaches_the_mixer_and_stops_with_the_movie)
{
    platform::SetManualCapture(true);
    CMovieFront movie;
    ASSERT_EQ(movie.Open(MoviePath("colours.avi").c_str()), 0);
    movie.Play();
    const uint32_t start = ManualClock::now;
    platform::AdvanceManualClock(platform::kMixRate / 2);
    std::vector<int16_t> played = platform::TakeManualCapture();
    // ffmpeg's sine source has amplitude 1/8: RMS about 2900 on 16 bits.
    EXPECT_GT(Rms(played, 0, played.size()), 1500) << "the movie's tone must be heard through the mixer";
    At(start, 1700);
    EXPECT_FALSE(movie.IsPlaying());
    platform::AdvanceManualClock(platform::kMixRate / 4);
    played = platform::TakeManualCapture();
    EXPECT_EQ(Rms(played, 0, played.size()), 0) << "an ended movie's sound is stopped";
    platform::SetManualCapture(false);
}

TEST_F(MovieTest, volume_goes_to_the_sound_ring)
{
    CMovieFront movie;
    ASSERT_EQ(movie.Open(MoviePath("colours.avi").c_str()), 0);
    EXPECT_EQ(movie.SetVolume(-1200), 0);
    EXPECT_EQ(movie.GetVolume(), -1200) << "the ring buffer keeps the volume set";
}

TEST_F(MovieTest, stop_nests_and_resume_restarts_at_the_kept_position)
{
    CMovieFront movie;
    ASSERT_EQ(movie.Open(MoviePath("colours.avi").c_str()), 0);
    movie.Play();
    const uint32_t start = ManualClock::now;
    At(start, 500);
    movie.Stop();
    movie.Stop();
    At(start, 900);
    EXPECT_EQ(movie.GetPosition(), 500) << "a stopped movie keeps its position";
    movie.Resume();
    EXPECT_FALSE(movie.IsPlaying()) << "Stop, Stop, Resume: still stopped";
    movie.Resume();
    EXPECT_TRUE(movie.IsPlaying()) << "the second Resume restarts";
    EXPECT_EQ(movie.GetPosition(), 500) << "it restarts from the kept position";
    At(start, 1000);
    EXPECT_EQ(movie.GetPosition(), 600);
    EXPECT_TRUE(NearColour(movie.GetPlane()->GetPixel(32, 24), ColourAt(600)));
}

TEST_F(MovieTest, set_position_moves_picture_back)
{
    CMovieFront movie;
    ASSERT_EQ(movie.Open(MoviePath("colours.avi").c_str()), 0);
    movie.Play();
    const uint32_t start = ManualClock::now;
    At(start, 1300);
    EXPECT_TRUE(NearColour(movie.GetPlane()->GetPixel(32, 24), ColourAt(1300)));
    movie.SetPosition(100);
    EXPECT_EQ(movie.GetPosition(), 100);
    EXPECT_TRUE(NearColour(movie.GetPlane()->GetPixel(32, 24), ColourAt(100)))
        << "after a seek back the earlier frame shows";
    EXPECT_TRUE(movie.IsPlaying());
    CFastPlane* copy = movie.GetPlaneCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, movie.GetPlane()) << "the copy is a plane of its own";
    EXPECT_TRUE(NearColour(copy->GetPixel(10, 10), ColourAt(100))) << "the copy holds the current frame";
}

TEST_F(MovieTest, missing_corrupt_and_truncated_movies_fail_cleanly)
{
    for (const char* name : {"no_such_movie.mpg", "garbage.mpg", "make_movies.sh"}) {
        CMovieFront movie;
        EXPECT_EQ(movie.Open(MoviePath(name).c_str()), -1) << name << " is no movie";
        EXPECT_EQ(movie.Play(), -1) << name << ": nothing to play";
        EXPECT_FALSE(movie.IsPlaying()) << name << " must end at the next frame";
        EXPECT_EQ(movie.GetPlane(), nullptr);
    }
    CMovieFront empty;
    EXPECT_EQ(empty.Open(""), -1) << "the empty name the player passes for no movie";
    EXPECT_EQ(empty.Open(nullptr), -1);

    CMovieFront cut;
    if (cut.Open(MoviePath("truncated.mpg").c_str()) == 0) {
        cut.Play();
        const uint32_t start = ManualClock::now;
        At(start, 3000);
        EXPECT_FALSE(cut.IsPlaying()) << "a cut-off movie ends where its data ends";
    }
}

TEST_F(MovieTest, draw_size_zero_keeps_the_size_and_sets_stretch)
{
    CMovieAVI movie;
    Rect source, target;
    movie.SetDrawSize(800, 600, 1);
    movie.SetDrawSize(0, 0, 0);
    ASSERT_TRUE(movie.GetFrameGeometry(320, 240, &source, &target));
    EXPECT_EQ(target, (Rect{0, 0, 320, 240})) << "the size stays 800 x 600, copied 1:1 without stretch";
    *movie.GetCenterFlag() = 1;
    ASSERT_TRUE(movie.GetFrameGeometry(320, 240, &source, &target));
    EXPECT_EQ(target, (Rect{240, 180, 560, 420})) << "centred in the kept 800 x 600";
    movie.SetDrawSize(0, 0, 1);
    ASSERT_TRUE(movie.GetFrameGeometry(320, 240, &source, &target));
    EXPECT_EQ(target, (Rect{0, 0, 800, 600})) << "stretch is stored even when the size is not";
}

TEST(MovieFrameGeometry, stretch_keep_aspect_and_centre_as_the_draw_rules_give)
{
    Rect s, t;
    ASSERT_TRUE(MovieFrameGeometry(320, 240, 0, 0, 800, 600, true, true, true, &s, &t));
    EXPECT_EQ(t, (Rect{0, 0, 800, 600})) << "4:3 in 4:3 fills the screen";
    ASSERT_TRUE(MovieFrameGeometry(640, 360, 0, 0, 800, 600, true, true, true, &s, &t));
    EXPECT_EQ(t, (Rect{0, 75, 800, 525})) << "16:9 is letterboxed to 800 x 450 at y 75";
    EXPECT_EQ(s, (Rect{0, 0, 640, 360}));
    ASSERT_TRUE(MovieFrameGeometry(640, 360, 0, 0, 800, 600, true, false, false, &s, &t));
    EXPECT_EQ(t, (Rect{0, 0, 800, 600})) << "without keep-aspect the frame fills the draw size";
    ASSERT_TRUE(MovieFrameGeometry(320, 240, 0, 0, 800, 600, false, false, true, &s, &t));
    EXPECT_EQ(t, (Rect{240, 180, 560, 420})) << "a small frame unstretched is centred";
    ASSERT_TRUE(MovieFrameGeometry(1024, 768, 0, 0, 800, 600, false, false, true, &s, &t));
    EXPECT_EQ(s, (Rect{0, 0, 800, 600})) << "a large frame is cut to its top-left part";
    EXPECT_EQ(t, (Rect{0, 0, 800, 600})) << "and never centred";
    EXPECT_FALSE(MovieFrameGeometry(320, 240, 0, 0, 0, 0, true, false, false, &s, &t))
        << "nothing is drawn into an empty draw size";
}

TEST_F(MovieTest, ring_holds_four_seconds_of_the_sound)
{
    platform::WaveFormat f;
    f.nChannels = 2;
    f.nSamplesPerSec = 44100;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 4;
    EXPECT_EQ(CMovieAVIAUDIO::RingSizeFor(f), 705600u) << "4 s at 44100 Hz, 16-bit stereo";
    EXPECT_EQ(CMovieAVIAUDIO::RingSizeFor(f) / 8 * 7, 617400u) << "the seek's first fill";
    f.nSamplesPerSec = 0;
    EXPECT_EQ(CMovieAVIAUDIO::RingSizeFor(f), 0u) << "an unusable format gives no ring";

    CMovieFront movie;
    ASSERT_EQ(movie.Open(MoviePath("colours.avi").c_str()), 0);
    auto* avi = dynamic_cast<CMovieAVI*>(movie.GetBackEnd());
    ASSERT_NE(avi, nullptr);
    EXPECT_EQ(avi->GetAudio()->GetRingSize(), 2u * 11025 * 4) << "4 s of the movie's 11025 Hz mono";
}

// long.avi's 5 s of sound exceed the 3.5 s written ahead at the start: the
// tone after 3.5 s can only come from the feeder thread.
TEST_F(MovieTest, feeder_thread_keeps_the_sound_going_past_the_first_fill)
{
    platform::SetManualCapture(true);
    CMovieFront movie;
    ASSERT_EQ(movie.Open(MoviePath("long.avi").c_str()), 0);
    ASSERT_TRUE(movie.HasAudio());
    movie.Play();
    std::vector<int16_t> played;
    for (int second = 0; second < 6; ++second) {
        platform::AdvanceManualClock(platform::kMixRate);
        std::vector<int16_t> part = platform::TakeManualCapture();
        played.insert(played.end(), part.begin(), part.end());
        // The feeder looks at the cursors at least every 500 ms.
        platform::SleepMs(800);
    }
    const size_t perSecond = platform::kMixRate * platform::kMixChannels;
    // Every 100 ms window up to the end holds the tone: a gap means the
    // feeder fell behind or never wrote (the ring's unwritten last half
    // second would play silence at 3.5 s).
    const size_t window = perSecond / 10;
    for (size_t w = 0; w < 49; ++w) {
        EXPECT_GT(Rms(played, w * window, (w + 1) * window), 1500)
            << "the tone must go on at " << w * 100 << " ms of 5000";
    }
    EXPECT_LT(Rms(played, 5 * perSecond + perSecond / 10, 6 * perSecond), 50)
        << "after the sound's end the ring plays silence";
    movie.Close();
    platform::SetManualCapture(false);
}

}  // namespace
