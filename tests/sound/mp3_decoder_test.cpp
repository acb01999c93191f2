// The MP3 decoder core: header rules, sync, the first frame and "Xing"
// header, the frame loop, the synthesis output, and accuracy against mpg123.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Mp3TestSupport.h"

using namespace mp3test;

namespace {

const uint8_t kMpeg1Layer3Header[4] = {0xFF, 0xFB, 0x90, 0x64};  // 128 kbit/s, 44.1 kHz, joint

Mp3FrameHeader Parse(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, int* result)
{
    const uint8_t bytes[4] = {b0, b1, b2, b3};
    Mp3FrameHeader h;
    *result = Mp3ParseHeader(TestDecoder(), bytes, &h);
    return h;
}

// A frame buffer of `size` bytes starting with a header, zeros after it.
std::vector<uint8_t> FrameBytes(const uint8_t header[4], size_t size)
{
    std::vector<uint8_t> bytes(size, 0);
    std::memcpy(bytes.data(), header, 4);
    return bytes;
}

}  // namespace

TEST(Mp3Header, parses_every_field_of_an_mpeg1_layer3_header)
{
    int ok = 0;
    Mp3FrameHeader h = Parse(0xFF, 0xFA, 0x92, 0x6D, &ok);
    ASSERT_EQ(ok, 1) << "a valid MPEG-1 Layer III header was refused";
    EXPECT_EQ(h.version, 1) << "wrong version in the parsed header";
    EXPECT_EQ(h.layer, 3) << "wrong layer in the parsed header";
    EXPECT_EQ(h.crcPresent, 1) << "protection bit 0 means a CRC follows";
    EXPECT_EQ(h.bitrateIndex, 9) << "wrong bitrateIndex in the parsed header";
    EXPECT_EQ(h.sampleRateIndex, 0) << "wrong sampleRateIndex in the parsed header";
    EXPECT_EQ(h.padding, 1) << "wrong padding in the parsed header";
    EXPECT_EQ(h.privateBit, 0) << "wrong privateBit in the parsed header";
    EXPECT_EQ(h.mode, 1) << "wrong mode in the parsed header";
    EXPECT_EQ(h.modeExtension, 2) << "wrong modeExtension in the parsed header";
    EXPECT_EQ(h.copyBit, 1) << "wrong copyBit in the parsed header";
    EXPECT_EQ(h.originalBit, 1) << "wrong originalBit in the parsed header";
    EXPECT_EQ(h.emphasis, 1) << "wrong emphasis in the parsed header";
}

TEST(Mp3Header, refuses_out_of_range_fields_with_code_4)
{
    int ok = 1;
    Parse(0xFF, 0xFB, 0x00, 0x64, &ok);  // free format
    EXPECT_EQ(ok, 0) << "the header must be refused";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorBadHeader) << "free-format streams must be refused";
    Parse(0xFF, 0xFB, 0xF0, 0x64, &ok);  // bitrate index 15
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorBadHeader) << "bitrate index 15 must be refused";
    Parse(0xFF, 0xFB, 0x9C, 0x64, &ok);  // sample-rate index 3
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorBadHeader) << "sample-rate index 3 must be refused";
    Parse(0xFF, 0xF9, 0x90, 0x64, &ok);  // layer bits 00
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorBadHeader) << "layer bits 00 must be refused";
    Parse(0xFE, 0xFB, 0x90, 0x64, &ok);
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorNoSync) << "a first byte other than 0xFF is no sync";
    Parse(0xFF, 0xDB, 0x90, 0x64, &ok);
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorNoSync) << "0xFF 0xD_ is no sync";
}

TEST(Mp3Header, takes_0xff_0xe_as_mpeg25)
{
    int ok = 0;
    Mp3FrameHeader h = Parse(0xFF, 0xE3, 0x88, 0xC4, &ok);
    ASSERT_EQ(ok, 1) << "the header must be accepted";
    EXPECT_EQ(h.version, 3) << "0xFF 0xE_ must be read as MPEG-2.5";
    EXPECT_EQ(h.layer, 3) << "wrong layer in the parsed header";
}

TEST(Mp3Sync, finds_the_first_sync_but_not_one_in_the_last_three_bytes)
{
    const uint8_t buffer[8] = {0x00, 0x12, 0xFF, 0xE2, 0x00, 0x00, 0xFF, 0xF0};
    int offset = -1;
    EXPECT_EQ(Mp3FindSync(TestDecoder(), buffer, 8, &offset), 1) << "the sync must be found";
    EXPECT_EQ(offset, 2) << "the first 0xFF 0xE_ pair is the sync";
    EXPECT_EQ(Mp3FindSync(TestDecoder(), buffer + 4, 4, &offset), 0) << "a sync in the last three bytes is not found";
    EXPECT_EQ(offset, 0) << "the offset is 0 when no sync is found";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorNeedData) << "the error code must say more data is needed";
    EXPECT_EQ(Mp3FindSync(TestDecoder(), buffer + 2, 3, &offset), 0) << "three bytes or fewer never hold a sync";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorNeedData) << "the error code must say more data is needed";
}

TEST(Mp3FirstFrame, refuses_a_first_frame_of_155_bytes)
{
    Mp3DecoderInit(TestDecoder());
    std::vector<uint8_t> bytes = FrameBytes(kMpeg1Layer3Header, 417);
    Mp3FrameHeader h;
    EXPECT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), 155, &h), 0) << "fewer than 156 bytes must be refused";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorNeedData) << "the error code must say more data is needed";
    EXPECT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), 156, &h), 1) << "the first frame must be accepted";
}

TEST(Mp3FirstFrame, measures_a_constant_rate_layer3_stream)
{
    Mp3DecoderInit(TestDecoder());
    std::vector<uint8_t> bytes = FrameBytes(kMpeg1Layer3Header, 417);
    Mp3FrameHeader h;
    ASSERT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 1) << "the first frame must be accepted";
    EXPECT_EQ(h.bitrate, 128000) << "wrong bitrate in the parsed header";
    EXPECT_EQ(h.minFrameBytes, 417) << "144 x 128000 / 44100 = 417";
    EXPECT_EQ(h.maxFrameBytes, 418) << "wrong maxFrameBytes in the parsed header";
    EXPECT_EQ(h.outChannels, 2) << "wrong outChannels in the parsed header";
    EXPECT_EQ(h.outBits, 16) << "wrong outBits in the parsed header";
    EXPECT_EQ(h.outSampleRate, 44100) << "wrong outSampleRate in the parsed header";
    EXPECT_EQ(h.pcmBytesPerFrame, 1152 * 4) << "wrong pcmBytesPerFrame in the parsed header";
    EXPECT_EQ(h.frameCount, 0) << "wrong frameCount in the parsed header";
    EXPECT_EQ(h.xingFrameBytes, 0) << "wrong xingFrameBytes in the parsed header";
}

TEST(Mp3FirstFrame, mpeg2_layer3_at_24khz_64kbps_is_192_bytes_of_576_samples)
{
    Mp3DecoderInit(TestDecoder());
    const uint8_t header[4] = {0xFF, 0xF3, 0x84, 0xC4};  // MPEG-2, 64 kbit/s, 24 kHz, mono
    std::vector<uint8_t> bytes = FrameBytes(header, 400);
    Mp3FrameHeader h;
    ASSERT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 1) << "the first frame must be accepted";
    EXPECT_EQ(h.minFrameBytes, 192) << "(144 x 64000 / 24000) / 2 = 192";
    EXPECT_EQ(h.pcmBytesPerFrame, 576 * 2) << "one granule of 576 mono samples";
}

TEST(Mp3FirstFrame, reads_the_xing_header_and_refuses_one_without_counts)
{
    Mp3DecoderInit(TestDecoder());
    std::vector<uint8_t> bytes = FrameBytes(kMpeg1Layer3Header, 417);
    uint8_t* tag = bytes.data() + 4 + 32;  // after MPEG-1 stereo side information
    std::memcpy(tag, "Xing", 4);
    const uint8_t flags1[4] = {0, 0, 0, 1}, count[4] = {0, 0, 0x01, 0x2C}, size[4] = {0, 1, 0, 0};
    std::memcpy(tag + 4, flags1, 4);
    std::memcpy(tag + 8, count, 4);
    std::memcpy(tag + 12, size, 4);
    Mp3FrameHeader h;
    ASSERT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 1) << "the first frame must be accepted";
    EXPECT_EQ(h.frameCount, 300) << "wrong frameCount in the parsed header";
    EXPECT_EQ(h.streamBytes, 65536) << "the bytes field is taken whatever the flags say";
    EXPECT_EQ(h.bitrate, 0) << "a Xing stream is taken as variable-rate";
    EXPECT_EQ(h.xingFrameBytes, 417) << "the Xing frame's own length, to be skipped";
    EXPECT_EQ(h.minFrameBytes, 104) << "the 32 kbit/s frame is the shortest";
    EXPECT_EQ(h.maxFrameBytes, 1045) << "the 320 kbit/s frame plus padding is the longest";

    const uint8_t flags0[4] = {0, 0, 0, 0};
    std::memcpy(tag + 4, flags0, 4);
    EXPECT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 0) << "the first frame must be refused";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorBadHeader) << "a Xing header without frame or byte flags";
}

TEST(Mp3DecodeFrame, asks_for_more_data_when_the_frame_is_incomplete)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_stereo_44k_128.mp3");
    Mp3DecoderInit(TestDecoder());
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), bytes.data(), int(bytes.size())), 1) << "the stream must open on its first frame";
    std::vector<uint8_t> out(4608, 0xAA);
    Mp3DecodeCall call;
    call.input = bytes.data();
    call.inputBytes = 200;
    call.output = out.data();
    EXPECT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 0) << "the frame must be refused";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorNeedData) << "a partial frame must ask for more bytes";
    EXPECT_EQ(out[0], 0xAA) << "nothing may be written for a partial frame";
    call.inputBytes = 4;
    EXPECT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 0) << "the frame must be refused";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorNeedData) << "the error code must say more data is needed";
    call.inputBytes = int(bytes.size());
    EXPECT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the frame must decode";
    EXPECT_EQ(call.inputBytes, 417) << "consumed bytes are the frame length";
    EXPECT_EQ(call.outputBytes, 4608) << "PCM bytes of one frame";
}

TEST(Mp3DecodeFrame, refuses_a_frame_of_another_layer_or_channel_count)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_mono_44k_64_crc.mp3");
    Mp3DecoderInit(TestDecoder());
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), bytes.data(), int(bytes.size())), 1) << "the stream must open on its first frame";
    std::vector<uint8_t> out(2304 * 4, 0);
    // A false sync after a resync: a Layer I stereo header. Decoded by the
    // Layer III mono decoder it would write a frame of another size.
    std::vector<uint8_t> layer1 = LayerIMonoFrame(3, 4, 10, 5);
    layer1[3] = 0x00;  // stereo
    Mp3DecodeCall call;
    call.input = layer1.data();
    call.inputBytes = int(layer1.size());
    call.output = out.data();
    EXPECT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 0) << "a Layer I frame in a Layer III stream must be refused";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorBadHeader) << "the error code must say the header is unusable";
    std::vector<uint8_t> stereo(bytes.begin(), bytes.begin() + 300);
    stereo[3] = uint8_t(stereo[3] & 0x3F);  // same layer, but stereo
    call.input = stereo.data();
    call.inputBytes = int(stereo.size());
    EXPECT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 0) << "a stereo frame in a mono stream must be refused";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorBadHeader) << "the error code must say the header is unusable";
}

TEST(Mp3DecodeFrame, writes_silence_for_a_layer3_frame_whose_reservoir_is_missing)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_mono_48k_320.mp3");
    Mp3DecoderInit(TestDecoder());
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), bytes.data(), int(bytes.size())), 1) << "the stream must open on its first frame";
    // Find a frame that reaches back into the reservoir (main_data_begin > 0).
    size_t pos = 0;
    const int frameBytes = 960;
    while (pos + frameBytes <= bytes.size()) {
        int mainDataBegin = (bytes[pos + 4] << 1) | (bytes[pos + 5] >> 7);
        if (mainDataBegin > 0) {
            break;
        }
        pos += frameBytes;
    }
    ASSERT_LT(pos + frameBytes, bytes.size()) << "the 320 kbit/s stream should use its reservoir";
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), bytes.data() + pos, int(bytes.size() - pos)), 1)
        << "the stream must open on its first frame";
    std::vector<uint8_t> out(2304, 0x55);
    Mp3DecodeCall call;
    call.input = bytes.data() + pos;
    call.inputBytes = int(bytes.size() - pos);
    call.output = out.data();
    ASSERT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the frame is still consumed";
    EXPECT_EQ(call.outputBytes, 2304) << "PCM bytes of one frame";
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](uint8_t b) { return b == 0; }))
        << "a frame without its reservoir bytes must give silence, not stale memory";
}

TEST(Mp3Synthesis, leaves_the_32nd_subband_silent_and_decodes_the_31st)
{
    Mp3DecoderInit(TestDecoder());
    std::vector<uint8_t> top = LayerIMonoFrame(31, 8, 0, 250);
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), top.data(), int(top.size())), 1) << "the stream must open on its first frame";
    std::vector<int16_t> out(384, 7);
    Mp3DecodeCall call;
    call.input = top.data();
    call.inputBytes = int(top.size());
    call.output = reinterpret_cast<uint8_t*>(out.data());
    ASSERT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the frame must decode";
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t v) { return v == 0; }))
        << "the default frequency limit decodes 31 subbands: the 32nd must be silent";

    std::vector<uint8_t> below = LayerIMonoFrame(30, 8, 0, 250);
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), below.data(), int(below.size())), 1) << "the stream must open on its first frame";
    call.input = below.data();
    call.inputBytes = int(below.size());
    ASSERT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the frame must decode";
    EXPECT_TRUE(std::any_of(out.begin(), out.end(), [](int16_t v) { return v != 0; }))
        << "the 31st subband must be decoded";
}

TEST(Mp3Synthesis, truncates_toward_zero_and_clips_at_full_scale)
{
    // Full-scale samples in the lowest subband overshoot 16 bits after the window.
    Mp3DecoderInit(TestDecoder());
    std::vector<uint8_t> loud = LayerIMonoFrame(0, 15, 0, 32766);
    Decoded d = DecodeAllFrames(std::vector<uint8_t>(loud.begin(), loud.end()));
    ASSERT_EQ(d.frames, 1) << "the test stream should decode";
    bool clipped = false;
    for (size_t i = 0; i < d.pcm.size(); ++i) {
        float s = d.sums[i];
        int expect = s >= 32767.0f ? 32767 : s <= -32768.0f ? -32768 : int(std::trunc(s));
        clipped |= s >= 32768.0f;
        ASSERT_EQ(d.pcm[i], expect) << "sample " << i << " of sum " << s
                                    << " must be truncated toward zero and clipped";
    }
    EXPECT_TRUE(clipped) << "the test frame should drive the window past full scale";
}

TEST(Mp3Synthesis, eight_bit_output_is_the_high_byte_with_the_sign_flipped)
{
    std::vector<uint8_t> bytes = Stream("l2_twolame_mono_32k_64_crc.mp2");
    Decoded wide = DecodeAllFrames(bytes);
    ASSERT_GT(wide.frames, 0) << "the test stream should decode";

    Mp3DecoderInit(TestDecoder());
    Mp3DecoderOptions o;
    Mp3GetOptions(TestDecoder(), &o);
    o.outputCode = 8;
    Mp3SetOptions(TestDecoder(), &o);
    Mp3FrameHeader h;
    ASSERT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 1) << "the first frame must be accepted";
    EXPECT_EQ(h.outBits, 8) << "wrong outBits in the parsed header";
    EXPECT_EQ(h.pcmBytesPerFrame, 1152) << "wrong pcmBytesPerFrame in the parsed header";
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), bytes.data(), int(bytes.size())), 1) << "the stream must open on its first frame";
    std::vector<uint8_t> out(1152);
    Mp3DecodeCall call;
    call.input = bytes.data();
    call.inputBytes = int(bytes.size());
    call.output = out.data();
    ASSERT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the frame must decode";
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], uint8_t((wide.pcm[i] >> 8) ^ 0x80)) << "8-bit sample " << i;
    }
    o.outputCode = 0;
    Mp3SetOptions(TestDecoder(), &o);
}

TEST(Mp3Synthesis, equaliser_at_unity_changes_nothing)
{
    std::vector<uint8_t> bytes = Stream("l3_m1_joint_48k_160.mp3");
    Decoded plain = DecodeAllFrames(bytes);
    Mp3DecoderInit(TestDecoder());
    Mp3EnableEqualizer(TestDecoder(), 1);
    const double zeros[10] = {};
    Mp3SetEqualizer(TestDecoder(), zeros);
    // DecodeAllFrames re-initialises; run the loop by hand with the switch on.
    int offset = 0;
    ASSERT_EQ(Mp3FindSync(TestDecoder(), bytes.data(), int(bytes.size()), &offset), 1) << "the sync must be found";
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), bytes.data() + offset, int(bytes.size()) - offset), 1)
        << "the stream must open on its first frame";
    std::vector<int16_t> out;
    std::vector<uint8_t> frame(4608);
    size_t pos = size_t(offset);
    while (pos + 4 < bytes.size()) {
        Mp3DecodeCall call;
        call.input = bytes.data() + pos;
        call.inputBytes = int(bytes.size() - pos);
        call.output = frame.data();
        if (!Mp3DecodeFrame(TestDecoder(), &call)) {
            break;
        }
        pos += size_t(call.inputBytes);
        const int16_t* p = reinterpret_cast<const int16_t*>(frame.data());
        out.insert(out.end(), p, p + 2304);
    }
    EXPECT_EQ(out, plain.pcm) << "factors of 1.0 must leave the output bit for bit unchanged";

    const double loud[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0.5};
    Mp3SetEqualizer(TestDecoder(), loud);
    EXPECT_EQ(TestDecoder()->eqFactor[31], float(std::pow(10.0, 0.5))) << "band 9 covers subbands 20-31";
    EXPECT_EQ(TestDecoder()->eqFactor[19], 1.0f) << "band 8 ends at subband 19";
}

TEST(Mp3Synthesis, a_new_stream_starts_from_cleared_rings)
{
    std::vector<uint8_t> a = Stream("l3_m1_stereo_44k_128.mp3");
    std::vector<uint8_t> b = Stream("l2_twolame_stereo_48k_192.mp2");
    Decoded alone = DecodeAllFrames(b);
    DecodeAllFrames(a);
    // The second decode opens b after a without Mp3DecoderInit in between.
    int offset = 0;
    ASSERT_EQ(Mp3FindSync(TestDecoder(), b.data(), int(b.size()), &offset), 1) << "the sync must be found";
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), b.data(), int(b.size())), 1) << "the stream must open on its first frame";
    std::vector<uint8_t> frame(4608);
    Mp3DecodeCall call;
    call.input = b.data();
    call.inputBytes = int(b.size());
    call.output = frame.data();
    ASSERT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the frame must decode";
    const int16_t* p = reinterpret_cast<const int16_t*>(frame.data());
    EXPECT_TRUE(std::equal(p, p + 2304, alone.pcm.begin()))
        << "the first frame of a stream must not carry the previous stream's ring contents";
}

// Accuracy: every committed stream against mpg123's float output.
class Mp3Accuracy : public ::testing::TestWithParam<const char*> {};

TEST_P(Mp3Accuracy, meets_the_full_accuracy_bound_and_the_16_bit_bound)
{
    std::string name = GetParam();
    std::vector<uint8_t> bytes = Stream(name);
    std::vector<float> ref = Reference(name);
    Decoded d = DecodeAllFrames(bytes);
    ASSERT_GT(d.frames, 0) << name << " decoded no frame";
    ASSERT_EQ(d.sums.size(), ref.size()) << name << ": sample count differs from mpg123's";

    double sq = 0, maxDiff = 0, sq16 = 0, max16 = 0;
    size_t n16 = 0;
    for (size_t i = 0; i < ref.size(); ++i) {
        double diff = double(d.sums[i]) / 32768.0 - ref[i];
        sq += diff * diff;
        maxDiff = std::max(maxDiff, std::fabs(diff));
        double full = ref[i] * 32768.0;
        if (full < 32767.0 && full > -32768.0) {
            double e = d.pcm[i] - full;
            sq16 += e * e;
            max16 = std::max(max16, std::fabs(e));
            ++n16;
        }
    }
    double rms = std::sqrt(sq / double(ref.size()));
    EXPECT_LT(rms, std::pow(2.0, -15) / std::sqrt(12.0))
        << name << ": RMS error of the float sums over the ISO 11172-4 full-accuracy bound";
    EXPECT_LE(maxDiff, std::pow(2.0, -14)) << name << ": a float sum differs by more than 2^-14";
    ASSERT_GT(n16, 0u) << "some samples must lie inside the 16-bit range";
    EXPECT_LE(std::sqrt(sq16 / double(n16)), 1.0) << name << ": 16-bit RMS error over 1 LSB";
    EXPECT_LE(max16, 3.0) << name << ": a 16-bit sample differs by more than 3 LSB";
}

INSTANTIATE_TEST_SUITE_P(
    Streams, Mp3Accuracy,
    ::testing::Values("l1_joint_32k_256.mp1", "l1_lsf_24k_128.mp1", "l1_mono_44k_192.mp1",
                      "l1_stereo_48k_384.mp1", "l2_ffmpeg_mono_16k_48.mp2", "l2_ffmpeg_stereo_44k_192.mp2",
                      "l2_twolame_dual_48k_64.mp2", "l2_twolame_joint_44k_128.mp2",
                      "l2_twolame_lsf_22k_64.mp2", "l2_twolame_mono_32k_64_crc.mp2",
                      "l2_twolame_stereo_48k_192.mp2", "l3_m1_joint_48k_160.mp3",
                      "l3_m1_midside_32k_96.mp3", "l3_m1_mono_44k_64_crc.mp3", "l3_m1_mono_48k_320.mp3",
                      "l3_m1_stereo_44k_128.mp3", "l3_m1_vbr_xing_44k.mp3", "l3_m1_intensity_48k_160.mp3",
                      "l3_m1_intensity_ms_48k_160.mp3", "l3_m1_mixed_start_stop_44k_128.mp3",
                      "l3_m2_mixed_start_stop_22k_64.mp3", "l3_m25_joint_11k_32.mp3",
                      "l3_m25_mono_8k_16.mp3", "l3_m25_stereo_12k_24.mp3", "l3_m2_joint_22k_64.mp3",
                      "l3_m2_midside_16k_48.mp3", "l3_m2_mono_24k_32_crc.mp3"),
    [](const ::testing::TestParamInfo<const char*>& info) {
        std::string s = info.param;
        std::replace_if(s.begin(), s.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return s;
    });

namespace {

// Overwrites `bits` bits at bit offset `at` (MSB first).
void SetBits(std::vector<uint8_t>& bytes, size_t at, int bits, uint32_t value)
{
    for (int i = 0; i < bits; ++i) {
        size_t bit = at + size_t(i);
        uint8_t mask = uint8_t(0x80 >> (bit % 8));
        if ((value >> (bits - 1 - i)) & 1) {
            bytes[bit / 8] |= mask;
        } else {
            bytes[bit / 8] &= uint8_t(~mask);
        }
    }
}

}  // namespace

TEST(Mp3LayerIII, huffman_data_overrunning_the_channel_gives_silence_not_noise)
{
    // 48 kHz mono 320 kbit/s, no CRC: frames of 960 bytes; granule 1's
    // part2_3_length starts at bit 32 + 18 + 59 = 109, big_values at 121,
    // scalefac_compress at 138 (0: no scale-factor bits, so the 20 bits
    // are all Huffman data).
    std::vector<uint8_t> bytes = Stream("l3_m1_mono_48k_320.mp3");
    const size_t frame = 960 * 6;
    ASSERT_LT(frame + 960, bytes.size()) << "the test stream is shorter than expected";
    SetBits(bytes, frame * 8 + 138, 4, 0);
    std::vector<uint8_t> overrun = bytes, empty = bytes;
    SetBits(overrun, frame * 8 + 109, 12, 20);   // 20 bits for 288 pairs: overruns
    SetBits(overrun, frame * 8 + 121, 9, 288);
    SetBits(empty, frame * 8 + 109, 12, 0);      // explicitly nothing
    SetBits(empty, frame * 8 + 121, 9, 0);
    Decoded a = DecodeAllFrames(overrun), b = DecodeAllFrames(empty), clean = DecodeAllFrames(bytes);
    ASSERT_EQ(a.pcm.size(), clean.pcm.size()) << "the modified stream must decode the same number of frames";
    EXPECT_EQ(a.pcm, b.pcm) << "an overrunning granule must decode as an empty one";
    EXPECT_NE(a.pcm, clean.pcm) << "the granule chosen for the test should hold sound";
}

TEST(Mp3Options, mono_mix_and_half_rate_change_the_frame_format)
{
    std::vector<uint8_t> bytes = Stream("l2_twolame_stereo_48k_192.mp2");
    Mp3DecoderInit(TestDecoder());
    Mp3DecoderOptions o;
    o.outputCode = 1;
    o.downSampling = 1;
    Mp3SetOptions(TestDecoder(), &o);
    Mp3FrameHeader h;
    ASSERT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 1) << "the first frame must be accepted";
    EXPECT_EQ(h.outChannels, 1) << "mixing to mono gives one channel";
    EXPECT_EQ(h.outSampleRate, 24000) << "half rate halves the output rate";
    EXPECT_EQ(h.pcmBytesPerFrame, 576 * 2) << "wrong pcmBytesPerFrame in the parsed header";
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), bytes.data(), int(bytes.size())), 1) << "the stream must open on its first frame";
    std::vector<uint8_t> out(576 * 2 + 16, 0xEE);
    Mp3DecodeCall call;
    call.input = bytes.data();
    call.inputBytes = int(bytes.size());
    call.output = out.data();
    ASSERT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the frame must decode";
    EXPECT_EQ(call.outputBytes, 576 * 2) << "PCM bytes of one frame";
    EXPECT_EQ(out[576 * 2], 0xEE) << "nothing may be written past the frame's PCM";
    Mp3DecoderInit(TestDecoder());  // back to the defaults for the other tests
}

TEST(Mp3LayerII, refuses_a_first_frame_whose_bitrate_the_mode_forbids)
{
    Mp3DecoderInit(TestDecoder());
    const uint8_t header[4] = {0xFF, 0xFD, 0x14, 0x00};  // Layer II, 32 kbit/s, 44.1 kHz, stereo
    std::vector<uint8_t> bytes(400, 0);
    std::memcpy(bytes.data(), header, 4);
    EXPECT_EQ(Mp3OpenStream(TestDecoder(), bytes.data(), int(bytes.size())), 0)
        << "no allocation table covers stereo at 32 kbit/s: the stream must be refused";
    EXPECT_EQ(Mp3GetLastError(TestDecoder()), kMp3ErrorBadHeader) << "the error code must say the header is unusable";
}

TEST(Mp3DecodeFrame, the_null_decoder_consumes_frames_and_writes_silence)
{
    std::vector<uint8_t> bytes = Stream("l2_twolame_stereo_48k_192.mp2");
    Mp3DecoderInit(TestDecoder());
    ASSERT_EQ(Mp3OpenStream(TestDecoder(), bytes.data(), int(bytes.size())), 1) << "the stream must open on its first frame";
    Mp3SetNullDecoder(TestDecoder());
    std::vector<uint8_t> out(4608, 0x33);
    Mp3DecodeCall call;
    call.input = bytes.data();
    call.inputBytes = int(bytes.size());
    call.output = out.data();
    ASSERT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the frame must still be consumed";
    EXPECT_EQ(call.inputBytes, 576) << "144 x 192000 / 48000 = 576 bytes";
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](uint8_t b) { return b == 0; }))
        << "the frame's PCM must be silence, not what the buffer held";

    Mp3FrameHeader h;
    ASSERT_EQ(Mp3ReadFirstFrame(TestDecoder(), bytes.data(), int(bytes.size()), &h), 1) << "the first frame must be accepted";
    Mp3SelectLayerDecoder(TestDecoder(), &h);
    call.inputBytes = int(bytes.size());
    ASSERT_EQ(Mp3DecodeFrame(TestDecoder(), &call), 1) << "the Layer II decoder must be selected again";
    EXPECT_EQ(call.outputBytes, 4608) << "PCM bytes of one frame";
}
