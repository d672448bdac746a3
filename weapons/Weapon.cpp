#include "weapons/Weapon.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/Bullet.h"

namespace Torvane {

Weapon::Weapon(Player* o, const std::string& name) : owner(o) {
    const std::string path = "image/role/" + (owner ? owner->getRole() : std::string()) + "/" + name + ".bmp";
    loadImage(path.c_str());
}

Weapon& Weapon::setOwner(Player* p) {
    owner = p;
    return *this;
}

int Weapon::getBulletTotal() const {
    long long total = static_cast<long long>(bulletCurrent) + bulletReserve;
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, total)));
}

void Weapon::addBullets(int n) {
    // Scripts hand out any number; the reserve saturates instead of overflowing.
    long long reserve = static_cast<long long>(bulletReserve) + n;
    bulletReserve = static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, reserve)));
}

void Weapon::reduceBullet() {
    if (bulletCurrent > 0) bulletCurrent -= 1;
}

void Weapon::setTarget(int dx, int dy) {
    if (dx == 0) {
        // Straight above or below has no slope; on the centre the aim stays.
        if (dy > 0) angle = 192;
        else if (dy < 0) angle = 64;
        return;
    }
    int a = static_cast<int>(std::fabs(std::atan(static_cast<float>(dy) / static_cast<float>(dx)) / 6.2831852f * 256));
    if (dx < 0 && dy >= 0) {
        angle = a + 128;
    } else if (dx < 0 && dy < 0) {
        angle = 128 - a;
    } else if (dx > 0 && dy > 0) {
        angle = 256 - a;
    } else {
        angle = a;
    }
}

bool Weapon::fire(int, int) {
    if (bulletCurrent == 0) {
        if (bulletReserve > 0) reload();
        return false;
    }
    if (timer > 0) return false;
    reduceBullet();
    timer = fireInterval;
    if (bulletCurrent == 0 && bulletReserve > 0) reload();
    return true;
}

void Weapon::reload() {
    reloading = true;
    timer = reloadTime;
}

void Weapon::move() {
    if (timer > 0) {
        timer -= 1;
        if (timer == 0 && reloading) {
            reloading = false;
            // A reserve a script drove below zero gives nothing rather than taking bullets.
            int n = std::max(0, std::min(bulletReserve, clipSize - bulletCurrent));
            bulletCurrent += n;
            bulletReserve -= n;
        }
    } else if (bulletCurrent == 0 && bulletReserve > 0 && !reloading) {
        reload();  // an empty clip starts reloading by itself
    }
    Object::move();
}

void Weapon::draw(BITMAP* target, int cx, int cy) {
    if (!image) return;
    int left = cx - width / 2;
    int top = cy - height / 2;
    // Pointing into the left half it is flipped, so it is not drawn upside down.
    if (angle > 64 && angle < 192) {
        rotate_sprite_v_flip(target, image, left, top, itofix(angle));
    } else {
        rotate_sprite(target, image, left, top, itofix(angle));
    }
}

void Weapon::muzzlePoint(int x, int y, int& startX, int& startY) const {
    int centreX = owner ? owner->getCentralX() : getX();
    int centreY = owner ? owner->getCentralY() : getY();
    // In floats: a script may aim anywhere, and an int difference could overflow.
    Vector toward(static_cast<float>(x) - static_cast<float>(centreX), static_cast<float>(y) - static_cast<float>(centreY));
    toward.normalize();
    toward *= static_cast<float>(width / 2);
    startX = static_cast<int>(static_cast<float>(centreX) + toward.x);
    startY = static_cast<int>(static_cast<float>(centreY) + toward.y);
}

bool Weapon::heldByMainPlayer() const {
    Game* game = Game::getInstance();
    return owner && game && game->getMainPlayer() == owner && owner->getCurrentWeapon() == this;
}

void Weapon::reloadWithSound(const std::string& sound) {
    // A reload under way is not started again (and not heard again).
    if (reloading) return;
    Game::getInstance()->getSoundSystem().playSound(sound);
    Weapon::reload();
}

bool Weapon::shootBullet(int x, int y, int sightKick, const std::string& sound) {
    if (!Weapon::fire(x, y)) return false;
    Game* game = Game::getInstance();
    if (heldByMainPlayer()) game->getAimSystem().jump(sightKick);
    int startX = 0, startY = 0;
    muzzlePoint(x, y, startX, startY);
    game->getObjectSystem().addObject(new Bullet(owner, startX, startY, x, y));
    game->getSoundSystem().playSound(sound);
    return true;
}

}  // namespace Torvane
