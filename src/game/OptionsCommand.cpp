#include "game/OptionsCommand.h"

#include "game/OptionsDialog.h"
#include "platform/Cd.h"

int RunOptionsDialog(CAudioMixer*)
{
    // The mixer is what the dialog was always handed; the music restarts
    // through the game's sound once the command sees OK, not in here.
    COptionsDialog dialog(platform::cd::ListDrives());
    // A dialog nobody can see changes nothing.
    return platform::RunModalDialog(OptionsDialogTemplate(), dialog, options_dialog::kResultCancel);
}
