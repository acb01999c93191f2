#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

}  // namespace
