#pragma once
// The scenario picture's frame draw: the dirty-rectangle contract shared by
// the draw queue and every drawable.
//   1. the list gets the extra rectangles (the cursor's)
//   2. pass 1: AddDirtyRects on every drawable in key order
//   3. the list is merged (MergeDirtyRects)
//   4. pass 2: per drawable BeginDraw, OnDraw once per rectangle, EndDraw;
//      a drawable's rectangle is first cut down by the opaque pictures
//      above it (CDrawable::OpaqueRect), down to an empty clip when they
//      hide all of it, so that a stack of pictures draws only what shows
//   5. the list is emptied
// A still screen leaves the list with the cursor's rectangles only, so a
// frame costs a few small blits.
#include "game/Drawable.h"

class CDrawQueue;

// Clips every rectangle to bounds, drops the empty ones and unites
// overlapping or touching ones until none overlap, so that no pixel is drawn
// twice in a frame (a blend drawn twice would darken). A rectangle that grew
// by merging moves to the end of the list.
void MergeDirtyRects(RectList* list, const Rect& bounds);

// Runs steps 1 to 5 on target; when drawn is not null, the merged
// rectangles (all that was drawn on) are added to it. Returns 0.
int DrawScenarioFrame(CPlaneBase* target, CDrawQueue* queue, RectList* list, const RectList& extra,
                      RectList* drawn = nullptr);
