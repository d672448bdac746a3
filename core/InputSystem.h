#pragma once

#include "core/Event.h"

namespace Torvane {

class Settings;

// Polls keyboard and mouse once per frame and turns every change of a control
// into an event: a held control yields one pressed event and, when let go, one
// released event. Runs on the main thread outside the game lock.
class InputSystem {
public:
    // Starts on the settings' default keys.
    InputSystem();
    void initialize();
    // The keys of walk, jump, reload and the weapons from now on; S, left Shift, Q, B and M stay.
    void useKeys(const Settings& settings);
    // Mouse movement first, then the buttons, then the keys: the order in which
    // one frame's events are queued and carried out.
    void doInput();
    void pressKey(EventAction action);
    void freeKey(EventAction action);
    bool isPressed(EventAction action) const { return pressed[action]; }

private:
    void poll(bool down, EventAction action);

    struct KeyBinding {
        int key;  // Allegro scancode
        EventAction action;
    };
    // The keys polled after the mouse buttons, in polling order. Walking left is polled twice:
    // the second poll of a frame finds the flag already set and sends nothing.
    KeyBinding keyBindings[14];

    // Off-screen, so the first real mouse position always makes an aim event.
    int lastMouseX = -1;
    int lastMouseY = -1;
    // Whether each control is held as far as events have told; changes even when
    // the event is dropped, so a control held without a main player stays silent
    // until it is let go and pressed again.
    bool pressed[30] = {};
};

}  // namespace Torvane
