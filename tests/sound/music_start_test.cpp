// StartCDDA: volumes, stops, and which track starts from files or the CD.
#include "game/MusicStart.h"

#include <memory>

#include "SoundTestSupport.h"
#include "game/GameConfig.h"
#include "platform/Cd.h"
#include "sound/CAudioMixer.h"
#include "sound/CCDDA.h"
#include "sound/MediaObject.h"

using namespace soundtest;

namespace {

// A channel that records what it is asked.
class RecordingChannel : public CMediaObject {
public:
    std::vector<std::string> calls;
    int volume = 0;
    int Open(const char*) override { return 0; }
    int Close() override { return 0; }
    int Play() override { calls.push_back("Play"); return 0; }
    int Resume() override { return 0; }
    int Stop() override { calls.push_back("Stop"); return 0; }
    int Pause() override { return 0; }
    bool IsPlaying() override { return false; }
    bool GetLoop() override { return false; }
    int SetLoop(bool) override { return 0; }
    int GetPosition() override { return 0; }
    int SetPosition(int) override { return 0; }
    int GetLength() override { return 0; }
    int SetVolume(int v) override { volume = v; calls.push_back("SetVolume " + std::to_string(v)); return 0; }
    int GetVolume() override { return volume; }
    int Load(std::string path) override { calls.push_back("Load " + path); return 0; }
    bool Loaded(const std::string& path) const
    {
        for (const auto& c : calls) if (c == "Load " + path) return true;
        return false;
    }
};

}  // namespace

class MusicStartTest : public SoundFolderTest {
protected:
    void SetUp() override
    {
        SoundFolderTest::SetUp();
        saved_ = gConfig;
        gConfig.bgmCDDA = 0;
        gConfig.bgmDir = "bgm";
        gConfig.cdLevel = 255;
        gConfig.seLevel = 255;
        gConfig.se2Level = 0;
        gConfig.CDDADrive = "";
    }
    void TearDown() override
    {
        gConfig = saved_;
        SoundFolderTest::TearDown();
    }
    SoundChannels Channels() { return {&music_, &voice_, &se_}; }
    CGameConfig saved_;
    RecordingChannel music_, voice_, se_;
};

TEST_F(MusicStartTest, track_999_sets_volumes_and_stops_only)
{
    gConfig.seLevel = 128;
    EXPECT_EQ(StartCDDA(nullptr, nullptr, 999, Channels()), 0);
    EXPECT_EQ(music_.volume, -1) << "the music channel gets the converted cdLevel";
    EXPECT_EQ(voice_.volume, -98) << "the voice channel gets the converted seLevel";
    EXPECT_EQ(se_.volume, -10000) << "the effect channel gets the converted se2Level";
    EXPECT_EQ(music_.calls.back(), "Stop") << "the music is stopped and nothing is loaded";
    EXPECT_EQ(voice_.calls.back(), "Stop");
    EXPECT_EQ(se_.calls.back(), "Stop");
}

TEST_F(MusicStartTest, files_start_the_named_track_unless_the_voice_level_is_zero)
{
    StartCDDA(nullptr, nullptr, 5, Channels());
    EXPECT_TRUE(music_.Loaded("bgm\\05.wav")) << "track 5 is folder, backslash, two digits, .wav";
    EXPECT_EQ(music_.calls.back(), "Play");
    music_.calls.clear();
    StartCDDA(nullptr, nullptr, 123, Channels());
    EXPECT_TRUE(music_.Loaded("bgm\\123.wav")) << "track 123 keeps its three digits";
    music_.calls.clear();
    gConfig.seLevel = 0;
    StartCDDA(nullptr, nullptr, 5, Channels());
    EXPECT_FALSE(music_.Loaded("bgm\\05.wav")) << "seLevel 0 starts no music, even at cdLevel 255";
    music_.calls.clear();
    gConfig.seLevel = 255;
    gConfig.bgmDir = std::string(300, 'x');
    StartCDDA(nullptr, nullptr, 5, Channels());
    EXPECT_EQ(music_.calls.back(), "Stop") << "a name beyond 256 bytes is not loaded";
}

TEST_F(MusicStartTest, cd_music_sets_the_cd_line_and_plays_the_track)
{
    std::vector<uint8_t> bin(75 * 2352 * 2, 0);
    Write("d.bin", bin);
    std::string cue = "FILE \"" + dir_ + "/d.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                      "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n";
    Write("d.cue", std::vector<uint8_t>(cue.begin(), cue.end()));
    platform::cd::SetCdImage("S", dir_ + "/d.cue");
    gConfig.bgmCDDA = 1;
    gConfig.cdLevel = 128;
    gConfig.CDDADrive = "S";
    CAudioMixer mixer;
    CCDDA cd;
    EXPECT_EQ(StartCDDA(&mixer, &cd, 2, Channels()), 0);
    uint16_t l = 0, r = 0;
    platform::GetLineGain(platform::AudioLine::CD, &l, &r);
    EXPECT_EQ(l, 128 * 255) << "the mixer's CD component gets cdLevel x 255";
    EXPECT_TRUE(cd.IsOpen()) << "the drive of CDDADrive is opened";
    EXPECT_TRUE(cd.IsPlaying()) << "and the track plays";
    gConfig.CDDADrive = "T";
    EXPECT_EQ(StartCDDA(&mixer, &cd, 2, Channels()), 0) << "a drive that fails is not reported";
    EXPECT_FALSE(cd.IsPlaying());
    platform::cd::SetCdImage("S", "");
}
