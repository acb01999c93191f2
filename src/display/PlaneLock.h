#pragma once
// The locking frame of every two-plane operation: lock the destination, then
// the source; run the body; unlock the source, then the destination.
#include "display/FastPlane.h"

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
