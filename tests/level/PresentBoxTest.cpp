#include <gtest/gtest.h>

#include "fighters/AIPlayer.h"
#include "level/PresentBox.h"
#include "tests/fighters/TestWorld.h"

using namespace Torvane;

namespace {

PresentBox* addBox(int x, int y, int width, int height) {
    PresentBox* box = new PresentBox();
    box->setX(x).setY(y).setWidth(width).setHeight(height);
    TestWorld::game().getObjectSystem().addObject(box);
    return box;
}

bool inWorld(int id) { return TestWorld::game().getObjectSystem().getObjectById(id) != nullptr; }

// The fighter walks for the given frames, or until it is stopped.
void walk(Player* walker, bool right, int frames) {
    right ? walker->moveRight(true) : walker->moveLeft(true);
    for (int i = 0; i < frames && (walker->isMovingRight() || walker->isMovingLeft()); ++i) TestWorld::step();
    walker->moveRight(false);
    walker->moveLeft(false);
}

}  // namespace

TEST(PresentBox, FallsToTheGroundAndLiesThere) {
    TestWorld::reset();
    TestWorld::addGround(0, 500, 1000, 100);
    PresentBox* box = addBox(200, 260, 30, 40);
    EXPECT_TRUE(box->isVisible());
    TestWorld::step(300);
    // Resting overlaps the ground by a row, as every body does.
    EXPECT_NEAR(box->getY() + box->getHeight(), 500, 1);
    EXPECT_EQ(box->getX(), 200);
}

TEST(PresentBox, OnlyTheMainPlayerPicksItUp) {
    TestWorld::reset();
    TestWorld::addGround(0, 500, 2000, 100);
    PresentBox* box = addBox(400, 400, 40, 100);
    const int boxId = box->getId();
    TestWorld::step(200);

    // A computer fighter walking through it, and a human before any main player exists, raise nothing.
    AIPlayer* computer = new AIPlayer("raider", "kr");
    computer->setControlMode(true);
    computer->setX(700).setY(300);
    TestWorld::game().addPlayer(computer);
    TestWorld::settle(computer);
    walk(computer, false, 150);
    Player* human = TestWorld::addFighter("kt", 100, 300, makecol(0, 0, 255));
    TestWorld::settle(human);
    walk(human, true, 150);
    EXPECT_EQ(TestWorld::countEvents("OnPresent"), 0);
    EXPECT_TRUE(inWorld(boxId));
    EXPECT_LT(human->getX(), box->getX()) << "the box stands in the way like any body";
    EXPECT_GT(computer->getX(), box->getX());

    // The main player touching it: one event with the box's id and corner, the player halts, the box goes.
    TestWorld::game().setMainPlayer(human);
    const int boxX = box->getX(), boxY = box->getY();
    human->moveRight(true);
    for (int i = 0; i < 100 && inWorld(boxId); ++i) TestWorld::step();
    EXPECT_FALSE(inWorld(boxId));
    EXPECT_FALSE(human->isMovingRight());
    ScriptEvent event;
    ASSERT_TRUE(TestWorld::game().getScriptSystem().takeEvent(event));
    EXPECT_EQ(event.name, "OnPresent");
    EXPECT_EQ(event.param1, boxId);
    EXPECT_EQ(event.param2, boxX);
    EXPECT_EQ(event.param3, boxY);
    EXPECT_FALSE(TestWorld::game().getScriptSystem().takeEvent(event)) << "one touch, one event";
}
