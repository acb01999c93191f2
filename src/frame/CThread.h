#pragma once
// CThread: a thread object whose body is its virtual ThreadMain, with a
// running flag and an auto-reset stop event. Base of the application object
// and of every worker. A derived class must Join() in its own destructor: the
// body is a virtual of the derived object.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class CThread {
public:
    CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // The thread's body; the base does nothing.
    virtual void ThreadMain();
    // Joins a previous run, then starts a thread that runs ThreadMain and
    // closes the stop event when it returns. The stop event and the running
    // flag exist before Start returns, so a stop signalled at once is never
    // lost. Returns true when the thread could not start, false on success.
    virtual bool Start();
    // SignalStop, then waits for the thread to end and forgets it; false when
    // there was no thread (or when called from the thread itself).
    virtual bool Join();
    // Runs ThreadMain on the calling thread with the stop event and the
    // running flag set up as Start would (the first application runs so).
    virtual void RunInline();
    // True while the stop event exists: between the start and the end of a run.
    virtual bool HasStopEvent();
    // The running flag: true from the start until a stop is signalled.
    virtual bool IsRunning();
    // Clears the running flag and sets the stop event (when it exists).
    virtual void SignalStop();
    // Waits up to ms (negative: without limit) on the stop event, which an
    // observed signal resets: 1 when it was set, 0 on time-out, -1 when there
    // is no stop event.
    virtual int Wait(int ms);
    // Joins a thread still running (derived classes should have joined it).
    virtual ~CThread();

protected:
    virtual void CreateStopEvent();
    virtual void CloseStopEvent();

private:
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::mutex eventLock_;
    std::condition_variable eventChanged_;
    bool eventExists_ = false;
    bool eventSet_ = false;
};
