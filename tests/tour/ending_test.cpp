// The built program ended from outside, as a desktop session or a service
// manager ends it (SIGTERM), when its user file cannot be written: the
// failure is told on stderr and the process still ends at once with its
// usual status. Runs headless and in a real X window (the tour's two runs);
// in the X window a box at that point would have nothing under it and keep
// the process alive.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/ChildProcess.h"

namespace {

namespace fs = std::filesystem;

// Whether the process has a handler for SIGTERM (SigCgt in /proc): the
// program installs its own once its window is being made; a SIGTERM before
// that would end it as any process.
bool CatchesSigterm(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0) {
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return (mask >> (SIGTERM - 1)) & 1;
        }
    }
    return false;
}

TEST(Ending, sigterm_ends_the_program_at_once_when_the_user_file_cannot_be_written)
{
    const char* demo = std::getenv("LANTERN_DEMO_DIR");
    const char* build = std::getenv("LANTERN_BUILD_DIR");
    ASSERT_TRUE(demo && build) << "LANTERN_DEMO_DIR and LANTERN_BUILD_DIR name the demo and the build";
    const std::string program = std::string(build) + "/src/lantern";
    ASSERT_TRUE(fs::exists(program)) << program;
    char pattern[] = "/tmp/lantern-ending-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path work = pattern;
    const fs::path game = work / "game";
    fs::copy(demo, game, fs::copy_options::recursive);
    // A folder where the user file belongs: its write at the end fails, as
    // on a full disk or in a read-only folder.
    fs::remove(game / "user.ini");
    fs::create_directory(game / "user.ini");
    const std::string errPath = (work / "stderr.txt").string();

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err < 0 || dup2(err, 2) < 0 || chdir(game.c_str()) != 0)
            _exit(120);
        // The sanitizers' leak report is not what this test is about; the
        // X client libraries' allocations would fail it in the X run.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        setenv("XDG_RUNTIME_DIR", work.c_str(), 1);  // its own single-instance lock
        execl(program.c_str(), "lantern", static_cast<char*>(nullptr));
        _exit(121);
    }
    bool ready = false;
    for (int i = 0; i < 1200 && !ready; ++i) {  // up to a minute for a sanitizer build's start
        ready = CatchesSigterm(child);
        if (!ready)
            usleep(50000);
    }
    // Let it settle into its frame loop a little (not needed for the result).
    usleep(500000);
    kill(child, SIGTERM);
    const int status = test_support::WaitStatusWithin(child, 10);
    std::ifstream in(errPath);
    std::stringstream err;
    err << in.rdbuf();
    fs::remove_all(work);

    ASSERT_TRUE(ready) << "the program never got as far as its window: " << err.str();
    ASSERT_NE(status, -1) << "the process was still alive 10 s after SIGTERM: " << err.str();
    ASSERT_TRUE(WIFEXITED(status)) << "it must end by itself, not by the signal";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "SIGTERM ends the game as a quit does: " << err.str();
    EXPECT_NE(err.str().find("lantern: cannot write user.ini: "), std::string::npos)
        << "the failed save must be told on stderr: " << err.str();
    EXPECT_EQ(err.str().find(reinterpret_cast<const char*>(u8"セーブデータを書き込めませんでした")), std::string::npos)
        << "no box (nor its echo) while the program ends: " << err.str();
}

}  // namespace
