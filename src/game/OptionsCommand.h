#pragma once
// The options dialog as the window command 65535 runs it: modal, owned by the
// main window, with the game's mixer. Returns 0 when the player closed it
// with OK (the settings are applied to gConfig), 1 when cancelled (nothing
// changed; also when there is no window to show it in). Restarting the music,
// repainting and saving the user file after OK are the command's.
class CAudioMixer;

int RunOptionsDialog(CAudioMixer* mixer);
