// The game's sound glue: the channels it makes from the settings, the CD
// line it sets, the music restart after a load; and the demo's sounds tour
// (demo/scenario/sounds.nss with the sounds of demo/sounds) run by the
// executor on the manual audio clock, with what the mixer put out measured
// against the source files at the volumes the settings give.
#include "game/GameSound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "GameTestFolder.h"
#include "frame/FileLayer.h"
#include "game/MusicStart.h"
#include "platform/Audio.h"
#include "platform/Cd.h"
#include "platform/Time.h"
#include "scenario/AssembleFiles.h"
#include "scenario/ScenarioExecutor.h"
#include "sound/CAudioMixer.h"
#include "sound/CCDDA.h"
#include "sound/CSound.h"
#include "sound/CSoundMp3.h"
#include "sound/CStreamMusic.h"
#include "sound/ScenarioSound.h"

namespace fs = std::filesystem;

namespace {

// 20 ms frames: every wait of the tour is a whole number of them, so each
// sound starts exactly at its planned time.
constexpr uint32_t kFrameMs = 20;
constexpr uint32_t kFrameSamples = platform::kMixRate * kFrameMs / 1000;  // 882

fs::path RepoFolder()
{
    const char* data = std::getenv("LANTERN_TEST_DATA");
    return fs::path(data ? data : "tests/data") / ".." / "..";
}

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A canonical PCM WAVE file (as the generator writes them) as mono samples on
// the 16-bit scale; empty when it is not one.
std::vector<float> WaveSamples(const fs::path& path, uint32_t* rate)
{
    const std::vector<uint8_t> b = ReadBytes(path);
    auto u16 = [&](size_t at) { return static_cast<uint32_t>(b[at] | b[at + 1] << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    std::vector<float> out;
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" || u16(22) != 1)
        return out;
    *rate = u32(24);
    const uint32_t bits = u16(34);
    const size_t size = std::min<size_t>(u32(40), b.size() - 44);
    for (size_t i = 44; i + (bits / 8) <= 44 + size; i += bits / 8)
        out.push_back(bits == 8 ? (static_cast<int>(b[i]) - 128) * 256.0f
                                : static_cast<float>(static_cast<int16_t>(u16(i))));
    return out;
}

double Rms(const std::vector<float>& s, size_t from, size_t to)
{
    double sum = 0;
    to = std::min(to, s.size());
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

// The attenuation (hundredths of a dB) as a linear gain, as the mixer applies it.
double Gain(int volume)
{
    return std::pow(10.0, volume / 2000.0);
}

class Host : public scenario::ScenarioHost {
public:
    uint32_t TickCount() override { return ticks; }
    void ShowMessage(const std::string& text, const std::string&) override { messages += text; }
    int SaveSystemData() override { return 0; }
    scenario::SoundService* Sounds() override { return sounds; }

    uint32_t ticks = 0;
    scenario::SoundService* sounds = nullptr;
    std::string messages;
};

// A game folder with the demo's sounds (copied from demo/sounds) and the
// settings the demo's brask.ini gives for them, on the manual audio clock.
class GameSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = gConfig;
        platform::UseManualClock(true);
        platform::SetManualCapture(true);
        for (const char* sub : {"se", "voice", "bgm", "cd"})
            fs::copy(RepoFolder() / "demo" / "sounds" / sub, fs::path(folder_.path()) / sub,
                     fs::copy_options::recursive);
        FlushFileLayerCache();
        gConfig.seDir = "se";
        gConfig.voiceDir = "voice";
        gConfig.bgmDir = "bgm";
        gConfig.CDDADrive = "D";
        gConfig.bgmCDDA = 0;
        gConfig.useWindowsMP3Codec = 1;
        // Levels whose attenuations differ clearly: -98, -990 and -311.
        gConfig.seLevel = 128;
        gConfig.se2Level = 64;
        gConfig.cdLevel = 96;
        platform::cd::SetCdImage("D", folder_.path() + "/cd/lantern.cue");
        cd_ = std::make_unique<CCDDA>();
        mixer_ = std::make_unique<CAudioMixer>();
    }
    void TearDown() override
    {
        executor_.reset();
        sound_.reset();
        mixer_.reset();
        cd_.reset();
        platform::cd::SetCdImage("D", "");
        platform::SetManualCapture(false);
        platform::UseManualClock(false);
        gConfig = saved_;
    }

    // Runs frames of 20 ms (the executor's clock and the mixer's together)
    // until `ms` have passed, keeping the mixed output in out_ (left channel).
    void RunFor(uint32_t ms)
    {
        for (uint32_t t = 0; t < ms; t += kFrameMs) {
            if (executor_) {
                ASSERT_EQ(executor_->step(scenario::StepInput{}), kStepContinue)
                    << "the tour must run without an error: " << executor_->lastError();
            }
            // No window here to carry the CD's end-of-track message.
            cd_->PollNotify();
            platform::AdvanceManualClock(kFrameSamples);
            host_.ticks += kFrameMs;
            // The stream and CD feeders run on their own threads: let them refill.
            platform::SleepMs(4);
            const std::vector<int16_t> mixed = platform::TakeManualCapture();
            for (size_t i = 0; i + 1 < mixed.size(); i += 2)
                out_.push_back(mixed[i]);
        }
    }

    // The first sample at or after `from` that is clearly not silence.
    size_t Onset(size_t from) const
    {
        for (size_t i = from; i < out_.size(); ++i)
            if (std::abs(out_[i]) > 200)
                return i;
        return out_.size();
    }

    // The demo's sounds tour assembled from the repository, run from its start.
    void StartTour()
    {
        std::string errors;
        ASSERT_TRUE(scenario::AssembleFiles({(RepoFolder() / "demo" / "scenario" / "sounds.nss").string()},
                                            folder_.path() + "/scenario", &errors))
            << "the sounds tour must assemble: " << errors;
        FlushFileLayerCache();
        sound_ = std::make_unique<CGameSound>(cd_.get(), mixer_.get());
        host_.sounds = sound_->Start();
        executor_ = std::make_unique<ScenarioExecutor>();
        executor_->setSystemVariables(&systemInt_);
        executor_->setHost(&host_);
        ASSERT_TRUE(executor_->openScenario("sounds.nsd")) << executor_->lastError();
    }

    fs::path File(const char* name) const { return fs::path(folder_.path()) / name; }

    CGameConfig saved_;
    game_test::GameFolder folder_;
    std::unique_ptr<CCDDA> cd_;
    std::unique_ptr<CAudioMixer> mixer_;
    std::unique_ptr<CGameSound> sound_;
    std::unique_ptr<ScenarioExecutor> executor_;
    std::map<int32_t, int32_t> systemInt_;
    Host host_;
    std::vector<float> out_;
};

::testing::AssertionResult NearRatio(double got, double want, double tolerance)
{
    if (want > 0 && std::abs(got / want - 1.0) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "level " << got << " but expected " << want << " within "
                                         << tolerance * 100 << "%";
}

TEST_F(GameSoundTest, channels_follow_the_mp3_choice_made_at_start)
{
    CGameSound sound(cd_.get(), mixer_.get());
    EXPECT_EQ(sound.Service(), nullptr) << "no service exists before Start";
    EXPECT_EQ(sound.RestartMusic(1), 1) << "a restart before Start has no channels to use";

    gConfig.useWindowsMP3Codec = 0;
    scenario::SoundService* service = sound.Start();
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(sound.Service(), service) << "Start hands out the service it keeps";
    SoundChannels channels = sound.Sound()->Channels();
    EXPECT_NE(dynamic_cast<CSoundMp3*>(channels.voice), nullptr) << "MP3 choice 0: the voice is decoded by our decoder";
    EXPECT_NE(dynamic_cast<CSoundMp3*>(channels.music), nullptr) << "MP3 choice 0: so is the music";
    EXPECT_NE(dynamic_cast<CSound*>(channels.se), nullptr);

    gConfig.useWindowsMP3Codec = 1;
    sound.Start();
    channels = sound.Sound()->Channels();
    EXPECT_NE(dynamic_cast<CSound*>(channels.voice), nullptr)
        << "MP3 choice 1: the voice goes through the reader factory";
    EXPECT_NE(dynamic_cast<CStreamMusic*>(channels.music), nullptr) << "MP3 choice 1: the music is streamed";
    EXPECT_EQ(sound.Sound()->GetCD(), cd_.get()) << "CD music plays on the game's CD player";
}

TEST_F(GameSoundTest, start_puts_the_music_level_on_the_cd_line)
{
    CGameSound sound(cd_.get(), mixer_.get());
    gConfig.cdLevel = 96;
    sound.Start();
    uint16_t left = 0, right = 0;
    platform::GetLineGain(platform::AudioLine::CD, &left, &right);
    EXPECT_EQ(left, 96 * 255) << "the CD line carries cdLevel x 255 from the start";
    EXPECT_EQ(right, 96 * 255);
}

TEST_F(GameSoundTest, restart_after_a_load_plays_the_saved_track_and_999_stops_it)
{
    CGameSound sound(cd_.get(), mixer_.get());
    sound.Start();
    CMediaObject* music = sound.Sound()->Channels().music;
    ASSERT_EQ(sound.RestartMusic(2), 0);
    EXPECT_TRUE(music->IsPlaying()) << "the saved track starts again after a load";
    EXPECT_EQ(music->GetVolume(), LevelToVolume(96)) << "at the music level of the settings";
    ASSERT_EQ(sound.RestartMusic(kNoMusicTrack), 0);
    EXPECT_FALSE(music->IsPlaying()) << "a save without music leaves the music stopped";
}

TEST_F(GameSoundTest, own_mp3_decoder_plays_the_mp3_track_and_leaves_the_wave_track_silent)
{
    gConfig.useWindowsMP3Codec = 0;
    CGameSound sound(cd_.get(), mixer_.get());
    sound.Start();
    CMediaObject* music = sound.Sound()->Channels().music;
    ASSERT_EQ(sound.RestartMusic(2), 0);
    EXPECT_TRUE(music->IsPlaying()) << "bgm\\02.wav holds MP3 data, which our decoder plays whatever the name";
    RunFor(400);
    EXPECT_GT(Rms(out_, 200 * platform::kMixRate / 1000, out_.size()), 300) << "the MP3 track is heard";
    ASSERT_EQ(sound.RestartMusic(1), 0);
    EXPECT_FALSE(music->IsPlaying()) << "a WAVE track is not MP3: with MP3 choice 0 it stays silent";
}

TEST_F(GameSoundTest, demo_tour_plays_effects_voice_and_file_music_at_their_levels)
{
    StartTour();
    RunFor(9000);
    ASSERT_FALSE(executor_->failed()) << executor_->lastError();
    ASSERT_TRUE(host_.messages.empty()) << host_.messages;

    uint32_t rate = 0;
    const std::vector<float> chime = WaveSamples(File("voice/chime.wav"), &rate);
    const std::vector<float> rain = WaveSamples(File("se/rain.wav"), &rate);
    const std::vector<float> voice = WaveSamples(File("voice/mio01.wav"), &rate);
    const std::vector<float> track1 = WaveSamples(File("bgm/01.wav"), &rate);
    ASSERT_EQ(rate, 22050u) << "the demo's files are 22050 Hz (two output samples each)";
    ASSERT_FALSE(chime.empty() || rain.empty() || voice.empty() || track1.empty()) << "the demo's WAVE files must read";
    const size_t ms = platform::kMixRate / 1000;
    const double seGain = Gain(LevelToVolume(128));
    const double loopGain = Gain(LevelToVolume(64));
    const double musicGain = Gain(LevelToVolume(96));

    // 0 ms: the chime alone, its first 300 ms.
    const size_t chimeAt = Onset(0);
    ASSERT_LT(chimeAt, 5 * ms) << "the chime starts with the tour";
    EXPECT_TRUE(NearRatio(Rms(out_, chimeAt, chimeAt + 300 * ms), seGain * Rms(chime, 0, 300 * 22), 0.06))
        << "the one-shot effect plays at seLevel";
    EXPECT_LT(Rms(out_, 600 * ms, 690 * ms), 30) << "the chime ends by itself";

    // 700 ms: the rain alone (two turns of its 0.6 s loop).
    const size_t rainAt = Onset(700 * ms);
    ASSERT_LT(rainAt, 710 * ms) << "the looping effect starts at 700 ms";
    EXPECT_TRUE(NearRatio(Rms(out_, rainAt, rainAt + 1200 * ms), loopGain * Rms(rain, 0, rain.size()), 0.06))
        << "the looping effect plays at se2Level, round and round";

    // 1900 ms: the voice over the rain; the two are unrelated, so their energies add.
    const size_t voiceAt = 1900 * ms;
    const double voiceWant = std::hypot(seGain * Rms(voice, 0, 1100 * 22), loopGain * Rms(rain, 0, rain.size()));
    EXPECT_TRUE(NearRatio(Rms(out_, voiceAt, voiceAt + 1100 * ms), voiceWant, 0.06))
        << "the voice plays at seLevel over the rain";

    // 3300 ms: the effects stop (after their 25 ms fade) and track 1 begins.
    const size_t musicAt = Onset(3300 * ms);
    ASSERT_LT(musicAt, 3400 * ms) << "track 1 starts at 3300 ms";
    EXPECT_TRUE(NearRatio(Rms(out_, musicAt + 100 * ms, musicAt + 1900 * ms),
                          musicGain * Rms(track1, 100 * 22, 1900 * 22), 0.06))
        << "the WAVE music track plays at cdLevel";
    EXPECT_TRUE(NearRatio(Rms(out_, musicAt + 2000 * ms + 100 * ms, musicAt + 2400 * ms),
                          musicGain * Rms(track1, 100 * 22, 500 * 22), 0.08))
        << "the music loops: after 2 s track 1 starts again";

    // 5800 ms: track 2, MP3 data under the track's ".wav" name.
    const size_t mp3At = Onset(5800 * ms + 10 * ms);
    ASSERT_LT(mp3At, 5950 * ms) << "track 2 starts at 5800 ms";
    CMediaObject* music = sound_->Sound()->Channels().music;
    EXPECT_EQ(music->GetVolume(), LevelToVolume(96)) << "the MP3 track plays at cdLevel";
    EXPECT_TRUE(NearRatio(Rms(out_, mp3At + 100 * ms, mp3At + 1900 * ms),
                          Rms(out_, musicAt + 100 * ms, musicAt + 1900 * ms), 0.25))
        << "the MP3 track (an arpeggio made like track 1) is heard at about track 1's level";

    // 8300 ms: the music stops and the tour starts again with the chime, which
    // has died away by 8900 ms; the rain follows at 9000 ms.
    EXPECT_FALSE(music->IsPlaying()) << "musicstop stops the music player";
    EXPECT_LT(Rms(out_, 8900 * ms, 8990 * ms), 30) << "musicstop silences the music";
}

TEST_F(GameSoundTest, demo_tour_plays_cd_music_from_the_image_on_the_cd_line)
{
    gConfig.bgmCDDA = 1;
    ASSERT_EQ(cd_->Open(gConfig.CDDADrive), 0) << "the demo's CUE/BIN image must open as drive D";
    ASSERT_EQ(cd_->GetTrackCount(), 2) << "the image holds two tracks";
    StartTour();
    RunFor(3300);  // the effects and the voice, as in the file-music tour
    out_.clear();
    RunFor(5700);
    ASSERT_FALSE(executor_->failed()) << executor_->lastError();

    // Track k of the image as left-channel samples.
    const std::vector<uint8_t> bin = ReadBytes(File("cd/lantern.bin"));
    ASSERT_EQ(bin.size(), 2u * 75 * 2352) << "two tracks of 75 sectors";
    auto trackLeft = [&](int k) {
        std::vector<float> s;
        for (size_t i = static_cast<size_t>(k - 1) * 44100 * 4; i < static_cast<size_t>(k) * 44100 * 4; i += 4)
            s.push_back(static_cast<int16_t>(bin[i] | bin[i + 1] << 8));
        return s;
    };
    const std::vector<float> track1 = trackLeft(1);
    const std::vector<float> track2 = trackLeft(2);
    const double line = 96 * 255 / 65535.0;  // the CD line's gain: cdLevel x 255 of 65535
    const size_t ms = platform::kMixRate / 1000;

    const size_t at1 = Onset(0);
    ASSERT_LT(at1, 100 * ms) << "CD track 1 starts with the music instruction";
    EXPECT_TRUE(NearRatio(Rms(out_, at1 + 50 * ms, at1 + 950 * ms), line * Rms(track1, 50 * 44, 950 * 44), 0.05))
        << "CD track 1 plays on the CD line at cdLevel";
    EXPECT_TRUE(NearRatio(Rms(out_, at1 + 1300 * ms, at1 + 1900 * ms), line * Rms(track1, 300 * 44, 900 * 44), 0.05))
        << "the one-second track loops";
    EXPECT_GE(cd_->GetPlayCount(), 2) << "the end of the track started it again";

    const size_t at2 = 2500 * ms;
    EXPECT_TRUE(NearRatio(Rms(out_, at2 + 150 * ms, at2 + 950 * ms), line * Rms(track2, 100 * 44, 900 * 44), 0.05))
        << "CD track 2 follows at 5800 ms";
    // 8300 ms (5000 here): musicstop, then the tour's next chime, gone by 8900 ms.
    EXPECT_FALSE(cd_->IsPlaying()) << "musicstop stops the CD";
    EXPECT_LT(Rms(out_, 5600 * ms, 5690 * ms), 30) << "nothing of the CD is heard after musicstop";
}

}  // namespace
