#pragma once
// TextHost: the game shell's side of the scenario executor's message service.
// It owns the message window (CScriptFrame) and puts the window, the speaker's
// name and the text into the draw queue; the text, ruby, name, new-line,
// colour, link, page and window instructions land here, and each page shown is
// fed to the backlog through TextLog.
//
// The game object calls, every frame before the scenario step:
//   Update()      the fast-forward button's mouse-over picture
//   ButtonClicked() whether the player's click fell on that button
//   OnAdvance()   when the player advances: finishes typing first
// and RestoreAfterLoad() after a saved game is loaded.
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "scenario/ScenarioHost.h"

class CDrawQueue;
class CGameKeyInput;
class CMouseInput;
class CScriptFrame;
class CTextDrawable;

// What the backlog keeps of each page as it is shown.
class TextLog {
public:
    virtual ~TextLog() = default;
    virtual void AddText(const std::string& text) = 0;
    virtual void AddRuby(const std::string& base, const std::string& reading) = 0;
    virtual void AddLineBreak() = 0;
    virtual void AddAnchor(int32_t id) = 0;
    // The link's text has ended.
    virtual void EndAnchor() = 0;
    virtual void SetName(const std::string& name) = 0;
    // The page was read. The speaker's name stays on the window for the next
    // page, so the feed sets it again right after.
    virtual void CommitPage() = 0;
    // The page shown was cleared without being read (a saved game was loaded).
    virtual void DiscardPage() = 0;
};

class TextHost : public scenario::MessageService {
public:
    // Draw-queue keys: above every picture, below the reveal band (INT32_MAX).
    static constexpr int32_t kWindowKey = INT32_MAX - 3;
    static constexpr int32_t kNameKey = INT32_MAX - 2;
    static constexpr int32_t kTextKey = INT32_MAX - 1;
    // The file number of the scenario's links: a link is {kLinkFile, id}, so
    // that a chosen link never reads as "no link" {0, 0}.
    static constexpr int32_t kLinkFile = 1;

    // keys and mouse answer the link hits (either may be null: no hits);
    // fastForward is the executor's mode (null: never fast-forwarding).
    TextHost(CDrawQueue* queue, CGameKeyInput* keys, CMouseInput* mouse, const int* fastForward);
    // Takes the window, name and text out of the queue.
    ~TextHost() override;
    TextHost(const TextHost&) = delete;
    TextHost& operator=(const TextHost&) = delete;

    // Builds the window from the settings (hidden, with the page-end marker)
    // and puts it into the queue. Once, after the settings are read.
    void Init();
    // The button's mouse-over picture while fast-forward is off.
    void Update();
    // Whether this frame's new left click lies on the fast-forward button of
    // the window while it is shown (a hidden or fading window has no button
    // to press).
    bool ButtonClicked() const;
    // The player advanced (click, Space, Enter): while the page is still
    // typing, the rest appears at once and true is returned (the advance is
    // used up); otherwise false.
    bool OnAdvance();
    // After a saved game is loaded: the page is cleared and the window is
    // shown or hidden at once, as the save had it.
    void RestoreAfterLoad(bool windowShown);
    // Not owned; null stops the feed.
    void SetLog(TextLog* log) { log_ = log; }
    // Called before the name input opens: it puts the game's current frame
    // on screen, which the dialog then stands over. Null: nothing is shown.
    void SetBeforeDialog(std::function<void()> show) { beforeDialog_ = std::move(show); }
    CScriptFrame* GetScriptFrame() const { return frame_.get(); }
    CTextDrawable* GetTextDrawable() const;

    // ---- MessageService
    scenario::HostResult ShowWindow(bool show) override;
    scenario::HostResult SetName(const std::string& speaker) override;
    scenario::HostResult AddText(const std::string& text) override;
    scenario::HostResult AddRuby(const std::string& base, const std::string& reading) override;
    scenario::HostResult BeginLink(int32_t id) override;
    scenario::HostResult EndLink() override;
    scenario::HostResult SetColor(int32_t rgb) override;
    scenario::HostResult NewLine() override;
    // kBusy while the page is still typing (the rest appears in the next frame).
    scenario::HostResult EndPage() override;
    // kBusy until a link is clicked; kFailed on a page without links.
    scenario::HostResult TakeChosenLink(int32_t* id) override;
    scenario::HostResult SetFastForwardButton(bool pressed) override;
    // Asks the player for a name in the name-input dialog (modal: done at once).
    scenario::HostResult InputName(const std::string& initial, std::string* out) override;

private:
    // The typing speed for text laid out now.
    int Speed() const;
    scenario::HostResult Ready() const;
    // The page goes to the log, and the name still shown starts the next page.
    void CommitLogPage();

    CDrawQueue* queue_;
    CGameKeyInput* keys_;
    CMouseInput* mouse_;
    const int* fastForward_;
    TextLog* log_ = nullptr;
    std::function<void()> beforeDialog_;
    std::unique_ptr<CScriptFrame> frame_;
    bool inQueue_ = false;
};
