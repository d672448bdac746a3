#pragma once

#include <allegro.h>

#include <string>

#include "world/Object.h"

namespace Torvane {

class Player;

// The gun a fighter holds: a clip and a reserve of bullets, a cool-down between
// shots, a reload timer, and an aim angle used only to draw it turned in the
// fighter's hands. It lives in one of its owner's slots, not in the object system.
class Weapon : public Object {
public:
    // The picture is "image/role/<owner's role>/<name>.bmp".
    Weapon(Player* owner, const std::string& name);
    // The picture a weapon of that name shows in a fighter of that role.
    static std::string picturePath(const std::string& role, const std::string& name);
    ~Weapon() override = default;

    // Draws the picture centred on (cx, cy), turned to the aim.
    void draw(BITMAP* target, int cx, int cy) override;
    void move() override;
    virtual void reload();
    // A shot at world point (x, y); true when one leaves.
    virtual bool fire(int x, int y);

    void addBullets(int n);
    void reduceBullet();
    // Aims at a target dx pixels right of and dy pixels above the owner's centre.
    void setTarget(int dx, int dy);

    int getAngle() const { return angle; }
    int getBulletCurrent() const { return bulletCurrent; }
    int getBulletReserve() const { return bulletReserve; }
    int getBulletTotal() const;
    int getReloadTime() const { return reloadTime; }
    int getTimer() const { return timer; }
    int getFireInterval() const { return fireInterval; }
    int getClipSize() const { return clipSize; }
    bool isReloading() const { return reloading; }
    Player* getOwner() const { return owner; }
    Weapon& setOwner(Player* p);

protected:
    // Where a shot toward (x, y) leaves: the owner's centre plus half the
    // picture's width toward the target.
    void muzzlePoint(int x, int y, int& startX, int& startY) const;
    // Whether this weapon is the one the human player holds.
    bool heldByMainPlayer() const;
    // What a gun of either kind does beyond the bookkeeping: a reload is heard once,
    // a shot kicks the human player's sight, leaves as a bullet and is heard.
    void reloadWithSound(const std::string& sound);
    bool shootBullet(int x, int y, int sightKick, const std::string& sound);

    int angle = 0;  // 256 a turn: 0 right, 64 down, 128 left, 192 up
    int bulletCurrent = 0;
    int bulletReserve = 0;
    int reloadTime = 0;    // frames
    int timer = 0;         // frames left of the cool-down or reload
    int fireInterval = 5;  // frames
    int clipSize = 0;
    bool reloading = false;
    Player* owner;  // not owned
};

}  // namespace Torvane
