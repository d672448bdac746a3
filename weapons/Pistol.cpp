#include "weapons/Pistol.h"

#include <string>

#include "core/Game.h"
#include "weapons/Bullet.h"

namespace Torvane {

namespace {

const std::string shotSound = "pistol";
const std::string reloadSound = "pistol_reload";

}  // namespace

Pistol::Pistol(Player* owner) : Weapon(owner, "pistol") {
    clipSize = 20;
    reloadTime = 60;
    fireInterval = 15;
}

void Pistol::reload() {
    // A reload under way is not started again (and not heard again).
    if (reloading) return;
    Game::getInstance()->getSoundSystem().playSound(reloadSound);
    Weapon::reload();
}

bool Pistol::fire(int x, int y) {
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
