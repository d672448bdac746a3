#pragma once

#include <allegro.h>

#include "world/Object.h"

namespace Torvane {

class Player;

// A grenade's blast: a white disc that grows for ten frames and hurts every
// fighter whose centre it covers, the thrower's team included.
class Explosion : public Object {
public:
    static constexpr int growth = 20;  // pixels of radius a frame

    Explosion(Player* owner, int x, int y);
    ~Explosion() override = default;

    void draw(BITMAP* target, int cameraX, int cameraY) override;
    void move() override;

    int getFramesLeft() const { return framesLeft; }
    int getRadius() const { return radius; }
    Player* getOwner() const { return owner; }

private:
    int framesLeft = 10;
    int radius = 1;  // pixels
    Player* owner;   // credited with the kills; not owned
};

}  // namespace Torvane
