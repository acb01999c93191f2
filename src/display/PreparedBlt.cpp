#include "display/PreparedBlt.h"

#include <algorithm>

#include "display/FastPlane.h"

bool PreparedBlt::Prepare(CFastPlane* dst, CFastPlane* src, PieceOp op, int factor, const Rect* clip)
{
    if (dst == nullptr || src == nullptr || dst == src || !dst->IsLockFree() || !src->IsLockFree()) {
        return false;
    }
    const int df = dst->GetPixelFormat();
    const int sf = src->GetPixelFormat();
    if (op == PieceOp::kBltAuto && !src->HasAlpha()) {
        op = PieceOp::kBltColorKey;
    }
    switch (op) {
    case PieceOp::kBlt:
        kernel_ = FindCopyPieceKernel(df, sf, false);
        batch_ = FindCopyPieceBatch(df, sf, false);
        arg_ = 0;
        break;
    case PieceOp::kBltColorKey:
        kernel_ = FindCopyPieceKernel(df, sf, true);
        batch_ = FindCopyPieceBatch(df, sf, true);
        arg_ = src->GetColorKey();
        break;
    case PieceOp::kAlphaBltFastFade:
        kernel_ = FindAlphaPieceKernel(df, sf, true);
        batch_ = FindAlphaPieceBatch(df, sf, true);
        arg_ = static_cast<uint32_t>(factor) & 0xFF;
        break;
    case PieceOp::kBltAuto:  // a source with alpha
        kernel_ = FindAlphaPieceKernel(df, sf, false);
        batch_ = FindAlphaPieceBatch(df, sf, false);
        arg_ = 0;
        break;
    }
    dst_ = dst->GetSurfaceView();
    src_ = src->GetSurfaceView();
    // ClipOneToOne cuts to a given clip and then to the plane; both cuts are
    // maxima of left edges and minima of right edges, so cutting the clip to
    // the plane once here and clipping by the result alone is the same.
    if (clip != nullptr) {
        Rect& r = dst_.rect;
        r = Rect{std::max(clip->left, r.left), std::max(clip->top, r.top), std::min(clip->right, r.right),
                 std::min(clip->bottom, r.bottom)};
    }
    return true;
}
