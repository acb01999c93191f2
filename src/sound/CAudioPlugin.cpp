#include "sound/CAudioPlugin.h"

#include <dlfcn.h>

#include "frame/ErrorLog.h"
#include "frame/FileLayer.h"
#include "sound/PcmReader.h"

CAudioPlugin::CAudioPlugin(const char* dllName)
{
    InitPlugin(dllName);
}

CAudioPlugin::~CAudioPlugin()
{
    FreePlugin();
}

void CAudioPlugin::InitPlugin(const char* dllName)
{
    FreePlugin();
    path_ = MakeFullPath(dllName ? dllName : "");
    // An empty path (a name refused by the file layer) would make dlopen hand
    // back the program itself.
    module_ = path_.empty() ? nullptr : dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module_) {
        gErrorLog.PrintString("CAudioPlugin::InitPlugin \"" + path_ + "\"のロードに失敗");
    }
}

CPcmReader* CAudioPlugin::CreateReader()
{
    if (!module_) {
        return nullptr;
    }
    auto create = reinterpret_cast<AudioReaderCreateInstance>(dlsym(module_, "CreateInstance"));
    if (!create) {
        return nullptr;
    }
    void* out = nullptr;
    create(&out, "AudioReaderPlugin");
    return static_cast<CPcmReader*>(out);
}

void CAudioPlugin::FreePlugin()
{
    if (module_) {
        dlclose(module_);
        module_ = nullptr;
    }
}
