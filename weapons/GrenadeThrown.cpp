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
    : owner(o), thrownAt(std::time(nullptr)) {
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
    thrownAt = when;
    return *this;
}

void GrenadeThrown::bomb() { fuse = 0; }

void GrenadeThrown::move() {
    if (isDead()) return;  // it has already gone off
    RealBody::move();
    if (clinkCooldown > 0) clinkCooldown -= 1;
    // Whole seconds are compared: it goes off one to two seconds after the throw.
    if (std::time(nullptr) - thrownAt < fuse) return;
    Game* game = Game::getInstance();
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
    circlefill(target, getX() - cameraX, getY() - cameraY, 5, makecol(0, 0, 0));
}

}  // namespace Torvane
