#pragma once
// CFrameAnimation: a looping flip-book of pictures (the text's page-end
// marker). Each picture stays for `interval` frames, then the next one; the
// last wraps to the first. Drawn at a constant alpha level.
#include <vector>

#include "game/EffectBase.h"

class CFrameAnimation : public CEffectBase {
public:
    CFrameAnimation();
    // Deletes the pictures.
    ~CFrameAnimation() override;

    // Loads base directory + name through LoadPictureOrTofu and appends it;
    // count := number of pictures, start := end := 0. 0.
    int AddFrame(const std::string& name);
    // Appends a plane it then owns (tests, generated pictures). 0.
    int AddFramePlane(CPlaneBase* plane);
    // tick + 1 and the looping frame machine; a new picture restarts the tick.
    void BeginDraw() override;
    // The current picture with AlphaBltLevel at the level within clip; an
    // animation without pictures draws nothing. 0.
    int DrawEffect(CPlaneBase* target, const Rect* clip) override;
    // When visible, appends the current picture's rectangle on every frame. 0.
    int AddDirtyRects(CPlaneBase* target, RectList* list) override;
    int AdjustFrame() override { return 0; }
    // The size of the first picture; 0 x 0 without pictures.
    virtual void GetSize(int* width, int* height);
    virtual void SetLevel(uint8_t level) { level_ = level; }

    size_t FrameCount() const { return frames_.size(); }

private:
    // The current picture, or null (no pictures).
    CPlaneBase* Current() const;

    std::vector<CPlaneBase*> frames_;
    uint8_t level_ = 255;
};
