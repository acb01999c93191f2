// The executor's picture, message, sound and shell instructions when the
// scenario file or the host lets them down. Scenarios are written in the
// assembler's text form beside what they assert; what the assembler will not
// write is made by hand.
#include <gtest/gtest.h>

#include <string>

#include "support/ScenarioFixture.h"

using scenario_test::ExpectFault;
using scenario_test::Rig;

namespace {

using scenario::Instruction;

TEST(ExecutorServices, string_operands_outside_the_string_section_take_the_error_path)
{
    // .ROData holds "a\0": offset 2 is one past its end, -1 before its start.
    const std::vector<uint8_t> rodata = {'a', 0};
    const Instruction push{scenario::kOpPush, 0, 0, 0};
    const Instruction pushText{scenario::kOpPush, 0, 0, 0};  // offset 0: a valid string
    struct Case {
        std::vector<Instruction> text;
        const char* what;
    };
    for (int32_t offset : {2, -1, 0x7FFFFFFF}) {
        const Case cases[] = {
            {{push, push, push, push, {scenario::kOpShow, 0, 0, offset}}, "show"},
            {{push, push, push, push, {scenario::kOpReplace, 0, 0, offset}}, "replace"},
            {{push, push, push, {scenario::kOpPan, 0, 0, offset}}, "pan"},
            {{{scenario::kOpName, 0, 0, offset}}, "name"},
            {{{scenario::kOpText, 0, 0, offset}}, "text"},
            {{pushText, {scenario::kOpRuby, 0, 0, offset}}, "ruby with a bad base"},
            {{{scenario::kOpPush, 0, 0, offset}, {scenario::kOpRuby, 0, 0, 0}}, "ruby with a bad reading"},
            {{{scenario::kOpSe, 0, 0, offset}}, "se"},
            {{{scenario::kOpSeLoop, 0, 0, offset}}, "seloop"},
            {{{scenario::kOpVoice, 0, 0, offset}}, "voice"},
            {{{scenario::kOpMovie, 0, 0, offset}}, "movie"},
            {{{scenario::kOpInput, 0, 1, offset}}, "input"},
            {{{scenario::kOpTitle, 0, 0, offset}}, "title"},
            {{{scenario::kOpStrSet, 0, 1, offset}}, "sset"},
            {{{scenario::kOpStrCat, 0, 1, offset}}, "scat"},
            {{{scenario::kOpStrEqual, 0, 1, offset}}, "seq"},
        };
        for (const Case& c : cases)
            ExpectFault(c.text, "outside .ROData", std::string(c.what) + " of a string at " + std::to_string(offset),
                        rodata);
    }
}

TEST(ExecutorServices, select_into_an_indirect_variable_takes_the_error_path)
{
    ExpectFault({{scenario::kOpPush, 0, 0, 0},
                 {scenario::kOpSelect, static_cast<uint8_t>(scenario::kVarScenario | scenario::kVarIndirect), 0, 1}},
                "indirect", "select $[1]: a choice must not be stored through a popped offset");

    // A bad space is found once a link has been chosen.
    Rig rig;
    rig.host.chosenLink = 3;
    scenario::ScenarioImage image;
    image.text = {{scenario::kOpSelect, 2, 0, 1}, {scenario::kOpEnd, 0, 0, 0}};
    rig.files.files["scenario\\bad.nsd"] = scenario::WriteScenarioFile(image);
    ASSERT_TRUE(rig.exec.openScenario("bad.nsd")) << "the hand-made file must load";
    EXPECT_EQ(rig.Run(), kStepError) << "select into variable space 2 must take the error path";
    EXPECT_NE(rig.exec.lastError().find("bad variable space"), std::string::npos)
        << "the scenario stopped for another reason: " << rig.exec.lastError();
}

TEST(ExecutorServices, a_failed_request_stops_the_scenario_and_changes_no_state)
{
    // Each scenario sets up some state, then makes a request the host refuses.
    struct Case {
        const char* source;
        const char* failing;  // the host's log entry that fails
        const char* reason;
        bool (*unchanged)(Rig&);  // the state the refused request must not have touched
        const char* meaning;
    };
    const Case cases[] = {
        {"push 1\npush 0\npush 0\npush 0\nshow \"bg\"\nend", "show", "ShowPicture failed",
         [](Rig& r) { return r.exec.pictures().empty(); }, "a picture the host refused is saved as shown"},
        {"push 1\npush 0\npush 0\npush 0\nshow \"bg\"\npush 1\nremove\nend", "remove", "RemovePicture failed",
         [](Rig& r) { return r.exec.pictures().count(1) == 1; }, "a picture the host could not remove is forgotten"},
        {"push 1\nwindow\nend", "window", "ShowWindow failed",
         [](Rig& r) { return !r.exec.windowVisible(); }, "a window the host could not show counts as visible"},
        {"push 4\nmusic\nend", "music", "PlayMusic failed",
         [](Rig& r) { return r.exec.cdTrack == ScenarioExecutor::kNoTrack; }, "a refused track is saved"},
        {"push 4\nmusic\nmusicstop\nend", "musicstop", "StopMusic failed",
         [](Rig& r) { return r.exec.cdTrack == 4; }, "music that did not stop lost its track"},
        {"input &1, \"Hero\"\nend", "input", "InputName failed",
         [](Rig& r) { return r.exec.valsStr().count(1) == 0; }, "a refused name input set the variable"},
        {"push 1\nvista\nend", "vista", "SetRevealBand failed", nullptr, ""},
        {"movie \"op\"\nend", "movie", "PlayMovie failed", nullptr, ""},
        {"push 1\npush 2\npush 3\npush 4\nquake\nend", "quake", "StartQuake failed", nullptr, ""},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.host.failing = c.failing;
        ASSERT_TRUE(rig.Start({{"a.nsd", c.source}})) << c.source;
        EXPECT_EQ(rig.Run(), kStepError) << c.source << ": a refused request must take the error path";
        EXPECT_NE(rig.exec.lastError().find(c.reason), std::string::npos)
            << c.source << ": failed for another reason: " << rig.exec.lastError();
        if (c.unchanged != nullptr) {
            EXPECT_TRUE(c.unchanged(rig)) << c.source << ": " << c.meaning;
        }
    }
}

TEST(ExecutorServices, picture_waits_while_the_window_hides_and_fails_with_it)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        push 1
        window
        push 1
        push 0
        push 0
        push 0
        show "bg"
        end
    )"}}));
    rig.host.failing = "window hide";
    EXPECT_EQ(rig.Run(), kStepError) << "a window that cannot hide must stop the picture change";
    EXPECT_NE(rig.exec.lastError().find("ShowWindow failed"), std::string::npos)
        << "the scenario stopped for another reason: " << rig.exec.lastError();
    EXPECT_TRUE(rig.exec.pictures().empty()) << "the picture must not change under a window that stayed up";
    EXPECT_EQ(rig.exec.stack.size(), 4u) << "the failed show keeps its operands (nothing was taken)";
    EXPECT_TRUE(rig.exec.windowVisible()) << "the window that did not hide still counts as shown";
}

}  // namespace
