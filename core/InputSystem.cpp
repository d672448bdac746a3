#include "core/InputSystem.h"

#include <allegro.h>

#include "core/Game.h"

namespace Torvane {

void InputSystem::initialize() {
    install_keyboard();
    install_mouse();
    for (bool& flag : pressed) flag = false;
}

void InputSystem::doInput() {
    // Input events are turned into fighter actions by a later piece of the game;
    // until then the controls are read only for Escape, by the main loop.
}

void InputSystem::pressKey(EventAction action) {
    if (pressed[action]) return;
    Game::getInstance()->getClientNetwork().sendEvent(new Event{0, action, true, 0});
    pressed[action] = true;
}

void InputSystem::freeKey(EventAction action) {
    if (!pressed[action]) return;
    Game::getInstance()->getClientNetwork().sendEvent(new Event{0, action, false, 0});
    pressed[action] = false;
}

}  // namespace Torvane
