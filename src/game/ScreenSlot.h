#pragma once
// What the frame loop needs of a full-window screen (start menu, CG gallery,
// scene replay), as a small interface: the screens are built elsewhere and
// plug in through the factory. Until they exist it gives what a screen's own
// failure path gives: no screen, so the next frame runs the scenario.
#include <cstdint>

#include "frame/Rect.h"

class CCDDA;
class CGameKeyInput;
class CMouseInput;
class CPlaneBase;

// Command codes a screen's Update returns to the frame loop.
constexpr int kScreenNewGame = 0x100;
constexpr int kScreenLoadMenu = 0x101;
constexpr int kScreenGallery = 0x102;
constexpr int kScreenReplay = 0x103;
constexpr int kScreenNothing = 0x104;
constexpr int kScreenQuit = 0x105;
constexpr int kScreenOpening = 0x106;
constexpr int kScreenBackToTitle = 0x150;
constexpr int kScreenStartReplay = 0x200;

class GameScreen {
public:
    virtual ~GameScreen() = default;
    virtual void SetCDAudio(CCDDA* cdda) = 0;
    // One frame of input; a command code above (anything else: nothing).
    virtual int Update(CGameKeyInput* keys, CMouseInput* mouse) = 0;
    virtual int Draw(CPlaneBase* target, const Rect& cursorRect) = 0;
    virtual void EndScreen(int code) = 0;
    // The scene chosen on the scene-replay screen (command 0x200).
    virtual int32_t FindScene() { return 0; }
};

// Screen numbers of OpenScreen: 2 start menu, 3 scene replay, 4 CG gallery.
// Null when that screen cannot be made (not built yet, or out of memory).
GameScreen* CreateGameScreen(int number);
