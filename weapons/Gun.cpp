#include "weapons/Gun.h"

#include <string>

#include "core/Game.h"
#include "weapons/Bullet.h"

namespace Torvane {

namespace {

const std::string shotSound = "gun";
const std::string reloadSound = "gun_reload";

}  // namespace

Gun::Gun(Player* owner) : Weapon(owner, "gun") {
    clipSize = 30;
    reloadTime = 100;
    fireInterval = 7;
}

void Gun::reload() {
    // A reload under way is not started again (and not heard again).
    if (reloading) return;
    Game::getInstance()->getSoundSystem().playSound(reloadSound);
    Weapon::reload();
}

bool Gun::fire(int x, int y) {
    if (!Weapon::fire(x, y)) return false;
    Game* game = Game::getInstance();
    if (heldByMainPlayer()) game->getAimSystem().jump(sightKick);
    int startX = 0, startY = 0;
    muzzlePoint(x, y, startX, startY);
    game->getObjectSystem().addObject(new Bullet(owner, startX, startY, x, y));
    game->getSoundSystem().playSound(shotSound);
    return true;
}

}  // namespace Torvane
