// The whole world on the real map: one fighter shoots another with a rifle
// until it dies.
#include <gtest/gtest.h>

#include <allegro.h>

#include "tests/fighters/TestWorld.h"
#include "weapons/Blood.h"
#include "weapons/Bullet.h"
#include "weapons/Gun.h"

using Torvane::Player;

namespace {

constexpr int groundTop = 1160;  // the valley floor between the low wall and the chasm

}  // namespace

TEST(Battle, ARifleShotFighterDiesOnTheValleyFloorAndItsShooterScores) {
    TestWorld::reset();
    Torvane::Game& game = TestWorld::game();
    game.loadMap("map/valley.map");
    ASSERT_GT(game.getObjectSystem().getObjectCount(), 50) << "the valley did not load";

    Player* shooter = TestWorld::addFighter("kr", 950, groundTop - 80, makecol(200, 30, 30));
    Player* target = TestWorld::addFighter("kt", 1120, groundTop - 80, makecol(30, 60, 200));
    TestWorld::settle(shooter);
    TestWorld::settle(target);
    ASSERT_EQ(shooter->getY() + shooter->getHeight(), groundTop + 1) << "not standing on the valley floor";
    ASSERT_EQ(target->getY() + target->getHeight(), groundTop + 1);
    game.setMainPlayer(shooter);

    Torvane::Gun* rifle = new Torvane::Gun(shooter);
    shooter->setWeapon(2, rifle);
    shooter->setEquipment(2);
    rifle->addBullets(90);

    int frames = 0, bulletsSeen = 0;
    while (target->isAlive() && frames < 3000) {
        // Aim and fire at the target's centre every frame, as a held mouse button does.
        shooter->aim(target->getCentralX(), target->getCentralY());
        shooter->fire(target->getCentralX(), target->getCentralY());
        TestWorld::step();
        bulletsSeen += TestWorld::countObjects<Torvane::Bullet>();
        ++frames;
    }
    ASSERT_FALSE(target->isAlive()) << "still alive after " << frames << " frames";
    shooter->holdFire();
    EXPECT_GT(bulletsSeen, 0);
    EXPECT_EQ(shooter->getKills(), 1);
    EXPECT_EQ(target->getKills(), 0);
    EXPECT_EQ(TestWorld::countEvents("OnKill"), 1);
    EXPECT_EQ(shooter->getHealth(), 100);
    EXPECT_EQ(rifle->getAngle(), 0) << "a level shot to the right";

    // Let the corpse fall and the blood settle.
    TestWorld::step(300);
    EXPECT_EQ(game.getObjectSystem().getObjectById(target->getId()), target) << "the corpse stays";
    EXPECT_FALSE(target->isFree());
    EXPECT_LT(target->getHeight(), target->getWidth()) << "the corpse is not lying";
    EXPECT_EQ(target->getY() + target->getHeight(), groundTop + 1) << "the corpse is not on the ground";

    int drops = 0, resting = 0;
    for (Torvane::Object* o : game.getObjectSystem().getObjects()) {
        Torvane::Blood* drop = dynamic_cast<Torvane::Blood*>(o);
        if (!drop) continue;
        ++drops;
        if (!drop->isFree() && drop->getBoard() && drop->getY() <= groundTop + 1 && drop->getVelocity().y == 0) {
            ++resting;
        }
    }
    EXPECT_GE(drops, 100) << "about 5 drops for each of the 20 hits";
    EXPECT_EQ(resting, drops) << "drops still in the air or sunk through the map";

    TestWorld::reset();
}
