#include "game/WinMain.h"

#include <signal.h>
#include <sys/stat.h>

#include <cstdio>

#include "frame/CSingleInstance.h"
#include "frame/DebugOutput.h"
#include "frame/FileLayer.h"
#include "game/GameApp.h"
#include "game/GameConfig.h"
#include "game/SystemData.h"
#include "platform/MessageBox.h"

uint8_t gDebugMode = 0;

int WinMain(void* instance, void* previousInstance, const std::string& commandLine, int showCommand)
{
    SetWinMainArgs(instance, previousInstance, commandLine, showCommand);
    // Usually there already; a failure shows later as a save that cannot be written.
    mkdir(MakeFullPath("savedata").c_str(), 0777);
    // The debug switch is the environment's LANTERN_DEBUG, never on for a
    // player who did not ask for it.
    gDebugMode = DebugOutputEnabled() ? 1 : 0;

    const int result = LoadConfig("scenario\\brask.ini");
    if (result != 0) {
        // No window exists yet: the box goes to stderr too and never waits without a display.
        char message[128];
        std::snprintf(message, sizeof message, "iniファイルの読み込みに失敗(%d)", result);
        platform::ShowMessageBox(message, "えら", platform::MessageBoxKind::Ok);
        return 1;
    }
    // A first run has no user system file yet: noted for the debugger only.
    if (const int userResult = LoadSystemData(gConfig.userini); userResult != 0) {
        char message[512];
        std::snprintf(message, sizeof message, "%sファイルの読み込みに失敗(%d)\n", gConfig.userini.c_str(), userResult);
        DebugOutput(message);
    }
    gConfig.width = 800;
    gConfig.height = 600;
    gConfig.baseDir = ".\\";

    // Poking the running copy writes to a socket its owner may already have
    // closed; that must end in an error code, never in SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    {
        CSingleInstance guard;
        if (guard.IsFirstInstance()) {
            CGameApp app;
            app.Run();
        }
        // Also when another copy runs: this copy's values are written back.
        if (SaveSystemData(gConfig.userini) != 0)
            DebugOutput("Failed! - WinMain SaveSystemData <" + gConfig.userini + ">\n");
    }
    return 0;
}
