// The executor's expression operators, rand, and the faults of the control
// family (unknown opcodes and operators, stack underflow, variable spaces).
// Each scenario is written in the assembler's text form beside its result.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "frame/CRand.h"
#include "support/ScenarioFixture.h"

using scenario_test::ExpectFault;
using scenario_test::Rig;

namespace {

struct Expected {
    const char* source;  // leaves one value on the stack for "st $1"
    int32_t value;
    const char* meaning;  // what a wrong value says about the executor
};

// Runs "source; st $1; end" and checks $1.
void ExpectResults(const Expected* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const Expected& c = cases[i];
        Rig rig;
        ASSERT_TRUE(rig.Start({{"a.nsd", std::string(c.source) + "\nst $1\nend\n"}})) << c.source;
        ASSERT_EQ(rig.Run(), kStepEnd) << c.source << ": the scenario should run to its end, but failed with: "
                                       << rig.exec.lastError();
        EXPECT_EQ(rig.Int(1), c.value) << c.source << ": " << c.meaning;
        EXPECT_EQ(rig.exec.stack.size(), 0u) << c.source << ": the operator left or took the wrong number of values";
    }
}

TEST(ExecutorControl, comparisons_take_the_first_pushed_value_as_the_left_side)
{
    // Each comparison is asked below, at and above its right side, so a
    // swapped pair of operands or a strict/non-strict mix-up gives a wrong row.
    const Expected cases[] = {
        {"push 2\npush 3\nlt", 1, "2 < 3: lt must compare first-pushed < second-pushed"},
        {"push 3\npush 2\nlt", 0, "3 < 2 is false: operands of lt are swapped"},
        {"push 3\npush 3\nlt", 0, "3 < 3 is false: lt behaves as le"},
        {"push -1\npush 0\nlt", 1, "-1 < 0: lt compares unsigned"},
        {"push 2\npush 3\nle", 1, "2 <= 3: le must compare first-pushed <= second-pushed"},
        {"push 3\npush 2\nle", 0, "3 <= 2 is false: operands of le are swapped"},
        {"push 3\npush 3\nle", 1, "3 <= 3: le behaves as lt"},
        {"push 2\npush 3\nge", 0, "2 >= 3 is false: operands of ge are swapped"},
        {"push 3\npush 2\nge", 1, "3 >= 2: ge must compare first-pushed >= second-pushed"},
        {"push 3\npush 3\nge", 1, "3 >= 3: ge behaves as gt"},
        {"push 0\npush -1\nge", 1, "0 >= -1: ge compares unsigned"},
        {"push 2\npush 3\ngt", 0, "2 > 3 is false: operands of gt are swapped"},
        {"push 3\npush 3\ngt", 0, "3 > 3 is false: gt behaves as ge"},
        {"push 3\npush 3\nne", 0, "equal values are not unequal"},
        {"push 2\npush 3\nne", 1, "2 != 3: ne behaves as eq"},
        {"push -5\npush 5\nne", 1, "ne must compare the whole value, not its magnitude"},
    };
    ExpectResults(cases, std::size(cases));
}

TEST(ExecutorControl, bitwise_and_logical_operators_give_their_own_results)
{
    // 12 = 0b1100 and 10 = 0b1010 give a different answer under every bitwise operator.
    const Expected cases[] = {
        {"push 12\npush 10\nor", 14, "or must set the bits of either side"},
        {"push 12\npush 10\nxor", 6, "xor must set the bits of exactly one side"},
        {"push 12\npush 10\nand", 8, "and must keep the common bits"},
        {"push 5\nnot", -6, "not is the bitwise complement, not a logical not"},
        {"push 0\nnot", -1, "not of 0 sets every bit"},
        {"push -16\npush 2\nshr", -4, "shr keeps the sign (arithmetic shift)"},
        {"push 256\npush 4\nshr", 16, "shr shifts the first-pushed value by the second"},
        {"push 4\npush 16\nshr", 0, "shr operands are swapped"},
        {"push 8\npush 33\nshr", 4, "the shift count is taken modulo 32"},
        {"push 2\npush 3\nland", 1, "two non-zero values are both true"},
        {"push 0\npush 3\nland", 0, "land with a false left side is false"},
        {"push 3\npush 0\nland", 0, "land with a false right side is false"},
        {"push 4\npush 2\nland", 1, "land is logical, not bitwise (4 & 2 is 0)"},
        {"push 0\npush 0\nlor", 0, "lor of two false values is false"},
        {"push 0\npush 7\nlor", 1, "lor gives 1, not the true operand"},
        {"push 7\nlnot", 0, "lnot of a true value is 0"},
    };
    ExpectResults(cases, std::size(cases));
}

// The runtime generator written out from its formula, apart from CRand.h.
int ReferenceRand(uint32_t* state)
{
    *state = *state * 214013u + 2531011u;
    return static_cast<int>((*state >> 16) & 0x7FFF);
}

TEST(ExecutorControl, rand_is_the_runtime_generator_modulo_its_range)
{
    crt::srand(12345);
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        push 6
        rand
        st $1
        push 6
        rand
        st $2
        push 32768
        rand
        st $3
        push 1
        rand
        st $4
        push 1000
        rand
        st $5
        end
    )"}}));
    ASSERT_EQ(rig.Run(), kStepEnd) << "the scenario should run to its end: " << rig.exec.lastError();
    uint32_t state = 12345;
    EXPECT_EQ(rig.Int(1), ReferenceRand(&state) % 6) << "rand 6 must be the generator's next value modulo 6";
    EXPECT_EQ(rig.Int(2), ReferenceRand(&state) % 6) << "each rand draws once from the same sequence";
    EXPECT_EQ(rig.Int(3), ReferenceRand(&state)) << "a range above the generator's maximum gives its raw value";
    EXPECT_EQ(rig.Int(4), (ReferenceRand(&state), 0)) << "rand 1 is always 0 but still draws";
    EXPECT_EQ(rig.Int(5), ReferenceRand(&state) % 1000) << "a draw was skipped or repeated";
    EXPECT_EQ(rig.exec.stack.size(), 0u) << "rand replaces its range with the result";
}

TEST(ExecutorControl, rand_of_a_negative_range_takes_the_error_path)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "push -5\nrand\nst $1\nend\n"}}));
    EXPECT_EQ(rig.Run(), kStepError) << "a negative range must not give a negative remainder";
    EXPECT_NE(rig.exec.lastError().find("rand"), std::string::npos)
        << "the scenario stopped for another reason: " << rig.exec.lastError();
    EXPECT_EQ(rig.exec.valsInt().count(1), 0u) << "nothing after the fault may run";
}

TEST(ExecutorControl, unknown_opcodes_and_operators_take_the_error_path)
{
    using scenario::Instruction;
    // Gaps inside each instruction family, and past the last one.
    for (uint8_t op : {0x15, 0x17, 0x1E, 0x1F, 0x26, 0x3E, 0x47, 0x52, 0xEE, 0xFF}) {
        ExpectFault({{op, 0, 0, 0}}, "unknown opcode " + std::to_string(op),
                    "opcode " + std::to_string(op) + " is no instruction");
    }
    const Instruction push{scenario::kOpPush, 0, 0, 3};
    for (uint8_t calc : {0, scenario::kCalcLast + 1, 0xFF}) {
        ExpectFault({push, push, {scenario::kOpCalc, calc, 0, 0}}, "unknown operator",
                    "calc " + std::to_string(calc) + " is no operator");
    }
}

TEST(ExecutorControl, stack_underflow_takes_the_error_path_in_every_family)
{
    const char* sources[] = {
        "st $1",              // store from an empty stack
        "ld $[1]",            // an indirect load needs its offset
        "push 1\nst $[1]",    // the offset is taken, the value is missing
        "dup",
        "drop",
        "jz 0",
        "jnz 0",
        "push 1\nadd",        // a binary operator with one value
        "push 1\nlt",
        "push 1\nland",
        "neg",                // a unary operator with none
        "not",
        "rand",
        "seen",
        "wait",
        "push 1\npush 2\npush 3\nshow \"bg\"",  // four operands wanted
        "push 1\npush 2\npan \"bg\"",
        "remove",
        "effect",
        "vista",
        "window",
        "link",
        "color",
        "ruby \"base\"",
        "music",
        "push 1\npush 2\npush 3\nquake",
        "flash",
    };
    for (const char* source : sources) {
        Rig rig;
        ASSERT_TRUE(rig.Start({{"a.nsd", std::string(source) + "\npush 1\nst $9\nend\n"}})) << source;
        EXPECT_EQ(rig.Run(), kStepError) << source << ": a missing operand must stop the scenario";
        EXPECT_NE(rig.exec.lastError().find("underflow"), std::string::npos)
            << source << ": failed for another reason: " << rig.exec.lastError();
        EXPECT_EQ(rig.exec.valsInt().count(9), 0u) << source << ": the scenario went on after the fault";
    }
}

TEST(ExecutorControl, variable_spaces_beyond_system_take_the_error_path)
{
    using scenario::Instruction;
    const Instruction push{scenario::kOpPush, 0, 0, 5};
    for (uint8_t space : {2, 3}) {
        const std::string name = "space " + std::to_string(space);
        ExpectFault({{scenario::kOpLoad, space, 0, 1}}, "bad variable space " + std::to_string(space),
                    "ld from " + name);
        ExpectFault({push, {scenario::kOpStore, space, 0, 1}}, "bad variable space", "st into " + name);
        ExpectFault({push, push, {scenario::kOpStore, static_cast<uint8_t>(space | scenario::kVarIndirect), 0, 1}},
                    "bad variable space", "indirect st into " + name);
    }
}

TEST(ExecutorControl, far_transfers_to_unknown_files_or_positions_take_the_error_path)
{
    using scenario::Instruction;
    // .ROData names file 1 ("b.nsd"); file 5 has no .CMAP entry.
    const std::vector<uint8_t> rodata = {'b', '.', 'n', 's', 'd', 0};
    for (uint8_t op : {scenario::kOpFarJump, scenario::kOpFarCall}) {
        const std::string name = op == scenario::kOpFarJump ? "farjmp" : "farcall";
        Rig rig;
        scenario::ScenarioImage image;
        image.text = {{op, 0, 5, 0}, {scenario::kOpEnd, 0, 0, 0}};
        image.rodata = rodata;
        image.cmap = {{1, 0}};
        rig.files.files["scenario\\bad.nsd"] = scenario::WriteScenarioFile(image);
        ASSERT_TRUE(rig.exec.openScenario("bad.nsd")) << "the hand-made file must load";
        EXPECT_EQ(rig.Run(), kStepError) << name << " to file number 5, which the file does not name";
        EXPECT_NE(rig.exec.lastError().find("no .CMAP entry"), std::string::npos)
        << "the scenario stopped for another reason: " << rig.exec.lastError();

        Rig negative;
        image.text = {{op, 0, 1, -1}, {scenario::kOpEnd, 0, 0, 0}};
        negative.files.files["scenario\\bad.nsd"] = scenario::WriteScenarioFile(image);
        negative.files.Add({{"b.nsd", "end\n"}});
        ASSERT_TRUE(negative.exec.openScenario("bad.nsd")) << "the hand-made file must load";
        EXPECT_EQ(negative.Run(), kStepError) << name << " to instruction -1 of b.nsd";
        EXPECT_NE(negative.exec.lastError().find("jump target -1"), std::string::npos)
        << "the scenario stopped for another reason: " << negative.exec.lastError();
        EXPECT_EQ(negative.exec.scenarioName(), "bad.nsd") << "a refused transfer must not leave the file";
    }
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", "farcall \"b.nsd\", 0\n"}, {"b.nsd", "farcall \"a.nsd\", 0\n"}}));
    EXPECT_EQ(rig.Run(), kStepError) << "calls between two files that never return must stop";
    EXPECT_NE(rig.exec.lastError().find("call stack overflow"), std::string::npos)
        << "the scenario stopped for another reason: " << rig.exec.lastError();
}

TEST(ExecutorControl, nop_passes_and_syssave_asks_the_host_to_save)
{
    Rig rig;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        nop
        syssave
        push 1
        st $1
        end
    )"}}));
    EXPECT_EQ(rig.Run(), kStepEnd) << "the scenario should run to its end: " << rig.exec.lastError();
    EXPECT_EQ(rig.host.systemSaves, 1) << "syssave must write the user system file once";
    EXPECT_EQ(rig.Int(1), 1) << "nop or syssave stopped the scenario";
}

TEST(ExecutorControl, system_and_scenario_variables_are_separate_spaces)
{
    Rig rig;
    rig.systemInt[4] = 40;
    ASSERT_TRUE(rig.Start({{"a.nsd", R"(
        push 7
        st $4
        ld #4
        st $5
        push 11         ; the value
        push 2          ; the offset, popped first
        st #[3]         ; #5 := 11
        end
    )"}}));
    ASSERT_EQ(rig.Run(), kStepEnd) << "the scenario should run to its end: " << rig.exec.lastError();
    EXPECT_EQ(rig.Int(4), 7) << "st $4 must write the scenario variable";
    EXPECT_EQ(rig.Int(5), 40) << "ld #4 must read the system variable, not $4";
    EXPECT_EQ(rig.systemInt[4], 40) << "a scenario store reached the system variables";
    EXPECT_EQ(rig.systemInt[5], 11) << "st #[3] with offset 2 must write system variable 5";
    EXPECT_EQ(rig.exec.valsInt().count(3), 0u) << "an indirect system store wrote a scenario variable";
}

}  // namespace
