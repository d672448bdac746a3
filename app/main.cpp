#include <allegro.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/BuildConfiguration.h"
#include "core/Game.h"
#include "core/Progress.h"
#include "level/LevelList.h"

namespace {

void printUsage(std::FILE* stream, const char* program) {
    std::fprintf(stream,
                 "usage: %s [--level N]\n"
                 "Runs the game in the current directory, which must be the game's data/ directory\n"
                 "(it reads script/, map/, image/ and sound/ from there). The levels are played in\n"
                 "the order of script/levels.txt; a player who has finished one chooses where to\n"
                 "start from the level select. --level N starts the N-th level at once (1 is the first).\n"
                 "Progress is kept in $XDG_DATA_HOME/torvane/progress, settings in\n"
                 "$XDG_CONFIG_HOME/torvane/settings.\n",
                 program);
}

}  // namespace

int main(int argc, char** argv) {
    const char* levelNumber = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printUsage(stdout, argv[0]);
            return 0;
        }
        if (std::strcmp(argv[i], "--level") == 0 && i + 1 < argc && !levelNumber) {
            levelNumber = argv[++i];
            continue;
        }
        printUsage(stderr, argv[0]);
        return 2;
    }
    Torvane::LevelList levels;
    std::string error;
    // A broken list is reported and the first level played, as before there was a list.
    if (!levels.load(error)) std::printf("%s; playing script/main.fb alone.\n", error.c_str());
    int first = 0;
    if (levelNumber && (first = levels.indexOf(levelNumber, error)) < 0) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 2;
    }
    static Torvane::Progress progress;
    std::string warning;
    progress.load(Torvane::Progress::defaultPath(), warning);
    if (!warning.empty()) std::printf("%s\n", warning.c_str());

    Torvane::Game* game = new Torvane::Game(Torvane::buildConfiguration().missingSoundDriver);
    game->showDebugLines(Torvane::buildConfiguration().debugLinesShown);
    game->setLevels(levels);
    game->setLevelIndex(first);
    game->useProgress(&progress, Torvane::Progress::defaultPath());
    std::printf("Starting Torvane ...\n");
    std::fflush(stdout);
    set_window_title(Torvane::buildConfiguration().windowTitle);
    // A new player goes straight into the first level; one who has finished a level chooses.
    if (!game->start(!levelNumber && !progress.isEmpty())) {
        std::printf("Failed to start game.\n");
    }
    std::fflush(stdout);
    // The game is never destroyed: Allegro's exit handler winds everything down.
    return 0;
}
END_OF_MAIN()
