#pragma once
// CFastPlane: a display plane, a surface of our own in system memory in one
// of the pixel formats of PixelFormat.h (2-8, 10-13).
//
// Sections: plane interface | surface and locking | colour keys and pixels |
// copies (display core) | raster operations | loading (image subsystem).
//
// The pixels live in memory from Create on, so Lock never waits and never
// fails on a created plane; it only refuses a plane without surface.
//
// Operations whose source is a CFastPlane* are this plane's own; the overrides
// taking CPlaneBase* are the plane interface. Beware the one name that means
// two things: through CPlaneBase, BlendBlt is the plain blend (it calls
// BlendBltFast), while CFastPlane::BlendBlt(CFastPlane*, ...) skips the
// source's colour-key pixels (CPlaneBase::BlendBltColorKey calls it).
//
// Result codes are PlaneResult (0 done, 1 not locked/created, 2 format pair).
#include <cstdint>
#include <memory>
#include <string>

#include "display/PlaneBase.h"
#include "display/PixelFormat.h"
#include "display/SurfaceView.h"
#include "frame/PixelMemory.h"
#include "frame/Prefetch.h"

class CFastPlane : public CPlaneBase {
public:
    CFastPlane();
    ~CFastPlane() override;
    CFastPlane(const CFastPlane&) = delete;
    CFastPlane& operator=(const CFastPlane&) = delete;

    // ---- plane interface ---------------------------------------------------
    // The forwarding below takes a CPlaneBase* for a CFastPlane* by the
    // IsDisplayPlane tag (not a dynamic_cast: it is on the path every
    // transition piece takes); final, so the tag and the type never disagree.
    int GetPlaneType() final { return 3; }
    // The source must be a CFastPlane; any other plane gives 2.
    int BltColorKey(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr,
                    const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    int Blt(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr,
            const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    // -> BlendBlt(CFastPlane*) (keyed).
    int BlendBltColorKey(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                         const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    // -> BlendBltFast.
    int BlendBlt(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                 const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    // -> AlphaBltFastFade.
    int AlphaBltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                      const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    // -> AlphaBltFast.
    int AlphaBlt(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr,
                 const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    // The plane interface's rule, taken in one call: AlphaBltFast for a source
    // with alpha, else BltColorKey(CFastPlane*); 1 for a null source, 2 for a
    // source that is not a display plane.
    int BltAuto(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                const Rect* clip = nullptr) override;
    // Likewise: level 255 or more BltAuto; below, AlphaBltFastFade for a
    // source with alpha, else BlendBlt(CFastPlane*) (keyed).
    int BltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                 const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    // -> AlphaBltFastFade with no srcRect, dstSize or clip.
    int AlphaBltFade(CPlaneBase* src, int x, int y, int level) override;
    // The display plane blends by one level for all channels; the per-channel
    // rate forms are a software-plane feature and answer 2 here.
    int RateBltColorKey(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect = nullptr,
                        const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    int RateBlt(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect = nullptr,
                const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    int AlphaRateBlt(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect = nullptr,
                     const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    int MosaicEffect(int blockSize, const Rect* rect = nullptr) override;
    int NegativeEffect(const Rect* rect = nullptr) override;
    void GetSize(int* width, int* height) override;
    bool IsCreated() override { return pixels_ != nullptr; }
    // True for the alpha formats 10-13. Final: BltAuto and BltLevel read the
    // flag without the virtual call.
    bool HasAlpha() final { return hasAlpha_; }
    // Fills with black (alpha formats: transparent). 1 without surface.
    int Clear(const Rect* rect = nullptr) override;
    // Defined by the picture loader (image subsystem).
    int LoadFile(const std::string& name, int flag = 0, double scalePercent = 100.0) override;
    void Release() override;
    int SetColorKeyRGB(int r, int g, int b) override;
    int SetColorKeyByPos(int x, int y) override;
    // A blank plane in the default format (DefaultFormat()); 0 on success.
    int Create(int width, int height, int flag = 0) override;
    // Alpha at (x, y) on the 0..255 scale (levels 0..15 scaled by 17); 255 for
    // formats without alpha; 0 outside the plane or without surface.
    int GetAlphaAt(int x, int y) override;

    // ---- surface and locking -----------------------------------------------
    // A blank (zeroed) plane of the given size and format code; releases the
    // previous surface first. 1 for a bad size or code, or when memory fails.
    int CreateSurface(int width, int height, int pixelFormat);
    // CreateSurface for the screen's back buffer: its pixels on huge pages
    // (see frame/PixelMemory.h).
    int CreateScreenSurface(int width, int height, int pixelFormat);
    // The format new planes get from Create: the screen's, set by the display
    // manager (format 7 until a mode is set).
    static void SetDefaultFormat(int pixelFormat);
    // Converts the surface to another format in place (pixels, key and
    // alpha flag follow); 1 without surface or for a bad code.
    int ConvertFormat(int pixelFormat);
    // After a screen-mode change: every plane in the old screen format, or in
    // its alpha format, is converted to the new one (or its alpha format).
    static void ConvertScreenPlanes(int oldScreenFormat, int newScreenFormat);
    // Makes this plane a copy of other's surface, format, key and flags; 1
    // when other has no surface or memory fails.
    int CopyFrom(const CFastPlane& other);
    static int DefaultFormat();
    // 0 when the pixels may be used (always, once created); 1 without surface.
    // Inline: every plane operation locks both its planes.
    int Lock()
    {
        if (pixels_ == nullptr) {
            return 1;
        }
        // A memory surface whose pixels were recorded at creation needs no lock.
        if (!(inSystemMemory_ && bitsRecorded_)) {
            locked_ = 1;
        }
        return 0;
    }
    // Clears the locked flag; 0.
    int Unlock()
    {
        locked_ = 0;
        return 0;
    }
    // True when the pixels may be used with no Lock / Unlock at all: a created
    // memory surface whose pixels were recorded at creation (every created
    // plane today). The per-piece paths test this instead of locking.
    bool IsLockFree() const { return pixels_ != nullptr && inSystemMemory_ && bitsRecorded_; }
    // The format code, -1 without surface.
    int GetPixelFormat() const { return format_; }
    // Pixel pointer, pitch and plane rectangle (all zero without surface).
    SurfaceView GetSurfaceView() const { return SurfaceView{pixels_, pitch_, planeRect_}; }
    PlaneBits GetPlaneBits() const;
    // Asks for the memory of the pixels of r (plane coordinates, clipped to
    // the plane) ahead of drawing there or reading them (frame/Prefetch.h).
    void Prefetch(const Rect& r, PrefetchFor use) const;
    // Marks the plane for the movie renderer, which draws into it.
    void SetLockFlag(uint8_t flag) { lockFlag_ = flag; }
    uint8_t GetLockFlag() const { return lockFlag_; }

    // ---- colour keys and pixels --------------------------------------------
    // The key in this plane's native pixel form (16-bit word for 3, 4, 10, 11;
    // three colour bytes and a zero fourth byte otherwise).
    virtual uint32_t GetColorKey();
    // Sets the key from 0x00RRGGBB.
    void SetColorKey(uint32_t rgb);
    // 0x00RRGGBB to this plane's native pixel value (alpha formats: colour
    // only, no alpha).
    uint32_t ColorToNative(uint32_t rgb) const;
    // The pixel as 0x00BBGGRR (red in the low byte); 0 outside or without surface.
    uint32_t GetPixel(int x, int y);
    // Fills the rectangle (null: the whole plane) with 0x00RRGGBB (alpha
    // formats: opaque). 1 without surface.
    int Clear(uint32_t rgb, const Rect* rect);

    // ---- copies ------------------------------------------------------------
    // Copies (stretched to *dstSize, clipped by ClipBltRect) between any two
    // formats of 3-8 and 10-13, or 2 onto 2; other pairs give 2. Alpha goes
    // along between alpha formats and comes out opaque from a screen format.
    int Blt(CFastPlane* src, int x, int y, const Rect* srcRect = nullptr,
            const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // The same, skipping source pixels equal to the source's colour key
    // (whole 16-bit pixel, colour word of 10/11, low 24 bits otherwise).
    int BltColorKey(CFastPlane* src, int x, int y, const Rect* srcRect = nullptr,
                    const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // Copies a raw frame (rows of pixelFormat at pitch bytes) to (0, 0),
    // converting as Blt does. 1 without surface, 2 for an unsupported format.
    int BltFromFrame(const uint8_t* pixels, int32_t pitch, int width, int height, int pixelFormat);

    // ---- raster operations -------------------------------------------------
    // Constant blend by factor (low byte), source colour-key pixels skipped.
    virtual int BlendBlt(CFastPlane* src, int x, int y, int factor, const Rect* srcRect = nullptr,
                         const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // Constant blend by factor (low byte).
    virtual int BlendBltFast(CFastPlane* src, int x, int y, int factor, const Rect* srcRect = nullptr,
                             const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // d = s * srcFactor + d * dstFactor (low bytes), each weight also scaled
    // by its own pixel's alpha on the alpha formats; a channel saturates when
    // the two factors add up to more than 255. Pairs and results as the
    // constant blend; the keyed form skips source colour-key pixels.
    virtual int DualBlendBlt(CFastPlane* src, int x, int y, int srcFactor, int dstFactor,
                             const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                             const Rect* clip = nullptr);
    virtual int DualBlendBltFast(CFastPlane* src, int x, int y, int srcFactor, int dstFactor,
                                 const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                 const Rect* clip = nullptr);
    // Blend by the source's per-pixel alpha (source of format 10-13).
    virtual int AlphaBltFast(CFastPlane* src, int x, int y, const Rect* srcRect = nullptr,
                             const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // The same with every source alpha scaled by factor (screen destinations only).
    virtual int AlphaBltFastFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect = nullptr,
                                 const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // MakeAlphaFromPlane over the same area of both planes: rect's corner as
    // the position and rect as the source rectangle (null: whole planes at 0, 0).
    virtual int MakeAlphaFromPlaneRect(CFastPlane* src, int rampStart, int rampEnd, int startValue, int endValue,
                                       const Rect* rect = nullptr);
    // Writes this alpha plane's alpha (10-13) from src's blue channel through
    // a ramp (BuildAlphaRamp); the colour stays. src: the same format or its
    // screen format. Any other pair draws nothing and gives 0; 1 when a
    // plane cannot be locked.
    virtual int MakeAlphaFromPlane(CFastPlane* src, int rampStart, int rampEnd, int startValue, int endValue, int x,
                                   int y, const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                   const Rect* clip = nullptr);
    // Saturating add / subtract of src onto this plane, per colour channel.
    // Pairs: equal formats 3-8 and 10-13, and a screen format with its alpha
    // format as source (that source scaled by its own alpha first); other
    // equal codes draw nothing and give 0; any other pair gives 2; 1 when a
    // plane cannot be locked. The keyed forms skip source pixels equal to
    // the source's colour key.
    virtual int AddColorBlt(CFastPlane* src, int x, int y, const Rect* srcRect = nullptr,
                            const Size* dstSize = nullptr, const Rect* clip = nullptr);
    virtual int AddColorBltFast(CFastPlane* src, int x, int y, const Rect* srcRect = nullptr,
                                const Size* dstSize = nullptr, const Rect* clip = nullptr);
    virtual int SubColorBlt(CFastPlane* src, int x, int y, const Rect* srcRect = nullptr,
                            const Size* dstSize = nullptr, const Rect* clip = nullptr);
    virtual int SubColorBltFast(CFastPlane* src, int x, int y, const Rect* srcRect = nullptr,
                                const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // The same with the source scaled by factor (low byte) first; 255 is
    // the plain operation above (its result included).
    virtual int AddColorBltFastFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect = nullptr,
                                    const Size* dstSize = nullptr, const Rect* clip = nullptr);
    virtual int AddColorBltFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect = nullptr,
                                const Size* dstSize = nullptr, const Rect* clip = nullptr);
    virtual int SubColorBltFastFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect = nullptr,
                                    const Size* dstSize = nullptr, const Rect* clip = nullptr);
    virtual int SubColorBltFade(CFastPlane* src, int x, int y, int factor, const Rect* srcRect = nullptr,
                                const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // Copies the colour of src onto this plane, both of one alpha format
    // (10-13); the alpha stays. 2 for unequal formats, 3 for equal formats
    // without alpha, 1 when a plane cannot be locked.
    virtual int AlphaPlaneBltFast(CFastPlane* src, int x, int y, const Rect* srcRect = nullptr,
                                  const Size* dstSize = nullptr, const Rect* clip = nullptr);
    // An empty slot: changes nothing, locks nothing, 0.
    virtual int PatternBlendBlt(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
    // The constant blend with the factor of each source pixel (sx, sy) read
    // from pattern[(sy & 15) * 16 + (sx & 15)] (256 bytes, read during the
    // call only). Pairs: equal formats 3-8 and the cross pairs; other equal
    // codes draw nothing and give 0; any other pair, a null pattern or a
    // plane that cannot be locked gives 1.
    virtual int PatternBlendBltFast(CFastPlane* src, int x, int y, const uint8_t* pattern,
                                    const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                                    const Rect* clip = nullptr);
    // Adds / subtracts 0x00BBGGRR with saturation on formats 3-8 (others: 0,
    // nothing drawn). rect null: the whole plane. 1 without surface.
    virtual int AddColorFast(uint32_t bgr, const Rect* rect = nullptr);
    virtual int SubColorFast(uint32_t bgr, const Rect* rect = nullptr);
    // Scales every colour channel by factor (low byte) in formats 3-8, 10-13.
    int FadeEffect(int factor, const Rect* rect = nullptr);

    // ---- loading (defined by the image subsystem) ---------------------------
    // Converts a loaded picture into this plane's surface; 0 on success.
    int Load(CPlaneBase* picture, int flag = 0);
    // Copies a software plane into the surface; 0 on success.
    int BltFromDIB(CPlaneBase* src);

private:
    // CreateSurface's work; cleared false leaves the pixels as the allocator
    // gave them (only the padding at the row ends is zeroed), for callers
    // that write every pixel at once.
    int AllocateSurface(int width, int height, int pixelFormat, bool cleared, bool screen = false);
    // Makes storage (holding the pixels at `pixels`, rows `pitch` bytes
    // apart) this plane's surface; also the loader's way of taking a decoded
    // picture over without a copy.
    void AdoptSurface(PixelMemory storage, uint8_t* pixels, int32_t pitch, int width, int height,
                      int pixelFormat);
    // Load for the loader's own decoding plane, whose memory it may take.
    int LoadTaking(CPlaneBase* picture, int flag);

    PixelMemory storage_;
    uint8_t* pixels_ = nullptr;
    int32_t pitch_ = 0;
    int format_ = pixfmt::kNone;
    int width_ = 0;
    int height_ = 0;
    Rect planeRect_;
    uint32_t colorKey_ = 0;
    bool hasAlpha_ = false;
    bool inSystemMemory_ = false;
    bool bitsRecorded_ = false;
    uint8_t locked_ = 0;
    uint8_t lockFlag_ = 0;
};
