#include "weapons/Explosion.h"

#include <cstdlib>

#include "core/Game.h"
#include "fighters/Player.h"

namespace Torvane {

Explosion::Explosion(Player* o, int x, int y) : owner(o) {
    setX(x);
    setY(y);
    show();
}

void Explosion::move() {
    const long long reach = static_cast<long long>(radius) * radius;
    for (Player* fighter : Game::getInstance()->getPlayers()) {
        int centreX = fighter->getCentralX();
        int centreY = fighter->getCentralY();
        long long dx = static_cast<long long>(centreX) - getX();
        long long dy = static_cast<long long>(centreY) - getY();
        // Far centres are passed over before squaring: fighters at opposite ends of the int range are 2^32 apart.
        if (std::llabs(dx) > radius || std::llabs(dy) > radius || dx * dx + dy * dy > reach) continue;
        Vector direction(static_cast<float>(dx), static_cast<float>(dy));
        // A fighter centred on the blast has no direction: its blood flies as if pushed right.
        if (dx == 0 && dy == 0) direction = Vector(1, 0);
        direction.normalize();
        bool wasAlive = fighter->isAlive();
        bool headshot = fighter->hit(centreX, centreY, direction, owner);
        if (wasAlive && !fighter->isAlive() && owner) {
            owner->addKills();
            if (headshot) owner->addHeadshots();
            if (owner == Game::getInstance()->getMainPlayer()) Game::getInstance()->getLevelStats().kill(headshot);
        }
    }
    radius += growth;
    framesLeft -= 1;
    if (framesLeft <= 0) die();
}

void Explosion::draw(BITMAP* target, int cameraX, int cameraY) {
    circlefill(target, screenCoordinate(getX(), cameraX), screenCoordinate(getY(), cameraY), radius,
               makecol(255, 255, 255));
}

}  // namespace Torvane
