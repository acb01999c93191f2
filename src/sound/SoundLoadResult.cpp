#include "sound/SoundLoadResult.h"

const char* ToString(SoundLoadResult result)
{
    switch (result) {
    case kSoundLoaded: return "loaded";
    case kSoundNotLoaded: return "no device, file or reader";
    case kSoundNoBuffer: return "no sound buffer";
    case kSoundLockFailed: return "the buffer does not lock";
    case kSoundUnlockFailed: return "the buffer does not unlock";
    }
    return "unknown";
}
