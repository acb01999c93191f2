#include "frame/ProfileFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <climits>
#include <filesystem>

#include "FrameTestDir.h"
#include "frame/NmmPacker.h"

namespace {

// The key as docs/FORMATS.md states it, written out here so the test does not
// borrow the code's own table.
const uint8_t kDocumentedKey[20] = {0xA5, 0x3C, 0x5A, 0xC3, 0x96, 0x69, 0x0F, 0xF0, 0x1E, 0xE1,
                                    0x2D, 0xD2, 0x4B, 0xB4, 0x78, 0x87, 0x33, 0xCC, 0x55, 0xAA};

std::string ScrambleByHand(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out.push_back(static_cast<char>(static_cast<uint8_t>(text[i]) ^ kDocumentedKey[i % 20]));
    }
    uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
    for (int k = 0; k < 4; ++k) {
        out.push_back(static_cast<char>((crc >> (8 * k)) & 0xFF));
    }
    return out;
}

ProfileFile Sample()
{
    ProfileFile p;
    p.SetString("global", "width", "800");
    p.SetString("global", "title", "\x95\x5C\x8E\xA6");  // 表示: a trail byte 0x5C in a value
    int seen = -12;
    p.SetInt("systemInt", "3", &seen);
    p.SetString("cgs", "ev01", "seen");
    p.SetString("global", "height", "600");
    return p;
}

TEST(ProfileFile, writes_sections_and_keys_in_order_of_first_use)
{
    EXPECT_EQ(Sample().serialize(0),
              "[global]\r\nwidth=800\r\ntitle=\x95\x5C\x8E\xA6\r\nheight=600\r\n"
              "[systemInt]\r\n3=-12\r\n[cgs]\r\nev01=seen\r\n")
        << "sections or keys out of order, or wrong line form";
}

TEST(ProfileFile, plain_text_round_trips)
{
    ProfileFile loaded;
    std::string text = Sample().serialize(0);
    ASSERT_EQ(loaded.loadFromMemory(text.data(), text.size()), 0);
    EXPECT_EQ(loaded.serialize(0), text) << "a plain round trip changed the profile";
}

TEST(ProfileFile, scrambled_form_is_the_documented_xor_and_crc)
{
    std::string plain = Sample().serialize(0);
    std::string scrambled = Sample().serialize(1);
    EXPECT_EQ(scrambled, ScrambleByHand(plain)) << "the scrambled bytes differ from the documented form";
    ProfileFile loaded;
    ASSERT_EQ(loaded.loadFromMemory(scrambled.data(), scrambled.size()), 0) << "own scrambled form rejected";
    EXPECT_EQ(loaded.serialize(0), plain) << "a scrambled round trip changed the profile";
}

TEST(ProfileFile, rejects_corrupt_or_truncated_scrambled_files_and_keeps_its_contents)
{
    std::string scrambled = Sample().serialize(1);
    ProfileFile p;
    p.SetString("keep", "me", "1");
    std::string flipped = scrambled;
    flipped[10] ^= 0x01;
    EXPECT_EQ(p.loadFromMemory(flipped.data(), flipped.size()), 1) << "a flipped bit passed the checksum";
    std::string cut = scrambled.substr(0, scrambled.size() - 3);
    EXPECT_EQ(p.loadFromMemory(cut.data(), cut.size()), 1) << "a truncated scrambled file was accepted";
    std::string dummy;
    EXPECT_EQ(p.GetString("keep", "me", &dummy), 0) << "a failed load must not clear the object";
}

TEST(ProfileFile, parses_blanks_comments_and_repeats)
{
    std::string text =
        "orphan=1\n"
        "; a comment\r\n"
        "  [ global ]  \r\n"
        "  width =  640 \r\n"
        "\r\n"
        "expr=a=b\n"
        "noequals\n"
        "[other]\n"
        "k=v\n"
        "[global]\n"
        "width=1024\n"
        "extra=x";
    ProfileFile p;
    ASSERT_EQ(p.loadFromMemory(text.data(), text.size()), 0);
    ASSERT_EQ(p.Sections().size(), 2u) << "a repeated section must merge into the first";
    const ProfileFile::Section* g = p.FindSection("global");
    ASSERT_NE(g, nullptr) << "blanks around a section name must not be part of it";
    using Entries = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(g->entries, (Entries{{"width", "1024"}, {"expr", "a=b"}, {"extra", "x"}}))
        << "blanks around '=', the first '=' as separator, repeated keys in their first place";
    EXPECT_EQ(p.FindSection("Global"), nullptr) << "section names must match case-sensitively";
    std::string value;
    EXPECT_EQ(p.GetString("global", "WIDTH", &value), 1) << "keys must match case-sensitively";
}

// Text editors may save a UTF-8 byte-order mark ahead of the first section.
// Only there is it left out; anywhere else its bytes are text like any other.
TEST(ProfileFile, a_byte_order_mark_is_skipped_at_the_very_start_only)
{
    const std::string mark = "\xEF\xBB\xBF";
    const std::string text = "[global]\r\nwidth=640\r\n[other]\r\nk=v\r\n";
    ProfileFile plain;
    ASSERT_EQ(plain.loadFromMemory(text.data(), text.size()), 0);
    for (const std::string& marked : {mark + text, mark + "; saved by an editor\r\n\r\n" + text}) {
        ProfileFile p;
        ASSERT_EQ(p.loadFromMemory(marked.data(), marked.size()), 0);
        EXPECT_NE(p.FindSection("global"), nullptr) << "the mark became part of the first section's name";
        EXPECT_EQ(p.serialize(0), plain.serialize(0)) << "a marked file must read as the same file without it";
    }

    // A mark after the start: the line it begins is no section header (so
    // its keys stay in [a]); in a key or a value it is kept.
    const std::string inside = "[a]\r\n" + mark + "[b]\r\nj=2\r\n" + mark + "k=1\r\nv=" + mark + "x\r\n";
    ProfileFile p;
    ASSERT_EQ(p.loadFromMemory(inside.data(), inside.size()), 0);
    using Entries = std::vector<std::pair<std::string, std::string>>;
    ASSERT_EQ(p.Sections().size(), 1u) << "a mark inside the text opened a section";
    EXPECT_EQ(p.Sections()[0].entries, (Entries{{"j", "2"}, {mark + "k", "1"}, {"v", mark + "x"}}));

    // Only one mark is skipped; a part of one or a mark alone is no section.
    for (const std::string& odd : {mark + mark + text, "\xEF\xBB" + text, mark}) {
        ASSERT_EQ(p.loadFromMemory(odd.data(), odd.size()), 0);
        EXPECT_EQ(p.FindSection("global"), nullptr) << odd.size() << " bytes";
        EXPECT_EQ(p.Sections().size(), odd == mark ? 0u : 1u) << "[other] follows in all but the mark alone";
    }
}

// A save may hold 65,536 variables: a file of that size is read back whole,
// in order, with repeats resolved as in a small one. (Its speed is measured
// by bench/profile_bench.)
TEST(ProfileFile, a_file_of_65536_keys_reads_back_whole_in_order_with_repeats_in_their_first_place)
{
    constexpr int kKeys = 65536;
    std::string text = "[title]\r\ntext=big\r\n[valsInt]\r\n";
    for (int i = 0; i < kKeys; ++i) {
        // Descending, so that an index sorted by name could not pass for the order.
        text += std::to_string(kKeys - 1 - i) + "=" + std::to_string(i) + "\r\n";
    }
    // Repeats in a reopened section and a repeat of a key of another section.
    text += "[title]\r\ntext=later\r\n[valsInt]\r\n65535=first place\r\n0=last\r\nextra=1\r\n";
    ProfileFile p;
    ASSERT_EQ(p.loadFromMemory(text.data(), text.size()), 0);
    ASSERT_EQ(p.Sections().size(), 2u) << "reopened sections must merge into the first";
    const ProfileFile::Section* vals = p.FindSection("valsInt");
    ASSERT_NE(vals, nullptr);
    ASSERT_EQ(vals->entries.size(), static_cast<size_t>(kKeys) + 1) << "a key went missing or a repeat was added";
    for (int i = 0; i < kKeys; ++i) {
        const auto& entry = vals->entries[static_cast<size_t>(i)];
        ASSERT_EQ(entry.first, std::to_string(kKeys - 1 - i)) << "the file's order was lost at " << i;
        std::string value;
        ASSERT_EQ(p.GetString("valsInt", entry.first, &value), 0) << "key " << entry.first << " not found";
        const std::string expected = i == 0 ? "first place" : i == kKeys - 1 ? "last" : std::to_string(i);
        ASSERT_EQ(value, expected) << "key " << entry.first;
        ASSERT_EQ(entry.second, expected);
    }
    EXPECT_EQ(vals->entries.back().first, "extra") << "a new key in a reopened section goes last";
    std::string title;
    EXPECT_EQ(p.GetString("title", "text", &title), 0);
    EXPECT_EQ(title, "later") << "the last of repeated values wins";
    EXPECT_EQ(p.GetString("valsint", "0", &title), 1) << "section names stay case-sensitive";

    // Written back and read again, it is the same file.
    ProfileFile again;
    const std::string written = p.serialize(1);
    ASSERT_EQ(again.loadFromMemory(written.data(), written.size()), 0);
    EXPECT_EQ(again.serialize(0), p.serialize(0));
}

TEST(ProfileFile, building_65536_keys_keeps_first_use_order_and_the_index_follows_copies_and_clear)
{
    constexpr int kKeys = 65536;
    ProfileFile p;
    for (int i = 0; i < kKeys; ++i) {
        p.SetInt("valsInt", std::to_string(kKeys - 1 - i), &i);
    }
    p.SetString("valsInt", std::to_string(kKeys - 1), "again");  // set again: stays first
    const ProfileFile::Section* vals = p.FindSection("valsInt");
    ASSERT_NE(vals, nullptr);
    ASSERT_EQ(vals->entries.size(), static_cast<size_t>(kKeys));
    EXPECT_EQ(vals->entries.front(), std::make_pair(std::to_string(kKeys - 1), std::string("again")));
    EXPECT_EQ(vals->entries.back(), std::make_pair(std::string("0"), std::to_string(kKeys - 1)));

    // A copy finds keys in its own entries, and a change to it stays there.
    ProfileFile copy = p;
    copy.SetString("valsInt", "7", "copy");
    std::string value;
    ASSERT_EQ(copy.GetString("valsInt", "7", &value), 0);
    EXPECT_EQ(value, "copy");
    ASSERT_EQ(p.GetString("valsInt", "7", &value), 0);
    EXPECT_EQ(value, std::to_string(kKeys - 1 - 7)) << "a copy shared its entries with the original";

    // A loaded file's index is the one later sets use.
    const std::string text = "[s]\r\nb=1\r\na=2\r\n";
    ASSERT_EQ(p.loadFromMemory(text.data(), text.size()), 0);
    p.SetString("s", "b", "3");
    p.SetString("s", "c", "4");
    EXPECT_EQ(p.serialize(0), "[s]\r\nb=3\r\na=2\r\nc=4\r\n") << "a load left the old index behind";

    p.Clear();
    EXPECT_EQ(p.GetString("s", "b", &value), 1) << "Clear must forget the keys";
    p.SetString("t", "x", "1");
    EXPECT_EQ(p.serialize(0), "[t]\r\nx=1\r\n") << "Clear must forget the sections' places";
}

TEST(ProfileFile, text_to_integer_follows_the_decimal_rule)
{
    ProfileFile p;
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42}, {"  -7", -7}, {"+3", 3}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"-", 0},
        {"\t 0x10", 0}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}, {"-2147483648", INT_MIN},
    };
    for (const Case& c : cases) {
        p.SetString("s", "k", c.text);
        int out = 12345;
        ASSERT_EQ(p.GetInt("s", "k", &out), 0);
        EXPECT_EQ(out, c.value) << "text \"" << c.text << "\" converted wrong";
    }
    int untouched = 77;
    EXPECT_EQ(p.GetInt("s", "missing", &untouched), 1) << "a missing key must give 1";
    EXPECT_EQ(p.GetInt("missing", "k", &untouched), 1) << "a missing section must give 1";
    EXPECT_EQ(untouched, 77) << "a failed GetInt wrote its output";
}

TEST(ProfileFile, saves_atomically_and_loads_through_the_file_layer)
{
    FrameTestDir dir;
    std::filesystem::create_directories(dir.Root() + "/SaveData");
    ProfileFile p = Sample();
    ASSERT_EQ(p.save("savedata\\user.ini", 0), 0) << "save into an existing folder failed";
    EXPECT_EQ(dir.Read("SaveData/user.ini"), p.serialize(0)) << "saved bytes differ";
    ASSERT_EQ(p.save("savedata\\user.ini", 1), 0) << "overwriting failed";
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Root() + "/SaveData")) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1) << "a temporary file was left behind";
    ProfileFile loaded;
    ASSERT_EQ(loaded.load("SAVEDATA\\USER.INI"), 0) << "loading the scrambled save failed";
    EXPECT_EQ(loaded.serialize(0), p.serialize(0)) << "save and load disagree";
    EXPECT_EQ(loaded.load("savedata\\missing.ini"), 1) << "a missing file must give 1";
}

TEST(ProfileFile, reports_a_failed_save_and_keeps_the_old_file)
{
    FrameTestDir dir;
    EXPECT_NE(Sample().save("no_such_folder\\user.ini", 0), 0) << "saving into a missing folder reported success";
    std::filesystem::create_directories(dir.Root() + "/busy.ini");  // a folder where the file should go
    EXPECT_NE(Sample().save("busy.ini", 0), 0) << "replacing a folder reported success";
    EXPECT_TRUE(std::filesystem::is_directory(dir.Root() + "/busy.ini")) << "the target was damaged";
}

TEST(ProfileFile, loads_from_an_archive_entry)
{
    FrameTestDir dir;
    std::string text = Sample().serialize(1);
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(BuildNmmArchive({{"brask.ini", std::vector<uint8_t>(text.begin(), text.end()), -1}}, 9, &bytes, &error));
    dir.Write("scenario.NMM", bytes);
    ProfileFile p;
    ASSERT_EQ(p.load("scenario\\brask.ini"), 0) << "a profile inside an archive did not load";
    std::string width;
    EXPECT_EQ(p.GetString("global", "width", &width), 0);
    EXPECT_EQ(width, "800");
}

}  // namespace
