#pragma once
// The options dialog as the window command 65535 runs it: modal, owned by the
// main window, with the game's mixer. Returns 0 when the player closed it
// with OK (the settings changed), anything else when cancelled.
class CAudioMixer;

int RunOptionsDialog(CAudioMixer* mixer);
