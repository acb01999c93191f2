// Scenarios run end to end through the executor, each written in the
// assembler's text form beside what it asserts.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "scenario/SceneSeen.h"
#include "support/ScenarioFixture.h"

using scenario_test::Rig;

namespace {

TEST(ScenarioExecutor, computes_expressions_with_precedence_written_as_stack_order)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        push 7
        push 3
        sub            ; 4
        push 5
        mul            ; 20
        push 6
        div            ; 3
        st $1
        push -7
        push 2
        mod
        st $2          ; C-style remainder: -1
        push 1
        push 4
        shl
        push 0xFF
        and
        st $3          ; 16
        push 3
        push 3
        eq
        push 2
        push 9
        gt
        lor
        st $4          ; 1
        push 5
        neg
        st $5
        push 0
        lnot
        st $6
        end
    )"}}));
    EXPECT_EQ(rig.Run(), kStepEnd) << "the scenario should reach its end instruction";
    EXPECT_EQ(rig.Int(1), 3) << "(7-3)*5/6 in stack order";
    EXPECT_EQ(rig.Int(2), -1) << "remainder keeps the dividend's sign";
    EXPECT_EQ(rig.Int(3), 16) << "shift then mask";
    EXPECT_EQ(rig.Int(4), 1) << "logical or of a true comparison";
    EXPECT_EQ(rig.Int(5), -5) << "negation";
    EXPECT_EQ(rig.Int(6), 1) << "logical not of 0";
    EXPECT_EQ(rig.exec.stack.size(), 0u) << "every value pushed was consumed";
}

TEST(ScenarioExecutor, arithmetic_overflow_wraps_instead_of_being_undefined)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        push 0x7FFFFFFF
        push 1
        add
        st $1
        push -2147483648
        push -1
        div
        st $2
        push -2147483648
        push -1
        mod
        st $3
        end
    )"}}));
    EXPECT_EQ(rig.Run(), kStepEnd);
    EXPECT_EQ(rig.Int(1), INT_MIN) << "INT_MAX + 1 wraps";
    EXPECT_EQ(rig.Int(2), INT_MIN) << "INT_MIN / -1 wraps";
    EXPECT_EQ(rig.Int(3), 0) << "INT_MIN % -1 is 0";
}

TEST(ScenarioExecutor, loops_and_conditional_jumps_follow_variables)
{
    Rig rig;
    // Sum 1..10 into $2 with $1 as the counter; system variable #3 counts too.
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        push 1
        st $1
    loop:
        ld $2
        ld $1
        add
        st $2
        push #3
        push 1
        add
        st #3
        ld $1
        push 1
        add
        dup
        st $1
        push 10
        gt
        jz loop
        end
    )"}}));
    EXPECT_EQ(rig.Run(), kStepEnd);
    EXPECT_EQ(rig.Int(2), 55) << "the loop body must run exactly ten times";
    EXPECT_EQ(rig.systemInt[3], 10) << "system variables live in the map the shell handed over";
}

TEST(ScenarioExecutor, indirect_variables_add_the_popped_offset_to_the_index)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        push 42        ; value
        push 3         ; offset
        st $[100]      ; $103 := 42
        push 3
        ld $[100]
        push 1
        add
        st $5
        end
    )"}}));
    EXPECT_EQ(rig.Run(), kStepEnd);
    EXPECT_EQ(rig.Int(103), 42) << "an indirect store must land at base + offset";
    EXPECT_EQ(rig.Int(5), 43) << "an indirect load must read base + offset";
}

TEST(ScenarioExecutor, calls_and_returns_cross_files_and_come_back)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"main.nsd", R"(
        push 1
        st $1
        farcall "sub.nsd", helper
        push 3
        st $3
        call local
        farjmp "sub.nsd", finish
    local:
        push 4
        st $4
        ret
    )"},
                           {"sub.nsd", R"(
        error               ; never run from the start
    helper:
        push 2
        st $2
        call deeper
        ret
    deeper:
        push 20
        st $20
        ret
    finish:
        push 5
        st $5
        end
    )"}}));
    EXPECT_EQ(rig.Run(), kStepEnd) << rig.exec.lastError();
    EXPECT_EQ(rig.Int(2), 2) << "the far call must reach the label in the other file";
    EXPECT_EQ(rig.Int(20), 20) << "a nested call inside the called file";
    EXPECT_EQ(rig.Int(3), 3) << "the return must come back to the caller's next instruction";
    EXPECT_EQ(rig.Int(4), 4) << "a local call";
    EXPECT_EQ(rig.Int(5), 5) << "the far jump";
    EXPECT_EQ(rig.exec.scenarioName(), "sub.nsd");
    EXPECT_EQ(rig.exec.callDepth(), 0u) << "every call was returned from";
}

TEST(ScenarioExecutor, val_section_fills_only_variables_without_a_value)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        .val 1, 100
        .val 2, 200
        push 7
        st $2
        farjmp "b.nsd", 0
    )"},
                           {"b.nsd", ".val 2, 999\n.val 3, 300\nend\n"}}));
    EXPECT_EQ(rig.Run(), kStepEnd);
    EXPECT_EQ(rig.Int(1), 100) << "a default applies when the file is entered";
    EXPECT_EQ(rig.Int(2), 7) << "entering another file must not reset a variable the story set";
    EXPECT_EQ(rig.Int(3), 300);
}

TEST(ScenarioExecutor, string_variables_set_copy_concatenate_and_compare)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        sset &1, "abc"
        scpy &2, &1
        scat &2, "def"
        seq &2, "abcdef"
        st $1
        seq &1, "abcdef"
        st $2
        input &3, "Default"
        textvar &3
        end
    )"}}));
    EXPECT_EQ(rig.Run(), kStepEnd) << rig.exec.lastError();
    EXPECT_EQ(rig.exec.valsStr()[2], "abcdef");
    EXPECT_EQ(rig.Int(1), 1) << "equal strings compare as 1";
    EXPECT_EQ(rig.Int(2), 0) << "different strings compare as 0";
    EXPECT_EQ(rig.exec.valsStr()[3], "Hero") << "the name input stores its answer";
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"input Default", "text Hero"}));
}

TEST(ScenarioExecutor, click_wait_holds_until_a_click_and_consumes_it)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        push 1
        st $1
        waitclick 0
        push 2
        st $1
        waitclick 0
        push 3
        st $1
        end
    )"}}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rig.exec.step({}), kStepContinue);
    EXPECT_EQ(rig.Int(1), 1) << "without a click the wait must hold";
    EXPECT_EQ(rig.Click(), kStepContinue);
    EXPECT_EQ(rig.Int(1), 2) << "one click passes exactly one wait, not the next one too";
    EXPECT_EQ(rig.Click(), kStepEnd);
    EXPECT_EQ(rig.Int(1), 3);
}

TEST(ScenarioExecutor, auto_advance_passes_click_waits_after_the_configured_delay)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "waitclick 1\npush 1\nst $1\nwaitclick 0\npush 2\nst $1\nend\n"}}));
    rig.exec.setFastForward(2);
    rig.host.now = 1000;
    EXPECT_EQ(rig.exec.step({}), kStepContinue);
    rig.host.now = 1999;
    rig.exec.step({});
    EXPECT_EQ(rig.Int(1), 0) << "a non-zero operand waits the WaitMouse delay (1000 ms)";
    rig.host.now = 2000;
    rig.exec.step({});
    EXPECT_EQ(rig.Int(1), 1);
    rig.host.now = 2299;
    rig.exec.step({});
    EXPECT_EQ(rig.Int(1), 1) << "a zero operand waits the Wait delay (300 ms)";
    rig.host.now = 2300;
    EXPECT_EQ(rig.exec.step({}), kStepEnd);
}

TEST(ScenarioExecutor, skip_mode_passes_waits_and_stops_at_a_choice)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        waitclick 0
        wait 5000
        se "bang"
        page
        select $9
        end
    )"}}));
    rig.exec.setFastForward(1);
    EXPECT_EQ(rig.exec.step({}), kStepContinue);
    EXPECT_EQ(rig.exec.fastForward, 0) << "skipping must stop at the choice";
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"ff on", "page", "ff off"}))
        << "no sound plays while skipping, and the button follows the mode";
    rig.host.chosenLink = 4;
    EXPECT_EQ(rig.exec.step({}), kStepEnd);
    EXPECT_EQ(rig.Int(9), 4) << "the chosen link's id is stored";
}

TEST(ScenarioExecutor, timed_wait_keeps_its_argument_until_done)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "push 9\nwait 500\nst $1\nend\n"}}));
    rig.host.now = 100;
    rig.exec.step({});
    rig.host.now = 599;
    rig.exec.step({});
    EXPECT_EQ(rig.exec.stack.size(), 2u) << "the wait's operand stays on the stack while it waits";
    rig.host.now = 600;
    EXPECT_EQ(rig.exec.step({}), kStepEnd);
    EXPECT_EQ(rig.Int(1), 9) << "after the wait only its own operand was taken";
}

TEST(ScenarioExecutor, picture_instructions_hide_the_window_first_and_end_the_step)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        effect 80
        window 1
        show "bg01", 10, 1, 2, 4
        push 1
        st $1
        replace "bg02", 10, 0, 0, 0
        pan "sky", 20, 1, 60
        remove 10
        vista 1
        end
    )"}}));
    rig.host.busyFrames = 0;
    EXPECT_EQ(rig.exec.step({}), kStepContinue);
    ASSERT_EQ(rig.host.messages.size(), 1u) << "an effect number of 75 or more shows the debug notice";
    EXPECT_EQ(rig.host.messages[0].second, "Debug");
    EXPECT_EQ(rig.exec.effectNumber(), 5) << "80 is taken modulo 75";
    EXPECT_EQ(rig.Int(1), 0) << "a picture change ends the step";
    rig.Run();
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"window show", "window hide", "show 10,bg01,1,2,4 effect 5",
                                                      "replace 10,bg02,0,0,0 effect 5", "pan 20,sky,1,60",
                                                      "remove 10", "vista on"}));
    ASSERT_EQ(rig.exec.pictures().size(), 1u) << "only the pan picture stays recorded";
    EXPECT_EQ(rig.exec.pictures().at(20).name, "sky");
}

TEST(ScenarioExecutor, busy_service_runs_the_same_instruction_again_next_frame)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "window 1\npush 1\nst $1\nend\n"}}));
    rig.host.busyFrames = 2;
    EXPECT_EQ(rig.exec.step({}), kStepContinue);
    EXPECT_EQ(rig.exec.step({}), kStepContinue);
    EXPECT_EQ(rig.Int(1), 0) << "while the window effect runs the scenario waits";
    EXPECT_EQ(rig.exec.stack.size(), 1u) << "the operand of the waiting instruction stays";
    EXPECT_EQ(rig.exec.step({}), kStepEnd);
    EXPECT_EQ(rig.Int(1), 1);
    EXPECT_TRUE(rig.exec.windowVisible());
}

TEST(ScenarioExecutor, text_sound_and_shell_instructions_reach_their_services)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        name "Mio"
        color 0xFF0000
        text "Hello"
        ruby "kanji", "reading"
        link 3
        text "here"
        endlink
        nl
        se "door"
        seloop "rain"
        voice "v001"
        music 4
        sestop
        seen 12
        title "Chapter 1"
        savepoint
        backlog
        movie "op"
        push 77
        quake 2, 15, 3, 9
        flash 0xFF0000
        st $1
        musicstop
        end
    )"}}));
    gSceneSeen.clear();
    EXPECT_EQ(rig.Run(), kStepEnd) << rig.exec.lastError();
    EXPECT_EQ(rig.host.log,
              (std::vector<std::string>{"name Mio", "color 16711680", "text Hello", "ruby kanji/reading", "link 3",
                                        "text here", "endlink", "nl", "se door", "seloop rain", "voice v001",
                                        "music 4", "sestop", "savepoint", "backlog", "movie op",
                                        "quake 2,15,3,9", "flash 16711680", "musicstop"}));
    EXPECT_EQ(rig.Int(1), 77) << "quake and flash take exactly their own operands off the stack";
    EXPECT_TRUE(gSceneSeen.count(12)) << "marking a scene seen records it for the replay";
    EXPECT_EQ(rig.exec.saveTitle(), "Chapter 1");
    EXPECT_EQ(rig.exec.cdTrack, ScenarioExecutor::kNoTrack) << "music stop forgets the track";
    gSceneSeen.clear();
}

TEST(ScenarioExecutor, quake_or_flash_without_its_operands_takes_the_error_path)
{
    for (const char* source : {"push 1\npush 2\npush 3\nquake\nend\n", "flash\nend\n"}) {
        Rig rig;
        ASSERT_TRUE(rig.Start({{"a.nsd", source}}));
        EXPECT_EQ(rig.Run(), kStepError) << source << ": a missing operand must not start the effect";
        EXPECT_TRUE(rig.host.log.empty()) << source << ": nothing reaches the shell";
    }
}

TEST(ScenarioExecutor, instruction_without_its_service_takes_the_error_path)
{
    struct Case {
        const char* source;
        void (*disable)(scenario_test::RecordingHost&);
    };
    const Case cases[] = {
        {"show \"x\", 1, 0, 0, 0\nend\n", [](scenario_test::RecordingHost& h) { h.withPictures = false; }},
        {"text \"x\"\nend\n", [](scenario_test::RecordingHost& h) { h.withMessages = false; }},
        {"se \"x\"\nend\n", [](scenario_test::RecordingHost& h) { h.withSounds = false; }},
        {"quake\nend\n", [](scenario_test::RecordingHost& h) { h.withShell = false; }},
        {"movie \"m\"\nend\n", [](scenario_test::RecordingHost& h) { h.withShell = false; }},
    };
    for (const Case& c : cases) {
        Rig rig;
        c.disable(rig.host);
        ASSERT_TRUE(rig.Start({{"a.nsd", c.source}}));
        EXPECT_EQ(rig.Run(), kStepError) << c.source << ": a missing service must not be skipped silently";
        ASSERT_EQ(rig.host.messages.size(), 1u) << c.source;
        EXPECT_EQ(rig.host.messages[0].first.rfind("エラーが発生しました\n", 0), 0u) << c.source;
        EXPECT_EQ(rig.exec.step({}), kStepError) << "the error stays until a new scenario opens";
        EXPECT_EQ(rig.host.messages.size(), 1u) << "the error message is shown once";
    }
}

TEST(ScenarioExecutor, scenario_faults_take_the_error_path)
{
    const std::pair<const char*, const char*> faults[] = {
        {"error\n", "error instruction"},
        {"drop\nend\n", "underflow"},
        {"push 1\npush 0\ndiv\nend\n", "division by zero"},
        {"jmp 99\n", "jump target 99"},
        {"ret\n", "return without a call"},
        {"farjmp \"missing.nsd\", 0\n", "scenario missing.nsd: file not found"},
        {"push 0\nrand\nend\n", "rand"},
        {"push 1\n", "ran past the end"},
        {"recurse:\ncall recurse\n", "call stack overflow"},
        {"loop:\npush 1\njmp loop\n", "expression stack overflow"},
        // more than 65536 scenario variables through an indirect store
        {"loop:\npush 1\nld $0\nst $[1000]\nld $0\npush 1\nadd\nst $0\njmp loop\n", "too many variables"},
    };
    for (const auto& [source, reason] : faults) {
        Rig rig;
        ASSERT_TRUE(rig.Start({{"a.nsd", source}}));
        EXPECT_EQ(rig.Run(), kStepError) << source;
        EXPECT_NE(rig.exec.lastError().find(reason), std::string::npos)
            << source << ": failed for another reason: " << rig.exec.lastError();
        ASSERT_EQ(rig.host.messages.size(), 1u) << source;
        // The system's line first, then what went wrong and where, for the player to report.
        const std::string& box = rig.host.messages[0].first;
        EXPECT_EQ(box.rfind("エラーが発生しました\n", 0), 0u) << source << ": " << box;
        EXPECT_NE(box.find(reason), std::string::npos) << source << ": the box must name the fault: " << box;
        EXPECT_NE(box.find("(a.nsd, instruction "), std::string::npos) << source << ": and where: " << box;
        EXPECT_EQ(rig.exec.errorDetail(), box.substr(box.find('\n') + 1));
    }
}

TEST(ScenarioExecutor, damaged_first_scenario_names_the_file_and_the_reason_in_the_box)
{
    Rig rig;
    rig.files.files["scenario\\start.nsd"] = std::vector<uint8_t>(40, 0);
    EXPECT_FALSE(rig.exec.openScenario("start.nsd"));
    EXPECT_EQ(rig.Run(), kStepError);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].first, "エラーが発生しました\nscenario start.nsd: not a NASDAP66 version 2 file");
    EXPECT_EQ(rig.host.messages[0].second, "えら");
}

TEST(ScenarioExecutor, unknown_opcode_takes_the_error_path)
{
    Rig rig;
    scenario::ScenarioImage image;
    image.text = {{scenario::kOpPush, 0, 0, 1}, {0xEE, 0, 0, 0}, {scenario::kOpEnd, 0, 0, 0}};
    rig.files.files["scenario\\bad.nsd"] = scenario::WriteScenarioFile(image);
    ASSERT_TRUE(rig.exec.openScenario("bad.nsd"));
    EXPECT_EQ(rig.Run(), kStepError) << "opcode 0xEE is no instruction";
}

TEST(ScenarioExecutor, endless_loop_without_waits_yields_to_the_frame_loop)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "loop:\njmp loop\n"}}));
    EXPECT_EQ(rig.exec.step({}), kStepContinue) << "the step must come back so that the game stays responsive";
    EXPECT_FALSE(rig.exec.failed());
}

TEST(ScenarioExecutor, stop_request_ends_the_step_between_two_instructions)
{
    // A save point that takes long, in a loop without waits: a stop that had
    // to wait for the step's instruction budget would wait for 50,000 saves.
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "top:\nsavepoint\njmp top\n"}}));
    const auto saves = [&rig] { return std::count(rig.host.log.begin(), rig.host.log.end(), "savepoint"); };
    rig.host.stopWhen = [&saves] { return saves() >= 3; };
    EXPECT_EQ(rig.exec.step({}), kStepContinue) << "a stop is the game's to carry out, not a scenario end";
    EXPECT_EQ(saves(), 3) << "the step must end at the first instruction after the stop request";
    EXPECT_EQ(rig.exec.position(), 1u) << "it stops after the save point, before the jmp";
    EXPECT_FALSE(rig.exec.failed());
    // The game went on (a listener kept the window open): the scenario
    // resumes exactly where it stopped.
    rig.host.stopWhen = [&saves] { return saves() >= 5; };
    EXPECT_EQ(rig.exec.step({}), kStepContinue);
    EXPECT_EQ(saves(), 5) << "the next step resumes at the jmp and stops again on request";
}

TEST(ScenarioExecutor, missing_scenario_makes_the_first_step_fail)
{
    Rig rig;
    EXPECT_FALSE(rig.exec.openScenario("nothing.nsd"));
    EXPECT_EQ(rig.exec.step({}), kStepError);
    EXPECT_EQ(rig.host.messages.size(), 1u);
}

TEST(ScenarioExecutor, scene_replay_starts_in_scenejump_and_returns_to_the_replay_screen)
{
    Rig rig;
    rig.files.Add({{"scenejump.dat", R"(
        end
    scene1:
        farcall "s1.nsd", 0
        end
    )"},
                   {"s1.nsd", "push 1\nst $1\nret\n"}});
    ASSERT_TRUE(rig.exec.startSceneReplay(1));
    EXPECT_EQ(rig.exec.sceneReplay, 1);
    EXPECT_EQ(rig.exec.step({}), kStepContinue) << "the end of a replay does not end the game";
    EXPECT_EQ(rig.Int(1), 1) << "the replay must start at the given position, not at 0";
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"replay end"}));
    EXPECT_EQ(rig.exec.sceneReplay, 0);
    EXPECT_FALSE(rig.exec.startSceneReplay(50)) << "a position outside scenejump.dat is refused";
}

TEST(ScenarioExecutor, totitle_hands_the_game_back_to_the_start_menu_and_runs_nothing_after_it)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "push 1\nst $1\ntotitle\npush 2\nst $1\nend\n"}}));
    EXPECT_EQ(rig.exec.step({}), kStepContinue) << "the game's end through totitle must not end the program";
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"to title"}));
    EXPECT_EQ(rig.Int(1), 1) << "the instructions after totitle must not run";
    EXPECT_TRUE(rig.exec.scenarioName().empty()) << "the finished game's scenario is closed";

    // In a scene replay the scene's totitle ends the replay, as its end would.
    Rig replay;
    replay.files.Add({{"scenejump.dat", "end\nscene1: farcall \"s1.nsd\", 0\nend\n"}, {"s1.nsd", "totitle\n"}});
    ASSERT_TRUE(replay.exec.startSceneReplay(1));
    EXPECT_EQ(replay.exec.step({}), kStepContinue);
    EXPECT_EQ(replay.host.log, (std::vector<std::string>{"replay end"}));
    EXPECT_EQ(replay.exec.sceneReplay, 0);
}

TEST(ScenarioExecutor, right_click_at_a_wait_opens_the_popup_menu)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "waitclick 0\nend\n"}}));
    scenario::StepInput input;
    input.rightClick = true;
    EXPECT_EQ(rig.exec.step(input), kStepContinue);
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"popup"}));
}

}  // namespace

namespace {

TEST(ScenarioExecutor, shell_commands_reach_the_services_outside_a_step)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "music 3\nwaitclick 0\nend\n"}}));
    rig.exec.step({});
    EXPECT_TRUE(rig.exec.stopSounds(false));
    EXPECT_EQ(rig.exec.cdTrack, 3) << "stopping only the effects keeps the music track";
    EXPECT_TRUE(rig.exec.stopSounds(true));
    EXPECT_EQ(rig.exec.cdTrack, ScenarioExecutor::kNoTrack);
    EXPECT_TRUE(rig.exec.showScriptFrame(false));
    rig.exec.openBacklog();
    EXPECT_EQ(rig.exec.step({}), kStepContinue);
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"music 3", "sestop", "sestop", "musicstop", "window hide",
                                                      "backlog"}))
        << "a backlog request from the menu opens it at the next step";
    rig.host.withSounds = false;
    EXPECT_FALSE(rig.exec.stopSounds(true)) << "without a sound service the stop is reported as not done";
}

}  // namespace
