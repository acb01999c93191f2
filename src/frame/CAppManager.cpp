#include "frame/CAppManager.h"

#include <map>
#include <thread>
#include <vector>

#include "frame/CApp.h"
#include "frame/CCriticalSection.h"

namespace {

struct AppRecord {
    CApp* app = nullptr;
    CMainObject* mainObject = nullptr;
};

CCriticalSection& RegistryLock()
{
    static CCriticalSection lock;
    return lock;
}

std::map<std::thread::id, AppRecord>& Registry()
{
    static std::map<std::thread::id, AppRecord> records;
    return records;
}

// The calling thread's record or null; call with the lock held.
AppRecord* CurrentRecord()
{
    const auto it = Registry().find(std::this_thread::get_id());
    return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace

CApp* CAppManager::GetApp()
{
    CCriticalSectionLock lock(RegistryLock());
    const AppRecord* record = CurrentRecord();
    return record ? record->app : nullptr;
}

void CAppManager::Register(CApp* app)
{
    CCriticalSectionLock lock(RegistryLock());
    Registry()[std::this_thread::get_id()] = AppRecord{app, nullptr};
}

void CAppManager::Unregister(CApp* app)
{
    CCriticalSectionLock lock(RegistryLock());
    const auto it = Registry().find(std::this_thread::get_id());
    if (it != Registry().end() && it->second.app == app) {
        Registry().erase(it);
    }
}

CMainObject* CAppManager::GetMainObject()
{
    CCriticalSectionLock lock(RegistryLock());
    const AppRecord* record = CurrentRecord();
    return record ? record->mainObject : nullptr;
}

void CAppManager::SetMainObject(CMainObject* object)
{
    CCriticalSectionLock lock(RegistryLock());
    if (AppRecord* record = CurrentRecord()) {
        record->mainObject = object;
    }
}

void CAppManager::StopAllExcept(CApp* keep)
{
    std::vector<CApp*> others;
    {
        CCriticalSectionLock lock(RegistryLock());
        for (const auto& [thread, record] : Registry()) {
            (void)thread;
            if (record.app && record.app != keep) {
                others.push_back(record.app);
            }
        }
    }
    // Join outside the lock: the ending threads unregister themselves.
    for (CApp* app : others) {
        app->Join();
    }
}
