#pragma once
// BacklogHost: the game shell's side of the backlog. It owns the log
// (CBacklog, fed by the message window and the voice channel) and runs the
// backlog screen for the scenario executor, which asks for it through
// ShellService::OpenBacklog: from the backlog instruction, or from a request
// made by the popup menu's backlog command (ScenarioExecutor::openBacklog).
//
// One backlog visit, frame by frame:
//   opening frame  Step hides the message window at once and makes the screen
//                  (kBusy); the scenario picture is drawn without the window
//                  and CaptureIfNew takes it, before the cursor goes on it.
//   later frames   Step runs one Update (kBusy); Draw paints only the screen.
//   closing frame  the Update that closes it: the screen goes, the window is
//                  shown again as it was, the whole picture repaints (kDone).
// The frame loop calls EndStep after each scenario step: a screen the step
// did not ask for (the scenario was closed, a game loaded) is dropped.
#include <memory>

#include "game/Backlog.h"
#include "game/Drawable.h"
#include "scenario/ScenarioHost.h"

class CBacklogScreen;
class CGameKeyInput;
class CGameSound;
class CMouseInput;
class CPlaneBase;
class ScenarioExecutor;
class TextHost;

class BacklogHost {
public:
    // None owned. sound gives the voice channel (null: no voice replay);
    // executor is told to repaint the picture (may be null).
    BacklogHost(TextHost* text, CGameKeyInput* keys, CMouseInput* mouse, CGameSound* sound,
                ScenarioExecutor* executor);
    ~BacklogHost();
    BacklogHost(const BacklogHost&) = delete;
    BacklogHost& operator=(const BacklogHost&) = delete;

    // The log, for the message window's feed and the voice channel.
    CBacklog* Log() { return &log_; }
    // OpenBacklog's work, once per scenario step: kBusy while the screen is
    // open, kDone in the step it closes; kFailed without a message window.
    scenario::HostResult Step();
    // The frame loop, after the scenario step.
    void EndStep();
    // In the frame the screen opened: takes target (the scenario picture just
    // drawn) as its background, once.
    void CaptureIfNew(CPlaneBase* target);
    // While the screen is open (not in the frame it opened): paints it within
    // each rectangle and returns true; the draw queue must then not be drawn.
    bool Draw(CPlaneBase* target, const RectList& rects);
    // Drops the screen without putting the page back: the window's text and
    // name are left empty. Nothing when closed.
    void Close();
    bool IsOpen() const { return screen_ != nullptr; }
    CBacklogScreen* GetScreen() const { return screen_.get(); }

private:
    void MarkAllDirty();

    TextHost* text_;
    CGameKeyInput* keys_;
    CMouseInput* mouse_;
    CGameSound* sound_;
    ScenarioExecutor* executor_;
    CBacklog log_;
    std::unique_ptr<CBacklogScreen> screen_;
    bool justOpened_ = false;
    bool stepped_ = false;
    bool windowWasShown_ = false;
};
