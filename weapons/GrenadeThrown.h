#pragma once

#include <allegro.h>

#include <ctime>

#include "fighters/RealBody.h"

namespace Torvane {

class Player;

// A grenade in flight: it bounces with a clink, passes through the thrower's
// team, and when its fuse of wall-clock seconds has burnt turns into an explosion.
class GrenadeThrown : public RealBody {
public:
    static constexpr int clinkPause = 5;  // frames between two ground sounds

    // Thrown from (x, y) toward (targetX, targetY); the last argument is unused.
    GrenadeThrown(Player* owner, int x, int y, int targetX, int targetY, int);
    ~GrenadeThrown() override = default;

    void draw(BITMAP* target, int cameraX, int cameraY) override;
    void move() override;
    bool collide(Object* other) override;
    void handleCollision(int side, Object* other) override;
    // Explodes on the next move.
    virtual void bomb();

    Player* getOwner() const { return owner; }
    int getFuse() const { return fuse; }
    int getThrowSpeed() const { return throwSpeed; }
    int getClinkCooldown() const { return clinkCooldown; }
    // Seconds on the game clock (wall-clock seconds in the game).
    std::time_t getThrownAt() const { return static_cast<std::time_t>(thrownAt / 1000); }
    // Ages the grenade as if it had been thrown at that wall-clock second.
    GrenadeThrown& setThrownAt(std::time_t when);

private:
    Player* owner;        // not owned
    int throwSpeed = 8;   // pixels per frame
    int fuse = 2;         // seconds
    long long thrownAt;  // milliseconds on the game clock
    int clinkCooldown = 0;  // frames
};

}  // namespace Torvane
