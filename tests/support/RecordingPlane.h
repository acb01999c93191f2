#pragma once
// The tests' one plane double: a plane of the plane interface that draws
// nothing and logs every drawing call made on it (the operation, the source
// plane and rectangle, the destination point and size, the level or rates,
// the clip). It can instead hand each call on to a real plane, and can leave
// chosen level forms to CPlaneBase's own forwarding, whose rules are then
// what gets logged.
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "display/PlaneBase.h"

struct PlaneCall {
    std::string op;
    CPlaneBase* src = nullptr;
    std::optional<Rect> piece;  // null source rectangle: the whole source
    int x = 0;
    int y = 0;
    std::optional<Size> dstSize;
    int level = -1;  // -1 for operations without a level
    Rates dstRate = 0;
    Rates srcRate = 0;
    const Rect* clip = nullptr;
    std::optional<Rect> clipRect;  // a copy of *clip
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
    RecordingPlane(int width = 10, int height = 6, bool alpha = false)
        : width_(width), height_(height), alpha_(alpha)
    {
    }

    std::vector<PlaneCall> calls;
    int result = 0;                      // what every logged drawing call answers
    CPlaneBase* target = nullptr;        // when set, calls go on to it and it answers
    std::set<std::string> baseForwards;  // level forms left to CPlaneBase ("BlendBlt", ...)
    int alphaAt = 255;                   // GetAlphaAt's answer
    bool record = true;                  // false: only hand calls on to the target

    // The operations in order.
    std::vector<std::string> Ops() const
    {
        std::vector<std::string> out;
        for (const PlaneCall& c : calls) {
            out.push_back(c.op);
        }
        return out;
    }
    // The 1:1 pieces drawn with a non-empty source rectangle.
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

    int GetPlaneType() override { return target ? target->GetPlaneType() : 2; }
    int BltColorKey(CPlaneBase* s, int x, int y, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        Log("BltColorKey", s, x, y, -1, r, z, c);
        return target ? target->BltColorKey(s, x, y, r, z, c) : result;
    }
    int Blt(CPlaneBase* s, int x, int y, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        Log("Blt", s, x, y, -1, r, z, c);
        return target ? target->Blt(s, x, y, r, z, c) : result;
    }
    int BlendBltColorKey(CPlaneBase* s, int x, int y, int l, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        if (baseForwards.count("BlendBltColorKey")) {
            return CPlaneBase::BlendBltColorKey(s, x, y, l, r, z, c);
        }
        Log("BlendBltColorKey", s, x, y, l, r, z, c);
        return target ? target->BlendBltColorKey(s, x, y, l, r, z, c) : result;
    }
    int RateBltColorKey(CPlaneBase* s, int x, int y, Rates d, Rates a, const Rect* r = nullptr,
                        const Size* z = nullptr, const Rect* c = nullptr) override
    {
        Log("RateBltColorKey", s, x, y, -1, r, z, c, d, a);
        return target ? target->RateBltColorKey(s, x, y, d, a, r, z, c) : result;
    }
    int BlendBlt(CPlaneBase* s, int x, int y, int l, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        if (baseForwards.count("BlendBlt")) {
            return CPlaneBase::BlendBlt(s, x, y, l, r, z, c);
        }
        Log("BlendBlt", s, x, y, l, r, z, c);
        return target ? target->BlendBlt(s, x, y, l, r, z, c) : result;
    }
    int RateBlt(CPlaneBase* s, int x, int y, Rates d, Rates a, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        Log("RateBlt", s, x, y, -1, r, z, c, d, a);
        return target ? target->RateBlt(s, x, y, d, a, r, z, c) : result;
    }
    int AlphaBltLevel(CPlaneBase* s, int x, int y, int l, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        if (baseForwards.count("AlphaBltLevel")) {
            return CPlaneBase::AlphaBltLevel(s, x, y, l, r, z, c);
        }
        Log("AlphaBltLevel", s, x, y, l, r, z, c);
        return target ? target->AlphaBltLevel(s, x, y, l, r, z, c) : result;
    }
    int AlphaRateBlt(CPlaneBase* s, int x, int y, Rates d, Rates a, const Rect* r = nullptr,
                     const Size* z = nullptr, const Rect* c = nullptr) override
    {
        Log("AlphaRateBlt", s, x, y, -1, r, z, c, d, a);
        return target ? target->AlphaRateBlt(s, x, y, d, a, r, z, c) : result;
    }
    int AlphaBlt(CPlaneBase* s, int x, int y, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        Log("AlphaBlt", s, x, y, -1, r, z, c);
        return target ? target->AlphaBlt(s, x, y, r, z, c) : result;
    }
    int AlphaBltFade(CPlaneBase* s, int x, int y, int l) override
    {
        Log("AlphaBltFade", s, x, y, l, nullptr, nullptr, nullptr);
        return target ? target->AlphaBltFade(s, x, y, l) : result;
    }
    int BltLevel(CPlaneBase* s, int x, int y, int l, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        if (baseForwards.count("BltLevel")) {
            return CPlaneBase::BltLevel(s, x, y, l, r, z, c);
        }
        Log("BltLevel", s, x, y, l, r, z, c);
        return target ? target->BltLevel(s, x, y, l, r, z, c) : result;
    }
    int BltAuto(CPlaneBase* s, int x, int y, const Rect* r = nullptr, const Size* z = nullptr, const Rect* c = nullptr) override
    {
        if (baseForwards.count("BltAuto")) {
            return CPlaneBase::BltAuto(s, x, y, r, z, c);
        }
        Log("BltAuto", s, x, y, -1, r, z, c);
        return target ? target->BltAuto(s, x, y, r, z, c) : result;
    }
    int MosaicEffect(int b, const Rect* r) override
    {
        Log("MosaicEffect", nullptr, 0, 0, -1, nullptr, nullptr, nullptr);
        return target ? target->MosaicEffect(b, r) : result;
    }
    int NegativeEffect(const Rect* r) override
    {
        Log("NegativeEffect", nullptr, 0, 0, -1, nullptr, nullptr, nullptr);
        return target ? target->NegativeEffect(r) : result;
    }
    void GetSize(int* w, int* h) override
    {
        if (target) {
            target->GetSize(w, h);
            return;
        }
        *w = width_;
        *h = height_;
    }
    bool IsCreated() override { return target ? target->IsCreated() : width_ > 0; }
    bool HasAlpha() override { return target ? target->HasAlpha() : alpha_; }
    int Clear(const Rect* r) override { return target ? target->Clear(r) : 0; }
    int LoadFile(const std::string& n, int f, double s) override { return target ? target->LoadFile(n, f, s) : 1; }
    void Release() override
    {
        if (target) {
            target->Release();
        }
    }
    int SetColorKeyRGB(int r, int g, int b) override { return target ? target->SetColorKeyRGB(r, g, b) : 0; }
    int SetColorKeyByPos(int x, int y) override { return target ? target->SetColorKeyByPos(x, y) : 0; }
    int Create(int w, int h, int f) override
    {
        if (target) {
            return target->Create(w, h, f);
        }
        width_ = w;
        height_ = h;
        return 0;
    }
    int GetAlphaAt(int x, int y) override { return target ? target->GetAlphaAt(x, y) : alphaAt; }

private:
    void Log(const char* op, CPlaneBase* s, int x, int y, int level, const Rect* r, const Size* z, const Rect* c,
             Rates d = 0, Rates a = 0)
    {
        if (!record) {
            return;
        }
        PlaneCall call;
        call.op = op;
        call.src = s;
        if (r) {
            call.piece = *r;
        }
        call.x = x;
        call.y = y;
        if (z) {
            call.dstSize = *z;
        }
        call.level = level;
        call.dstRate = d;
        call.srcRate = a;
        call.clip = c;
        if (c) {
            call.clipRect = *c;
        }
        calls.push_back(call);
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
