// The team battle brain in small worlds: whom it shoots at, where it walks, what it jumps and what it
// refuses, and a battle left to itself.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fighters/TeamAIPlayer.h"
#include "tests/fighters/TestWorld.h"
#include "weapons/Gun.h"
#include "weapons/Pistol.h"

using Torvane::Player;
using Torvane::TeamAIPlayer;

namespace {

constexpr int groundTop = 500;

class TeamAIPlayerTest : public testing::Test {
protected:
    void SetUp() override {
        std::srand(7);
        TestWorld::reset();
        // A bubble an earlier test left up would hold every brain: it is let run out.
        while (TestWorld::game().getDialog().isVisible()) TestWorld::game().getDialog().move();
        red = makecol(200, 30, 30);
        blue = makecol(30, 60, 200);
    }
    void TearDown() override { TestWorld::reset(); }

    // A fighter handed to the game at x, dropped onto what lies below.
    template <typename P>
    P* standing(P* p, int x, int color, int y = groundTop - 60) {
        p->setX(x).setY(y);
        p->setColor(color);
        p->show();
        TestWorld::game().addPlayer(p);
        TestWorld::settle(p);
        return p;
    }

    TeamAIPlayer* computer(int x, int color, int y = groundTop - 60) {
        return standing(new TeamAIPlayer("computer", color == red ? "kr" : "kt"), x, color, y);
    }

    // A rifle with its clip full, and a pistol.
    static Torvane::Gun* arm(Player* p) {
        Torvane::Gun* rifle = new Torvane::Gun(p);
        p->setWeapon(2, rifle);
        p->setEquipment(2);
        rifle->addBullets(300);
        while (rifle->getBulletCurrent() == 0 || rifle->getTimer() > 0) rifle->move();
        Torvane::Pistol* pistol = new Torvane::Pistol(p);
        p->setWeapon(1, pistol);
        pistol->addBullets(60);
        return rifle;
    }

    // Steps until the fighter's next decision has been taken.
    static void untilDecided(TeamAIPlayer* ai) {
        int frames = 0;
        do {
            TestWorld::step();
        } while (ai->getThinkTimer() != TeamAIPlayer::thinkInterval && ++frames < 100);
    }

    int red = 0;
    int blue = 0;
};

}  // namespace

TEST_F(TeamAIPlayerTest, ShootsTheNearestEnemyItCanSeeNeverATeamMateAndNeverThroughGround) {
    TestWorld::addGround(0, groundTop, 2000, 50);
    TeamAIPlayer* ai = computer(1000, red);
    ai->setControlMode(true);  // no shot while the others are placed
    Torvane::Gun* rifle = arm(ai);
    Player* mate = standing(new Player("mate", "kr"), 1060, red);
    Player* nearEnemy = standing(new Player("near", "kt"), 700, blue);
    Player* farEnemy = standing(new Player("far", "kt"), 1500, blue);

    ai->setControlMode(false);
    untilDecided(ai);
    EXPECT_EQ(ai->getTarget(), nearEnemy) << "the nearer of the two enemies, not the still nearer team-mate";
    EXPECT_EQ(rifle->getBulletCurrent(), 29) << "the first shot leaves with the decision";
    EXPECT_LT(ai->getFireX(), ai->getCentralX()) << "to its left, at the near enemy";
    TestWorld::step(30);
    EXPECT_EQ(mate->getHealth(), 100);

    // Behind a wall the near enemy is out of the line: the far one is taken instead.
    TestWorld::addGround(800, 200, 40, groundTop - 200);
    untilDecided(ai);
    EXPECT_EQ(ai->getTarget(), farEnemy);
    // Shots already flying when the wall rose have landed by now.
    const int nearHealth = nearEnemy->getHealth();

    // With the far one dead only the hidden one is left: no target, and not a shot into the wall.
    farEnemy->setHealth(0);
    untilDecided(ai);
    EXPECT_EQ(ai->getTarget(), nullptr);
    const int clip = rifle->getBulletCurrent(), reserve = rifle->getBulletReserve();
    TestWorld::step(200);
    EXPECT_EQ(rifle->getBulletCurrent() + rifle->getBulletReserve(), clip + reserve);
    EXPECT_EQ(nearEnemy->getHealth(), nearHealth);

    // A speech is a truce: an enemy in the open is not shot at while it shows.
    TestWorld::place(nearEnemy, 1200, nearEnemy->getY());
    Torvane::Dialog& bubble = TestWorld::game().getDialog();
    bubble.setText("Wait").show();
    for (int frame = 0; frame < 100; ++frame) {
        TestWorld::step();
        bubble.move();
    }
    EXPECT_EQ(rifle->getBulletCurrent() + rifle->getBulletReserve(), clip + reserve);
    bubble.hide();
    ASSERT_FALSE(bubble.isVisible());
    TestWorld::step(60);
    EXPECT_LT(rifle->getBulletCurrent() + rifle->getBulletReserve(), clip + reserve);
}

TEST_F(TeamAIPlayerTest, WalksToItsGoalOverALowWallAndAcrossAPitItCouldNotLeave) {
    // Ground with a low wall at 600, then a pit 100 wide and 400 deep, and ground again.
    TestWorld::addGround(0, groundTop, 1000, 50);
    TestWorld::addGround(600, groundTop - 60, 30, 60);
    TestWorld::addGround(1000, groundTop + 400, 100, 50);
    TestWorld::addGround(1100, groundTop, 900, 50);
    TeamAIPlayer* ai = computer(200, red);
    EXPECT_EQ(ai->getGoalX(), 1000) << "the middle of the map until set";
    ai->setGoalX(1600);
    int highest = ai->getY();
    for (int frame = 0; frame < 1500 && std::abs(ai->getCentralX() - 1600) > 100; ++frame) {
        TestWorld::step();
        highest = std::min(highest, ai->getY());
    }
    EXPECT_NEAR(ai->getCentralX(), 1600, 100) << "stopped at " << ai->getCentralX() << "," << ai->getY();
    EXPECT_LT(highest, groundTop - 60 - ai->getHeight()) << "it went over the wall";
    TestWorld::settle(ai);
    EXPECT_EQ(ai->getY() + ai->getHeight(), groundTop + 1) << "on the far ground, not in the pit";
}

TEST_F(TeamAIPlayerTest, StopsAtAGapItCannotClearAndTurnsBack) {
    // Nothing below the gap: a fall there is a fall out of the world.
    TestWorld::addGround(0, groundTop, 800, 50);
    TestWorld::addGround(1400, groundTop, 600, 50);
    TeamAIPlayer* ai = computer(400, red);
    ai->setGoalX(1700);
    int farthest = 0, backSince = 0;
    for (int frame = 0; frame < 800; ++frame) {
        TestWorld::step();
        farthest = std::max(farthest, ai->getX() + ai->getWidth());
        if (farthest > 760 && ai->getX() + ai->getWidth() < farthest - 100) backSince = frame;
    }
    EXPECT_GT(farthest, 760) << "it came to the edge";
    EXPECT_LE(farthest, 800 + ai->getWidth()) << "and did not walk off";
    EXPECT_GT(backSince, 0) << "it did not stand there for good";
    EXPECT_TRUE(ai->isAlive());
    EXPECT_LT(ai->getY(), groundTop);
}

TEST_F(TeamAIPlayerTest, TwoTeamsLeftAloneMeetAndFight) {
    TestWorld::addGround(0, groundTop, 2000, 50);
    TestWorld::addGround(900, groundTop - 50, 40, 50);   // cover to jump over or shoot past
    TestWorld::addGround(1300, groundTop - 40, 30, 40);
    std::vector<TeamAIPlayer*> fighters;
    std::vector<int> starts;
    for (int i = 0; i < 3; ++i) {
        fighters.push_back(computer(100 + 90 * i, red));
        fighters.push_back(computer(1700 + 90 * i, blue));
    }
    for (TeamAIPlayer* f : fighters) {
        arm(f);
        starts.push_back(f->getX());
    }
    std::vector<int> farthest(fighters.size(), 0);
    for (int frame = 0; frame < 3000; ++frame) {
        TestWorld::step();
        for (size_t i = 0; i < fighters.size(); ++i) {
            farthest[i] = std::max(farthest[i], std::abs(fighters[i]->getX() - starts[i]));
        }
    }
    int fallen = 0, kills = 0;
    for (size_t i = 0; i < fighters.size(); ++i) {
        fallen += !fighters[i]->isAlive();
        kills += fighters[i]->getKills();
        EXPECT_GT(farthest[i], 100) << "fighter " << i << " never left its place";
    }
    EXPECT_GT(fallen, 0) << "nobody fell";
    EXPECT_GT(kills, 0) << "the fall is someone's kill";
}
