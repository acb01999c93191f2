#include "game/GameApp.h"

#include "game/GameConfig.h"

int CGameApp::InitWindowDesc(WindowDesc* desc)
{
    desc->caption = gConfig.VersionString;
    desc->className = "APPLICATION";
    desc->width = gConfig.width;
    desc->height = gConfig.height;
    desc->style = 0x00CA0000;
    return 0;
}

int CGameApp::Main()
{
    // FIXME: build the game object (CGame) here and run its frame loop; until
    // the game object exists the application keeps its window and pumps
    // messages until it is closed.
    while (PumpMessages()) {
    }
    return 0;
}
