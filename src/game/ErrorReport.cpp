#include "game/ErrorReport.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "frame/RepeatedLineFilter.h"
#include "frame/TextEncoding.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"

namespace {

std::atomic<bool> gFatal{false};
std::atomic<bool> gWriteFailureShown{false};
std::atomic<bool> gEnding{false};

std::mutex gLinesLock;

// Never destroyed: a line may still come from a destructor at exit; the
// pending count is written by the atexit handler instead.
RepeatedLineFilter& Lines()
{
    static RepeatedLineFilter* lines = [] {
        auto* filter = new RepeatedLineFilter([](const std::string& line) {
            const std::string text = line + "\n";
            std::fwrite(text.data(), 1, text.size(), stderr);
            std::fflush(stderr);
        });
        std::atexit(FlushErrorLines);
        return filter;
    }();
    return *lines;
}

}  // namespace

void WriteErrorLine(const std::string& sjisDetail)
{
    const std::lock_guard<std::mutex> lock(gLinesLock);
    Lines().Write("lantern: " + SjisToUtf8(sjisDetail));
}

void FlushErrorLines()
{
    const std::lock_guard<std::mutex> lock(gLinesLock);
    Lines().Flush();
}

void ReportFatalError(const std::string& sjisDetail)
{
    gFatal = true;
    WriteErrorLine(sjisDetail);
}

bool FatalErrorReported() { return gFatal; }

void ReportWriteFailure(const std::string& sjisName, const std::string& reason)
{
    WriteErrorLine("cannot write " + sjisName + ": " + reason);
    // The line above says it all while the program ends: the window may be
    // gone, and nobody would be there to close a box.
    if (gEnding || platform::EndRequested() || gWriteFailureShown.exchange(true))
        return;
    platform::ShowMessageBox("セーブデータを書き込めませんでした\n" + sjisName + "\n" + reason, "えら",
                             platform::MessageBoxKind::Ok);
}

void MarkProgramEnding() { gEnding = true; }

void ResetErrorReports()
{
    FlushErrorLines();
    gFatal = false;
    gWriteFailureShown = false;
    gEnding = false;
}
