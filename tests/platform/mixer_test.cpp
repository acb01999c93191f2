// The mixer of secondary buffers under the manual clock: every expected
// sample is computed here from the gain formula 10^(v/2000), never taken
// from the mixer itself.
#include "platform/Audio.h"
#include "platform/audio/Mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

using namespace platform;

namespace {

WaveFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits)
{
    WaveFormat f;
    f.wFormatTag = kWaveFormatPcm;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

class AudioMixerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseManualClock(true);
        device_ = AudioDevice::Create();
        ASSERT_NE(device_, nullptr) << "the manual-clock output must always open";
        SetManualCapture(true);
    }
    void TearDown() override
    {
        SetManualCapture(false);
        for (auto line : {AudioLine::Master, AudioLine::Wave, AudioLine::Synth, AudioLine::CD}) {
            SetLineGain(line, 65535, 65535);
        }
        device_.reset();
        UseManualClock(false);
    }

    std::shared_ptr<SoundBuffer> Make(const WaveFormat& f, const std::vector<uint8_t>& bytes,
                                      uint32_t flags = kBufCtrlVolume | kBufCtrlFrequency | kBufCtrlPan,
                                      AudioLine line = AudioLine::Wave)
    {
        BufferDesc d;
        d.flags = flags;
        d.bytes = static_cast<uint32_t>(bytes.size());
        d.format = f;
        d.line = line;
        std::shared_ptr<SoundBuffer> b;
        EXPECT_EQ(device_->CreateSoundBuffer(d, &b), kAudioOk) << "a PCM buffer must be created";
        if (!b) return nullptr;
        void* p1; uint32_t n1; void* p2; uint32_t n2;
        EXPECT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, kLockEntireBuffer), kAudioOk);
        std::memcpy(p1, bytes.data(), n1);
        EXPECT_EQ(b->Unlock(p1, n1, p2, n2), kAudioOk);
        return b;
    }

    std::unique_ptr<AudioDevice> device_;
};

std::vector<uint8_t> Pcm16(const std::vector<int16_t>& s)
{
    std::vector<uint8_t> out(s.size() * 2);
    std::memcpy(out.data(), s.data(), out.size());
    return out;
}

double Gain(int v) { return std::pow(10.0, v / 2000.0); }

}  // namespace

TEST_F(AudioMixerTest, mixes_two_sounds_at_their_volumes)
{
    // A: 16-bit stereo at -600; B: 8-bit mono at -1200; both at the output rate.
    const int frames = 441;
    std::vector<int16_t> a(frames * 2);
    std::vector<uint8_t> b(frames);
    for (int i = 0; i < frames; ++i) {
        a[2 * i] = static_cast<int16_t>(12000 * std::sin(i * 0.05));
        a[2 * i + 1] = static_cast<int16_t>(-9000 + i * 37);
        b[i] = static_cast<uint8_t>((i * 7) & 0xFF);
    }
    auto sa = Make(Pcm(2, 44100, 16), Pcm16(a));
    auto sb = Make(Pcm(1, 44100, 8), b);
    ASSERT_EQ(sa->SetVolume(-600), kAudioOk);
    ASSERT_EQ(sb->SetVolume(-1200), kAudioOk);
    sa->Play(false);
    sb->Play(false);
    AdvanceManualClock(frames);
    std::vector<int16_t> out = TakeManualCapture();
    ASSERT_EQ(out.size(), static_cast<size_t>(frames * 2));
    for (int i = 0; i < frames; ++i) {
        double bs = (b[i] - 128) * 256.0 * Gain(-1200);
        double l = a[2 * i] * Gain(-600) + bs;
        double r = a[2 * i + 1] * Gain(-600) + bs;
        ASSERT_NEAR(out[2 * i], l, 1.0) << "left sample " << i << " is not the sum of the attenuated sounds";
        ASSERT_NEAR(out[2 * i + 1], r, 1.0) << "right sample " << i << " is not the sum of the attenuated sounds";
    }
}

TEST_F(AudioMixerTest, clips_the_sum_to_sixteen_bits)
{
    std::vector<int16_t> loud(100, 30000);
    auto s1 = Make(Pcm(1, 44100, 16), Pcm16(loud));
    auto s2 = Make(Pcm(1, 44100, 16), Pcm16(loud));
    s1->Play(false);
    s2->Play(false);
    AdvanceManualClock(50);
    auto out = TakeManualCapture();
    for (int16_t s : out) {
        ASSERT_EQ(s, 32767) << "an overflowing sum must saturate, not wrap";
    }
}

TEST_F(AudioMixerTest, resamples_a_lower_rate_by_linear_interpolation)
{
    // A ramp at 22050 Hz: output frame i lies at source position i/2, and a
    // linear interpolation of a ramp is exact.
    std::vector<int16_t> ramp(200);
    for (int i = 0; i < 200; ++i) ramp[i] = static_cast<int16_t>(i * 100);
    auto s = Make(Pcm(1, 22050, 16), Pcm16(ramp));
    s->Play(false);
    AdvanceManualClock(300);
    auto out = TakeManualCapture();
    for (int i = 0; i < 300; ++i) {
        ASSERT_NEAR(out[2 * i], i * 50.0, 1.0) << "frame " << i << " of a 22050 Hz ramp played at 44100 Hz";
    }
}

TEST_F(AudioMixerTest, frequency_change_speeds_up_the_cursor)
{
    std::vector<int16_t> silence(44100, 0);
    auto s = Make(Pcm(1, 44100, 16), Pcm16(silence));
    ASSERT_EQ(s->SetFrequency(88200), kAudioOk);
    uint32_t hz = 0;
    s->GetFrequency(&hz);
    EXPECT_EQ(hz, 88200u) << "GetFrequency must give back the frequency set";
    s->Play(false);
    AdvanceManualClock(4410);
    uint32_t play = 0;
    s->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 8820u * 2) << "at twice the rate, 100 ms of output consumes 200 ms of samples";
    ASSERT_EQ(s->SetFrequency(0), kAudioOk);
    s->GetFrequency(&hz);
    EXPECT_EQ(hz, 44100u) << "frequency 0 means the buffer's own rate";
}

TEST_F(AudioMixerTest, rejects_out_of_range_volume_frequency_and_pan)
{
    auto s = Make(Pcm(1, 44100, 16), Pcm16(std::vector<int16_t>(100)));
    EXPECT_EQ(s->SetVolume(1), kAudioErrInvalidParam) << "volume above 0 must be refused";
    EXPECT_EQ(s->SetVolume(-10001), kAudioErrInvalidParam) << "volume below -10000 must be refused";
    EXPECT_EQ(s->SetFrequency(99), kAudioErrInvalidParam) << "99 Hz must be refused";
    EXPECT_EQ(s->SetFrequency(100001), kAudioErrInvalidParam) << "100001 Hz must be refused";
    EXPECT_EQ(s->SetFrequency(100), kAudioOk);
    EXPECT_EQ(s->SetFrequency(100000), kAudioOk);
    EXPECT_EQ(s->SetPan(10001), kAudioErrInvalidParam);
}

TEST_F(AudioMixerTest, honours_the_control_flags)
{
    auto s = Make(Pcm(1, 44100, 16), Pcm16(std::vector<int16_t>(100)), kBufCtrlVolume);
    EXPECT_EQ(s->SetFrequency(22050), kAudioErrControlUnavail)
        << "a buffer made without the frequency control must refuse frequency changes";
    EXPECT_EQ(s->SetPan(100), kAudioErrControlUnavail);
    EXPECT_EQ(s->SetVolume(-100), kAudioOk);
    auto t = Make(Pcm(1, 44100, 16), Pcm16(std::vector<int16_t>(100)), kBufCtrlFrequency);
    EXPECT_EQ(t->SetVolume(-100), kAudioErrControlUnavail)
        << "a buffer made without the volume control must refuse volume changes";
}

TEST_F(AudioMixerTest, refuses_formats_it_cannot_play)
{
    BufferDesc d;
    d.bytes = 100;
    d.format = Pcm(3, 44100, 16);
    std::shared_ptr<SoundBuffer> b;
    EXPECT_EQ(device_->CreateSoundBuffer(d, &b), kAudioErrBadFormat) << "three channels";
    d.format = Pcm(2, 44100, 24);
    EXPECT_EQ(device_->CreateSoundBuffer(d, &b), kAudioErrBadFormat) << "24-bit samples";
    d.format = Pcm(2, 44100, 16);
    d.format.wFormatTag = 0x55;
    EXPECT_EQ(device_->CreateSoundBuffer(d, &b), kAudioErrBadFormat) << "compressed data";
    d.format = Pcm(2, 44100, 16);
    d.bytes = 3;
    EXPECT_EQ(device_->CreateSoundBuffer(d, &b), kAudioErrInvalidParam) << "less than one block";
}

TEST_F(AudioMixerTest, non_looping_buffer_stops_by_itself_at_its_end)
{
    auto s = Make(Pcm(1, 44100, 16), Pcm16(std::vector<int16_t>(441, 1000)));
    s->Play(false);
    AdvanceManualClock(440);
    uint32_t status = 0;
    s->GetStatus(&status);
    EXPECT_TRUE(status & kStatusPlaying) << "one frame before its end the buffer still plays";
    AdvanceManualClock(441);
    s->GetStatus(&status);
    EXPECT_FALSE(status & kStatusPlaying) << "a non-looping buffer must stop at its end";
    auto out = TakeManualCapture();
    EXPECT_EQ(out[2 * 440], 1000) << "the last frame must be played";
    EXPECT_EQ(out[2 * 441], 0) << "nothing may follow the end of a non-looping buffer";
}

TEST_F(AudioMixerTest, looping_buffer_wraps_and_stop_keeps_the_cursor)
{
    std::vector<int16_t> s(100);
    for (int i = 0; i < 100; ++i) s[i] = static_cast<int16_t>(i);
    auto b = Make(Pcm(1, 44100, 16), Pcm16(s));
    b->Play(true);
    uint32_t status = 0;
    b->GetStatus(&status);
    EXPECT_TRUE(status & kStatusLooping);
    AdvanceManualClock(250);
    auto out = TakeManualCapture();
    for (int i = 0; i < 250; ++i) {
        ASSERT_EQ(out[2 * i], i % 100) << "a looping buffer must restart at its start, frame " << i;
    }
    b->Stop();
    uint32_t play = 0;
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 50u * 2) << "Stop must keep the play cursor";
    b->Play(false);
    AdvanceManualClock(1);
    out = TakeManualCapture();
    EXPECT_EQ(out[0], 50) << "playing again must go on from the kept cursor";
}

TEST_F(AudioMixerTest, lock_returns_two_regions_across_the_wrap)
{
    auto b = Make(Pcm(1, 44100, 16), Pcm16(std::vector<int16_t>(100, 0)));
    void* p1; uint32_t n1; void* p2; uint32_t n2;
    ASSERT_EQ(b->Lock(160, 80, &p1, &n1, &p2, &n2, 0), kAudioOk);
    EXPECT_EQ(n1, 40u) << "the first region ends at the buffer's end";
    EXPECT_EQ(n2, 40u) << "the rest wraps to the start";
    ASSERT_NE(p2, nullptr);
    void* q1; uint32_t m1;
    EXPECT_EQ(b->Lock(0, 10, &q1, &m1, nullptr, nullptr, 0), kAudioErrInvalidCall)
        << "a second lock while locked must be refused";
    std::vector<int16_t> fill(20, 7);
    std::memcpy(p1, fill.data(), 40);
    std::memcpy(p2, fill.data(), 40);
    ASSERT_EQ(b->Unlock(p1, n1, p2, n2), kAudioOk);
    b->Play(true);
    AdvanceManualClock(100);
    auto out = TakeManualCapture();
    for (int i = 0; i < 100; ++i) {
        int expect = (i < 20 || i >= 80) ? 7 : 0;
        ASSERT_EQ(out[2 * i], expect) << "frame " << i << " after writing both locked regions";
    }
    EXPECT_EQ(b->Lock(200, 1, &p1, &n1, &p2, &n2, 0), kAudioErrInvalidParam) << "offset at the end";
}

TEST_F(AudioMixerTest, cursors_advance_in_small_steps_with_the_write_cursor_ahead)
{
    auto b = Make(Pcm(2, 44100, 16), Pcm16(std::vector<int16_t>(44100 * 2)));
    b->Play(true);
    uint32_t last = 0;
    for (int step = 0; step < 20; ++step) {
        AdvanceManualClock(441);
        uint32_t play = 0, write = 0;
        b->GetCurrentPosition(&play, &write);
        EXPECT_LE(play - last, 44100u * 4 / 50) << "the play cursor must move by 20 ms or less per step";
        EXPECT_GT(write, play) << "the write cursor stands ahead of the play cursor";
        EXPECT_EQ(play % 4, 0u) << "cursors are block-aligned";
        last = play;
    }
}

TEST_F(AudioMixerTest, duplicate_shares_samples_and_takes_volume_and_frequency)
{
    std::vector<int16_t> s(200, 4000);
    auto a = Make(Pcm(1, 44100, 16), Pcm16(s));
    a->SetVolume(-2000);
    a->SetFrequency(22050);
    std::shared_ptr<SoundBuffer> d;
    ASSERT_EQ(device_->DuplicateSoundBuffer(*a, &d), kAudioOk);
    EXPECT_TRUE(d->SharesSamplesWith(*a)) << "a duplicate must not copy the samples";
    int32_t v = 0;
    uint32_t hz = 0;
    d->GetVolume(&v);
    d->GetFrequency(&hz);
    EXPECT_EQ(v, -2000) << "a duplicate starts with the original's volume";
    EXPECT_EQ(hz, 22050u) << "a duplicate starts with the original's frequency";
    // Independent cursors; the samples outlive the original.
    a->Play(false);
    AdvanceManualClock(10);
    a.reset();
    d->SetFrequency(0);
    d->SetVolume(0);
    d->Play(false);
    AdvanceManualClock(5);
    auto out = TakeManualCapture();
    EXPECT_EQ(out[2 * 10], 4000) << "the duplicate plays the shared samples after the original is gone";
    uint32_t play = 0;
    d->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 10u) << "the duplicate's cursor is its own";
}

TEST_F(AudioMixerTest, line_gains_scale_only_their_lines)
{
    std::vector<int16_t> s(100, 10000);
    auto wave = Make(Pcm(1, 44100, 16), Pcm16(s));
    auto cd = Make(Pcm(1, 44100, 16), Pcm16(s), kBufCtrlVolume, AudioLine::CD);
    SetLineGain(AudioLine::CD, 0, 65535);
    wave->Play(false);
    cd->Play(false);
    AdvanceManualClock(10);
    auto out = TakeManualCapture();
    EXPECT_EQ(out[0], 10000) << "a silent CD line leaves the left wave output alone";
    EXPECT_EQ(out[1], 20000) << "the right channel has both lines";
    SetLineGain(AudioLine::Master, 32768, 32768);
    AdvanceManualClock(10);
    out = TakeManualCapture();
    EXPECT_NEAR(out[1], 20000 * 32768.0 / 65535.0, 1.0) << "the master line scales everything";
}

TEST_F(AudioMixerTest, pan_attenuates_the_opposite_side)
{
    auto b = Make(Pcm(1, 44100, 16), Pcm16(std::vector<int16_t>(100, 10000)));
    b->SetPan(600);
    b->Play(false);
    AdvanceManualClock(1);
    auto out = TakeManualCapture();
    EXPECT_NEAR(out[0], 10000 * Gain(-600), 1.0) << "a pan to the right lowers the left side";
    EXPECT_EQ(out[1], 10000) << "the right side keeps full level";
}

TEST_F(AudioMixerTest, silence_once_every_sound_has_stopped_or_ended)
{
    std::vector<int16_t> tone(20, 5000);
    auto once = Make(Pcm(1, 44100, 16), Pcm16(tone));
    auto stopped = Make(Pcm(1, 44100, 16), Pcm16(tone));
    once->Play(false);
    stopped->Play(true);
    AdvanceManualClock(10);
    stopped->Stop();
    AdvanceManualClock(30);  // the one-shot ends half-way through
    std::vector<int16_t> out = TakeManualCapture();
    ASSERT_EQ(out.size(), 80u);
    EXPECT_NE(out[0], 0) << "both play at first";
    for (size_t i = 40; i < out.size(); ++i) {
        ASSERT_EQ(out[i], 0) << "sample " << i << ": nothing plays, so the output is silence";
    }
    // Directly into a buffer holding old data: every sample is written.
    std::vector<int16_t> direct(64, 0x7777);
    platform::Mixer::Instance()->Mix(direct.data(), 32);
    for (int16_t s : direct) ASSERT_EQ(s, 0) << "silence overwrites what the buffer held";
}
