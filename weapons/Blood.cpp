#include "weapons/Blood.h"

#include <cstdlib>

#include "core/Game.h"
#include "fighters/Player.h"

namespace Torvane {

Blood::Blood(int x, int y, const Vector& direction)
    : size(std::rand() % 5 + 1), color(makecol(255, 0, 0)), createdAt(Game::getInstance()->getClock().milliseconds()) {
    setX(x);
    setY(y);
    // Each axis flies back against the shot at 0 to 4 times the unit direction,
    // and half of the time not at all. The random numbers are drawn in this order.
    int factorX = std::rand() % spread;
    int switchX = std::rand() % 2;
    int factorY = std::rand() % spread;
    int switchY = std::rand() % 2;
    setVelocity(Vector(-static_cast<float>(factorX * switchX) * direction.x,
                       -static_cast<float>(factorY * switchY) * direction.y));
    show();
}

Blood& Blood::setLifeSeconds(int seconds) {
    lifeSeconds = seconds;
    return *this;
}

Blood& Blood::setCreatedAt(std::time_t when) {
    createdAt = static_cast<long long>(when) * 1000;
    return *this;
}

void Blood::draw(BITMAP* target, int cameraX, int cameraY) {
    circlefill(target, screenCoordinate(getX(), cameraX), screenCoordinate(getY(), cameraY), size, color);
}

void Blood::move() {
    RealBody::move();
    if (Game::getInstance()->getClock().milliseconds() - createdAt >= lifeSeconds * 1000LL) die();
}

bool Blood::collide(Object* other) {
    // Most entries of a crowded block are out of reach: answer those before the
    // type test. Only the board needs the full step, which frees a body that
    // left it. A drop never stands on a fighter, so this changes no answer.
    // The boxes are worked out in place: this runs for every pair in a block.
    // Wide, for boxes at the ends of the int range.
    long long left = getX(), top = getY();
    long long otherLeft = other->getX(), otherTop = other->getY();
    bool touching = otherLeft <= left + width && otherTop <= top + height &&
                    otherLeft + other->getWidth() >= left && otherTop + other->getHeight() >= top;
    if (!touching && other != board) return false;
    if (dynamic_cast<Player*>(other)) return false;
    return RealBody::collide(other);
}

}  // namespace Torvane
