#include <allegro.h>

#include <cstdio>

#include "app/BuildConfiguration.h"
#include "core/Game.h"

int main() {
    Torvane::Game* game = new Torvane::Game();
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
