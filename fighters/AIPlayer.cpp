#include "fighters/AIPlayer.h"

#include <climits>
#include <cstdlib>
#include <utility>

#include "core/Game.h"

namespace Torvane {

AIPlayer::AIPlayer(const std::string& name, const std::string& role) : Player(name, role) {
    thinkTimer = firstDecision;
}

void AIPlayer::move() {
    Player* main = Game::getInstance()->getMainPlayer();
    // A speech is a truce: the brain waits with its timer where it is.
    if (!underControl && !Game::getInstance()->getDialog().isVisible()) {
        // Saturated: while the main player is dead the timer keeps falling for as long as the game runs.
        if (thinkTimer > INT_MIN) --thinkTimer;
        if (thinkTimer < 1 && main && main->isAlive()) decide(*main);
        // The board is the one held before this frame's move.
        stopAtEdge();
        if (main) stopOutOfSight(*main);
    }
    Player::move();
    // The brain's requests last one frame; the next decision makes new ones.
    jump(false);
    holdFire();
}

void AIPlayer::answerHit(Player& by) {
    (void)by;
    // Whoever struck it, it can only aim at the main player: in a level that is who shoots.
    underControl = false;
    answering = true;
    if (thinkTimer > answerDelay) thinkTimer = answerDelay;
}

void AIPlayer::decide(Player& target) {
    if (std::exchange(answering, false)) {
        shootAt(target);
        thinkTimer = decisionInterval;
        return;
    }
    // Off the player's screen nobody can find it or be fought: it comes back into view first.
    if (!Game::getInstance()->getMapSystem().inClient(getCentralX(), getCentralY())) {
        if (board) setAction(PlayerAction{1, target.getCentralX(), 0});
        thinkTimer = decisionInterval;
        return;
    }
    int choice = std::rand() % 7;
    if (choice <= 3) {
        shootAt(target);
    } else if (choice == 4) {
        wander();
    }
    thinkTimer = decisionInterval;
}

void AIPlayer::shootAt(Player& target) {
    Game* game = Game::getInstance();
    if (!game->getMapSystem().inClient(getCentralX(), getCentralY())) return;
    BlockSystem& blocks = game->getBlockSystem();
    int hitX = 0, hitY = 0;
    // The trace passes outlines of this fighter's colour: its own and its team's.
    if (!blocks.checkLineCollision(color, getX(), getY(), target.getCentralX(), target.getCentralY(), &hitX, &hitY)) {
        return;
    }
    if (blocks.getObjectByPosition(hitX, hitY) != &target) return;
    // The vertical miss is drawn first.
    int dy = std::rand() % (2 * aimSpread) - aimSpread;
    int dx = std::rand() % (2 * aimSpread) - aimSpread;
    fire(saturatedSum(target.getCentralX(), dx), saturatedSum(target.getCentralY(), dy));
}

void AIPlayer::wander() {
    // Only from the ground: a walk started in the air would steer the fall.
    if (!board) return;
    int end = Game::getInstance()->getMapSystem().getWidth();
    setAction(PlayerAction{1, std::rand() % 2 == 1 ? end : -end, 0});
}

void AIPlayer::stopAtEdge() {
    if (!board || !playerActionOn) return;
    // Within one own width of either end of the board: a fighter on a board
    // narrower than three widths stops on the frame its walk starts.
    // Wide: a script may have put the fighter far from the board it still stands on.
    long long left = static_cast<long long>(getX()) - board->getX();
    if (left <= width || left + 2LL * width > board->getWidth()) {
        stopAction();
        stop();
        animating = false;  // the walking picture freezes where it is
    }
}

// Raiders wandering off to the far end of a map would leave the player nobody to fight.
void AIPlayer::stopOutOfSight(const Player& target) {
    if (!playerActionOn || Game::getInstance()->getMapSystem().inClient(getCentralX(), getCentralY())) return;
    const long long away = static_cast<long long>(playerAction.x) - getCentralX();
    const long long toTarget = static_cast<long long>(target.getCentralX()) - getCentralX();
    if ((away > 0) == (toTarget > 0)) return;
    stopAction();
    stop();
    animating = false;
}

void AIPlayer::doFire() {
    aim(fireX, fireY);
    Player::doFire();
}

void AIPlayer::doMoveLeft() {
    aim(saturatedDifference(getCentralX(), width), getCentralY());
    Player::doMoveLeft();
}

void AIPlayer::doMoveRight() {
    aim(saturatedSum(getCentralX(), width), getCentralY());
    Player::doMoveRight();
}

}  // namespace Torvane
