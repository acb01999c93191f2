// Where the overlay draws: the bounds of what each draw command covers.
#include "platform/sdl/OverlayPlaces.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "imgui.h"

namespace platform::sdl {

namespace {

bool Touch(const WindowRect& a, const WindowRect& b)
{
    return a.x <= b.x + b.w && b.x <= a.x + a.w && a.y <= b.y + b.h && b.y <= a.y + a.h;
}

WindowRect Bounds(const WindowRect& a, const WindowRect& b)
{
    const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.w, b.x + b.w), bottom = std::max(a.y + a.h, b.y + b.h);
    return {left, top, right - left, bottom - top};
}

}  // namespace

void MergeTouching(std::vector<WindowRect>* places)
{
    // A merged rectangle may now touch one already passed: start over until
    // a pass merges nothing. Overlays draw a handful of places.
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < places->size() && !merged; ++i) {
            for (size_t j = i + 1; j < places->size(); ++j) {
                if (Touch((*places)[i], (*places)[j])) {
                    (*places)[i] = Bounds((*places)[i], (*places)[j]);
                    places->erase(places->begin() + static_cast<std::ptrdiff_t>(j));
                    merged = true;
                    break;
                }
            }
        }
    }
}

std::vector<WindowRect> OverlayPlaces(const ImDrawData& data, int windowWidth, int windowHeight)
{
    std::vector<WindowRect> places;
    const ImVec2 origin = data.DisplayPos;
    for (int n = 0; n < data.CmdListsCount; ++n) {
        const ImDrawList& list = *data.CmdLists[n];
        for (const ImDrawCmd& cmd : list.CmdBuffer) {
            if (cmd.UserCallback != nullptr || cmd.ElemCount == 0) {
                continue;
            }
            float left = FLT_MAX, top = FLT_MAX, right = -FLT_MAX, bottom = -FLT_MAX;
            for (unsigned i = 0; i < cmd.ElemCount; ++i) {
                const unsigned index = cmd.IdxOffset + i;
                if (index >= static_cast<unsigned>(list.IdxBuffer.Size)) {
                    break;
                }
                const unsigned vertex = cmd.VtxOffset + list.IdxBuffer[static_cast<int>(index)];
                if (vertex >= static_cast<unsigned>(list.VtxBuffer.Size)) {
                    continue;
                }
                const ImVec2 p = list.VtxBuffer[static_cast<int>(vertex)].pos;
                left = std::min(left, p.x);
                top = std::min(top, p.y);
                right = std::max(right, p.x);
                bottom = std::max(bottom, p.y);
            }
            left = std::max(left, cmd.ClipRect.x);
            top = std::max(top, cmd.ClipRect.y);
            right = std::min(right, cmd.ClipRect.z);
            bottom = std::min(bottom, cmd.ClipRect.w);
            if (!(left < right && top < bottom)) {
                continue;
            }
            // A pixel is drawn when its centre lies inside: these bounds hold
            // every pixel the command can touch (the anti-aliased fringe has
            // vertices of its own).
            const int x0 = std::max(static_cast<int>(std::floor(left - origin.x)), 0);
            const int y0 = std::max(static_cast<int>(std::floor(top - origin.y)), 0);
            const int x1 = std::min(static_cast<int>(std::ceil(right - origin.x)), windowWidth);
            const int y1 = std::min(static_cast<int>(std::ceil(bottom - origin.y)), windowHeight);
            if (x0 < x1 && y0 < y1) {
                places.push_back({x0, y0, x1 - x0, y1 - y0});
            }
        }
    }
    MergeTouching(&places);
    return places;
}

}  // namespace platform::sdl
