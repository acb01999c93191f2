#include "game/OptionsDialog.h"

#include "game/GameConfig.h"

using namespace options_dialog;
using platform::ControlKind;

namespace {

// Message speed: the per-character delay of each slider step, slow to fast.
constexpr int kSpeedIntervals[] = {10, 5, 3, 1, 0};
constexpr int kSpeedSteps = 5;

struct EffectLengths {
    int frames;      // "defaultAnimationFrames", and both "AnimationLength"
    int windowMove;
};
constexpr EffectLengths kAdvancedOn = {10, 1};
constexpr EffectLengths kAdvancedOff = {3, 0};

constexpr int kLevelMax = 255;
const int kLevelSliders[] = {kMusicVolume, kVoiceVolume, kEffectVolume, kWindowColour};

int* LevelMember(int id)
{
    switch (id) {
    case kMusicVolume: return &gConfig.cdLevel;
    case kVoiceVolume: return &gConfig.seLevel;
    case kEffectVolume: return &gConfig.se2Level;
    case kWindowColour: return &gConfig.BackColor;
    default: return nullptr;
    }
}

void EnableDriveChoice(platform::DialogState& dialog)
{
    const bool cd = dialog.IsChecked(kMusicFromCd);
    dialog.Enable(kDriveLabel, cd);
    dialog.Enable(kDrive, cd);
}

void Apply(const platform::DialogState& dialog)
{
    gConfig.CDDADrive = dialog.ItemText(kDrive, dialog.Selection(kDrive));
    for (int id : kLevelSliders)
        *LevelMember(id) = dialog.Pos(id);
    if (const int interval = IntervalOfSpeedStep(dialog.Pos(kSpeed)); interval >= 0)
        gConfig.interval = interval;
    gConfig.bgmCDDA = dialog.IsChecked(kMusicFromCd) ? 1 : 0;
    gConfig.useWindowsMP3Codec = dialog.IsChecked(kSystemMp3) ? 1 : 0;
    ApplyAdvancedEffects(dialog.IsChecked(kAdvanced));
}

}  // namespace

// The controls keep their ids and order. Each slider's row (its name, the
// end labels, the slider) shares one middle line: a label 14 pixels high
// stands 2 units below the top of the 20-pixel slider beside it, and the
// left end labels form a column clear of the slider. The MP3 box says what
// it chooses here: FFmpeg, or the program's own decoder.
const platform::DialogTemplate& OptionsDialogTemplate()
{
    static const platform::DialogTemplate kTemplate = {
        111,
        "オプション",
        255,
        323,
        {
            {kOk, ControlKind::kDefaultButton, "OK", 130, 302, 50, 14},
            {kMusicVolume, ControlKind::kSlider, "", 97, 77, 126, 15},
            {-1, ControlKind::kStatic, "音声ボリューム", 7, 113, 65, 11},
            {kVoiceVolume, ControlKind::kSlider, "", 97, 111, 126, 15},
            {kDrive, ControlKind::kCombo, "", 143, 43, 41, 15},
            {kDriveLabel, ControlKind::kStatic, "音楽CDドライブ", 18, 44, 65, 11},
            {-1, ControlKind::kStatic, "メッセージスピード", 7, 171, 65, 11},
            {kSpeed, ControlKind::kSlider, "", 97, 169, 126, 17},
            {-1, ControlKind::kStatic, "Min", 78, 79, 16, 8},
            {-1, ControlKind::kStatic, "Max", 227, 79, 16, 8},
            {-1, ControlKind::kStatic, "Min", 78, 113, 16, 8},
            {-1, ControlKind::kStatic, "Max", 227, 113, 16, 8},
            {-1, ControlKind::kStatic, "Slow", 78, 171, 16, 8},
            {-1, ControlKind::kStatic, "Fast", 227, 171, 16, 8},
            {-1, ControlKind::kGroupBox, "音楽", 7, 7, 234, 62},
            {kMusicFromCd, ControlKind::kCheckBox, "音楽をCDDAで鳴らす（OFFならPCM）", 17, 25, 125, 10},
            {kMusicLabel, ControlKind::kStatic, "音楽ボリューム", 7, 79, 65, 11},
            {kSystemMp3, ControlKind::kCheckBox, "mp3をFFmpegで再生する（OFFなら内蔵デコーダ、再起動後有効）", 7, 279, 230, 10},
            {kAdvanced, ControlKind::kCheckBox, "高度な画面効果を使用する", 7, 245, 95, 10},
            {kEffectLabel, ControlKind::kStatic, "効果音ボリューム", 7, 143, 65, 11},
            {kEffectVolume, ControlKind::kSlider, "", 97, 141, 126, 15},
            {-1, ControlKind::kStatic, "Min", 78, 143, 16, 8},
            {-1, ControlKind::kStatic, "Max", 227, 143, 16, 8},
            {kCancel, ControlKind::kButton, "キャンセル", 198, 302, 50, 14},
            {-1, ControlKind::kStatic, "メッセージ枠色", 7, 202, 65, 11},
            {kWindowColour, ControlKind::kSlider, "", 97, 200, 126, 17},
            {-1, ControlKind::kStatic, "Light", 78, 202, 16, 8},
            {-1, ControlKind::kStatic, "Dark", 227, 202, 16, 8},
        },
    };
    return kTemplate;
}

int SpeedStepOfInterval(int interval)
{
    for (int step = 0; step < kSpeedSteps; ++step) {
        if (kSpeedIntervals[step] == interval)
            return step;
    }
    return -1;
}

int IntervalOfSpeedStep(int step)
{
    return step >= 0 && step < kSpeedSteps ? kSpeedIntervals[step] : -1;
}

void ApplyAdvancedEffects(bool on)
{
    const EffectLengths& lengths = on ? kAdvancedOn : kAdvancedOff;
    gConfig.defaultAnimationFrames = lengths.frames;
    gConfig.AnimationLength = lengths.frames;
    gConfig.vistaAnimationLength = lengths.frames;
    gConfig.windowMove = lengths.windowMove;
}

void COptionsDialog::OnInit(platform::DialogState& dialog)
{
    dialog.ResetItems(kDrive);
    int selected = -1;
    for (size_t n = 0; n < drives_.size(); ++n) {
        dialog.AddItem(kDrive, drives_[n]);
        // Exact text: a lower-case or empty setting selects the first drive.
        if (drives_[n] == gConfig.CDDADrive)
            selected = static_cast<int>(n);
    }
    dialog.Select(kDrive, selected < 0 ? 0 : selected);

    for (int id : kLevelSliders) {
        dialog.SetRange(id, 0, kLevelMax);
        dialog.SetPos(id, *LevelMember(id));
    }
    dialog.SetRange(kSpeed, 0, kSpeedSteps - 1);
    // An interval no step gives leaves the slider at "Slow".
    dialog.SetPos(kSpeed, 0);
    if (const int step = SpeedStepOfInterval(gConfig.interval); step >= 0)
        dialog.SetPos(kSpeed, step);

    dialog.SetChecked(kMusicFromCd, gConfig.bgmCDDA != 0);
    EnableDriveChoice(dialog);
    dialog.SetChecked(kSystemMp3, gConfig.useWindowsMP3Codec != 0);
    dialog.SetChecked(kAdvanced, gConfig.windowMove != 0);
}

void COptionsDialog::OnCommand(platform::DialogState& dialog, int id, platform::Notify notify)
{
    if (notify != platform::Notify::kClicked)
        return;
    switch (id) {
    case kMusicFromCd: EnableDriveChoice(dialog); break;
    case kOk:
        Apply(dialog);
        dialog.End(kResultOk);
        break;
    case kCancel: dialog.End(kResultCancel); break;
    default: break;
    }
}
