#include "game/NameInputDialog.h"

using namespace name_input;
using platform::ControlKind;

const platform::DialogTemplate& NameInputDialogTemplate()
{
    static const platform::DialogTemplate kTemplate = {
        0,
        "名前の入力",
        180,
        74,
        {
            {-1, ControlKind::kStatic, "名前を入力してください（16文字まで）", 7, 7, 166, 10},
            {kName, ControlKind::kEdit, "", 7, 20, 166, 14},
            {kNote, ControlKind::kStatic, "", 7, 37, 166, 10},
            {kOk, ControlKind::kDefaultButton, "OK", 65, 53, 50, 14},
        },
    };
    return kTemplate;
}

void CNameInputDialog::OnInit(platform::DialogState& dialog)
{
    dialog.SetLimit(kName, kMaxCharacters);
    dialog.SetText(kName, initial_);
    dialog.SetText(kNote, "");
    name_ = initial_;
}

void CNameInputDialog::OnCommand(platform::DialogState& dialog, int id, platform::Notify notify)
{
    if (id == kName) {
        dialog.SetText(kNote, notify == platform::Notify::kRefused ? "この文字は使えません" : "");
        return;
    }
    if (id == kOk && notify == platform::Notify::kClicked) {
        const std::string& typed = dialog.Text(kName);
        name_ = typed.empty() ? initial_ : typed;
        dialog.End(0);
    }
}

std::string RunNameInputDialog(const std::string& initial)
{
    CNameInputDialog dialog(initial);
    platform::RunModalDialog(NameInputDialogTemplate(), dialog, 0);
    return dialog.Name();
}
