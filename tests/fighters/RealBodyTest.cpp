#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>

#include "fighters/RealBody.h"
#include "tests/support/HeadlessGame.h"
#include "weapons/Blood.h"
#include "world/BlockSystem.h"
#include "world/ObjectSystem.h"

using Torvane::Object;
using Torvane::RealBody;

namespace {

class Crate : public RealBody {
public:
    Crate(int x, int y, int w, int h) {
        setX(x).setY(y).setWidth(w).setHeight(h);
    }
};

// A static object with a velocity of its own, as a moving platform would report.
class Conveyor : public Object {
public:
    explicit Conveyor(Vector v) { velocity = v; }
};

Object* ground(int x, int y, int w, int h) {
    Object* o = new Object();
    o->setX(x).setY(y).setWidth(w).setHeight(h).setCollidable(true).show();
    return o;
}

class WorldTest : public testing::Test {
protected:
    void SetUp() override {
        objects().cleanupObjects();
        headlessGame().getBlockSystem().initialize(2000, 1000);
    }
    void TearDown() override { objects().cleanupObjects(); }
    static Torvane::ObjectSystem& objects() { return headlessGame().getObjectSystem(); }
    static void frame() {
        objects().moveObjects();
        objects().removeDeadObjects();
    }
};

}  // namespace

TEST(RealBody, StartsFreeCollidableWithMassOneAndScalesForcesByMass) {
    Crate body(0, 0, 10, 10);
    EXPECT_TRUE(body.isFree());
    EXPECT_EQ(body.getBoard(), nullptr);
    EXPECT_TRUE(body.isCollidable());
    EXPECT_EQ(body.getMass(), 1);
    EXPECT_FALSE(body.isBouncy());
    EXPECT_EQ(body.getGroundFriction(), 0.0f) << "no friction before the first landing";

    body.setMass(50);
    body.addMomentum(Vector(-10, -300));
    EXPECT_FLOAT_EQ(body.getVelocity().x, -0.2f);
    EXPECT_FLOAT_EQ(body.getVelocity().y, -6.0f);
    body.addForce(Vector(25, 4));
    EXPECT_FLOAT_EQ(body.getAcceleration().x, 0.5f);
    EXPECT_EQ(body.getAcceleration().y, 0.0f) << "4 / 50 is below 0.1 and snaps to 0";
    body.setMass(0);
    EXPECT_EQ(body.getMass(), 1) << "no mass below 1: forces are divided by it";
    body.setMass(-3);
    EXPECT_EQ(body.getMass(), 1);
}

TEST(RealBody, FallsUnderGravityUpToTheSpeedCap) {
    Crate body(0, 0, 10, 10);
    body.move();
    EXPECT_FLOAT_EQ(body.getAcceleration().y, 0.12f);
    EXPECT_EQ(body.getVelocity().y, 0.0f);
    body.move();
    EXPECT_FLOAT_EQ(body.getVelocity().y, 0.12f);
    EXPECT_EQ(body.getPosition().y, 0.0f);
    body.move();
    EXPECT_FLOAT_EQ(body.getPosition().y, 0.12f);

    for (int i = 0; i < 200; ++i) body.move();
    EXPECT_FLOAT_EQ(body.getVelocity().y, 8.0f) << "capped at 8 pixels per frame";

    Crate diagonal(0, 0, 10, 10);
    diagonal.setVelocity(Vector(7, 0));
    for (int i = 0; i < 200; ++i) diagonal.move();
    Vector v = diagonal.getVelocity();
    EXPECT_NEAR(v.getMagnitude(), 8.0f, 1e-4) << "the cap applies to the length";
    EXPECT_LT(v.x, 7.0f) << "so a diagonal fall is slowed in both components";
}

TEST(RealBody, LandingStopsTheFallAndRestsWithoutGravity) {
    Crate body(0, 0, 10, 10);
    Object block;
    body.setVelocity(Vector(0, 5));
    body.move();
    body.handleCollision(Torvane::SIDE_BELOW, &block);
    EXPECT_EQ(body.getVelocity().y, 0.0f);
    EXPECT_FALSE(body.isFree());
    EXPECT_EQ(body.getBoard(), &block);
    EXPECT_EQ(body.getAcceleration().y, 0.0f);
    EXPECT_FLOAT_EQ(body.getGroundFriction(), 0.12f);
    float y = body.getPosition().y;
    for (int i = 0; i < 5; ++i) body.move();
    EXPECT_EQ(body.getPosition().y, y) << "no gravity while standing";
    EXPECT_EQ(body.getVelocity().y, 0.0f);

    body.setFree(true);
    EXPECT_EQ(body.getBoard(), nullptr) << "a body set free leaves its board";
    body.move();
    EXPECT_FLOAT_EQ(body.getAcceleration().y, 0.12f) << "and falls again";
}

TEST(RealBody, FrictionSlowsASlideToZeroAndNeverReversesIt) {
    Object block;
    for (float start : {0.3f, -0.3f, 5.0f, -0.05f}) {
        Crate body(0, 0, 10, 10);
        body.handleCollision(Torvane::SIDE_BELOW, &block);
        body.setVelocity(Vector(start, 0));
        float previous = start;
        for (int i = 0; i < 100; ++i) {
            body.move();
            float vx = body.getVelocity().x;
            EXPECT_LE(std::fabs(vx), std::fabs(previous)) << start;
            EXPECT_GE(vx * start, 0.0f) << "never the other way, starting at " << start;
            previous = vx;
        }
        EXPECT_EQ(body.getVelocity().x, 0.0f) << start;
    }
    Crate body(0, 0, 10, 10);
    body.handleCollision(Torvane::SIDE_BELOW, &block);
    body.setVelocity(Vector(0.3f, 0));
    float expected[] = {0.18f, 0.06f, 0.0f};
    for (float vx : expected) {
        body.move();
        EXPECT_NEAR(body.getVelocity().x, vx, 1e-6);
    }
}

TEST(RealBody, BouncesWallsAndHeadBumps) {
    Object wall;
    Crate walker(0, 0, 10, 10);
    walker.setVelocity(Vector(2, 1.5f));
    walker.handleCollision(Torvane::SIDE_RIGHT, &wall);
    EXPECT_FLOAT_EQ(walker.getVelocity().x, -1.0f) << "rebounds at half its speed";
    EXPECT_FLOAT_EQ(walker.getVelocity().y, 1.5f);
    walker.setVelocity(Vector(-4, 0));
    walker.handleCollision(Torvane::SIDE_LEFT, &wall);
    EXPECT_FLOAT_EQ(walker.getVelocity().x, 2.0f);
    Conveyor belt(Vector(6, 0));
    walker.setVelocity(Vector(2, 0));
    walker.handleCollision(Torvane::SIDE_RIGHT, &belt);
    EXPECT_FLOAT_EQ(walker.getVelocity().x, -4.0f) << "the other's speed counts too";

    Crate jumper(0, 0, 10, 10);
    jumper.setVelocity(Vector(1, -5));
    jumper.handleCollision(Torvane::SIDE_ABOVE, &wall);
    EXPECT_FLOAT_EQ(jumper.getVelocity().y, 5.0f);
    EXPECT_FLOAT_EQ(jumper.getVelocity().x, 1.0f);
    EXPECT_TRUE(jumper.isFree());

    jumper.handleCollision(7, &wall);
    EXPECT_FLOAT_EQ(jumper.getVelocity().y, 5.0f) << "unknown sides change nothing";

    Crate ball(0, 0, 10, 10);
    ball.setBouncy(true);
    ball.setVelocity(Vector(0, 4));
    ball.handleCollision(Torvane::SIDE_BELOW, &wall);
    EXPECT_FLOAT_EQ(ball.getVelocity().y, -2.0f);
    EXPECT_TRUE(ball.isFree()) << "a bounce does not land";
    EXPECT_EQ(ball.getBoard(), nullptr);
    ball.setVelocity(Vector(0, 1.0f));
    ball.handleCollision(Torvane::SIDE_BELOW, &wall);
    EXPECT_EQ(ball.getVelocity().y, 0.0f) << "at exactly 1.0 it stops";
    EXPECT_FALSE(ball.isFree());
}

TEST(RealBody, PassengerListsFollowLandingsAndReleases) {
    Crate base(0, 100, 50, 50);
    Crate rider(10, 71, 10, 30);
    Crate other(100, 100, 50, 50);
    rider.handleCollision(Torvane::SIDE_BELOW, &base);
    rider.handleCollision(Torvane::SIDE_BELOW, &base);
    EXPECT_EQ(base.getPassengers().size(), 1u) << "landing twice on the same body lists it once";
    rider.handleCollision(Torvane::SIDE_BELOW, &other);
    EXPECT_TRUE(base.getPassengers().empty()) << "landing elsewhere leaves the old list";
    EXPECT_EQ(other.getPassengers().size(), 1u);
    rider.setFree(true);
    EXPECT_TRUE(other.getPassengers().empty()) << "so does being set free";

    Crate empty(0, 0, 5, 5);
    empty.releaseRoad();
    EXPECT_TRUE(empty.getPassengers().empty());

    Crate second(20, 71, 10, 30);
    rider.handleCollision(Torvane::SIDE_BELOW, &base);
    second.handleCollision(Torvane::SIDE_BELOW, &base);
    base.releaseRoad();
    EXPECT_TRUE(base.getPassengers().empty());
    EXPECT_TRUE(rider.isFree());
    EXPECT_EQ(rider.getBoard(), nullptr);
    EXPECT_TRUE(second.isFree());

    // A body destroyed under its passengers lets them fall; a destroyed passenger
    // leaves its board's list. Either way nothing points at freed memory.
    Crate* doomedBase = new Crate(0, 0, 50, 50);
    rider.handleCollision(Torvane::SIDE_BELOW, doomedBase);
    delete doomedBase;
    EXPECT_TRUE(rider.isFree());
    EXPECT_EQ(rider.getBoard(), nullptr);
    Crate* doomedRider = new Crate(0, 0, 5, 5);
    doomedRider->handleCollision(Torvane::SIDE_BELOW, &base);
    delete doomedRider;
    EXPECT_TRUE(base.getPassengers().empty());
    base.releaseRoad();
}

TEST_F(WorldTest, ABodyDroppedOnTheGroundLandsAndSlidesToRest) {
    objects().addObject(ground(0, 500, 2000, 40));
    RealBody* body = new Crate(100, 300, 20, 20);
    body->setVelocity(Vector(3, 0));
    objects().addObject(body);
    for (int i = 0; i < 200; ++i) frame();
    EXPECT_FALSE(body->isFree());
    EXPECT_NE(body->getBoard(), nullptr);
    EXPECT_EQ(body->getY() + body->getHeight(), 501) << "resting one pixel into the ground";
    Vector v = body->getVelocity();
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    int x = body->getX();
    frame();
    EXPECT_EQ(body->getX(), x);
}

TEST_F(WorldTest, BodiesHitWallsBumpHeadsAndFallWhenTheyWalkOffTheGround) {
    Object* floor = ground(0, 500, 400, 40);
    Object* wall = ground(600, 300, 40, 240);
    Object* ceiling = ground(0, 250, 400, 20);
    for (Object* o : {floor, wall, ceiling}) objects().addObject(o);

    // A jump under the ceiling comes back down.
    RealBody* jumper = new Crate(100, 471, 20, 30);
    jumper->setBoard(floor);
    jumper->setFree(false);
    objects().addObject(jumper);
    jumper->setFree(true);
    jumper->setVelocity(Vector(0, -8));
    bool bumped = false;
    for (int i = 0; i < 80; ++i) {
        frame();
        if (jumper->getVelocity().y > 0 && jumper->getY() < 300) bumped = true;
        EXPECT_GE(jumper->getY(), 270) << "never through the ceiling";
    }
    EXPECT_TRUE(bumped);
    EXPECT_FALSE(jumper->isFree()) << "and lands again";
    EXPECT_EQ(jumper->getBoard(), floor);

    // A body sliding off the floor's end falls past it; one thrown at the wall rebounds.
    RealBody* slider = new Crate(360, 471, 20, 30);
    slider->setBoard(floor);
    slider->setFree(false);
    objects().addObject(slider);
    slider->setVelocity(Vector(6, 0));
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_GT(slider->getX(), 400);
    EXPECT_TRUE(slider->isFree()) << "the floor no longer holds it";
    EXPECT_GT(slider->getY(), 471);
    slider->die();

    RealBody* thrown = new Crate(500, 350, 20, 20);
    thrown->setVelocity(Vector(8, 0));
    objects().addObject(thrown);
    float before = 0;
    for (int i = 0; i < 20 && thrown->getVelocity().x > 0; ++i) {
        before = thrown->getVelocity().x;
        frame();
    }
    EXPECT_LT(thrown->getVelocity().x, 0.0f) << "turned back by the wall";
    EXPECT_NEAR(thrown->getVelocity().x, -before / 2, 0.5f);
    EXPECT_LT(thrown->getX() + thrown->getWidth(), 600);
}

TEST_F(WorldTest, DestroyedBoardsAndPassengersLeaveNoDanglingReferences) {
    // Run under the address sanitizer, any access to a destroyed body fails here.
    objects().addObject(ground(0, 500, 2000, 40));
    RealBody* base = new Crate(100, 300, 60, 40);
    objects().addObject(base);
    for (int i = 0; i < 120; ++i) frame();
    ASSERT_FALSE(base->isFree());

    // A blood drop lands on the base, which is then destroyed.
    Torvane::Blood* drop = new Torvane::Blood(130, 200, Vector(0, 0));
    objects().addObject(drop);
    for (int i = 0; i < 120 && drop->isFree(); ++i) frame();
    ASSERT_EQ(drop->getBoard(), base);
    ASSERT_EQ(base->getPassengers().size(), 1u);
    base->die();
    frame();
    EXPECT_EQ(drop->getBoard(), nullptr);
    for (int i = 0; i < 120; ++i) frame();
    EXPECT_FALSE(drop->isFree()) << "it fell on to the ground";
    EXPECT_EQ(drop->getY(), 501);

    // A body whose passenger is destroyed first, then walks off into the air.
    RealBody* cart = new Crate(300, 300, 60, 40);
    objects().addObject(cart);
    for (int i = 0; i < 120; ++i) frame();
    RealBody* load = new Crate(310, 200, 20, 20);
    objects().addObject(load);
    for (int i = 0; i < 120 && load->isFree(); ++i) frame();
    ASSERT_EQ(load->getBoard(), cart);
    load->die();
    frame();
    EXPECT_TRUE(cart->getPassengers().empty());
    cart->setVelocity(Vector(0, -8));
    cart->setFree(true);
    frame();  // touches nothing: releaseRoad on its (now empty) list
    EXPECT_TRUE(cart->getPassengers().empty());
}
