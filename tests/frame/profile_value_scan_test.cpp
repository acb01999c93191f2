// Reading one value of a profile file without parsing all of it: what the
// slot menus do for each save's title.
#include "frame/ProfileValueScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "FrameTestDir.h"
#include "frame/ProfileFile.h"

namespace {

// A save's shape: the title first, then a large section.
std::string BigSave(const std::string& titleLines, int keys)
{
    std::string text = titleLines + "[valsInt]\r\n";
    for (int i = 0; i < keys; ++i)
        text += std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    return text;
}

TEST(ProfileValueScan, reads_a_title_that_comes_first_and_stops_at_the_end_of_its_block)
{
    FrameTestDir dir;
    // The title block ends with a repeat (which wins, as in ProfileFile); the
    // section reopened at the very end lies past where reading stops.
    dir.Write("save00.dat", BigSave("[title]\r\ntext=first\r\ntext=  Chapter 1 \r\n", 100000) +
                                "[title]\r\ntext=past the stop\r\n");
    std::string title = "untouched";
    ASSERT_EQ(ReadProfileValue("SAVE00.DAT", "title", "text", &title), 0) << "names go through the file layer";
    EXPECT_EQ(title, "Chapter 1") << "the block's last repeat, blanks trimmed; nothing past the block";

    // A key further down is still found, however far.
    std::string value;
    ASSERT_EQ(ReadProfileValue("save00.dat", "valsInt", "99999", &value), 0);
    EXPECT_EQ(value, "99999");
    value = "untouched";
    EXPECT_EQ(ReadProfileValue("save00.dat", "valsInt", "100000", &value), 1);
    EXPECT_EQ(ReadProfileValue("save00.dat", "Title", "text", &value), 1) << "names match case-sensitively";
    EXPECT_EQ(ReadProfileValue("missing.dat", "title", "text", &value), 1);
    EXPECT_EQ(value, "untouched") << "a failed read must leave the output alone";
}

TEST(ProfileValueScan, lines_cut_across_reads_and_a_last_line_without_lf_are_read_whole)
{
    FrameTestDir dir;
    for (size_t pad : {4070u, 4080u, 4090u, 4095u, 4096u, 4100u, 8190u}) {
        // A comment line that puts the title's lines across the first read's end.
        std::string text = ";";
        text.append(pad, 'x').append("\r\n[title]\r\ntext=straddles\r\n");
        dir.Write("cut.dat", text);
        std::string title;
        ASSERT_EQ(ReadProfileValue("cut.dat", "title", "text", &title), 0) << "padding " << pad;
        EXPECT_EQ(title, "straddles") << "padding " << pad;
    }
    dir.Write("nolf.dat", "[title]\r\ntext=cut short");
    std::string title;
    ASSERT_EQ(ReadProfileValue("nolf.dat", "title", "text", &title), 0);
    EXPECT_EQ(title, "cut short");
}

TEST(ProfileValueScan, a_line_longer_than_two_reads_stays_one_line)
{
    FrameTestDir dir;
    // A comment that runs over three reads; cut at a read's end, its middle
    // would pass for a key of the title.
    std::string text = "[title]\r\n;";
    text.append(4096 - text.size(), 'x').append("text=inside a comment").append(5000, 'y');
    text.append("\r\n[other]\r\ntext=other section\r\n");
    dir.Write("long.dat", text);
    std::string title = "untouched";
    EXPECT_EQ(ReadProfileValue("long.dat", "title", "text", &title), 1) << "found \"" << title.substr(0, 30) << "\"";
    EXPECT_EQ(title, "untouched");
}

// The scan over text that arrives in pieces of one size.
int ScanInPieces(const std::string& text, size_t piece, const std::string& section, const std::string& key,
                 std::string* out)
{
    std::istringstream in(text);
    auto read = [&](char* buffer, size_t capacity) {
        return static_cast<size_t>(in.read(buffer, static_cast<std::streamsize>(std::min(piece, capacity))).gcount());
    };
    return ScanProfileValue(read, section, key, out);
}

TEST(ProfileValueScan, a_byte_order_mark_before_the_first_section_is_skipped_however_the_text_is_cut)
{
    const std::string mark = "\xEF\xBB\xBF";
    FrameTestDir dir;
    dir.Write("marked.dat", mark + "[title]\r\ntext=marked\r\n");
    std::string title;
    ASSERT_EQ(ReadProfileValue("marked.dat", "title", "text", &title), 0) << "the mark hid the first section";
    EXPECT_EQ(title, "marked");

    // Pieces that end inside the mark, or that hold line ends before a third
    // byte has come, read as the whole text does.
    for (const std::string& start : {mark, std::string(), std::string("\n"), std::string("\r\n\n")}) {
        const std::string text = start + "[title]\r\ntext=first\r\n[other]\r\nkey=second";
        for (size_t piece = 1; piece <= 8; ++piece) {
            std::string value;
            ASSERT_EQ(ScanInPieces(text, piece, "title", "text", &value), 0) << start.size() << "/" << piece;
            EXPECT_EQ(value, "first") << start.size() << "/" << piece;
            ASSERT_EQ(ScanInPieces(text, piece, "other", "key", &value), 0) << start.size() << "/" << piece;
            EXPECT_EQ(value, "second") << start.size() << "/" << piece;
        }
    }

    // Past the start the mark is text: the line it begins opens no section,
    // so the title block goes on and its repeat wins.
    const std::string later = "[title]\r\ntext=first\r\n" + mark + "[other]\r\ntext=second\r\n";
    for (size_t piece : {1u, 2u, 4096u}) {
        std::string value;
        ASSERT_EQ(ScanInPieces(later, piece, "title", "text", &value), 0);
        EXPECT_EQ(value, "second") << "a mark inside the text closed the block; pieces of " << piece;
        EXPECT_EQ(ScanInPieces(later, piece, "other", "text", &value), 1) << "a mark inside the text opened a section";
    }
    std::string value = "untouched";
    EXPECT_EQ(ScanInPieces(mark + mark + "[title]\r\ntext=x\r\n", 1, "title", "text", &value), 1)
        << "only one mark is skipped";
    EXPECT_EQ(ScanInPieces(mark, 1, "title", "text", &value), 1);
    EXPECT_EQ(value, "untouched");
}

TEST(ProfileValueScan, damaged_files_give_the_title_before_the_damage_or_none)
{
    FrameTestDir dir;
    std::string garbage;
    for (uint32_t i = 0; i < 300000; ++i) {
        const uint32_t byte = (i * 7919u) % 251u;
        garbage.push_back(static_cast<char>(byte == '\n' ? 0 : byte));  // one endless line
    }
    dir.Write("tail.dat", "[title]\r\ntext=kept\r\n" + garbage);
    std::string title = "untouched";
    ASSERT_EQ(ReadProfileValue("tail.dat", "title", "text", &title), 0);
    EXPECT_EQ(title, "kept") << "damage after the title must not hide it";

    dir.Write("junk.dat", garbage);
    EXPECT_EQ(ReadProfileValue("junk.dat", "title", "text", &title), 1) << "a file of junk has no title";
    dir.Write("empty.dat", "");
    EXPECT_EQ(ReadProfileValue("empty.dat", "title", "text", &title), 1);
    EXPECT_EQ(title, "kept");

    // The scrambled form is only sound with its checksum: read whole.
    ProfileFile p;
    p.SetString("title", "text", "secret");
    std::string scrambled = p.serialize(1);
    dir.Write("scrambled.dat", scrambled);
    ASSERT_EQ(ReadProfileValue("scrambled.dat", "title", "text", &title), 0);
    EXPECT_EQ(title, "secret");
    scrambled[scrambled.size() - 1] ^= 0x01;
    dir.Write("scrambled.dat", scrambled);
    title = "untouched";
    EXPECT_EQ(ReadProfileValue("scrambled.dat", "title", "text", &title), 1) << "a bad checksum was trusted";
    EXPECT_EQ(title, "untouched");
}

}  // namespace
