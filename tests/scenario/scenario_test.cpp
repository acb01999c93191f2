// The compiled-scenario loader against well-formed and hostile files.
#include <gtest/gtest.h>

#include "scenario/BigEndian.h"
#include "scenario/SCENARIO.h"
#include "scenario/ScenarioAssembler.h"

using scenario::LoadResult;

namespace {

// A file with a hand-made section table: {name, offset, size} per entry and
// `body` appended after the table.
std::vector<uint8_t> Handmade(const std::vector<std::tuple<std::string, uint32_t, uint32_t>>& sections,
                              const std::vector<uint8_t>& body,
                              uint32_t version = SCENARIO::kFormatVersion)
{
    std::vector<uint8_t> out = {'N', 'A', 'S', 'D', 'A', 'P', '6', '6'};
    scenario::AppendU32(&out, version);
    scenario::AppendU32(&out, static_cast<uint32_t>(sections.size()));
    for (const auto& [name, offset, size] : sections) {
        char padded[8] = {};
        name.copy(padded, 8);
        out.insert(out.end(), padded, padded + 8);
        scenario::AppendU32(&out, offset);
        scenario::AppendU32(&out, size);
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

const std::vector<uint8_t> kEnd = {0x01, 0, 0, 0, 0, 0, 0, 0};
// .Text of one end instruction, then a .CMAP entry: file 1 named at .ROData offset 0.
const std::vector<uint8_t> kEndAndCmap = {0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};

TEST(SCENARIO, loads_the_sections_the_writer_lays_out)
{
    scenario::ScenarioImage image;
    image.text = {{scenario::kOpPush, 0x12, 0x3456, -2}, {scenario::kOpEnd, 0, 0, 0}};
    image.rodata = {'a', 'b', 0, 'o', 't', 'h', 'e', 'r', '.', 'n', 's', 'd', 0};
    image.val = {{5, -1}, {7, 70}};
    image.cmap = {{3, 3}};
    SCENARIO s;
    const std::vector<uint8_t> bytes = scenario::WriteScenarioFile(image);
    ASSERT_EQ(s.loadFromMemory(bytes.data(), bytes.size()), LoadResult::kOk);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s.at(0).op, scenario::kOpPush);
    EXPECT_EQ(s.at(0).a, 0x12);
    EXPECT_EQ(s.at(0).b, 0x3456) << "operand b is big-endian";
    EXPECT_EQ(s.at(0).c, -2) << "operand c is a signed big-endian word";
    std::string text;
    ASSERT_TRUE(s.getText(1, &text));
    EXPECT_EQ(text, "b") << "an offset may point into the middle of a string";
    EXPECT_EQ(s.defaults().at(5), -1);
    ASSERT_TRUE(s.fileName(3, &text));
    EXPECT_EQ(text, "other.nsd");
    EXPECT_FALSE(s.fileName(4, &text));
    EXPECT_FALSE(s.getText(13, &text)) << "the offset just past .ROData is outside";
    EXPECT_FALSE(s.getText(-1, &text));
}

TEST(SCENARIO, rejects_malformed_files_with_their_own_code)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        LoadResult expected;
    };
    std::vector<uint8_t> badMagic = Handmade({{".Text", 32, 8}}, kEnd);
    badMagic[0] = 'X';
    const Case cases[] = {
        {"empty", {}, LoadResult::kTooShort},
        {"one .Text section", Handmade({{".Text", 32, 8}}, kEnd), LoadResult::kOk},
        {"bad magic", badMagic, LoadResult::kBadMagic},
        {"version 1 (show with an anchor, quake without operands)", Handmade({{".Text", 32, 8}}, kEnd, 1),
         LoadResult::kBadMagic},
        {"version 3", Handmade({{".Text", 32, 8}}, kEnd, 3), LoadResult::kBadMagic},
        {"section past the end", Handmade({{".Text", 32, 16}}, kEnd), LoadResult::kBadSectionTable},
        {"offset near 2^32 wraps", Handmade({{".Text", 0xFFFFFFF8u, 16}}, kEnd), LoadResult::kBadSectionTable},
        {"section repeated", Handmade({{".Text", 48, 8}, {".Text", 48, 8}}, kEnd), LoadResult::kBadSectionTable},
        {"no .Text", Handmade({{".ROData", 32, 8}}, kEnd), LoadResult::kNoText},
        {".Text not a multiple of 8", Handmade({{".Text", 32, 7}}, kEnd), LoadResult::kNoText},
        {".ROData without its zero", Handmade({{".Text", 48, 8}, {".ROData", 48, 1}}, kEnd),
         LoadResult::kBadString},
        {".Val of 7 bytes", Handmade({{".Text", 48, 8}, {".Val", 48, 7}}, kEnd), LoadResult::kBadVal},
        {".CMAP naming past .ROData", Handmade({{".Text", 48, 8}, {".CMAP", 56, 8}}, kEndAndCmap), LoadResult::kBadCmap},
        {"too many sections", Handmade(std::vector<std::tuple<std::string, uint32_t, uint32_t>>(17), {}),
         LoadResult::kBadSectionTable},
    };
    for (const Case& c : cases) {
        SCENARIO s;
        EXPECT_EQ(s.loadFromMemory(c.bytes.data(), c.bytes.size()), c.expected) << c.what;
        if (c.expected != LoadResult::kOk) {
            EXPECT_TRUE(s.empty()) << c.what << ": a refused file leaves the object empty";
        }
    }
}

TEST(SCENARIO, truncated_section_table_is_refused)
{
    std::vector<uint8_t> bytes = Handmade({{".Text", 32, 8}}, {});
    bytes.resize(20);
    SCENARIO s;
    EXPECT_EQ(s.loadFromMemory(bytes.data(), bytes.size()), LoadResult::kTooShort);
}

TEST(SCENARIO, unknown_sections_are_skipped)
{
    const std::vector<uint8_t> bytes = Handmade({{".Debug", 48, 4}, {".Text", 48, 8}}, kEnd);
    SCENARIO s;
    EXPECT_EQ(s.loadFromMemory(bytes.data(), bytes.size()), LoadResult::kOk)
        << "a section this engine does not know must not make the file unreadable";
}

}  // namespace
