#include "frame/CApp.h"

#include <algorithm>
#include <atomic>

#include "frame/CAppManager.h"
#include "frame/CMessageListener.h"
#include "frame/ErrorLog.h"
#include "platform/MessagePump.h"
#include "platform/WindowMessages.h"

namespace {

// Set while an application runs on the process's first thread; the next
// application to Run after it ended may take the place again.
std::atomic<bool> gMainAppRunning{false};

// How long a paused, inactive application sleeps between looks at its queue.
constexpr int kInactiveWaitMs = 100;

}  // namespace

CApp::CApp() = default;

CApp::~CApp() { Join(); }

int CApp::Run()
{
    bool expected = false;
    if (gMainAppRunning.compare_exchange_strong(expected, true)) {
        mainApp_ = true;
        RunInline();
        mainApp_ = false;
        gMainAppRunning = false;
        return 0;
    }
    {
        std::lock_guard lock(startLock_);
        started_ = false;
    }
    if (Start()) {
        return 1;
    }
    // A body that ends without registering (an override of ThreadMain) must
    // not keep Run waiting: look at the stop event now and then.
    std::unique_lock lock(startLock_);
    while (!startChanged_.wait_for(lock, std::chrono::milliseconds(10), [this] { return started_; })) {
        if (!HasStopEvent()) {
            break;
        }
    }
    return 0;
}

void CApp::NotifyStarted()
{
    std::lock_guard lock(startLock_);
    started_ = true;
    startChanged_.notify_all();
}

int CApp::InitWindowDesc(WindowDesc* desc)
{
    *desc = WindowDesc{};
    desc->caption = "lantern";
    return 0;
}

int CApp::Main() { return 0; }

void CApp::ThreadMain()
{
    WindowDesc desc;
    InitWindowDesc(&desc);
    if (mainApp_) {
        platform::MainWindowDesc windowDesc;
        windowDesc.caption = desc.caption;
        windowDesc.width = desc.width;
        windowDesc.height = desc.height;
        windowDesc.menuBar = true;
        window_ = platform::CreateMainWindow(
            windowDesc, [this](platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                               platform::LParam lParam) { return WindowProc(window, message, wParam, lParam); });
        if (!window_) {
            gErrorLog.PrintString("CApp::ThreadMainでウィンドウの作成に失敗");
            return;
        }
    }
    CAppManager::Register(this);
    NotifyStarted();
    Main();
    if (window_) {
        platform::SendMessage(window_, platform::kWmDestroy, 0, 0);
        platform::DestroyMainWindow();
        window_ = nullptr;
    }
    if (mainApp_) {
        CAppManager::StopAllExcept(this);
    }
    CAppManager::Unregister(this);
}

intptr_t CApp::WindowProc(platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                          platform::LParam lParam)
{
    // Offer the message to a copy of the list: a listener may add or remove
    // listeners (or itself) while it runs. One removed meanwhile is skipped.
    std::vector<CMessageListener*> listeners;
    {
        CCriticalSectionLock lock(listenerLock_);
        listeners = listeners_;
    }
    for (CMessageListener* listener : listeners) {
        if (IsListening(listener) && listener->OnWindowMessage(window, message, wParam, lParam) != 0) {
            return 0;
        }
    }
    switch (message) {
    case platform::kWmClose:
        SignalStop();
        break;
    case platform::kWmDestroy:
        if (mainApp_) {
            platform::PostQuitMessage(0);
        }
        break;
    default:
        break;
    }
    return 0;
}

bool CApp::PumpMessages()
{
    if (window_) {
        platform::PumpMessages();
        while (pauseWhileInactive_ && IsRunning() && window_ && !platform::IsMainWindowActive() &&
               !platform::EndRequested()) {
            platform::WaitMessages(kInactiveWaitMs);
        }
    }
    // A signal, or a close inside a box or a menu, ends the game even when a
    // listener took the close message (to ask first, say).
    if (platform::EndRequested()) {
        SignalStop();
    }
    return IsRunning();
}

void CApp::AddListener(CMessageListener* listener)
{
    CCriticalSectionLock lock(listenerLock_);
    listeners_.push_back(listener);
}

void CApp::RemoveListener(CMessageListener* listener)
{
    CCriticalSectionLock lock(listenerLock_);
    std::erase(listeners_, listener);
}

bool CApp::IsListening(CMessageListener* listener)
{
    CCriticalSectionLock lock(listenerLock_);
    return std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end();
}

void AddWindowListener(CMessageListener* listener)
{
    if (CApp* app = CAppManager::GetApp(); app && listener) {
        app->AddListener(listener);
    }
}

void RemoveWindowListener(CMessageListener* listener)
{
    if (CApp* app = CAppManager::GetApp()) {
        app->RemoveListener(listener);
    }
}

platform::WindowHandle GetAppWindow()
{
    CApp* app = CAppManager::GetApp();
    return app ? app->GetWindow() : nullptr;
}
