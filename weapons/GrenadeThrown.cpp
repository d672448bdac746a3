#include "weapons/GrenadeThrown.h"

#include <cmath>
#include <string>

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/Explosion.h"

namespace Torvane {

namespace {

const std::string explodeSound = "grenade_explode";
const std::string groundSound = "grenade_hitground";

}  // namespace

GrenadeThrown::GrenadeThrown(Player* o, int x, int y, int targetX, int targetY, int)
    : owner(o), thrownAt(Game::getInstance()->getClock().milliseconds()) {
    bouncy = true;
    setX(x);
    setY(y);
    // Launched at throwSpeed toward the target, by the same rule as a bullet.
    float dx = static_cast<float>(targetX) - static_cast<float>(x);
    float dy = static_cast<float>(targetY) - static_cast<float>(y);
    float speed = static_cast<float>(throwSpeed);
    velocity = Vector::heading(dx, dy, speed);
    show();
}

GrenadeThrown& GrenadeThrown::setThrownAt(std::time_t when) {
    thrownAt = static_cast<long long>(when) * 1000;
    return *this;
}

void GrenadeThrown::bomb() { fuse = 0; }

void GrenadeThrown::move() {
    if (isDead()) return;  // it has already gone off
    RealBody::move();
    if (clinkCooldown > 0) clinkCooldown -= 1;
    // On the wall clock whole seconds are compared: it goes off one to two seconds after
    // the throw. On the level runner's frame clock it is exactly 2 seconds, 132 frames.
    Game* game = Game::getInstance();
    if (game->getClock().milliseconds() - thrownAt < fuse * 1000LL) return;
    game->getObjectSystem().addObject(new Explosion(owner, getX(), getY()));
    game->getSoundSystem().playSound(explodeSound);
    die();
}

void GrenadeThrown::handleCollision(int side, Object* other) {
    RealBody::handleCollision(side, other);
    // Landings on fighters are silent; the ground clinks, at most once every few frames.
    if (side == SIDE_BELOW && !dynamic_cast<Player*>(other) && clinkCooldown <= 0) {
        Game::getInstance()->getSoundSystem().playSound(groundSound);
        clinkCooldown = clinkPause;
    }
}

bool GrenadeThrown::collide(Object* other) {
    // The thrower and its team let it through.
    Player* fighter = dynamic_cast<Player*>(other);
    if (fighter && owner && fighter->getColor() == owner->getColor()) return false;
    return RealBody::collide(other);
}

void GrenadeThrown::draw(BITMAP* target, int cameraX, int cameraY) {
    circlefill(target, screenCoordinate(getX(), cameraX), screenCoordinate(getY(), cameraY), 5, makecol(0, 0, 0));
}

}  // namespace Torvane
