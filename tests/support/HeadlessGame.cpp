#include "tests/support/HeadlessGame.h"

Torvane::Game& headlessGame() {
    static Torvane::Game* game = new Torvane::Game();
    return *game;
}
