#pragma once
// CD audio on libcdio: a real drive or a CUE/BIN image, its table of
// contents, and playback of a range of audio sectors through our mixer on
// the CD line. Positions are absolute frames (75 a second) counted as the
// disc's minute:second:frame addresses are, so track 1 usually starts at 150.
//
// Which disc a drive name means: a name registered with SetCdImage (or, for
// any drive, the environment variable LANTERN_CD_IMAGE naming a .cue file)
// is that image; an empty name is the system's default drive; a letter
// "D", "E", ... is the first, second, ... drive the system lists.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform::cd {

constexpr uint32_t kFramesPerSecond = 75;
constexpr uint32_t kLeadIn = 150;  // frames before the first track's address 0

struct CdTrack {
    uint32_t start = 0;   // absolute frame
    uint32_t length = 0;  // frames
    bool audio = true;
};

// The letters ("D", "E", ...) of the drives the system lists.
std::vector<std::string> ListDrives();
// Makes the drive name stand for a CUE/BIN (or other libcdio) image; an
// empty path removes the mapping.
void SetCdImage(const std::string& drive, const std::string& imagePath);

class CdDevice {
public:
    // Null when the drive or image cannot be opened or holds no disc.
    static std::unique_ptr<CdDevice> Open(const std::string& drive);
    virtual ~CdDevice() = default;

    // Tracks in disc order (track n at index n - 1).
    virtual const std::vector<CdTrack>& Tracks() const = 0;
    // Absolute frame of the lead-out (the disc's end).
    virtual uint32_t LeadOut() const = 0;

    // Plays absolute frames [from, to) (to 0: to the disc's end) through the
    // mixer, replacing any playback; false when the range is empty or outside
    // the disc, or the output cannot be made.
    virtual bool Play(uint32_t from, uint32_t to) = 0;
    // Stops playback where it is; no finish is reported for it.
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
    // Called once on the feeder thread when a range has played to its end.
    virtual void SetFinishedCallback(std::function<void()> callback) = 0;
    // The current play position (absolute frame); 0 when nothing plays.
    virtual uint32_t GetPosition() const = 0;
};

}  // namespace platform::cd
