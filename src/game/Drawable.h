#pragma once
// CDrawable: everything the draw queue draws. A picture plane placed at a
// position (a coordinate of 0 or more, or a negative anchor code) and drawn by
// one of three blit modes; its state field drives the dirty-rectangle scheme
// of the frame's two passes (see DrawFrame.h):
//   pass 1  AddDirtyRects on every drawable in key order, then the list is merged
//   pass 2  BeginDraw, OnDraw once per rectangle of the list, EndDraw
// A plain drawable marks its rectangle once (state 0), draws (state 1) and is
// then redrawn only where others' rectangles cross it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame/Rect.h"

class CPlaneBase;
class CFastPlane;
class CGameKeyInput;
class CMouseInput;

using RectList = std::vector<Rect>;

// Anchor codes of x and y (negative coordinates).
constexpr int32_t kAnchorLeft = -40;
constexpr int32_t kAnchorColumn10 = -39;  // "xpos10", else centred
constexpr int32_t kAnchorRight = -38;
constexpr int32_t kAnchorColumn11 = -37;
constexpr int32_t kAnchorColumn12 = -36;
constexpr int32_t kAnchorColumn13 = -35;
constexpr int32_t kAnchorColumn14 = -34;
constexpr int32_t kAnchorColumn15 = -33;
constexpr int32_t kAnchorTop = -20;
constexpr int32_t kAnchorMiddle = -19;
constexpr int32_t kAnchorBottom = -18;

// Blit modes.
constexpr int32_t kBlitPlain = 0;
constexpr int32_t kBlitColorKey = 1;
constexpr int32_t kBlitAuto = 2;

class CDrawable {
public:
    CDrawable();
    // Releases the picture.
    virtual ~CDrawable();
    CDrawable(const CDrawable&) = delete;
    CDrawable& operator=(const CDrawable&) = delete;

    // Draws into target within clip when visible (state 1); hidden: state 0,
    // nothing drawn. 0.
    virtual int OnDraw(CPlaneBase* target, const Rect* clip);
    // Stores the name, releases the old picture and loads base directory +
    // name through LoadPictureOrTofu (a missing file gives the placeholder).
    // 0 when a plane came back, 1 when none did.
    virtual int LoadPicture(std::string name);
    // Attaches plane (owned from now on); the previous one is neither released
    // nor deleted. 0.
    virtual int SetPlane(CPlaneBase* plane);
    // Stores the name, releases the old picture and draws plane, held jointly
    // with whoever else shows the same picture (it is only read, never drawn
    // on). 0, or 1 for a null plane.
    int SetSharedPicture(const std::string& name, std::shared_ptr<CPlaneBase> plane);
    // Stores the name only. 0.
    virtual int SetName(const std::string& name);
    // Deletes the plane (a shared one is let go). 0.
    virtual int ReleasePicture();
    virtual int32_t GetState();
    virtual int Reserved() { return 0; }
    // No link here: both outputs 0, returns 0.
    virtual int HitTest(CGameKeyInput* keys, CMouseInput* mouse, int32_t* file, int32_t* offset);
    virtual int AdjustFrame() { return 0; }
    // Appends this drawable's rectangle while it has a plane and is not in
    // state 1; 1 when something was appended, else 0.
    virtual int AddDirtyRects(CPlaneBase* target, RectList* list);
    // Intersects r with the given edges. 0.
    virtual int IntersectBounds(Rect* r, int32_t left, int32_t top, int32_t right, int32_t bottom);
    virtual void BeginDraw() {}
    virtual void EndDraw() {}
    // The rectangle of target that this frame's OnDraw will overwrite in full
    // whatever lies below it, asked before this frame's BeginDraw; false when
    // it may leave any pixel to what is below (here: always, since only a
    // drawable that knows its own drawing can promise).
    virtual bool OpaqueRect(CPlaneBase* target, Rect* covered);

    // The left and top edges on target, anchors resolved. A bad anchor tells
    // the player once per drawable and gives 0.
    int32_t getX(CPlaneBase* target, CPlaneBase* plane);
    int32_t getY(CPlaneBase* target, CPlaneBase* plane);
    void SetPos(int32_t x, int32_t y)
    {
        x_ = x;
        y_ = y;
    }
    void GetPos(int32_t* x, int32_t* y) const
    {
        *x = x_;
        *y = y_;
    }
    CPlaneBase* GetPlane() const { return plane_; }
    const std::string& GetName() const { return name_; }
    void SetVisible(bool visible) { visible_ = visible ? 1 : 0; }
    bool IsVisible() const { return visible_ != 0; }
    void SetBlitMode(int32_t mode) { blitMode_ = mode; }
    int32_t GetBlitMode() const { return blitMode_; }

protected:
    // The rectangle plane covers on target at this drawable's position.
    Rect PlacedRect(CPlaneBase* target, CPlaneBase* plane);
    // Draws the plane at (x, y) by the blit mode, within clip.
    void BlitByMode(CPlaneBase* target, int32_t x, int32_t y, const Rect* clip);
    void ReportBadAnchor(const char* format, int32_t value);
    // Deletes an owned plane or lets a shared one go.
    void DropPlane();

    std::string name_;
    uint8_t visible_ = 1;
    CPlaneBase* plane_ = nullptr;
    std::shared_ptr<CPlaneBase> shared_;  // holds plane_ when it came from SetSharedPicture
    int32_t x_ = 0;
    int32_t y_ = 0;
    int32_t state_ = 0;
    int32_t blitMode_ = kBlitPlain;
    bool anchorReported_ = false;
};
