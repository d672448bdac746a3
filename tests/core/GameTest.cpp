#include <gtest/gtest.h>

#include <allegro.h>

#include <atomic>
#include <thread>

#include "core/Game.h"
#include "core/GameLock.h"
#include "fighters/FrontSight.h"
#include "tests/support/HeadlessGame.h"

using Torvane::Game;

TEST(Game, IsTheSingletonAndStartsRunningWithControl) {
    Game& game = headlessGame();
    EXPECT_EQ(Game::getInstance(), &game);
    EXPECT_TRUE(game.isRunning());
    EXPECT_TRUE(game.canControl());
    EXPECT_EQ(game.getMainPlayer(), nullptr);
    EXPECT_EQ(game.getRobot(), nullptr);
    EXPECT_EQ(game.getPlayer(1), nullptr);
    // The reticle is made with the game, before anything else in the world.
    EXPECT_EQ(game.getAimSystem().getFrontSight().getId(), 1);
}

TEST(Game, LockControlWithoutAMainPlayerOnlyClearsTheFlag) {
    Game& game = headlessGame();
    game.lockControl();
    EXPECT_FALSE(game.canControl());
    game.lockControl();
    EXPECT_FALSE(game.canControl());
    game.unlockControl();
    EXPECT_TRUE(game.canControl());
}

TEST(Game, DelayCreepsTowardTheTargetRateAndNeverBelowZero) {
    EXPECT_EQ(Game::adaptDelay(10, 65), 9);
    EXPECT_EQ(Game::adaptDelay(10, 66), 11);
    EXPECT_EQ(Game::adaptDelay(10, 200), 11);
    EXPECT_EQ(Game::adaptDelay(1, 0), 0);
    EXPECT_EQ(Game::adaptDelay(0, 10), 0);
    // A slow machine stays at zero; a fast one keeps climbing one step per second.
    int delay = 3;
    for (int second = 0; second < 10; ++second) delay = Game::adaptDelay(delay, 30);
    EXPECT_EQ(delay, 0);
    for (int second = 0; second < 10; ++second) delay = Game::adaptDelay(delay, 70);
    EXPECT_EQ(delay, 10);
}

TEST(Game, WithoutADisplayStartFailsCleanlyAfterTryingBothModes) {
    Game& game = headlessGame();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(game.start());
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Failed to set video mode 800*600*32\n"), std::string::npos);
    EXPECT_NE(said.find("Failed to set video mode 640*480*32\n"), std::string::npos);
    EXPECT_EQ(game.getScreen().getWidth(), 0);
    EXPECT_EQ(game.getRobot(), nullptr) << "nothing else was started";
    // The failed attempt leaves a usable colour depth behind for memory bitmaps.
    BITMAP* bitmap = create_bitmap(4, 4);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap_color_depth(bitmap), 32);
    destroy_bitmap(bitmap);
}

TEST(Game, EndGameStopsTheGameForBothThreads) {
    Game& game = headlessGame();
    std::atomic<bool> seenEnd{false};
    std::thread watcher([&] {
        while (game.isRunning()) std::this_thread::yield();
        seenEnd = true;
    });
    game.endGame();
    watcher.join();
    EXPECT_TRUE(seenEnd);
    EXPECT_FALSE(game.isRunning());
}

namespace {

struct Counter {
    int value = 0;
};

void* addUnderLock(void* argument) {
    Counter* counter = static_cast<Counter*>(argument);
    for (int i = 0; i < 20000; ++i) {
        Torvane::lockGame();
        counter->value += 1;
        Torvane::unlockGame();
    }
    return nullptr;
}

}  // namespace

TEST(GameLock, ThreadsRunAndTheLockExcludesThem) {
    headlessGame();  // the lock is created with the game
    Counter counter;
    void* first = Torvane::createThread(&counter, addUnderLock);
    void* second = Torvane::createThread(&counter, addUnderLock);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    Torvane::joinThread(first);
    Torvane::joinThread(second);
    EXPECT_EQ(counter.value, 40000);
    Torvane::joinThread(nullptr);  // a thread that never started is no error
}

#include "fighters/Player.h"

TEST(Game, FindsFightersByIdAndLockControlStopsTheMainPlayer) {
    Game& game = headlessGame();
    auto* first = new Torvane::Player("one", "kr");
    auto* second = new Torvane::Player("two", "kt");
    game.addPlayer(first);
    game.addPlayer(second);
    EXPECT_EQ(game.getPlayer(first->getPlayerId()), first);
    EXPECT_EQ(game.getPlayer(second->getPlayerId()), second);
    EXPECT_EQ(game.getPlayer(-12345), nullptr);
    ASSERT_EQ(game.getPlayers().size(), 2u);
    EXPECT_EQ(game.getPlayers()[0], first);

    game.setMainPlayer(first);
    first->moveRight(true);
    EXPECT_TRUE(first->isMovingRight());
    game.lockControl();
    EXPECT_FALSE(game.canControl());
    EXPECT_FALSE(first->isMovingRight()) << "locking the controls stops the human fighter";
    game.unlockControl();
    game.setMainPlayer(nullptr);
    game.getPlayers().clear();
    game.getObjectSystem().cleanupObjects();
}

// Run in a child process: the test deletes the one game of the program.
TEST(GameDeathTest, DeletingTheGameAfterPicturesWereLoadedFreesThemBeforeAllegroCloses) {
    EXPECT_EXIT(
        {
            Game* game = &headlessGame();
            game->loadMap("map/valley.map");
            game->getInfoBar().initialize();
            if (game->getObjectSystem().getObjectCount() == 0) std::exit(3);
            delete game;
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}
