#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdlib>
#include <ctime>
#include <map>

#include "fighters/Player.h"
#include "tests/support/HeadlessGame.h"
#include "weapons/Blood.h"
#include "weapons/FireStar.h"
#include "world/BlockSystem.h"
#include "world/ObjectSystem.h"

using Torvane::Blood;
using Torvane::FireStar;
using Torvane::Object;

namespace {

class ParticleTest : public testing::Test {
protected:
    void SetUp() override {
        objects().cleanupObjects();
        headlessGame().getBlockSystem().initialize(1000, 600);
        clear_to_color(canvas, 0);
    }
    void TearDown() override {
        objects().cleanupObjects();
        destroy_bitmap(canvas);
    }
    static Torvane::ObjectSystem& objects() { return headlessGame().getObjectSystem(); }
    void frame() {
        clear_to_color(canvas, 0);
        objects().moveObjects();
        objects().drawObjects(canvas, 0, 0);
        objects().removeDeadObjects();
    }
    static Object* ground(int x, int y, int w, int h) {
        Object* o = new Object();
        o->setX(x).setY(y).setWidth(w).setHeight(h).setCollidable(true);
        return o;
    }
    BITMAP* canvas = create_bitmap(200, 200);
};

class StandingBlock : public Torvane::RealBody {
public:
    StandingBlock(int x, int y, int w, int h) { setX(x).setY(y).setWidth(w).setHeight(h); }
};

}  // namespace

TEST_F(ParticleTest, ASparkIsAGrowingYellowRingForTenFramesThenGone) {
    FireStar* spark = new FireStar(100, 100);
    EXPECT_TRUE(spark->isVisible());
    EXPECT_FALSE(spark->isCollidable());
    objects().addObject(spark);
    int yellow = makecol(255, 255, 0);
    for (int frameNumber = 1; frameNumber <= 10; ++frameNumber) {
        ASSERT_EQ(objects().getObjectCount(), 1) << "frame " << frameNumber;
        EXPECT_EQ(spark->getRadius(), frameNumber) << "before the move of frame " << frameNumber;
        clear_to_color(canvas, 0);
        objects().moveObjects();
        objects().drawObjects(canvas, 0, 0);
        int radius = frameNumber + 1;
        EXPECT_EQ(getpixel(canvas, 100 + radius, 100), yellow) << "frame " << frameNumber;
        EXPECT_EQ(getpixel(canvas, 100, 100 - radius), yellow);
        EXPECT_EQ(getpixel(canvas, 100 + radius + 1, 100), 0) << "a ring of exactly that radius";
        EXPECT_EQ(getpixel(canvas, 100, 100), 0) << "hollow";
        EXPECT_EQ(spark->isDead(), frameNumber == 10);
        EXPECT_EQ(spark->getX(), 100) << "it does not move";
        objects().removeDeadObjects();
    }
    EXPECT_EQ(objects().getObjectCount(), 0) << "gone after its tenth frame";
}

TEST_F(ParticleTest, ABloodDropFliesBackAgainstTheShotWithItsRandomNumbersInOrder) {
    // Each drop draws five numbers: size, then the x factor and switch, then y's.
    for (unsigned int seed = 1; seed <= 50; ++seed) {
        std::srand(seed);
        int r[5];
        for (int& value : r) value = std::rand();
        std::srand(seed);
        Blood drop(10, 20, Vector(0.6f, -0.8f));
        EXPECT_EQ(drop.getSize(), r[0] % 5 + 1);
        EXPECT_FLOAT_EQ(drop.getVelocity().x, -(r[1] % 5) * (r[2] % 2) * 0.6f) << seed;
        EXPECT_FLOAT_EQ(drop.getVelocity().y, (r[3] % 5) * (r[4] % 2) * 0.8f) << seed;
        EXPECT_EQ(drop.getX(), 10);
        EXPECT_EQ(drop.getY(), 20);
        EXPECT_TRUE(drop.isVisible());
        EXPECT_TRUE(drop.isCollidable());
        EXPECT_EQ(drop.getWidth(), 0) << "no image: it collides as a point";
        EXPECT_EQ(drop.getColor(), makecol(255, 0, 0));
        EXPECT_EQ(drop.getLifeSeconds(), 60);
    }

    std::srand(12345);
    std::map<float, int> seen;
    const int drops = 2000;
    for (int i = 0; i < drops; ++i) {
        Blood drop(0, 0, Vector(1, 0));
        EXPECT_EQ(drop.getVelocity().y, 0.0f);
        seen[drop.getVelocity().x] += 1;
    }
    for (float vx : {0.0f, -1.0f, -2.0f, -3.0f, -4.0f}) EXPECT_GT(seen[vx], 0) << vx;
    EXPECT_EQ(seen.size(), 5u) << "nothing else";
    EXPECT_GE(seen[0.0f], drops / 2) << "at rest along x at least half of the time";
}

TEST_F(ParticleTest, ABloodDropIsARedDiscAndDiesAfterItsMinute) {
    Blood* drop = new Blood(50, 60, Vector(0, 0));
    objects().addObject(drop);
    frame();
    int red = makecol(255, 0, 0);
    EXPECT_EQ(getpixel(canvas, 50, 60), red);
    EXPECT_EQ(getpixel(canvas, 50 + drop->getSize(), 60), red);
    EXPECT_EQ(getpixel(canvas, 50 + drop->getSize() + 1, 60), 0);

    std::time_t now = std::time(nullptr);
    drop->setCreatedAt(now - 58);
    frame();
    EXPECT_EQ(objects().getObjectCount(), 1) << "still there before its minute is up";
    drop->setCreatedAt(now - 60);
    objects().moveObjects();
    EXPECT_TRUE(drop->isDead());
    objects().removeDeadObjects();
    EXPECT_EQ(objects().getObjectCount(), 0);

    Blood* brief = new Blood(50, 60, Vector(0, 0));
    brief->setLifeSeconds(0);
    objects().addObject(brief);
    frame();
    EXPECT_EQ(objects().getObjectCount(), 0) << "a lifetime of 0 seconds ends at the first move";
}

TEST_F(ParticleTest, BloodIgnoresFightersButLandsOnTheMapAndLeavesABoardItNoLongerTouches) {
    Blood drop(100, 100, Vector(0, 0));
    Torvane::Player fighter;
    fighter.setX(90).setY(80);
    fighter.setWidth(30).setHeight(50);
    EXPECT_FALSE(drop.collide(&fighter)) << "deep inside a fighter, still no collision";
    EXPECT_EQ(drop.getY(), 100);
    StandingBlock crate(90, 95, 30, 30);
    EXPECT_TRUE(drop.collide(&crate));
    EXPECT_EQ(drop.getY(), 96) << "placed on top, one pixel in";
    EXPECT_EQ(drop.getBoard(), &crate);

    crate.setX(500);
    EXPECT_FALSE(drop.collide(&crate));
    EXPECT_TRUE(drop.isFree()) << "it left the board it stood on";
    EXPECT_EQ(drop.getBoard(), nullptr);
    EXPECT_TRUE(crate.getPassengers().empty());
}

TEST_F(ParticleTest, BloodFallingOnAFighterPassesThroughAndLandsOnTheGround) {
    objects().addObject(ground(0, 400, 1000, 40));
    Torvane::Player* fighter = new Torvane::Player();
    fighter->setX(200).setY(300);
    fighter->setWidth(30).setHeight(101);  // its feet one pixel into the ground
    fighter->setBoard(objects().getObjects().front());
    fighter->setFree(false);
    objects().addObject(fighter);
    Blood* drop = new Blood(215, 250, Vector(0, 0));
    objects().addObject(drop);
    for (int i = 0; i < 200; ++i) frame();
    EXPECT_FALSE(drop->isFree());
    EXPECT_EQ(drop->getBoard(), objects().getObjects().front());
    EXPECT_EQ(drop->getY(), 401) << "on the ground, under the fighter's feet";
    EXPECT_EQ(drop->getX(), 215);
}

TEST_F(ParticleTest, AFighterWalksThroughLyingBloodAsIfItWereNotThere) {
    Object* floor = ground(0, 400, 1000, 40);
    objects().addObject(floor);
    // The same slide twice, the second time over a carpet of drops lying in its way.
    float distance[2];
    for (int withBlood = 0; withBlood < 2; ++withBlood) {
        std::vector<Blood*> drops;
        if (withBlood) {
            for (int x = 300; x < 340; x += 3) {
                drops.push_back(new Blood(x, 380, Vector(0, 0)));
                objects().addObject(drops.back());
            }
            for (int i = 0; i < 60; ++i) frame();
            for (Blood* drop : drops) ASSERT_FALSE(drop->isFree()) << "the drops lie on the floor";
        }
        Torvane::Player* fighter = new Torvane::Player();
        fighter->setX(250).setY(355);
        fighter->setWidth(30).setHeight(46);  // feet one pixel into the floor
        fighter->setBoard(floor);
        fighter->setFree(false);
        objects().addObject(fighter);
        fighter->setVelocity(Vector(5, 0));
        for (int i = 0; i < 80; ++i) frame();
        distance[withBlood] = fighter->getPosition().x - 250;
        EXPECT_FALSE(fighter->isFree());
        for (Blood* drop : drops) {
            EXPECT_EQ(drop->getY(), 401) << "the drops were not pushed";
            drop->die();
        }
        fighter->die();
        frame();
    }
    EXPECT_GT(distance[0], 90.0f);
    EXPECT_EQ(distance[1], distance[0]) << "the drops did not slow the fighter";
}
