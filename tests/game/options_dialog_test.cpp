// The options dialog: its init and apply tables through the dialog state
// (as the view drives it), and the whole OK / Cancel road in a running game:
// settings, music, user file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "MessageWindowSettings.h"
#include "GameRig.h"
#include "frame/ProfileFile.h"
#include "game/GameSound.h"
#include "game/GameMenus.h"
#include "game/OptionsDialog.h"
#include "game/SystemData.h"
#include "game/TextDrawable.h"
#include "platform/Audio.h"
#include "platform/EventInjection.h"
#include "platform/WindowMessages.h"
#include "sound/MediaObject.h"
#include "sound/ScenarioSound.h"

namespace {

namespace fs = std::filesystem;
using namespace options_dialog;

// A dialog over gConfig as it is now, and the person's hands on it.
struct Open {
    explicit Open(std::vector<std::string> drives) : handler(std::move(drives)), input(state, handler)
    {
        handler.OnInit(state);
    }
    COptionsDialog handler;
    platform::DialogState state{OptionsDialogTemplate()};
    platform::DialogInput input;
};

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gConfig.cdLevel = 200;
        gConfig.seLevel = 150;
        gConfig.se2Level = 100;
        gConfig.BackColor = 50;
        gConfig.interval = 3;
        gConfig.bgmCDDA = 0;
        gConfig.useWindowsMP3Codec = 1;
        gConfig.windowMove = 1;
        gConfig.CDDADrive = std::string(1, 'E');  // gcc 12 -O3 warns (falsely) on assigning "E"
    }
    game_test::SettingsScope settings_;  // restores gConfig at the end
};

TEST_F(OptionsDialogTest, controls_start_from_the_settings)
{
    Open dialog({"D", "E"});
    const platform::DialogState& s = dialog.state;
    EXPECT_EQ(s.Pos(kMusicVolume), 200);
    EXPECT_EQ(s.Pos(kVoiceVolume), 150);
    EXPECT_EQ(s.Pos(kEffectVolume), 100);
    EXPECT_EQ(s.Pos(kWindowColour), 50);
    EXPECT_EQ(s.RangeHigh(kMusicVolume), 255);
    EXPECT_EQ(s.Pos(kSpeed), 2) << "interval 3 is the middle step";
    EXPECT_EQ(s.RangeHigh(kSpeed), 4);
    EXPECT_FALSE(s.IsChecked(kMusicFromCd));
    EXPECT_FALSE(s.IsEnabled(kDrive)) << "the drive list is for CD music only";
    EXPECT_FALSE(s.IsEnabled(kDriveLabel));
    EXPECT_TRUE(s.IsChecked(kSystemMp3));
    EXPECT_TRUE(s.IsChecked(kAdvanced)) << "the effects box follows windowMove";
    ASSERT_EQ(s.ItemCount(kDrive), 2);
    EXPECT_EQ(s.ItemText(kDrive, s.Selection(kDrive)), "E") << "the setting's drive is selected";
}

TEST_F(OptionsDialogTest, a_drive_the_list_lacks_selects_the_first)
{
    for (const char* setting : {"", "e", "Q"}) {
        gConfig.CDDADrive = setting;
        Open dialog({"D", "E"});
        EXPECT_EQ(dialog.state.Selection(kDrive), 0) << "setting \"" << setting << "\" must select the first drive";
    }
    gConfig.CDDADrive = "E";
    Open none({});
    EXPECT_EQ(none.state.Selection(kDrive), -1) << "no drive: nothing selected";
    none.input.Press(kOk);
    EXPECT_EQ(gConfig.CDDADrive, "") << "OK without drives stores an empty drive";
}

TEST_F(OptionsDialogTest, speed_steps_map_both_ways)
{
    const int intervals[] = {10, 5, 3, 1, 0};
    for (int step = 0; step < 5; ++step) {
        EXPECT_EQ(IntervalOfSpeedStep(step), intervals[step]);
        EXPECT_EQ(SpeedStepOfInterval(intervals[step]), step);
    }
    EXPECT_EQ(IntervalOfSpeedStep(5), -1);
    gConfig.interval = 2;  // reachable only through the files
    Open dialog({});
    EXPECT_EQ(dialog.state.Pos(kSpeed), 0) << "an interval no step gives shows Slow";
    dialog.input.Press(kOk);
    EXPECT_EQ(gConfig.interval, 10) << "and OK then stores Slow's interval";
}

TEST_F(OptionsDialogTest, ok_writes_every_control_back)
{
    Open dialog({"D", "E"});
    dialog.input.MoveSlider(kMusicVolume, 10);
    dialog.input.MoveSlider(kVoiceVolume, 20);
    dialog.input.MoveSlider(kEffectVolume, 30);
    dialog.input.MoveSlider(kWindowColour, 255);
    dialog.input.MoveSlider(kSpeed, 4);
    dialog.input.Press(kMusicFromCd);
    EXPECT_TRUE(dialog.state.IsEnabled(kDrive)) << "checking CD music enables the drive list at once";
    dialog.input.Choose(kDrive, 0);
    dialog.input.Press(kMusicFromCd);
    EXPECT_FALSE(dialog.state.IsEnabled(kDrive)) << "unchecking disables it again";
    dialog.input.Press(kSystemMp3);
    dialog.input.Press(kAdvanced);
    dialog.input.Press(kOk);
    EXPECT_TRUE(dialog.state.Ended());
    EXPECT_EQ(dialog.state.Result(), kResultOk);
    EXPECT_EQ(gConfig.cdLevel, 10);
    EXPECT_EQ(gConfig.seLevel, 20);
    EXPECT_EQ(gConfig.se2Level, 30);
    EXPECT_EQ(gConfig.BackColor, 255);
    EXPECT_EQ(gConfig.interval, 0) << "Fast";
    EXPECT_EQ(gConfig.bgmCDDA, 0);
    EXPECT_EQ(gConfig.CDDADrive, "D") << "a disabled list still gives its selection to OK";
    EXPECT_EQ(gConfig.useWindowsMP3Codec, 0);
    EXPECT_EQ(gConfig.defaultAnimationFrames, 3);
    EXPECT_EQ(gConfig.AnimationLength, 3);
    EXPECT_EQ(gConfig.vistaAnimationLength, 3);
    EXPECT_EQ(gConfig.windowMove, 0) << "effects off sets the lengths to 3 and windowMove to 0";
}

TEST(OptionsDialogLayout, each_slider_row_stands_on_one_line_with_its_labels_clear_of_it)
{
    const auto& controls = OptionsDialogTemplate().controls;
    int sliders = 0;
    std::vector<int> leftColumn;
    for (const platform::DialogControl& slider : controls) {
        if (slider.kind != platform::ControlKind::kSlider)
            continue;
        ++sliders;
        std::vector<const platform::DialogControl*> row;
        for (const platform::DialogControl& c : controls) {
            if (c.kind == platform::ControlKind::kStatic && c.y + c.h > slider.y && c.y < slider.y + slider.h)
                row.push_back(&c);
        }
        ASSERT_EQ(row.size(), 3u) << "slider " << slider.id << ": its name and its two end labels";
        for (const platform::DialogControl* label : row) {
            EXPECT_EQ(label->y, row.front()->y) << "slider " << slider.id << ": the row's labels share one line";
            EXPECT_GE(label->y, slider.y) << "slider " << slider.id << ": a label hangs above the slider";
            EXPECT_LE(label->y, slider.y + 4) << "slider " << slider.id << ": a label sits below the slider's line";
            EXPECT_TRUE(label->x + label->w <= slider.x || label->x >= slider.x + slider.w)
                << "slider " << slider.id << ": a label overlaps it";
            if (label->x + label->w <= slider.x && label->x > 10)
                leftColumn.push_back(label->x);
        }
    }
    EXPECT_EQ(sliders, 5);
    ASSERT_EQ(leftColumn.size(), 5u);
    for (int x : leftColumn)
        EXPECT_EQ(x, leftColumn.front()) << "the low-end labels (Min, Slow, Light) form one column";
}

TEST(OptionsDialogLayout, the_mp3_box_names_what_it_chooses_here)
{
    for (const platform::DialogControl& c : OptionsDialogTemplate().controls) {
        if (c.id != kSystemMp3)
            continue;
        EXPECT_NE(c.text.find("FFmpeg"), std::string::npos) << "checked, MP3 goes through FFmpeg";
        EXPECT_NE(c.text.find("内蔵デコーダ"), std::string::npos) << "unchecked, through the program's own decoder";
        EXPECT_NE(c.text.find("再起動後有効"), std::string::npos) << "it takes hold at the next start";
        EXPECT_EQ(c.text.find("Windows"), std::string::npos) << "there is no Windows codec here";
    }
}

TEST_F(OptionsDialogTest, advanced_effects_table_overrides_the_settings_file)
{
    gConfig.defaultAnimationFrames = 25;
    gConfig.AnimationLength = 7;
    gConfig.vistaAnimationLength = 40;
    gConfig.windowMove = 0;
    Open on({});
    on.input.Press(kAdvanced);
    on.input.Press(kOk);
    EXPECT_EQ(gConfig.defaultAnimationFrames, 10);
    EXPECT_EQ(gConfig.AnimationLength, 10);
    EXPECT_EQ(gConfig.vistaAnimationLength, 10);
    EXPECT_EQ(gConfig.windowMove, 1);
}

// What the person does in the next options dialog.
platform::DialogResponder gRespond;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The window command, as the menu bar sends it; false when no dialog came.
bool SendOptionsCommand(CGame& game)
{
    bool shown = false;
    platform::DialogResponder respond = std::move(gRespond);
    platform::SetDialogResponder([&](platform::DialogState& state, platform::DialogInput& input) {
        shown = state.Template().resourceId == 111;
        respond(state, input);
    });
    game.OnWindowMessage(GetAppWindow(), platform::kWmCommand, kCmdOptions, 0);
    platform::SetDialogResponder(nullptr);
    return shown;
}

// In a running game with music from files: the whole OK and Cancel roads.
TEST(OptionsDialogInGame, cancel_changes_nothing_and_ok_takes_hold_and_saves)
{
    using namespace game_test;
    const CGameConfig saved = gConfig;
    GameFolder folder;
    TestSettings("test.nsd");
    WriteChipPictures(folder);
    const fs::path demo = fs::path(std::getenv("LANTERN_TEST_DATA") ? std::getenv("LANTERN_TEST_DATA") : "tests/data") /
                          ".." / ".." / "demo" / "sounds" / "bgm";
    fs::copy(demo, fs::path(folder.path()) / "bgm", fs::copy_options::recursive);
    gConfig.bgmDir = "bgm";
    gConfig.bgmCDDA = 0;
    gConfig.useWindowsMP3Codec = 1;
    gConfig.seLevel = 128;
    gConfig.cdLevel = 96;
    gConfig.interval = 3;
    WriteScenario(folder, "test", "music 1\nwaitclick 0\nwindow 1\ntext \"a\"\npage\nend\n");
    platform::UseManualClock(true);
    const std::string userFile = folder.path() + "/user.ini";

    GameApp app([&](TestGame& game) {
        ASSERT_TRUE(game.Start());
        const SoundChannels channels = game.sound.Sound()->Channels();
        ASSERT_TRUE(RunUntil(game, [&] { return channels.music->IsPlaying(); }, 20)) << game.executor.lastError();
        ASSERT_EQ(game.executor.cdTrack, 1);

        // Cancel after moving everything.
        const CGameConfig before = gConfig;
        gRespond = [](platform::DialogState& state, platform::DialogInput& input) {
            EXPECT_EQ(state.Template().caption, "オプション");
            for (int id : {kMusicVolume, kVoiceVolume, kEffectVolume, kWindowColour, kSpeed})
                input.MoveSlider(id, 1);
            for (int id : {kMusicFromCd, kSystemMp3, kAdvanced})
                input.Press(id);
            input.Escape();
        };
        platform::AdvanceManualClock(22050);  // half a second of music
        const int positionBefore = channels.music->GetPosition();
        ASSERT_GT(positionBefore, 0);
        ASSERT_TRUE(SendOptionsCommand(game));
        EXPECT_FALSE(fs::exists(userFile)) << "Cancel must not save the user file";
        EXPECT_EQ(gConfig.cdLevel, before.cdLevel);
        EXPECT_EQ(gConfig.seLevel, before.seLevel);
        EXPECT_EQ(gConfig.se2Level, before.se2Level);
        EXPECT_EQ(gConfig.BackColor, before.BackColor);
        EXPECT_EQ(gConfig.interval, before.interval);
        EXPECT_EQ(gConfig.bgmCDDA, before.bgmCDDA);
        EXPECT_EQ(gConfig.useWindowsMP3Codec, before.useWindowsMP3Codec);
        EXPECT_EQ(gConfig.windowMove, before.windowMove);
        EXPECT_EQ(gConfig.defaultAnimationFrames, before.defaultAnimationFrames);
        EXPECT_EQ(gConfig.CDDADrive, before.CDDADrive);
        EXPECT_TRUE(channels.music->IsPlaying());
        EXPECT_GE(channels.music->GetPosition(), positionBefore) << "Cancel must not restart the music";

        // OK with a new music level and the fastest text.
        gRespond = [](platform::DialogState&, platform::DialogInput& input) {
            input.MoveSlider(kMusicVolume, 200);
            input.MoveSlider(kSpeed, 1);
            input.Enter();
        };
        ASSERT_TRUE(SendOptionsCommand(game));
        const SoundChannels after = game.sound.Sound()->Channels();
        EXPECT_TRUE(after.music->IsPlaying()) << "OK restarts the track that was playing";
        EXPECT_LT(after.music->GetPosition(), positionBefore) << "from its start";
        EXPECT_EQ(after.music->GetVolume(), LevelToVolume(200)) << "at the new music level";
        const std::string written = ReadFile(userFile);
        EXPECT_NE(written.find("cdLevel=200\r\n"), std::string::npos) << "OK saves the user file: " << written;
        EXPECT_NE(written.find("interval=5\r\n"), std::string::npos);

        // The next page types at the new speed.
        game.mouse.SetGuard(0);
        platform::testing::PushMouseButton(1, true, 400, 300);
        platform::testing::PushMouseButton(1, false, 400, 300);
        EXPECT_TRUE(RunUntil(game, [&] { return game.text.GetTextDrawable()->Speed() == 5; }, 40))
            << "text laid out after OK must type at the new interval: " << game.executor.lastError();
    });
    app.Run();
    platform::UseManualClock(false);
    gConfig = saved;
}

}  // namespace
