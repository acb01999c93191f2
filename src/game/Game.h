#pragma once
// CGame and gGame: the one game object. It owns the scenario executor and
// every per-game service, and its Run is the frame loop at 30 frames per
// second. Each frame shows exactly one of: the playing movie, the open
// full-window screen, or the scenario (stepped, then drawn through the draw
// queue's dirty rectangles, or frozen while a quake or flash runs). Then the
// frame is paced (unless skipping), presented with the quake offset and the
// window messages are pumped.
//
// Members keep the order the game is built in and are destroyed in reverse.
// The message window and its text come from TextHost. The screens plug in
// through ScreenSlot.h; movies play through CMovieFront; the window
// commands and menus are not part of the game yet (popupMenu stays null and
// the command listener consumes nothing).
#include <cstdint>
#include <memory>

#include "display/FastDraw.h"
#include "display/MouseCursor.h"
#include "frame/CFrameTimer.h"
#include "frame/CKeyInput.h"
#include "frame/CMainObject.h"
#include "frame/CMessageListener.h"
#include "frame/CMouseInput.h"
#include "game/DrawFrame.h"
#include "game/DrawQueue.h"
#include "game/GameServices.h"
#include "game/GameSound.h"
#include "game/ScreenSlot.h"
#include "game/TextHost.h"
#include "scenario/ScenarioExecutor.h"
#include "sound/CAudioMixer.h"
#include "sound/CCDDA.h"
#include "sound/CMovieFront.h"

class CApp;
class CFastPlane;

class CGame : public CMainObject {
public:
    // What follows the current movie.
    static constexpr int kMovieScenario = 0;
    static constexpr int kMovieLogo = 1;
    static constexpr int kMovieOpening = 2;

    // Registers the command listener with the current application.
    CGame();
    ~CGame() override;

    // The frame loop: Start, Frame until it returns false, Finish.
    void Run() override;

    // The set-up before the first frame and the first message pump; false
    // when the pump already reports the stop (no frame runs then).
    bool Start();
    // One frame; false when the loop ends (stop, scenario end or error).
    bool Frame();
    // The end of the loop: closes the screen, frees the movie and the flash copy.
    void Finish();

    // Replaces the movie by name (drawn at width x height); kind: kMovie*. 0.
    int PlayMovie(const std::string& name, int kind);
    // Closes the screen, then 1 plays the opening movie, 2 the start menu,
    // 3 the scene replay, 4 the CG gallery. 0.
    int OpenScreen(int number);
    CMouseCursor* GetCursor() { return &cursor; }
    // The window commands (menus) are not part of the game yet: 0, not consumed.
    int OnWindowMessage(platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                        platform::LParam lParam);

    // The members, in the order the game builds them.
    CApp* app = nullptr;
    ScenarioExecutor executor;
    CDrawQueue drawQueue;
    CFrameTimer frameTimer;
    GameScreen* screen = nullptr;
    CGameKeyInput keys;
    CMouseInput mouse;
    CMovieFront* movie = nullptr;
    CFastDraw display;
    class CommandListener : public CMessageListener {
    public:
        explicit CommandListener(CGame* game) : game_(game) {}
        int OnWindowMessage(platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                            platform::LParam lParam) override
        {
            return game_->OnWindowMessage(window, message, wParam, lParam);
        }

    private:
        CGame* game_;
    } commandListener;
    void* popupMenu = nullptr;
    CCDDA cdda;
    CAudioMixer mixer;
    // The scenario's sound channels and music, on cdda and mixer.
    CGameSound sound;
    CMouseCursor cursor;
    CFastPlane* flashSnapshot = nullptr;
    int screenMode = 0;
    int movieKind = kMovieScenario;
    // The executor's shell services and its message window; built last,
    // torn down first (they take their drawables out of the queue).
    GameServices services;
    TextHost text;

protected:
    // Waits for the frame's deadline (tests count the calls instead).
    virtual void WaitForFrame() { frameTimer.WaitFrame(); }

private:
    // The frame's message pump; false once the application stops.
    bool Pump();
    bool SkipInput() const;
    void MovieFrame();
    void ScreenFrame();
    // false when the scenario ends the loop.
    bool ScenarioFrame();
    void DrawScenario();
    void FlashFrame();
    void ClearScenarioPictures();
    void DeleteScreen();
    void DeleteMovie();

    bool effectDrawn_ = false;
    bool advanceHeld_ = false;  // Space or Enter at the previous frame
    bool advance_ = false;      // newly pressed in this frame
    Rect drawnCursor_;          // where the cursor was drawn last
    RectList cursorRects_;
    RectList drawnRects_;       // where the last DrawScenario drew
};

// The game object, set at the start of Run and never cleared.
extern CGame* gGame;
