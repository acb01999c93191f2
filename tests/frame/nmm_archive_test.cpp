// The ".NMM" directory reader and entry decoding on good, truncated, corrupt
// and hostile archives built byte by byte.
#include "frame/NmmArchive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "frame/NmmPacker.h"
#include "FrameTestDir.h"

namespace {

constexpr uint8_t kKey = 0x37;

std::vector<uint8_t> Build(const std::vector<NmmPackInput>& inputs)
{
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(BuildNmmArchive(inputs, kKey, &bytes, &error)) << error;
    return bytes;
}

int ReadDir(const std::vector<uint8_t>& bytes, CNmmArchive* archive)
{
    CMemoryByteSource source(bytes.data(), bytes.size());
    return archive->ReadDirectory(source);
}

// Rewrites one field of entry `index` (offset within the unscrambled entry).
void PatchEntry(std::vector<uint8_t>& bytes, size_t index, size_t field, uint32_t value)
{
    uint8_t* entry = bytes.data() + nmm::kHeaderSize + index * nmm::kEntrySize;
    uint8_t plain[4];
    WriteLe32(plain, value);
    for (int k = 0; k < 4; ++k) {
        entry[field + k] = plain[k] ^ kKey;
    }
}

std::vector<uint8_t> Bytes(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

TEST(NmmArchive, header_and_directory_follow_the_documented_layout)
{
    std::vector<uint8_t> bytes = Build({{"abc.txt", Bytes("hello"), nmm::kStored}});
    ASSERT_EQ(bytes.size(), 256u + 512u + 5u) << "header 256, one 512-byte entry, then the data";
    EXPECT_EQ(std::memcmp(bytes.data(), "ARC", 3), 0) << "magic";
    EXPECT_EQ(ReadLe32(bytes.data() + 8), 1u) << "entry count at offset 8";
    EXPECT_EQ(bytes[16], kKey) << "scramble key at offset 16";
    const uint8_t* entry = bytes.data() + 256;
    EXPECT_EQ(entry[0] ^ kKey, 'a') << "entry name bytes are XORed with the key";
    EXPECT_EQ(entry[7] ^ kKey, 0) << "entry name is NUL-terminated";
    uint8_t field[4];
    for (int k = 0; k < 4; ++k) {
        field[k] = entry[260 + k] ^ kKey;
    }
    EXPECT_EQ(ReadLe32(field), 768u) << "data offset at entry offset 260";
    EXPECT_EQ(std::memcmp(bytes.data() + 768, "hello", 5), 0) << "stored data in place";
}

TEST(NmmArchive, reads_entries_of_every_method)
{
    std::vector<uint8_t> data(3000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>((i / 64) % 7 * 30 + i % 4);  // runs of equal pixels
    }
    std::vector<uint8_t> bytes = Build({{"s", data, nmm::kStored}, {"l", data, nmm::kLzss}, {"d", data, nmm::kDxor}});
    CNmmArchive archive;
    ASSERT_EQ(ReadDir(bytes, &archive), CNmmArchive::kOk);
    ASSERT_EQ(archive.Entries().size(), 3u);
    CMemoryByteSource source(bytes.data(), bytes.size());
    for (const NmmEntry& e : archive.Entries()) {
        SCOPED_TRACE(e.name);
        std::vector<uint8_t> out;
        ASSERT_EQ(CNmmArchive::ReadEntry(source, e, &out), CNmmArchive::kOk) << "entry did not unpack";
        EXPECT_EQ(out, data) << "unpacked bytes differ from the original";
    }
    EXPECT_LT(archive.Entries()[1].storedSize, data.size()) << "the LZSS entry did not shrink repetitive data";
    EXPECT_LT(archive.Entries()[2].storedSize, data.size()) << "the DXOR entry did not shrink repetitive data";
}

TEST(NmmArchive, rejects_truncated_and_foreign_headers)
{
    std::vector<uint8_t> bytes = Build({{"a", Bytes("x"), -1}});
    CNmmArchive archive;
    std::vector<uint8_t> shortHeader(bytes.begin(), bytes.begin() + 100);
    EXPECT_EQ(ReadDir(shortHeader, &archive), CNmmArchive::kReadError) << "a 100-byte file has no header";
    std::vector<uint8_t> noDirectory(bytes.begin(), bytes.begin() + 256 + 511);
    EXPECT_EQ(ReadDir(noDirectory, &archive), CNmmArchive::kBadDirectory) << "a directory cut short was accepted";
    std::vector<uint8_t> wrongMagic = bytes;
    wrongMagic[0] = 'X';
    EXPECT_EQ(ReadDir(wrongMagic, &archive), CNmmArchive::kBadHeader) << "wrong magic accepted";
    std::vector<uint8_t> wrongVersion = bytes;
    wrongVersion[4] = 2;
    EXPECT_EQ(ReadDir(wrongVersion, &archive), CNmmArchive::kBadHeader) << "unknown version accepted";
    EXPECT_TRUE(archive.Entries().empty()) << "a rejected archive kept entries";
}

TEST(NmmArchive, rejects_hostile_counts_offsets_and_sizes)
{
    const std::vector<uint8_t> good = Build({{"a", Bytes("abcdefgh"), nmm::kStored}, {"b", Bytes("12345678"), nmm::kStored}});
    CNmmArchive archive;
    ASSERT_EQ(ReadDir(good, &archive), CNmmArchive::kOk);

    std::vector<uint8_t> bytes = good;
    WriteLe32(bytes.data() + 8, 0xFFFFFFFFu);
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadDirectory) << "a count of 2^32-1 entries was accepted";

    bytes = good;
    WriteLe32(bytes.data() + 12, 0xFFFFFF00u);
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadDirectory) << "a directory beyond the file was accepted";

    bytes = good;
    PatchEntry(bytes, 1, 260, 0xFFFFFFF0u);
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadEntry) << "an offset near 4 GiB was accepted (overflow?)";

    bytes = good;
    PatchEntry(bytes, 0, 264, 9);
    PatchEntry(bytes, 0, 268, 9);
    PatchEntry(bytes, 1, 264, 9);
    PatchEntry(bytes, 1, 268, 9);
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadEntry) << "an entry running past the end was accepted";

    bytes = good;
    PatchEntry(bytes, 0, 268, 7);
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadEntry) << "a stored entry with two sizes was accepted";

    bytes = good;
    PatchEntry(bytes, 0, 272, nmm::kLzss);
    PatchEntry(bytes, 0, 268, 0x7FFFFFFFu);
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadEntry)
        << "8 packed bytes claiming 2 GiB were accepted (allocation bomb)";

    bytes = good;
    PatchEntry(bytes, 0, 272, 7);
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadEntry) << "an unknown method was accepted";

    bytes = good;
    for (size_t k = 0; k < 260; ++k) {
        bytes[256 + k] = 'n' ^ kKey;
    }
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadEntry) << "a name without terminator was accepted";

    bytes = good;
    bytes[256] = 0 ^ kKey;
    EXPECT_EQ(ReadDir(bytes, &archive), CNmmArchive::kBadEntry) << "an empty name was accepted";
}

TEST(NmmArchive, corrupt_packed_data_fails_to_unpack)
{
    std::vector<uint8_t> data(2000, 'z');
    std::vector<uint8_t> bytes = Build({{"l", data, nmm::kLzss}, {"d", data, nmm::kDxor}});
    CNmmArchive archive;
    ASSERT_EQ(ReadDir(bytes, &archive), CNmmArchive::kOk);
    CMemoryByteSource source(bytes.data(), bytes.size());
    for (NmmEntry e : archive.Entries()) {
        SCOPED_TRACE(e.name);
        // Claim more output than the stream holds (still within the method's ratio).
        e.unpackedSize = static_cast<uint32_t>(CNmmArchive::MaxUnpackedSize(e.method, e.storedSize));
        std::vector<uint8_t> out = {1, 2, 3};
        EXPECT_EQ(CNmmArchive::ReadEntry(source, e, &out), CNmmArchive::kDecodeError)
            << "a stream shorter than its stated size unpacked";
        EXPECT_TRUE(out.empty()) << "a failed unpack left data behind";
    }
}

TEST(NmmArchive, packer_refuses_bad_names)
{
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(BuildNmmArchive({{"", {}, -1}}, 1, &bytes, &error)) << "empty name accepted";
    EXPECT_FALSE(BuildNmmArchive({{std::string(260, 'n'), {}, -1}}, 1, &bytes, &error)) << "over-long name accepted";
    EXPECT_FALSE(BuildNmmArchive({{"A.txt", {}, -1}, {"a.TXT", {}, -1}}, 1, &bytes, &error))
        << "names equal but for case would shadow each other";
}

TEST(NmmArchive, packs_a_folder_and_reads_every_file_back)
{
    FrameTestDir dir;
    std::string runs(4000, 'a');
    for (size_t i = 0; i < runs.size(); i += 100)
        runs[i] = 'b';
    dir.Write("in/runs.bin", runs);
    dir.Write("in/short.txt", "xy");
    dir.Write("in/\xe6\x97\xa5.txt", "name");  // UTF-8 on disk, Shift-JIS in the archive
    dir.Write("in/empty", "");
    dir.Write("in/sub/skipped.txt", "only files are packed");
    std::string error;
    const std::string archivePath = dir.Root() + "/out.nmm";
    ASSERT_TRUE(PackNmmFolder(dir.Root() + "/in", archivePath, kKey, &error)) << error;

    std::ifstream in(archivePath, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CNmmArchive archive;
    ASSERT_EQ(ReadDir(bytes, &archive), CNmmArchive::kOk) << "the packed folder is no archive";
    ASSERT_EQ(archive.Entries().size(), 4u) << "a folder was packed as a file, or a file was left out";
    CMemoryByteSource source(bytes.data(), bytes.size());
    const std::pair<std::string, std::string> expected[] = {
        {"runs.bin", runs}, {"short.txt", "xy"}, {"\x93\xfa.txt", "name"}, {"empty", ""}};
    for (const auto& [name, content] : expected) {
        const NmmEntry* e = archive.Find(name);
        ASSERT_NE(e, nullptr) << name << " is missing (names must be stored as Shift-JIS)";
        std::vector<uint8_t> out;
        ASSERT_EQ(CNmmArchive::ReadEntry(source, *e, &out), CNmmArchive::kOk) << name;
        EXPECT_EQ(out, Bytes(content)) << name << " came back different";
    }
    EXPECT_LT(archive.Find("runs.bin")->storedSize, runs.size()) << "repetitive data was stored unpacked";
    EXPECT_EQ(archive.Find("short.txt")->method, static_cast<uint32_t>(nmm::kStored))
        << "packing two bytes would make them larger: they must be stored";

    EXPECT_FALSE(PackNmmFolder(dir.Root() + "/missing", dir.Root() + "/none.nmm", kKey, &error))
        << "a missing folder was packed";
    EXPECT_FALSE(std::filesystem::exists(dir.Root() + "/none.nmm")) << "a failed pack left an archive behind";
    dir.Write("bad/\xf0\x9f\x98\x80.txt", "x");  // an emoji has no Shift-JIS form
    EXPECT_FALSE(PackNmmFolder(dir.Root() + "/bad", dir.Root() + "/bad.nmm", kKey, &error))
        << "a name with no Shift-JIS form must be refused, not mangled";
    EXPECT_NE(error.find("Shift-JIS"), std::string::npos) << error;
}

TEST(NmmArchive, finds_entries_ignoring_ascii_case_only)
{
    std::vector<uint8_t> bytes = Build({{"Ev\x83\x41.PNG", Bytes("a"), -1}, {"ev\x83\x61.png", Bytes("b"), -1}});
    CNmmArchive archive;
    ASSERT_EQ(ReadDir(bytes, &archive), CNmmArchive::kOk);
    const NmmEntry* e = archive.Find("EV\x83\x41.png");
    ASSERT_NE(e, nullptr) << "mixed-case lookup failed";
    EXPECT_EQ(e->name, "Ev\x83\x41.PNG") << "the trail byte 0x41 must not be folded to 0x61";
}

}  // namespace
