#include "game/ScreenSlot.h"

#include <new>

#include "game/CGViewScreen.h"
#include "game/SceneReplayScreen.h"
#include "game/StartMenuScreen.h"

namespace {

GameScreenFactory gFactory = nullptr;

}  // namespace

CGameScreen* MakeGameScreen(int number)
{
    try {
        switch (number) {
        case 2: return new CStartMenuScreen;
        case 3: return new CSceneReplayScreen;
        case 4: return new CCGViewScreen;
        default: return nullptr;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CGameScreen* CreateGameScreen(int number)
{
    return gFactory ? gFactory(number) : MakeGameScreen(number);
}

void SetGameScreenFactory(GameScreenFactory factory)
{
    gFactory = factory;
}

int32_t FindChosenScene(CGameScreen* screen)
{
    auto* replay = dynamic_cast<CSceneReplayScreen*>(screen);
    return replay ? replay->findScene() : 0;
}
