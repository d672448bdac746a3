#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <cstdlib>
#include <type_traits>

#include "fighters/AimSystem.h"
#include "fighters/FrontSight.h"
#include "fighters/Player.h"
#include "tests/fighters/TestWorld.h"
#include "weapons/Gun.h"
#include "weapons/Pistol.h"

using Torvane::AimSystem;
using Torvane::FrontSight;

namespace {

class AimTest : public testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        TestWorld::addGround(0, 500, 2000, 50);
        TestWorld::game().getMapSystem().setClientWidth(800).setClientHeight(600);
        aim().setX(400);
        aim().setY(300);
    }
    void TearDown() override { TestWorld::reset(); }

    AimSystem& aim() { return TestWorld::game().getAimSystem(); }
    FrontSight& sight() { return aim().getFrontSight(); }

    // A fighter holding a loaded weapon of type W, ready to fire.
    template <typename W>
    W* armed(Torvane::Player* p) {
        W* weapon = new W(p);
        int slot = std::is_same<W, Torvane::Gun>::value ? 2 : 1;
        p->setWeapon(slot, weapon);
        p->setEquipment(slot);
        weapon->addBullets(weapon->getClipSize() * 2);
        while (weapon->getBulletCurrent() == 0 || weapon->getTimer() > 0) weapon->move();
        return weapon;
    }
};

}  // namespace

TEST_F(AimTest, AKickThrowsTheSightAndWidensTheCrosshair) {
    std::srand(77);
    int ry = std::rand() % 61 - 30;  // the vertical kick is drawn first
    int rx = std::rand() % 61 - 30;
    std::srand(77);
    aim().jump(30);
    EXPECT_FLOAT_EQ(sight().getVelocity().x, static_cast<float>(rx));
    EXPECT_FLOAT_EQ(sight().getVelocity().y, static_cast<float>(ry));
    EXPECT_EQ(sight().getDivergence(), 35);

    // At or above the widest gap a kick widens no further.
    sight().setDivergence(45);
    aim().jump(20);
    EXPECT_EQ(sight().getDivergence(), 65);
    aim().jump(20);
    EXPECT_EQ(sight().getDivergence(), 65);
    sight().setDivergence(50);
    aim().jump(20);
    EXPECT_EQ(sight().getDivergence(), 50);

    // A negative kick is no kick at all.
    sight().stop();
    sight().setDivergence(5);
    aim().jump(-4);
    EXPECT_EQ(sight().getVelocity().x, 0.0f);
    EXPECT_EQ(sight().getDivergence(), 5);
}

TEST_F(AimTest, TheSightShakesBackAndNarrowsAgain) {
    // Fast enough: each component is turned around and keeps 0 to 99 % of itself.
    Vector moving(0.05f, 0.2f);
    sight().setVelocity(moving);
    std::srand(5);
    int keepX = std::rand() % 100;
    int keepY = std::rand() % 100;
    std::srand(5);
    sight().move();
    float expectedX = static_cast<float>(-keepX * 0.05f / 100.0);
    float expectedY = static_cast<float>(-keepY * 0.2f / 100.0);
    // Object::move snaps what is below 0.1 to 0 after the position step.
    EXPECT_FLOAT_EQ(sight().getVelocity().x, std::fabs(expectedX) < 0.1f ? 0.0f : expectedX);
    EXPECT_FLOAT_EQ(sight().getVelocity().y, std::fabs(expectedY) < 0.1f ? 0.0f : expectedY);
    EXPECT_FLOAT_EQ(sight().getPosition().y, 300.0f + expectedY);

    // Too slow to shake: no turn, it drifts on.
    Vector drifting(0.05f, 0.1f);
    sight().setVelocity(drifting);
    float y = sight().getPosition().y;
    sight().move();
    EXPECT_FLOAT_EQ(sight().getPosition().y, y + 0.1f);
    EXPECT_FLOAT_EQ(sight().getVelocity().y, 0.1f);

    // The sight never falls: it has no gravity.
    sight().stop();
    float before = sight().getPosition().y;
    for (int i = 0; i < 20; ++i) sight().move();
    EXPECT_FLOAT_EQ(sight().getPosition().y, before);

    // After a kick the swing dies out and the speed stays capped after the first step.
    aim().jump(30);
    sight().move();
    for (int i = 0; i < 200; ++i) {
        sight().move();
        EXPECT_LE(sight().getVelocity().getMagnitude(), 8.0f + 1e-4f);
    }
    EXPECT_LE(std::fabs(sight().getVelocity().x), 0.1f);
    EXPECT_LE(std::fabs(sight().getVelocity().y), 0.1f);
    EXPECT_EQ(sight().getDivergence(), 5);
}

TEST_F(AimTest, TheMainPlayersShotsKickTheSightAndOthersDoNot) {
    Torvane::Player* human = TestWorld::addFighter("kr", 300, 440, makecol(200, 0, 0));
    Torvane::Player* computer = TestWorld::addFighter("kt", 900, 440, makecol(0, 0, 200));
    TestWorld::settle(human);
    TestWorld::settle(computer);
    TestWorld::game().setMainPlayer(human);
    Torvane::Gun* gun = armed<Torvane::Gun>(human);
    Torvane::Pistol* pistol = armed<Torvane::Pistol>(computer);

    // Someone else's pistol: the human's sight stays put.
    ASSERT_TRUE(pistol->fire(1200, 450));
    EXPECT_EQ(sight().getVelocity().x, 0.0f);
    EXPECT_EQ(sight().getVelocity().y, 0.0f);
    EXPECT_EQ(sight().getDivergence(), 5);

    // The human's rifle: thrown by less than 30 a side in the frame of the shot,
    // 35 wide at once, 33 when the frame ends, 5 again on the fifteenth frame.
    ASSERT_TRUE(gun->fire(600, 450));
    EXPECT_EQ(sight().getDivergence(), 35);
    int x = aim().getX(), y = aim().getY();
    aim().move();
    EXPECT_LT(std::abs(aim().getX() - x), 30);
    EXPECT_LT(std::abs(aim().getY() - y), 30);
    EXPECT_EQ(sight().getDivergence(), 33);
    for (int frame = 2; frame <= 15; ++frame) {
        aim().move();
        EXPECT_EQ(sight().getDivergence(), 35 - 2 * frame) << "frame " << frame;
    }
    aim().move();
    EXPECT_EQ(sight().getDivergence(), 5);

    // A rifle not in hand kicks nothing, even the human's own.
    human->setEquipment(0);
    sight().stop();
    while (gun->getTimer() > 0) gun->move();
    ASSERT_TRUE(gun->fire(600, 450));
    EXPECT_EQ(sight().getVelocity().x, 0.0f);
    EXPECT_EQ(sight().getVelocity().y, 0.0f);

    // With the main player dead the sight still shakes and narrows.
    human->die();
    aim().jump(10);
    aim().move();
    EXPECT_EQ(sight().getDivergence(), 13);
}

TEST_F(AimTest, TheCrosshairIsFourArmsAroundAnOpenCentre) {
    BITMAP* target = create_bitmap(200, 200);
    const int black = makecol(0, 0, 0), green = makecol(0, 255, 0);
    for (int d : {5, 33}) {
        clear_to_color(target, black);
        aim().setX(100);
        aim().setY(100);
        sight().setDivergence(d);
        aim().draw(target);
        for (int k = d; k <= d + 6; ++k) {
            EXPECT_EQ(getpixel(target, 100 - k, 100), green) << "left arm, gap " << d;
            EXPECT_EQ(getpixel(target, 100 + k, 100), green) << "right arm, gap " << d;
            EXPECT_EQ(getpixel(target, 100, 100 - k), green) << "upper arm, gap " << d;
            EXPECT_EQ(getpixel(target, 100, 100 + k), green) << "lower arm, gap " << d;
        }
        // Each arm lies on a dark edge one pixel wide, so that it shows on any ground; past it the ground shows.
        const int edge = getpixel(target, 100 - d + 1, 100);
        EXPECT_NE(edge, black);
        EXPECT_LT(getg(edge), 60) << "the edge is dark";
        EXPECT_EQ(getpixel(target, 100 + d + 7, 100), edge);
        EXPECT_EQ(getpixel(target, 100 - d - 3, 101), edge) << "below the left arm";
        EXPECT_EQ(getpixel(target, 100, 100), black);
        EXPECT_EQ(getpixel(target, 100 - d + 2, 100), black);
        EXPECT_EQ(getpixel(target, 100 + d + 8, 100), black);
        EXPECT_EQ(getpixel(target, 100 + 3, 100 + 3), black);
        int lit = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 200; ++x) lit += getpixel(target, x, y) == green;
        }
        EXPECT_EQ(lit, 4 * 7);
    }
    destroy_bitmap(target);
}

TEST_F(AimTest, ThePointerFollowsOnlyFromInsideTheViewAndForALiveMainPlayer) {
    aim().setX(400);
    aim().setY(300);
    EXPECT_FALSE(aim().pointerFollowsSight()) << "no main player";

    Torvane::Player* human = TestWorld::addFighter("kr", 300, 440, makecol(200, 0, 0));
    TestWorld::game().setMainPlayer(human);
    // The view is 800x600: its edges and what lies beyond them leave the pointer alone.
    struct Case {
        int x, y;
        bool follows;
    };
    const Case cases[] = {
        {400, 300, true}, {1, 300, true},    {799, 300, true},  {400, 1, true},   {400, 599, true},
        {0, 300, false},  {800, 300, false}, {400, 0, false},   {400, 600, false}, {-3, 300, false},
        {400, -3, false}, {900, 300, false}, {400, 700, false},
    };
    for (const Case& c : cases) {
        aim().setX(c.x);
        aim().setY(c.y);
        EXPECT_EQ(aim().pointerFollowsSight(), c.follows) << c.x << ", " << c.y;
    }

    aim().setX(400);
    aim().setY(300);
    human->die();
    EXPECT_FALSE(aim().pointerFollowsSight()) << "the main player is dead";
}
