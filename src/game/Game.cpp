// The game object: set-up, the frame loop and its three branches.
#include "game/Game.h"

#include "display/FastPlane.h"
#include "frame/CApp.h"
#include "frame/CRingPtr.h"
#include "game/ErrorReport.h"
#include "game/GameConfig.h"
#include "game/GameMenus.h"
#include "game/MissingPictures.h"
#include "game/PictureLoader.h"
#include "game/WinMain.h"
#include "platform/MessagePump.h"
#include "platform/WindowMessages.h"

CGame* gGame = nullptr;

namespace {

// Buttons of CGameKeyInput.
constexpr int kButtonEsc = 0;
constexpr int kButtonSpace = 5;
constexpr int kButtonEnter = 6;

// The flash colour is kept as 0xFFRRGGBB; the colour add takes 0x00BBGGRR.
uint32_t ToBgr(uint32_t argb)
{
    return ((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu);
}

}  // namespace

CGame::CGame()
    : commandListener(this),
      sound(&cdda, &mixer),
      services(&drawQueue, this),
      text(&drawQueue, &keys, &mouse, &executor.fastForward),
      backlog(&text, &keys, &mouse, &sound, &executor)
{
    AddWindowListener(&commandListener);
}

CGame::~CGame()
{
    RemoveWindowListener(&commandListener);
    RemoveMenus();
    // Whatever the loop left (it ended by an error, or never ran Finish).
    DeleteScreen();
    DeleteMovie();
    delete flashSnapshot;
    flashSnapshot = nullptr;
}

void CGame::Run()
{
    if (Start()) {
        while (Frame()) {
        }
    }
    Finish();
}

bool CGame::Start()
{
    // The window mode of the settings is carried out by the window commands
    // at the first pump.
    static constexpr struct {
        int mode;
        uint32_t command;
    } kModes[] = {{0, kCmdWindowed}, {16, kCmdFullScreen16}, {24, kCmdFullScreen24}, {32, kCmdFullScreen32}};
    for (const auto& m : kModes) {
        if (gConfig.windowmode == m.mode && GetAppWindow())
            platform::PostMessage(GetAppWindow(), platform::kWmCommand, static_cast<platform::WParam>(m.command), 0);
    }
    gGame = this;
    InstallMenus();
    display.SetDisplayMode(gConfig.width, gConfig.height, 0);
    if (app)
        app->SetPauseWhileInactive(true);
    movie = nullptr;
    frameTimer.SetFPS(30);
    mouse.SetGuard(gConfig.mouseGuardTime);

    auto* cursorPlane = new CFastPlane;
    cursorPlane->LoadFile("chip\\cursor.png", 1, 100.0);
    cursor.SetImage(CRingPtr<CPlaneBase>(cursorPlane), 15, 15);
    cursor.SetEnabled(true);
    // Boxes and menus are pointed at with the system's pointer: the game's
    // leaves the screen while they are up.
    cursor.ShowOn(&display);

    screen = nullptr;
    cdda.Open("");

    ScenarioSettings settings;
    settings.waitMouse = gConfig.WaitMouse;
    settings.wait = gConfig.Wait;
    settings.width = gConfig.width;
    settings.height = gConfig.height;
    executor.setSettings(settings);
    executor.setSystemVariables(&gConfig.systemInt);
    executor.setHost(&services);
    // The sound channels follow the settings loaded by now ("useWindowsMP3Codec").
    services.SetSounds(sound.Start());
    services.CreateBackdrop(gConfig.width, gConfig.height);
    text.Init();
    services.SetMessages(&text);
    if (gDebugMode)
        varWatch.Open(&executor);
    text.SetLog(backlog.Log());
    text.SetBeforeDialog([this] { ShowCurrentFrame(); });
    sound.SetVoiceListener([this](const std::string& path) { backlog.Log()->SetVoice(path); });
    services.SetBacklog(&backlog);

    PlayMovie("movie\\sundrel.mpg", kMovieLogo);
    return Pump();
}

bool CGame::Pump()
{
    if (app)
        return app->PumpMessages();
    // Without an application (benchmarks) only a quit request stops the loop.
    platform::PumpMessages();
    return !platform::QuitRequested();
}

bool CGame::SkipInput() const
{
    return keys.IsPressed(kButtonSpace) || keys.IsPressed(kButtonEnter) || keys.IsPressed(kButtonEsc) ||
           mouse.IsRightNewPress() || mouse.IsLeftNewPress();
}

bool CGame::Frame()
{
    keys.Update();
    mouse.Update();
    int mx = 0, my = 0;
    mouse.GetPos(&mx, &my);
    cursor.SetPosition(mx, my);
    const bool advanceKeys = keys.IsPressed(kButtonSpace) || keys.IsPressed(kButtonEnter);
    advance_ = (advanceKeys && !advanceHeld_) || mouse.IsLeftNewPress();
    advanceHeld_ = advanceKeys;

    if (movie) {
        MovieFrame();
    } else if (screen) {
        ScreenFrame();
    } else if (!ScenarioFrame()) {
        return false;
    }

    // Auto-advance (mode 2) keeps the pace; only skipping runs unpaced.
    if (executor.fastForward != 1)
        WaitForFrame();
    display.Present(0, 1);
    return Pump();
}

void CGame::MovieFrame()
{
    if (!SkipInput() && movie->IsPlaying())
        return;
    DeleteMovie();
    UpdateWindowMenu(true);
    switch (movieKind) {
    case kMovieOpening: OpenScreen(2); break;
    case kMovieLogo: OpenScreen(1); break;
    case kMovieScenario:
        // The key that skipped the movie must not run on in skip mode.
        if (SkipInput())
            executor.setFastForward(0);
        executor.markAllDirty();
        break;
    default: break;
    }
}

void CGame::ScreenFrame()
{
    screen->SetCDAudio(&cdda);
    switch (screen->Update(&keys, &mouse)) {
    case kScreenNewGame:
        DeleteScreen();
        StartAfresh();
        executor.openScenario(gConfig.scnstart);
        executor.markAllDirty();
        break;
    case kScreenLoadMenu: {
        const Rect at = cursor.GetRect();
        cursor.SetEnabled(false);
        if (const uint32_t chosen = TrackLoadMenu(at.left, at.top)) {
            DeleteScreen();
            platform::PostMessage(GetAppWindow(), platform::kWmCommand, chosen, 0);
        } else {
            screen->EndScreen(0);
            cursor.SetEnabled(true);
        }
        break;
    }
    case kScreenGallery: OpenScreen(4); break;
    case kScreenReplay: OpenScreen(3); break;
    case kScreenQuit:
        if (app)
            app->SignalStop();
        break;
    case kScreenOpening: OpenScreen(1); break;
    case kScreenBackToTitle:
        executor.sceneReplay = 0;
        OpenScreen(2);
        break;
    case kScreenStartReplay: {
        const int32_t scene = FindChosenScene(screen);
        ClearScenarioPictures();
        executor.startSceneReplay(scene);
        DeleteScreen();
        break;
    }
    default: break;  // 0x104 and unknown codes: the screen stays
    }
    if (screen)
        DrawScreen();
}

void CGame::DrawScreen()
{
    CFastPlane* back = display.GetBackPlane();
    if (!back)
        return;
    // Where the cursor was drawn and where it goes now are painted again
    // under it, as on the scenario's pictures.
    const RectList repaint = {drawnCursor_, cursor.GetRect()};
    drawnRects_.clear();
    const bool partial = screen->DrawChanges(back, cursor.GetRect(), repaint, &drawnRects_) == 1;
    // The screen hides the system cursor, so the pointer is ours to draw.
    cursor.Draw(back);
    drawnCursor_ = cursor.GetRect();
    // Nothing else draws on a screen's frame: only these parts can differ
    // (and a partial repaint's parts mostly do, so they go up uncompared).
    if (partial)
        display.NoteChangedOnlyIn(drawnRects_);
    else
        display.NoteDrawnOnlyIn(drawnRects_);
    // Like a drawable, the screen reports what it painted; the scenario
    // picture then repaints it when the screen closes.
    RectList& dirty = executor.dirtyRects();
    screen->AddDirtyRects(back, &dirty);
    int w = 0, h = 0;
    back->GetSize(&w, &h);
    MergeDirtyRects(&dirty, {0, 0, w, h});
}

void CGame::ClearScenarioPictures()
{
    services.ClearPictures();
    executor.markAllDirty();
}

bool CGame::ScenarioFrame()
{
    if (!cursor.IsEnabled())
        cursor.SetEnabled(true);
    CScreenQuake& quake = drawQueue.Quake();
    switch (quake.GetState()) {
    case CScreenQuake::kRest: {
        effectDrawn_ = false;
        delete flashSnapshot;
        flashSnapshot = nullptr;
        text.Update();
        if (!backlog.IsOpen() && text.ButtonClicked()) {
            // The fast-forward button: pressed, it skips to the next choice;
            // pressed again (or while auto-advancing) it stops. The click is
            // the button's, not a page advance.
            executor.setFastForward(executor.fastForward == 0 ? 1 : 0);
            advance_ = false;
        } else if (executor.fastForward == 2 && mouse.IsLeftNewPress()) {
            // Auto-advance goes on until the player stops it: a click
            // anywhere turns it off and is used up.
            executor.setFastForward(0);
            advance_ = false;
        }
        scenario::StepInput input;
        // The backlog's clicks are its own: the right click that closes it
        // must not also open the popup menu at the page's wait.
        if (!backlog.IsOpen()) {
            // An advance while the page still types only finishes the typing.
            input.advance = advance_ && !text.OnAdvance();
            input.rightClick = mouse.IsRightNewPress();
        }
        const int stepped = executor.step(input);
        if (stepped != kStepContinue) {
            // The executor's box has told the player; the logs and the exit status learn it here.
            if (stepped == kStepError)
                ReportFatalError(executor.errorDetail());
            return false;
        }
        backlog.EndStep();
        DrawScenario();
        // Nothing else draws on a frame at rest: only these parts can differ.
        display.NoteDrawnOnlyIn(drawnRects_);
        return true;
    }
    case CScreenQuake::kQuake: {
        if (!effectDrawn_) {
            DrawScenario();
            effectDrawn_ = true;
        }
        int32_t x = 0, y = 0;
        quake.GetQuakeOffset(&x, &y);
        display.SetScreenOffset(x, y);
        break;
    }
    case CScreenQuake::kFlash:
        if (!effectDrawn_) {
            DrawScenario();
            effectDrawn_ = true;
        }
        FlashFrame();
        break;
    default: break;
    }
    // The scenario waits while the effect runs; at rest again the next
    // frame steps it.
    if (quake.Step() == CScreenQuake::kRest)
        display.SetScreenOffset(0, 0);
    return true;
}

void CGame::FlashFrame()
{
    CFastPlane* back = display.GetBackPlane();
    if (!back)
        return;
    if (!flashSnapshot) {
        flashSnapshot = LoadPictureOrTofu("");
        if (flashSnapshot->Create(gConfig.width, gConfig.height) != 0) {
            delete flashSnapshot;
            flashSnapshot = nullptr;
            return;
        }
        flashSnapshot->Blt(back, 0, 0);
    }
    back->Blt(flashSnapshot, 0, 0);
    uint32_t color = 0;
    drawQueue.Quake().GetFlashColor(&color);
    back->AddColorFast(ToBgr(color), nullptr);
}

void CGame::DrawScenario()
{
    CFastPlane* back = display.GetBackPlane();
    if (!back)
        return;
    // Where the cursor was drawn and where it goes now: the old place is
    // repainted from the drawables, the new one gets the cursor again.
    cursorRects_.clear();
    cursorRects_.push_back(drawnCursor_);
    cursorRects_.push_back(cursor.GetRect());
    drawnRects_.clear();
    // While the backlog is open it is all there is to draw.
    if (backlog.Draw(back, cursorRects_)) {
        // It repaints as it sees fit: the presenter compares the whole frame.
        drawnRects_.push_back(Rect{0, 0, gConfig.width, gConfig.height});
    } else {
        DrawScenarioFrame(back, &drawQueue, &executor.dirtyRects(), cursorRects_, &drawnRects_);
        backlog.CaptureIfNew(back);  // the picture without the cursor
    }
    cursor.Draw(back);
    drawnCursor_ = cursor.GetRect();
}

void CGame::ShowCurrentFrame()
{
    DrawScenario();
    display.Present(0, 1);
}

int CGame::PlayMovie(const std::string& name, int kind)
{
    DeleteMovie();
    UpdateWindowMenu(false);
    // A movie that cannot be opened is simply not playing: the next frame
    // ends it and runs what follows it.
    movie = new CMovieFront;
    movie->SetDrawSize(gConfig.width, gConfig.height, 1);
    movie->Open(name.c_str());
    movie->Play();
    movieKind = kind;
    return 0;
}

int CGame::OpenScreen(int number)
{
    DeleteScreen();
    // The scenario never resumes behind a screen: its unread page and an
    // open backlog go (the pages already read stay in the log).
    backlog.Close();
    backlog.Log()->DiscardPage();
    // A screen loads all its pictures at once: a game folder without them
    // gives one box, not one per picture.
    const MissingPictureBatch missing;
    switch (number) {
    case 1: PlayMovie("movie\\vantorOP640-high.mpg", kMovieOpening); break;
    case 2:
        screen = CreateGameScreen(2);
        // Without a start menu nothing could ever choose "new game": the
        // scenario starts as that choice would start it.
        if (!screen) {
            executor.openScenario(gConfig.scnstart);
            executor.markAllDirty();
        }
        break;
    case 3:
    case 4: screen = CreateGameScreen(number); break;
    default: break;
    }
    return 0;
}

void CGame::DeleteScreen()
{
    delete screen;
    screen = nullptr;
}

void CGame::DeleteMovie()
{
    delete movie;
    movie = nullptr;
}

void CGame::Finish()
{
    RemoveMenus();
    DeleteScreen();
    DeleteMovie();
    delete flashSnapshot;
    flashSnapshot = nullptr;
    display.SetScreenOffset(0, 0);
}
