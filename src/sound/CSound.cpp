#include "sound/CSound.h"

#include "frame/ErrorLog.h"
#include "sound/CDirectSound.h"
#include "sound/CPCMReaderFactory.h"
#include "sound/PcmReader.h"

std::set<CSound*> gSoundRegistryA;

CSound::CSound()
{
    gSoundRegistryA.insert(this);
}

CSound::~CSound()
{
    ReleaseBuffer();
    gSoundRegistryA.erase(this);
}

int CSound::Load(std::string path)
{
    if (int r = BeginLoad(path); r >= 0) {
        return r;
    }
    if (int r = ShareFromRegistry(gSoundRegistryA, path); r >= 0) {
        return r;
    }
    if (!factory_) {
        factory_.Reset(new CPCMReaderFactory);
    }
    CPcmReader* reader = factory_->CreateReader(path);
    if (!reader) {
        gErrorLog.PrintString("CSound::Load " + path + "のファイル読み込み時のエラー");
        return kSoundNotLoaded;
    }
    const WAVEFORMATEX* format = reader->GetFormat();
    uint32_t size = reader->GetSize();
    SoundLoadResult r = kSoundNotLoaded;
    if (format) {
        r = CreateAndFill(platform::kBufGlobalFocus | platform::kBufCtrlVolume | platform::kBufCtrlFrequency,
                          *format, size, [reader](uint8_t* data, uint32_t n) {
                              reader->SetLoop(false);
                              reader->Read(data, n);
                          });
    }
    reader->Release();
    if (r == kSoundLoaded) {
        fileName_ = path;
    }
    return r;
}

void CSound::ReleaseAllBuffers()
{
    for (CSound* sound : gSoundRegistryA) {
        sound->ReleaseBuffer();
    }
}

void CSound::ReloadAll()
{
    for (CSound* sound : gSoundRegistryA) {
        sound->Reload();
    }
}
