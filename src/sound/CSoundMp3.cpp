#include "sound/CSoundMp3.h"

#include <memory>

#include "frame/FileLayer.h"
#include "sound/CDirectSound.h"
#include "sound/WaveFormat.h"
#include "sound/mp3/CMp3StreamReader.h"

std::set<CSoundMp3*> gSoundRegistryB;

CSoundMp3::CSoundMp3()
{
    gSoundRegistryB.insert(this);
}

CSoundMp3::~CSoundMp3()
{
    ReleaseBuffer();
    gSoundRegistryB.erase(this);
}

int CSoundMp3::Load(std::string path)
{
    if (int r = BeginLoad(path); r >= 0) {
        return r;
    }
    if (!FileExists(path)) {
        return kSoundNotLoaded;
    }
    if (int r = ShareFromRegistry(gSoundRegistryB, path); r >= 0) {
        return r;
    }
    auto reader = std::make_unique<CMp3StreamReader>();
    Mp3StreamInfo info;
    if (!reader->Open(path.c_str(), &info)) {
        // A file that exists but is not MP3: nothing to size a buffer from.
        return kSoundNotLoaded;
    }
    uint64_t size = static_cast<uint64_t>(info.samples) * (info.channels == 1 ? 2 : 4);
    if (size > UINT32_MAX || info.channels < 1 || info.bits <= 0) {
        return kSoundNotLoaded;
    }
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<uint16_t>(info.channels);
    format.nSamplesPerSec = static_cast<uint32_t>(info.sampleRate);
    format.wBitsPerSample = static_cast<uint16_t>(info.bits);
    format.nBlockAlign = static_cast<uint16_t>(info.channels * info.bits / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    format.cbSize = 0;
    SoundLoadResult r = CreateAndFill(platform::kBufCtrlVolume | platform::kBufCtrlFrequency, format,
                          static_cast<uint32_t>(size),
                          [&reader](uint8_t* data, uint32_t n) { reader->DecodeAll(data, n); });
    if (r == kSoundLoaded) {
        fileName_ = path;
    }
    return r;
}
