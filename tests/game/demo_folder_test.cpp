// The demo game's sources: its settings file has every key and its scenarios
// assemble and start where "scnstart" says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "GameTestFolder.h"
#include "scenario/AssembleFiles.h"

namespace fs = std::filesystem;

namespace {

TEST(DemoFolder, settings_have_every_key_and_the_first_scenario_builds)
{
    game_test::GameFolder folder;
    const fs::path demo = game_test::RepoFolder() / "demo";
    ASSERT_TRUE(fs::exists(demo / "scenario" / "brask.ini")) << "LANTERN_TEST_DATA must point into the repository";
    std::vector<std::string> sources;
    for (const auto& entry : fs::directory_iterator(demo / "scenario")) {
        if (entry.path().extension() == ".nss")
            sources.push_back(entry.path().string());
    }
    std::string errors;
    ASSERT_TRUE(scenario::AssembleFiles(sources, folder.path() + "/scenario", &errors))
        << "the demo scenarios must assemble: " << errors;
    fs::copy_file(demo / "scenario" / "brask.ini", folder.path() + "/scenario/brask.ini");
    FlushFileLayerCache();
    ASSERT_EQ(LoadConfig("scenario\\brask.ini"), 0) << "the demo's settings file must hold every key";
    EXPECT_TRUE(fs::exists(folder.path() + "/scenario/" + gConfig.scnstart)) << "scnstart names a built scenario";
    EXPECT_TRUE(fs::exists(folder.path() + "/scenario/scenejump.dat")) << "the scene replay needs scenejump.dat";
}

}  // namespace
