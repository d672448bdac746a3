#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>

#include "tests/fighters/TestWorld.h"
#include "weapons/Blood.h"
#include "weapons/Bullet.h"
#include "weapons/FireStar.h"

using Torvane::Bullet;
using Torvane::Player;

namespace {

class BulletTest : public testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        red = makecol(200, 0, 0);
        blue = makecol(0, 0, 200);
        // The shooter stands out of the way, above the lines the tests fire along.
        shooter = target(50, 50, red);
    }
    void TearDown() override { TestWorld::reset(); }

    // A fighter hanging still at (x, y), 40 tall, entered in the grid and block map.
    Player* target(int x, int y, int color) {
        Player* p = new Player("target", "kt");
        p->setX(x).setY(y);
        p->setHeight(40);
        p->setColor(color);
        TestWorld::game().addPlayer(p);
        return p;
    }

    Bullet* fire(int x, int y, int toX, int toY, Player* by = nullptr) {
        Bullet* b = new Bullet(by ? by : shooter, x, y, toX, toY);
        TestWorld::game().getObjectSystem().addObject(b);
        return b;
    }

    int red = 0, blue = 0;
    Player* shooter = nullptr;
};

}  // namespace

TEST_F(BulletTest, FliesAHundredAFrameToTheWallAndEndsThereWithASpark) {
    TestWorld::addGround(350, 200, 50, 200);
    Bullet* b = fire(100, 300, 600, 300);
    EXPECT_EQ(b->getEndX(), 350);
    EXPECT_EQ(b->getEndY(), 300);
    EXPECT_TRUE(b->isVisible());
    EXPECT_FALSE(b->isCollidable());
    EXPECT_FLOAT_EQ(b->getVelocity().x, 100.0f);
    EXPECT_FLOAT_EQ(b->getVelocity().y, 0.0f);

    b->move();
    EXPECT_EQ(b->getX(), 200);
    EXPECT_FALSE(b->isDead());
    b->move();
    EXPECT_EQ(b->getX(), 300);
    EXPECT_FALSE(b->isDead());
    EXPECT_EQ(TestWorld::countObjects<Torvane::FireStar>(), 0);
    b->move();  // the third frame passes 350
    EXPECT_TRUE(b->isDead());
    EXPECT_EQ(b->getX(), 350);
    EXPECT_EQ(b->getY(), 300);
    EXPECT_FLOAT_EQ(b->getVelocity().x, 50.0f);
    ASSERT_EQ(TestWorld::countObjects<Torvane::FireStar>(), 1);
    Torvane::Object* spark = TestWorld::game().getObjectSystem().getObjects().back();
    EXPECT_EQ(spark->getX(), 350);
    EXPECT_EQ(spark->getY(), 300);

    // The last streak runs from the previous position to the end, no further.
    BITMAP* view = create_bitmap(800, 600);
    const int black = makecol(0, 0, 0), white = makecol(255, 255, 255);
    clear_to_color(view, black);
    b->draw(view, 0, 0);
    for (int x = 300; x <= 350; ++x) EXPECT_EQ(getpixel(view, x, 300), white) << x;
    EXPECT_EQ(getpixel(view, 299, 300), black);
    EXPECT_EQ(getpixel(view, 351, 300), black);
    // Drawn shifted by the camera.
    clear_to_color(view, black);
    b->draw(view, 100, 50);
    EXPECT_EQ(getpixel(view, 225, 250), white);
    destroy_bitmap(view);
}

TEST_F(BulletTest, ArrivesInTheFrameItPassesItsEnd) {
    // Paths of length L along an axis end in frame floor(L / 100) + 1.
    struct Path {
        int length, frames;
    };
    for (Path path : {Path{99, 1}, Path{100, 2}, Path{250, 3}, Path{300, 4}, Path{301, 4}}) {
        for (int sign : {1, -1}) {
            Bullet* horizontal = fire(1000, 700, 1000 + sign * path.length, 700);
            Bullet* vertical = fire(1000, 500, 1000, 500 - sign * path.length);
            int frames = 0;
            while (!horizontal->isDead() && frames < 10) {
                horizontal->move();
                vertical->move();
                ++frames;
                EXPECT_EQ(horizontal->isDead(), vertical->isDead());
            }
            EXPECT_EQ(frames, path.frames) << "length " << path.length << " sign " << sign;
            EXPECT_EQ(horizontal->getX(), 1000 + sign * path.length);
            EXPECT_EQ(vertical->getY(), 500 - sign * path.length);
        }
    }

    // A slanted path: speed 100 along the line, ending exactly on its end.
    Bullet* slanted = fire(100, 100, 400, 500);
    EXPECT_NEAR(slanted->getVelocity().getMagnitude(), 100.0f, 1e-3);
    EXPECT_NEAR(slanted->getVelocity().x, 60.0f, 1e-3);
    EXPECT_NEAR(slanted->getVelocity().y, 80.0f, 1e-3);
    int frames = 0;
    while (!slanted->isDead() && frames < 10) {
        slanted->move();
        ++frames;
    }
    EXPECT_GE(frames, 5);
    EXPECT_LE(frames, 6);
    EXPECT_EQ(slanted->getX(), 400);
    EXPECT_EQ(slanted->getY(), 500);

    // Aimed at the muzzle itself: it ends at once, there.
    Bullet* still = fire(700, 300, 700, 300);
    still->move();
    EXPECT_TRUE(still->isDead());
    EXPECT_EQ(still->getX(), 700);
    EXPECT_EQ(still->getY(), 300);
}

TEST_F(BulletTest, HitsTheFighterItEndsOnAndCreditsOnlyAKill) {
    // A level shot meets the outline of an enemy on its top row: 10 points, a headshot.
    Player* enemy = target(500, 300, blue);
    enemy->setHealth(10);
    Bullet* b = fire(100, 300, 900, 300);
    EXPECT_EQ(b->getEndX(), 500);
    EXPECT_EQ(b->getEndY(), 300);
    for (int i = 0; i < 5; ++i) b->move();
    EXPECT_FALSE(enemy->isAlive());
    EXPECT_EQ(shooter->getKills(), 1);
    EXPECT_EQ(shooter->getHeadshots(), 1);
    EXPECT_EQ(TestWorld::countEvents("OnKill"), 1);
    EXPECT_EQ(TestWorld::countObjects<Torvane::Blood>(), 10);

    // The same shot at a fighter with 50 health: a headshot hit, but nothing is credited.
    Player* tough = target(500, 600, blue);
    tough->setHealth(50);
    b = fire(100, 600, 900, 600);
    for (int i = 0; i < 5; ++i) b->move();
    EXPECT_EQ(tough->getHealth(), 40);
    EXPECT_EQ(shooter->getKills(), 1);
    EXPECT_EQ(shooter->getHeadshots(), 1);

    // A shot into a corpse makes blood but credits nothing more. (Two rows lower:
    // the drops of the first hit lie on the block map where it struck.)
    b = fire(100, 302, 900, 302);
    for (int i = 0; i < 5; ++i) b->move();
    EXPECT_EQ(b->getEndX(), 500);
    EXPECT_EQ(shooter->getKills(), 1);
    EXPECT_EQ(TestWorld::countEvents("OnKill"), 1);
    EXPECT_EQ(TestWorld::countObjects<Torvane::Blood>(), 29);

    // A kill lower down is a kill without a headshot.
    Player* third = target(500, 800, blue);
    third->setHealth(5);
    b = fire(100, 820, 900, 820);
    for (int i = 0; i < 5; ++i) b->move();
    EXPECT_FALSE(third->isAlive());
    EXPECT_EQ(shooter->getKills(), 2);
    EXPECT_EQ(shooter->getHeadshots(), 1);
}

TEST_F(BulletTest, PassesItsOwnSideButHitsATeammateItIsAimedAt) {
    Player* teammate = target(300, 300, red);
    TestWorld::addGround(600, 250, 40, 200);
    Bullet* through = fire(100, 310, 900, 310);
    EXPECT_EQ(through->getEndX(), 600) << "the teammate's outline is passed";
    for (int i = 0; i < 6; ++i) through->move();
    EXPECT_EQ(teammate->getHealth(), 100);

    // Aimed at a point on the teammate with nothing else on the way: it ends there and hurts.
    Bullet* onto = fire(100, 310, 310, 320);
    EXPECT_EQ(onto->getEndX(), 310);
    EXPECT_EQ(onto->getEndY(), 320);
    for (int i = 0; i < 4; ++i) onto->move();
    EXPECT_EQ(teammate->getHealth(), 95);
    EXPECT_EQ(shooter->getKills(), 0);

    // An enemy's shot stops at the same fighter's outline.
    Player* enemyShooter = target(50, 900, blue);
    Bullet* stopped = fire(100, 310, 900, 310, enemyShooter);
    EXPECT_EQ(stopped->getEndX(), 300);

    // A bullet that ends on its own shooter never hurts it.
    Bullet* own = fire(60, 60, 65, 70);
    own->move();
    EXPECT_TRUE(own->isDead());
    EXPECT_EQ(shooter->getHealth(), 100);
}

TEST_F(BulletTest, ABulletWithNoDirectionLeftSpillsBloodAsIfPushedRight) {
    Player* enemy = target(500, 300, blue);
    int before = TestWorld::countObjects<Torvane::Blood>();
    Bullet* point = fire(510, 300, 510, 300);  // on the enemy's top row, going nowhere
    point->move();
    EXPECT_TRUE(point->isDead());
    EXPECT_EQ(enemy->getHealth(), 90);
    const std::vector<Torvane::Object*>& objects = TestWorld::game().getObjectSystem().getObjects();
    int drops = 0;
    for (Torvane::Object* o : objects) {
        Torvane::Blood* drop = dynamic_cast<Torvane::Blood*>(o);
        if (!drop) continue;
        ++drops;
        EXPECT_EQ(drop->getVelocity().y, 0.0f);
        EXPECT_LE(drop->getVelocity().x, 0.0f);
        EXPECT_GE(drop->getVelocity().x, -4.0f);
        EXPECT_FALSE(std::isnan(drop->getVelocity().x));
    }
    EXPECT_EQ(drops, before + 10);
}

TEST_F(BulletTest, TheResultsCountOnlyTheMainPlayersShotsHitsKillsAndDeaths) {
    Torvane::LevelStats& stats = TestWorld::game().getLevelStats();
    stats.reset();
    TestWorld::game().setMainPlayer(shooter);
    Player* enemy = target(500, 300, blue);
    enemy->setHealth(10);
    Player* friendly = target(500, 600, red);
    Player* other = target(50, 900, blue);
    auto flyOut = [](Bullet* b) {
        for (int i = 0; i < 5; ++i) b->move();
    };
    flyOut(fire(100, 300, 900, 300));          // a headshot kill
    flyOut(fire(100, 500, 900, 500));          // a miss
    flyOut(fire(500, 560, 502, 610));          // struck a friend: no hit for accuracy
    flyOut(fire(100, 300, 900, 300, other));   // another fighter's shot counts for nobody
    EXPECT_EQ(stats.getShots(), 3);
    EXPECT_EQ(stats.getHits(), 1);
    EXPECT_EQ(stats.getKills(), 1);
    EXPECT_EQ(stats.getHeadshots(), 1);
    EXPECT_EQ(stats.accuracyPercent(), 33);
    (void)friendly;
    shooter->die();
    shooter->die();
    EXPECT_EQ(stats.getDeaths(), 1) << "a death is counted once";
    for (long long i = 0; i < 125 * 66; ++i) stats.frame();
    EXPECT_EQ(stats.summary(), "time 2:05, kills 1, headshots 1, accuracy 33% (1 of 3), deaths 1");
    TestWorld::game().setMainPlayer(nullptr);
    stats.reset();
    EXPECT_EQ(stats.accuracyPercent(), 0) << "no shot, no division";
}
