// The SDL output behind AudioDevice (the dummy driver in CI): it opens, is
// shared by every handle, and its callback drives the mixer, so a playing
// buffer's cursor moves by itself.
#include "platform/Audio.h"
#include "platform/Time.h"

#include <gtest/gtest.h>

#include <memory>

TEST(AudioDeviceTest, sdl_output_moves_a_playing_cursor)
{
    platform::UseManualClock(false);
    auto device = platform::AudioDevice::Create();
    if (!device) {
        GTEST_SKIP() << "no audio driver available here";
    }
    auto second = platform::AudioDevice::Create();
    ASSERT_NE(second, nullptr) << "a second handle shares the open output";
    platform::BufferDesc d;
    d.flags = platform::kBufCtrlVolume;
    d.bytes = 44100 * 2;
    d.format.wFormatTag = platform::kWaveFormatPcm;
    d.format.nChannels = 1;
    d.format.nSamplesPerSec = 44100;
    d.format.wBitsPerSample = 16;
    d.format.nBlockAlign = 2;
    d.format.nAvgBytesPerSec = 88200;
    std::shared_ptr<platform::SoundBuffer> b;
    ASSERT_EQ(device->CreateSoundBuffer(d, &b), platform::kAudioOk);
    ASSERT_EQ(b->Play(true), platform::kAudioOk);
    uint32_t play = 0;
    for (int i = 0; i < 300 && play == 0; ++i) {
        platform::SleepMs(10);
        b->GetCurrentPosition(&play, nullptr);
    }
    EXPECT_GT(play, 0u) << "the output's callback must mix the playing buffer";
    b.reset();
    second.reset();
    device.reset();
}
