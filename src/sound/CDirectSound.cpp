#include "sound/CDirectSound.h"

#include <mutex>

#include "frame/ComInitialize.h"
#include "frame/ErrorLog.h"
#include "platform/Audio.h"
#include "platform/WindowMessages.h"
#include "sound/CSound.h"

Holder<CDirectSound> gSharedDirectSound;
int gSoundUseCount = 0;

namespace {
// Guards the holder and the count: the streaming workers count themselves in.
std::recursive_mutex& UseLock()
{
    static std::recursive_mutex lock;
    return lock;
}
}  // namespace

CDirectSound::CDirectSound()
{
    comReady_ = ComInitializeThread() == 0;
    if (Initialize() == 0) {
        AddWindowListener(this);
        listening_ = true;
    }
}

CDirectSound::~CDirectSound()
{
    Release();
    if (comReady_) {
        ComUninitializeThread();
    }
    if (listening_) {
        RemoveWindowListener(this);
    }
}

int CDirectSound::Initialize()
{
    Release();
    if (!comReady_) {
        gErrorLog.Print("CDirectSound::CoInitializeに失敗");
        return 1;
    }
    device_ = platform::AudioDevice::Create();
    if (!device_) {
        gErrorLog.Print("CDirectSound objectの作成に失敗");
        return 2;
    }
    return 0;
}

int CDirectSound::Release()
{
    CSound::ReleaseAllBuffers();
    device_.reset();
    return 0;
}

bool CDirectSound::RestoreAll()
{
    if (device_) {
        CSound::ReloadAll();
    }
    return false;
}

int CDirectSound::OnWindowMessage(platform::WindowHandle /*window*/, uint32_t message, platform::WParam wParam,
                                  platform::LParam /*lParam*/)
{
    if (message == platform::kWmActivateApp && wParam != 0) {
        RestoreAll();
    }
    return 0;
}

CDirectSound* SoundUseIn()
{
    std::lock_guard<std::recursive_mutex> lock(UseLock());
    if (gSoundUseCount++ == 0) {
        gSharedDirectSound.Reset(new CDirectSound, true);
    }
    return gSharedDirectSound.get();
}

void SoundUseOut()
{
    std::lock_guard<std::recursive_mutex> lock(UseLock());
    if (gSoundUseCount > 0 && --gSoundUseCount == 0) {
        gSharedDirectSound.Reset();
    }
}

platform::AudioDevice* SharedAudioDevice()
{
    std::lock_guard<std::recursive_mutex> lock(UseLock());
    return gSharedDirectSound.get() ? gSharedDirectSound->GetDevice() : nullptr;
}
