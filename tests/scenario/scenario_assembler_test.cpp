// The assembler's text form and its packing into 8-byte instructions.
#include <gtest/gtest.h>

#include <cstdint>

#include "scenario/SCENARIO.h"
#include "scenario/ScenarioAssembler.h"

using namespace scenario;

namespace {

SCENARIO AssembleOne(const std::string& source, bool utf8 = false)
{
    std::vector<AsmOutput> out;
    std::string errors;
    SCENARIO s;
    EXPECT_TRUE(ScenarioAssembler().assemble({{"a.nsd", source, utf8}}, &out, &errors)) << errors;
    if (out.size() == 1) {
        EXPECT_EQ(s.loadFromMemory(out[0].bytes.data(), out[0].bytes.size()), LoadResult::kOk)
            << "the assembler must write files its own loader accepts";
    }
    return s;
}

std::string Errors(const std::vector<AsmSource>& sources)
{
    std::vector<AsmOutput> out;
    std::string errors;
    EXPECT_FALSE(ScenarioAssembler().assemble(sources, &out, &errors)) << "the source should be refused";
    return errors;
}

TEST(ScenarioAssembler, packs_operands_as_the_format_defines)
{
    const SCENARIO s = AssembleOne(R"(
    start:  push -5           ; comment after code
            ld #[7]
            st $9
            add
            jnz start
            waitclick 1
            sset &300, "hi"
            scpy &1, &2
            namevar &4
            end
    )");
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(s.at(0).op, kOpPush);
    EXPECT_EQ(s.at(0).c, -5);
    EXPECT_EQ(s.at(1).op, kOpLoad);
    EXPECT_EQ(s.at(1).a, kVarSystem | kVarIndirect) << "#[n] is an indirect system variable";
    EXPECT_EQ(s.at(1).c, 7);
    EXPECT_EQ(s.at(2).a, kVarScenario);
    EXPECT_EQ(s.at(2).c, 9);
    EXPECT_EQ(s.at(3).op, kOpCalc);
    EXPECT_EQ(s.at(3).a, kCalcAdd);
    EXPECT_EQ(s.at(4).c, 0) << "the label start is instruction 0";
    EXPECT_EQ(s.at(5).a, 1);
    EXPECT_EQ(s.at(6).b, 300);
    std::string text;
    ASSERT_TRUE(s.getText(s.at(6).c, &text));
    EXPECT_EQ(text, "hi");
    EXPECT_EQ(s.at(7).b, 1);
    EXPECT_EQ(s.at(7).c, 2);
    EXPECT_EQ(s.at(8).b, 4);
}

TEST(ScenarioAssembler, pushes_value_operands_in_order_before_the_instruction)
{
    const SCENARIO s = AssembleOne("show \"bg\", 10, $3, \"x\", 0\nshow \"bg\"\nend\n");
    ASSERT_EQ(s.size(), 7u) << "four pushes, show, a show whose values are already pushed, end";
    EXPECT_EQ(s.at(0).op, kOpPush);
    EXPECT_EQ(s.at(0).c, 10);
    EXPECT_EQ(s.at(1).op, kOpLoad) << "a variable operand is loaded";
    EXPECT_EQ(s.at(1).c, 3);
    std::string text;
    ASSERT_TRUE(s.getText(s.at(2).c, &text)) << "a further string is pushed as its .ROData offset";
    EXPECT_EQ(text, "x");
    EXPECT_EQ(s.at(4).op, kOpShow);
    ASSERT_TRUE(s.getText(s.at(4).c, &text));
    EXPECT_EQ(text, "bg");
    EXPECT_EQ(s.at(5).c, s.at(4).c) << "equal strings share one .ROData entry";
}

TEST(ScenarioAssembler, far_labels_resolve_across_files_and_fill_the_cmap)
{
    std::vector<AsmOutput> out;
    std::string errors;
    ASSERT_TRUE(ScenarioAssembler().assemble({{"a.nsd", "farcall \"b.nsd\", there\nfarjmp \"c.nsd\", 4\n", false},
                                              {"b.nsd", "nop\nnop\nthere: ret\n", false}},
                                             &out, &errors))
        << errors;
    SCENARIO a;
    ASSERT_EQ(a.loadFromMemory(out[0].bytes.data(), out[0].bytes.size()), LoadResult::kOk);
    EXPECT_EQ(a.at(0).c, 2) << "the label in b.nsd is its third instruction";
    std::string name;
    ASSERT_TRUE(a.fileName(a.at(0).b, &name));
    EXPECT_EQ(name, "b.nsd");
    ASSERT_TRUE(a.fileName(a.at(1).b, &name));
    EXPECT_EQ(name, "c.nsd");
    EXPECT_NE(a.at(0).b, a.at(1).b) << "two files get two numbers";
}

TEST(ScenarioAssembler, converts_utf8_literals_to_shift_jis)
{
    const SCENARIO s = AssembleOne("text \"\xE3\x81\x82\"\nend\n", true);
    std::string text;
    ASSERT_TRUE(s.getText(s.at(0).c, &text));
    EXPECT_EQ(text, "\x82\xA0") << "U+3042 is 0x82A0 in Shift-JIS";
}

TEST(ScenarioAssembler, quake_and_flash_push_their_operands_in_order)
{
    const SCENARIO s = AssembleOne("quake 1, 20, 4, 9\nflash 0xFF8000\nend\n");
    ASSERT_EQ(s.size(), 8u) << "four pushes, quake, one push, flash, end";
    const int32_t pushed[] = {1, 20, 4, 9};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(s.at(i).op, kOpPush);
        EXPECT_EQ(s.at(i).c, pushed[i]) << "quake operand " << i << " must be pushed in source order";
    }
    EXPECT_EQ(s.at(4).op, kOpQuake);
    EXPECT_EQ(s.at(5).c, 0xFF8000) << "the flash colour";
    EXPECT_EQ(s.at(6).op, kOpFlash);
}

TEST(ScenarioAssembler, numbers_take_every_32_bit_pattern_and_refuse_the_rest)
{
    SCENARIO s = AssembleOne("push 0xFFFFFFFF\npush 0x80000000\npush -2147483648\npush 0x7fffffff\nend\n");
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s.at(0).c, -1) << "hexadecimal spells the whole 32-bit pattern";
    EXPECT_EQ(s.at(1).c, INT32_MIN) << "0x80000000 is the lowest value, not out of range";
    EXPECT_EQ(s.at(2).c, INT32_MIN);
    EXPECT_EQ(s.at(3).c, INT32_MAX) << "hex digits are read without case";
    const std::pair<const char*, const char*> bad[] = {
        {"push 0x100000000\n", "number out of range"},
        {"push -0x80000001\n", "number out of range"},
        {"push 2147483648\n", "number out of range"},
        {"push 0x\n", "number expected"},
        {"push -\n", "number expected"},
    };
    for (const auto& [source, reason] : bad)
        EXPECT_NE(Errors({{"a.nsd", source, false}}).find(reason), std::string::npos) << source << " wants " << reason;
}

TEST(ScenarioAssembler, each_refusal_names_its_reason)
{
    const std::pair<const char*, const char*> bad[] = {
        {"push\n", "push takes one number, string or variable"},
        {"quake 1, 2, 3,\n", "operand expected"},
        {"push \"a\\q\"\n", "unknown escape"},
        {"push 1 2\n", "',' or end of line expected"},
        {"add 1\n", "add takes no operands"},
        {"show 1, 2, 3, 4\n", "takes a string first"},
        {"show \"a\", $[1], 2, 3, 4\n", "operands are numbers, strings or direct variables"},
        {".val 1\nend\n", ".val takes a variable number and a value"},
        {".file 70000, \"b.nsd\"\nend\n", ".file takes a number 0-65535"},
        {".file 1, \"b.nsd\"\n.file 1, \"c.nsd\"\nend\n", "file number 1 used twice"},
        {".file 1, \"b.nsd\"\n.file 2, \"b.nsd\"\nend\n", "numbered twice"},
        {": end\n", "instruction expected"},
    };
    for (const auto& [source, reason] : bad) {
        const std::string errors = Errors({{"a.nsd", source, false}});
        EXPECT_NE(errors.find(reason), std::string::npos) << source << " was refused for another reason: " << errors;
    }
}

TEST(ScenarioAssembler, reports_errors_with_file_and_line)
{
    EXPECT_NE(Errors({{"a.nsd", "nop\nbogus 1\n", false}}).find("a.nsd:2:"), std::string::npos)
        << "an unknown mnemonic is reported at its line";
    const char* bad[] = {
        "jmp nowhere\n",            // unknown label
        "x:\nx:\nend\n",            // label twice
        "show \"a\", 1, 2\n",       // wrong operand count
        "show \"a\", 1, 2, 3, 4, 5\n", // the old form with an anchor
        "quake 1, 20, 2\n",        // a quake takes four values
        "flash 0xFF, 1\n",         // a flash takes one
        "push \"unterminated\n",    // string
        "waitclick 300\n",          // out of range
        "push 99999999999\n",       // out of range
        "st 5\n",                   // not a variable
        "sset 1, \"x\"\n",          // not a string variable
        "farcall \"b.nsd\", lbl\n", // label of a file outside the assembly
        "",                         // no instructions
    };
    for (const char* source : bad)
        EXPECT_FALSE(Errors({{"a.nsd", source, false}}).empty()) << source;
}

}  // namespace
