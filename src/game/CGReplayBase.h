#pragma once
// CCGReplayBase: the tabbed page frame the CG gallery and the scene replay
// share: a back picture, up to five page tabs sliding in from the right
// edge, and the title button. The screen's own input (thumbnails, faces)
// runs in ItemStep after the hit test.
#include <array>
#include <memory>

#include "game/GameScreen.h"

class CFastPlane;

class CCGReplayBase : public CGameScreen {
public:
    static constexpr int kMaxItems = 5;
    // The slide clock starts here at every selection and stops here.
    static constexpr double kSlideStart = -1.2;
    static constexpr double kSlideEnd = 10000.0;

    // Loads "chip\cgreplay_back.png" and the ten tab pictures, sets up
    // "chip\cgreplay_hittest.png"; five tabs.
    CCGReplayBase();
    ~CCGReplayBase() override;

    int PrepareBackground(CPlaneBase*) override { return 0; }
    // The hit test; when it gave 0, ItemStep. The end code once ended, else 0.
    int Update(CGameKeyInput* keys, CMouseInput* mouse) override;
    // Tabs 1-5: buttons 1-5; the title button: -1; anything else 0.
    int ButtonFromHitColor(unsigned long color) override;
    // The title button ends with 0x150; any other colour selects tab b - 1
    // (0 for a colour that is no button).
    int OnLeftClick(unsigned long color) override;
    int OnRightClick(unsigned long) override { return 0; }
    int OnHoverEnter(unsigned long) override { return 0; }
    int OnHoverLeave(unsigned long) override { return 0; }
    // Back picture and the sliding tabs.
    int DrawContents(CPlaneBase* target, const Rect& clip) override;

    // count := 0 when negative, else min(n, 5). 0.
    virtual int SetItemCount(int n);
    // Clamps index to 0..5; selects it (and restarts the slide) only when it
    // is below the item count. 0.
    virtual int SelectItem(int index);
    // The screen's own input after the hit test; nothing here. 0.
    virtual int ItemStep(CGameKeyInput* keys, CMouseInput* mouse);

    int ItemCount() const { return itemCount_; }
    int SelectedItem() const { return selected_; }
    double SlideTime() const { return slide_; }

private:
    int itemCount_ = 0;
    int selected_ = 0;
    double slide_ = kSlideStart;
    std::unique_ptr<CFastPlane> back_;
    // Tab i plain at 2 i, selected at 2 i + 1.
    std::array<std::unique_ptr<CFastPlane>, 2 * kMaxItems> tabs_;
};
