#include "core/InputSystem.h"

#include <allegro.h>

#include "core/Game.h"

namespace Torvane {

namespace {

// The keys polled after the mouse buttons, in polling order. A is polled twice:
// the second poll of a frame finds the flag already set and sends nothing.
struct KeyBinding {
    int key;  // Allegro key index
    EventAction action;
};

constexpr KeyBinding keyBindings[] = {
    {KEY_A, ACTION_MOVE_LEFT},  {KEY_A, ACTION_MOVE_LEFT}, {KEY_D, ACTION_MOVE_RIGHT},  {KEY_W, ACTION_JUMP},
    {KEY_S, ACTION_KEY_S},      {KEY_R, ACTION_RELOAD},    {KEY_LSHIFT, ACTION_KEY_SHIFT}, {KEY_1, ACTION_SELECT_1},
    {KEY_2, ACTION_SELECT_2},   {KEY_3, ACTION_SELECT_3},  {KEY_4, ACTION_SELECT_4},     {KEY_Q, ACTION_KEY_Q},
    {KEY_B, ACTION_KEY_B},      {KEY_M, ACTION_KEY_M},
};

}  // namespace

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
