#include "game/DrawFrame.h"

#include <algorithm>
#include <cstddef>

#include "display/PlaneBase.h"
#include "game/DrawQueue.h"

namespace {

bool OverlapsOrTouches(const Rect& a, const Rect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

}  // namespace

void MergeDirtyRects(RectList* list, const Rect& bounds)
{
    RectList out;
    out.reserve(list->size());
    for (Rect r : *list) {
        r.left = std::max(r.left, bounds.left);
        r.top = std::max(r.top, bounds.top);
        r.right = std::min(r.right, bounds.right);
        r.bottom = std::min(r.bottom, bounds.bottom);
        if (r.IsEmpty())
            continue;
        // Grow r over everything it meets; a grown r may meet rectangles it
        // missed before, so look again until it stops growing.
        bool grown = true;
        while (grown) {
            grown = false;
            for (size_t i = 0; i < out.size();) {
                if (OverlapsOrTouches(out[i], r)) {
                    r = {std::min(r.left, out[i].left), std::min(r.top, out[i].top),
                         std::max(r.right, out[i].right), std::max(r.bottom, out[i].bottom)};
                    out.erase(out.begin() + static_cast<ptrdiff_t>(i));
                    grown = true;
                } else {
                    ++i;
                }
            }
        }
        out.push_back(r);
    }
    *list = std::move(out);
}

int DrawScenarioFrame(CPlaneBase* target, CDrawQueue* queue, RectList* list, const RectList& extra, RectList* drawn)
{
    list->insert(list->end(), extra.begin(), extra.end());
    for (queue->Begin(); CDrawable* d = queue->Current(); queue->Next())
        d->AddDirtyRects(target, list);
    int W = 0, H = 0;
    target->GetSize(&W, &H);
    MergeDirtyRects(list, {0, 0, W, H});
    for (queue->Begin(); CDrawable* d = queue->Current(); queue->Next()) {
        d->BeginDraw();
        for (const Rect& r : *list)
            d->OnDraw(target, &r);
        d->EndDraw();
    }
    if (drawn)
        drawn->insert(drawn->end(), list->begin(), list->end());
    list->clear();
    return 0;
}
