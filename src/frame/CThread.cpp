#include "frame/CThread.h"

#include <system_error>

CThread::CThread() = default;

CThread::~CThread()
{
    if (thread_.joinable()) {
        Join();
    }
}

void CThread::ThreadMain() {}

bool CThread::Start()
{
    Join();
    CreateStopEvent();
    running_ = true;
    try {
        thread_ = std::thread([this] {
            ThreadMain();
            CloseStopEvent();
        });
    } catch (const std::system_error&) {
        running_ = false;
        CloseStopEvent();
        return true;
    }
    return false;
}

bool CThread::Join()
{
    SignalStop();
    if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) {
        return false;
    }
    thread_.join();
    thread_ = std::thread();
    return true;
}

void CThread::RunInline()
{
    CreateStopEvent();
    running_ = true;
    ThreadMain();
    CloseStopEvent();
}

bool CThread::HasStopEvent()
{
    std::lock_guard lock(eventLock_);
    return eventExists_;
}

bool CThread::IsRunning() { return running_; }

void CThread::SignalStop()
{
    running_ = false;
    std::lock_guard lock(eventLock_);
    if (eventExists_) {
        eventSet_ = true;
        eventChanged_.notify_all();
    }
}

int CThread::Wait(int ms)
{
    std::unique_lock lock(eventLock_);
    if (!eventExists_) {
        return -1;
    }
    const auto ready = [this] { return eventSet_ || !eventExists_; };
    if (ms < 0) {
        eventChanged_.wait(lock, ready);
    } else if (!eventChanged_.wait_for(lock, std::chrono::milliseconds(ms), ready)) {
        return 0;
    }
    // The event went away while waiting: report it as set, as a failed wait.
    eventSet_ = false;   // auto-reset
    return 1;
}

void CThread::CreateStopEvent()
{
    std::lock_guard lock(eventLock_);
    eventExists_ = true;
    eventSet_ = false;
}

void CThread::CloseStopEvent()
{
    std::lock_guard lock(eventLock_);
    eventExists_ = false;
    eventSet_ = false;
    eventChanged_.notify_all();
}
