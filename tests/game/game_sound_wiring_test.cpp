// The game object hands the executor its sound service: a scenario's sound
// instructions, run through the frame loop, play the demo's sounds on the
// game's channels at the levels of the settings.
#include <gtest/gtest.h>

#include <filesystem>

#include "GameRig.h"
#include "frame/ProfileFile.h"
#include "game/GameSound.h"
#include "platform/Audio.h"
#include "sound/CBufferedSound.h"
#include "sound/MediaObject.h"
#include "sound/ScenarioSound.h"

namespace {

namespace fs = std::filesystem;
using namespace game_test;

TEST(GameSoundWiring, scenario_sounds_play_through_the_game_object)
{
    const CGameConfig saved = gConfig;
    GameFolder folder;
    TestSettings("test.nsd");
    WriteChipPictures(folder);
    for (const char* sub : {"se", "voice", "bgm"})
        fs::copy(RepoFolder() / "demo" / "sounds" / sub, fs::path(folder.path()) / sub, fs::copy_options::recursive);
    gConfig.seDir = "se";
    gConfig.voiceDir = "voice";
    gConfig.bgmDir = "bgm";
    gConfig.bgmCDDA = 0;
    gConfig.useWindowsMP3Codec = 1;
    gConfig.seLevel = 128;
    gConfig.se2Level = 64;
    gConfig.cdLevel = 96;
    WriteScenario(folder, "test", "se \"chime\"\nseloop \"rain\"\nmusic 1\nwaitclick 0\nend\n");
    platform::UseManualClock(true);

    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        ASSERT_NE(game.sound.Service(), nullptr) << "Start makes the sound channels";
        EXPECT_EQ(game.services.Sounds(), game.sound.Service()) << "the executor's host hands out the game's sound";
        const SoundChannels channels = game.sound.Sound()->Channels();
        ASSERT_TRUE(RunUntil(game, [&] { return channels.music->IsPlaying(); }, 20))
            << "the scenario must reach its music: " << game.executor.lastError();
        EXPECT_FALSE(game.executor.failed()) << game.executor.lastError();
        auto* voice = dynamic_cast<CBufferedSound*>(channels.voice);
        auto* se = dynamic_cast<CBufferedSound*>(channels.se);
        ASSERT_NE(voice, nullptr);
        ASSERT_NE(se, nullptr);
        EXPECT_EQ(voice->GetFileName(), "voice\\chime.wav") << "the one-shot effect comes from the voice folder";
        EXPECT_EQ(voice->GetVolume(), LevelToVolume(128)) << "at seLevel";
        EXPECT_EQ(se->GetFileName(), "se\\rain.wav") << "the looping effect comes from the effect folder";
        EXPECT_EQ(se->GetVolume(), LevelToVolume(64)) << "at se2Level";
        EXPECT_TRUE(se->GetLoop());
        EXPECT_EQ(channels.music->GetVolume(), LevelToVolume(96)) << "the music plays at cdLevel";
        EXPECT_EQ(game.executor.cdTrack, 1) << "the track is kept for saves";

        // A saved game's track plays again after the load.
        ProfileFile save;
        game.executor.saveState(&save);
        game.sound.Service()->StopMusic();
        ASSERT_FALSE(channels.music->IsPlaying());
        ASSERT_EQ(game.executor.loadState(save), kLoadOk);
        EXPECT_EQ(game.sound.RestartMusic(game.executor.cdTrack), 0);
        EXPECT_TRUE(channels.music->IsPlaying()) << "the restart after a load plays the saved track";
        game.Finish();
    });
    app.Run();
    platform::UseManualClock(false);
    gConfig = saved;
}

}  // namespace
