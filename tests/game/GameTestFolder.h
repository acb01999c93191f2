#pragma once
// A temporary game folder for the settings and start-up tests: made fresh per
// test, made the file layer's start directory, removed afterwards. It also
// holds the single-instance lock ($XDG_RUNTIME_DIR), so that tests of one
// executable running side by side under ctest never see each other's lock.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "frame/FileLayer.h"
#include "frame/ProfileFile.h"
#include "game/GameConfig.h"

namespace game_test {

// The repository's top folder (the demo's sources live there), found from the
// test data folder the test runner names.
inline std::filesystem::path RepoFolder()
{
    const char* data = std::getenv("LANTERN_TEST_DATA");
    return std::filesystem::path(data ? data : "tests/data") / ".." / "..";
}

class GameFolder {
public:
    GameFolder()
    {
        char pattern[] = "/tmp/lantern-game-XXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr) << "the test needs a temporary folder";
        path_ = made ? made : "/tmp";
        std::filesystem::create_directories(path_ + "/scenario");
        SetStartDirectory(path_);
        FlushFileLayerCache();
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        hadRuntimeDir_ = runtime != nullptr;
        if (runtime)
            savedRuntimeDir_ = runtime;
        setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
    }
    ~GameFolder()
    {
        if (hadRuntimeDir_)
            setenv("XDG_RUNTIME_DIR", savedRuntimeDir_.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        FlushFileLayerCache();
    }
    const std::string& path() const { return path_; }

    // Writes a profile file under the folder (name relative, "/" separated).
    void Write(const std::string& name, const ProfileFile& file)
    {
        ASSERT_EQ(file.save(path_ + "/" + name, 0), 0) << "the test could not write " << name;
        FlushFileLayerCache();
    }

private:
    std::string path_;
    std::string savedRuntimeDir_;
    bool hadRuntimeDir_ = false;
};

// A settings file with every key: ints 1, strings "v", two names per list.
inline ProfileFile FullSettings()
{
    ProfileFile file;
    for (const ConfigKey& key : ConfigKeys()) {
        if (key.namePattern) {
            file.SetString(key.section, key.key, "2");
            for (int i = 0; i < 2; ++i) {
                char name[64];
                std::snprintf(name, sizeof name, key.namePattern, i);
                file.SetString(key.section, name, "name" + std::to_string(i));
            }
        } else {
            file.SetString(key.section, key.key, key.isInt ? "1" : "v");
        }
    }
    return file;
}

// The same file without one key of one section.
inline ProfileFile Without(const ProfileFile& full, const std::string& section, const std::string& key)
{
    ProfileFile file;
    for (const ProfileFile::Section& s : full.Sections()) {
        for (const auto& [k, v] : s.entries) {
            if (!(s.name == section && k == key))
                file.SetString(s.name, k, v);
        }
    }
    return file;
}

}  // namespace game_test
