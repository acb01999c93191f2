#pragma once
// CPCMReaderFactory: picks the reader for a file by trying, in order, the
// registered audio reader plug-ins, then CkmRawWave (plain PCM WAVE),
// CPcmDirectShow (the media decoder) and kmACMtoPCM (compressed WAVE / MP3).
// The plug-in set is one per program, shared by every factory object.
#include <string>

#include "frame/CRingPtr.h"

class CAudioPlugin;
class CPcmReader;

class CPCMReaderFactory {
public:
    virtual ~CPCMReaderFactory() = default;
    // A reader that opened the file, or null (after one message naming it).
    // The caller owns the reader and disposes of it with Release.
    virtual CPcmReader* CreateReader(const std::string& path);
    // Adds the plug-in to the shared set unless one with its path is there.
    virtual void RegisterPlugin(CRingPtr<CAudioPlugin> plugin);
    // Loads a plug-in by name and registers it.
    virtual void AddPlugin(const char* dllName);
};

// Empties the shared plug-in set (tests and shut-down).
void ClearReaderPlugins();
