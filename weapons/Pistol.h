#pragma once

#include "weapons/Weapon.h"

namespace Torvane {

// The pistol: a clip of 20, a shot every 15 frames, a quicker reload.
class Pistol : public Weapon {
public:
    static constexpr int sightKick = 20;

    explicit Pistol(Player* owner);
    ~Pistol() override = default;

    void reload() override;
    bool fire(int x, int y) override;
};

}  // namespace Torvane
