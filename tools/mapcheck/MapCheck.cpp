// torvane-mapcheck [--data DIR] [--picture FILE.bmp] MAP...
//
// Checks map files the way the game reads them: from the game's data directory
// (--data DIR, else the one core/DataDirectory finds), so MAP is written as
// the level script writes it, e.g. map/valley.map. Every problem is printed
// with its record number; the exit status is 0 when all maps are sound, 1 when
// any has a problem or the picture cannot be written, 2 for a wrong command
// line; --help prints the usage and exits 0. --picture draws the first map
// as the game would show it, whole, into a BMP file (relative to the current
// directory, not the data directory).
#include <TorvaneVersion.h>
#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/DataDirectory.h"
#include "core/MapChecker.h"
#include "world/PictureFile.h"

namespace {

enum UsageCause { ASKED_FOR, WRONG_COMMAND_LINE };

// The usage on standard output and status 0 when asked for, on standard error and status 2 after a wrong command line.
int usage(UsageCause cause) {
    const bool asked = cause == ASKED_FOR;
    std::fprintf(asked ? stdout : stderr,
                 "usage: torvane-mapcheck [--data DIRECTORY] [--picture FILE.bmp] MAP...\n"
                 "       torvane-mapcheck --version\n"
                 "  MAP is a path inside the data directory, as a level script names it (map/valley.map).\n"
                 "  Without --data the data is $TORVANE_DATA, else the current directory when it holds\n"
                 "  script/main.fb, else the installed share/torvane. --picture draws the first map whole\n"
                 "  into a BMP file (relative to the current directory).\n"
                 "  Exit status: 0 when every map is sound, 1 when one has a problem or the picture cannot be\n"
                 "  written, 2 for a wrong command line.\n");
    return asked ? 0 : 2;
}

// The whole map as the game would show it: background, then every piece in file order.
bool drawMap(const Torvane::MapFile& map, const std::string& picturePath) {
    if (!map.hasSize()) return false;
    BITMAP* canvas = create_bitmap(map.getWidth(), map.getHeight());
    if (!canvas) return false;
    clear_to_color(canvas, makecol(map.getRed(), map.getGreen(), map.getBlue()));
    for (const Torvane::MapPiece& piece : map.getPieces()) {
        if (piece.kind != Torvane::MapFile::SOLID && piece.kind != Torvane::MapFile::DECORATION) continue;
        std::string reason;
        BITMAP* picture = Torvane::PictureFile::load("image/object/" + piece.imageName, reason);
        if (!picture) continue;
        draw_sprite(canvas, picture, piece.x, piece.y);
        destroy_bitmap(picture);
    }
    bool saved = save_bitmap(picturePath.c_str(), canvas, nullptr) == 0;
    destroy_bitmap(canvas);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDirectory;
    std::string picturePath;
    std::vector<std::string> maps;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            return usage(ASKED_FOR);
        } else if (argument == "--version") {
            std::printf("torvane-mapcheck %s\n", TORVANE_VERSION);
            return 0;
        } else if ((argument == "--data" || argument == "--picture") && i + 1 < argc) {
            (argument == "--data" ? dataDirectory : picturePath) = argv[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            return usage(WRONG_COMMAND_LINE);
        } else {
            maps.push_back(argument);
        }
    }
    if (maps.empty()) return usage(WRONG_COMMAND_LINE);
    if (!picturePath.empty() && picturePath[0] != '/') {
        char here[4096];
        if (getcwd(here, sizeof here)) picturePath = std::string(here) + "/" + picturePath;
    }
    Torvane::DataDirectory data;
    if (!data.find(Torvane::DataDirectory::ofThisProgram(dataDirectory)) || !data.enter()) {
        std::fprintf(stderr, "torvane-mapcheck: %s\n", data.getError().c_str());
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "torvane-mapcheck: cannot start Allegro\n");
        return 2;
    }
    set_color_depth(32);

    bool allSound = true;
    for (const std::string& path : maps) {
        Torvane::MapChecker checker;
        if (checker.check(path)) {
            std::printf("%s\n", checker.getSummary().c_str());
        } else {
            allSound = false;
            for (const auto& problem : checker.getProblems()) std::printf("%s\n", problem.message.c_str());
            std::printf("%s: %zu problem%s\n", path.c_str(), checker.getProblems().size(),
                        checker.getProblems().size() == 1 ? "" : "s");
        }
        if (!picturePath.empty() && path == maps.front()) {
            if (drawMap(checker.getMap(), picturePath)) std::printf("%s: drawn into %s\n", path.c_str(), picturePath.c_str());
            else {
                std::printf("%s: cannot draw the map into %s\n", path.c_str(), picturePath.c_str());
                allSound = false;
            }
        }
    }
    return allSound ? 0 : 1;
}
