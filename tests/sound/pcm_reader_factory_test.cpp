// The reader factory's order and the built-in readers on files the test
// writes: plain PCM, IEEE float (the media decoder), A-law (the codec
// stream) and a plug-in's own kind. Decoded samples are compared with
// references computed here from the formats' definitions.
#include "sound/CPCMReaderFactory.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

#include "SoundTestSupport.h"
#include "Mp3TestSupport.h"
#include "sound/CAudioPlugin.h"
#include "sound/CPcmDirectShow.h"
#include "sound/CkmRawWave.h"
#include "sound/PcmReader.h"
#include "sound/kmACMtoPCM.h"

using namespace soundtest;

namespace {

struct ReaderDeleter {
    void operator()(CPcmReader* r) const { r->Release(); }
};
using ReaderPtr = std::unique_ptr<CPcmReader, ReaderDeleter>;

// G.711 A-law expansion, from the standard's segment table.
int AlawToLinear(uint8_t a)
{
    a ^= 0x55;
    int t = (a & 0x0F) << 4;
    int seg = (a & 0x70) >> 4;
    if (seg == 0) {
        t += 8;
    } else {
        t += 0x108;
        t <<= seg - 1;
    }
    return (a & 0x80) ? t : -t;
}

std::vector<uint8_t> FloatData(const std::vector<float>& f)
{
    std::vector<uint8_t> out(f.size() * 4);
    std::memcpy(out.data(), f.data(), out.size());
    return out;
}

}  // namespace

class PcmReaderFactoryTest : public SoundFolderTest {
protected:
    void TearDown() override
    {
        ClearReaderPlugins();
        SoundFolderTest::TearDown();
    }
    CPCMReaderFactory factory_;
};

TEST_F(PcmReaderFactoryTest, picks_readers_in_order)
{
    Write("pcm.wav", PcmWave(1, 8000, 16, Samples16(Ramp(800, 1, 5))));
    Write("float.wav", WaveImage(3, 1, 8000, 32, 4, FloatData(std::vector<float>(800, 0.25f))));
    Write("junk.wav", std::vector<uint8_t>(300, 0x11));
    ReaderPtr pcm(factory_.CreateReader("pcm.wav"));
    ASSERT_NE(pcm, nullptr);
    EXPECT_NE(dynamic_cast<CkmRawWave*>(pcm.get()), nullptr) << "plain PCM WAVE is always CkmRawWave's";
    ReaderPtr flt(factory_.CreateReader("float.wav"));
    ASSERT_NE(flt, nullptr) << "a float WAVE must be decoded by the media decoder";
    EXPECT_NE(dynamic_cast<CPcmDirectShow*>(flt.get()), nullptr)
        << "CkmRawWave refuses non-PCM, so the media decoder comes next";
    EXPECT_EQ(factory_.CreateReader("junk.wav"), nullptr) << "a file no reader opens yields null";
    EXPECT_EQ(factory_.CreateReader("missing.wav"), nullptr);
}

TEST_F(PcmReaderFactoryTest, plugins_come_first)
{
#ifdef SOUND_TEST_PLUGIN_PATH
    // Plug-ins are named like every file of the game, inside its folder.
    {
        std::ifstream in(SOUND_TEST_PLUGIN_PATH, std::ios::binary);
        Write("plugin/tone.so", std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}));
    }
    factory_.AddPlugin("plugin\\tone.so");
    factory_.AddPlugin("plugin\\tone.so");
    Write("pcm.wav", PcmWave(1, 8000, 16, Samples16(Ramp(800, 1, 5))));
    ReaderPtr tone(factory_.CreateReader("a.tone"));
    ASSERT_NE(tone, nullptr) << "the plug-in must open its own kind of name";
    EXPECT_EQ(dynamic_cast<CkmRawWave*>(tone.get()), nullptr);
    EXPECT_EQ(tone->GetSize(), 16000u);
    std::vector<int16_t> s(4);
    tone->Read(s.data(), 8);
    EXPECT_EQ(s[3], 9) << "the plug-in's reader must deliver its samples through the shared interface";
    ReaderPtr pcm(factory_.CreateReader("pcm.wav"));
    EXPECT_NE(dynamic_cast<CkmRawWave*>(pcm.get()), nullptr)
        << "a plug-in that refuses a file leaves it to the built-in readers";
#else
    GTEST_SKIP() << "the test plug-in is not built in this configuration";
#endif
    CAudioPlugin missing("no_such_plugin.so");
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_EQ(missing.CreateReader(), nullptr) << "a plug-in that did not load makes no reader";
}

TEST_F(PcmReaderFactoryTest, raw_wave_end_of_data_and_looping)
{
    std::vector<int16_t> ramp = Ramp(100, 1, 11);
    Write("r.wav", PcmWave(1, 8000, 16, Samples16(ramp)));
    CkmRawWave r;
    ASSERT_TRUE(r.Open("r.wav"));
    EXPECT_TRUE(r.SetLoop(false)) << "readers start looping; SetLoop returns the previous flag";
    EXPECT_FALSE(r.SetLoop(false));
    std::vector<int16_t> out(150);
    EXPECT_EQ(r.Read(out.data(), 300), 200u) << "a non-looping reader returns fewer bytes at the end";
    EXPECT_EQ(r.Read(out.data(), 300), 0u) << "and nothing afterwards";
    r.SetLoop(true);
    r.Seek(180);
    EXPECT_EQ(r.Read(out.data(), 40), 40u) << "a looping reader fills the request across the wrap";
    EXPECT_EQ(out[0], ramp[90]) << "the seek lands on byte 180";
    EXPECT_EQ(out[10], ramp[0]) << "the 11th sample after the wrap is the first of the file";
    EXPECT_EQ(r.MsToBytes(1999), r.MsToBytes(1000)) << "MsToBytes counts whole seconds only";
    EXPECT_EQ(r.MsToBytes(1000), 16000u);
    EXPECT_EQ(r.GetLength(), 12) << "200 bytes at 16000 bytes a second";
    EXPECT_EQ(r.GetBufferSize(2), 32000u);
}

TEST_F(PcmReaderFactoryTest, media_decoder_reads_float_wave_exactly)
{
    std::vector<float> f(4000);
    for (size_t i = 0; i < f.size(); ++i) {
        f[i] = static_cast<float>((static_cast<int>(i * 37) % 2000) - 1000) / 32768.0f;
    }
    Write("f.wav", WaveImage(3, 1, 8000, 32, 4, FloatData(f)));
    CPcmDirectShow r;
    ASSERT_TRUE(r.Open("f.wav"));
    ASSERT_NE(r.GetFormat(), nullptr);
    EXPECT_EQ(r.GetFormat()->wBitsPerSample, 16) << "the media decoder delivers 16-bit PCM";
    EXPECT_EQ(r.GetFormat()->nSamplesPerSec, 8000u) << "at the stream's own rate";
    EXPECT_EQ(r.GetLength(), 500);
    EXPECT_EQ(r.GetSize(), 8000u);
    r.SetLoop(false);
    std::vector<int16_t> out(4100);
    uint32_t got = 0;
    while (uint32_t n = r.Read(reinterpret_cast<uint8_t*>(out.data()) + got, 8200 - got)) {
        got += n;
    }
    EXPECT_EQ(got, 8000u) << "every sample of the file must be delivered once";
    for (size_t i = 0; i < f.size(); ++i) {
        ASSERT_NEAR(out[i], f[i] * 32768.0f, 1.0f) << "sample " << i << " decoded wrongly";
    }
    EXPECT_EQ(r.Read(out.data(), 100), 0u) << "a non-looping decoder at its end returns 0";
    ASSERT_TRUE(r.Seek(2 * 3000));
    r.Read(out.data(), 2);
    EXPECT_NEAR(out[0], f[3000] * 32768.0f, 1.0f) << "a seek must land on the exact sample";
    r.SetLoop(true);
    r.Seek(2 * 3990);
    EXPECT_EQ(r.Read(out.data(), 40), 20u) << "the tail up to the end";
    EXPECT_EQ(r.Read(out.data(), 4), 4u) << "a looping decoder starts again at the end";
    EXPECT_NEAR(out[0], f[0] * 32768.0f, 1.0f);
}

TEST_F(PcmReaderFactoryTest, codec_stream_decodes_alaw_and_refuses_pcm)
{
    std::vector<uint8_t> a(2000);
    for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<uint8_t>(i * 7);
    Write("a.wav", WaveImage(6, 1, 8000, 8, 1, a));
    Write("p.wav", PcmWave(1, 8000, 16, Samples16(Ramp(100, 1, 3))));
    kmACMtoPCM pcm;
    EXPECT_FALSE(pcm.Open("p.wav")) << "PCM sources are CkmRawWave's, not the codec stream's";
    kmACMtoPCM r;
    ASSERT_TRUE(r.Open("a.wav"));
    EXPECT_EQ(r.GetFormat()->wBitsPerSample, 16);
    EXPECT_EQ(r.GetSize(), 4000u) << "one A-law byte becomes one 16-bit sample";
    r.SetLoop(false);
    std::vector<int16_t> out(2000);
    uint32_t got = r.Read(out.data(), 4000);
    EXPECT_EQ(got, 4000u);
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(out[i], AlawToLinear(a[i])) << "A-law byte " << i << " expanded wrongly";
    }
    EXPECT_EQ(r.Read(out.data(), 100), 0u) << "a non-looping codec stream ends";
}

TEST_F(PcmReaderFactoryTest, hostile_wave_headers_do_not_make_readers)
{
    // PCM tag with a zero block size and rate: opened as raw data but unusable.
    Write("z.wav", WaveImage(1, 0, 0, 0, 0, std::vector<uint8_t>(64, 1)));
    ReaderPtr r(factory_.CreateReader("z.wav"));
    if (r) {
        EXPECT_EQ(r->GetLength(), 0) << "a zero rate must not divide by zero";
        EXPECT_EQ(r->MsToBytes(5000), 0u);
    }
    // A codec tag nobody decodes.
    Write("u.wav", WaveImage(0x1234, 1, 8000, 4, 1, std::vector<uint8_t>(64, 1)));
    EXPECT_EQ(factory_.CreateReader("u.wav"), nullptr) << "an unknown codec must yield null";
}

TEST_F(PcmReaderFactoryTest, mp3_data_through_the_media_decoder_and_the_codec_stream)
{
    std::vector<uint8_t> mp3 = mp3test::Stream("l3_m1_stereo_44k_128.mp3");
    ASSERT_FALSE(mp3.empty());
    Write("m.mp3", mp3);
    ReaderPtr r(factory_.CreateReader("m.mp3"));
    ASSERT_NE(r, nullptr);
    EXPECT_NE(dynamic_cast<CPcmDirectShow*>(r.get()), nullptr) << "MP3 is the media decoder's before the codec stream's";
    EXPECT_EQ(r->GetFormat()->nChannels, 2);
    EXPECT_EQ(r->GetFormat()->nSamplesPerSec, 44100u);

    kmACMtoPCM acm;
    ASSERT_TRUE(acm.Open("m.mp3")) << "MP3 data converts through the codec stream";
    acm.SetLoop(false);
    std::vector<int16_t> out(20000);
    uint32_t got = 0;
    while (uint32_t n = acm.Read(reinterpret_cast<uint8_t*>(out.data()) + got, 4608)) {
        got += n;
        if (got + 4608 > out.size() * 2) break;
    }
    EXPECT_GT(got, 4608u * 2) << "several frames of PCM must come out";
    EXPECT_LE(got, 4608u * 6) << "no more than the file's frames (and the codec's priming)";
    int peak = 0;
    for (uint32_t i = 0; i < got / 2; ++i) peak = std::max(peak, std::abs(static_cast<int>(out[i])));
    EXPECT_GT(peak, 1000) << "the converted PCM must not be silence";
}
