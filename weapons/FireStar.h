#pragma once

#include "world/Object.h"

namespace Torvane {

// The spark where a bullet stops: a yellow ring that grows for ten frames and vanishes.
class FireStar : public Object {
public:
    FireStar(int x, int y);
    ~FireStar() override = default;

    void draw(BITMAP* target, int cameraX, int cameraY) override;
    void move() override;

    int getFramesLeft() const { return framesLeft; }
    int getRadius() const { return radius; }

private:
    int framesLeft = 10;
    int radius = 1;  // pixels
};

}  // namespace Torvane
