#pragma once
// CCDDA: music from CD audio tracks (a drive, or a CUE/BIN image standing
// for one). Opens the disc, reads its table of contents, plays a range of
// tracks and replays it when it finishes and looping is on. The end of a
// range arrives as the CD notification window message (kWmMciNotify with
// kMciNotifySuccessful and the device id), which the object receives as a
// window listener; without an application window, PollNotify delivers it.
//
// Positions are packed minute/second/frame values: minutes in the low byte,
// seconds in the next, frames in the third.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "frame/CMessageListener.h"
#include "sound/CdResult.h"

namespace platform::cd {
class CdDevice;
}

class CCDDA : public CMessageListener {
public:
    static constexpr int kMaxTracks = 99;

    // Listens to the application window and takes it.
    CCDDA();
    ~CCDDA() override;

    // Consumes the end-of-range notification for this device (returns 1) and
    // replays or stops; anything else returns 0.
    int OnWindowMessage(platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                        platform::LParam lParam) override;
    // Disc time to track and time; 0, or -1 when not open.
    virtual int AbsoluteToTrackTime(uint32_t position, int* track, int* hours, int* minutes, int* seconds,
                                    int* frames);
    // Track time to disc time; 0, or -1 when not open, the track is not on
    // the disc or the offset is not shorter than the track.
    virtual int TrackTimeToAbsolute(uint32_t* position, int track, int hours, int minutes, int seconds,
                                    int frames);

    // Opens the drive (or image) and reads its table of contents.
    CdOpenResult Open(std::string drive);
    // Stops first; kCdStopNotOpen when there is no device.
    CdStopResult Close();
    // Tracks from..to (1 <= from <= to <= count), opening first if needed.
    CdPlayResult Play(int from, int to);
    CdPlayResult PlayTrack(int track) { return Play(track, track); }
    // Packed positions; to = -1 plays to the disc's end; from == to does nothing.
    CdPlayRangeResult PlayDW(uint32_t from, uint32_t to, bool keepRange);
    // kCdStopNotPlaying when nothing plays.
    CdStopResult Stop();
    void SetLoop(bool loop) { loop_ = loop; }
    bool IsPlaying() const { return playing_; }
    // Looping: plays the stored range again; otherwise Stop.
    void Replay();
    // Delivers a finished range noticed while there was no window to post to.
    void PollNotify();

    bool IsOpen() const { return open_; }
    int GetTrackCount() const { return trackCount_; }
    uint32_t GetTrackStart(int track) const;
    uint32_t GetTrackLength(int track) const;
    uint32_t GetTotalLength() const { return totalLength_; }
    int GetDeviceId() const { return deviceId_; }
    const std::string& GetDrive() const { return drive_; }
    // Ranges started so far, replays included (tests).
    int GetPlayCount() const { return playCount_; }

    static uint32_t PackMsf(uint32_t frames);
    static uint32_t UnpackMsf(uint32_t packed);

private:
    void OnFinished();

    std::unique_ptr<platform::cd::CdDevice> device_;
    int deviceId_ = -1;
    bool open_ = false;
    bool playing_ = false;
    bool loop_ = false;
    int trackCount_ = 0;
    uint32_t totalLength_ = 0;
    std::array<uint32_t, 100> trackLength_{};
    std::array<uint32_t, 100> trackStart_{};
    uint32_t rangeStart_ = 0;
    uint32_t rangeEnd_ = 0;
    platform::WindowHandle window_ = nullptr;
    std::string drive_;
    std::atomic<bool> pendingNotify_{false};
    bool listening_ = false;
    int playCount_ = 0;
};
