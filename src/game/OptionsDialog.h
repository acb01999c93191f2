#pragma once
// The options dialog (resource 111, "オプション"): the player's volumes, music
// source and CD drive, message speed, message-window colour, MP3 decoding
// and advanced screen effects. COptionsDialog is its procedure: it fills the
// controls from gConfig and, on OK only, writes them back; Cancel changes
// nothing. The window command 65535 shows it (OptionsCommand.h).
#include <string>
#include <vector>

#include "platform/Dialog.h"

namespace options_dialog {
// Control ids of the template.
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kMusicVolume = 1007;   // cdLevel
constexpr int kVoiceVolume = 1008;   // seLevel
constexpr int kDrive = 1010;         // CDDADrive
constexpr int kSpeed = 1011;         // interval, by steps
constexpr int kMusicFromCd = 1012;   // bgmCDDA
constexpr int kDriveLabel = 1013;
constexpr int kMusicLabel = 1014;
constexpr int kSystemMp3 = 1015;     // useWindowsMP3Codec
constexpr int kEffectVolume = 1016;  // se2Level
constexpr int kEffectLabel = 1017;
constexpr int kAdvanced = 1018;      // the advanced-effects table
constexpr int kWindowColour = 1019;  // BackColor

// Results.
constexpr int kResultOk = 0;
constexpr int kResultCancel = 1;
}  // namespace options_dialog

// The dialog template, every control in template order.
const platform::DialogTemplate& OptionsDialogTemplate();

// Message speed: slider step (0 "Slow" .. 4 "Fast") of an "interval";
// -1 for a value no step gives.
int SpeedStepOfInterval(int interval);
// The "interval" of a step; -1 for a step outside 0..4.
int IntervalOfSpeedStep(int step);
// Sets the four members of the advanced-effects table: on 10, 10, 10, 1;
// off 3, 3, 3, 0 ("defaultAnimationFrames", the two "AnimationLength",
// "windowMove").
void ApplyAdvancedEffects(bool on);

class COptionsDialog : public platform::DialogHandler {
public:
    // drives: the CD drives' letters in the order the system lists them.
    explicit COptionsDialog(std::vector<std::string> drives) : drives_(std::move(drives)) {}
    void OnInit(platform::DialogState& dialog) override;
    void OnCommand(platform::DialogState& dialog, int id, platform::Notify notify) override;

private:
    std::vector<std::string> drives_;
};
