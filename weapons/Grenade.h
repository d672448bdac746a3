#pragma once

#include "weapons/Weapon.h"

namespace Torvane {

// Grenades: one to a clip, thrown rather than fired, reloaded without a sound.
class Grenade : public Weapon {
public:
    explicit Grenade(Player* owner);
    ~Grenade() override = default;

    bool fire(int x, int y) override;
};

}  // namespace Torvane
