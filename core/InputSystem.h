#pragma once

#include "core/Event.h"

namespace Torvane {

// Polls keyboard and mouse once per frame and turns every change into an event.
class InputSystem {
public:
    void initialize();
    void doInput();
    void pressKey(EventAction action);
    void freeKey(EventAction action);

private:
    // Off-screen, so the first real mouse position always makes an aim event.
    int lastMouseX = -1;
    int lastMouseY = -1;
    bool pressed[30] = {};
};

}  // namespace Torvane
