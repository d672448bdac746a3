#pragma once

#include "weapons/Weapon.h"

namespace Torvane {

// The rifle: a clip of 30, a shot every 7 frames, a long reload.
class Gun : public Weapon {
public:
    static constexpr int sightKick = 30;

    explicit Gun(Player* owner);
    ~Gun() override = default;

    void reload() override;
    bool fire(int x, int y) override;
};

}  // namespace Torvane
