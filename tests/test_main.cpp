// The entry of every test executable: headless SDL drivers and the test data
// folder by default (an environment that sets them wins).
#include <cstdlib>

#include <gtest/gtest.h>

#include "frame/FileLayer.h"

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LANTERN_TEST_DATA", LANTERN_TEST_DATA_DIR, 0);
    setenv("LANTERN_BUILD_DIR", LANTERN_BUILD_DIR_PATH, 0);
    // The file layer keeps every name inside the game folder. Tests read their
    // data, build products and temporary files by absolute path, so the whole
    // file system is their game folder; the tests of a game (and of the
    // confinement) make a folder of their own the start directory.
    SetStartDirectory("/");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
