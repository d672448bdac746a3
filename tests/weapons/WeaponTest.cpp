#include <gtest/gtest.h>

#include <allegro.h>

#include <climits>
#include <string>
#include <vector>

#include "sound/SoundSystem.h"
#include "tests/fighters/TestWorld.h"
#include "weapons/Bullet.h"
#include "weapons/Grenade.h"
#include "weapons/GrenadeThrown.h"
#include "weapons/Gun.h"
#include "weapons/Pistol.h"

using Torvane::Gun;
using Torvane::Pistol;
using Torvane::Player;
using Torvane::Weapon;

namespace {

int plays(const std::string& name) {
    Torvane::Sound* sound = TestWorld::game().getSoundSystem().getSound(name);
    return sound ? sound->getPlayCount() : -1;
}

class WeaponTest : public testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        TestWorld::addGround(0, 500, 2000, 50);
        owner = TestWorld::addFighter("kr", 300, 440, makecol(200, 0, 0));
        TestWorld::settle(owner);
        ASSERT_NE(TestWorld::game().getSoundSystem().getSound("gun"), nullptr) << "the weapon sounds are not registered";
    }
    void TearDown() override { TestWorld::reset(); }

    Player* owner = nullptr;
};

}  // namespace

TEST_F(WeaponTest, AGunReloadsItsClipFromTheReserveWithItsSound) {
    Gun* gun = new Gun(owner);
    owner->setWeapon(2, gun);
    owner->setEquipment(2);
    EXPECT_EQ(gun->getClipSize(), 30);
    EXPECT_EQ(gun->getReloadTime(), 100);
    EXPECT_EQ(gun->getFireInterval(), 7);
    EXPECT_EQ(gun->getBulletTotal(), 0);
    gun->addBullets(45);
    EXPECT_EQ(gun->getBulletCurrent(), 0);
    EXPECT_EQ(gun->getBulletTotal(), 45);

    int reloadSounds = plays("gun_reload");
    TestWorld::step();  // the first move of the selected gun starts the reload
    EXPECT_TRUE(gun->isReloading());
    EXPECT_EQ(plays("gun_reload"), reloadSounds + 1);
    TestWorld::step(99);
    EXPECT_EQ(gun->getBulletCurrent(), 0);
    TestWorld::step();
    EXPECT_FALSE(gun->isReloading());
    EXPECT_EQ(gun->getBulletCurrent(), 30);
    EXPECT_EQ(gun->getBulletReserve(), 15);
    EXPECT_EQ(plays("gun_reload"), reloadSounds + 1) << "one reload, one sound";

    // Fire held: a shot every 7 frames, each with its sound and a bullet.
    int shotSounds = plays("gun");
    owner->fire(900, 470);
    std::vector<int> shotFrames;
    int clip = gun->getBulletCurrent();
    for (int frame = 0; frame < 30; ++frame) {
        TestWorld::step();
        if (gun->getBulletCurrent() < clip) shotFrames.push_back(frame);
        clip = gun->getBulletCurrent();
    }
    EXPECT_EQ(shotFrames, (std::vector<int>{0, 7, 14, 21, 28}));
    EXPECT_EQ(plays("gun"), shotSounds + 5);
    owner->holdFire();

    // The last bullet of the clip starts the reload at once; the reserve fills what it can.
    while (gun->getTimer() > 0) gun->move();
    int fired = 0;
    while (gun->getBulletCurrent() > 0) {
        while (gun->getTimer() > 0) gun->move();
        ASSERT_TRUE(gun->fire(900, 470));
        ++fired;
    }
    EXPECT_EQ(fired, 25);
    EXPECT_TRUE(gun->isReloading());
    EXPECT_EQ(gun->getTimer(), 100);

    // Firing during the reload neither shoots nor starts it again.
    gun->move();
    EXPECT_FALSE(gun->fire(900, 470));
    EXPECT_EQ(gun->getTimer(), 99);
    gun->reload();
    EXPECT_EQ(gun->getTimer(), 99);
    EXPECT_EQ(plays("gun_reload"), reloadSounds + 2);
    for (int i = 0; i < 99; ++i) gun->move();
    EXPECT_EQ(gun->getBulletCurrent(), 15);
    EXPECT_EQ(gun->getBulletReserve(), 0);

    // Empty at last: 15 more shots, then silence.
    for (int i = 0; i < 15; ++i) {
        while (gun->getTimer() > 0) gun->move();
        ASSERT_TRUE(gun->fire(900, 470));
    }
    int soundsBefore = plays("gun") + plays("gun_reload");
    for (int i = 0; i < 20; ++i) {
        gun->move();
        EXPECT_FALSE(gun->fire(900, 470));
    }
    EXPECT_EQ(plays("gun") + plays("gun_reload"), soundsBefore);
    EXPECT_FALSE(gun->isReloading());
}

TEST_F(WeaponTest, PistolsAndGrenadesHaveTheirOwnNumbersAndSounds) {
    Pistol* pistol = new Pistol(owner);
    owner->setWeapon(1, pistol);
    owner->setEquipment(1);
    EXPECT_EQ(pistol->getClipSize(), 20);
    EXPECT_EQ(pistol->getReloadTime(), 60);
    EXPECT_EQ(pistol->getFireInterval(), 15);
    pistol->addBullets(20);
    int reloads = plays("pistol_reload"), gunReloads = plays("gun_reload");
    TestWorld::step(61);
    EXPECT_EQ(pistol->getBulletCurrent(), 20);
    EXPECT_EQ(plays("pistol_reload"), reloads + 1);
    EXPECT_EQ(plays("gun_reload"), gunReloads);
    int shots = plays("pistol");
    ASSERT_TRUE(pistol->fire(900, 470));
    EXPECT_EQ(plays("pistol"), shots + 1);
    EXPECT_EQ(pistol->getTimer(), 15);

    // Grenades: one to a clip, thrown without a sound, reloaded silently in 50 frames.
    Torvane::Grenade* grenade = new Torvane::Grenade(owner);
    owner->setWeapon(3, grenade);
    owner->setEquipment(3);
    EXPECT_EQ(grenade->getClipSize(), 1);
    EXPECT_EQ(grenade->getReloadTime(), 50);
    EXPECT_EQ(grenade->getFireInterval(), 1);
    grenade->addBullets(2);
    int allSounds = 0;
    for (const char* name : {"gun", "pistol", "gun_reload", "pistol_reload", "grenade_hitground", "grenade_explode"}) {
        allSounds += plays(name);
    }
    TestWorld::step(51);
    EXPECT_EQ(grenade->getBulletCurrent(), 1);
    int thrownBefore = TestWorld::countObjects<Torvane::GrenadeThrown>();
    ASSERT_TRUE(grenade->fire(owner->getCentralX() + 100, owner->getCentralY()));
    EXPECT_EQ(TestWorld::countObjects<Torvane::GrenadeThrown>(), thrownBefore + 1);
    EXPECT_TRUE(grenade->isReloading());
    EXPECT_EQ(grenade->getTimer(), 50) << "the base reload replaces the cool-down";
    // The base reload starts over when asked again.
    grenade->move();
    grenade->reload();
    EXPECT_EQ(grenade->getTimer(), 50);
    int allSoundsAfter = 0;
    for (const char* name : {"gun", "pistol", "gun_reload", "pistol_reload", "grenade_hitground", "grenade_explode"}) {
        allSoundsAfter += plays(name);
    }
    EXPECT_EQ(allSoundsAfter, allSounds);
}

TEST_F(WeaponTest, AnglesCoverAllFourQuadrantsAndTheVertical) {
    Gun gun(owner);
    struct Case {
        int dx, dy, angle;
    };
    const Case cases[] = {
        {10, 0, 0},     {-10, 0, 128},  {10, 10, 224},  {-10, -10, 96},  {-10, 10, 160},  {10, -10, 32},
        {100, 1, 256},  {100, -1, 0},   {-100, 1, 128}, {-100, -1, 128}, {1, 100, 193},   {1, -100, 63},
        {0, 50, 192},   {0, -50, 64},   {-1, 100, 191}, {-1, -100, 65},  {30, -52, 42},   {-30, 52, 170},
    };
    for (const Case& c : cases) {
        gun.setTarget(c.dx, c.dy);
        EXPECT_EQ(gun.getAngle(), c.angle) << "dx " << c.dx << " dy " << c.dy;
    }
    // On the centre itself the aim stays where it was.
    gun.setTarget(-10, 10);
    gun.setTarget(0, 0);
    EXPECT_EQ(gun.getAngle(), 160);
    // Extreme numbers from a script stay in range.
    gun.setTarget(INT_MIN, INT_MAX);
    EXPECT_GE(gun.getAngle(), 128);
    EXPECT_LE(gun.getAngle(), 192);
}

TEST_F(WeaponTest, WeaponsAreDrawnCentredOnTheFighterAndTurnedToTheAim) {
    Gun gun(owner);
    ASSERT_EQ(gun.getWidth(), 34);
    ASSERT_EQ(gun.getHeight(), 10);
    BITMAP* target = create_bitmap(200, 200);
    const int background = makecol(0, 0, 0);
    auto lit = [&](int x1, int y1, int x2, int y2) {
        int n = 0;
        for (int y = y1; y <= y2; ++y) {
            for (int x = x1; x <= x2; ++x) n += getpixel(target, x, y) != background;
        }
        return n;
    };
    auto drawAt = [&](int dx, int dy) {
        clear_to_color(target, background);
        gun.setTarget(dx, dy);
        gun.draw(target, 100, 100);
    };

    // Pointing right: the picture as drawn, centred on (100, 100): stock left,
    // barrel right, the grip hanging below the middle.
    drawAt(10, 0);
    EXPECT_EQ(lit(0, 0, 199, 199), lit(83, 95, 116, 104)) << "drawn outside its box";
    EXPECT_GT(lit(112, 95, 116, 104), 0) << "no barrel on the right";
    EXPECT_GT(lit(83, 95, 87, 104), 0) << "no stock on the left";
    EXPECT_GT(lit(97, 102, 102, 104), 0) << "no grip below the middle";
    EXPECT_EQ(lit(0, 0, 199, 94), 0);

    // Pointing left: turned half round and flipped, the barrel left and the grip still below.
    drawAt(-10, 0);
    EXPECT_GT(lit(82, 94, 88, 105), 0) << "no barrel on the left";
    EXPECT_GT(lit(112, 94, 118, 105), 0) << "no stock on the right";
    EXPECT_GT(lit(97, 102, 103, 105), 0) << "upside down";
    EXPECT_EQ(lit(0, 0, 199, 93), 0);

    // Pointing up: tall and narrow, the barrel on top.
    drawAt(0, 10);
    EXPECT_GT(lit(92, 82, 108, 88), 0) << "no barrel on top";
    EXPECT_EQ(lit(0, 0, 199, 199), lit(92, 81, 108, 118)) << "not upright";
    destroy_bitmap(target);
}

TEST_F(WeaponTest, ShotsLeaveFromTheMuzzleAndAWeaponWithoutPictureStillShoots) {
    Gun* gun = new Gun(owner);
    owner->setWeapon(2, gun);
    owner->setEquipment(2);
    gun->addBullets(30);
    while (gun->getBulletCurrent() == 0 || gun->getTimer() > 0) gun->move();
    const int cx = owner->getCentralX(), cy = owner->getCentralY();
    ASSERT_TRUE(gun->fire(cx + 300, cy));
    const std::vector<Torvane::Object*>& objects = TestWorld::game().getObjectSystem().getObjects();
    Torvane::Bullet* bullet = dynamic_cast<Torvane::Bullet*>(objects.back());
    ASSERT_NE(bullet, nullptr);
    EXPECT_EQ(bullet->getX(), cx + 17);
    EXPECT_EQ(bullet->getY(), cy);
    EXPECT_EQ(bullet->getShooter(), owner);

    // Down and to the right at 45 degrees: 17 * 0.7071 = 12.02, truncated to 12.
    while (gun->getTimer() > 0) gun->move();
    ASSERT_TRUE(gun->fire(cx + 100, cy + 100));
    bullet = dynamic_cast<Torvane::Bullet*>(objects.back());
    ASSERT_NE(bullet, nullptr);
    EXPECT_EQ(bullet->getX(), cx + 12);
    EXPECT_EQ(bullet->getY(), cy + 12);

    // A role without weapon pictures: a message, and shots from the centre.
    Player* bare = TestWorld::addFighter("no-pictures", 600, 440, makecol(0, 0, 200));
    testing::internal::CaptureStdout();
    Pistol* pistol = new Pistol(bare);
    std::string message = testing::internal::GetCapturedStdout();
    EXPECT_NE(message.find("Failed to load bitmap image/role/no-pictures/pistol.bmp"), std::string::npos) << message;
    bare->setWeapon(1, pistol);
    bare->setEquipment(1);
    pistol->addBullets(5);
    while (pistol->getBulletCurrent() == 0 || pistol->getTimer() > 0) pistol->move();
    ASSERT_TRUE(pistol->fire(bare->getCentralX() + 300, bare->getCentralY()));
    bullet = dynamic_cast<Torvane::Bullet*>(objects.back());
    ASSERT_NE(bullet, nullptr);
    EXPECT_EQ(bullet->getX(), bare->getCentralX());
    BITMAP* target = create_bitmap(50, 50);
    clear_to_color(target, 0);
    pistol->draw(target, 25, 25);
    EXPECT_EQ(getpixel(target, 25, 25), 0);
    destroy_bitmap(target);
}

TEST_F(WeaponTest, BulletCountsStaySaneWhateverAScriptHandsOut) {
    Gun* gun = new Gun(owner);
    owner->setWeapon(2, gun);
    gun->addBullets(INT_MAX);
    gun->addBullets(INT_MAX);
    EXPECT_EQ(gun->getBulletReserve(), INT_MAX);
    // A reserve driven below zero gives nothing and takes nothing.
    Pistol* pistol = new Pistol(owner);
    owner->setWeapon(1, pistol);
    pistol->addBullets(20);
    while (pistol->getBulletCurrent() == 0 || pistol->getTimer() > 0) pistol->move();
    ASSERT_TRUE(pistol->fire(900, 470));
    pistol->addBullets(-50);
    EXPECT_EQ(pistol->getBulletReserve(), -50);
    pistol->reload();
    for (int i = 0; i < 60; ++i) pistol->move();
    EXPECT_EQ(pistol->getBulletCurrent(), 19);
    EXPECT_EQ(pistol->getBulletReserve(), -50);
    EXPECT_EQ(pistol->getBulletTotal(), -31);
    pistol->reduceBullet();
    EXPECT_EQ(pistol->getBulletCurrent(), 18);
}
