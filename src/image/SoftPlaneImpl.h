#pragma once
// CSoftPlaneImpl: the pixels of a software plane and the operations on them.
// CSoftPlane (the handle) forwards here; the concrete class, chosen once by
// processor class, supplies the pixel kernels (set A: plain integer code,
// sets B and C: SIMD).
//
// Sections: data | lifetime and pixels | blit set-up | kernels | level forms
// and effects | loading (SoftPlaneLoad.cpp).
//
// Pixels are 32-bit 0xAARRGGBB (bytes blue, green, red, alpha), rows top-down,
// pitch = width * 4, the block aligned to 16 bytes. The alpha byte means
// opacity only while the alpha flag is set.
//
// Kernels return 0 whether or not anything was drawn. Their source is a
// software plane; the handle refuses any other with 2 before calling them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/PlaneBase.h"
#include "display/SurfaceView.h"
#include "frame/PixelMemory.h"
#include "image/DIBSection.h"
#include "image/SoftPlaneLoadResult.h"

class CSoftPlane;
class CSoftPlaneImpl;
class DisplacementMap;

// The blit work area: what PrepareBlt / PrepareBltEx leave for the kernels.
// The destination rectangle is already clipped. For a 1:1 blit the source
// rectangle maps pixel for pixel (mirrored blits read each row from sr - 1
// leftwards). For a stretch every destination offset samples the source by one
// rule, so a clipped blit draws exactly the matching part of the unclipped one:
// the steppers below hold the state at the first drawn pixel.
// A quadrilateral's corner.
struct QuadPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct BltWork {
    int sl = 0, st = 0, sr = 0, sb = 0;  // source rectangle (after clipping)
    int dl = 0, dt = 0, dr = 0, db = 0;  // destination rectangle (after clipping)
    bool same = true;                    // 1:1 (no stretch)
    // Stretch stepping, per axis: index of the first source column / row,
    // whole step, remainder added to the error term per pixel, the term's
    // divisor, and the term itself (always negative between pixels).
    int x0 = 0, stepX = 0, remX = 0, dwX = 0, exX = 0;
    int y0 = 0, stepY = 0, remY = 0, dhY = 0, exY = 0;
};

// Kernel identifiers, in table order; the mirrored twins follow the direct ones.
enum class SoftKernel : int {
    BltColorKey, Blt, HalfBltColorKey, HalfBlt, RateBltColorKey, RateBlt,
    AddBltColorKey, AddBlt, SubBltColorKey, SubBlt, BltColorKeyClearAlpha, BltClearAlpha,
    AlphaRateBlt, AlphaBlt, BltColorKeyKeepAlpha, BltKeepAlpha,
};

class CSoftPlaneImpl {
public:
    CSoftPlaneImpl();
    virtual ~CSoftPlaneImpl();
    CSoftPlaneImpl(const CSoftPlaneImpl&) = delete;
    CSoftPlaneImpl& operator=(const CSoftPlaneImpl&) = delete;

    // ---- lifetime and pixels -------------------------------------------------
    // Releases, then makes an uncleared w x h picture. 0 ok; 1 for a size
    // outside 1..kMaxPictureSide or too many bytes (the plane stays empty).
    int Create(int width, int height);
    // Create, then Clear(-1, null); Create's failure unchanged.
    int CreateCleared(int width, int height);
    // With the flag set the pixels can also be drawn into through GetDC().
    void SetUseDIBSection(bool use) { useDIB_ = use; }
    bool GetUseDIBSection() const { return useDIB_; }
    // The pixels as a drawing target; a null view without the DIB flag or pixels.
    DibView GetDC() const;
    // Frees the pixels; clears the loaded and alpha flags.
    void Release();
    // Gives the memory block holding the pixels away and releases the plane
    // (even with keep set): the pixels GetPixels() showed stay valid inside
    // the returned block, rows GetPitch() apart. Null without pixels. Lets a
    // display plane take a decoded picture over without copying it.
    PixelMemory TakeMemory();
    // With keep set, Release only forgets the pixels and the next Create of
    // a picture that fits reuses their memory (for a plane that is loaded
    // again and again, such as the display planes' decoding plane).
    void SetKeepMemory(bool keep) { keepMemory_ = keep; }
    bool GetLoadedFlag() const { return loaded_; }
    // colour -1 means the fill colour. The rectangle (null: whole plane) is
    // clipped to the plane. 1 without pixels, else 0.
    int Clear(int64_t colour, const Rect* rect);
    int SetColorKeyRGB(int r, int g, int b);
    // Key := pixel (x, y) & 0xFFFFFF; 1 (key kept) when outside.
    int SetColorKeyPos(int x, int y);
    uint32_t GetColorKey() const { return colorKey_; }
    void SetFillColor(uint32_t colour) { fillColor_ = colour; }
    // The pixel at (x, y), 0 outside.
    uint32_t GetPixel(int x, int y) const;
    // (0, 0) without pixels.
    void GetSize(int* width, int* height) const;
    const Rect* GetRect() const { return &rect_; }
    uint32_t* GetPixels() const { return pixels_; }
    int GetPitch() const { return pitch_; }
    uint32_t* GetRow(int y) const { return rows_[static_cast<size_t>(y)]; }
    // The descriptor the display core's blitters read: present 1 with pixels,
    // pitch and rectangle while the plane has pixels, all zero otherwise.
    PlaneBits GetPlaneBits() const
    {
        return pixels_ ? PlaneBits{1, reinterpret_cast<uint8_t*>(pixels_), pitch_, rect_, 0, 0} : PlaneBits{};
    }
    // Sets every alpha byte to 0.
    void ClearAlpha();
    // True when the last load or ClearAlpha left every fourth byte 0 (the
    // general decoder's pictures); drawing afterwards is not tracked, so only
    // a plane that is loaded and never drawn into may rely on it.
    bool FourthBytesClear() const { return fourthBytesClear_; }
    // *clip (null: the plane's rect) intersected with the plane's rect; may be empty.
    Rect IntersectClip(const Rect* clip) const;

    // ---- blit set-up ---------------------------------------------------------
    // Fill work() for a blit of src at (x, y); 0 when something is to be
    // drawn, 1 when nothing is. PrepareBltEx mirrors the source horizontally.
    int PrepareBlt(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip);
    int PrepareBltEx(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip);
    const BltWork& work() const { return work_; }

    // ---- kernels (slots 1-32) --------------------------------------------------
    // One entry point for the thirty-two kernels: kernel k, direct or mirrored.
    // The rates are used by the rated kernels only.
    virtual int RunKernel(SoftKernel kernel, bool mirror, CSoftPlaneImpl* src, int x, int y, Rates dstRate,
                          Rates srcRate, const Rect* srcRect, const Size* dstSize, const Rect* clip) = 0;

#define LANTERN_SOFT_KERNEL6(Name)                                                                          \
    int Name(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect = nullptr, const Size* dstSize = nullptr, \
             const Rect* clip = nullptr)                                                                      \
    {                                                                                                         \
        return RunKernel(SoftKernel::Name, false, src, x, y, 0, 0, srcRect, dstSize, clip);                   \
    }                                                                                                         \
    int Name##Mirror(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect = nullptr,                        \
                     const Size* dstSize = nullptr, const Rect* clip = nullptr)                               \
    {                                                                                                         \
        return RunKernel(SoftKernel::Name, true, src, x, y, 0, 0, srcRect, dstSize, clip);                    \
    }
#define LANTERN_SOFT_KERNEL8(Name)                                                                          \
    int Name(CSoftPlaneImpl* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect = nullptr,  \
             const Size* dstSize = nullptr, const Rect* clip = nullptr)                                       \
    {                                                                                                         \
        return RunKernel(SoftKernel::Name, false, src, x, y, dstRate, srcRate, srcRect, dstSize, clip);       \
    }                                                                                                         \
    int Name##Mirror(CSoftPlaneImpl* src, int x, int y, Rates dstRate, Rates srcRate,                         \
                     const Rect* srcRect = nullptr, const Size* dstSize = nullptr, const Rect* clip = nullptr) \
    {                                                                                                         \
        return RunKernel(SoftKernel::Name, true, src, x, y, dstRate, srcRate, srcRect, dstSize, clip);        \
    }
    // Copy; keyed: whole 32-bit source pixel equal to the source's key is skipped.
    LANTERN_SOFT_KERNEL6(BltColorKey)
    LANTERN_SOFT_KERNEL6(Blt)
    // Average of source and destination (top byte: bitwise and).
    LANTERN_SOFT_KERNEL6(HalfBltColorKey)
    LANTERN_SOFT_KERNEL6(HalfBlt)
    // min(255, s * srcRate / 256 + d * dstRate / 256) per channel, top byte 0.
    LANTERN_SOFT_KERNEL8(RateBltColorKey)
    LANTERN_SOFT_KERNEL8(RateBlt)
    // Saturating add / subtract (the top byte differs between the sets).
    LANTERN_SOFT_KERNEL6(AddBltColorKey)
    LANTERN_SOFT_KERNEL6(AddBlt)
    LANTERN_SOFT_KERNEL6(SubBltColorKey)
    LANTERN_SOFT_KERNEL6(SubBlt)
    // Copy with top byte 0; keyed by the low 24 bits.
    LANTERN_SOFT_KERNEL6(BltColorKeyClearAlpha)
    LANTERN_SOFT_KERNEL6(BltClearAlpha)
    // Blend by the source's alpha weighted by the rates / plain; top byte 0.
    LANTERN_SOFT_KERNEL8(AlphaRateBlt)
    LANTERN_SOFT_KERNEL6(AlphaBlt)
    // Copy keeping the destination's top byte.
    LANTERN_SOFT_KERNEL6(BltColorKeyKeepAlpha)
    LANTERN_SOFT_KERNEL6(BltKeepAlpha)
#undef LANTERN_SOFT_KERNEL6
#undef LANTERN_SOFT_KERNEL8

    // ---- level forms and effects ---------------------------------------------
    // Level 0 draws nothing, 256 or more is BltAuto, else the rate forms with
    // (0xFFFFFF - L, L), L = level * 0x010101 (AlphaRateBlt for a source with
    // alpha, RateBltColorKey otherwise).
    int BltLevel(CSoftPlaneImpl* src, int x, int y, int level, const Rect* srcRect, const Size* dstSize,
                 const Rect* clip);
    // AlphaBlt for a source with alpha, else BltColorKey.
    int BltAuto(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip);
    bool HasAlpha() const { return hasAlpha_; }
    uint8_t* GetAlphaFlagRef() { return &hasAlpha_; }
    // ---- alpha-byte, colour and displacement operations (slots 37-50) -------
    // Alpha-byte operations work on the clip (null: whole plane) intersected
    // with this plane; an empty area draws nothing. Their level is 0..256.
    // Alpha := ramp(src's blue byte) at every position: alphaLo up to lo,
    // rising (or falling) linearly to alphaHi at hi, alphaHi from hi on.
    // 1 (nothing changed) when src differs in size, else 0.
    int MakeAlphaFromPlane(CSoftPlaneImpl* src, int lo, int hi, int alphaLo, int alphaHi, const Rect* clip);
    // Pixel := src's pixel with its alpha scaled by level / 256. 1 when the sizes differ.
    int BltScaleAlpha(CSoftPlaneImpl* src, int level, const Rect* clip);
    // ---- quadrilateral blits (slots 39-46) ----------------------------------
    // A quad is four corners in the order top-left, top-right, bottom-left,
    // bottom-right, on pixel edges: the rectangle (l, t)-(r, b) is the quad
    // (l, t), (r, t), (l, b), (r, b) and covers columns l..r-1, rows t..b-1.
    // Each destination pixel of dstQuad (within clip, null: the whole plane,
    // intersected with the plane) takes the source pixel at the matching place
    // of srcQuad; a place outside the source leaves it unchanged. flag 0: the
    // last pixel of each span and edge lands on the far source corner (source
    // corners name pixels, "inclusive"); flag 1: the source quad spans the
    // destination like the quad itself. Quads whose corners are not in that
    // order around the outline, or with a coordinate beyond +-kMaxQuadCoord,
    // draw nothing. The ColorKey forms skip source pixels equal to the key.
    // All return 0.
    static constexpr int kMaxQuadCoord = 1 << 18;
    int BltQuadColorKey(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const QuadPoint* dstQuad, const Rect* clip,
                        int flag);
    // Source quad = the inclusive corners of srcRect (null: the whole source), flag 0.
    int BltQuadColorKeyFromRect(CSoftPlaneImpl* src, const Rect* srcRect, const QuadPoint* dstQuad,
                                const Rect* clip);
    // Destination quad = dstRect (null: the whole plane), flag 1.
    int BltQuadColorKeyToRect(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const Rect* dstRect, const Rect* clip);
    int BltQuad(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const QuadPoint* dstQuad, const Rect* clip, int flag);
    // Source quad = srcRect (null: the whole source), flag 1.
    int BltQuadFromRect(CSoftPlaneImpl* src, const Rect* srcRect, const QuadPoint* dstQuad, const Rect* clip);
    // Destination quad = dstRect (null: nothing is drawn), flag 1.
    int BltQuadToRect(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const Rect* dstRect, const Rect* clip);
    // srcRect (null: the whole source) zoomed by scale (16.16) to (x, y), then
    // turned by angle (512ths of a turn, any value) about the pivot: 0-3 the
    // zoomed corners in quad order, 4 the centre (other values: corner 0).
    // Keyed through BltQuadColorKeyFromRect, plain through BltQuadFromRect.
    int RotateBltColorKey(CSoftPlaneImpl* src, const Rect* srcRect, int x, int y, int angle, int scale, int pivot,
                          const Rect* clip);
    int RotateBlt(CSoftPlaneImpl* src, const Rect* srcRect, int x, int y, int angle, int scale, int pivot,
                  const Rect* clip);
    // An empty table entry kept for the slot order; 0.
    int ReservedBlt(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip);
    // 1:1 blit of src at (x, y) (over the part of srcRect on the source, as
    // every blit) where blit position (u, v) takes the source
    // pixel displaced by map's entry (u, v). Positions the map does not cover
    // or whose displaced pixel lies outside the source stay unchanged. 0.
    int DisplaceBlt(CSoftPlaneImpl* src, const DisplacementMap* map, int x, int y, const Rect* srcRect,
                    const Rect* clip);
    // Saturating add / subtract of an RGBColor (its top byte is ignored) on
    // every pixel of rect (null: whole plane), alpha kept. 1 when rect's left
    // exceeds its right or nothing of it lies on the plane, else 0.
    virtual int AddColor(uint32_t colour, const Rect* rect) = 0;
    virtual int SubColor(uint32_t colour, const Rect* rect) = 0;
    // The area AddColor / SubColor work on, kept in the work area's source
    // rectangle; 1 when there is none (see AddColor).
    int PrepareColorArea(const Rect* rect);

    // ---- effects (slots 51-56) -------------------------------------------------
    // Effects work on the clip (null: whole plane) intersected with this plane.
    // Smooths the clipped area: each pixel := (4 neighbours + 4 x itself) / 8
    // per channel (low 3 bits of each channel dropped first), a missing side
    // neighbour replaced by the opposite one; the top row stays, the bottom row
    // becomes a copy of the smoothed row above it. 0; 1 for an empty area; 2
    // when the area is narrower or lower than 4 pixels (nothing changed).
    int SmoothEffect(const Rect* clip);
    // Every size x size block of the clipped area takes its top-left pixel;
    // -2 for size 0 (and below), else 0.
    int MosaicEffect(int size, const Rect* clip);
    // XORs every pixel of the clipped area with 0xFFFFFF; 0.
    int NegativeEffect(const Rect* clip);
    // Colour channels := c * factor / 256, alpha := 0 over the clipped area; a
    // factor outside 0..256 is held to it (it would spill into the next channel). 0.
    int FadeEffect(int factor, const Rect* clip);
    // Alpha := alpha * level / 256 over the clipped area (256 changes nothing); 0.
    int FadeAlpha(int level, const Rect* clip);
    // Alpha := 255 - alpha over the clipped area; 0.
    int NegativeAlpha(const Rect* clip);
    // With the alpha flag: the alpha byte; else 0 where the pixel equals the
    // key, 255 elsewhere; 0 outside.
    int GetAlphaAt(int x, int y) const;

    // ---- loading (SoftPlaneLoad.cpp) -------------------------------------------
    // Loads a picture by extension ("bma", "png", "bmp", else the general
    // decoder). 0 ok; otherwise the path's code (SoftPlaneLoadResult.h) and
    // the plane is empty. scalePercent resizes png and bmp pictures.
    int Load(const std::string& name, int flag, double scalePercent);
    BmaLoadResult LoadBma(const std::string& name);
    // Reads a bma image held in memory.
    BmaLoadResult LoadBmaFromMemory(const uint8_t* data, size_t size);
    DecoderLoadResult LoadThroughDecoder(const std::string& name);

protected:
    BltWork work_;

private:
    int BltQuadCore(CSoftPlaneImpl* src, const QuadPoint* srcQuad, const QuadPoint* dstQuad, const Rect* clip,
                    int flag, bool keyed);
    int RotateCore(CSoftPlaneImpl* src, const Rect* srcRect, int x, int y, int angle, int scale, int pivot,
                   const Rect* clip, bool keyed);
    int PrepareCommon(CSoftPlaneImpl* src, int x, int y, const Rect* srcRect, const Size* dstSize,
                      const Rect* clip, bool mirror);
    ReaderLoadResult LoadDibImage(const std::string& name, bool png, double scalePercent);
    // A PNG at its own size, decoded straight into the plane.
    ReaderLoadResult LoadPng(const std::string& name);
    class PngPlaneRows;
    DecoderLoadResult LoadGeneral(const std::string& name);
    void MarkLoaded(bool alpha);

    PixelMemory raw_;
    size_t rawCapacity_ = 0;
    bool keepMemory_ = false;
    uint32_t* pixels_ = nullptr;
    Rect rect_;
    std::vector<uint32_t*> rows_;
    int pitch_ = 0;
    uint32_t colorKey_ = 0;
    uint32_t fillColor_ = 0;
    bool useDIB_ = false;
    bool loaded_ = false;
    bool fourthBytesClear_ = false;
    uint8_t hasAlpha_ = 0;
};

// Whether every one of count 32-bit pixels has its fourth byte 0.
bool AllFourthBytesClear(const uint32_t* pixels, size_t count);

// The kernel set of processor class `cpuClass` (1-2: A, 3: B, 4: C).
std::unique_ptr<CSoftPlaneImpl> MakeSoftPlaneImpl(int cpuClass);
