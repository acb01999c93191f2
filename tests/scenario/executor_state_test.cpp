// Saving the executor's state into a profile file and loading it back, as a
// player would: play to a wait, save, load into a fresh game, play on.
#include <gtest/gtest.h>

#include "frame/ProfileFile.h"
#include "support/ScenarioFixture.h"

using scenario_test::Rig;

namespace {

const std::vector<std::pair<std::string, std::string>> kStory = {
    {"main.nsd", R"(
        title "Chapter 2"
        push 5
        st $1
        sset &1, "a b=c\\d"
        show "bg01", 10, 1, 2, 4
        pan "sky", 20, 1, 60
        music 7
        farcall "sub.nsd", inner
        ld $1
        push 100
        add
        st $1
        end
    )"},
    {"sub.nsd", R"(
        end
    inner:
        push 11
        push 22
        waitclick 0
        st $2
        drop
        ret
    )"},
};

// Plays the story up to its click wait inside sub.nsd.
void PlayToWait(Rig& rig)
{
    ASSERT_TRUE(rig.Start(kStory));
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(rig.exec.step({}), kStepContinue);
    ASSERT_EQ(rig.exec.scenarioName(), "sub.nsd") << "the story should wait inside the called file";
}

// The profile file as it would come back from disk.
ProfileFile ThroughText(const ProfileFile& saved)
{
    const std::string text = saved.serialize(0);
    ProfileFile loaded;
    EXPECT_EQ(loaded.loadFromMemory(text.data(), text.size()), 0);
    return loaded;
}

TEST(ExecutorState, saved_game_loads_into_a_fresh_executor_and_plays_on)
{
    Rig first;
    PlayToWait(first);
    first.exec.valsStr()[2] = std::string("\x95\x5C \x83\x5C", 5);  // Shift-JIS trail bytes 0x5C
    ProfileFile saved;
    first.exec.saveState(&saved);
    EXPECT_EQ(first.host.systemSaves, 1) << "saving a game also writes the user system file";
    std::string title;
    ASSERT_EQ(saved.GetString("title", "text", &title), 0);
    EXPECT_EQ(title, "Chapter 2") << "the slot menu reads the title from [title] text";

    Rig second;
    second.files = first.files;
    ASSERT_EQ(second.exec.loadState(ThroughText(saved)), kLoadOk);
    EXPECT_EQ(second.exec.scenarioName(), "sub.nsd");
    EXPECT_EQ(second.exec.position(), first.exec.position());
    EXPECT_EQ(second.exec.callDepth(), 1u);
    EXPECT_EQ(second.exec.stack.values(), (std::vector<int32_t>{11, 22}));
    EXPECT_EQ(second.exec.valsStr()[1], "a b=c\\d") << "blanks, '=' and '\\' survive the profile file";
    EXPECT_EQ(second.exec.valsStr()[2], std::string("\x95\x5C \x83\x5C", 5)) << "Shift-JIS bytes survive";
    EXPECT_EQ(second.exec.cdTrack, 7);
    EXPECT_EQ(second.exec.saveTitle(), "Chapter 2");
    EXPECT_EQ(second.host.log, (std::vector<std::string>{"clear pictures", "restore 10,bg01,1,2,4",
                                                         "restore 20,sky,0,0,0"}))
        << "the loaded pictures go back into the draw queue";

    EXPECT_EQ(second.Click(), kStepEnd) << second.exec.lastError();
    EXPECT_EQ(second.Int(2), 22) << "the saved stack feeds the instructions after the wait";
    EXPECT_EQ(second.Int(1), 105) << "the return goes back into main.nsd after the far call";
}

TEST(ExecutorState, save_from_before_the_anchor_was_dropped_still_loads)
{
    Rig first;
    PlayToWait(first);
    ProfileFile saved;
    first.exec.saveState(&saved);
    std::string value;
    EXPECT_NE(saved.GetString("pictures", "0.anchor", &value), 0)
        << "x and y carry the anchor codes: a save writes no separate anchor";
    // Saves written while pictures had an anchor field carry it for every picture.
    saved.SetString("pictures", "0.anchor", "3");
    saved.SetString("pictures", "1.anchor", "0");
    Rig second;
    second.files = first.files;
    ASSERT_EQ(second.exec.loadState(ThroughText(saved)), kLoadOk) << "an old save must keep loading";
    EXPECT_EQ(second.host.log, (std::vector<std::string>{"clear pictures", "restore 10,bg01,1,2,4",
                                                         "restore 20,sky,0,0,0"}))
        << "the old anchor value changes nothing about where a picture stands";
}

TEST(ExecutorState, damaged_save_is_refused_and_the_game_goes_on_unchanged)
{
    Rig rig;
    PlayToWait(rig);
    ProfileFile good;
    rig.exec.saveState(&good);

    struct Case {
        const char* what;
        const char* section;
        const char* key;
        const char* value;  // null: remove the whole section
        int expected;
    };
    const Case cases[] = {
        {"no scenario section", "scenario", "", nullptr, kLoadMissing},
        {"pc with letters", "scenario", "pc", "3x", kLoadBadNumber},
        {"pc out of range", "scenario", "pc", "500", kLoadBadPosition},
        {"negative pc", "scenario", "pc", "-1", kLoadBadNumber},
        {"unknown scenario", "scenario", "file", "gone.nsd", kLoadBadScenario},
        {"version 2", "scenario", "version", "2", kLoadBadNumber},
        {"effect 75", "scenario", "effect", "75", kLoadBadNumber},
        {"call frame past its file", "calls", "pc0", "99", kLoadBadPosition},
        {"call count above the frames", "scenario", "calls", "2", kLoadMissing},
        {"stack deeper than allowed", "stack", "count", "5000", kLoadBadNumber},
        {"stack count above the values", "stack", "count", "3", kLoadMissing},
        {"variable that is no number", "valsInt", "1", "five", kLoadBadNumber},
        {"string with a broken escape", "valsStr", "1", "\\q", kLoadBadNumber},
        {"picture kind 9", "pictures", "0.kind", "9", kLoadBadNumber},
        {"same picture key twice", "pictures", "1.key", "10", kLoadBadNumber},
        {"number too large", "valsInt", "1", "99999999999", kLoadBadNumber},
    };
    for (const Case& c : cases) {
        ProfileFile bad;
        for (const ProfileFile::Section& section : good.Sections()) {
            if (c.value == nullptr && section.name == c.section)
                continue;
            for (const auto& [key, value] : section.entries)
                bad.SetString(section.name, key, value);
        }
        if (c.value)
            bad.SetString(c.section, c.key, c.value);
        rig.exec.valsInt()[50] = 1;
        const size_t position = rig.exec.position();
        const size_t logged = rig.host.log.size();
        EXPECT_EQ(rig.exec.loadState(bad), c.expected) << c.what;
        EXPECT_EQ(rig.exec.valsInt()[50], 1) << c.what << ": a refused load must not touch the variables";
        EXPECT_EQ(rig.exec.position(), position) << c.what << ": nor the position";
        EXPECT_EQ(rig.host.log.size(), logged) << c.what << ": nor the draw queue";
    }
    EXPECT_EQ(rig.Click(), kStepEnd) << "the game still plays on after the refused loads";
}

TEST(ExecutorState, empty_profile_file_is_a_failed_load)
{
    Rig rig;
    ProfileFile empty;
    EXPECT_NE(rig.exec.loadState(empty), kLoadOk) << "a missing slot file reads as an empty profile";
}

TEST(ExecutorState, failed_picture_restore_puts_the_old_pictures_back)
{
    Rig other;
    ASSERT_TRUE(other.Start({{"x.nsd", "show \"broken\", 1, 0, 0, 0\nwaitclick 0\nend\n"}}));
    other.Run(3);
    ProfileFile save;
    other.exec.saveState(&save);

    Rig rig;
    rig.files = other.files;
    PlayToWait(rig);
    rig.host.log.clear();
    rig.host.failRestoreName = "broken";
    EXPECT_EQ(rig.exec.loadState(save), kLoadBadPictures);
    EXPECT_EQ(rig.exec.scenarioName(), "sub.nsd") << "the running game stays";
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"clear pictures", "clear pictures", "restore 10,bg01,1,2,4",
                                                      "restore 20,sky,0,0,0"}))
        << "the draw queue is rebuilt from the running game's pictures";
}

}  // namespace
