#include "sound/CPCMReaderFactory.h"

#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "frame/ErrorLog.h"
#include "sound/CAudioPlugin.h"
#include "sound/CPcmDirectShow.h"
#include "sound/CkmRawWave.h"
#include "sound/kmACMtoPCM.h"

namespace {

// Ordered by path: bytewise over the common length, then the shorter first.
struct PluginOrder {
    bool operator()(const CRingPtr<CAudioPlugin>& a, const CRingPtr<CAudioPlugin>& b) const
    {
        return a->GetPath() < b->GetPath();
    }
};

std::set<CRingPtr<CAudioPlugin>, PluginOrder> gReaderPlugins;
std::recursive_mutex gReaderPluginLock;

CPcmReader* TryOpen(CPcmReader* reader, const std::string& path)
{
    if (reader && !reader->Open(path.c_str())) {
        reader->Release();
        return nullptr;
    }
    return reader;
}

}  // namespace

CPcmReader* CPCMReaderFactory::CreateReader(const std::string& path)
{
    // Walked without the lock, as the set only grows at start-up.
    for (const auto& plugin : gReaderPlugins) {
        if (CPcmReader* r = TryOpen(plugin->CreateReader(), path)) {
            return r;
        }
    }
    if (CPcmReader* r = TryOpen(new CkmRawWave, path)) {
        return r;
    }
    if (CPcmReader* r = TryOpen(new CPcmDirectShow, path)) {
        return r;
    }
    if (CPcmReader* r = TryOpen(new kmACMtoPCM, path)) {
        return r;
    }
    gErrorLog.Print("CPCMReaderFactory::CreateReader Openできない-%s", path.c_str());
    return nullptr;
}

void CPCMReaderFactory::RegisterPlugin(CRingPtr<CAudioPlugin> plugin)
{
    if (!plugin) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(gReaderPluginLock);
    gReaderPlugins.insert(plugin);
}

void CPCMReaderFactory::AddPlugin(const char* dllName)
{
    std::lock_guard<std::recursive_mutex> lock(gReaderPluginLock);
    CRingPtr<CAudioPlugin> plugin(new CAudioPlugin(dllName));
    RegisterPlugin(plugin);
}

void ClearReaderPlugins()
{
    std::lock_guard<std::recursive_mutex> lock(gReaderPluginLock);
    gReaderPlugins.clear();
}
