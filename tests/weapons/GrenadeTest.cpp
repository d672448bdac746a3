#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <ctime>
#include <vector>

#include "tests/fighters/TestWorld.h"
#include "weapons/Blood.h"
#include "weapons/Explosion.h"
#include "weapons/Grenade.h"
#include "weapons/GrenadeThrown.h"

using Torvane::Explosion;
using Torvane::GrenadeThrown;
using Torvane::Player;

namespace {

constexpr int groundTop = 500;

int plays(const char* name) {
    Torvane::Sound* sound = TestWorld::game().getSoundSystem().getSound(name);
    return sound ? sound->getPlayCount() : -1;
}

class GrenadeTest : public testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        ground = TestWorld::addGround(0, groundTop, 2000, 50);
        red = makecol(200, 0, 0);
        blue = makecol(0, 0, 200);
        thrower = standing("kr", 100, red);
    }
    void TearDown() override { TestWorld::reset(); }

    Player* standing(const char* role, int x, int color) {
        Player* p = TestWorld::addFighter(role, x, groundTop - 60, color);
        TestWorld::settle(p);
        return p;
    }

    GrenadeThrown* throwFrom(int x, int y, int toX, int toY) {
        GrenadeThrown* g = new GrenadeThrown(thrower, x, y, toX, toY, 0);
        TestWorld::game().getObjectSystem().addObject(g);
        return g;
    }

    Torvane::Object* ground = nullptr;
    Player* thrower = nullptr;
    int red = 0, blue = 0;
};

}  // namespace

TEST_F(GrenadeTest, IsThrownAtEightTowardTheTargetAndFalls) {
    GrenadeThrown* g = throwFrom(500, 300, 800, 700);  // 3:4 down and right
    EXPECT_TRUE(g->isBouncy());
    EXPECT_TRUE(g->isVisible());
    EXPECT_TRUE(g->isCollidable());
    EXPECT_EQ(g->getWidth(), 0);
    EXPECT_EQ(g->getFuse(), 2);
    EXPECT_NEAR(g->getVelocity().x, 4.8f, 1e-4);
    EXPECT_NEAR(g->getVelocity().y, 6.4f, 1e-4);
    EXPECT_EQ(throwFrom(500, 300, 500, 100)->getVelocity().y, -8.0f);
    EXPECT_EQ(throwFrom(500, 300, 100, 300)->getVelocity().x, -8.0f);
    EXPECT_EQ(throwFrom(500, 300, 500, 300)->getVelocity().x, -8.0f) << "no way to go: thrown left, as a bullet";

    GrenadeThrown* lob = throwFrom(500, 200, 900, 200);
    TestWorld::step();
    EXPECT_FLOAT_EQ(lob->getPosition().x, 508.0f);
    TestWorld::step(2);
    EXPECT_GT(lob->getVelocity().y, 0.0f) << "gravity pulls it down";
    EXPECT_LE(lob->getVelocity().getMagnitude(), 8.0f + 1e-4f);

    // Thrown by the weapon: from half the picture's width off the centre, without a sound.
    Torvane::Grenade* weapon = new Torvane::Grenade(thrower);
    thrower->setWeapon(3, weapon);
    thrower->setEquipment(3);
    weapon->addBullets(1);
    while (weapon->getBulletCurrent() == 0 || weapon->getTimer() > 0) weapon->move();
    int explodeSounds = plays("grenade_explode");
    ASSERT_TRUE(weapon->fire(thrower->getCentralX() + 300, thrower->getCentralY()));
    GrenadeThrown* thrown =
        dynamic_cast<GrenadeThrown*>(TestWorld::game().getObjectSystem().getObjects().back());
    ASSERT_NE(thrown, nullptr);
    EXPECT_EQ(thrown->getX(), thrower->getCentralX() + weapon->getWidth() / 2);
    EXPECT_EQ(thrown->getOwner(), thrower);
    EXPECT_EQ(plays("grenade_explode"), explodeSounds);
    EXPECT_FALSE(weapon->fire(thrower->getCentralX() + 300, thrower->getCentralY())) << "one to a clip";
}

TEST_F(GrenadeTest, BouncesOnTheGroundWithAClinkAtMostEveryFiveFrames) {
    GrenadeThrown* g = throwFrom(1000, groundTop - 4, 1000, groundTop);
    Vector falling(0, 3);
    g->setVelocity(falling);
    int clinks = plays("grenade_hitground");
    std::vector<float> landings;  // the speed at each bounce or stop
    float lastVy = g->getVelocity().y;
    for (int frame = 0; frame < 200 && !g->getBoard(); ++frame) {
        TestWorld::step();
        float vy = g->getVelocity().y;
        if (lastVy > 0 && vy <= 0) landings.push_back(lastVy);
        lastVy = vy;
    }
    // Each landing faster than 1 sends it back up at half the speed; the speeds
    // seen here lag behind the impact by a frame or two of gravity.
    ASSERT_GE(landings.size(), 3u);
    EXPECT_NEAR(landings[0], 3.0f, 0.3f);
    EXPECT_NEAR(landings[1], 1.5f, 0.3f);
    EXPECT_NEAR(landings[2], 0.75f, 0.3f);
    for (size_t i = 0; i + 1 < landings.size(); ++i) {
        EXPECT_GT(landings[i] + 0.12f, 1.0f) << "bounced although slow, landing " << i;
        EXPECT_NEAR(landings[i + 1], (landings[i] + 0.12f) / 2, 0.25f) << "landing " << i;
    }
    EXPECT_LE(landings.back() + 0.12f, 1.0f + 1e-4f) << "stopped although fast";
    EXPECT_EQ(g->getBoard(), ground) << "the last landing was slow enough to stay";
    EXPECT_FALSE(g->isFree());
    EXPECT_EQ(plays("grenade_hitground"), clinks + static_cast<int>(landings.size()));

    // Two landings in quick succession: the second is silent; five frames later the ground clinks again.
    GrenadeThrown* rattle = throwFrom(1200, groundTop - 5, 1200, groundTop);
    clinks = plays("grenade_hitground");
    rattle->handleCollision(Torvane::SIDE_BELOW, ground);
    rattle->handleCollision(Torvane::SIDE_BELOW, ground);
    EXPECT_EQ(plays("grenade_hitground"), clinks + 1);
    EXPECT_EQ(rattle->getClinkCooldown(), GrenadeThrown::clinkPause);
    for (int i = 0; i < 4; ++i) rattle->move();
    rattle->handleCollision(Torvane::SIDE_BELOW, ground);
    EXPECT_EQ(plays("grenade_hitground"), clinks + 1);
    rattle->move();
    rattle->handleCollision(Torvane::SIDE_BELOW, ground);
    EXPECT_EQ(plays("grenade_hitground"), clinks + 2);
    // Side and head contacts never clink.
    for (int i = 0; i < 5; ++i) rattle->move();
    rattle->handleCollision(Torvane::SIDE_LEFT, ground);
    rattle->handleCollision(Torvane::SIDE_ABOVE, ground);
    EXPECT_EQ(plays("grenade_hitground"), clinks + 2);
}

TEST_F(GrenadeTest, PassesTeammatesAndBouncesSilentlyOffEnemies) {
    Player* mate = standing("kr", 400, red);
    Player* enemy = standing("kt", 800, blue);
    const int height = mate->getCentralY();

    GrenadeThrown* toMate = throwFrom(330, height, 600, height);
    int frames = 0;
    while (toMate->getX() < mate->getX() + mate->getWidth() + 5 && frames < 60) {
        TestWorld::step();
        ++frames;
    }
    EXPECT_GT(toMate->getX(), mate->getX() + mate->getWidth()) << "a teammate stopped it";
    EXPECT_EQ(mate->getHealth(), 100);
    toMate->die();
    TestWorld::step();

    int clinks = plays("grenade_hitground");
    GrenadeThrown* toEnemy = throwFrom(730, height, 1000, height);
    float vx = 0;
    for (int i = 0; i < 30 && toEnemy->getVelocity().x > 0; ++i) {
        vx = toEnemy->getVelocity().x;
        TestWorld::step();
    }
    EXPECT_LT(toEnemy->getVelocity().x, 0.0f) << "the enemy did not turn it back";
    EXPECT_NEAR(toEnemy->getVelocity().x, -vx / 2, 0.2f);
    EXPECT_LT(toEnemy->getX(), enemy->getX());
    EXPECT_EQ(plays("grenade_hitground"), clinks) << "fighters do not clink";
}

TEST_F(GrenadeTest, TheFuseBurnsByTheWallClock) {
    GrenadeThrown* fresh = throwFrom(1000, 300, 1000, 200);
    std::time_t now = std::time(nullptr);
    fresh->setThrownAt(now + 60);  // far from going off in this test, however slow
    GrenadeThrown* old = throwFrom(1200, 300, 1200, 200);
    old->setThrownAt(now - 2);
    int booms = plays("grenade_explode");

    TestWorld::step();
    EXPECT_TRUE(fresh->isVisible());
    EXPECT_EQ(TestWorld::countObjects<Explosion>(), 1);
    EXPECT_EQ(plays("grenade_explode"), booms + 1);
    ASSERT_EQ(TestWorld::countObjects<GrenadeThrown>(), 1) << "the spent grenade is swept away";
    Explosion* blast = dynamic_cast<Explosion*>(TestWorld::game().getObjectSystem().getObjects().back());
    ASSERT_NE(blast, nullptr);
    EXPECT_EQ(blast->getOwner(), thrower);
    EXPECT_NEAR(blast->getX(), 1200, 1);
    EXPECT_TRUE(blast->isVisible());

    // Thrown this very second: nothing yet; bomb() makes it go on the next frame.
    fresh->setThrownAt(std::time(nullptr));
    fresh->move();
    EXPECT_FALSE(fresh->isDead());
    fresh->bomb();
    EXPECT_EQ(fresh->getFuse(), 0);
    fresh->move();
    EXPECT_TRUE(fresh->isDead());
    EXPECT_EQ(plays("grenade_explode"), booms + 2);
    fresh->move();  // a spent grenade does not go off twice
    EXPECT_EQ(plays("grenade_explode"), booms + 2);
}

TEST_F(GrenadeTest, TheBlastGrowsForTenFramesAndHurtsEveryCentreItCovers) {
    // Fighters hang where they are put: only the blast moves here.
    Player* centre = TestWorld::addFighter("kt", 600, 300, blue);
    Player* near = TestWorld::addFighter("kt", 620, 300, blue);
    Player* middle = TestWorld::addFighter("kt", 700, 300, blue);
    Player* far = TestWorld::addFighter("kt", 800, 300, blue);
    const int x = centre->getCentralX() + 1, y = centre->getCentralY();
    Explosion* blast = new Explosion(thrower, x, y);
    TestWorld::game().getObjectSystem().addObject(blast);
    EXPECT_EQ(blast->getRadius(), 1);

    std::vector<int> hitsAt[4];
    Player* fighters[] = {centre, near, middle, far};
    int health[4] = {100, 100, 100, 100};
    int blood = TestWorld::countObjects<Torvane::Blood>();
    BITMAP* view = create_bitmap(1600, 1000);
    for (int frame = 1; frame <= 10; ++frame) {
        EXPECT_FALSE(blast->isDead());
        blast->move();
        for (int i = 0; i < 4; ++i) {
            if (fighters[i]->getHealth() != health[i]) hitsAt[i].push_back(frame);
            health[i] = fighters[i]->getHealth();
        }
        EXPECT_EQ(blast->getRadius(), 1 + 20 * frame);
        if (frame == 3) {
            clear_to_color(view, makecol(0, 0, 0));
            blast->draw(view, 0, 0);
            EXPECT_EQ(getpixel(view, x + 60, y), makecol(255, 255, 255));
            EXPECT_EQ(getpixel(view, x + 63, y), makecol(0, 0, 0));
            blast->draw(view, 100, 0);
            EXPECT_EQ(getpixel(view, x - 100, y), makecol(255, 255, 255));
        }
    }
    destroy_bitmap(view);
    EXPECT_TRUE(blast->isDead());
    EXPECT_EQ(hitsAt[0], (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(hitsAt[1], (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(hitsAt[2], (std::vector<int>{6, 7, 8, 9, 10}));
    EXPECT_TRUE(hitsAt[3].empty()) << "200 away is out of reach";
    EXPECT_EQ(centre->getHealth(), 50);
    EXPECT_EQ(near->getHealth(), 55);
    EXPECT_EQ(middle->getHealth(), 75);
    EXPECT_EQ(far->getHealth(), 100);
    EXPECT_EQ(TestWorld::countObjects<Torvane::Blood>(), blood + 50 + 45 + 25);
    // Nobody died: nothing credited.
    EXPECT_EQ(thrower->getKills(), 0);
    TestWorld::game().getObjectSystem().removeDeadObjects();
    EXPECT_EQ(TestWorld::countObjects<Explosion>(), 0) << "gone after ten frames";
}

TEST_F(GrenadeTest, KillsAreCreditedToTheThrowerEvenItsOwn) {
    Player* victim = TestWorld::addFighter("kt", 600, 300, blue);
    victim->setHealth(50);
    thrower->setHealth(20);
    TestWorld::place(thrower, 560, 300);
    Explosion* blast = new Explosion(thrower, victim->getCentralX(), victim->getCentralY());
    TestWorld::game().getObjectSystem().addObject(blast);
    for (int i = 0; i < 10; ++i) blast->move();
    EXPECT_FALSE(victim->isAlive());
    EXPECT_FALSE(thrower->isAlive());
    EXPECT_EQ(thrower->getKills(), 2);
    EXPECT_EQ(thrower->getHeadshots(), 0);
    EXPECT_EQ(TestWorld::countEvents("OnKill"), 2);
    // The victim sat on the blast point itself: no direction, so its blood flies
    // as from a push to the right (back against it, never up or down).
    int victimDrops = 0, movingDrops = 0;
    for (Torvane::Object* o : TestWorld::game().getObjectSystem().getObjects()) {
        Torvane::Blood* drop = dynamic_cast<Torvane::Blood*>(o);
        if (!drop || drop->getX() != victim->getCentralX() || drop->getY() != victim->getCentralY()) continue;
        ++victimDrops;
        EXPECT_FALSE(std::isnan(drop->getVelocity().x));
        EXPECT_EQ(drop->getVelocity().y, 0.0f);
        EXPECT_LE(drop->getVelocity().x, 0.0f);
        movingDrops += drop->getVelocity().x < 0.0f;
    }
    EXPECT_EQ(victimDrops, 50);
    EXPECT_GT(movingDrops, 0) << "no drop was given any direction";

    // A blast with nobody to credit still hurts.
    Player* other = TestWorld::addFighter("ranger", 1400, 300, blue);
    Explosion* orphan = new Explosion(nullptr, other->getCentralX(), other->getCentralY());
    TestWorld::game().getObjectSystem().addObject(orphan);
    for (int i = 0; i < 10; ++i) orphan->move();
    EXPECT_EQ(other->getHealth(), 50);
}
