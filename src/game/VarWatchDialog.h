#pragma once
// The debug variable watch (resource 127, "デバッグ情報"): a modeless window
// over the game listing the scenario variables, then the system variables,
// with their values and their names from "scenario\VarDef.map". The list is
// filled when the player presses "情報更新". Only opened when the debug switch
// (gDebugMode) is on.
#include <memory>

#include "game/VarDefMap.h"
#include "platform/Dialog.h"

class ScenarioExecutor;

namespace var_watch {
constexpr int kRefresh = 1;
constexpr int kList = 1020;
}  // namespace var_watch

const platform::DialogTemplate& VarWatchDialogTemplate();

class CVarWatchDialog : public platform::DialogHandler {
public:
    // The executor is not owned and must outlive the dialog.
    explicit CVarWatchDialog(ScenarioExecutor* executor) : executor_(executor) {}
    // Adds the columns and reads the names.
    void OnInit(platform::DialogState& dialog) override;
    // The refresh button lists every variable with its value and name.
    void OnCommand(platform::DialogState& dialog, int id, platform::Notify notify) override;
    const VarNames& Names() const { return names_; }

private:
    ScenarioExecutor* executor_;
    VarNames names_;
};

// The watch window of the running game: open while this object lives.
class CVarWatch {
public:
    CVarWatch() = default;
    ~CVarWatch() { Close(); }
    CVarWatch(const CVarWatch&) = delete;
    CVarWatch& operator=(const CVarWatch&) = delete;

    // Opens the window over the game (a second call does nothing); false
    // without a window to show it in.
    bool Open(ScenarioExecutor* executor);
    void Close();
    bool IsOpen() const { return id_ != 0; }
    int DialogId() const { return id_; }

private:
    std::unique_ptr<CVarWatchDialog> dialog_;
    int id_ = 0;
};
