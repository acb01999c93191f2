// CMp3StreamReader: opening and measuring files, decoding a whole file into
// one bounded block, and bad input (garbage, false syncs, tags, lying counts,
// truncation) through memory and through the file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "frame/FileLayer.h"
#include "frame/NmmPacker.h"
#include "Mp3TestSupport.h"
#include "sound/mp3/CMp3StreamReader.h"

using namespace mp3test;

namespace {

std::unique_ptr<Mp3ByteSource> Memory(const std::vector<uint8_t>& bytes)
{
    return std::make_unique<Mp3MemorySource>(bytes);
}

// Opens and decodes bytes into a block sized from what Open reported.
std::vector<int16_t> DecodeBytes(const std::vector<uint8_t>& bytes, Mp3StreamInfo* info = nullptr)
{
    CMp3StreamReader reader;
    Mp3StreamInfo local;
    Mp3StreamInfo* i = info ? info : &local;
    if (!reader.OpenSource(Memory(bytes), "test.mp3", i)) {
        return {};
    }
    std::vector<int16_t> pcm(size_t(i->samples) * size_t(i->channels));
    size_t written = reader.DecodeAll(pcm.data(), pcm.size() * 2);
    pcm.resize(written / 2);
    return pcm;
}

// The frame starts of a clean constant-rate stream.
std::vector<size_t> FrameStarts(const std::vector<uint8_t>& bytes)
{
    std::vector<size_t> starts;
    size_t pos = 0;
    Mp3DecoderInit(TestDecoder());
    Mp3FrameHeader first;
    EXPECT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &first), 1) << "the first frame must be accepted";
    while (pos + 4 < bytes.size()) {
        Mp3HeaderFields h;
        if (!Mp3ParseHeader(TestDecoder(), bytes.data() + pos, &h)) {
            break;
        }
        starts.push_back(pos);
        pos += size_t(first.minFrameBytes + h.padding);
    }
    return starts;
}

}  // namespace

TEST(Mp3StreamReader, measures_a_constant_rate_stereo_file)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_stereo_44k_128.mp3");
    CMp3StreamReader reader;
    Mp3StreamInfo info;
    ASSERT_TRUE(reader.OpenSource(Memory(bytes), "bgm\\stereo.mp3", &info)) << "the test stream must open";
    int64_t frames = int64_t(bytes.size()) / 417;
    EXPECT_EQ(info.channels, 2) << "wrong channels in the stream info";
    EXPECT_EQ(info.sampleRate, 44100) << "wrong sampleRate in the stream info";
    EXPECT_EQ(info.bitrate, 128000) << "wrong bitrate in the stream info";
    EXPECT_EQ(info.frames, frames) << "without a Xing header: size / shortest frame length";
    EXPECT_EQ(info.samples, 1152 * frames) << "a 44.1 kHz stereo Layer III file of F frames has 1152 F samples";
    EXPECT_EQ(info.seconds, 1152 * frames / 44100) << "wrong seconds in the stream info";
    EXPECT_EQ(info.bits, 16) << "wrong bits in the stream info";
    EXPECT_EQ(info.name, "stereo.mp3") << "the name is the part after the last backslash";

    std::vector<int16_t> pcm(size_t(info.samples) * 2);
    EXPECT_EQ(reader.DecodeAll(pcm.data(), pcm.size() * 2), size_t(4608 * frames))
        << "a block of 4608 F bytes is filled";
    Decoded core = DecodeAllFrames(bytes);
    EXPECT_EQ(pcm, core.pcm) << "the reader must deliver every frame's PCM in order";
}

TEST(Mp3StreamReader, takes_frames_from_the_xing_header_and_skips_its_frame)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_vbr_xing_44k.mp3");
    Mp3StreamInfo info;
    std::vector<int16_t> pcm = DecodeBytes(bytes, &info);
    EXPECT_EQ(info.bitrate, 0) << "a Xing stream reports bitrate 0";
    Mp3DecoderInit(TestDecoder());
    Mp3FrameHeader h;
    ASSERT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 1) << "the first frame must be accepted";
    EXPECT_EQ(info.frames, h.frameCount) << "frames come from the Xing header";
    std::vector<float> ref = Reference("l3_m1_vbr_xing_44k.mp3");
    EXPECT_EQ(pcm.size(), ref.size()) << "the Xing frame itself must not be decoded as sound";
}

TEST(Mp3StreamReader, keeps_a_path_without_backslash_whole_and_leaves_info_untouched_on_failure)
{
    CMp3StreamReader reader;
    Mp3StreamInfo info;
    ASSERT_TRUE(reader.OpenSource(Memory(Stream("l2_ffmpeg_mono_16k_48.mp2")), "voice.mp2", &info)) << "the test stream must open";
    EXPECT_EQ(info.name, "voice.mp2") << "wrong name in the stream info";
    EXPECT_EQ(info.channels, 1) << "wrong channels in the stream info";

    Mp3StreamInfo untouched;
    untouched.channels = 77;
    std::vector<uint8_t> noise(4000, 0x12);
    EXPECT_FALSE(reader.OpenSource(Memory(noise), "noise.mp3", &untouched)) << "no sync in 512 bytes";
    EXPECT_EQ(untouched.channels, 77) << "a failed open must leave the info record as it was";
    int16_t pcm[8] = {};
    EXPECT_EQ(reader.DecodeAll(pcm, sizeof pcm), 0u) << "nothing decodes after a failed open";
}

TEST(Mp3StreamReader, refuses_a_file_whose_first_sync_lies_past_byte_356)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_mono_44k_64_crc.mp3");
    std::vector<uint8_t> late(357, 0);
    late.insert(late.end(), bytes.begin(), bytes.end());
    Mp3StreamInfo info;
    EXPECT_TRUE(DecodeBytes(late, &info).empty())
        << "fewer than 156 bytes of the first frame are in the first 512 bytes";

    std::vector<uint8_t> ok(356, 0);
    ok.insert(ok.end(), bytes.begin(), bytes.end());
    EXPECT_EQ(DecodeBytes(ok), DecodeAllFrames(bytes).pcm) << "a sync at byte 356 is still found";
}

TEST(Mp3StreamReader, skips_garbage_false_syncs_and_id3_tags_between_frames)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_stereo_44k_128.mp3");
    std::vector<size_t> starts = FrameStarts(bytes);
    ASSERT_GE(starts.size(), 4u) << "the test stream should hold a few frames";
    // An ID3v2 tag in front, garbage with false headers between frames (a
    // Layer I header, a header with bitrate index 15, a mono Layer III one),
    // and an ID3v1 tag at the end.
    std::vector<uint8_t> dirty = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
    dirty.resize(30, 0);
    const std::vector<uint8_t> junk = {0x00, 0xFF, 0xFF, 0xA0, 0x00, 0x13, 0xFF, 0xFB, 0xF0, 0x44,
                                       0x27, 0xFF, 0xFB, 0x90, 0xC4, 0x99, 0x99, 0x99};
    for (size_t i = 0; i < starts.size(); ++i) {
        size_t end = i + 1 < starts.size() ? starts[i + 1] : bytes.size();
        dirty.insert(dirty.end(), bytes.begin() + long(starts[i]), bytes.begin() + long(end));
        if (i == 1 || i == 2) {
            dirty.insert(dirty.end(), junk.begin(), junk.end());
        }
    }
    std::vector<uint8_t> tag(128, ' ');
    std::memcpy(tag.data(), "TAG", 3);
    dirty.insert(dirty.end(), tag.begin(), tag.end());

    std::vector<int16_t> clean = DecodeAllFrames(bytes).pcm;
    std::vector<int16_t> got = DecodeBytes(dirty);
    ASSERT_GE(got.size(), clean.size()) << "every real frame must be decoded";
    EXPECT_TRUE(std::equal(clean.begin(), clean.end(), got.begin()))
        << "garbage between frames must be skipped without changing the decoded frames";
}

TEST(Mp3StreamReader, never_writes_past_the_block_when_the_xing_count_lies)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_vbr_xing_44k.mp3");
    Mp3DecoderInit(TestDecoder());
    Mp3FrameHeader h;
    ASSERT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 1) << "the first frame must be accepted";
    size_t countAt = 0;
    for (size_t i = 0; i + 4 < 200; ++i) {
        if (std::memcmp(bytes.data() + i, "Xing", 4) == 0) {
            countAt = i + 8;
        }
    }
    ASSERT_NE(countAt, 0u) << "the VBR stream should carry a Xing header";

    // A count far beyond what the file holds is capped by the file's size.
    std::vector<uint8_t> big = bytes;
    big[countAt] = 0x7F;
    big[countAt + 1] = big[countAt + 2] = big[countAt + 3] = 0xFF;
    Mp3StreamInfo info;
    CMp3StreamReader reader;
    ASSERT_TRUE(reader.OpenSource(Memory(big), "big.mp3", &info)) << "the test stream must open";
    EXPECT_LE(info.frames, int64_t(bytes.size()) / h.minFrameBytes) << "frames beyond the file's room";
    EXPECT_LE(info.samples * info.channels * 2, CMp3StreamReader::kMaxPcmBytes) << "the block size must be capped";

    // A count far too small gives a small block: decoding stops at its end.
    std::vector<uint8_t> small = bytes;
    small[countAt] = small[countAt + 1] = small[countAt + 2] = 0;
    small[countAt + 3] = 2;
    ASSERT_TRUE(reader.OpenSource(Memory(small), "small.mp3", &info)) << "the test stream must open";
    EXPECT_EQ(info.frames, 2) << "wrong frames in the stream info";
    std::vector<int16_t> pcm(size_t(info.samples) * 2);  // exact size: ASan sees any overrun
    EXPECT_EQ(reader.DecodeAll(pcm.data(), pcm.size() * 2), pcm.size() * 2)
        << "the block must be filled to its end and no further";
}

TEST(Mp3StreamReader, decodes_what_a_truncated_file_holds)
{
    std::vector<uint8_t> bytes = Stream("l3_m2_joint_22k_64.mp3");
    std::vector<size_t> starts = FrameStarts(bytes);
    ASSERT_GE(starts.size(), 4u) << "the test stream should hold a few frames";
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(starts[3] + 100));
    Mp3StreamInfo info;
    std::vector<int16_t> got = DecodeBytes(cut, &info);
    std::vector<int16_t> clean = DecodeAllFrames(bytes).pcm;
    ASSERT_EQ(got.size(), size_t(3 * 1152)) << "three whole frames of 576 stereo samples";
    EXPECT_TRUE(std::equal(got.begin(), got.end(), clean.begin())) << "the whole frames must decode as in the full file";
}

TEST(Mp3StreamReader, opens_loose_files_and_archive_entries_through_the_file_layer)
{
    std::vector<uint8_t> bytes = Stream("l2_twolame_mono_32k_64_crc.mp2");
    std::string root = (std::filesystem::temp_directory_path() / "lantern-mp3-XXXXXX").string();
    std::vector<char> buf(root.begin(), root.end());
    buf.push_back('\0');
    root = mkdtemp(buf.data());
    std::string previous = GetStartDirectory();
    SetStartDirectory(root);
    FlushFileLayerCache();
    std::filesystem::create_directories(root + "/voice");
    {
        std::ofstream(root + "/voice/loose.mp3", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(BuildNmmArchive({{"packed.mp3", bytes, -1}}, 0x5A, &archive, &error)) << error;
    {
        std::ofstream(root + "/bgm.NMM", std::ios::binary)
            .write(reinterpret_cast<const char*>(archive.data()), std::streamsize(archive.size()));
    }
    std::vector<int16_t> expected = DecodeAllFrames(bytes).pcm;
    for (const char* path : {"voice\\loose.mp3", "bgm\\packed.mp3"}) {
        CMp3StreamReader reader;
        Mp3StreamInfo info;
        ASSERT_TRUE(reader.Open(path, &info)) << path << " must open through the file layer";
        std::vector<int16_t> pcm(size_t(info.samples));
        size_t written = reader.DecodeAll(pcm.data(), pcm.size() * 2);
        pcm.resize(written / 2);
        EXPECT_EQ(pcm, expected) << path << " must decode like the bytes in memory";
        EXPECT_EQ(reader.Close(), 0) << "Close returns 0";
    }
    CMp3StreamReader reader;
    Mp3StreamInfo info;
    EXPECT_FALSE(reader.Open("voice\\missing.mp3", &info)) << "a missing file must fail the open";
    SetStartDirectory(previous);
    FlushFileLayerCache();
    std::filesystem::remove_all(root);
}

TEST(Mp3StreamReader, equaliser_levels_map_100_to_unity)
{
    CMp3StreamReader reader;
    const int levels[10] = {100, 100, 100, 100, 100, 100, 100, 100, 0, 200};
    EXPECT_EQ(reader.SetEqualizer(levels), 0) << "the equaliser calls return 0";
    EXPECT_FLOAT_EQ(reader.Decoder().eqFactor[0], 1.0f) << "level 100 is unity";
    EXPECT_FLOAT_EQ(reader.Decoder().eqFactor[12], 0.001f) << "level 0 is 10^-3";
    EXPECT_FLOAT_EQ(reader.Decoder().eqFactor[31], 1000.0f) << "level 200 is 10^3";
    EXPECT_EQ(reader.EnableEqualizer(0), 0) << "the equaliser calls return 0";
    EXPECT_FALSE(reader.Decoder().eqOn) << "the equaliser switch must follow EnableEqualizer";
}
