#pragma once
// CDirectSound: the one sound device every sound object shares. The first
// sound object (of any kind) creates it through the shared holder; the last
// one destroyed deletes it. Use counting is locked, because the streaming
// worker threads count their ring objects in and out too.
#include <cstdint>
#include <memory>

#include "frame/CMessageListener.h"
#include "frame/Holder.h"

namespace platform {
class AudioDevice;
}

class CDirectSound : public CMessageListener {
public:
    // Initializes, and listens to the window when that succeeded.
    CDirectSound();
    ~CDirectSound() override;
    CDirectSound(const CDirectSound&) = delete;
    CDirectSound& operator=(const CDirectSound&) = delete;

    // 0 ok; 1 COM not ready; 2 the device could not be made; 3, 4 are kept
    // for the device's own set-up failures (our output has none after 2).
    int Initialize();
    // Releases every CSound buffer, then the device; 0.
    int Release();
    // Reloads every lost CSound buffer (ours are never lost); false.
    bool RestoreAll();
    // Application activated (0x1C with wParam non-zero): RestoreAll. Never consumes (0).
    int OnWindowMessage(platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                        platform::LParam lParam) override;

    // The device; null when sound is off.
    platform::AudioDevice* GetDevice() const { return device_.get(); }

private:
    std::unique_ptr<platform::AudioDevice> device_;
    bool comReady_ = false;
    bool listening_ = false;
};

extern Holder<CDirectSound> gSharedDirectSound;
extern int gSoundUseCount;

// Counts a sound object in (creating the shared device when first) and
// returns the shared device object.
CDirectSound* SoundUseIn();
// Counts a sound object out; the last one deletes the shared device.
void SoundUseOut();
// The shared device's output, or null when sound is off.
platform::AudioDevice* SharedAudioDevice();
