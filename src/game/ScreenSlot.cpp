#include "game/ScreenSlot.h"

namespace {

// A movie whose file could not be opened: it is not playing from the start.
class UnopenedMovie : public GameMovie {
public:
    bool IsPlaying() override { return false; }
};

}  // namespace

GameScreen* CreateGameScreen(int)
{
    // FIXME: the start menu, CG gallery and scene-replay screens plug in here.
    return nullptr;
}

GameMovie* CreateGameMovie(const std::string&, int, int)
{
    // FIXME: the movie player plugs in here; until then every movie takes the
    // path of a file that cannot be opened.
    return new UnopenedMovie;
}
