#pragma once

#include <string>

#include "fighters/AIPlayer.h"

namespace Torvane {

// A computer fighter for team battles, where every fighter of another colour is an enemy. Every
// thinkInterval frames (staggered by id) it picks the nearest living enemy within sight that it has a
// clear line to, and shoots bursts at it with a miss that grows with distance. Seeing none, it walks to
// get a line on the nearest enemy within sight range (or the last one that struck it), now and then
// lobbing a grenade over the cover; with no enemy about it takes a present within reach or heads for
// the contested ground. It walks from piece to piece, jumps walls and gaps it can clear, refuses drops
// it could not climb back out of, and turns back when it makes no progress.
// Its decisions follow from the world alone (positions, health, the pieces, std::rand), never from
// the camera or the clock, so that every machine of a network game decides alike. Between decisions
// only its walk is steered and a burst goes on. As with the story brain: under script control the
// script moves it until an enemy's shot strikes it, nobody decides while a speech bubble is shown,
// and its fire and jump requests last one frame.
class TeamAIPlayer : public AIPlayer {
public:
    static constexpr int thinkInterval = 15;  // frames between decisions
    static constexpr int sightRangeX = 700;   // pixels each way
    static constexpr int sightRangeY = 450;   // pixels each way
    static constexpr int presentReach = 200;  // pixels each way
    static constexpr int stuckFrames = 100;   // about 1.5 s of walking without progress
    static constexpr int climbHeight = 120;   // pixels: the highest step a jump surely climbs back
    static constexpr float walkSpeed = 3.0f;  // pixels per frame: the pace of Player's scripted walk

    TeamAIPlayer(const std::string& name, const std::string& role);
    ~TeamAIPlayer() override = default;

    void move() override;
    void doFire() override;
    void doMoveLeft() override;
    void doMoveRight() override;

    // A person's hands drive it (a player of a network match): the brain rests, the fighter
    // aims where he aims and walks as he walks. Handed over (off), the brain takes it on.
    void setHands(bool on);
    bool hasHands() const { return hands; }

    // Where it heads when it knows of no enemy; until set, the middle of the map.
    void setGoalX(int x);
    int getGoalX() const;
    // The enemy it shoots at; null while it sees none.
    Player* getTarget() const { return target; }

protected:
    void answerHit(Player& by) override;

private:
    static constexpr int noSurface = 2147483647;  // what highestTop finds where no piece is

    void think();
    void decide();
    void scanEnemies();
    bool hasLineTo(const Player& other) const;
    // Still one of the game's fighters: pointers kept across frames are checked before use.
    bool isListed(const Player* fighter) const;
    void chooseWeapon();
    void keepFiring();
    void fireAt(const Player& at);
    bool throwGrenadeAt(const Player& at);
    bool grenadeAim(const Player& at, int& aimX, int& aimY) const;
    bool teamMateNear(int x, int y) const;
    // Picks the nearest present with a picture within reach and jumps for one above it; false when none.
    bool headForPresent(int& x);

    void walkTo(int x);
    void haltWalk();
    void steerWalk();
    void judgeEdge();
    bool mayDescend(int x, int floorTop) const;
    bool canClear(int distance, int rise) const;
    void trackProgress();
    // The top of the highest map piece that spans column x and reaches into rows fromY to toY.
    int highestTop(int x, int fromY, int toY) const;

    // Fighters are never destroyed while their map lives, and neither is this one after it.
    Player* target = nullptr;    // seen, in range, and shot at
    Player* hidden = nullptr;    // in range but behind cover: walked to, or given a grenade
    Player* attacker = nullptr;  // the last enemy whose shot struck it
    const Player* pursued = nullptr;  // the enemy the walk goes after, if any

    int goalX = 0;
    bool goalSet = false;
    bool hands = false;

    // The walk: a direction (-1, 0, 1) toward walkGoal, a centre x.
    int walkDirection = 0;
    int walkGoal = 0;
    int wantedDirection = 0;  // where the last decision wanted to go, even when it could not
    bool wantsToWalk = false;
    const Object* edgeJudged = nullptr;  // the board whose edge ahead is already judged
    const Object* blockedBoard = nullptr;  // the board it would not leave toward blockedDirection
    int blockedDirection = 0;
    int progressX = 0;
    int stalledFrames = 0;
    bool triedJump = false;
    int detourDirection = 0;
    int detourFrames = 0;

    int shotsLeft = 0;  // of the burst under way
    int shotTimer = 0;  // frames to the next shot
    int grenadeCooldown = 0;  // frames
    bool readyingGrenade = false;  // the grenade is in hand, loading for a throw

    int presentId = 0;  // the present it walks to, and how many decisions it has stood at it
    int presentVisits = 0;
    int ignoredPresentId = 0;  // one it could not take
};

}  // namespace Torvane
