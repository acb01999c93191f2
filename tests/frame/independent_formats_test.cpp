// Files written by tests/data/frame/make_frame_data.py, a second
// implementation of the archive and scrambled-profile layouts: the C++ reader
// must agree with it byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "FrameTestDir.h"
#include "frame/File.h"
#include "frame/ProfileFile.h"

namespace {

std::string DataFile(const std::string& name)
{
    const char* root = std::getenv("LANTERN_TEST_DATA");
    return std::string(root != nullptr ? root : "tests/data") + "/frame/" + name;
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(IndependentFormats, reads_an_archive_made_by_the_generator_script)
{
    std::string bytes = Slurp(DataFile("three_methods.nmm"));
    ASSERT_FALSE(bytes.empty()) << "test data missing: run tests/data/frame/make_frame_data.py";
    FrameTestDir dir;
    dir.Write("Data.nmm", bytes);
    std::string expected;
    for (int i = 0; i < 4; ++i) {
        expected += "lantern lantern lantern archive entry\r\n";
    }
    for (const char* name : {"data\\stored.txt", "data\\LZSS.txt", "data\\\x95\x5C.TXT"}) {
        SCOPED_TRACE(name);
        CFile file;
        ASSERT_EQ(file.Load(name), 0) << "entry of the script-made archive not loaded";
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize()), expected)
            << "the entry unpacked differently from the script's layout";
    }
}

TEST(IndependentFormats, reads_a_profile_scrambled_by_the_generator_script)
{
    std::string bytes = Slurp(DataFile("scrambled.ini"));
    ASSERT_FALSE(bytes.empty()) << "test data missing: run tests/data/frame/make_frame_data.py";
    ProfileFile p;
    ASSERT_EQ(p.loadFromMemory(bytes.data(), bytes.size()), 0) << "the script's scrambled form was rejected";
    std::string title;
    ASSERT_EQ(p.GetString("global", "title", &title), 0);
    EXPECT_EQ(title, "\x95\x5C\x8E\xA6") << "Shift-JIS value changed";
    int value = 0;
    ASSERT_EQ(p.GetInt("systemInt", "3", &value), 0);
    EXPECT_EQ(value, -12);
}

}  // namespace
