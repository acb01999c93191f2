#include "image/SoftPlane.h"

#include "image/CpuClass.h"

CSoftPlane::CSoftPlane() : impl_(MakeSoftPlaneImpl(GetCpuClass())) {}

CSoftPlane::CSoftPlane(std::unique_ptr<CSoftPlaneImpl> impl) : impl_(std::move(impl)) {}

CSoftPlane::~CSoftPlane() = default;

CSoftPlaneImpl* CSoftPlane::SourceImpl(CPlaneBase* src)
{
    if (src == nullptr || src->GetPlaneType() != 2) {
        return nullptr;
    }
    return static_cast<CSoftPlane*>(src)->impl_.get();
}

#define LANTERN_SOFT_SOURCE(src)                       \
    CSoftPlaneImpl* source = SourceImpl(src);          \
    if (source == nullptr) {                           \
        return src == nullptr ? kPlaneNotLocked : kPlaneFormatPair; \
    }

int CSoftPlane::BltColorKey(CPlaneBase* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    LANTERN_SOFT_SOURCE(src)
    return impl_->BltColorKey(source, x, y, srcRect, dstSize, clip);
}

int CSoftPlane::Blt(CPlaneBase* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    LANTERN_SOFT_SOURCE(src)
    return impl_->Blt(source, x, y, srcRect, dstSize, clip);
}

int CSoftPlane::RateBltColorKey(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect,
                                const Size* dstSize, const Rect* clip)
{
    LANTERN_SOFT_SOURCE(src)
    return impl_->RateBltColorKey(source, x, y, dstRate, srcRate, srcRect, dstSize, clip);
}

int CSoftPlane::RateBlt(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect,
                        const Size* dstSize, const Rect* clip)
{
    LANTERN_SOFT_SOURCE(src)
    return impl_->RateBlt(source, x, y, dstRate, srcRate, srcRect, dstSize, clip);
}

int CSoftPlane::AlphaRateBlt(CPlaneBase* src, int x, int y, Rates dstRate, Rates srcRate, const Rect* srcRect,
                             const Size* dstSize, const Rect* clip)
{
    LANTERN_SOFT_SOURCE(src)
    return impl_->AlphaRateBlt(source, x, y, dstRate, srcRate, srcRect, dstSize, clip);
}

int CSoftPlane::AlphaBlt(CPlaneBase* src, int x, int y, const Rect* srcRect, const Size* dstSize, const Rect* clip)
{
    LANTERN_SOFT_SOURCE(src)
    return impl_->AlphaBlt(source, x, y, srcRect, dstSize, clip);
}

int CSoftPlane::AlphaBltFade(CPlaneBase* src, int x, int y, int level)
{
    Rates dstRate = 0;
    Rates srcRate = 0;
    LevelToRates(level, &dstRate, &srcRate);
    return AlphaRateBlt(src, x, y, dstRate, srcRate);
}

int CSoftPlane::BltLevel(CPlaneBase* src, int x, int y, int level, const Rect* srcRect, const Size* dstSize,
                         const Rect* clip)
{
    LANTERN_SOFT_SOURCE(src)
    return impl_->BltLevel(source, x, y, level, srcRect, dstSize, clip);
}

#undef LANTERN_SOFT_SOURCE

int CSoftPlane::MosaicEffect(int blockSize, const Rect* rect) { return impl_->MosaicEffect(blockSize, rect); }

int CSoftPlane::NegativeEffect(const Rect* rect) { return impl_->NegativeEffect(rect); }

void CSoftPlane::GetSize(int* width, int* height) { impl_->GetSize(width, height); }

bool CSoftPlane::IsCreated() { return impl_->GetPixels() != nullptr; }

bool CSoftPlane::HasAlpha() { return impl_->HasAlpha(); }

int CSoftPlane::Clear(const Rect* rect) { return impl_->Clear(-1, rect); }

int CSoftPlane::LoadFile(const std::string& name, int flag, double scalePercent)
{
    return impl_->Load(name, flag, scalePercent);
}

void CSoftPlane::Release() { impl_->Release(); }

int CSoftPlane::SetColorKeyRGB(int r, int g, int b) { return impl_->SetColorKeyRGB(r, g, b); }

int CSoftPlane::SetColorKeyByPos(int x, int y) { return impl_->SetColorKeyPos(x, y); }

int CSoftPlane::Create(int width, int height, int /*flag*/) { return impl_->CreateCleared(width, height); }

int CSoftPlane::GetAlphaAt(int x, int y) { return impl_->GetAlphaAt(x, y); }
