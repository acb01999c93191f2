#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/SingleInstance.h"

namespace {

// Points $XDG_RUNTIME_DIR at a fresh folder for the test.
class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() / ("lantern-si-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        saved_ = old ? old : "";
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    void TearDown() override
    {
        if (saved_.empty()) {
            unsetenv("XDG_RUNTIME_DIR");
        } else {
            setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
        }
        std::filesystem::remove_all(dir_);
    }
    std::filesystem::path dir_;
    std::string saved_;
};

TEST_F(SingleInstance, second_copy_is_detected_and_pokes_the_first)
{
    platform::SingleInstanceGuard first("/opt/game/lantern");
    ASSERT_TRUE(first.IsFirst());
    EXPECT_EQ(first.LockPath().rfind(dir_.string(), 0), 0u) << "the lock must live in $XDG_RUNTIME_DIR";
    EXPECT_EQ(first.TakePokes(), 0) << "nobody poked yet";

    // The second copy is another process, as it is in real use.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::SingleInstanceGuard second("/opt/game/lantern");
        _exit(second.IsFirst() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second copy must see that the first one runs";
    EXPECT_EQ(first.TakePokes(), 1) << "the second copy must poke the first so it raises its window";
    EXPECT_EQ(first.TakePokes(), 0) << "a poke is taken once";
}

TEST_F(SingleInstance, different_programs_do_not_collide_and_release_frees_the_lock)
{
    {
        platform::SingleInstanceGuard a("/opt/a/lantern");
        platform::SingleInstanceGuard b("/opt/b/lantern");
        EXPECT_TRUE(a.IsFirst());
        EXPECT_TRUE(b.IsFirst()) << "copies of the program in other folders are other programs";
        platform::SingleInstanceGuard again("/opt/a/lantern");
        EXPECT_FALSE(again.IsFirst()) << "the same path again must be refused";
        EXPECT_EQ(a.TakePokes(), 1);
    }
    platform::SingleInstanceGuard after("/opt/a/lantern");
    EXPECT_TRUE(after.IsFirst()) << "the lock must be free once the first copy ended";
}

TEST_F(SingleInstance, stale_socket_of_a_crashed_copy_is_replaced)
{
    std::string socketPath;
    {
        platform::SingleInstanceGuard first("/opt/c/lantern");
        socketPath = first.LockPath().substr(0, first.LockPath().size() - 5) + ".sock";
    }
    // A crashed copy leaves its socket file behind.
    FILE* stale = std::fopen(socketPath.c_str(), "w");
    ASSERT_NE(stale, nullptr);
    std::fclose(stale);
    platform::SingleInstanceGuard first("/opt/c/lantern");
    ASSERT_TRUE(first.IsFirst());
    platform::SingleInstanceGuard second("/opt/c/lantern");
    EXPECT_FALSE(second.IsFirst());
    EXPECT_EQ(first.TakePokes(), 1) << "the first copy must listen although an old socket file was there";
}

TEST_F(SingleInstance, unusable_lock_folder_lets_the_game_start)
{
    setenv("XDG_RUNTIME_DIR", "/nonexistent/lantern-test", 1);
    platform::SingleInstanceGuard guard("/opt/d/lantern");
    EXPECT_TRUE(guard.IsFirst()) << "a guard that cannot work must not keep the game from starting";
}

// Without $XDG_RUNTIME_DIR the files go to "lantern-<uid>" under $TMPDIR.
class SingleInstanceInTmp : public SingleInstance {
protected:
    void SetUp() override
    {
        SingleInstance::SetUp();
        unsetenv("XDG_RUNTIME_DIR");
        const char* old = std::getenv("TMPDIR");
        savedTmp_ = old ? old : "";
        setenv("TMPDIR", dir_.c_str(), 1);
        own_ = dir_ / ("lantern-" + std::to_string(getuid()));
    }
    void TearDown() override
    {
        if (savedTmp_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", savedTmp_.c_str(), 1);
        SingleInstance::TearDown();
    }
    std::string savedTmp_;
    std::filesystem::path own_;
};

TEST_F(SingleInstanceInTmp, lock_goes_to_a_folder_of_the_users_own)
{
    platform::SingleInstanceGuard guard("/opt/e/lantern");
    ASSERT_TRUE(guard.IsFirst());
    EXPECT_EQ(guard.LockPath().rfind(own_.string() + "/", 0), 0u) << guard.LockPath();
    struct stat st;
    ASSERT_EQ(lstat(own_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "nobody else may enter the folder";
    platform::SingleInstanceGuard second("/opt/e/lantern");
    EXPECT_FALSE(second.IsFirst()) << "the guard still works there";
}

TEST_F(SingleInstanceInTmp, planted_link_or_foreign_folder_cannot_hold_the_game_back)
{
    // Another user got there first: a link to a folder of theirs...
    const std::filesystem::path theirs = dir_ / "theirs";
    std::filesystem::create_directories(theirs);
    std::filesystem::create_directory_symlink(theirs, own_);
    {
        platform::SingleInstanceGuard guard("/opt/f/lantern");
        EXPECT_TRUE(guard.IsFirst()) << "the game starts";
        EXPECT_TRUE(std::filesystem::is_empty(theirs)) << "nothing is created through the link";
    }
    // ...or a folder of theirs under our name.
    std::filesystem::remove(own_);
    std::filesystem::create_directories(own_);
    ASSERT_EQ(chown(own_.c_str(), 65534, 65534), 0);
    platform::SingleInstanceGuard guard("/opt/f/lantern");
    EXPECT_TRUE(guard.IsFirst());
    EXPECT_TRUE(std::filesystem::is_empty(own_)) << "a folder that is not ours is not used";
}

TEST_F(SingleInstance, lock_file_replaced_by_a_link_is_not_followed)
{
    std::string lockPath;
    {
        platform::SingleInstanceGuard first("/opt/g/lantern");
        lockPath = first.LockPath();
    }
    const std::filesystem::path target = dir_ / "victim";
    { std::ofstream(target) << "precious"; }
    std::filesystem::remove(lockPath);
    std::filesystem::create_symlink(target, lockPath);
    platform::SingleInstanceGuard guard("/opt/g/lantern");
    EXPECT_TRUE(guard.IsFirst()) << "the game starts unguarded rather than lock someone else's file";
    std::ifstream in(target);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "precious");
}

}  // namespace
