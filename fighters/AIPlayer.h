#pragma once

#include <string>

#include "fighters/Player.h"

namespace Torvane {

// A computer fighter. While its brain is on it decides every 20 frames, and only
// while the main player lives, whether to shoot at the main player (when it is on
// screen and has a clear line of fire), to walk towards one end of the map, or to
// wait; it stops a walk before it walks off the edge of what it stands on, and a
// walk away from the main player once it is out of his sight. Under script control
// its brain is off and only host functions move it, until an enemy's shot strikes
// it: then it shoots back. Nobody decides while a speech bubble is shown. Its fire
// and jump requests last one frame.
class AIPlayer : public Player {
public:
    static constexpr int firstDecision = 50;     // frames after creation
    static constexpr int decisionInterval = 20;  // frames between decisions
    static constexpr int aimSpread = 60;         // pixels each way around the target's centre
    // A struck fighter shoots back this many frames later, brain on even if the script had it.
    static constexpr int answerDelay = 16;

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
    void answerHit(Player& by) override;
    void decide(Player& target);
    void shootAt(Player& target);
    void wander();
    void stopAtEdge();
    void stopOutOfSight(const Player& target);

    int thinkTimer = firstDecision;  // frames until the next decision
    // Off (brain on) from the start: a level that adds computer fighters wants them
    // to fight unless its script takes them over.
    bool underControl = false;
    bool answering = false;  // the next decision is a shot back
};

}  // namespace Torvane
