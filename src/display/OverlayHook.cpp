#include "display/OverlayHook.h"

#include <algorithm>

namespace {

std::vector<COverlayHook*>& Hooks()
{
    static std::vector<COverlayHook*> hooks;
    return hooks;
}

}  // namespace

COverlayHook::COverlayHook() { Hooks().push_back(this); }

COverlayHook::~COverlayHook()
{
    auto& hooks = Hooks();
    hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
}

std::vector<COverlayHook*> COverlayHook::Registered() { return Hooks(); }
