#include "sound/CMovieFront.h"

#include <algorithm>

#include "sound/CMovieAVI.h"
#include "sound/CMovieNull.h"

int32_t gMovieMode = 1;
uint8_t gDirectShowAvailable = 0;

CMovieFront::CMovieFront()
{
    switch (gMovieMode) {
    case 0: backEnd_ = std::make_unique<CMovieNull>(); break;
    // No stream player exists here (gDirectShowAvailable stays 0): mode 1
    // takes its fallback, the decoding back-end, as mode 2 does.
    case 1:
    case 2: backEnd_ = std::make_unique<CMovieAVI>(); break;
    default: break;
    }
}

CMovieFront::~CMovieFront() = default;

// Without a back-end the front answers as CMovieNull would for a movie that
// never opened, so the frame loop ends it at the next frame.
int CMovieFront::Open(const char* name) { return backEnd_ ? backEnd_->Open(name) : -1; }
int CMovieFront::Close() { return backEnd_ ? backEnd_->Close() : 0; }
int CMovieFront::Play() { return backEnd_ ? backEnd_->Play() : -1; }
int CMovieFront::Resume() { return backEnd_ ? backEnd_->Resume() : -1; }
int CMovieFront::Stop() { return backEnd_ ? backEnd_->Stop() : -1; }
int CMovieFront::Pause() { return backEnd_ ? backEnd_->Pause() : -1; }
bool CMovieFront::IsPlaying() { return backEnd_ && backEnd_->IsPlaying(); }
bool CMovieFront::GetLoop() { return backEnd_ && backEnd_->GetLoop(); }
int CMovieFront::SetLoop(bool loop) { return backEnd_ ? backEnd_->SetLoop(loop) : -1; }
int CMovieFront::GetPosition() { return backEnd_ ? backEnd_->GetPosition() : -1; }
int CMovieFront::SetPosition(int ms) { return backEnd_ ? backEnd_->SetPosition(ms) : -1; }
int CMovieFront::GetLength() { return backEnd_ ? backEnd_->GetLength() : -1; }
int CMovieFront::SetVolume(int volume) { return backEnd_ ? backEnd_->SetVolume(volume) : -1; }
int CMovieFront::GetVolume() { return backEnd_ ? backEnd_->GetVolume() : -10000; }

void CMovieFront::SetDrawPos(int x, int y)
{
    if (backEnd_) {
        backEnd_->SetDrawPos(x, y);
    }
}
MovieDrawPos* CMovieFront::GetDrawPos() { return backEnd_ ? backEnd_->GetDrawPos() : nullptr; }
CFastPlane* CMovieFront::GetPlane() { return backEnd_ ? backEnd_->GetPlane() : nullptr; }
CFastPlane* CMovieFront::GetPlaneCopy() { return backEnd_ ? backEnd_->GetPlaneCopy() : nullptr; }
void CMovieFront::SetDrawSize(int width, int height, int stretch)
{
    if (backEnd_) {
        backEnd_->SetDrawSize(width, height, stretch);
    }
}
uint8_t* CMovieFront::GetAspectFlag() { return backEnd_ ? backEnd_->GetAspectFlag() : nullptr; }
uint8_t* CMovieFront::GetCenterFlag() { return backEnd_ ? backEnd_->GetCenterFlag() : nullptr; }
bool CMovieFront::HasAudio() { return backEnd_ && backEnd_->HasAudio(); }
bool CMovieFront::HasVideo() { return backEnd_ && backEnd_->HasVideo(); }

bool MovieFrameGeometry(int mw, int mh, int x, int y, int dw, int dh, bool stretch, bool keepAspect,
                        bool center, Rect* source, Rect* target)
{
    if (mw <= 0 || mh <= 0 || dw <= 0 || dh <= 0) {
        return false;
    }
    if (stretch) {
        int tw = dw;
        int th = dh;
        if (keepAspect) {
            const double wide = static_cast<double>(mw) / mh * dh;
            if (wide <= dw) {
                tw = static_cast<int>(wide);
            } else {
                th = static_cast<int>(static_cast<int64_t>(mh) * dw / mw);
            }
        }
        const int ox = center ? (dw - tw) / 2 : 0;
        const int oy = center ? (dh - th) / 2 : 0;
        *source = Rect{0, 0, mw, mh};
        *target = Rect{x + ox, y + oy, x + ox + tw, y + oy + th};
        return tw > 0 && th > 0;
    }
    if (mw <= dw && mh <= dh) {
        const int ox = center ? (dw - mw) / 2 : 0;
        const int oy = center ? (dh - mh) / 2 : 0;
        *source = Rect{0, 0, mw, mh};
        *target = Rect{x + ox, y + oy, x + ox + mw, y + oy + mh};
        return true;
    }
    // A frame larger than the draw size is cut to its top-left part.
    const int cw = std::min(mw, dw);
    const int ch = std::min(mh, dh);
    *source = Rect{0, 0, cw, ch};
    *target = Rect{x, y, x + cw, y + ch};
    return true;
}
