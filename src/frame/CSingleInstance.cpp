#include "frame/CSingleInstance.h"

#include <cstdlib>

#include "frame/FileLayer.h"
#include "platform/SingleInstance.h"

namespace {

// One program serves many games, so the guard belongs to the game folder:
// a second copy in the same folder (by any spelling or link) is refused, a
// copy in another game's folder runs.
std::string GameFolderKey()
{
    const std::string start = GetStartDirectory();
    char* resolved = realpath(start.c_str(), nullptr);
    std::string key = "game:" + (resolved ? std::string(resolved) : start);
    std::free(resolved);
    return key;
}

}  // namespace

CSingleInstance::CSingleInstance(const std::string& name)
    : guard_(std::make_unique<platform::SingleInstanceGuard>(name.empty() ? GameFolderKey() : name))
{
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::IsFirstInstance() const { return guard_->IsFirst(); }
