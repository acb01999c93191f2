#pragma once
// CApp: an application: a thread part (CThread) and the application
// interface. The first application of the process runs on the calling thread
// and owns the main window; its main routine (Main) runs the game and pumps
// the window's messages with PumpMessages.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "frame/CCriticalSection.h"
#include "frame/CThread.h"
#include "platform/Window.h"

class CMessageListener;

// What the main window is made from.
struct WindowDesc {
    std::string caption;          // Shift-JIS
    std::string className = "APPLICATION";
    int width = 800;              // client size
    int height = 600;
    uint32_t style = 0x00CA0000;  // caption, system menu, minimise box: a fixed-size window
};

class CApp : public CThread {
public:
    CApp();
    // Joins the thread part.
    ~CApp() override;

    // For the first application of the process: runs ThreadMain on the
    // calling thread and returns when it ends (0). Any other application
    // starts its thread and returns at once: 0, or 1 when it cannot start.
    virtual int Run();
    // Fills the main window's descriptor; 0. The base gives an 800 x 600
    // window captioned "lantern".
    virtual int InitWindowDesc(WindowDesc* desc);
    // The application's main routine; the base returns 0 at once.
    virtual int Main();
    // The window procedure: offers the message to the listeners in order
    // until one consumes it; unconsumed, a close signals the stop and a
    // destroy of the first application posts the quit message. Returns 0.
    virtual intptr_t WindowProc(platform::WindowHandle window, uint32_t message, platform::WParam wParam,
                                platform::LParam lParam);

    // Asks the window descriptor, creates the main window with its menu strip
    // (first application only), registers the application, runs Main, sends
    // the window its destroy message, destroys it and unregisters.
    void ThreadMain() override;

    // Dispatches the pending window messages; false once the application has
    // been told to stop (SignalStop). While the pause-while-inactive switch is
    // on, it blocks while the window is inactive.
    bool PumpMessages();
    void SetPauseWhileInactive(bool on) { pauseWhileInactive_ = on ? 1 : 0; }
    bool GetPauseWhileInactive() const { return pauseWhileInactive_ != 0; }

    // The application's window (null before ThreadMain made it or without one).
    platform::WindowHandle GetWindow() const { return window_; }
    // True for the application that runs on the process's first thread.
    bool IsMainApp() const { return mainApp_; }

    void AddListener(CMessageListener* listener);
    void RemoveListener(CMessageListener* listener);

private:
    bool IsListening(CMessageListener* listener);

    void NotifyStarted();

    platform::WindowHandle window_ = nullptr;
    bool mainApp_ = false;
    // Run of a second application waits until its thread is in the registry,
    // so the first application's end cannot miss it.
    std::mutex startLock_;
    std::condition_variable startChanged_;
    bool started_ = false;
    uint8_t pauseWhileInactive_ = 0;
    CCriticalSection listenerLock_;
    std::vector<CMessageListener*> listeners_;
};
