#include "weapons/FireStar.h"

namespace Torvane {

FireStar::FireStar(int x, int y) {
    setX(x);
    setY(y);
    show();
}

void FireStar::move() {
    radius += 1;
    framesLeft -= 1;
    if (framesLeft <= 0) die();
}

void FireStar::draw(BITMAP* target, int cameraX, int cameraY) {
    circle(target, screenCoordinate(getX(), cameraX), screenCoordinate(getY(), cameraY), radius, makecol(255, 255, 0));
}

}  // namespace Torvane
