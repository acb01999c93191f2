#pragma once
// CEffectPicture: a background or character picture that comes and goes
// through one of the 75 screen transitions over its frame range, and is
// blitted plainly outside it. While the range runs it repaints the whole
// screen every frame; outside it adds no rectangle of its own.
#include "game/EffectBase.h"

class CEffectPicture : public CEffectBase {
public:
    static constexpr int32_t kDefaultEffect = 20;

    // In the range: the transition at LevelAt(elapsed) (blit kind 3, alpha
    // level 255, no clip) unless the clip is empty (the frame draw's sign
    // that a picture above covers everything); outside: the plane by blit
    // mode within clip. 0.
    int DrawEffect(CPlaneBase* target, const Rect* clip) override;
    // Looks one tick ahead; appends the whole target while the range runs.
    // 1 when appended, else 0.
    int AddDirtyRects(CPlaneBase* target, RectList* list) override;
    // Outside the frame range a plain blit (blit mode 0) of a shown picture
    // overwrites its whole place; a transition or a keyed blit does not.
    bool OpaqueRect(CPlaneBase* target, Rect* covered) override;

    // Sets the transition number; one outside 0-74 is reported ("cEffectNo"
    // notice) and taken modulo 75 into the table's range.
    void SetEffectNumber(int32_t effect);
    int32_t GetEffectNumber() const { return effect_; }

protected:
    int32_t effect_ = kDefaultEffect;
};

// Brings an effect number into 0-74 after telling the player, as the
// scenario's effect instruction does; a number in range passes unchanged.
int32_t NormaliseEffectNumber(int32_t effect);
