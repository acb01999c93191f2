#include "game/ErrorReport.h"

#include <atomic>
#include <cstdio>

#include "frame/TextEncoding.h"
#include "platform/MessageBox.h"

namespace {

std::atomic<bool> gFatal{false};
std::atomic<bool> gWriteFailureShown{false};

}  // namespace

void WriteErrorLine(const std::string& sjisDetail)
{
    const std::string line = "lantern: " + SjisToUtf8(sjisDetail) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
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
    if (gWriteFailureShown.exchange(true))
        return;
    platform::ShowMessageBox("セーブデータを書き込めませんでした\n" + sjisName + "\n" + reason, "えら",
                             platform::MessageBoxKind::Ok);
}

void ResetErrorReports()
{
    gFatal = false;
    gWriteFailureShown = false;
}
