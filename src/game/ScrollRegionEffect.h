#pragma once
// CScrollRegionEffect: the reveal band. Draws nothing itself; over its frame
// range it marks dirty a band that grows in from the top and bottom edges, so
// that the drawables under it repaint progressively. Its picture only gives
// the band's size.
#include "game/EffectBase.h"

class CScrollRegionEffect : public CEffectBase {
public:
    int DrawEffect(CPlaneBase*, const Rect*) override { return 0; }
    // When the elapsed value of the next tick differs from the current one:
    // appends the top band and the bottom band that cover both positions,
    // clamped to the target; returns 2. Otherwise appends nothing: 0.
    int AddDirtyRects(CPlaneBase* target, RectList* list) override;
};
