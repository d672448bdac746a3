// torvane-assets DATA_DIRECTORY: draws every picture and synthesises every sound
// the game needs into the data directory. Run by every build.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tools/assets/Art.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: torvane-assets DATA_DIRECTORY\n");
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "torvane-assets: cannot start Allegro\n");
        return 1;
    }
    // 24-bit pictures load back exactly; paletted ones would lose colours.
    set_color_depth(24);
    std::string dataDirectory = argv[1];
    Art::drawGuiArt(dataDirectory);
    Art::drawMapArt(dataDirectory);
    Art::drawPresentArt(dataDirectory);
    Art::drawRoleArt(dataDirectory);
    Art::writeSoundArt(dataDirectory);
    return 0;
}
