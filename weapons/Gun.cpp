#include "weapons/Gun.h"

#include <string>

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

void Gun::reload() { reloadWithSound(reloadSound); }

bool Gun::fire(int x, int y) { return shootBullet(x, y, sightKick, shotSound); }

}  // namespace Torvane
