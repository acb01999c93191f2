#pragma once
// CGameScreen: a full-window screen driven by the frame loop (start menu, CG
// gallery, scene replay). While one is open the scenario does not step; each
// frame the screen takes the input and answers a command code, then paints
// the whole back buffer.
//
// Buttons are found through a hit-test picture of the screen's size that is
// never shown: every button is painted in one flat colour, and the colour
// under the pointer (upper four bits of each channel) names it. Black, white
// and every grey are no button. Each screen maps colours to its own buttons.
#include <map>
#include <memory>
#include <string>

#include "frame/Rect.h"
#include "game/DrawFrame.h"
#include "game/ScreenObjectBase.h"

class CCDDA;
class CFastPlane;
class CGameKeyInput;
class CMediaObject;
class CMouseInput;

// Command codes Update returns to the frame loop.
constexpr int kScreenNewGame = 0x100;
constexpr int kScreenLoadMenu = 0x101;
constexpr int kScreenGallery = 0x102;
constexpr int kScreenReplay = 0x103;
constexpr int kScreenNothing = 0x104;
constexpr int kScreenQuit = 0x105;
constexpr int kScreenOpening = 0x106;
constexpr int kScreenBackToTitle = 0x150;
constexpr int kScreenStartReplay = 0x200;

// Only the upper four bits of each channel of a hit colour count, so a
// picture saved with a little colour drift still names its buttons.
constexpr unsigned long kHitColorMask = 0xF0F0F0;
// True for a masked 0x00BBGGRR colour whose three channels are equal.
bool IsGreyHitColor(unsigned long color);

class CGameScreen : public CScreenObjectBase {
public:
    // Loads nothing: each screen calls Setup with its hit-test picture.
    CGameScreen();
    ~CGameScreen() override;

    // Loads the hit-test picture (the loader's placeholder when missing) and
    // makes the sound-effect player and, with music from files, the music
    // player ("useWindowsMP3Codec" chooses the kind). 0.
    virtual int Setup(std::string hitTestName);
    // Hover and clicks through the hit test, then the command code: the
    // result given to EndScreen once the screen has ended, else 0. A pointer
    // over a grey part (or outside the picture) changes nothing and gives 0.
    virtual int Update(CGameKeyInput* keys, CMouseInput* mouse);
    // The captured background (if any) clipped to clip, then DrawContents.
    virtual int Draw(CPlaneBase* target, const Rect& clip);
    // Ends the screen with code (again: replaces it). 0.
    virtual int EndScreen(int code);
    // The CD audio object PlayBGM and StopBGM use (not owned). 0.
    virtual int SetCDAudio(CCDDA* cdda);
    // Starts music track `track` looping, from "<bgmDir>\%02d.wav" or from
    // the CD, at the "cdLevel" volume; silent when the settings say so. 0.
    virtual int PlayBGM(int track);
    virtual int StopBGM();
    // The screen's button number for a masked hit colour; 0 here.
    virtual int ButtonFromHitColor(unsigned long color);
    virtual int OnLeftClick(unsigned long color) = 0;
    virtual int OnRightClick(unsigned long color) = 0;
    virtual int OnHoverEnter(unsigned long color) = 0;
    // color is the colour now under the pointer, not the one left.
    virtual int OnHoverLeave(unsigned long color) = 0;
    virtual int DrawContents(CPlaneBase* target, const Rect& clip) = 0;

    // Paints this frame into target and appends every rectangle painted to
    // drawn; repaint names places that must be painted again whatever else
    // changed (where the cursor was and is). Here: Draw(target, cursor) and
    // the whole target. 1 when drawn holds the small parts of a partial
    // repaint, most of which change every frame (not worth comparing with
    // the frame before); 0 here.
    virtual int DrawChanges(CPlaneBase* target, const Rect& cursor, const RectList& repaint, RectList* drawn);

    // What the last Draw painted, added to list as the drawables add theirs:
    // the whole target, since a screen repaints all of it every frame.
    virtual void AddDirtyRects(CPlaneBase* target, RectList* list);

    // The masked colour of the hit-test picture at (x, y); 0 outside it.
    unsigned long HitColorAt(int x, int y);
    bool IsDone() const { return done_ != 0; }
    int Result() const { return result_; }

protected:
    // Players made by Setup (null before it); the music player is null when
    // the music comes from the CD.
    CMediaObject* SoundEffect() const { return se_.get(); }
    CMediaObject* Music() const { return music_.get(); }

private:
    std::unique_ptr<CFastPlane> hitTest_;
    // Hit colour -> 1 while the pointer is over it; entries are never removed.
    std::map<unsigned long, int> hover_;
    int result_ = 0;
    unsigned char done_ = 0;
    CCDDA* cdda_ = nullptr;
    std::unique_ptr<CMediaObject> se_;
    std::unique_ptr<CMediaObject> music_;
};
