#pragma once
// CAudioPlugin: an audio reader plug-in, a shared object exporting
// "CreateInstance" (void** out, const char* interface name) that, asked for
// "AudioReaderPlugin", stores a new CPcmReader.
#include <string>

class CPcmReader;

class CAudioPlugin {
public:
    // Loads the plug-in at once (InitPlugin).
    explicit CAudioPlugin(const char* dllName);
    virtual ~CAudioPlugin();
    CAudioPlugin(const CAudioPlugin&) = delete;
    CAudioPlugin& operator=(const CAudioPlugin&) = delete;

    // Frees any loaded module, resolves the name to a full path and loads it;
    // a failure is reported and leaves no module.
    void InitPlugin(const char* dllName);
    // A new reader from the plug-in; null when no module or no export.
    CPcmReader* CreateReader();
    void FreePlugin();

    const std::string& GetPath() const { return path_; }
    bool IsLoaded() const { return module_ != nullptr; }

private:
    void* module_ = nullptr;
    std::string path_;
};
