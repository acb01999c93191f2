// The decoder's fast paths against their plain twins: the synthesis that
// runs eight time slots per vector and the hybrid filter that runs eight
// subbands per vector must give the scalar versions' sums bit for bit, the
// SSE2 PCM output the plain conversion's samples, and the register-cached
// bit reader the plain reader's bits.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "Mp3TestSupport.h"
#include "sound/mp3/Mp3BitReader.h"

using namespace mp3test;

TEST(Mp3Vector, lane_synthesis_and_hybrid_filter_give_the_scalar_twins_sums_bit_for_bit)
{
    // Layers I and II (36 and 12 slots) and Layer III (18 per granule: two
    // full blocks of eight and a tail of two; long, short, and mixed blocks
    // whose lanes start at subband 2), mono and stereo.
    for (const char* name : {"l1_stereo_48k_384.mp1", "l2_ffmpeg_mono_16k_48.mp2", "l2_twolame_joint_44k_128.mp2",
                             "l3_m1_stereo_44k_128.mp3", "l3_m2_joint_22k_64.mp3", "l3_m1_mono_48k_320.mp3",
                             "l3_m1_mixed_start_stop_44k_128.mp3"}) {
        std::vector<uint8_t> bytes = Stream(name);
        Mp3DecoderPtr lanes = Mp3NewDecoder(), scalar = Mp3NewDecoder();
        scalar->scalarTwins = true;
        Decoded a = DecodeAllFrames(bytes, false, lanes.get());
        Decoded b = DecodeAllFrames(bytes, false, scalar.get());
        ASSERT_GT(a.frames, 1) << name << " decoded too few frames";
        ASSERT_EQ(a.sums.size(), b.sums.size()) << name;
        EXPECT_EQ(std::memcmp(a.sums.data(), b.sums.data(), a.sums.size() * sizeof(float)), 0)
            << name << ": the vector synthesis or hybrid filter differs from its scalar twin";
        EXPECT_EQ(a.pcm, b.pcm) << name;
    }
}

TEST(Mp3Vector, shipped_pcm_path_truncates_and_clips_as_the_plain_conversion)
{
    // The PCM path without the test's float capture converts eight slots at
    // once and interleaves the channels; it must give the plain per-sample
    // conversion's samples. The Layer I frame drives the window past full
    // scale, so clipping is covered too.
    std::vector<uint8_t> loud = LayerIMonoFrame(0, 15, 0, 32766);
    for (const std::vector<uint8_t>& bytes :
         {loud, Stream("l1_joint_32k_256.mp1"), Stream("l2_twolame_stereo_48k_192.mp2"),
          Stream("l3_m1_stereo_44k_128.mp3"), Stream("l3_m2_mono_24k_32_crc.mp3"), Stream("l3_m25_stereo_12k_24.mp3")}) {
        Mp3DecoderPtr fast = Mp3NewDecoder(), plain = Mp3NewDecoder();
        Decoded a = DecodeAllFrames(bytes, false, fast.get(), /*captureSums=*/false);
        Decoded b = DecodeAllFrames(bytes, false, plain.get());
        ASSERT_GT(a.frames, 0) << "the test stream should decode";
        EXPECT_EQ(a.pcm, b.pcm) << "the fast PCM path differs from the plain conversion";
    }
}

TEST(Mp3Vector, cached_bit_reader_reads_what_the_plain_reader_reads)
{
    std::mt19937 random(7);
    std::vector<uint8_t> bytes(300);
    for (uint8_t& b : bytes) {
        b = uint8_t(random());
    }
    // Every start bit of the first bytes, and runs that end past the data
    // (zeros there) and read near its end through the byte-wise refill.
    for (size_t start : {size_t(0), size_t(3), size_t(13), size_t(8 * 290 + 5)}) {
        mp3::Mp3BitReader plain(bytes.data(), bytes.size());
        plain.SetPosition(start);
        mp3::Mp3BitCache cached(plain);
        std::mt19937 widths(11);
        for (int i = 0; i < 400; ++i) {
            int n = int(widths() % 25);
            cached.Fill();
            ASSERT_EQ(cached.Peek(n), plain.Peek(n)) << "start " << start << ", read " << i << " of " << n << " bits";
            ASSERT_EQ(cached.Read(n), plain.Read(n));
            ASSERT_EQ(cached.Position(), plain.Position());
        }
        EXPECT_GT(plain.Position(), bytes.size() * 8) << "the run should have gone past the end";
    }
}
