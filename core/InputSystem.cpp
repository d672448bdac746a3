#include "core/InputSystem.h"

#include <allegro.h>

#include <algorithm>
#include <iterator>

#include "core/Game.h"
#include "core/Settings.h"

namespace Torvane {

InputSystem::InputSystem() { useKeys(Settings()); }

void InputSystem::useKeys(const Settings& settings) {
    using Action = Settings::Action;
    const KeyBinding table[] = {
        {settings.getKey(Action::WalkLeft), ACTION_MOVE_LEFT},
        {settings.getKey(Action::WalkLeft), ACTION_MOVE_LEFT},
        {settings.getKey(Action::WalkRight), ACTION_MOVE_RIGHT},
        {settings.getKey(Action::Jump), ACTION_JUMP},
        {KEY_S, ACTION_KEY_S},
        {settings.getKey(Action::Reload), ACTION_RELOAD},
        {KEY_LSHIFT, ACTION_KEY_SHIFT},
        {settings.getKey(Action::Rifle), ACTION_SELECT_1},
        {settings.getKey(Action::Pistol), ACTION_SELECT_2},
        {settings.getKey(Action::Hands), ACTION_SELECT_3},
        {settings.getKey(Action::Grenade), ACTION_SELECT_4},
        {KEY_Q, ACTION_KEY_Q},
        {KEY_B, ACTION_KEY_B},
        {KEY_M, ACTION_KEY_M},
    };
    static_assert(sizeof table == sizeof keyBindings, "one binding per polled key");
    std::copy(std::begin(table), std::end(table), keyBindings);
}

void InputSystem::initialize() {
    install_keyboard();
    install_mouse();
    for (bool& flag : pressed) flag = false;
}

void InputSystem::doInput() {
    // Read once: Allegro's input thread may change them while this frame is polled.
    const int x = mouse_x, y = mouse_y, buttons = mouse_b;
    if (x != lastMouseX || y != lastMouseY) {
        Game::getInstance()->getClientNetwork().sendEvent(new Event{0, ACTION_AIM, false, x * 65536 + y});
        // Remembered even when the event was dropped, so that it is not sent again.
        lastMouseX = x;
        lastMouseY = y;
    }
    poll(buttons & 1, ACTION_FIRE);
    poll(buttons & 2, ACTION_MOUSE_RIGHT);
    for (const KeyBinding& binding : keyBindings) poll(key[binding.key], binding.action);
}

void InputSystem::poll(bool down, EventAction action) {
    if (down) {
        pressKey(action);
    } else {
        freeKey(action);
    }
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
