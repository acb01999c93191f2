#pragma once
// The locking frame of every two-plane operation: lock the destination, then
// the source; run the body; unlock the source, then the destination.
#include "display/BltWalk.h"
#include "display/FastPlane.h"
#include "display/PairTable.h"

// Returns 1 when either plane cannot be locked (or src is null), else the
// body's result. A plane drawn onto itself reads from a snapshot of its
// pixels taken before the call, so the result never depends on which pixels
// the walk has already changed. body(CFastPlane* src) -> int.
template <class Body>
int WithLockedPair(CFastPlane* dst, CFastPlane* src, Body&& body)
{
    if (dst->Lock() != 0) {
        return kPlaneNotLocked;
    }
    if (src == nullptr || src->Lock() != 0) {
        dst->Unlock();
        return kPlaneNotLocked;
    }
    int result;
    if (src == dst) {
        CFastPlane snapshot;
        if (snapshot.CopyFrom(*src) != 0) {
            result = kPlaneNotLocked;
        } else {
            result = body(&snapshot);
        }
    } else {
        result = body(src);
    }
    src->Unlock();
    dst->Unlock();
    return result;
}

// The same for one plane: 1 when it cannot be locked, else body().
template <class Body>
int WithLockedPlane(CFastPlane* plane, Body&& body)
{
    if (plane->Lock() != 0) {
        return kPlaneNotLocked;
    }
    int result = body();
    plane->Unlock();
    return result;
}

// DrawPair's path through the locking frame. Out of line: it is never on the
// per-piece path.
template <class Kernel, class... Args>
[[gnu::noinline]] int DrawPairLocked(const PairTable<Kernel>& table, CFastPlane* dst, CFastPlane* src,
                                     Args... args)
{
    return WithLockedPair(dst, src, [&](CFastPlane* s) {
        return table.Find(dst->GetPixelFormat(), s->GetPixelFormat())(*dst, *s, args...);
    });
}

// A two-plane operation: inside the locking frame, the table's kernel for
// the two formats, kernel(dst, src, args...) -> result. Two distinct
// lock-free planes (the usual case) need no frame: the kernel is reached
// straight, and with the operation's own arguments in the same places it is
// a jump, not a call.
template <class Kernel, class... Args>
inline int DrawPair(const PairTable<Kernel>& table, CFastPlane* dst, CFastPlane* src, Args... args)
{
    if (src != nullptr && src != dst && dst->IsLockFree() && src->IsLockFree()) {
        return table.Find(dst->GetPixelFormat(), src->GetPixelFormat())(*dst, *src, args...);
    }
    return DrawPairLocked(table, dst, src, args...);
}

// A kernel's walk over two planes (WalkBltRows; row may be nullptr for
// step-only kernels). Each path takes the views it needs itself, so that the
// 1:1 path keeps them in registers and the stretch is a call out of line.
template <int DstBytes, int SrcBytes, class Step, class Row>
inline void WalkPlanes(const CFastPlane& dst, const CFastPlane& src, int x, int y, const Rect* srcRect,
                       const Size* dstSize, const Rect* clip, Step&& step, Row&& row)
{
    if (dstSize != nullptr) {
        WalkStretched<DstBytes, SrcBytes>(dst.GetSurfaceView(), src.GetSurfaceView(), x, y, srcRect, dstSize, clip,
                                          step);
        return;
    }
    WalkBltRows<DstBytes, SrcBytes>(dst.GetSurfaceView(), src.GetSurfaceView(), x, y, srcRect, nullptr, clip, step,
                                    row);
}
