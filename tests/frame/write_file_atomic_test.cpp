// Whole-file writes: a writer killed at any moment leaves the last whole file
// and, once the next start has run, no temporary file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "frame/WriteFileAtomic.h"

namespace fs = std::filesystem;

namespace {

class Folder {
public:
    Folder()
    {
        char pattern[] = "/tmp/lantern-write-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~Folder() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.insert(entry.path().filename().string());
        return names;
    }
    void Touch(const std::string& name) const { std::ofstream(*this / name) << "x"; }

private:
    std::string path_;
};

// A process id that has just ended (and is not handed out again at once).
pid_t DeadPid()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

TEST(WriteFileAtomic, killed_writers_leave_the_last_whole_file_and_no_temporary_after_the_next_start)
{
    Folder folder;
    const std::string target = folder / "user.ini";
    constexpr size_t kSize = 1 << 21;
    const std::string versions[2] = {std::string(kSize, 'A'), std::string(kSize, 'B')};
    ASSERT_EQ(WriteFileAtomic(target, versions[0].data(), kSize), kWriteOk);
    std::mt19937 random(17);
    for (int round = 0; round < 40; ++round) {
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (unsigned k = 0;; ++k)
                WriteFileAtomic(target, versions[k & 1].data(), kSize);
        }
        usleep(200 + random() % 4000);
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
    }
    // What the next start does before anything else.
    RemoveStaleTemporaries(target);
    EXPECT_EQ(folder.Names(), std::set<std::string>{"user.ini"}) << "a temporary file outlived its writer";
    std::ifstream in(target, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string content = bytes.str();
    EXPECT_TRUE(content == versions[0] || content == versions[1]) << "the file must be one whole version";
}

TEST(WriteFileAtomic, only_temporaries_of_ended_writers_are_removed)
{
    Folder folder;
    const std::string dead = std::to_string(DeadPid());
    const std::string live = std::to_string(getpid());
    for (const std::string& name : std::set<std::string>{"user.ini.tmp" + dead, "user.ini.tmp" + live, "save01.dat.tmp" + dead,
                                    "notes.tmp", "a.tmp12x", ".tmp" + dead})
        folder.Touch(name);
    RemoveStaleTemporaries(folder / "user.ini");
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"user.ini.tmp" + live, "save01.dat.tmp" + dead, "notes.tmp",
                                                     "a.tmp12x", ".tmp" + dead}))
        << "only the target's own leftover of a process that is gone may go";
    RemoveStaleTemporariesIn(folder / "");
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"user.ini.tmp" + live, "notes.tmp", "a.tmp12x", ".tmp" + dead}))
        << "a folder sweep takes every \"<name>.tmp<pid>\" of a process that is gone, and nothing else";
}

}  // namespace
