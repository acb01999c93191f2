// CAudioMixer over the mixer's line gains: clamps, pan, and the volumes put
// back on close; the effect on the mixed output of a CD-line buffer.
#include "sound/CAudioMixer.h"

#include "SoundTestSupport.h"
#include "platform/Audio.h"

using namespace soundtest;

namespace {
void Gain(platform::AudioLine line, uint16_t* l, uint16_t* r) { platform::GetLineGain(line, l, r); }
}  // namespace

TEST(AudioMixerClassTest, clamps_volume_and_pan)
{
    CAudioMixer mixer;
    ASSERT_TRUE(mixer.IsReady()) << "our mixer always opens";
    uint16_t l = 0, r = 0;
    EXPECT_EQ(mixer.SetVolume(3, 70000, 0), 0);
    Gain(platform::AudioLine::CD, &l, &r);
    EXPECT_EQ(l, 65535) << "70000 is clamped to 65535";
    EXPECT_EQ(r, 65535);
    mixer.SetVolume(3, 40000, 40000);
    Gain(platform::AudioLine::CD, &l, &r);
    EXPECT_EQ(l, 40000) << "pan 40000 is taken as 32768: the left keeps the volume";
    EXPECT_EQ(r, 0) << "and the right channel is silent";
    mixer.SetVolume(3, 40000, -40000);
    Gain(platform::AudioLine::CD, &l, &r);
    EXPECT_EQ(l, 0) << "pan -40000 is taken as -32767: the left channel is silent";
    EXPECT_EQ(r, 40000);
    mixer.SetVolume(1, 30000, 16384);
    Gain(platform::AudioLine::Wave, &l, &r);
    EXPECT_EQ(l, 30000);
    EXPECT_EQ(r, 30000 * (32768 - 16384) / 32768) << "a right pan lowers the right side in proportion";
    mixer.SetVolume(2, -5, 0);
    Gain(platform::AudioLine::Synth, &l, &r);
    EXPECT_EQ(l, 0) << "a negative volume is clamped to 0";
    EXPECT_EQ(mixer.SetVolume(4, 100, 0), -1) << "there is no fifth component";
    EXPECT_EQ(mixer.RestoreVolume(7), 2);
}

TEST(AudioMixerClassTest, close_puts_back_the_volumes_found_at_open)
{
    platform::SetLineGain(platform::AudioLine::Master, 50000, 40000);
    platform::SetLineGain(platform::AudioLine::CD, 1234, 4321);
    {
        CAudioMixer mixer;
        mixer.SetVolume(0, 100, 0);
        mixer.SetVolume(3, 128 * 255, 0);
        uint16_t l = 0, r = 0;
        Gain(platform::AudioLine::CD, &l, &r);
        EXPECT_EQ(l, 128 * 255);
    }
    uint16_t l = 0, r = 0;
    Gain(platform::AudioLine::Master, &l, &r);
    EXPECT_EQ(l, 50000) << "the master line must be restored on close";
    EXPECT_EQ(r, 40000);
    Gain(platform::AudioLine::CD, &l, &r);
    EXPECT_EQ(l, 1234) << "the CD line must be restored on close";
    EXPECT_EQ(r, 4321);
    platform::SetLineGain(platform::AudioLine::Master, 65535, 65535);
    platform::SetLineGain(platform::AudioLine::CD, 65535, 65535);
    CAudioMixer closed;
    closed.Close();
    EXPECT_EQ(closed.SetVolume(0, 1, 0), -1) << "a closed mixer has no controls";
    EXPECT_EQ(closed.RestoreVolume(0), 1);
}

TEST(AudioMixerClassTest, error_texts)
{
    EXPECT_STRNE(CAudioMixer::GetErrorText(2), CAudioMixer::GetErrorText(999));
    EXPECT_STREQ(CAudioMixer::GetErrorText(3), CAudioMixer::GetErrorText(999)) << "unknown codes share one text";
}
