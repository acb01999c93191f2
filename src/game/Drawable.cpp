#include "game/Drawable.h"

#include <algorithm>
#include <cstdio>

#include "display/FastPlane.h"
#include "game/GameConfig.h"
#include "game/PictureLoader.h"
#include "platform/MessageBox.h"

CDrawable::CDrawable() = default;

CDrawable::~CDrawable()
{
    // Not through the virtual: a derived part is already gone here.
    DropPlane();
}

void CDrawable::DropPlane()
{
    if (plane_ != shared_.get())
        delete plane_;
    plane_ = nullptr;
    shared_.reset();
}

void CDrawable::BlitByMode(CPlaneBase* target, int32_t x, int32_t y, const Rect* clip)
{
    switch (blitMode_) {
    case kBlitPlain: target->Blt(plane_, x, y, nullptr, nullptr, clip); break;
    case kBlitColorKey: target->BltColorKey(plane_, x, y, nullptr, nullptr, clip); break;
    case kBlitAuto: target->BltAuto(plane_, x, y, nullptr, nullptr, clip); break;
    default: break;
    }
}

int CDrawable::OnDraw(CPlaneBase* target, const Rect* clip)
{
    if (!visible_) {
        state_ = 0;
        return 0;
    }
    state_ = 1;
    if (plane_) {
        const int32_t y = getY(target, plane_);
        const int32_t x = getX(target, plane_);
        BlitByMode(target, x, y, clip);
    }
    return 0;
}

int CDrawable::LoadPicture(std::string name)
{
    name_ = name;
    ReleasePicture();
    plane_ = LoadPictureOrTofu(gConfig.baseDir + name);
    return plane_ ? 0 : 1;
}

int CDrawable::SetPlane(CPlaneBase* plane)
{
    plane_ = plane;
    return 0;
}

int CDrawable::SetName(const std::string& name)
{
    name_ = name;
    return 0;
}

int CDrawable::SetSharedPicture(const std::string& name, std::shared_ptr<CPlaneBase> plane)
{
    name_ = name;
    ReleasePicture();
    shared_ = std::move(plane);
    plane_ = shared_.get();
    return plane_ ? 0 : 1;
}

int CDrawable::ReleasePicture()
{
    DropPlane();
    return 0;
}

int32_t CDrawable::GetState() { return state_; }

int CDrawable::HitTest(CGameKeyInput*, CMouseInput*, int32_t* file, int32_t* offset)
{
    *file = 0;
    *offset = 0;
    return 0;
}

int CDrawable::AddDirtyRects(CPlaneBase* target, RectList* list)
{
    if (!plane_ || state_ == 1)
        return 0;
    list->push_back(PlacedRect(target, plane_));
    return 1;
}

bool CDrawable::OpaqueRect(CPlaneBase*, Rect*) { return false; }

Rect CDrawable::PlacedRect(CPlaneBase* target, CPlaneBase* plane)
{
    int w = 0, h = 0;
    plane->GetSize(&w, &h);
    const int32_t x = getX(target, plane);
    const int32_t y = getY(target, plane);
    return {x, y, x + w, y + h};
}

int CDrawable::IntersectBounds(Rect* r, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    r->left = std::max(r->left, left);
    r->top = std::max(r->top, top);
    r->right = std::min(r->right, right);
    r->bottom = std::min(r->bottom, bottom);
    return 0;
}

void CDrawable::ReportBadAnchor(const char* format, int32_t value)
{
    // The position is asked on every pass of every frame: one box per
    // drawable, or the player could never get past it.
    if (anchorReported_)
        return;
    anchorReported_ = true;
    char message[160];
    std::snprintf(message, sizeof message, format, value);
    platform::ShowMessageBox(message, "えら", platform::MessageBoxKind::Ok);
}

namespace {

// A configured column centres the picture on it; a negative setting falls back.
int32_t Column(int setting, int32_t fallback, int32_t w)
{
    return setting >= 0 ? setting - w / 2 : fallback;
}

}  // namespace

int32_t CDrawable::getX(CPlaneBase* target, CPlaneBase* plane)
{
    if (x_ >= 0)
        return x_;
    int W = 0, H = 0, w = 0, h = 0;
    target->GetSize(&W, &H);
    if (plane)
        plane->GetSize(&w, &h);
    switch (x_) {
    case kAnchorLeft: return 0;
    case kAnchorColumn10: return Column(gConfig.xpos10, (W - w) / 2, w);
    case kAnchorRight: return W - w;
    case kAnchorColumn11: return Column(gConfig.xpos11, W / 3 - w / 2, w);
    case kAnchorColumn12: return Column(gConfig.xpos12, (2 * W) / 3 - w / 2, w);
    case kAnchorColumn13: return Column(gConfig.xpos13, W / 4 - w / 2, w);
    case kAnchorColumn14: return Column(gConfig.xpos14, (W - w) / 2, w);
    case kAnchorColumn15: return Column(gConfig.xpos15, (3 * W) / 4 - w / 2, w);
    default:
        ReportBadAnchor("CDrawable::getXで無効な引数が与えられましたとさ(%d)", x_);
        return 0;
    }
}

int32_t CDrawable::getY(CPlaneBase* target, CPlaneBase* plane)
{
    if (y_ >= 0)
        return y_;
    int W = 0, H = 0, w = 0, h = 0;
    target->GetSize(&W, &H);
    if (plane)
        plane->GetSize(&w, &h);
    switch (y_) {
    case kAnchorTop: return 0;
    case kAnchorMiddle: return (H - h) / 2;
    case kAnchorBottom: return H - h;
    default:
        ReportBadAnchor("CDrawable::getYで無効な引数が与えられましたとさ(%d)", y_);
        return 0;
    }
}
