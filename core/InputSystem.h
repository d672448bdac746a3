#pragma once

#include "core/Event.h"

namespace Torvane {

// Polls keyboard and mouse once per frame and turns every change of a control
// into an event: a held control yields one pressed event and, when let go, one
// released event. Runs on the main thread outside the game lock.
class InputSystem {
public:
    void initialize();
    // Mouse movement first, then the buttons, then the keys: the order in which
    // one frame's events are queued and carried out.
    void doInput();
    void pressKey(EventAction action);
    void freeKey(EventAction action);
    bool isPressed(EventAction action) const { return pressed[action]; }

private:
    void poll(bool down, EventAction action);

    // Off-screen, so the first real mouse position always makes an aim event.
    int lastMouseX = -1;
    int lastMouseY = -1;
    // Whether each control is held as far as events have told; changes even when
    // the event is dropped, so a control held without a main player stays silent
    // until it is let go and pressed again.
    bool pressed[30] = {};
};

}  // namespace Torvane
