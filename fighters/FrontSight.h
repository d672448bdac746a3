#pragma once

#include <allegro.h>

#include <random>

#include "fighters/RealBody.h"

namespace Torvane {

// The crosshair, a small body in screen pixels: shots kick it and widen it, and
// each frame it shakes back with decaying swing while the gap narrows again.
// It never falls: its move does not apply the body's gravity.
class FrontSight : public RealBody {
public:
    FrontSight() = default;
    ~FrontSight() override = default;

    using RealBody::draw;
    void move() override;
    // Four green arms around the sight, the centre left open.
    virtual void draw(BITMAP* target);
    // A kick of up to strength pixels a frame each way, and a wider gap.
    virtual void jump(int strength);

    int getTrembling() const { return trembling; }
    FrontSight& setTrembling(int t);
    int getDivergence() const { return divergence; }
    FrontSight& setDivergence(int d);
    int getMinDivergence() const { return minDivergence; }
    int getMaxDivergence() const { return maxDivergence; }
    // Its own dice instead of the world's: in a network match each machine's sight shakes for its
    // own player alone, and must not move the random numbers every machine's world draws alike.
    void useOwnDice(bool on) { ownDice = on; }

private:
    int roll();

    bool ownDice = false;
    std::minstd_rand dice;
    int trembling = 0;
    int divergence = 5;  // half-gap of the crosshair, pixels
    int minDivergence = 5;
    int maxDivergence = 50;
};

}  // namespace Torvane
