// The computer fighter's brain, driven with a seeded rand: when it decides, what
// each draw makes it do, and what keeps it from shooting or walking.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "fighters/AIPlayer.h"
#include "tests/fighters/TestWorld.h"
#include "weapons/Bullet.h"
#include "weapons/Gun.h"

using Torvane::AIPlayer;
using Torvane::Player;

namespace {

constexpr int groundTop = 500;
constexpr int drawShoot = 0, drawWander = 4, drawWait = 5;  // values of rand() % 7

// The first seed whose first draws, each reduced by its modulus, give the wanted
// values, in order: {modulus, wanted}.
unsigned seedGiving(const std::vector<std::pair<int, int>>& draws) {
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        bool all = true;
        for (const auto& draw : draws) all = all && std::rand() % draw.first == draw.second;
        if (all) return seed;
    }
}

// How many draws were taken from rand() since srand(seed): found by taking the
// next one and finding it in the seed's sequence (-1 beyond ten). Reseeds rand.
int drawsSince(unsigned seed) {
    int next = std::rand();
    std::srand(seed);
    for (int used = 0; used <= 10; ++used) {
        if (std::rand() == next) return used;
    }
    return -1;
}

class AIPlayerTest : public testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        Torvane::MapSystem& map = TestWorld::game().getMapSystem();
        oldClientWidth = map.getClientWidth();
        oldClientHeight = map.getClientHeight();
        map.setClientWidth(800).setClientHeight(600);
        map.moveClientTo(500, 400);  // the view covers x 100 to 900, y 100 to 700
        ground = TestWorld::addGround(0, groundTop, 2000, 50);
        main = standing(new Player("main", "kt"), 600, makecol(30, 60, 200));
        TestWorld::game().setMainPlayer(main);
    }
    void TearDown() override {
        TestWorld::reset();
        TestWorld::game().getMapSystem().setClientWidth(oldClientWidth).setClientHeight(oldClientHeight);
    }

    // A fighter handed to the game at x, dropped on the ground below it.
    template <typename P>
    P* standing(P* p, int x, int color, int y = groundTop - 60) {
        p->setX(x).setY(y);
        p->setColor(color);
        p->show();
        TestWorld::game().addPlayer(p);
        TestWorld::settle(p);
        return p;
    }

    // A computer fighter on the ground whose brain stays off until armed and ready.
    AIPlayer* computer(int x, int color = makecol(200, 30, 30)) {
        AIPlayer* ai = new AIPlayer("computer", "kr");
        ai->setControlMode(true);
        standing(ai, x, color);
        return ai;
    }

    // A full rifle in the fighter's hands, its reload over.
    Torvane::Gun* arm(Player* p) {
        Torvane::Gun* rifle = new Torvane::Gun(p);
        p->setWeapon(2, rifle);
        p->setEquipment(2);
        rifle->addBullets(60);
        while (rifle->getBulletCurrent() == 0 || rifle->getTimer() > 0) rifle->move();
        return rifle;
    }

    // Brain on; the frames before its first decision go by, then seed rules the deciding frame.
    void decideWith(AIPlayer* ai, unsigned seed) {
        ai->setControlMode(false);
        TestWorld::step(AIPlayer::firstDecision - 1);
        ASSERT_EQ(ai->getThinkTimer(), 1);
        std::srand(seed);
        TestWorld::step();
    }

    Torvane::Object* ground = nullptr;
    Player* main = nullptr;
    int oldClientWidth = 0;
    int oldClientHeight = 0;
};

}  // namespace

TEST_F(AIPlayerTest, DecidesFirstAfterFiftyFramesThenEveryTwentyAndOnlyThen) {
    AIPlayer* ai = computer(300);
    AIPlayer fresh("fresh", "kr");
    EXPECT_FALSE(fresh.isUnderControl()) << "the brain starts on";
    EXPECT_EQ(fresh.getThinkTimer(), 50);

    unsigned seed = seedGiving({{7, drawWait}});
    ai->setControlMode(false);
    for (int frame = 1; frame < 50; ++frame) {
        std::srand(seed);
        TestWorld::step();
        ASSERT_EQ(drawsSince(seed), 0) << "a draw before the first decision, frame " << frame;
    }
    EXPECT_EQ(ai->getThinkTimer(), 1);
    std::srand(seed);
    TestWorld::step();
    EXPECT_EQ(drawsSince(seed), 1) << "frame 50 decides with one draw";
    EXPECT_EQ(ai->getThinkTimer(), 20);
    for (int decision = 0; decision < 3; ++decision) {
        for (int frame = 1; frame < 20; ++frame) {
            std::srand(seed);
            TestWorld::step();
            ASSERT_EQ(drawsSince(seed), 0) << "a draw between decisions";
        }
        std::srand(seed);
        TestWorld::step();
        EXPECT_EQ(drawsSince(seed), 1) << "decision " << decision + 2 << " came late";
        EXPECT_EQ(ai->getThinkTimer(), 20);
    }
}

TEST_F(AIPlayerTest, UnderScriptControlTheBrainIsOffUntilReleased) {
    AIPlayer* ai = computer(300);
    TestWorld::step(200);
    EXPECT_EQ(ai->getThinkTimer(), 50) << "no thinking under control";
    EXPECT_FALSE(ai->isPlayerActionOn());
    // A scripted walk is not stopped by the brain's edge rule while under control.
    ai->setAction(Torvane::PlayerAction{1, 360, 0});
    TestWorld::step(5);
    EXPECT_TRUE(ai->isPlayerActionOn());
    EXPECT_GT(ai->getX(), 300);
    ai->setControlMode(false);
    TestWorld::step(49);
    EXPECT_EQ(ai->getThinkTimer(), 1);
}

TEST_F(AIPlayerTest, WhileTheMainPlayerIsDeadOrMissingNoDecisionIsTakenButAWalkGoesOn) {
    AIPlayer* ai = computer(300);
    main->setHealth(0);
    ai->setControlMode(false);
    unsigned seed = seedGiving({{7, drawWait}});
    for (int frame = 0; frame < 120; ++frame) {
        std::srand(seed);
        TestWorld::step();
        ASSERT_EQ(drawsSince(seed), 0) << "decided over a dead main player at frame " << frame;
    }
    EXPECT_EQ(ai->getThinkTimer(), 50 - 120) << "the timer keeps falling";

    // A walk already under way continues.
    ai->setAction(Torvane::PlayerAction{1, 1900, 0});
    int before = ai->getX();
    TestWorld::game().setMainPlayer(nullptr);
    std::srand(seed);
    TestWorld::step(30);
    EXPECT_EQ(drawsSince(seed), 0);
    EXPECT_TRUE(ai->isPlayerActionOn());
    EXPECT_GE(ai->getX(), before + 60);

    // A live main player again: the overdue decision comes on the next frame.
    TestWorld::game().setMainPlayer(main);
    main->setHealth(100);
    std::srand(seed);
    TestWorld::step();
    EXPECT_EQ(drawsSince(seed), 1);
    EXPECT_EQ(ai->getThinkTimer(), 20);
}

TEST_F(AIPlayerTest, ShootsAtTheMainPlayerOnlyOnScreenAndWithAClearLine) {
    AIPlayer* ai = computer(300);
    Torvane::Gun* rifle = arm(ai);
    int clip = rifle->getBulletCurrent();
    unsigned seed = seedGiving({{7, drawShoot}});
    std::srand(seed);
    std::rand();
    int dy = std::rand() % 120 - 60;
    int dx = std::rand() % 120 - 60;

    decideWith(ai, seed);
    EXPECT_EQ(ai->getFireX(), main->getCentralX() + dx);
    EXPECT_EQ(ai->getFireY(), main->getCentralY() + dy) << "the vertical miss is drawn first";
    EXPECT_EQ(rifle->getBulletCurrent(), clip - 1) << "a shot left";
    EXPECT_EQ(TestWorld::countObjects<Torvane::Bullet>(), 1);
    EXPECT_FALSE(ai->isFiring()) << "the request lasts one frame";
    int rightward = rifle->getAngle();
    EXPECT_TRUE(rightward < 64 || rightward > 192) << "aimed at the main player to its right: " << rightward;
    TestWorld::step(20);
    EXPECT_EQ(rifle->getBulletCurrent(), clip - 2) << "one shot per decision, not a burst";
}

TEST_F(AIPlayerTest, AWallOrAnotherTeamBlocksTheLineButTheOwnTeamDoesNot) {
    unsigned seed = seedGiving({{7, drawShoot}});
    int red = makecol(200, 30, 30);
    struct Case {
        const char* what;
        int blockerColor;  // 0: a wall
        bool fires;
    };
    for (Case c : {Case{"a wall", 0, false}, Case{"a fighter of another team", makecol(20, 200, 20), false},
                   Case{"a fighter of its own team", red, true}}) {
        SCOPED_TRACE(c.what);
        SetUp();
        AIPlayer* ai = computer(300, red);
        if (c.blockerColor == 0) {
            TestWorld::addGround(450, 300, 20, groundTop - 300);
        } else {
            standing(new Player("between", "kt"), 450, c.blockerColor);
        }
        Torvane::Gun* rifle = arm(ai);
        int clip = rifle->getBulletCurrent();
        decideWith(ai, seed);
        EXPECT_EQ(rifle->getBulletCurrent(), c.fires ? clip - 1 : clip);
        EXPECT_EQ(ai->getFireX() != 0, c.fires) << "fire point " << ai->getFireX() << "," << ai->getFireY();
        TearDown();
    }
}

TEST_F(AIPlayerTest, DoesNotShootFromOffScreen) {
    AIPlayer* ai = computer(1300);  // right of the view, with a clear line to the main player
    Torvane::Gun* rifle = arm(ai);
    int clip = rifle->getBulletCurrent();
    int hx = 0, hy = 0;
    ASSERT_TRUE(TestWorld::game().getBlockSystem().checkLineCollision(ai->getColor(), ai->getX(), ai->getY(),
                                                                       main->getCentralX(), main->getCentralY(), &hx, &hy));
    ASSERT_EQ(TestWorld::game().getBlockSystem().getObjectByPosition(hx, hy), main) << "the line is clear";
    decideWith(ai, seedGiving({{7, drawShoot}}));
    EXPECT_EQ(rifle->getBulletCurrent(), clip);
    EXPECT_EQ(ai->getFireX(), 0);
}

TEST_F(AIPlayerTest, ShotsLandWithinSixtyPixelsOfTheCentre) {
    AIPlayer* ai = computer(300);
    arm(ai);
    ai->setControlMode(false);
    TestWorld::step(49);
    int minimumX = 1000, maximumX = -1000, minimumY = 1000, maximumY = -1000, shots = 0;
    for (unsigned seed = 1; shots < 300; ++seed) {
        std::srand(seed);
        if (std::rand() % 7 > 3) continue;
        int dy = std::rand() % 120 - 60;
        int dx = std::rand() % 120 - 60;
        std::srand(seed);
        TestWorld::step();
        ASSERT_EQ(ai->getThinkTimer(), 20);
        int offsetX = ai->getFireX() - main->getCentralX(), offsetY = ai->getFireY() - main->getCentralY();
        ASSERT_EQ(offsetX, dx) << "seed " << seed;
        ASSERT_EQ(offsetY, dy) << "seed " << seed;
        minimumX = std::min(minimumX, offsetX);
        maximumX = std::max(maximumX, offsetX);
        minimumY = std::min(minimumY, offsetY);
        maximumY = std::max(maximumY, offsetY);
        ++shots;
        // The bullet is taken away before it flies: blood from its hit would lie
        // in the next line of fire and draw from rand.
        for (Torvane::Object* o : TestWorld::game().getObjectSystem().getObjects()) {
            if (dynamic_cast<Torvane::Bullet*>(o)) o->die();
        }
        TestWorld::step(19);
        ASSERT_EQ(main->getHealth(), 100);
    }
    EXPECT_GE(minimumX, -60);
    EXPECT_LE(maximumX, 59);
    EXPECT_GE(minimumY, -60);
    EXPECT_LE(maximumY, 59);
    EXPECT_LT(minimumX, -40) << "the spread is used";
    EXPECT_GT(maximumX, 40);
}

TEST_F(AIPlayerTest, WandersTowardEitherEndOfTheMapAndStopsBeforeTheEdgeOfItsBlock) {
    AIPlayer* ai = computer(850);
    decideWith(ai, seedGiving({{7, drawWander}, {2, 1}}));
    ASSERT_TRUE(ai->isPlayerActionOn());
    EXPECT_EQ(ai->getPlayerAction().type, 1);
    EXPECT_EQ(ai->getPlayerAction().x, 2000) << "an odd draw walks to the far right";
    TestWorld::reset();
    SetUp();
    ai = computer(850);
    decideWith(ai, seedGiving({{7, drawWander}, {2, 0}}));
    ASSERT_TRUE(ai->isPlayerActionOn());
    EXPECT_EQ(ai->getPlayerAction().x, -2000) << "an even draw to the far left";

    // On a platform ten widths wide it walks to within one width of the end and stays on it.
    TestWorld::reset();
    SetUp();
    TestWorld::game().getMapSystem().moveClientTo(1000, 400);  // the platform in view
    Torvane::Object* platform = TestWorld::addGround(1000, 300, 280, 20);
    AIPlayer* climber = new AIPlayer("climber", "kr");
    climber->setControlMode(true);
    standing(climber, 1100, makecol(200, 30, 30), 230);
    ASSERT_EQ(climber->getBoard(), platform);
    decideWith(climber, seedGiving({{7, drawWander}, {2, 1}}));
    ASSERT_TRUE(climber->isPlayerActionOn());
    climber->setControlMode(false);
    main->setHealth(0);  // no later decision turns the walk: only the edge may end it
    int frames = 0;
    while (climber->isPlayerActionOn() && frames < 200) {
        TestWorld::step();
        ++frames;
    }
    EXPECT_FALSE(climber->isPlayerActionOn()) << "never stopped";
    EXPECT_EQ(climber->getVelocity().x, 0.0f);
    EXPECT_FALSE(climber->isAnimating()) << "the walking picture freezes";
    int right = climber->getX() + climber->getWidth();
    EXPECT_GT(right, 1280 - climber->getWidth() - 4);
    EXPECT_LE(right, 1280);
    TestWorld::step(60);
    EXPECT_EQ(climber->getBoard(), platform) << "it walked off";
    EXPECT_FALSE(climber->isFree());
}

TEST_F(AIPlayerTest, OnABlockNarrowerThanThreeWidthsAWalkStopsOnTheFrameItStarts) {
    Torvane::Object* pillar = TestWorld::addGround(1200, 350, 80, 150);  // under three widths of 28
    AIPlayer* ai = new AIPlayer("perched", "kr");
    ai->setControlMode(true);
    standing(ai, 1226, makecol(200, 30, 30), 280);
    ASSERT_EQ(ai->getBoard(), pillar);
    int x = ai->getX();
    decideWith(ai, seedGiving({{7, drawWander}, {2, 1}}));
    EXPECT_FALSE(ai->isPlayerActionOn());
    EXPECT_EQ(ai->getVelocity().x, 0.0f);
    EXPECT_LE(std::abs(ai->getX() - x), 3);
    TestWorld::step(40);
    EXPECT_EQ(ai->getBoard(), pillar);
}

TEST_F(AIPlayerTest, InTheAirADrawnWalkIsNotStarted) {
    AIPlayer* ai = new AIPlayer("falling", "kr");
    ai->setControlMode(true);
    ai->setX(300).setY(0);
    ai->show();
    TestWorld::game().addPlayer(ai);
    unsigned seed = seedGiving({{7, drawWander}});
    ai->setControlMode(false);
    TestWorld::step(49);
    ASSERT_TRUE(ai->isFree()) << "landed before its decision";
    std::srand(seed);
    TestWorld::step();
    EXPECT_EQ(drawsSince(seed), 1) << "no direction is drawn for a walk from the air";
    EXPECT_FALSE(ai->isPlayerActionOn());
    EXPECT_EQ(ai->getThinkTimer(), 20);
}

TEST_F(AIPlayerTest, FireAndJumpRequestsLastOneFrameAndWalkingTurnsTheWeapon) {
    AIPlayer* ai = computer(300);
    Torvane::Gun* rifle = arm(ai);
    ai->jump(true);
    ai->fire(700, 100);
    TestWorld::step();
    EXPECT_FALSE(ai->isJumping());
    EXPECT_FALSE(ai->isFiring());
    EXPECT_LT(ai->getVelocity().y, 0.0f) << "the one jump was made";
    int up = rifle->getAngle();
    EXPECT_TRUE(up > 192 && up < 256) << "the shot turned the weapon up and right: " << up;

    TestWorld::settle(ai);
    TestWorld::step(5);
    ai->moveLeft(true);
    TestWorld::step();
    EXPECT_EQ(rifle->getAngle(), 128) << "a walk to the left looks left";
    ai->moveLeft(false);
    ai->moveRight(true);
    TestWorld::step();
    EXPECT_EQ(rifle->getAngle(), 0);
    ai->moveRight(false);
}

TEST_F(AIPlayerTest, AWalkAwayFromTheMainPlayerEndsOutOfHisSightAndAStruckFighterShootsBack) {
    // Walking away: it goes on while in view, and stops once it has left it.
    AIPlayer* away = computer(800);
    away->setControlMode(false);
    away->setAction(Torvane::PlayerAction{1, 1900, 0});
    int frames = 0;
    while (away->isPlayerActionOn() && frames++ < 300) TestWorld::step();
    EXPECT_FALSE(away->isPlayerActionOn());
    EXPECT_GT(away->getCentralX(), 900) << "it stopped only out of sight";
    EXPECT_LT(away->getCentralX(), 1000) << "but soon after";
    // Coming back toward him from out of sight is never stopped.
    away->setAction(Torvane::PlayerAction{1, 700, 0});
    TestWorld::step(3);
    EXPECT_TRUE(away->isPlayerActionOn());

    // Under script control and holding fire, a shot from the main player turns its brain on;
    // it fires back within the answer delay, at him.
    AIPlayer* struck = computer(300);
    Torvane::Gun* rifle = arm(struck);
    const int clip = rifle->getBulletCurrent();
    struck->hit(struck->getCentralX(), struck->getCentralY(), Vector(1, 0), main);
    EXPECT_FALSE(struck->isUnderControl());
    EXPECT_EQ(struck->getLastHitBy(), "main");
    TestWorld::step(AIPlayer::answerDelay);
    EXPECT_EQ(rifle->getBulletCurrent(), clip - 1) << "shot back";
    EXPECT_NEAR(struck->getFireX(), main->getCentralX(), AIPlayer::aimSpread);

    // A speech is a truce: no decision, and a hit does no harm.
    TestWorld::game().getDialog().setText("Halt!").show();
    const int health = struck->getHealth();
    struck->hit(struck->getCentralX(), struck->getY(), Vector(1, 0), main);
    TestWorld::step(3 * AIPlayer::decisionInterval);
    EXPECT_EQ(struck->getHealth(), health);
    EXPECT_EQ(rifle->getBulletCurrent(), clip - 1) << "nobody fires while a bubble shows";
    TestWorld::game().getDialog().hide();
}
