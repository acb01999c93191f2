#pragma once
// What Load returns for the sounds decoded whole into one buffer (CSound,
// CSoundMp3). The gaps are codes of the original interface that no longer
// occur here. The values convert to int for the media objects' Load.
enum SoundLoadResult : int {
    kSoundLoaded = 0,        // also for an empty path: nothing loaded
    kSoundNotLoaded = 1,     // no device, no readable file or reader, or no sharer duplicate
    kSoundNoBuffer = 7,      // the device made no buffer, even with volume control alone
    kSoundLockFailed = 8,
    kSoundUnlockFailed = 10,
};

const char* ToString(SoundLoadResult result);
