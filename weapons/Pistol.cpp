#include "weapons/Pistol.h"

#include <string>

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

void Pistol::reload() { reloadWithSound(reloadSound); }

bool Pistol::fire(int x, int y) { return shootBullet(x, y, sightKick, shotSound); }

}  // namespace Torvane
