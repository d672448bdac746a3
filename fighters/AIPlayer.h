#pragma once

#include <string>

#include "fighters/Player.h"

namespace Torvane {

// A computer fighter. While its brain is on it decides every 20 frames, and only
// while the main player lives, whether to shoot at the main player (when it is on
// screen and has a clear line of fire), to walk towards one end of the map, or to
// wait; it stops a walk before it walks off the edge of what it stands on. Under
// script control its brain is off and only host functions move it. Its fire and
// jump requests last one frame.
class AIPlayer : public Player {
public:
    static constexpr int firstDecision = 50;     // frames after creation
    static constexpr int decisionInterval = 20;  // frames between decisions
    static constexpr int aimSpread = 60;         // pixels each way around the target's centre

    AIPlayer(const std::string& name, const std::string& role);
    ~AIPlayer() override = default;

    void move() override;
    void doFire() override;
    void doMoveLeft() override;
    void doMoveRight() override;

    bool isUnderControl() const { return underControl; }
    void setControlMode(bool on) { underControl = on; }
    int getThinkTimer() const { return thinkTimer; }

protected:
    void decide(Player& target);
    void shootAt(Player& target);
    void wander();
    void stopAtEdge();

    int thinkTimer = firstDecision;  // frames until the next decision
    // Off (brain on) from the start: a level that adds computer fighters wants them
    // to fight unless its script takes them over.
    bool underControl = false;
};

}  // namespace Torvane
