// The scenario's sound instructions end to end: assembled scenarios run by
// the executor against CScenarioSound, on the manual clock, with the files
// written here. What is heard (channel, file, volume, loop) is checked.
#include "sound/ScenarioSound.h"

#include <cmath>
#include <map>
#include <memory>

#include "SoundTestSupport.h"
#include "Mp3TestSupport.h"
#include "platform/Cd.h"
#include "scenario/ScenarioAssembler.h"
#include "scenario/ScenarioExecutor.h"
#include "sound/CCDDA.h"
#include "sound/CSound.h"
#include "sound/CSoundMp3.h"
#include "sound/CStreamMusic.h"

using namespace soundtest;

namespace {

class SoundHost : public scenario::ScenarioHost {
public:
    explicit SoundHost(scenario::SoundService* sounds) : sounds_(sounds) {}
    uint32_t TickCount() override { return 0; }
    void ShowMessage(const std::string&, const std::string&) override {}
    int SaveSystemData() override { return 0; }
    scenario::SoundService* Sounds() override { return sounds_; }

private:
    scenario::SoundService* sounds_;
};

std::vector<uint8_t> Tone(int16_t value, size_t frames)
{
    return PcmWave(1, 44100, 16, Samples16(std::vector<int16_t>(frames, value)));
}

}  // namespace

class ScenarioSoundTest : public SoundFolderTest {
protected:
    void SetUp() override
    {
        SoundFolderTest::SetUp();
        settings_.seDir = "se";
        settings_.voiceDir = "voice";
        settings_.bgmDir = "bgm";
        settings_.seLevel = 255;
        settings_.se2Level = 128;
        settings_.cdLevel = 200;
        Write("voice/bang.wav", Tone(1000, 4410));
        Write("voice/v001.wav", Tone(2000, 4410));
        Write("se/rain.wav", Tone(3000, 4410));
        Write("bgm/03.wav", Tone(4000, 44100 * 2));
    }
    void TearDown() override
    {
        exec_.reset();
        service_.reset();
        SoundFolderTest::TearDown();
    }
    // Assembles and runs the scenario to its end.
    int Run(const std::string& source, int fastForward = 0)
    {
        service_ = std::make_unique<CScenarioSound>([this] { return settings_; }, cd_.get(), nullptr);
        host_ = std::make_unique<SoundHost>(service_.get());
        std::vector<scenario::AsmOutput> out;
        std::string errors;
        EXPECT_TRUE(scenario::ScenarioAssembler().assemble({{"a.nsd", source, false}}, &out, &errors)) << errors;
        files_["scenario\\a.nsd"] = out.empty() ? std::vector<uint8_t>() : out[0].bytes;
        exec_ = std::make_unique<ScenarioExecutor>();
        exec_->setHost(host_.get());
        exec_->setSystemVariables(&systemInt_);
        exec_->setFileReader(
            [](void* ctx, const std::string& name, std::vector<uint8_t>* bytes) {
                auto* files = static_cast<std::map<std::string, std::vector<uint8_t>>*>(ctx);
                auto it = files->find(name);
                if (it == files->end()) return 1;
                *bytes = it->second;
                return 0;
            },
            &files_);
        exec_->setFastForward(fastForward);
        EXPECT_TRUE(exec_->openScenario("a.nsd"));
        int r = kStepContinue;
        for (int i = 0; i < 10 && r == kStepContinue; ++i) {
            r = exec_->step(scenario::StepInput{});
        }
        return r;
    }
    CSound& Voice() { return *static_cast<CSound*>(service_->Channels().voice); }
    CSound& Se() { return *static_cast<CSound*>(service_->Channels().se); }

    SoundSettings settings_;
    std::unique_ptr<CCDDA> cd_;
    std::unique_ptr<CScenarioSound> service_;
    std::unique_ptr<SoundHost> host_;
    std::unique_ptr<ScenarioExecutor> exec_;
    std::map<std::string, std::vector<uint8_t>> files_;
    std::map<int32_t, int32_t> systemInt_;
};

TEST_F(ScenarioSoundTest, effects_voice_and_music_play_from_their_folders)
{
    ASSERT_EQ(Run(R"(
        se "bang"
        seloop "rain"
        voice "v001"
        push 3
        music
        end
    )"), kStepEnd) << exec_->lastError();
    EXPECT_EQ(Voice().GetFileName(), "voice\\v001.wav") << "the voice replaced the one-shot effect on the voice channel";
    EXPECT_TRUE(Voice().IsPlaying());
    EXPECT_EQ(Voice().GetVolume(), -1) << "seLevel 255 gives -1";
    EXPECT_EQ(Se().GetFileName(), "se\\rain.wav") << "a looping effect comes from the effect folder";
    EXPECT_TRUE(Se().GetLoop());
    EXPECT_EQ(Se().GetVolume(), -98) << "se2Level 128 gives -98";
    auto* music = dynamic_cast<CStreamMusic*>(service_->Channels().music);
    ASSERT_NE(music, nullptr) << "with the system codec the music is streamed";
    EXPECT_TRUE(music->IsPlaying()) << "music track 3 plays bgm\\03.wav";
    EXPECT_EQ(music->GetVolume(), LevelToVolume(200));
    EXPECT_EQ(exec_->cdTrack, 3);

    platform::SetManualCapture(true);
    platform::AdvanceManualClock(441);
    std::vector<int16_t> out = platform::TakeManualCapture();
    platform::SetManualCapture(false);
    double expect = 2000 * std::pow(10.0, -1 / 2000.0) + 3000 * std::pow(10.0, -98 / 2000.0) +
                    4000 * std::pow(10.0, LevelToVolume(200) / 2000.0);
    EXPECT_NEAR(out[200], expect, 2.0) << "voice, effect and music are heard at their volumes";
}

TEST_F(ScenarioSoundTest, nothing_plays_at_voice_level_zero_or_while_skipping)
{
    settings_.seLevel = 0;
    ASSERT_EQ(Run(R"(
        se "bang"
        seloop "rain"
        push 3
        music
        end
    )"), kStepEnd);
    EXPECT_FALSE(Voice().IsPlaying()) << "seLevel 0 silences the one-shot effect";
    EXPECT_FALSE(Se().IsPlaying()) << "and the looping one";
    EXPECT_FALSE(service_->Channels().music->IsPlaying()) << "and, from files, the music";

    settings_.seLevel = 255;
    ASSERT_EQ(Run(R"(
        se "bang"
        voice "v001"
        end
    )", 1), kStepEnd);
    EXPECT_FALSE(Voice().IsPlaying()) << "nothing sounds while skipping";
}

TEST_F(ScenarioSoundTest, every_voice_line_is_told_to_the_listener_even_when_silenced)
{
    CScenarioSound sound([this] { return settings_; }, nullptr, nullptr);
    std::vector<std::string> heard;
    sound.SetVoiceListener([&](const std::string& path) { heard.push_back(path); });
    sound.PlaySe("bang", false);
    EXPECT_TRUE(heard.empty()) << "a one-shot effect on the voice channel is not a voice line";
    sound.PlayVoice("v001");
    settings_.seLevel = 0;
    sound.PlayVoice("missing");
    EXPECT_EQ(heard, (std::vector<std::string>{"voice\\v001.wav", "voice\\missing.wav"}))
        << "the page keeps its voice whether or not it could be heard now";
}

TEST_F(ScenarioSoundTest, sestop_stops_both_effect_channels)
{
    ASSERT_EQ(Run(R"(
        se "bang"
        seloop "rain"
        sestop
        end
    )"), kStepEnd);
    EXPECT_FALSE(Voice().IsPlaying());
    EXPECT_FALSE(Se().IsPlaying());
}

TEST_F(ScenarioSoundTest, built_in_decoder_channels_when_the_system_codec_is_off)
{
    settings_.useWindowsMP3Codec = 0;
    std::vector<uint8_t> mp3 = mp3test::Stream("l3_m1_stereo_44k_128.mp3");
    ASSERT_FALSE(mp3.empty());
    Write("bgm/04.wav", mp3);
    ASSERT_EQ(Run(R"(
        push 4
        music
        end
    )"), kStepEnd);
    auto* music = dynamic_cast<CSoundMp3*>(service_->Channels().music);
    ASSERT_NE(music, nullptr) << "useWindowsMP3Codec 0 makes the music an MP3 sound";
    EXPECT_NE(dynamic_cast<CSoundMp3*>(service_->Channels().voice), nullptr);
    EXPECT_NE(dynamic_cast<CSound*>(service_->Channels().se), nullptr) << "the looping effect stays a CSound";
    EXPECT_TRUE(music->IsPlaying()) << "an MP3 named 04.wav plays through the MP3 decoder";
    EXPECT_TRUE(music->GetLoop()) << "music loops";
}

TEST_F(ScenarioSoundTest, music_from_the_cd_image)
{
    std::vector<uint8_t> bin;
    for (int i = 0; i < 75 * 588 * 2; ++i) {
        Put16(bin, 1234);
        Put16(bin, 1234);
    }
    Write("disc.bin", bin);
    std::string cue = "FILE \"" + dir_ + "/disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                      "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n";
    Write("disc.cue", std::vector<uint8_t>(cue.begin(), cue.end()));
    platform::cd::SetCdImage("R", dir_ + "/disc.cue");
    cd_ = std::make_unique<CCDDA>();
    ASSERT_EQ(cd_->Open("R"), 0);
    settings_.bgmCDDA = 1;
    ASSERT_EQ(Run(R"(
        push 2
        music
        end
    )"), kStepEnd);
    EXPECT_TRUE(cd_->IsPlaying()) << "with bgmCDDA the music track is a CD track";
    ASSERT_EQ(Run(R"(
        musicstop
        end
    )"), kStepEnd);
    EXPECT_FALSE(cd_->IsPlaying()) << "musicstop stops the CD";
    cd_.reset();
    platform::cd::SetCdImage("R", "");
}
