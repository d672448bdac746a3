#include "weapons/Bullet.h"

#include <cmath>

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/FireStar.h"

namespace Torvane {

Bullet::Bullet(Player* s, int x, int y, int targetX, int targetY) : endX(targetX), endY(targetY), shooter(s) {
    setX(x);
    setY(y);
    // Lines pass every outline of the shooter's own colour, the shooter's included.
    int ownColor = shooter ? shooter->getColor() : 0;
    int hitX = 0, hitY = 0;
    if (Game::getInstance()->getBlockSystem().checkLineCollision(ownColor, x, y, targetX, targetY, &hitX, &hitY)) {
        endX = hitX;
        endY = hitY;
    }
    float dx = static_cast<float>(endX) - static_cast<float>(x);
    float dy = static_cast<float>(endY) - static_cast<float>(y);
    speed = flightSpeed;
    velocity = Vector::heading(dx, dy, speed);
    show();
    if (shooter && shooter == Game::getInstance()->getMainPlayer()) Game::getInstance()->getLevelStats().shot();
}

void Bullet::move() {
    if (isDead()) return;
    position += velocity;
    // An end is passed once the coordinate is beyond it in the direction of flight;
    // the last step is cut to what was left, so the last streak ends on the end.
    bool passedX = velocity.x < 0 ? static_cast<float>(endX) > position.x : position.x > static_cast<float>(endX);
    if (passedX) {
        die();
        velocity.x = static_cast<float>(endX) - (position.x - velocity.x);
    }
    bool passedY = velocity.y < 0 ? static_cast<float>(endY) > position.y : position.y > static_cast<float>(endY);
    if (passedY) {
        die();
        velocity.y = static_cast<float>(endY) - (position.y - velocity.y);
    }
    if (!isDead()) return;

    position = Vector(static_cast<float>(endX), static_cast<float>(endY));
    Game* game = Game::getInstance();
    game->getObjectSystem().addObject(new FireStar(endX, endY));
    Player* target = dynamic_cast<Player*>(game->getBlockSystem().getObjectByPosition(endX, endY));
    if (!target || target == shooter) return;
    Vector direction = velocity;
    // A bullet that stood on its end already has no direction: blood flies as if pushed right.
    if (direction.x == 0 && direction.y == 0) direction = Vector(1, 0);
    direction.normalize();
    bool wasAlive = target->isAlive();
    bool headshot = target->hit(endX, endY, direction, shooter);
    const bool byPlayer = shooter && shooter == game->getMainPlayer();
    if (byPlayer && wasAlive && target->getColor() != shooter->getColor()) game->getLevelStats().struck();
    if (wasAlive && !target->isAlive() && shooter) {
        shooter->addKills();
        if (headshot) shooter->addHeadshots();
        if (byPlayer) game->getLevelStats().kill(headshot);
    }
}

void Bullet::draw(BITMAP* target, int cameraX, int cameraY) {
    int fromX = screenCoordinate(truncatedInt(position.x - velocity.x - static_cast<float>(cameraX)));
    int fromY = screenCoordinate(truncatedInt(position.y - velocity.y - static_cast<float>(cameraY)));
    line(target, fromX, fromY, screenCoordinate(getX(), cameraX), screenCoordinate(getY(), cameraY),
         makecol(255, 255, 255));
}

}  // namespace Torvane
