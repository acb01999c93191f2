#pragma once
// CGameApp: the game's application object. WinMain builds it on its stack and
// runs it on the first thread: the main window takes its caption and size
// from the settings, and its main routine runs the game.
#include "frame/CApp.h"

class CGameApp : public CApp {
public:
    // The main window: caption "VersionString", class "APPLICATION", the
    // settings' width and height, a fixed-size window (style 0x00CA0000). 0.
    int InitWindowDesc(WindowDesc* desc) override;
    // The main routine: builds the game object and runs its frame loop until
    // the application stops or the scenario ends. 0.
    int Main() override;
    // Whether the main routine ran (false: the window could not be made).
    bool MainRan() const { return mainRan_; }

private:
    bool mainRan_ = false;
};
