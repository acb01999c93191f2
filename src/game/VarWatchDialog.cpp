#include "game/VarWatchDialog.h"

#include "game/GameConfig.h"
#include "scenario/ScenarioExecutor.h"

using namespace var_watch;
using platform::ControlKind;

namespace {

void AddRows(platform::DialogState& dialog, const std::map<int32_t, int32_t>& variables, const VarNames& names)
{
    for (const auto& [number, value] : variables) {
        const auto name = names.find(number);
        dialog.AddRow(kList, {std::to_string(number), std::to_string(value),
                              name != names.end() ? name->second : std::string()});
    }
}

}  // namespace

const platform::DialogTemplate& VarWatchDialogTemplate()
{
    // The list's three columns (350 pixels) and a scroll bar fit its width.
    static const platform::DialogTemplate kTemplate = {
        127,
        "デバッグ情報",
        250,
        220,
        {
            {kRefresh, ControlKind::kButton, "情報更新", 7, 7, 50, 14},
            {kList, ControlKind::kListView, "", 7, 26, 236, 187},
        },
    };
    return kTemplate;
}

void CVarWatchDialog::OnInit(platform::DialogState& dialog)
{
    dialog.AddColumn(kList, "変数番号", 65);
    dialog.AddColumn(kList, "値", 65);
    dialog.AddColumn(kList, "変数名", 220);
    names_ = LoadVarDefMap("scenario\\VarDef.map");
}

void CVarWatchDialog::OnCommand(platform::DialogState& dialog, int id, platform::Notify notify)
{
    if (id != kRefresh || notify != platform::Notify::kClicked)
        return;
    dialog.ClearRows(kList);
    if (executor_) {
        AddRows(dialog, executor_->valsInt(), names_);
        AddRows(dialog, executor_->systemInt(), names_);
    }
}

bool CVarWatch::Open(ScenarioExecutor* executor)
{
    if (id_ != 0)
        return true;
    dialog_ = std::make_unique<CVarWatchDialog>(executor);
    id_ = platform::OpenModelessDialog(VarWatchDialogTemplate(), *dialog_);
    if (id_ == 0)
        dialog_.reset();
    return id_ != 0;
}

void CVarWatch::Close()
{
    if (id_ != 0)
        platform::CloseModelessDialog(id_);
    id_ = 0;
    dialog_.reset();
}
