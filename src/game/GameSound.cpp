#include "game/GameSound.h"

#include "game/GameConfig.h"
#include "game/MusicStart.h"
#include "sound/CAudioMixer.h"
#include "sound/ScenarioSound.h"

namespace {
// The mixer's CD audio line (CAudioMixer components: 0 master, 1 wave, 2 synthesizer, 3 CD).
constexpr int kCdLine = 3;
}  // namespace

CGameSound::CGameSound(CCDDA* cd, CAudioMixer* mixer) : cd_(cd), mixer_(mixer) {}

CGameSound::~CGameSound() = default;

scenario::SoundService* CGameSound::Start()
{
    // The old channels stop (and let go of the device) before new ones are made.
    sound_.reset();
    sound_ = std::make_unique<CScenarioSound>([] { return CurrentSoundSettings(); }, cd_, mixer_);
    sound_->SetVoiceListener(voiceListener_);
    // A system mixer keeps its CD volume from one run to the next; ours starts
    // every line at full, so the saved music level is put on the CD line here
    // (later StartCDDA calls set it again, as the options dialog does).
    if (mixer_) {
        mixer_->SetVolume(kCdLine, gConfig.cdLevel * 255, 0);
    }
    return sound_.get();
}

void CGameSound::SetVoiceListener(std::function<void(const std::string& path)> listener)
{
    voiceListener_ = std::move(listener);
    if (sound_) {
        sound_->SetVoiceListener(voiceListener_);
    }
}

scenario::SoundService* CGameSound::Service() const
{
    return sound_.get();
}

int CGameSound::RestartMusic(int track)
{
    if (!sound_) {
        return 1;
    }
    return StartCDDA(mixer_, cd_, track, sound_->Channels());
}
