#pragma once

#include <allegro.h>

#include <atomic>
#include <string>

namespace Torvane {

// The speech bubble. Until the dialog lands it is never shown.
class Dialog {
public:
    Dialog& show() { visible.store(true); return *this; }
    Dialog& hide() { visible.store(false); return *this; }
    void move() {}
    void draw(BITMAP*, int, int) {}
    // Polled by the script thread without the game lock.
    bool isVisible() const { return visible.load(); }

private:
    std::atomic<bool> visible{false};
};

}  // namespace Torvane
