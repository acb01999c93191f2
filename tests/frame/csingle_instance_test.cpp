// The game's single-instance guard belongs to the game folder, not to the
// program: one lantern binary serves many games.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "frame/CSingleInstance.h"
#include "frame/FileLayer.h"

namespace fs = std::filesystem;

namespace {

// Whether a copy started in `folder` (another process, as in real use) finds itself the first.
bool OtherCopyIsFirst(const fs::path& folder)
{
    const pid_t child = fork();
    if (child == 0) {
        SetStartDirectory(folder.string());
        CSingleInstance guard;
        _exit(guard.IsFirstInstance() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(CSingleInstance, second_copy_in_the_same_game_folder_is_refused_another_game_runs)
{
    char pattern[] = "/tmp/lantern-games-XXXXXX";
    const fs::path root = mkdtemp(pattern);
    fs::create_directories(root / "one");
    fs::create_directories(root / "two");
    fs::create_directory_symlink(root / "one", root / "link-to-one");
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
    const std::string start = GetStartDirectory();
    {
        SetStartDirectory((root / "one").string());
        CSingleInstance first;
        ASSERT_TRUE(first.IsFirstInstance());
        EXPECT_FALSE(OtherCopyIsFirst(root / "one")) << "the same game must not run twice";
        EXPECT_FALSE(OtherCopyIsFirst(root / "link-to-one")) << "the folder is known by its resolved path";
        EXPECT_TRUE(OtherCopyIsFirst(root / "two")) << "the same program in another game's folder must run";
    }
    SetStartDirectory(start);
    if (saved.empty())
        unsetenv("XDG_RUNTIME_DIR");
    else
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    fs::remove_all(root);
}

}  // namespace
