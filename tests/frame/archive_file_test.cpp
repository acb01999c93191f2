// CArchiveFile and CFile over loose files and every kind of archive entry.
#include <gtest/gtest.h>

#include "FrameTestDir.h"
#include "frame/File.h"
#include "frame/NMMHederBuf.h"
#include "frame/NmmPacker.h"

namespace {

std::string Pattern(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s.push_back(static_cast<char>("lantern "[i % 8] + (i / 97) % 3));
    }
    return s;
}

class ArchiveFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        content_ = Pattern(5000);
        dir_.Write("loose/file.bin", content_);
        std::vector<NmmPackInput> inputs;
        std::vector<uint8_t> data(content_.begin(), content_.end());
        inputs.push_back({"stored.bin", data, nmm::kStored});
        inputs.push_back({"lzss.bin", data, nmm::kLzss});
        inputs.push_back({"dxor.bin", data, nmm::kDxor});
        std::vector<uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(BuildNmmArchive(inputs, 0xC3, &bytes, &error)) << error;
        dir_.Write("pack.NMM", bytes);
    }
    FrameTestDir dir_;
    std::string content_;
};

TEST_F(ArchiveFileTest, reads_seeks_and_sizes_every_kind_of_file_alike)
{
    for (const char* name : {"loose\\file.bin", "pack\\stored.bin", "pack\\lzss.bin", "pack\\dxor.bin"}) {
        SCOPED_TRACE(name);
        CArchiveFile f;
        ASSERT_EQ(f.Open(name), 0) << "could not open";
        EXPECT_EQ(f.GetSize(), static_cast<int64_t>(content_.size())) << "size must be the unpacked size";
        std::string head(10, '\0');
        EXPECT_EQ(f.Read(head.data(), 10), 10) << "short read from the start";
        EXPECT_EQ(head, content_.substr(0, 10)) << "wrong bytes at the start";
        EXPECT_EQ(f.Seek(-3, 2), 0) << "seek from the end failed";
        std::string tail(10, '\0');
        EXPECT_EQ(f.Read(tail.data(), 10), 3) << "a read must stop at the end";
        EXPECT_EQ(tail.substr(0, 3), content_.substr(content_.size() - 3)) << "wrong bytes at the end";
        EXPECT_EQ(f.Read(tail.data(), 10), 0) << "reading at the end must give 0";
        EXPECT_EQ(f.Seek(100, 0), 0);
        EXPECT_EQ(f.Seek(-40, 1), 0) << "relative seek back failed";
        EXPECT_EQ(f.Tell(), 60) << "position after relative seek";
        EXPECT_EQ(f.Read(head.data(), 10), 10);
        EXPECT_EQ(head, content_.substr(60, 10)) << "wrong bytes after seeking";
    }
}

TEST_F(ArchiveFileTest, seek_rejects_bad_targets)
{
    CArchiveFile f;
    EXPECT_EQ(f.Seek(0, 0), -1) << "seek with nothing open must fail";
    EXPECT_EQ(f.GetSize(), 0) << "size with nothing open must be 0";
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0) << "read with nothing open must give 0";
    ASSERT_EQ(f.Open("pack\\lzss.bin"), 0);
    EXPECT_EQ(f.Seek(0, 3), -1) << "an unknown origin must fail";
    EXPECT_EQ(f.Seek(-1, 0), -1) << "a target before the start must fail";
    EXPECT_EQ(f.Seek(1, 2), -1) << "a target beyond the end must fail";
    EXPECT_EQ(f.Tell(), static_cast<int64_t>(content_.size())) << "after a seek past the end the position stays at the end";
    EXPECT_EQ(f.Seek(INT64_MAX, 1), -1) << "a huge offset must fail without overflowing";
    EXPECT_EQ(f.Seek(INT64_MIN, 1), -1) << "a huge negative offset must fail without overflowing";
}

TEST_F(ArchiveFileTest, open_fails_for_empty_and_missing_names)
{
    CArchiveFile f;
    EXPECT_EQ(f.Open(""), kFileNoName) << "an empty name must be refused as such";
    EXPECT_EQ(f.Open("pack\\missing.bin"), kFileNotFound) << "a missing entry must be reported as not found";
    EXPECT_FALSE(f.IsOpen()) << "a failed open left the file open";
}

TEST_F(ArchiveFileTest, packed_entry_that_does_not_unpack_fails_to_open)
{
    // One LZSS entry whose directory claims the most output its stored size
    // allows (9 bytes per byte): the stream ends long before that.
    const uint8_t key = 0x5A;
    std::vector<uint8_t> bytes;
    std::string error;
    const std::string text = Pattern(3000);
    ASSERT_TRUE(BuildNmmArchive({{"cut.bin", std::vector<uint8_t>(text.begin(), text.end()), nmm::kLzss}}, key,
                                &bytes, &error))
        << error;
    uint8_t* entry = bytes.data() + nmm::kHeaderSize;
    uint32_t stored = 0;
    for (int k = 3; k >= 0; --k)
        stored = stored << 8 | static_cast<uint8_t>(entry[264 + k] ^ key);
    const uint32_t claimed = stored * 9;
    for (int k = 0; k < 4; ++k)
        entry[268 + k] = static_cast<uint8_t>((claimed >> (8 * k)) ^ key);
    dir_.Write("bad.NMM", bytes);
    FlushFileLayerCache();

    CArchiveFile f;
    EXPECT_EQ(f.Open("bad\\cut.bin"), kFileUnpackFailed) << "an entry that does not unpack must not open";
    EXPECT_FALSE(f.IsOpen()) << "a failed unpack left the file open";
    CFile file;
    EXPECT_NE(file.Load("bad\\cut.bin"), 0) << "a corrupt entry must not load";
    EXPECT_EQ(file.GetData(), nullptr) << "a failed load left a partial image";
}

TEST_F(ArchiveFileTest, load_reads_the_whole_entry_and_open_reads_through_the_handle)
{
    CFile file;
    ASSERT_EQ(file.Load("PACK\\DXOR.BIN"), 0);
    ASSERT_EQ(file.GetSize(), content_.size()) << "loaded size";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize()), content_)
        << "loaded bytes differ from the packed file";
    EXPECT_EQ(file.GetExtension(), "BIN") << "extension keeps the name's spelling";
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetData(), nullptr) << "close must release the image";
    EXPECT_EQ(file.GetSize(), 0u) << "close must release the image";

    ASSERT_EQ(file.Open("pack\\stored.bin", "rb"), 0);
    char buffer[4];
    EXPECT_EQ(file.Handle().Read(buffer, 4), 4) << "reading through the embedded handle";
    EXPECT_EQ(file.Open("pack\\stored.bin", "wb"), kFileWriteMode) << "a write mode must be refused";
}

TEST(CFileRead, fails_without_copying_when_fewer_bytes_remain)
{
    FrameTestDir dir;
    dir.Write("a/b.bin", std::string("abcdef"));
    CFile file;
    char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(file.Read(buffer, 1), 2) << "read without data must give 2";
    ASSERT_EQ(file.Load("a\\b.bin"), 0);
    EXPECT_EQ(file.Read(buffer, 4), 0) << "a read that fits failed";
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    buffer[0] = 'x';
    EXPECT_EQ(file.Read(buffer, 3), 1) << "asking for more than remains must fail";
    EXPECT_EQ(buffer[0], 'x') << "a failed read copied bytes";
    EXPECT_EQ(file.Read(buffer, 2), 0) << "the cursor must stay where it was after a failed read";
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(file.Read(buffer, 1), 1) << "a read at the end must give 1";
}

TEST(CFileRead, reads_lines_up_to_cr_lf)
{
    FrameTestDir dir;
    dir.Write("t/lines.txt", std::string("one\r\ntwo\nstill two\r\n\r\nlast"));
    CFile file;
    std::string line = "untouched";
    EXPECT_EQ(file.ReadLineString(&line), 3) << "no data must give 3";
    ASSERT_EQ(file.Load("t\\lines.txt"), 0);
    std::vector<std::string> lines;
    while (file.ReadLineString(&line) == 0) {
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two\nstill two", "", "last"}))
        << "lines must end at CR LF only, a lone LF stays in the line";
    EXPECT_EQ(file.ReadLineString(&line), 1) << "at the end the result must be 1";
}

}  // namespace
