#pragma once
// CStartMenuScreen: the title menu. A black page with a field of drifting
// stars, a foreground picture and a column of buttons: start, load, CG
// gallery, scene replay (both hidden by the "hideCGReplay" setting) and exit.
// Left alone for 60 seconds it ends with the opening-movie code, so that the
// opening movie and the menu alternate.
#include <array>
#include <cstdint>
#include <memory>

#include "game/AlphaCoverage.h"
#include "game/GameScreen.h"
#include "game/StarField.h"

class CFastPlane;

class CStartMenuScreen : public CGameScreen {
public:
    static constexpr int kStarCount = CStarField::kStarCount;
    // The star field is 800 x 600 whatever the screen size.
    static constexpr int kFieldWidth = CStarField::kFieldWidth;
    static constexpr int kFieldHeight = CStarField::kFieldHeight;
    static constexpr uint32_t kIdleMs = 60000;

    using Star = CStarField::Star;

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
    // After a whole first frame on the same target, repaints only where
    // stars left and arrived, where a button's light changed, and repaint;
    // the stars move on as DrawContents moves them. 1 then (most stars move
    // every frame), 0 for a whole frame.
    int DrawChanges(CPlaneBase* target, const Rect& cursor, const RectList& repaint, RectList* drawn) override;

    const Star& StarAt(int i) const { return stars_.At(i); }
    // 1 while button number b (1-6) is lit.
    int Highlight(int b) const { return highlight_[static_cast<size_t>(b - 1)]; }

private:
    using Plane = std::unique_ptr<CFastPlane>;
    static constexpr int kButtons = 6;

    // Everything the menu shows, within clip (null: all of target); the
    // stars stay where they are.
    void DrawWithin(CPlaneBase* target, const Rect* clip);
    // Asks for the memory that DrawWithin(target, &r) reads and writes.
    void PrefetchWithin(CPlaneBase* target, const Rect& r) const;
    // Whether button b (1-6) is on the menu at all, and its picture now.
    bool ButtonShown(int b) const;
    CFastPlane* ButtonPicture(int b) const;
    // The place of button b (1-6), lit or not, from its pictures.
    Rect MeasureButton(int b) const;
    Rect ButtonRect(int b) const { return buttonRects_[static_cast<size_t>(b - 1)]; }

    uint32_t idleStart_;
    std::array<int, kButtons> highlight_{};
    CStarField stars_;
    // What the target showed after the last frame drawn on it: null until a
    // whole frame was drawn; the lights it was drawn with.
    CPlaneBase* drawnOn_ = nullptr;
    int drawnWidth_ = 0, drawnHeight_ = 0;
    std::array<int, kButtons> drawnHighlight_{};
    Plane back_;
    std::array<Plane, kButtons> lit_;
    std::array<Plane, kButtons> plain_;
    // MeasureButton of each, once: a frame asks for every rectangle it paints.
    std::array<Rect, kButtons> buttonRects_{};
    Plane foreground_;
    // Where the foreground is not all clear: a star's rectangle elsewhere
    // needs no blend of it.
    CAlphaCoverage foregroundShows_;
    std::array<Plane, 4> starPictures_;
};
