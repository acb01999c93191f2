// The audio source files: RIFF WAVE parsing with hostile sizes, and the MP3
// file's header, tags and trailer.
#include "sound/kmFile.h"
#include "sound/kmMmioFile.h"
#include "sound/kmMp3File.h"
#include "sound/RiffWave.h"

#include <memory>

#include "SoundTestSupport.h"

using namespace soundtest;

class KmAudioFileTest : public SoundFolderTest {};

TEST_F(KmAudioFileTest, wave_file_exposes_format_and_data)
{
    std::vector<uint8_t> data = Samples16(Ramp(100, 2, 3));
    Write("a.wav", PcmWave(2, 22050, 16, data));
    std::unique_ptr<kmFile> f(kmCreateAudioFile("a.wav"));
    ASSERT_NE(f, nullptr) << "a PCM WAVE file must open";
    ASSERT_NE(dynamic_cast<kmMmioFile*>(f.get()), nullptr) << "a WAVE file is a kmMmioFile";
    EXPECT_EQ(f->GetFormat()->nChannels, 2);
    EXPECT_EQ(f->GetFormat()->nSamplesPerSec, 22050u);
    EXPECT_EQ(f->GetFormat()->cbSize, 18) << "a 16-byte fmt chunk gets extra size 18";
    EXPECT_EQ(f->GetSize(), data.size());
    std::vector<uint8_t> got(data.size() + 50, 0xEE);
    EXPECT_EQ(f->Read(got.data(), static_cast<uint32_t>(got.size())), static_cast<int>(data.size()))
        << "reads must stop at the data chunk's end";
    EXPECT_TRUE(std::equal(data.begin(), data.end(), got.begin())) << "the data bytes must come back unchanged";
    f->Rewind();
    f->Skip(10);
    EXPECT_EQ(f->Tell(), 10);
    EXPECT_TRUE(f->Close());
    EXPECT_FALSE(f->Close()) << "a second Close has nothing to close";
}

TEST_F(KmAudioFileTest, oversized_chunk_sizes_are_clamped_to_the_bytes_present)
{
    std::vector<uint8_t> data(64, 0x40);
    Write("big.wav", WaveImage(1, 1, 8000, 8, 1, data, {}, 0xFFFFFFF0u));
    std::unique_ptr<kmFile> f(kmCreateAudioFile("big.wav"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetSize(), 64u) << "a data size of almost 4 GB must be clamped to the 64 bytes present";
    std::vector<uint8_t> got(1000);
    EXPECT_EQ(f->Read(got.data(), 1000), 64);
}

TEST_F(KmAudioFileTest, truncated_and_foreign_riff_files_are_refused)
{
    std::vector<uint8_t> wave = PcmWave(1, 8000, 8, std::vector<uint8_t>(32, 0x80));
    // Cut inside the fmt chunk: no data chunk can follow.
    Write("cut.wav", std::vector<uint8_t>(wave.begin(), wave.begin() + 30));
    EXPECT_EQ(kmCreateAudioFile("cut.wav"), nullptr) << "a WAVE file cut inside fmt must be refused";
    std::vector<uint8_t> avi = wave;
    std::memcpy(avi.data() + 8, "AVI ", 4);
    Write("x.avi", avi);
    EXPECT_EQ(kmCreateAudioFile("x.avi"), nullptr)
        << "a RIFF file of another form is tried as MP3 and refused there";
    EXPECT_EQ(kmCreateAudioFile("missing.wav"), nullptr) << "a missing file yields null";

    RiffWaveChunks chunks;
    const uint8_t tiny[] = {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                            0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(ParseRiffWave(tiny, sizeof tiny, &chunks), kRiffNoData)
        << "a fmt chunk claiming 2 GB leaves nothing for data";
}

namespace {
// An MPEG-1 Layer III header: 128 kbit/s, 44100 Hz, joint stereo (0xFF 0xFB 0x90 0x44).
std::vector<uint8_t> Mp3Body(size_t bytes)
{
    std::vector<uint8_t> v = {0xFF, 0xFB, 0x90, 0x44};
    for (size_t i = 4; i < bytes; ++i) v.push_back(static_cast<uint8_t>(i * 13));
    return v;
}
}  // namespace

TEST_F(KmAudioFileTest, mp3_header_gives_the_layer3_format)
{
    Write("a.mp3", Mp3Body(1000));
    std::unique_ptr<kmFile> f(kmCreateAudioFile("a.mp3"));
    ASSERT_NE(f, nullptr) << "a file starting with a frame header opens as MP3";
    ASSERT_NE(dynamic_cast<kmMp3File*>(f.get()), nullptr);
    const auto* fmt = reinterpret_cast<const MPEGLAYER3WAVEFORMAT*>(f->GetFormat());
    EXPECT_EQ(fmt->wfx.wFormatTag, 0x55);
    EXPECT_EQ(fmt->wfx.nChannels, 2);
    EXPECT_EQ(fmt->wfx.nSamplesPerSec, 44100u);
    EXPECT_EQ(fmt->wfx.nAvgBytesPerSec, 16000u) << "128 kbit/s is 16000 bytes a second";
    EXPECT_EQ(fmt->wfx.cbSize, 12);
    EXPECT_EQ(fmt->nBlockSize, 128u * 144000 / 44100);
    EXPECT_EQ(fmt->nCodecDelay, 1393);
    EXPECT_EQ(f->GetSize(), 996u) << "the data starts 4 bytes after the sync";
    uint8_t first = 0;
    f->Read(&first, 1);
    EXPECT_EQ(first, static_cast<uint8_t>(4 * 13)) << "the first data byte follows the 4 header bytes";
}

TEST_F(KmAudioFileTest, mp3_tags_and_trailer_are_skipped)
{
    // ID3v2.4 with a footer: size + 20; v2.3: size + 10; a trailing TAG block is dropped.
    std::vector<uint8_t> tag4 = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 1, 0};  // size 128
    std::vector<uint8_t> file = tag4;
    file.resize(10 + 128 + 10, 0);
    std::vector<uint8_t> body = Mp3Body(600);
    file.insert(file.end(), body.begin(), body.end());
    std::vector<uint8_t> trailer(128, 0);
    std::memcpy(trailer.data(), "TAG", 3);
    file.insert(file.end(), trailer.begin(), trailer.end());
    Write("t4.mp3", file);
    std::unique_ptr<kmFile> f(kmCreateAudioFile("t4.mp3"));
    ASSERT_NE(f, nullptr) << "a v2.4 tag with footer is skipped by size + 20";
    EXPECT_EQ(f->GetSize(), 596u) << "the TAG block and the 4 header bytes are not data";

    std::vector<uint8_t> tag3 = {'I', 'D', '3', 3, 0, 0x10, 0, 0, 1, 0};
    file = tag3;
    file.resize(10 + 128, 0);
    file.insert(file.end(), body.begin(), body.end());
    Write("t3.mp3", file);
    f.reset(kmCreateAudioFile("t3.mp3"));
    ASSERT_NE(f, nullptr) << "a v2.3 tag (footer bit ignored) is skipped by size + 10";
    EXPECT_EQ(f->GetSize(), 596u);
}

TEST_F(KmAudioFileTest, mp3_refusals)
{
    Write("short.mp3", Mp3Body(128));
    EXPECT_EQ(kmCreateAudioFile("short.mp3"), nullptr) << "a file of 128 bytes is refused";
    std::vector<uint8_t> layer0 = Mp3Body(400);
    layer0[1] = 0xF9;  // layer bits 00
    Write("l0.mp3", layer0);
    EXPECT_EQ(kmCreateAudioFile("l0.mp3"), nullptr) << "layer bits 00 are refused";
    std::vector<uint8_t> nosync(400, 0x11);
    Write("n.mp3", nosync);
    EXPECT_EQ(kmCreateAudioFile("n.mp3"), nullptr) << "no sync at the start is refused";
    kmMp3File closed;
    EXPECT_EQ(closed.Skip(0), 0) << "Skip(0) answers 0 before testing that the file is open";
    EXPECT_EQ(closed.Skip(5), -1);
    EXPECT_EQ(closed.Rewind(), -1);
}
