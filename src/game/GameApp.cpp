#include "game/GameApp.h"

#include "game/Game.h"
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
    // The game object lives on this stack frame: its members are destroyed in
    // the reverse order of their construction when the loop has returned.
    mainRan_ = true;
    CGame game;
    game.app = this;
    game.Run();
    return 0;
}
