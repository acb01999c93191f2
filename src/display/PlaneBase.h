#pragma once
// CPlaneBase: the abstract plane interface shared by the display surfaces
// (CFastPlane, type 3) and the 32-bit software planes (CSoftPlane, type 2).
//
// The virtual operations keep the order the rest of the program relies on:
// destructor, GetPlaneType, BltColorKey, Blt, BlendBltColorKey, RateBltColorKey,
// BlendBlt, RateBlt, AlphaBltLevel, AlphaRateBlt, AlphaBlt, AlphaBltFade,
// MosaicEffect, NegativeEffect, GetSize, IsCreated, HasAlpha, Clear, BltLevel,
// BltAuto, BltWithAnchor, LoadFile, LoadTwoFiles, Release, SetColorKeyRGB,
// SetColorKeyByPos, Create, GetAlphaAt.
//
// Blit arguments, in this order: the source plane, x and y (where the source
// rectangle's top-left corner lands), then srcRect (null: the whole source),
// dstSize (null: no stretch) and clip (null: the destination's whole plane).
// Blit results: PlaneResult below.
#include <cstdint>
#include <string>

#include "frame/Rect.h"

// Results of the drawing operations.
enum PlaneResult : int {
    kPlaneDone = 0,          // drawn, or clipping left nothing to draw
    kPlaneNotLocked = 1,     // a surface was not created or could not be locked
    kPlaneFormatPair = 2,    // the pair of pixel formats is not supported
};
const char* ToString(PlaneResult result);

// Packed per-channel weights 0x00RRGGBB, each applied as weight / 256.
using Rates = uint32_t;

class CPlaneBase {
public:
    virtual ~CPlaneBase() = default;

    // 3 for a display plane, 2 for a software plane.
    virtual int GetPlaneType() = 0;

    // Copies, skipping source pixels equal to the source's colour key.
    virtual int BltColorKey(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr,
                            const Size* dstSize = nullptr, const Rect* clip = nullptr) = 0;
    // Copies.
    virtual int Blt(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr,
                    const Size* dstSize = nullptr, const Rect* clip = nullptr) = 0;
    // Constant blend by level 0-255 (0 nothing, 255 the source), keyed pixels skipped.
    virtual int BlendBltColorKey(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                                 const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // d = d * dstRate + s * srcRate per channel, keyed pixels skipped.
    virtual int RateBltColorKey(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate,
                                const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                const Rect* clip = nullptr) = 0;
    // Constant blend by level 0-255.
    virtual int BlendBlt(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                         const Size* dstSize = nullptr, const Rect* clip = nullptr);
    virtual int RateBlt(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate,
                        const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                        const Rect* clip = nullptr) = 0;
    // Per-pixel alpha scaled by a level 0-255.
    virtual int AlphaBltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                              const Size* dstSize = nullptr, const Rect* clip = nullptr);
    virtual int AlphaRateBlt(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate,
                             const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                             const Rect* clip = nullptr) = 0;
    // Blends by the source's per-pixel alpha.
    virtual int AlphaBlt(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr,
                         const Size* dstSize = nullptr, const Rect* clip = nullptr) = 0;
    virtual int AlphaBltFade(CPlaneBase* src, int x, int y, int level) = 0;
    virtual int MosaicEffect(int blockSize, const Rect* rect = nullptr) = 0;
    virtual int NegativeEffect(const Rect* rect = nullptr) = 0;
    // Stores the plane's size in pixels (0 x 0 without surface).
    virtual void GetSize(int* width, int* height) = 0;
    // True when the plane has a surface.
    virtual bool IsCreated() = 0;
    // True when the plane's pixels carry alpha.
    virtual bool HasAlpha() = 0;
    // Fills the rectangle (null: the whole plane) with the plane's fill colour.
    virtual int Clear(const Rect* rect = nullptr) = 0;
    // 255 or more: BltAuto; below, AlphaBltLevel for a source with alpha, else BlendBltColorKey.
    virtual int BltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                         const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // AlphaBlt when the source has alpha, else BltColorKey.
    virtual int BltAuto(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr,
                        const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // (x, y) names the source corner the anchor selects; -1 for a null source.
    virtual int BltWithAnchor(CPlaneBase* src, int x, int y, int anchor, int level);
    // Loads a picture into the plane; 0 on success, else the failing step.
    virtual int LoadFile(const std::string& name, int flag = 0, double scalePercent = 100.0) = 0;
    // Not supported by any plane: returns 1.
    virtual int LoadTwoFiles(const std::string& name, const std::string& alphaName);
    virtual void Release() = 0;
    virtual int SetColorKeyRGB(int r, int g, int b) = 0;
    // Takes the key from the pixel at (x, y); 1 when outside the plane.
    virtual int SetColorKeyByPos(int x, int y) = 0;
    // Makes a blank surface; 0 on success.
    virtual int Create(int width, int height, int flag = 0) = 0;
    // Alpha 0-255 at (x, y); 0 outside.
    virtual int GetAlphaAt(int x, int y) = 0;

    // The level forms' shared rule: level L becomes the rates
    // (0xFFFFFF - L * 0x010101, L * 0x010101).
    static void LevelToRates(int level, Rates* dstRate, Rates* srcRate);

    // True for a display plane (a CFastPlane): GetPlaneType() == 3 without a
    // virtual call, for the display planes' per-piece paths.
    bool IsDisplayPlane() const { return displayPlane_; }

private:
    friend class CFastPlane;  // the only one to set it
    bool displayPlane_ = false;
};
