#include <gtest/gtest.h>

#include <vector>

#include "core/GameClock.h"
#include "core/MatchState.h"

using Torvane::MatchState;

TEST(MatchState, CountsDownInGameFramesAndBringsTheFallenBackInTurn) {
    MatchState match;
    constexpr int second = Torvane::GameClock::framesPerSecond;
    EXPECT_EQ(match.secondsLeft(0), 0) << "no clock";
    match.startCountdown(100, 60);
    EXPECT_EQ(match.secondsLeft(100), 60);
    EXPECT_EQ(match.secondsLeft(101), 60) << "rounded up";
    EXPECT_EQ(match.secondsLeft(100 + 59 * second), 1);
    EXPECT_EQ(match.secondsLeft(100 + 60 * second), 0);
    EXPECT_EQ(match.secondsLeft(100 + 61 * second), 0);
    EXPECT_FALSE(match.takeTimeUp(100 + 60 * second - 1));
    EXPECT_TRUE(match.takeTimeUp(100 + 60 * second));
    EXPECT_FALSE(match.takeTimeUp(100 + 61 * second)) << "once";

    EXPECT_FALSE(match.setScore(3, 5));
    EXPECT_EQ(match.getScore(3), 0);
    EXPECT_TRUE(match.setScore(MatchState::kt, 7));
    EXPECT_EQ(match.getScore(MatchState::kt), 7);
    EXPECT_EQ(MatchState::teamOf(MatchState::colorOf(MatchState::kr)), MatchState::kr);
    EXPECT_EQ(MatchState::teamOf(0x3CAA3C), 0);

    std::vector<MatchState::Respawn> due;
    EXPECT_TRUE(match.schedule({1, 10, 20, 300}));
    EXPECT_TRUE(match.schedule({2, 10, 20, 200}));
    EXPECT_TRUE(match.schedule({1, 11, 21, 250})) << "a fighter waiting again is moved, not listed twice";
    EXPECT_EQ(match.waitingCount(), 2);
    match.takeDue(199, due);
    EXPECT_TRUE(due.empty());
    match.takeDue(260, due);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0].id, 2) << "in the order they fall due";
    EXPECT_EQ(due[1].x, 11);
    EXPECT_EQ(match.waitingCount(), 0);

    for (int id = 0; id < MatchState::maxWaiting; ++id) EXPECT_TRUE(match.schedule({id, 0, 0, 0}));
    EXPECT_FALSE(match.schedule({1000, 0, 0, 0})) << "the list is bounded";
    match.reset();
    EXPECT_EQ(match.waitingCount(), 0);
    EXPECT_EQ(match.getScore(MatchState::kt), 0);
    EXPECT_FALSE(match.hasCountdown());
}
