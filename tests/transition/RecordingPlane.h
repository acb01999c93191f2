#pragma once
// A plane that draws nothing and logs every call a transition makes on it:
// the operation, the source rectangle (if any), the destination point, the
// destination size (if any), the level or factor, and the clip pointer.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "display/PlaneBase.h"
#include "transition/TransitionNameTable.h"

struct PlaneCall {
    std::string op;
    std::optional<Rect> piece;  // null source rectangle: the whole source
    int x = 0;
    int y = 0;
    std::optional<Size> dstSize;
    int level = -1;  // -1 for operations without a level
    const Rect* clip = nullptr;
};

inline std::ostream& operator<<(std::ostream& os, const PlaneCall& c)
{
    os << c.op << " at (" << c.x << ", " << c.y << ")";
    if (c.piece) {
        os << " piece {" << c.piece->left << ", " << c.piece->top << ", " << c.piece->right << ", "
           << c.piece->bottom << "}";
    } else {
        os << " whole source";
    }
    if (c.dstSize) {
        os << " size " << c.dstSize->cx << " x " << c.dstSize->cy;
    }
    if (c.level >= 0) {
        os << " level " << c.level;
    }
    return os;
}

class RecordingPlane : public CPlaneBase {
public:
    RecordingPlane(int width, int height, bool alpha = false) : width_(width), height_(height), alpha_(alpha) {}

    std::vector<PlaneCall> calls;
    int result = 0;  // what every drawing operation answers

    int GetPlaneType() override { return 2; }
    int BltColorKey(CPlaneBase*, int x, int y, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("BltColorKey", x, y, -1, r, s, c);
    }
    int Blt(CPlaneBase*, int x, int y, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("Blt", x, y, -1, r, s, c);
    }
    int BlendBltColorKey(CPlaneBase*, int x, int y, int level, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("BlendBltColorKey", x, y, level, r, s, c);
    }
    int RateBltColorKey(CPlaneBase*, int x, int y, Rates, Rates, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("RateBltColorKey", x, y, -1, r, s, c);
    }
    int BlendBlt(CPlaneBase*, int x, int y, int level, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("BlendBlt", x, y, level, r, s, c);
    }
    int RateBlt(CPlaneBase*, int x, int y, Rates, Rates, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("RateBlt", x, y, -1, r, s, c);
    }
    int AlphaBltLevel(CPlaneBase*, int x, int y, int level, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("AlphaBltLevel", x, y, level, r, s, c);
    }
    int AlphaRateBlt(CPlaneBase*, int x, int y, Rates, Rates, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("AlphaRateBlt", x, y, -1, r, s, c);
    }
    int AlphaBlt(CPlaneBase*, int x, int y, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("AlphaBlt", x, y, -1, r, s, c);
    }
    int AlphaBltFade(CPlaneBase*, int x, int y, int level) override
    {
        return Log("AlphaBltFade", x, y, level, nullptr, nullptr, nullptr);
    }
    int BltLevel(CPlaneBase*, int x, int y, int level, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("BltLevel", x, y, level, r, s, c);
    }
    int BltAuto(CPlaneBase*, int x, int y, const Rect* r, const Size* s, const Rect* c) override
    {
        return Log("BltAuto", x, y, -1, r, s, c);
    }
    int MosaicEffect(int, const Rect*) override { return Log("MosaicEffect", 0, 0, -1, nullptr, nullptr, nullptr); }
    int NegativeEffect(const Rect*) override { return Log("NegativeEffect", 0, 0, -1, nullptr, nullptr, nullptr); }
    void GetSize(int* width, int* height) override
    {
        *width = width_;
        *height = height_;
    }
    bool IsCreated() override { return true; }
    bool HasAlpha() override { return alpha_; }
    int Clear(const Rect*) override { return 0; }
    int LoadFile(const std::string&, int, double) override { return 1; }
    void Release() override {}
    int SetColorKeyRGB(int, int, int) override { return 0; }
    int SetColorKeyByPos(int, int) override { return 0; }
    int Create(int width, int height, int) override
    {
        width_ = width;
        height_ = height;
        return 0;
    }
    int GetAlphaAt(int, int) override { return 0; }

    // The 1:1 pieces drawn with a non-empty source rectangle, as
    // (left, top, width, height) of the source.
    std::vector<Rect> NonEmptyPieces() const
    {
        std::vector<Rect> out;
        for (const PlaneCall& c : calls) {
            if (c.piece && !c.piece->IsEmpty()) {
                out.push_back(*c.piece);
            }
        }
        return out;
    }

private:
    int Log(const char* op, int x, int y, int level, const Rect* r, const Size* s, const Rect* c)
    {
        PlaneCall call;
        call.op = op;
        if (r) {
            call.piece = *r;
        }
        call.x = x;
        call.y = y;
        if (s) {
            call.dstSize = *s;
        }
        call.level = level;
        call.clip = c;
        calls.push_back(call);
        return result;
    }

    int width_;
    int height_;
    bool alpha_;
};

// (left, top, width, height) form, as the effects describe their pieces.
inline Rect Lthw(int left, int top, int width, int height)
{
    return Rect{left, top, left + width, top + height};
}

// Runs transition `name` once, 1:1 at (x, y), mode 0, and returns its calls.
inline std::vector<PlaneCall> Record(TransitionFunc f, int srcW, int srcH, int level, int x = 0, int y = 0,
                                     uint32_t mode = 0, int dstW = 800, int dstH = 600)
{
    RecordingPlane dst(dstW, dstH);
    RecordingPlane src(srcW, srcH);
    f(&dst, &src, x, y, level, mode, 255, nullptr);
    return dst.calls;
}
