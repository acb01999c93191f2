// The entry of every test executable: headless SDL drivers and the test data
// folder by default (an environment that sets them wins).
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("LANTERN_TEST_DATA", LANTERN_TEST_DATA_DIR, 0);
    setenv("LANTERN_BUILD_DIR", LANTERN_BUILD_DIR_PATH, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
