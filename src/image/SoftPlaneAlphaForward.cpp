// The handle's slots 28-32: forwards to the implementation.
#include "image/SoftPlane.h"

namespace {

// The blits' answer for a source that is not a software plane.
int RefusedSource(const CPlaneBase* src)
{
    return src == nullptr ? kPlaneNotLocked : kPlaneFormatPair;
}

}  // namespace

int CSoftPlane::MakeAlphaFromPlane(CPlaneBase* src, int lo, int hi, int alphaLo, int alphaHi, const Rect* clip)
{
    CSoftPlaneImpl* source = SourceImpl(src);
    return source ? impl_->MakeAlphaFromPlane(source, lo, hi, alphaLo, alphaHi, clip) : RefusedSource(src);
}

int CSoftPlane::FadeAlpha(int level, const Rect* clip)
{
    return impl_->FadeAlpha(level, clip);
}

int CSoftPlane::BltScaleAlpha(CPlaneBase* src, int level, const Rect* clip)
{
    CSoftPlaneImpl* source = SourceImpl(src);
    return source ? impl_->BltScaleAlpha(source, level, clip) : RefusedSource(src);
}

int CSoftPlane::FadeEffect(int factor, const Rect* clip)
{
    return impl_->FadeEffect(factor, clip);
}

int CSoftPlane::NegativeAlpha(const Rect* clip)
{
    return impl_->NegativeAlpha(clip);
}
