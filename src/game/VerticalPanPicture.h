#pragma once
// CVerticalPanPicture: an effect picture that slides across the screen over
// its frame range, from 0 to the far edge (a picture larger than the screen
// scrolls through it), and stays there at the end.
#include "game/EffectPicture.h"

class CVerticalPanPicture : public CEffectPicture {
public:
    static constexpr int32_t kHorizontal = 0;
    static constexpr int32_t kVertical = 1;

    // Blits the picture at this frame's pan position by blit mode within clip. 0.
    int DrawEffect(CPlaneBase* target, const Rect* clip) override;
    // The pan moves the picture away from the place the plain picture has.
    bool OpaqueRect(CPlaneBase*, Rect*) override { return false; }
    // The position the pan gives at elapsed frames (x, y on target).
    void PanPosition(CPlaneBase* target, int32_t elapsed, int32_t* x, int32_t* y);

    void SetPanDirection(int32_t direction) { panDirection_ = direction; }
    int32_t GetPanDirection() const { return panDirection_; }

private:
    int32_t panDirection_ = kVertical;
};
