#include "weapons/Weapon.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/Bullet.h"
#include "world/Saturating.h"

namespace Torvane {

Weapon::Weapon(Player* o, const std::string& name) : owner(o) {
    loadImage(picturePath(owner ? owner->getRole() : std::string(), name).c_str());
}

std::string Weapon::picturePath(const std::string& role, const std::string& name) {
    return "image/role/" + role + "/" + name + ".bmp";
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
    // rotate_sprite makes 16.16 fixed point of the corner by shifting it, which is undefined
    // left of or above the target and overflows far away: its own call, multiplied out, and
    // nothing drawn where fixed point cannot hold the place.
    const long long left = static_cast<long long>(cx) - width / 2;
    const long long top = static_cast<long long>(cy) - height / 2;
    const long long pivotX = left * 0x10000 + image->w * 0x10000LL / 2;
    const long long pivotY = top * 0x10000 + image->h * 0x10000LL / 2;
    if (pivotX < INT_MIN || pivotX > INT_MAX || pivotY < INT_MIN || pivotY > INT_MAX) return;
    // Pointing into the left half it is flipped, so it is not drawn upside down.
    const int flip = angle > 64 && angle < 192 ? TRUE : FALSE;
    target->vtable->pivot_scaled_sprite_flip(target, image, static_cast<fixed>(pivotX), static_cast<fixed>(pivotY),
                                             image->w * 0x8000, image->h * 0x8000, itofix(angle), 0x10000, flip);
}

void Weapon::muzzlePoint(int x, int y, int& startX, int& startY) const {
    int centreX = owner ? owner->getCentralX() : getX();
    int centreY = owner ? owner->getCentralY() : getY();
    // In floats: a script may aim anywhere, and an int difference could overflow.
    Vector toward(static_cast<float>(x) - static_cast<float>(centreX), static_cast<float>(y) - static_cast<float>(centreY));
    toward.normalize();
    toward *= static_cast<float>(width / 2);
    startX = truncatedInt(static_cast<float>(centreX) + toward.x);
    startY = truncatedInt(static_cast<float>(centreY) + toward.y);
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
