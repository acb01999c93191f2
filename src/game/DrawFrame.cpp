#include "game/DrawFrame.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "display/PlaneBase.h"
#include "game/DrawQueue.h"

namespace {

bool OverlapsOrTouches(const Rect& a, const Rect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// r less what cover hides of it, where that leaves a rectangle: all of r
// when cover holds it, a band of r when cover spans r's width or height
// across one of its edges; r itself when the rest would not be a rectangle.
Rect Uncovered(Rect r, const Rect& cover)
{
    if (r.IsEmpty() || cover.IsEmpty())
        return r;
    const bool spansWidth = cover.left <= r.left && cover.right >= r.right;
    const bool spansHeight = cover.top <= r.top && cover.bottom >= r.bottom;
    if (spansWidth && spansHeight)
        return {r.left, r.top, r.left, r.top};
    if (spansWidth && cover.top <= r.top && cover.bottom > r.top)
        r.top = cover.bottom;
    else if (spansWidth && cover.bottom >= r.bottom && cover.top < r.bottom)
        r.bottom = cover.top;
    else if (spansHeight && cover.left <= r.left && cover.right > r.left)
        r.left = cover.right;
    else if (spansHeight && cover.right >= r.right && cover.left < r.right)
        r.right = cover.left;
    return r;
}

}  // namespace

void MergeDirtyRects(RectList* list, const Rect& bounds)
{
    RectList out;
    out.reserve(list->size());
    for (Rect r : *list) {
        r = r.ClippedTo(bounds);
        if (r.IsEmpty())
            continue;
        // Grow r over everything it meets; a grown r may meet rectangles it
        // missed before, so look again until it stops growing.
        bool grown = true;
        while (grown) {
            grown = false;
            for (size_t i = 0; i < out.size();) {
                if (OverlapsOrTouches(out[i], r)) {
                    r = r.UnitedWith(out[i]);
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
    std::vector<CDrawable*> order;
    order.reserve(queue->Size());
    for (queue->Begin(); CDrawable* d = queue->Current(); queue->Next()) {
        d->AddDirtyRects(target, list);
        order.push_back(d);
    }
    int W = 0, H = 0;
    target->GetSize(&W, &H);
    MergeDirtyRects(list, {0, 0, W, H});
    // What each drawable may draw of each rectangle: the rectangle less what
    // the opaque pictures above it overwrite anyway, found from the top down.
    // A drawable whose part is all covered is still asked to draw, with an
    // empty clip, so that whatever else its drawing does still happens.
    const size_t m = list->size();
    std::vector<Rect> clips(order.size() * m);
    std::vector<Rect> open(list->begin(), list->end());
    for (size_t i = order.size(); i-- > 0;) {
        std::copy(open.begin(), open.end(), clips.begin() + static_cast<ptrdiff_t>(i * m));
        Rect cover;
        if (order[i]->OpaqueRect(target, &cover)) {
            for (Rect& r : open)
                r = Uncovered(r, cover);
        }
    }
    for (size_t i = 0; i < order.size(); ++i) {
        CDrawable* d = order[i];
        d->BeginDraw();
        for (size_t j = 0; j < m; ++j)
            d->OnDraw(target, &clips[i * m + j]);
        d->EndDraw();
    }
    if (drawn)
        drawn->insert(drawn->end(), list->begin(), list->end());
    list->clear();
    return 0;
}
