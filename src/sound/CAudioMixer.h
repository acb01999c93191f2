#pragma once
// CAudioMixer: the volumes of four lines of our own mixer (0 master, 1 wave
// output, 2 synthesizer, 3 CD audio), put back as they were found when the
// mixer closes. The system's volume is never touched. Volumes are 0..65535
// per channel; pan is -32767 (left only) .. 32768 (right only).
#include <array>
#include <cstdint>
#include <vector>

class CAudioMixer {
public:
    static constexpr int kComponents = 4;

    // Opens at once; IsReady tells whether that succeeded.
    CAudioMixer();
    // Close (restoring every line).
    virtual ~CAudioMixer();
    CAudioMixer(const CAudioMixer&) = delete;
    CAudioMixer& operator=(const CAudioMixer&) = delete;

    // 0 ok; 1 closing a previous handle failed; 2 no mixer device; 3 the
    // device did not open; 4 its lines could not be read.
    int Open();
    // Volume clamped to 0..65535, pan to -32767..32768; 0 ok, -1 the
    // component has no volume control (or the mixer is closed).
    int SetVolume(int component, int volume, int pan);
    // Writes back the values found at open: 0 ok, 1 no mixer, 2 no control.
    int RestoreVolume(int component);
    // Restores all four components, then closes; 0 (1 when closing failed).
    int Close();

    bool IsReady() const { return ready_; }
    bool IsOpen() const { return open_; }
    // The text reported for a mixer result code.
    static const char* GetErrorText(int code);

private:
    struct Component {
        bool present = false;
        int channels = 0;
        uint16_t left = 0;   // values found at open time
        uint16_t right = 0;
    };
    // The component's volume control; false (after a message) when it has none.
    bool FindControl(int component);

    bool open_ = false;
    bool ready_ = false;
    std::array<Component, kComponents> components_{};
    std::vector<uint32_t> values_ = std::vector<uint32_t>(2);
};
