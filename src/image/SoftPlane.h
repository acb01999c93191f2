#pragma once
// CSoftPlane: the software plane, a 32-bit picture in memory (0xAARRGGBB,
// rows top-down) behind the plane interface. It forwards to a CSoftPlaneImpl
// whose kernel set is chosen once, at construction, by processor class.
//
// Blits accept only software planes as sources: any other plane gives 2.
// Every picture file is decoded into one of these first (LoadFile), then a
// display plane converts it into its own format.
#include <memory>
#include <string>

#include "display/PlaneBase.h"
#include "image/SoftPlaneImpl.h"

class CSoftPlane : public CPlaneBase {
public:
    // An empty plane with the kernels of GetCpuClass().
    CSoftPlane();
    // An empty plane around the given implementation (owned).
    explicit CSoftPlane(std::unique_ptr<CSoftPlaneImpl> impl);
    ~CSoftPlane() override;
    CSoftPlane(const CSoftPlane&) = delete;
    CSoftPlane& operator=(const CSoftPlane&) = delete;

    int GetPlaneType() override { return 2; }
    int BltColorKey(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                    const Rect* clip = nullptr) override;
    int Blt(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
            const Rect* clip = nullptr) override;
    // The level forms (BlendBltColorKey, BlendBlt, AlphaBltLevel) are the plane
    // interface's: the level becomes rates for the rate forms below.
    int RateBltColorKey(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect = nullptr,
                        const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    int RateBlt(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect = nullptr,
                const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    int AlphaRateBlt(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect = nullptr,
                     const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    int AlphaBlt(CPlaneBase* src, int x, int y, const Rect* srcRect = nullptr, const Size* dstSize = nullptr,
                 const Rect* clip = nullptr) override;
    // AlphaRateBlt with (0xFFFFFF - L, L), L = level * 0x010101, whole source, no clip.
    int AlphaBltFade(CPlaneBase* src, int x, int y, int level) override;
    int MosaicEffect(int blockSize, const Rect* rect = nullptr) override;
    int NegativeEffect(const Rect* rect = nullptr) override;
    void GetSize(int* width, int* height) override;
    // True when the plane has pixels (after Create or a successful load).
    bool IsCreated() override;
    bool HasAlpha() override;
    // Fills with the fill colour (0 unless set); 1 without pixels.
    int Clear(const Rect* rect = nullptr) override;
    // Level 0 draws nothing, 256 or more is BltAuto, between the rate forms.
    int BltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect = nullptr,
                 const Size* dstSize = nullptr, const Rect* clip = nullptr) override;
    // See CSoftPlaneImpl::Load for the result codes.
    int LoadFile(const std::string& name, int flag = 0, double scalePercent = 100.0) override;
    void Release() override;
    int SetColorKeyRGB(int r, int g, int b) override;
    int SetColorKeyByPos(int x, int y) override;
    // A cleared plane; the flag is ignored. 0 ok, 1 bad size.
    int Create(int width, int height, int flag = 0) override;
    int GetAlphaAt(int x, int y) override;

    // ---- slots 28-32: alpha-byte operations and the channel fade ------------
    // The source must be a software plane of the same size: 1 otherwise (2 for
    // a plane of another kind, as the blits). See CSoftPlaneImpl for the rules.
    virtual int MakeAlphaFromPlane(CPlaneBase* src, int lo, int hi, int alphaLo, int alphaHi,
                                   const Rect* clip = nullptr);
    virtual int FadeAlpha(int level, const Rect* clip = nullptr);
    virtual int BltScaleAlpha(CPlaneBase* src, int level, const Rect* clip = nullptr);
    virtual int FadeEffect(int factor, const Rect* clip = nullptr);
    virtual int NegativeAlpha(const Rect* clip = nullptr);

    CSoftPlaneImpl* GetImpl() const { return impl_.get(); }

private:
    // The implementation of a software-plane source, or null for any other plane.
    static CSoftPlaneImpl* SourceImpl(CPlaneBase* src);

    std::unique_ptr<CSoftPlaneImpl> impl_;
};
