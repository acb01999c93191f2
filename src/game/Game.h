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
// commands, menus and save slots are in WindowCommands.cpp.
#include <cstdint>
#include <memory>

#include "display/FastDraw.h"
#include "display/MouseCursor.h"
#include "frame/CFrameTimer.h"
#include "frame/CKeyInput.h"
#include "frame/CMainObject.h"
#include "frame/CMessageListener.h"
#include "frame/CMouseInput.h"
#include "game/BacklogHost.h"
#include "game/DrawFrame.h"
#include "game/DrawQueue.h"
#include "game/GameServices.h"
#include "game/GameSound.h"
#include "game/ScreenSlot.h"
#include "game/TextHost.h"
#include "game/VarWatchDialog.h"
#include "platform/Menu.h"
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
    // The window listener: fills the slot submenus as they open
    // (kWmInitMenuPopup), carries out the menu commands (kWmCommand) and
    // repaints on activation. Always 0: never consumes a message.
    int OnWindowMessage(platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                        platform::LParam lParam);
    // A right click in the scenario at client (x, y): a hidden message window
    // is shown again; otherwise the popup menu opens there and its command
    // arrives as kWmCommand. 0.
    int ShowPopupMenu(int x, int y);
    // The popup's load submenu alone at client (x, y) (the start menu's load
    // button); the chosen command id, or 0 when nothing was chosen.
    uint32_t TrackLoadMenu(int x, int y);
    // Full screen at depth 16, 24 or 32, or the window for 0, with the
    // fall-backs; stores the mode that took in "windowmode" and marks its
    // menu item.
    void SetScreenMode(int depth);
    // Back to the start menu: the game is forgotten, its sounds stop.
    void ReturnToTitle();
    // The scenario's save point: writes slot 99 (nothing during a scene
    // replay). False when the write failed (the old file is kept).
    bool SavePoint();

    // The members, in the order the game builds them.
    CApp* app = nullptr;
    ScenarioExecutor executor;
    CDrawQueue drawQueue;
    CFrameTimer frameTimer;
    CGameScreen* screen = nullptr;
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
    platform::Menu* popupMenu = nullptr;
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
    // The debug variable watch, open only with the debug switch on.
    CVarWatch varWatch;
    // The log of the pages shown and the backlog screen over the scenario.
    BacklogHost backlog;

protected:
    // Waits for the frame's deadline (tests count the calls instead).
    virtual void WaitForFrame() { frameTimer.WaitFrame(); }

private:
    // The frame's message pump; false once the application stops.
    bool Pump();
    bool SkipInput() const;
    void MovieFrame();
    void ScreenFrame();
    void DrawScreen();
    // false when the scenario ends the loop.
    bool ScenarioFrame();
    void DrawScenario();
    // Draws the scenario as it stands in the middle of a step and presents
    // it, for a dialog the step opens to stand over.
    void ShowCurrentFrame();
    void FlashFrame();
    void ClearScenarioPictures();
    void DeleteScreen();
    void DeleteMovie();

    // WindowCommands.cpp
    void InstallMenus();
    void RemoveMenus();
    void OnInitMenuPopup(platform::Menu* menu);
    void OnCommand(uint32_t id);
    void StopGame();
    // Asks nothing; false (with the error box) when the slot was not written.
    bool SaveToSlot(int slot);
    // The running game stays as it was when the slot cannot be loaded.
    void LoadSlot(int slot);
    // Fast-forward off; no quake, flash, present offset or flash copy.
    void ResetEffects();
    // Forgets the game played so far (new game, back to the title): the
    // executor's game state, the effects, the pictures and the text; the
    // message window hidden.
    void StartAfresh();

    std::unique_ptr<platform::Menu> popupOwner_;

    bool effectDrawn_ = false;
    bool advanceHeld_ = false;  // Space or Enter at the previous frame
    bool advance_ = false;      // newly pressed in this frame
    Rect drawnCursor_;          // where the cursor was drawn last
    RectList cursorRects_;
    RectList drawnRects_;       // where the last DrawScenario drew
};

// The game object, set at the start of Run and never cleared.
extern CGame* gGame;
