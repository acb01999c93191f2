#include "game/OptionsCommand.h"

// FIXME: the options dialog is not built yet; until it is, the command ends
// as a cancelled dialog does and nothing changes.
int RunOptionsDialog(CAudioMixer*)
{
    return 1;
}
