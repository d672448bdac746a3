#include "fighters/Player.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/Game.h"
#include "weapons/Blood.h"
#include "weapons/Weapon.h"
#include "world/LevelFile.h"
#include "world/OnceMessages.h"

namespace Torvane {

namespace {

const std::string killEvent = "OnKill";

// a - b for points a script may put anywhere: saturated instead of overflowing.
int difference(int a, int b) {
    long long d = static_cast<long long>(a) - b;
    return d < INT_MIN ? INT_MIN : d > INT_MAX ? INT_MAX : static_cast<int>(d);
}

}  // namespace

Player::Player() { initialize(); }

Player::Player(const std::string& n, const std::string& r) {
    initialize();
    setName(n);
    setRole(r);
}

Player::~Player() {
    for (Weapon*& w : weapons) {
        delete w;
        w = nullptr;
    }
}

void Player::initialize() {
    name = "NoName";
    playerId = std::rand();
    health = 100;
    defend = 0;
    headshots = 0;
    kills = 0;
    animating = false;
    // The first random number is blue, the second green, the third red.
    int blue = std::rand() % 255;
    int green = std::rand() % 255;
    int red = std::rand() % 255;
    color = makecol(red, green, blue);
    equipment = 0;
    role.clear();
    state = PLAYER_STANDING;
    movingLeft = movingRight = firing = jumping = false;
    playerActionOn = false;
    for (Weapon*& w : weapons) {
        delete w;
        w = nullptr;
    }
    setMass(50);
}

Player& Player::setName(const std::string& n) {
    name = n;
    return *this;
}

Player& Player::setRole(const std::string& r) {
    role = r;
    const std::string path = "image/role/" + role + "/config.dat";
    bool opened = animation.load(path.c_str());
    act(PLAYER_STANDING);
    if (animation.hasFrame()) {
        takeFrameSize();
        return *this;
    }
    // Without a standing frame there is nothing to measure: the fighter keeps a
    // body of ordinary size, draws nothing, and still walks, fights and dies.
    // One line per role, not a box per fighter: a level may add many, and a box would stop the game.
    const std::string size = std::to_string(fallbackWidth) + "x" + std::to_string(fallbackHeight);
    if (!opened) {
        const std::string why = LevelFile::checkFile(path);
        OnceMessages::show("Cannot open " + path + (why.empty() ? "" : " (" + why + ")") + ": fighters of role \"" +
                           role + "\" have no pictures and take the size " + size);
    } else {
        OnceMessages::show(path + " has no action " + std::to_string(walkAction) +
                           " with a first frame (standing and walking): fighters of role \"" + role +
                           "\" take the size " + size);
    }
    setWidth(fallbackWidth);
    setHeight(fallbackHeight);
    return *this;
}

void Player::takeFrameSize() {
    // An action whose frames were all left out has nothing to measure: keep the size.
    if (!animation.hasFrame()) return;
    setWidth(animation.getFrameWidth());
    setHeight(animation.getFrameHeight());
}

Player& Player::setColor(int c) {
    color = c;
    return *this;
}

Player& Player::setHealth(int h) {
    health = h;
    return *this;
}

Player& Player::setDefend(int d) {
    defend = d;
    return *this;
}

void Player::act(PlayerState s) {
    switch (s) {
        case PLAYER_WALKING:
            animating = true;
            animation.setAction(walkAction, true);
            break;
        case PLAYER_DYING:
            animating = true;
            animation.setAction(dyingAction, false);
            break;
        case PLAYER_STATE_2:
        case PLAYER_STATE_3:
        case PLAYER_STATE_4:
        case PLAYER_STATE_5:
        case PLAYER_STATE_7:
            break;
        default:
            animating = false;
            animation.setAction(walkAction);
            break;
    }
    state = s;
}

void Player::moveLeft(bool on) {
    if (!isAlive()) return;
    movingLeft = on;
    if (on) {
        animation.setDirection(1);
        act(PLAYER_WALKING);
    } else if (movingRight) {
        moveRight(true);  // the other held key takes over
    } else {
        act(PLAYER_STANDING);  // only the walk ends: a held trigger or jump goes on
    }
}

void Player::moveRight(bool on) {
    if (!isAlive()) return;
    movingRight = on;
    if (on) {
        animation.setDirection(0);
        act(PLAYER_WALKING);
    } else if (movingLeft) {
        moveLeft(true);
    } else {
        act(PLAYER_STANDING);
    }
}

void Player::stopMoving() {
    if (!isAlive()) return;
    act(PLAYER_STANDING);
    firing = jumping = movingRight = movingLeft = false;
}

void Player::interrupt() {
    stopMoving();
    interrupted = true;
}

void Player::fire(int x, int y) {
    firing = true;
    fireX = x;
    fireY = y;
}

void Player::aim(int x, int y) {
    if (!isAlive()) return;
    Weapon* weapon = getCurrentWeapon();
    // Up is positive for the weapon, so the y difference is turned around.
    if (equipment != 0 && weapon) weapon->setTarget(difference(x, getCentralX()), difference(getCentralY(), y));
}

void Player::setAction(const PlayerAction& action) {
    playerAction = action;
    playerActionOn = true;
}

bool Player::setEquipment(int slot) {
    if (slot < 0 || slot >= slotCount) return false;
    equipment = slot;
    return true;
}

Weapon* Player::getWeapon(int slot) const {
    if (slot < 0 || slot >= slotCount) return nullptr;
    return weapons[slot];
}

bool Player::setWeapon(int slot, Weapon* w) {
    if (slot < 0 || slot >= slotCount) return false;
    if (weapons[slot] && weapons[slot] != w) {
        if (equipment == slot) equipment = 0;
        delete weapons[slot];
    }
    weapons[slot] = w;
    return true;
}

void Player::move() {
    if (animating) {
        animation.nextFrame();
        takeFrameSize();
    }
    if (isAlive()) {
        if (state == PLAYER_WALKING) {
            if (animation.getDirection() == 1) {
                doMoveLeft();
            } else {
                doMoveRight();
            }
        }
        // Held jump jumps again at every landing.
        if (jumping && !isFree()) doJump();
        if (firing) doFire();
        if (playerActionOn) doPlayerAction();
    }
    // Cool-down and reload run only for the weapon in hand.
    Weapon* weapon = getCurrentWeapon();
    if (equipment != 0 && weapon) weapon->move();
    RealBody::move();
    // Squeezed out through the ground (placed inside a crate, say), a fighter would fall for ever where
    // nobody can reach him and his level could never be finished: far below the map he is lost.
    Game* game = Game::getInstance();
    const int bottom = game ? game->getMapSystem().getHeight() : 0;
    if (isAlive() && bottom > 0 && position.y > static_cast<float>(bottom) + fallOutMargin) {
        game->getScriptSystem().raise(killEvent, getId(), getCentralX(), bottom);
        die();
    }
}

void Player::doMoveLeft() {
    if (!isFree()) {
        addMomentum(Vector(-10.0f, 0.0f));
    } else {
        position.x -= 1.0f;  // air control: a pixel a frame, the velocity untouched
    }
}

void Player::doMoveRight() {
    if (!isFree()) {
        addMomentum(Vector(10.0f, 0.0f));
    } else {
        position.x += 1.0f;
    }
}

void Player::doJump() { addMomentum(Vector(0.0f, -300.0f)); }

void Player::doFire() {
    Weapon* weapon = getCurrentWeapon();
    if (equipment != 0 && weapon) weapon->fire(fireX, fireY);
}

void Player::doPlayerAction() {
    if (playerAction.type != 1) return;
    const float target = static_cast<float>(playerAction.x);
    const float x = position.x;
    if (std::fabs(x - target) < 1.0f) {
        playerActionOn = false;  // arrived; the script stops the walking pictures
        return;
    }
    // The walk sets the speed itself, up to 3 pixels a frame, without changing state.
    if (target > x) {
        velocity.x = std::min(3.0f, target - x);
        if (!animating) {
            animation.setDirection(0);
            animating = true;
            animation.setAction(walkAction, true);
        }
    } else {
        velocity.x = -std::min(3.0f, x - target);
        if (!animating) {
            animation.setDirection(1);
            animating = true;
            animation.setAction(walkAction, true);
        }
    }
}

bool Player::collide(Object* other) {
    // Corpses and blood are passed through.
    if (dynamic_cast<Blood*>(other)) return false;
    Player* fighter = dynamic_cast<Player*>(other);
    if (fighter && !fighter->isAlive()) return false;
    bool touched = RealBody::collide(other);
    // A scripted walk ends on a bump into anything but the ground underfoot.
    if (touched && other != board && playerActionOn) playerActionOn = false;
    return touched;
}

bool Player::hit(int x, int y, const Vector& direction, Player* by) {
    Game* game = Game::getInstance();
    if (game->getDialog().isVisible()) return false;
    // Damage grows with the height of the hit: 10 on the top row, 0 in the bottom
    // tenth. A body of no height is all top row; a point beyond the box counts
    // as its nearest edge.
    int damage = 10;
    if (height > 0) {
        float fromTop = static_cast<float>(difference(y, getY())) / static_cast<float>(height);
        fromTop = std::max(0.0f, std::min(1.0f, fromTop));
        damage = static_cast<int>((1.0f - fromTop) * 10.0f);
    }
    for (int i = 0; i < damage; ++i) game->getObjectSystem().addObject(new Blood(x, y, direction));
    if (by) lastHitBy = by->getName(), lastHitById = by->getId();
    const bool top = damage == 10;
    // Armour takes half of each hit, rounded up, until it is worn through.
    if (defend > 0) {
        const int taken = std::min(defend, (damage + 1) / 2);
        defend -= taken;
        damage -= taken;
    }
    if (isAlive()) {
        // Health may be anything a script set; the difference must not overflow.
        long long remaining = static_cast<long long>(health) - damage;
        setHealth(remaining < INT_MIN ? INT_MIN : static_cast<int>(remaining));
        if (health <= 0) {
            game->getScriptSystem().raise(killEvent, getId(), x, y);
            die();
        }
    }
    interrupt();
    if (by && by->getColor() != color && isAlive()) answerHit(*by);
    return top;
}

void Player::die() {
    Game* game = Game::getInstance();
    if (state != PLAYER_DYING) {
        ++deaths;
        if (game && this == game->getMainPlayer()) game->getLevelStats().death();
    }
    health = 0;
    act(PLAYER_DYING);
}

void Player::respawn(int x, int y) {
    for (int slot = 0; slot < slotCount; ++slot) setWeapon(slot, nullptr);
    equipment = 0;
    health = 100;
    defend = 0;
    lastHitBy.clear();
    lastHitById = 0;
    playerActionOn = false;
    movingLeft = movingRight = firing = jumping = false;
    velocity = Vector(0.0f, 0.0f);
    setFree(true);  // off the board he fell on: he lands wherever he is put
    setX(x);
    setY(y);
    act(PLAYER_STANDING);
    takeFrameSize();
}

void Player::draw(BITMAP* target, int cameraX, int cameraY) {
    animation.draw(target, screenCoordinate(getX(), cameraX), screenCoordinate(getY(), cameraY));
    Weapon* weapon = getCurrentWeapon();
    if (isAlive() && equipment != 0 && weapon) {
        weapon->draw(target, screenCoordinate(getCentralX(), cameraX), screenCoordinate(getCentralY(), cameraY));
    }
}

}  // namespace Torvane
