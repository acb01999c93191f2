#pragma once
// CPlaneAVI: the video of a decoded movie. It decodes frames up to the
// owner's clock into its frame plane and, as an overlay hook, draws that
// plane over every presented frame with the owner's draw geometry.
#include <cstdint>
#include <memory>
#include <string>

#include "display/FastPlane.h"
#include "display/OverlayHook.h"

namespace platform::media {
class MovieDecoder;
}
class CMovieAVI;

class CPlaneAVI : public COverlayHook {
public:
    // Registers as an overlay hook (main thread).
    explicit CPlaneAVI(CMovieAVI* owner);
    ~CPlaneAVI() override;

    // Opens the file's video (a host path) and makes the frame plane at the
    // movie's size; -1 when there is no decodable video or no plane.
    int Open(const std::string& hostPath);
    // Decodes up to the owner's position and copies the frame due then into
    // the frame plane. 0; 1 when the frame could not be copied.
    int UpdateFrame();
    // Start time of the frame shown (-1 before the first).
    int64_t GetShownMs() const { return shownMs_; }
    // Movie time (ms) at which the last frame ends; -1 until decoding has
    // reached the end of the video.
    int64_t GetEndMs() const { return endMs_; }
    int64_t GetLengthMs() const;
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    CFastPlane* GetFramePlane() { return &frame_; }
    // Copies the frame plane into the copy plane; null when it cannot.
    CFastPlane* CopyFrame();

    void DrawToPlane(CFastDraw* draw) override;

private:
    // Puts the decoder's last frame into the plane; false when it cannot.
    bool ShowDecodedFrame();

    // Back to the frame at or before ms.
    void Seek(int64_t ms);

    CMovieAVI* owner_;
    std::unique_ptr<platform::media::MovieDecoder> decoder_;
    CFastPlane frame_;
    CFastPlane copy_;
    int width_ = 0;
    int height_ = 0;
    int64_t shownMs_ = -1;
    int64_t clockMs_ = -1;  // the clock at the last update
    int64_t pendingMs_ = 0;
    bool pending_ = false;  // a decoded frame not due yet waits in the decoder
    int64_t endMs_ = -1;
};
