#pragma once

#include <allegro.h>

namespace Torvane {

// Placeholder aiming reticle until the fighters land.
class AimSystem {
public:
    void move() {}
    void draw(BITMAP*) {}
    int getX() const { return 0; }
    int getY() const { return 0; }
};

}  // namespace Torvane
