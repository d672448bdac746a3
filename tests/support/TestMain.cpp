#include <gtest/gtest.h>
#include <unistd.h>

#include <allegro.h>

#include <cstdlib>

#include "tests/support/HeadlessGame.h"

int main(int argc, char** argv) {
    // Unit tests never touch a display or a sound card, and read data files
    // relative to the game's data directory, as the game does.
    unsetenv("DISPLAY");
    setenv("ALSOFT_DRIVERS", "null", 1);
    if (chdir(TORVANE_DATA_DIR) != 0) return 1;
    headlessGame();
    // The game runs at the desktop's depth, 32 bits under X.
    set_color_depth(32);
    // A forked death-test child has only the forking thread, while the game's and Allegro's
    // threads may hold locks it then waits on for ever (seen under ThreadSanitizer): children
    // start the program afresh instead.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
