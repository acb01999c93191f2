// The scene replay: its scene lists and character keys, the scene offset
// map's messages, pages per character, and a scene picked, replayed through
// the scenario engine and returning to the screen with the same character
// and page, all through the frame loop.
#include "game/SceneReplayScreen.h"

#include <gtest/gtest.h>

#include <fstream>

#include "ScreenTestSupport.h"
#include "game/StartMenuScreen.h"
#include "game/SystemData.h"
#include "scenario/SceneOffsetMap.h"
#include "scenario/SceneSeen.h"

namespace {

using namespace game_test;
using SceneList = std::map<unsigned int, std::string>;

void WriteText(const ScreenFolder& f, const std::string& name, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(f.Path(name)).parent_path());
    std::ofstream(f.Path(name), std::ios::binary) << text;
    FlushFileLayerCache();
}

void WriteSceneMap(const ScreenFolder& f, const std::vector<std::pair<int32_t, int32_t>>& entries)
{
    const std::vector<uint8_t> bytes = scenario::WriteSceneOffsetMap(entries);
    WriteText(f, "scenario/scene.dat", std::string(bytes.begin(), bytes.end()));
}

// A replay folder: characters "mio" (scenes 1-5, thumbnails a-e) and "ren"
// (no list), every picture present, and the map {n -> n}.
struct ReplayFolder : ScreenFolder {
    ReplayFolder()
    {
        WriteScreenPictures(*this);
        WriteText(*this, "replay/characters.txt", "mio\r\nren\r\n");
        WriteText(*this, "replay/tf_mio.txt", "5 e.png\r\n1 a.png\r\n2 b.png\r\n3 c.png\r\n4 d.png");
        for (const char* key : {"mio", "ren"}) {
            EXPECT_TRUE(WriteFlatPng(Path("chip/replay_face_") + key + "_d.png", 64, 64, 0xFF404040u));
            EXPECT_TRUE(WriteFlatPng(Path("chip/replay_face_") + key + "_l.png", 64, 64, 0xFFC0C0C0u));
            EXPECT_TRUE(WriteFlatPng(Path("chip/replay_bust_") + key + ".png", 100, 200, 0xFF804020u, true));
        }
        for (char c = 'a'; c <= 'e'; ++c)
            EXPECT_TRUE(WriteFlatPng(Path("replay/") + c + ".png", 220, 160, 0xFF00C000u));
        WriteSceneMap(*this, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
        // The jump table: scenes 1-4 end at once; scene 5 waits, plays music,
        // shows a picture under key 5, waits.
        WriteScenario(folder, "scenejump.dat", "end\nend\nend\nend\nend\nwaitclick 0\nmusic 3\n"
                      "show \"chip\\\\tofu.png\", 5, 0, 0, 0\nwaitclick 0\nend\n");
        CSceneReplayScreen::ForgetRemembered();
        gSceneSeen.clear();
    }
    ~ReplayFolder() { gSceneSeen.clear(); }
};

TEST(SceneReplayScreen, scene_lists_keep_the_later_line_and_ascending_numbers)
{
    EXPECT_EQ(ParseSceneList("2 b.png\r\n1 a.png\r\n2 c d.png\r\nnospace\r\n\t-1 m.png\r\n12ab x.png"),
              (SceneList{{1, "replay\\a.png"}, {2, "replay\\c d.png"}, {12, "replay\\x.png"},
                         {static_cast<unsigned int>(-1), "replay\\m.png"}}))
        << "a repeated number keeps the later file; blanks and a sign lead the number; it stops at a non-digit";
    EXPECT_EQ(ParseSceneList("99999999999 big.png").begin()->first, static_cast<unsigned int>(INT32_MAX))
        << "an overlong number saturates instead of overflowing";
    EXPECT_TRUE(ParseSceneList("").empty());
}

TEST(SceneReplayScreen, character_keys_are_short_lower_case_names)
{
    const auto keys = ParseCharacterKeys("mio\r\nREN\r\n\r\nnine_char\r\nabcdefgh\r\na b\r\nx\r\ny\r\nz\r\nten\r\n");
    EXPECT_EQ(keys[0], "mio");
    EXPECT_EQ(keys[1], "") << "upper case is no key";
    EXPECT_EQ(keys[2], "");
    EXPECT_EQ(keys[3], "") << "longer than 8";
    EXPECT_EQ(keys[4], "abcdefgh");
    EXPECT_EQ(keys[5], "");
    EXPECT_EQ(keys[8], "z") << "the tenth line is past the nine rows";
}

TEST(SceneReplayScreen, a_missing_empty_or_foreign_offset_map_is_reported)
{
    ReplayFolder f;
    std::filesystem::remove(f.Path("scenario/scene.dat"));
    FlushFileLayerCache();
    { CSceneReplayScreen missing; }
    WriteText(f, "scenario/scene.dat", "");
    { CSceneReplayScreen empty; }
    WriteText(f, "scenario/scene.dat", "DASS\0\0\0\0");
    {
        CSceneReplayScreen foreign;
        EXPECT_EQ(foreign.findScene(), 0) << "without a map a replay starts at position 0";
    }
    EXPECT_EQ(f.boxes.texts, (std::vector<std::string>{"回想オフセットマップの読み込みに失敗しました",
                                                        "回想オフセットマップの読み込みに失敗しました",
                                                        "回想オフセットマップが違います"}));
    EXPECT_EQ(f.boxes.captions, (std::vector<std::string>{"えら", "えら", "えら"}));
}

TEST(SceneReplayScreen, four_scenes_a_page_in_ascending_order)
{
    ReplayFolder f;
    gSceneSeen = {2};
    CSceneReplayScreen replay;
    EXPECT_EQ(replay.SelectedCharacter(), 0);
    EXPECT_EQ(replay.ItemCount(), 2) << "five scenes make two tabs";
    EXPECT_EQ(replay.ThumbnailCount(), 4);
    EXPECT_EQ(replay.SceneAt(0), 1) << "thumbnails follow ascending scene numbers, not file order";
    EXPECT_EQ(replay.SceneAt(3), 4);
    replay.SelectItem(1);
    EXPECT_EQ(replay.ThumbnailCount(), 1) << "the second page holds the fifth scene alone";
    EXPECT_EQ(replay.SceneAt(0), 5);
    replay.SelectCharacter(1);
    EXPECT_EQ(replay.ItemCount(), 0) << "a character without a scene list has no tabs";
    EXPECT_EQ(replay.ThumbnailCount(), 0);
    EXPECT_EQ(replay.BustOffset(), 600) << "the bust starts below the screen";
    replay.SelectCharacter(42);
    EXPECT_EQ(replay.SelectedCharacter(), 8) << "the character number is clamped to the nine rows";
    EXPECT_TRUE(f.boxes.texts.empty()) << (f.boxes.texts.empty() ? "" : f.boxes.texts[0]);
}

TEST(SceneReplayScreen, a_picked_scene_replays_and_returns_to_the_same_page)
{
    ReplayFolder f;
    gSceneSeen = {5};
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        game.OpenScreen(3);
        auto* replay = dynamic_cast<CSceneReplayScreen*>(game.screen);
        ASSERT_NE(replay, nullptr);
        ASSERT_TRUE(ClickAt(game, CSceneReplayScreen::ThumbnailX(0) + 10, CSceneReplayScreen::ThumbnailY(0) + 10));
        EXPECT_EQ(game.screen, replay) << "an unseen scene's thumbnail does nothing";
        ASSERT_TRUE(PressButton(game, kTabX, TabY(1)));
        EXPECT_EQ(replay->SelectedItem(), 1);
        ASSERT_TRUE(ClickAt(game, CSceneReplayScreen::ThumbnailX(0) + 10, CSceneReplayScreen::ThumbnailY(0) + 10));
        EXPECT_EQ(game.screen, nullptr) << "a seen scene ends the screen with 0x200";
        EXPECT_EQ(game.executor.scenarioName(), "scenejump.dat");
        EXPECT_EQ(game.executor.position(), 5u) << "the replay starts where scene.dat puts scene 5";
        EXPECT_EQ(game.executor.sceneReplay, 1);

        ASSERT_TRUE(ClickAt(game, 400, 300));
        ASSERT_TRUE(RunUntil(game, [&] { return game.drawQueue.Find(5) != nullptr; }, 10))
            << "the scene shows its picture";
        EXPECT_EQ(game.executor.cdTrack, 3) << "and plays its music";
        ASSERT_TRUE(ClickAt(game, 400, 300));
        ASSERT_TRUE(RunUntil(game, [&] { return game.screen != nullptr; }, 10))
            << "the end of the scene returns to the replay screen";
        auto* again = dynamic_cast<CSceneReplayScreen*>(game.screen);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(game.executor.cdTrack, ScenarioExecutor::kNoTrack) << "the scene's music stopped with it";
        EXPECT_EQ(game.drawQueue.Find(5), nullptr) << "and its pictures went with it";
        EXPECT_EQ(again->SelectedCharacter(), 0);
        EXPECT_EQ(again->SelectedItem(), 1) << "the page of the picked scene is shown again";

        ASSERT_TRUE(PressButton(game, kTitleButtonX, kTitleButtonY));
        ASSERT_NE(dynamic_cast<CStartMenuScreen*>(game.screen), nullptr);
        game.OpenScreen(3);
        EXPECT_EQ(dynamic_cast<CSceneReplayScreen*>(game.screen)->SelectedItem(), 1)
            << "through the title and back, the replay still remembers the page";
        game.Finish();
    });
    app.Run();
    EXPECT_TRUE(f.boxes.texts.empty()) << (f.boxes.texts.empty() ? "" : f.boxes.texts[0]);
}

TEST(SceneReplayScreen, faces_pick_characters_and_omake_offers_every_scene)
{
    ReplayFolder f;
    gConfig.omake1 = 1;
    GameApp app([&](TestGame& game) {
        game.UseScreens();
        StartPastMovies(game);
        game.OpenScreen(3);
        auto* replay = dynamic_cast<CSceneReplayScreen*>(game.screen);
        ASSERT_NE(replay, nullptr);
        ASSERT_TRUE(ClickAt(game, CSceneReplayScreen::FaceX(1) + 63, 15 + 63));
        EXPECT_EQ(replay->SelectedCharacter(), 1) << "the face's last pixel is inside";
        ASSERT_TRUE(ClickAt(game, CSceneReplayScreen::FaceX(0) + 64, 40));
        EXPECT_EQ(replay->SelectedCharacter(), 1) << "one past the right edge is outside (that is the gap)";
        ASSERT_TRUE(ClickAt(game, CSceneReplayScreen::FaceX(0), 15));
        EXPECT_EQ(replay->SelectedCharacter(), 0);
        const int x = CSceneReplayScreen::ThumbnailX(1) + 5, y = CSceneReplayScreen::ThumbnailY(1) + 5;
        platform::testing::PushMouseMotion(x, y + platform::kMenuBarHeight);
        platform::testing::PushMouseButton(1, true, x, y + platform::kMenuBarHeight);
        ASSERT_TRUE(FrameWith(game));
        EXPECT_EQ(game.screen, nullptr) << "with omake1 an unseen scene is offered";
        EXPECT_EQ(game.executor.position(), 2u);
        platform::testing::PushMouseButton(1, false, x, y + platform::kMenuBarHeight);
        ASSERT_TRUE(FrameWith(game));
        EXPECT_NE(dynamic_cast<CSceneReplayScreen*>(game.screen), nullptr) << "its end returns to the screen";
        game.Finish();
    });
    app.Run();
    gConfig.omake1 = 0;
}

}  // namespace
