#pragma once
// The name input the scenario's "input" instruction opens: a modal window
// over the game with one line for the name, filled with the scenario's
// initial name. OK or Enter confirms; there is no cancel. At most 16
// characters; a character Shift-JIS cannot hold is refused with a note under
// the field; an empty entry keeps the initial name. The name is Shift-JIS.
#include <string>

#include "platform/Dialog.h"

namespace name_input {
constexpr int kOk = 1;
constexpr int kName = 1001;
constexpr int kNote = 1002;
constexpr int kMaxCharacters = 16;
}  // namespace name_input

const platform::DialogTemplate& NameInputDialogTemplate();

class CNameInputDialog : public platform::DialogHandler {
public:
    explicit CNameInputDialog(std::string initial) : initial_(std::move(initial)) {}
    void OnInit(platform::DialogState& dialog) override;
    void OnCommand(platform::DialogState& dialog, int id, platform::Notify notify) override;
    // The name entered (the initial name when the field was left empty).
    const std::string& Name() const { return name_; }

private:
    std::string initial_;
    std::string name_;
};

// Asks the player for a name over the game and returns it (Shift-JIS); with
// nobody to ask (no window) the initial name.
std::string RunNameInputDialog(const std::string& initial);
