// torvane-assets [--list FILE] DATA_DIRECTORY: draws every picture and synthesises every sound
// the game needs into the data directory. Run by every build.
#include <TorvaneVersion.h>
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/assets/Art.h"
#include "tools/assets/AssetWriter.h"

namespace {

enum UsageCause { ASKED_FOR, WRONG_COMMAND_LINE };

int usage(UsageCause cause) {
    std::fprintf(cause == ASKED_FOR ? stdout : stderr,
                 "usage: torvane-assets [--list FILE] DATA_DIRECTORY\n"
                 "Draws every picture and synthesises every sound of the game into DATA_DIRECTORY;\n"
                 "--list also writes the path of each file made, one a line, into FILE.\n");
    return cause == ASKED_FOR ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string listPath;
    std::string dataDirectory;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") return usage(ASKED_FOR);
        if (argument == "--version") {
            std::printf("torvane-assets %s\n", TORVANE_VERSION);
            return 0;
        }
        if (argument == "--list" && i + 1 < argc) {
            listPath = argv[++i];
        } else if (argument.empty() || argument[0] == '-' || !dataDirectory.empty()) {
            return usage(WRONG_COMMAND_LINE);
        } else {
            dataDirectory = argument;
        }
    }
    if (dataDirectory.empty()) return usage(WRONG_COMMAND_LINE);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "torvane-assets: cannot start Allegro\n");
        return 1;
    }
    // 24-bit pictures load back exactly; paletted ones would lose colours.
    set_color_depth(24);
    Art::drawGuiArt(dataDirectory);
    Art::drawMapArt(dataDirectory);
    Art::drawGorgeArt(dataDirectory);
    Art::drawFortArt(dataDirectory);
    Art::drawNightArt(dataDirectory);
    Art::drawPresentArt(dataDirectory);
    Art::drawRoleArt(dataDirectory);
    Art::drawVersusArt(dataDirectory);
    Art::writeSoundArt(dataDirectory);
    if (!listPath.empty()) {
        std::string list;
        for (const std::string& path : AssetWriter::getSavedPaths()) list += path + "\n";
        std::FILE* file = std::fopen(listPath.c_str(), "w");
        if (!file || std::fwrite(list.data(), 1, list.size(), file) != list.size() || std::fclose(file) != 0) {
            std::fprintf(stderr, "torvane-assets: cannot write the list %s\n", listPath.c_str());
            return 1;
        }
    }
    return 0;
}
