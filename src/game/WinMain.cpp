#include "game/WinMain.h"

#include <signal.h>
#include <sys/stat.h>

#include <cstdio>

#include "frame/CSingleInstance.h"
#include "frame/DebugOutput.h"
#include "frame/FileLayer.h"
#include "frame/TextEncoding.h"
#include "frame/WriteFileAtomic.h"
#include "game/ErrorReport.h"
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
    ResetErrorReports();

    std::string why;
    const int result = LoadConfig("scenario\\brask.ini", &why);
    if (result != 0) {
        // The system's line with its code, then the file, the folder it was
        // looked for in and what failed: a player started in the wrong folder
        // sees it at once. No window exists yet: the box writes its text to
        // stderr itself (so the detail is not written here too) and never
        // waits without a display.
        const std::string detail = "scenario/brask.ini in " + Utf8ToSjis(GetStartDirectory()) + ": " + why;
        const bool outside = result == kConfigUserIniOutside || result == kConfigSaveDataOutside;
        char message[128];
        std::snprintf(message, sizeof message,
                      outside ? "iniファイルの書き込み先がゲームのフォルダの外です(%d)\n" : "iniファイルの読み込みに失敗(%d)\n",
                      result);
        platform::ShowMessageBox(message + detail, "えら", platform::MessageBoxKind::Ok);
        return 1;
    }
    // Saves cut short by a crash or a kill may have left their temporary files.
    RemoveStaleTemporaries(MakeFullPath(gConfig.userini));
    RemoveStaleTemporariesIn(MakeFullPath("savedata"));
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
            // The layer has said why on stderr (no video, no window).
            if (!app.MainRan())
                ReportFatalError("the main window could not be made");
        }
        // The game is over: a failure from here on (the user file below on a
        // full disk, say) goes to stderr, never into a box that would hold
        // the process after its window has gone.
        MarkProgramEnding();
        // Also when another copy runs: this copy's values are written back
        // (a failure is reported by SaveSystemData itself).
        SaveSystemData(gConfig.userini);
    }
    // A failure repeated up to the end is counted in the log now, not after
    // whatever the caller writes next.
    FlushErrorLines();
    // After a fatal error (the game's box has named it) the status says so too,
    // for scripts and launchers that start the game.
    return FatalErrorReported() ? kExitFatalError : 0;
}
