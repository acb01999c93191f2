#include "frame/CSingleInstance.h"

#include "platform/SingleInstance.h"

CSingleInstance::CSingleInstance(const std::string& name)
    : guard_(std::make_unique<platform::SingleInstanceGuard>(name))
{
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::IsFirstInstance() const { return guard_->IsFirst(); }
