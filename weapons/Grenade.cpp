#include "weapons/Grenade.h"

#include "core/Game.h"
#include "weapons/GrenadeThrown.h"

namespace Torvane {

Grenade::Grenade(Player* owner) : Weapon(owner, "grenade") {
    clipSize = 1;
    reloadTime = 50;
    fireInterval = 1;
}

bool Grenade::fire(int x, int y) {
    if (!Weapon::fire(x, y)) return false;
    int startX = 0, startY = 0;
    muzzlePoint(x, y, startX, startY);
    Game::getInstance()->getObjectSystem().addObject(new GrenadeThrown(owner, startX, startY, x, y, 0));
    return true;
}

}  // namespace Torvane
