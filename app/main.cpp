#include <allegro.h>

#include <cstdio>
#include <cstring>

#include "app/BuildConfiguration.h"
#include "core/Game.h"

namespace {

// The game takes no arguments; it reads everything from the directory it runs in.
void printUsage(std::FILE* stream, const char* program) {
    std::fprintf(stream,
                 "usage: %s\n"
                 "Runs the game in the current directory, which must be the game's data/ directory\n"
                 "(it reads script/main.fb, map/, image/ and sound/ from there). It takes no options.\n",
                 program);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const bool asked = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        printUsage(asked ? stdout : stderr, argv[0]);
        return asked ? 0 : 2;
    }
    Torvane::Game* game = new Torvane::Game(Torvane::buildConfiguration().missingSoundDriver);
    game->showDebugLines(Torvane::buildConfiguration().debugLinesShown);
    std::printf("Starting Torvane ...\n");
    std::fflush(stdout);
    set_window_title(Torvane::buildConfiguration().windowTitle);
    if (!game->start()) {
        std::printf("Failed to start game.\n");
    }
    std::fflush(stdout);
    // The game is never destroyed: Allegro's exit handler winds everything down.
    return 0;
}
END_OF_MAIN()
