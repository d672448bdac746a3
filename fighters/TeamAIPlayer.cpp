#include "fighters/TeamAIPlayer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/Game.h"
#include "level/PresentBox.h"
#include "weapons/Weapon.h"
#include "world/WorldConstants.h"

namespace Torvane {

namespace {

constexpr int pistolSlot = 1, rifleSlot = 2, grenadeSlot = 3;

constexpr int maxSightings = 8;      // enemies whose line is checked in one decision, nearest first
constexpr int reactionDelay = 8;     // frames from being struck to the next decision
constexpr int closeEnough = 400;     // pixels: a seen enemy nearer than this is fought from where it stands
constexpr int goalRadius = 80;       // pixels around the goal where it lingers
constexpr int arriveDistance = 12;   // pixels
constexpr int progressStep = 12;     // pixels of walk that count as progress
constexpr int turnGrace = 45;        // frames after the stuck jump before it turns back
constexpr int detourLength = 130;    // frames of walking the other way
constexpr int detourReach = 400;     // pixels: far enough that a detour does not arrive
constexpr int edgeLookAhead = 4;     // pixels between its leading side and the edge when it judges the edge
constexpr int probeStep = 12;        // pixels between the columns looked at across a gap
constexpr int jumpReach = 300;       // pixels: no gap beyond this is looked at
constexpr int floorRunOut = 128;     // pixels: a floor this long beyond a drop is no pit
constexpr int clearMargin = 4;       // pixels
constexpr int burstLength = 3;       // shots at most per decision
constexpr int baseSpread = 6;        // pixels each way at point blank
constexpr int spreadDistance = 10;   // pixels of distance per further pixel of spread
constexpr int grenadeNearest = 120;  // pixels: nearer, the blast would reach the thrower
constexpr int grenadeFarthest = 450;
constexpr int grenadeChance = 3;     // one decision in this many, when one could be thrown
constexpr int grenadePause = 200;    // frames between throws
constexpr int grenadeBlast = 110;    // pixels: no throw where a team-mate stands this near the target
constexpr int grenadeMiss = 60;      // pixels of height the arc may miss the target by
constexpr float throwSpeed = 8.0f;   // pixels per frame: a thrown grenade's launch speed
constexpr float jumpMomentum = 300.0f;  // Player::doJump's push

long long square(long long v) { return v * v; }

// The pieces of the map are the only collidable objects that are not bodies.
bool isSolidPiece(const Object* o) { return o->isCollidable() && !dynamic_cast<const RealBody*>(o); }

}  // namespace

TeamAIPlayer::TeamAIPlayer(const std::string& name, const std::string& role) : AIPlayer(name, role) {
    // Staggered, so that a team made in one go does not think all in the same frame.
    thinkTimer = 1 + getId() % thinkInterval;
}

void TeamAIPlayer::setGoalX(int x) {
    goalX = x;
    goalSet = true;
}

int TeamAIPlayer::getGoalX() const {
    return goalSet ? goalX : Game::getInstance()->getMapSystem().getWidth() / 2;
}

void TeamAIPlayer::setHands(bool on) {
    hands = on;
    // Whatever the hands held is let go: the brain starts from a standing fighter.
    if (!on) stopMoving();
}

void TeamAIPlayer::doFire() {
    if (hands) Player::doFire();
    else AIPlayer::doFire();
}

void TeamAIPlayer::doMoveLeft() {
    if (hands) Player::doMoveLeft();
    else AIPlayer::doMoveLeft();
}

void TeamAIPlayer::doMoveRight() {
    if (hands) Player::doMoveRight();
    else AIPlayer::doMoveRight();
}

void TeamAIPlayer::move() {
    // The hands' controls are held, not one frame's requests: nothing is let go here.
    if (hands) return Player::move();
    // A speech is a truce: the brain waits with its timers where they are.
    if (isAlive() && !underControl && !Game::getInstance()->getDialog().isVisible()) think();
    Player::move();
    // The brain's requests last one frame; the next frame makes new ones.
    jump(false);
    holdFire();
}

void TeamAIPlayer::answerHit(Player& by) {
    if (hands) return;
    underControl = false;
    attacker = &by;
    if (thinkTimer > reactionDelay) thinkTimer = reactionDelay;
}

void TeamAIPlayer::think() {
    if (detourFrames > 0) --detourFrames;
    if (grenadeCooldown > 0) --grenadeCooldown;
    if (--thinkTimer <= 0) {
        thinkTimer = thinkInterval;
        decide();
    }
    steerWalk();
    keepFiring();
}

void TeamAIPlayer::decide() {
    scanEnemies();
    if (board != blockedBoard) blockedDirection = 0;
    edgeJudged = nullptr;  // the new plan judges the edge ahead afresh
    const Player* away = hidden;
    if (!away && isListed(attacker) && attacker->isAlive()) away = attacker;
    readyingGrenade = readyingGrenade && !target && away;
    if (!readyingGrenade) chooseWeapon();

    const int x = getCentralX();
    bool walk = false;
    int destination = x;
    pursued = nullptr;
    if (target) {
        animation.setDirection(target->getCentralX() < x ? 1 : 0);
        shotsLeft = 1 + std::rand() % burstLength;
        shotTimer = 0;
        if (std::llabs(static_cast<long long>(target->getCentralX()) - x) > closeEnough) {
            walk = true;
            destination = target->getCentralX();
            pursued = target;
        } else if (std::rand() % 4 == 0) {
            // A step aside now and then: a fighter that never moves is an easy mark and a dull one.
            walk = true;
            const int step = 40 + std::rand() % 80;
            destination = saturatedSum(x, std::rand() % 2 == 0 ? step : -step);
        }
    } else if (away) {
        if (!throwGrenadeAt(*away)) {
            if (readyingGrenade) chooseWeapon();
            readyingGrenade = false;
            walk = true;
            destination = away->getCentralX();
            pursued = away;
            // A jump may show it over low cover.
            if (std::rand() % 4 == 0) jump(true);
        }
    } else if (headForPresent(destination)) {
        walk = true;
    } else {
        const int goal = getGoalX();
        if (std::llabs(static_cast<long long>(goal) - x) > goalRadius) {
            walk = true;
            destination = goal;
        } else if (std::rand() % 6 == 0) {
            walk = true;
            destination = saturatedSum(goal, std::rand() % (3 * goalRadius) - 3 * goalRadius / 2);
        }
    }
    if (detourFrames > 0) {
        walk = true;
        destination = saturatedSum(x, detourDirection * detourReach);
    }
    wantsToWalk = walk;
    if (walk) {
        walkTo(destination);
    } else {
        wantedDirection = 0;
        haltWalk();
    }
    trackProgress();
}

void TeamAIPlayer::scanEnemies() {
    struct Sighting {
        Player* fighter;
        long long distance;  // squared pixels
    };
    Sighting nearest[maxSightings];
    int count = 0;
    const long long x = getCentralX(), y = getCentralY();
    for (Player* other : Game::getInstance()->getPlayers()) {
        if (other == this || !other->isAlive() || other->getColor() == color) continue;
        const long long dx = other->getCentralX() - x, dy = other->getCentralY() - y;
        if (std::llabs(dx) > sightRangeX || std::llabs(dy) > sightRangeY) continue;
        const long long distance = square(dx) + square(dy);
        // Kept nearest first; of two as near, the one listed first.
        int at = count < maxSightings ? count++ : maxSightings;
        while (at > 0 && nearest[at - 1].distance > distance) {
            if (at < maxSightings) nearest[at] = nearest[at - 1];
            --at;
        }
        if (at < maxSightings) nearest[at] = Sighting{other, distance};
    }
    target = hidden = nullptr;
    for (int i = 0; i < count && !target; ++i) {
        if (hasLineTo(*nearest[i].fighter)) target = nearest[i].fighter;
    }
    if (!target && count > 0) hidden = nearest[0].fighter;
}

bool TeamAIPlayer::hasLineTo(const Player& other) const {
    int hitX = 0, hitY = 0;
    // The trace passes outlines of its own colour: its own and its team's.
    if (!Game::getInstance()->getBlockSystem().checkLineCollision(color, getCentralX(), getCentralY(),
                                                                  other.getCentralX(), other.getCentralY(), &hitX,
                                                                  &hitY)) {
        return true;
    }
    // The first thing met must be the other's own outline.
    const long long left = other.getX(), top = other.getY();
    return hitX >= left - 1 && hitX <= left + other.getWidth() + 1 && hitY >= top - 1 &&
           hitY <= top + other.getHeight() + 1;
}

bool TeamAIPlayer::isListed(const Player* fighter) const {
    if (!fighter) return false;
    for (const Player* p : Game::getInstance()->getPlayers()) {
        if (p == fighter) return true;
    }
    return false;
}

void TeamAIPlayer::chooseWeapon() {
    Weapon* rifle = getWeapon(rifleSlot);
    Weapon* pistol = getWeapon(pistolSlot);
    int slot = equipment;
    if (rifle && rifle->getBulletTotal() > 0) slot = rifleSlot;
    else if (pistol && pistol->getBulletTotal() > 0) slot = pistolSlot;
    else if (rifle) slot = rifleSlot;
    else if (pistol) slot = pistolSlot;
    if (slot != equipment) setEquipment(slot);
    Weapon* weapon = getCurrentWeapon();
    if (equipment == 0 || !weapon || weapon->isReloading() || weapon->getBulletReserve() <= 0) return;
    // An empty clip is filled at once; a half-spent one only while nobody is in sight.
    if (weapon->getBulletCurrent() == 0 || (!target && weapon->getBulletCurrent() * 2 < weapon->getClipSize())) {
        weapon->reload();
    }
}

void TeamAIPlayer::keepFiring() {
    if (shotsLeft <= 0 || --shotTimer > 0) return;
    if (!isListed(target) || !target->isAlive() || equipment == grenadeSlot) {
        shotsLeft = 0;
        return;
    }
    fireAt(*target);
    --shotsLeft;
    const Weapon* weapon = getCurrentWeapon();
    // One frame past the cool-down, so that no request meets a weapon still cooling.
    shotTimer = (weapon ? weapon->getFireInterval() : 0) + 1;
}

void TeamAIPlayer::fireAt(const Player& at) {
    const long long dx = static_cast<long long>(at.getCentralX()) - getCentralX();
    const long long dy = static_cast<long long>(at.getCentralY()) - getCentralY();
    const long long distance = std::max(std::llabs(dx), std::llabs(dy));
    const int spread = baseSpread + static_cast<int>(std::min<long long>(distance, 1L << 20) / spreadDistance);
    // The vertical miss is drawn first, as the story brain draws it.
    const int missY = std::rand() % (2 * spread + 1) - spread;
    const int missX = std::rand() % (2 * spread + 1) - spread;
    // Aimed beyond the target: a shot that misses flies on to what stands behind it.
    const long long aimX = 2 * (dx + missX), aimY = 2 * (dy + missY);
    fire(saturatedInt(getCentralX() + aimX), saturatedInt(getCentralY() + aimY));
}

bool TeamAIPlayer::throwGrenadeAt(const Player& at) {
    Weapon* grenade = getWeapon(grenadeSlot);
    if (!grenade || grenade->getBulletTotal() <= 0 || grenadeCooldown > 0) return false;
    const long long distance = std::llabs(static_cast<long long>(at.getCentralX()) - getCentralX());
    if (distance < grenadeNearest || distance > grenadeFarthest) return false;
    if (!readyingGrenade && std::rand() % grenadeChance != 0) return false;
    int aimX = 0, aimY = 0;
    if (teamMateNear(at.getCentralX(), at.getCentralY()) || !grenadeAim(at, aimX, aimY)) return false;
    if (equipment != grenadeSlot) setEquipment(grenadeSlot);
    readyingGrenade = true;
    // An empty clip loads in the hand; the throw waits for a later decision.
    if (grenade->getBulletCurrent() == 0 || grenade->getTimer() > 0) return true;
    animation.setDirection(aimX < getCentralX() ? 1 : 0);
    fire(aimX, aimY);
    readyingGrenade = false;
    grenadeCooldown = grenadePause;
    shotsLeft = 0;
    return true;
}

bool TeamAIPlayer::grenadeAim(const Player& at, int& aimX, int& aimY) const {
    const int x = getCentralX(), y = getCentralY();
    const int direction = at.getCentralX() < x ? -1 : 1;
    // The arc must pass over what blocks the line: the top of the piece there, or the point itself.
    int hitX = at.getCentralX(), hitY = at.getCentralY();
    Game::getInstance()->getBlockSystem().checkLineCollision(color, x, y, at.getCentralX(), at.getCentralY(), &hitX,
                                                             &hitY);
    const int piece = highestTop(hitX, hitY, hitY);
    const float coverX = static_cast<float>(std::llabs(static_cast<long long>(hitX) - x));
    const float coverUp = static_cast<float>(static_cast<long long>(y) - std::min(piece, hitY) + 2 * clearMargin);
    const float targetX = static_cast<float>(std::llabs(static_cast<long long>(at.getCentralX()) - x));
    const float targetUp = static_cast<float>(static_cast<long long>(y) - at.getCentralY());
    // Up is positive here; the arc's height at distance d is d tan(a) - g d^2 / (2 (v cos(a))^2).
    float bestMiss = static_cast<float>(grenadeMiss);
    bool found = false;
    for (int degrees = 15; degrees <= 75; degrees += 5) {
        const float angle = static_cast<float>(degrees) * 3.14159265f / 180.0f;
        const float along = throwSpeed * std::cos(angle);
        const float slope = std::tan(angle);
        auto heightAt = [&](float d) { return d * slope - gravityAccel * d * d / (2.0f * along * along); };
        if (heightAt(coverX) < coverUp) continue;
        const float miss = std::fabs(heightAt(targetX) - targetUp);
        if (miss > bestMiss) continue;
        bestMiss = miss;
        found = true;
        aimX = saturatedSum(x, direction * static_cast<int>(100.0f * std::cos(angle)));
        aimY = saturatedDifference(y, static_cast<int>(100.0f * std::sin(angle)));
    }
    return found;
}

bool TeamAIPlayer::teamMateNear(int x, int y) const {
    for (const Player* p : Game::getInstance()->getPlayers()) {
        if (p->getColor() != color || !p->isAlive()) continue;
        if (std::llabs(static_cast<long long>(p->getCentralX()) - x) <= grenadeBlast &&
            std::llabs(static_cast<long long>(p->getCentralY()) - y) <= grenadeBlast) {
            return true;
        }
    }
    return false;
}

bool TeamAIPlayer::headForPresent(int& destination) {
    const BlockSystem& blocks = Game::getInstance()->getBlockSystem();
    const long long x = getCentralX(), y = getCentralY();
    const int blockWidth = blocks.getBlockWidth(), blockHeight = blocks.getBlockHeight();
    const PresentBox* best = nullptr;
    long long bestDistance = 0;
    for (long long row = (y - presentReach) / blockHeight; row <= (y + presentReach) / blockHeight; ++row) {
        for (long long column = (x - presentReach) / blockWidth; column <= (x + presentReach) / blockWidth; ++column) {
            if (row < 0 || column < 0 || row > INT_MAX || column > INT_MAX) continue;
            const std::vector<Object*>* list =
                blocks.getBlock(static_cast<unsigned int>(row), static_cast<unsigned int>(column));
            if (!list) continue;
            for (const Object* o : *list) {
                const PresentBox* box = dynamic_cast<const PresentBox*>(o);
                // A trigger area has no picture: it is not there to be taken.
                if (!box || box->isDead() || !box->isVisible() || !box->getImage() || box->getId() == ignoredPresentId) {
                    continue;
                }
                const long long dx = box->getCentralX() - x, dy = box->getCentralY() - y;
                if (std::llabs(dx) > presentReach || std::llabs(dy) > presentReach) continue;
                if (!best || square(dx) + square(dy) < bestDistance) {
                    best = box;
                    bestDistance = square(dx) + square(dy);
                }
            }
        }
    }
    if (!best) return false;
    if (best->getId() != presentId) {
        presentId = best->getId();
        presentVisits = 0;
    }
    // A box it stands at and cannot take (only some fighters may) is given up after a while.
    if (std::llabs(static_cast<long long>(best->getCentralX()) - x) <= width && ++presentVisits > 3) {
        ignoredPresentId = presentId;
        return false;
    }
    if (best->getY() + best->getHeight() < getY() && std::llabs(best->getCentralX() - x) <= width) jump(true);
    destination = best->getCentralX();
    return true;
}

void TeamAIPlayer::walkTo(int x) {
    const long long offset = static_cast<long long>(x) - getCentralX();
    const int direction = offset > arriveDistance ? 1 : offset < -arriveDistance ? -1 : 0;
    wantedDirection = direction;
    if (direction == 0 || (board && board == blockedBoard && direction == blockedDirection)) {
        haltWalk();
        return;
    }
    if (direction != walkDirection) {
        animating = false;  // the scripted walk turns the picture only when it starts
        edgeJudged = nullptr;
    }
    walkDirection = direction;
    walkGoal = x;
    setAction(PlayerAction{1, saturatedDifference(x, width / 2), 0});
}

void TeamAIPlayer::haltWalk() {
    walkDirection = 0;
    if (playerActionOn) stopAction();
    if (!isFree()) velocity.x = 0.0f;
    if (animating) act(PLAYER_STANDING);
}

void TeamAIPlayer::steerWalk() {
    if (walkDirection == 0) return;
    const long long left = static_cast<long long>(walkGoal) - getCentralX();
    if (left * walkDirection <= arriveDistance) {
        haltWalk();
        return;
    }
    if (!playerActionOn) {
        // A bump ended the walk: over what it met, or along it in the air.
        if (!isFree()) jump(true);
        setAction(PlayerAction{1, saturatedDifference(walkGoal, width / 2), 0});
    }
    if (!isFree() && board && board != edgeJudged && isSolidPiece(board)) judgeEdge();
}

// Near the end of the piece it walks on: on over a step, across a gap by a jump, down a drop it may
// take, or a halt.
void TeamAIPlayer::judgeEdge() {
    const long long lead = walkDirection > 0 ? static_cast<long long>(getX()) + width : getX();
    const long long edge =
        walkDirection > 0 ? static_cast<long long>(board->getX()) + board->getWidth() : board->getX();
    if ((edge - lead) * walkDirection > edgeLookAhead) return;
    edgeJudged = board;
    const int feet = saturatedSum(getY(), height);
    const int beyond = saturatedInt(edge + walkDirection * clearMargin);
    // Ground or a wall right beyond: walked onto, or jumped when bumped.
    if (highestTop(beyond, saturatedDifference(feet, climbHeight), saturatedSum(feet, climbHeight)) != noSurface) {
        return;
    }
    for (int distance = probeStep; distance <= jumpReach; distance += probeStep) {
        const int column = saturatedInt(edge + static_cast<long long>(walkDirection) * distance);
        const int top = highestTop(column, saturatedDifference(feet, climbHeight), saturatedSum(feet, climbHeight));
        if (top == noSurface) continue;
        if (canClear(distance, feet - top)) {
            jump(true);
            return;
        }
        break;  // the nearest landing is out of reach; one farther would need a longer jump still
    }
    const int mapBottom = Game::getInstance()->getMapSystem().getHeight();
    const int floorTop = highestTop(beyond, saturatedSum(feet, climbHeight), mapBottom);
    if (floorTop != noSurface && mayDescend(beyond, floorTop)) return;
    blockedBoard = board;
    blockedDirection = walkDirection;
    haltWalk();
}

bool TeamAIPlayer::mayDescend(int x, int floorTop) const {
    // An enemy down there is worth the drop.
    if (isListed(pursued) && static_cast<long long>(pursued->getY()) + pursued->getHeight() > floorTop - climbHeight) return true;
    // Otherwise only onto a floor that goes on the way it walks: no shaft to be caught in.
    const int further = saturatedInt(static_cast<long long>(x) + static_cast<long long>(walkDirection) * floorRunOut);
    return highestTop(further, saturatedDifference(floorTop, climbHeight), saturatedSum(floorTop, climbHeight)) !=
           noSurface;
}

bool TeamAIPlayer::canClear(int distance, int rise) const {
    // Where its leading side passes over the landing's edge, its feet must be above it.
    const float speed = jumpMomentum / static_cast<float>(mass);
    const float frames = static_cast<float>(distance + clearMargin) / walkSpeed;
    const float height = speed * frames - gravityAccel * frames * frames / 2.0f;
    return height >= static_cast<float>(rise + clearMargin);
}

void TeamAIPlayer::trackProgress() {
    const int x = getCentralX();
    if (!wantsToWalk || std::llabs(static_cast<long long>(x) - progressX) >= progressStep) {
        progressX = x;
        stalledFrames = 0;
        triedJump = false;
        return;
    }
    stalledFrames += thinkInterval;
    const bool atBlockedEdge = blockedDirection != 0 && board == blockedBoard;
    if (stalledFrames >= stuckFrames && !triedJump && !atBlockedEdge) {
        triedJump = true;
        jump(true);
        return;
    }
    if (stalledFrames < stuckFrames + (atBlockedEdge ? 0 : turnGrace)) return;
    // No way on this way: the other, for a while.
    const int from = wantedDirection != 0 ? wantedDirection : (std::rand() % 2 == 0 ? 1 : -1);
    detourDirection = -from;
    detourFrames = detourLength;
    stalledFrames = 0;
    triedJump = false;
    blockedDirection = 0;
    walkTo(saturatedSum(x, detourDirection * detourReach));
}

int TeamAIPlayer::highestTop(int x, int fromY, int toY) const {
    const BlockSystem& blocks = Game::getInstance()->getBlockSystem();
    if (x < 0 || toY < 0 || fromY > toY) return noSurface;
    const unsigned int column = static_cast<unsigned int>(x / blocks.getBlockWidth());
    const unsigned int lastRow = static_cast<unsigned int>(toY / blocks.getBlockHeight());
    int best = noSurface;
    for (unsigned int row = static_cast<unsigned int>(std::max(fromY, 0) / blocks.getBlockHeight()); row <= lastRow;
         ++row) {
        const std::vector<Object*>* list = blocks.getBlock(row, column);
        if (!list) break;
        for (const Object* o : *list) {
            if (!isSolidPiece(o)) continue;
            const long long left = o->getX(), top = o->getY();
            if (x < left || x >= left + o->getWidth() || top > toY || top + o->getHeight() < fromY) continue;
            best = std::min(best, o->getY());
        }
    }
    return best;
}

}  // namespace Torvane
