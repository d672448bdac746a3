#pragma once

#include <allegro.h>

#include "world/Object.h"

namespace Torvane {

class Player;

// One shot of a rifle or pistol. Where it stops is settled when it is made, by
// tracing its line across the block map; it then flies there at 100 pixels a
// frame, drawn as a white streak, leaves a spark and hits the fighter it ends on.
class Bullet : public Object {
public:
    static constexpr float flightSpeed = 100.0f;  // pixels per frame

    // From the muzzle (x, y) toward the aimed world point (targetX, targetY).
    Bullet(Player* shooter, int x, int y, int targetX, int targetY);
    ~Bullet() override = default;

    void draw(BITMAP* target, int cameraX, int cameraY) override;
    void move() override;

    int getEndX() const { return endX; }
    int getEndY() const { return endY; }
    float getSpeed() const { return speed; }
    Player* getShooter() const { return shooter; }

private:
    int endX;
    int endY;
    float speed = flightSpeed;
    Player* shooter;  // not owned
};

}  // namespace Torvane
