#include "fighters/FrontSight.h"

#include <cmath>
#include <cstdlib>

namespace Torvane {

FrontSight& FrontSight::setTrembling(int t) {
    trembling = t;
    return *this;
}

FrontSight& FrontSight::setDivergence(int d) {
    divergence = d;
    return *this;
}

int FrontSight::roll() { return ownDice ? static_cast<int>(dice() & 0x7FFFFFFF) : std::rand(); }

void FrontSight::jump(int strength) {
    // A negative kick is no kick; the bound keeps 2n + 1 far from overflowing.
    int n = strength < 0 ? 0 : strength > 100000 ? 100000 : strength;
    int ry = roll() % (2 * n + 1) - n;  // the first random number is vertical
    int rx = roll() % (2 * n + 1) - n;
    addMomentum(Vector(static_cast<float>(rx), static_cast<float>(ry)));
    if (divergence < maxDivergence) divergence += n;
}

void FrontSight::move() {
    // Shake: reverse and keep a random 0 to 99 % of the speed, each axis on its own.
    if (std::fabs(velocity.x) > 0.1f || std::fabs(velocity.y) > 0.1f) {
        velocity.x = static_cast<float>(-(roll() % 100) * velocity.x / 100.0);
        velocity.y = static_cast<float>(-(roll() % 100) * velocity.y / 100.0);
    }
    if (divergence > minDivergence) divergence -= 2;
    Object::move();
}

void FrontSight::draw(BITMAP* target) {
    const int green = makecol(0, 255, 0);
    const int outline = makecol(16, 24, 16);
    // A kick may throw the sight anywhere: the arms' ends are worked out wide and held off screen.
    const long long x = getX(), y = getY(), d = divergence;
    auto at = [](long long v) { return screenCoordinate(v); };
    // Each arm from (x1, y1) to (x2, y2), drawn over a dark edge so that it shows on grass and sky alike.
    const long long arms[4][4] = {
        {x - d - 6, y, x - d, y}, {x + d, y, x + d + 6, y}, {x, y - d - 6, x, y - d}, {x, y + d, x, y + d + 6}};
    for (const auto& arm : arms)
        rectfill(target, at(arm[0] - 1), at(arm[1] - 1), at(arm[2] + 1), at(arm[3] + 1), outline);
    for (const auto& arm : arms) line(target, at(arm[0]), at(arm[1]), at(arm[2]), at(arm[3]), green);
}

}  // namespace Torvane
