#include "frame/ComInitialize.h"

#include <map>
#include <mutex>
#include <thread>

namespace {

std::mutex& ComLock()
{
    static std::mutex lock;
    return lock;
}

std::map<std::thread::id, int>& ComCounts()
{
    static std::map<std::thread::id, int> counts;
    return counts;
}

}  // namespace

int ComInitializeThread()
{
    std::lock_guard<std::mutex> guard(ComLock());
    ++ComCounts()[std::this_thread::get_id()];
    return 0;
}

void ComUninitializeThread()
{
    std::lock_guard<std::mutex> guard(ComLock());
    auto& counts = ComCounts();
    auto it = counts.find(std::this_thread::get_id());
    if (it == counts.end()) {
        return;
    }
    if (--it->second <= 0) {
        counts.erase(it);
    }
}

int ComThreadCount()
{
    std::lock_guard<std::mutex> guard(ComLock());
    auto& counts = ComCounts();
    auto it = counts.find(std::this_thread::get_id());
    return it == counts.end() ? 0 : it->second;
}
