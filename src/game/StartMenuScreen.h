#pragma once
// CStartMenuScreen: the title menu. A black page with a field of drifting
// stars, a foreground picture and a column of buttons: start, load, CG
// gallery, scene replay (both hidden by the "hideCGReplay" setting) and exit.
// Left alone for 60 seconds it ends with the opening-movie code, so that the
// opening movie and the menu alternate.
#include <array>
#include <cstdint>
#include <memory>

#include "game/GameScreen.h"

class CFastPlane;

class CStartMenuScreen : public CGameScreen {
public:
    static constexpr int kStarCount = 256;
    // The star field is 800 x 600 whatever the screen size.
    static constexpr int kFieldWidth = 800;
    static constexpr int kFieldHeight = 600;
    static constexpr uint32_t kIdleMs = 60000;

    struct Star {
        float x, y, dx, dy;
    };

    // Loads the pictures, scatters the stars with the runtime's rand (not
    // seeded here), sets up "chip\start_hittest.png", loads the hover sound
    // and starts music track 2.
    CStartMenuScreen();
    ~CStartMenuScreen() override;

    int PrepareBackground(CPlaneBase*) override { return 0; }
    // The hit test, then the idle time-out (opening movie after 60 s).
    int Update(CGameKeyInput* keys, CMouseInput* mouse) override;
    // 1 start, 2 load, 3 CG, 4 replay, 6 exit; 0 for any other colour and for
    // CG and replay while "hideCGReplay" is set.
    int ButtonFromHitColor(unsigned long color) override;
    // Ends with the button's number + 0xFF (0x100 new game ... 0x105 quit).
    int OnLeftClick(unsigned long color) override;
    int OnRightClick(unsigned long) override { return 0; }
    // Plays the hover sound and lights the button under the pointer.
    int OnHoverEnter(unsigned long color) override;
    int OnHoverLeave(unsigned long color) override;
    // Stars (moved after drawing), foreground, buttons. The clip is not used.
    int DrawContents(CPlaneBase* target, const Rect& clip) override;

    const Star& StarAt(int i) const { return stars_[static_cast<size_t>(i)]; }
    // 1 while button number b (1-6) is lit.
    int Highlight(int b) const { return highlight_[static_cast<size_t>(b - 1)]; }

private:
    using Plane = std::unique_ptr<CFastPlane>;
    static constexpr int kButtons = 6;

    uint32_t idleStart_;
    std::array<int, kButtons> highlight_{};
    std::array<Star, kStarCount> stars_{};
    Plane back_;
    std::array<Plane, kButtons> lit_;
    std::array<Plane, kButtons> plain_;
    Plane foreground_;
    std::array<Plane, 4> starPictures_;
};
