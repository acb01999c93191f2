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
    columns_ = nullptr;
    blocks_ = nullptr;
    repeat_ = nullptr;
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
    case PieceOp::kBltAuto: {  // kBltAuto here: a source with alpha
        const bool fade = op == PieceOp::kAlphaBltFastFade;
        kernel_ = FindAlphaPieceKernel(df, sf, fade);
        batch_ = FindAlphaPieceBatch(df, sf, fade);
        columns_ = FindAlphaColumnsKernel(df, sf, fade);
        blocks_ = FindAlphaBlocksKernel(df, sf, fade);
        repeat_ = FindAlphaRepeatKernel(df, sf, fade);
        arg_ = fade ? static_cast<uint32_t>(factor) & 0xFF : 0;
        break;
    }
    }
    dst_ = dst->GetSurfaceView();
    src_ = src->GetSurfaceView();
    // ClipOneToOne cuts to a given clip and then to the plane; both cuts are
    // maxima of left edges and minima of right edges, so cutting the clip to
    // the plane once here and clipping by the result alone is the same.
    if (clip != nullptr) {
        dst_.rect = dst_.rect.ClippedTo(*clip);
    }
    return true;
}

void PreparedBlt::DrawColumns(int x, int y, const Rect& srcRect, unsigned pattern) const
{
    pattern &= 0xFFFF;
    if (pattern == 0xFFFF) {
        Draw(x, y, srcRect);
        return;
    }
    OneToOneClip r;
    if (pattern == 0 || !ClipOneToOne(dst_, src_, x, y, srcRect, nullptr, &r)) {
        return;
    }
    // The clip cuts every column's piece to the same rows, and keeps or drops
    // each column as it does the whole; a cut left edge only turns the
    // pattern to the first column kept.
    const int phase = static_cast<int>((int64_t{r.srcLeft} - srcRect.left) & 15);
    const unsigned turned = ((pattern | pattern << 16) >> phase) & 0xFFFF;
    if (columns_ != nullptr) {
        columns_(dst_, src_, r, arg_, turned);
        return;
    }
    for (int c = 0; c < r.cols; ++c) {
        if ((turned >> (c & 15) & 1) != 0) {
            kernel_(dst_, src_, OneToOneClip{r.srcLeft + c, r.srcTop, r.dstLeft + c, r.dstTop, 1, r.rows}, arg_);
        }
    }
}

void PreparedBlt::DrawBlocks(const BlockStretch& blocks) const
{
    if (blocks_ != nullptr) {
        blocks_(dst_, src_, blocks, arg_);
        return;
    }
    constexpr int kBatch = 64;
    PlacedPiece pieces[kBatch];
    for (int first = 0; first < blocks.count; first += kBatch) {
        const int n = std::min(kBatch, blocks.count - first);
        for (int i = 0; i < n; ++i) {
            const int32_t left = blocks.SrcX(first + i);
            const int32_t top = blocks.SrcY(first + i);
            pieces[i] = {blocks.xs[first + i], blocks.ys[first + i], Rect{left, top, left + blocks.w, top + blocks.h}};
        }
        batch_(dst_, src_, pieces, n, arg_);
    }
}

void PreparedBlt::DrawRepeated(int x, int y, const Rect& column, int count) const
{
    // Every copy is cut to the same rows and source column; across, a copy
    // draws when its column lies in the clip. The first copy that can is
    // clipped to find the rows, then widened to the last one that can.
    const int64_t first = std::max<int64_t>(x, dst_.rect.left);
    const int64_t end = std::min<int64_t>(int64_t{x} + count, dst_.rect.right);
    OneToOneClip r;
    if (count <= 0 || column.right - column.left != 1 || first >= end ||
        !ClipOneToOne(dst_, src_, static_cast<int>(first), y, column, nullptr, &r)) {
        return;
    }
    r.cols = static_cast<int32_t>(end - first);
    if (repeat_ != nullptr) {
        repeat_(dst_, src_, r, arg_);
        return;
    }
    for (int c = 0; c < r.cols; ++c) {
        kernel_(dst_, src_, OneToOneClip{r.srcLeft, r.srcTop, r.dstLeft + c, r.dstTop, 1, r.rows}, arg_);
    }
}
