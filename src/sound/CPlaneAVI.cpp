#include "sound/CPlaneAVI.h"

#include "display/FastDraw.h"
#include "display/PixelFormat.h"
#include "frame/ErrorLog.h"
#include "platform/MovieDecoder.h"
#include "sound/CMovieAVI.h"

namespace {

// A jump forward by more than this re-seeks instead of decoding every frame
// in between.
constexpr int64_t kSeekAheadMs = 2000;

}  // namespace

CPlaneAVI::CPlaneAVI(CMovieAVI* owner) : owner_(owner) {}

CPlaneAVI::~CPlaneAVI() = default;

int CPlaneAVI::Open(const std::string& hostPath)
{
    decoder_ = platform::media::MovieDecoder::Open(hostPath);
    if (!decoder_) {
        return -1;
    }
    width_ = decoder_->Width();
    height_ = decoder_->Height();
    if (frame_.Create(width_, height_) != 0 || copy_.Create(width_, height_) != 0) {
        decoder_.reset();
        return -1;
    }
    frame_.SetLockFlag(1);
    frame_.Clear(nullptr);
    return 0;
}

int64_t CPlaneAVI::GetLengthMs() const
{
    return decoder_ ? decoder_->GetDurationMs() : -1;
}

void CPlaneAVI::Seek(int64_t ms)
{
    pending_ = false;
    endMs_ = -1;
    shownMs_ = -1;
    if (!decoder_->Seek(ms)) {
        // No way back: the video ends on the frame already shown.
        endMs_ = ms;
    }
}

int CPlaneAVI::UpdateFrame()
{
    if (!decoder_) {
        return 0;
    }
    const int64_t now = owner_->GetPosition();
    // The clock going back (Play, SetPosition) or far ahead re-seeks; a
    // first frame stamped later than the clock must not.
    if (clockMs_ >= 0 && (now < clockMs_ || now - clockMs_ > kSeekAheadMs)) {
        Seek(now);
    }
    clockMs_ = now;
    int result = 0;
    // Every frame that is due is decoded (later frames depend on it); each one
    // due replaces the previous in the plane, so a late clock skips frames.
    while (endMs_ < 0) {
        if (!pending_) {
            int64_t start = 0;
            if (!decoder_->NextFrame(&start)) {
                endMs_ = (shownMs_ < 0 ? now : shownMs_) + decoder_->GetFrameMs();
                break;
            }
            pending_ = true;
            pendingMs_ = start;
        }
        if (pendingMs_ > now && shownMs_ >= 0) {
            break;
        }
        // The first frame shows at once even if its time stamp is late.
        if (!ShowDecodedFrame()) {
            gErrorLog.Print("CPlaneAVI: GetDC error");
            result = 1;
        }
        shownMs_ = pendingMs_;
        pending_ = false;
    }
    return result;
}

bool CPlaneAVI::ShowDecodedFrame()
{
    // A 32-bit plane in the decoder's own layout takes the frame straight
    // into its memory; any other is converted from the decoder's copy.
    const SurfaceView v = frame_.GetSurfaceView();
    if (frame_.GetPixelFormat() == pixfmt::kBGRX32 && frame_.IsLockFree() && v.pitch >= width_ * 4) {
        return decoder_->ConvertInto(v.pixels, v.pitch);
    }
    const uint8_t* pixels = decoder_->Pixels();
    return pixels && frame_.BltFromFrame(pixels, decoder_->Pitch(), width_, height_, pixfmt::kBGRX32) == 0;
}

CFastPlane* CPlaneAVI::CopyFrame()
{
    if (!decoder_) {
        return nullptr;
    }
    return copy_.Blt(&frame_, 0, 0) == 0 ? &copy_ : nullptr;
}

void CPlaneAVI::DrawToPlane(CFastDraw* draw)
{
    MovieDrawPos* pos = owner_->GetDrawPos();
    if (!draw || !decoder_ || !pos || !pos->enabled) {
        return;
    }
    UpdateFrame();
    CFastPlane* back = draw->GetBackPlane();
    Rect source;
    Rect target;
    if (!back || !owner_->GetFrameGeometry(width_, height_, &source, &target)) {
        return;
    }
    const Size size{target.Width(), target.Height()};
    back->Blt(&frame_, target.left, target.top, &source, &size);
}
