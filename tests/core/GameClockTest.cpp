#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/GameClock.h"
#include "core/Lockstep.h"
#include "tests/fighters/TestWorld.h"
#include "weapons/Blood.h"
#include "weapons/Explosion.h"
#include "weapons/GrenadeThrown.h"

using namespace Torvane;

TEST(GameClock, FramesAndMillisecondsOnTheFrameClock) {
    EXPECT_EQ(GameClock::framesFor(0), 0);
    EXPECT_EQ(GameClock::framesFor(-5), 0);
    EXPECT_EQ(GameClock::framesFor(1), 1);
    EXPECT_EQ(GameClock::framesFor(100), 7);
    EXPECT_EQ(GameClock::framesFor(1000), 66);
    EXPECT_EQ(GameClock::framesFor(2000), 132);
    GameClock clock;
    EXPECT_EQ(clock.milliseconds() % 1000, 0) << "the wall clock counts whole seconds";
    clock.useFrameTime();
    for (int i = 0; i < 132; ++i) clock.advanceFrame();
    EXPECT_EQ(clock.milliseconds(), 2000);
}

// On the frame clock a grenade goes off exactly 132 frames after the throw and a
// blood drop dries after 60 seconds, 3960 frames.
TEST(GameClock, GrenadeFuseAndBloodFollowTheFrames) {
    TestWorld::reset();
    GameClock& clock = TestWorld::game().getClock();
    clock.useFrameTime();
    Player* thrower = TestWorld::addFighter("kt", 100, 100, makecol(0, 0, 255));
    GrenadeThrown* grenade = new GrenadeThrown(thrower, 500, 100, 600, 100, 0);
    TestWorld::game().getObjectSystem().addObject(grenade);
    Blood* drop = new Blood(300, 100, Vector(1, 0));
    TestWorld::game().getObjectSystem().addObject(drop);
    int frames = 0;
    while (TestWorld::countObjects<Explosion>() == 0 && frames < 500) {
        TestWorld::step();
        clock.advanceFrame();
        ++frames;
    }
    EXPECT_EQ(frames, 133) << "the frame after 132 frames have passed";
    for (int i = frames; i < 3960; ++i) clock.advanceFrame();
    EXPECT_FALSE(drop->isDead());
    clock.advanceFrame();
    drop->move();
    EXPECT_TRUE(drop->isDead());
    clock.useFrameTime(false);
    TestWorld::reset();  // the thrower must not stay among the game's fighters for later tests
}

TEST(Lockstep, FramesRunOnlyWhileTheScriptWaits) {
    Lockstep lockstep;
    lockstep.enable();
    std::atomic<int> stage{0};
    std::atomic<long long> frameSeen{-1};
    std::thread script([&] {
        stage = 1;
        lockstep.waitFrames(3);
        frameSeen = lockstep.getFrame();
        stage = 2;
        lockstep.scriptEnded();
    });
    for (int frame = 0; frame < 5; ++frame) {
        ASSERT_TRUE(lockstep.beforeFrame());
        // The script is waiting or done: it never runs beside a frame.
        EXPECT_NE(stage.load(), 0);
        if (frame < 3) {
            EXPECT_EQ(stage.load(), 1);
        }
        lockstep.afterFrame();
    }
    script.join();
    EXPECT_EQ(frameSeen.load(), 3);
    lockstep.release();
    EXPECT_FALSE(lockstep.waitFrames(1)) << "a released lockstep never waits again";
}
