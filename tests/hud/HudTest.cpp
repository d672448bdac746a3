#include <gtest/gtest.h>

#include <allegro.h>

#include "hud/InfoBar.h"
#include "hud/ResultsScreen.h"
#include "hud/Robot.h"

using Torvane::InfoBar;

namespace {

// Draws the panel with the given health into a fresh frame and returns the frame.
BITMAP* frameWithHealth(InfoBar& bar, int health) {
    BITMAP* frame = create_bitmap(800, 600);
    clear_to_color(frame, makecol(0, 0, 0));
    bar.setBlood(health);
    bar.draw(frame);
    return frame;
}

bool sameColumn(BITMAP* a, BITMAP* b, int x, int y) { return getpixel(a, x, y) == getpixel(b, x, y); }

}  // namespace

TEST(InfoBar, HealthBarLengthIsProportionalAndNeverLongerThanItsPicture) {
    InfoBar bar;
    ASSERT_TRUE(bar.loadPictures());
    bar.show();
    BITMAP* empty = frameWithHealth(bar, 0);
    BITMAP* half = frameWithHealth(bar, 50);
    BITMAP* full = frameWithHealth(bar, 100);
    BITMAP* over = frameWithHealth(bar, 250);
    BITMAP* below = frameWithHealth(bar, -20);
    const int rowInBar = 52 + 5;
    // The health picture is 200 pixels wide: half health covers columns 128..227.
    EXPECT_FALSE(sameColumn(empty, half, 128, rowInBar));
    EXPECT_FALSE(sameColumn(empty, half, 227, rowInBar));
    EXPECT_TRUE(sameColumn(empty, half, 228, rowInBar));
    EXPECT_FALSE(sameColumn(empty, full, 327, rowInBar));
    EXPECT_TRUE(sameColumn(empty, full, 328, rowInBar));
    for (int x = 120; x < 400; ++x) EXPECT_TRUE(sameColumn(full, over, x, rowInBar)) << x;
    for (int x = 120; x < 400; ++x) EXPECT_TRUE(sameColumn(empty, below, x, rowInBar)) << x;
    for (BITMAP* b : {empty, half, full, over, below}) destroy_bitmap(b);
}

TEST(InfoBar, HiddenPanelDrawsNothing) {
    InfoBar bar;
    ASSERT_TRUE(bar.loadPictures());
    BITMAP* frame = create_bitmap(100, 100);
    clear_to_color(frame, makecol(1, 2, 3));
    bar.draw(frame);
    EXPECT_EQ(getpixel(frame, 10, 10), makecol(1, 2, 3));
    bar.show();
    bar.draw(frame);
    EXPECT_NE(getpixel(frame, 10, 10), makecol(1, 2, 3));
    destroy_bitmap(frame);
}

TEST(Robot, TakesItsSizeFromItsPictureAndStartsHidden) {
    Torvane::Robot robot;
    EXPECT_FALSE(robot.isVisible());
    ASSERT_NE(robot.getImage(), nullptr);
    EXPECT_GT(robot.getWidth(), 0);
    EXPECT_EQ(robot.getWidth(), robot.getImage()->w);
    EXPECT_EQ(robot.getHeight(), robot.getImage()->h);
}

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/Pistol.h"
#include "tests/support/HeadlessGame.h"

TEST(InfoBar, ShowsTheMainPlayersWeaponMagazineAndReserve) {
    Torvane::Game& game = headlessGame();
    Torvane::Player* player = new Torvane::Player("hero", "kr");
    Torvane::Pistol* pistol = new Torvane::Pistol(player);
    ASSERT_TRUE(player->setWeapon(1, pistol));
    pistol->addBullets(28);
    pistol->reload();
    for (int frame = 0; frame < 200 && pistol->isReloading(); ++frame) pistol->move();
    ASSERT_TRUE(player->setEquipment(1));
    int magazine = pistol->getBulletCurrent();
    ASSERT_GT(magazine, 0);
    player->setHealth(50);
    game.setMainPlayer(player);

    InfoBar bar;
    ASSERT_TRUE(bar.loadPictures());
    bar.show();
    BITMAP* frame = create_bitmap(800, 600);
    clear_to_color(frame, makecol(0, 0, 0));
    bar.draw(frame);
    BITMAP* reference = create_bitmap(800, 600);
    clear_to_color(reference, makecol(0, 0, 0));
    game.setMainPlayer(nullptr);
    bar.setBullet(0);
    bar.draw(reference);  // same stored values, but no weapon: no number, no bullet row

    auto differsAround = [&](int x, int y, int w, int h) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                if (getpixel(frame, i, j) != getpixel(reference, i, j)) return true;
        return false;
    };
    EXPECT_TRUE(differsAround(392 + 8 * (magazine - 1), 50, 6, 16)) << "last bullet icon";
    EXPECT_FALSE(differsAround(392 + 8 * magazine, 50, 8, 16)) << "no icon past the magazine";
    EXPECT_TRUE(differsAround(392, 30, 24, 8)) << "reserve count";
    destroy_bitmap(frame);
    destroy_bitmap(reference);
    delete player;
}

#include <unistd.h>

#include <cstdio>

TEST(InfoBar, AMissingPictureIsNamedAndTheDataDirectoryMentioned) {
    InfoBar bar;
    // Started outside the data directory: every picture is missing.
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_FALSE(bar.loadPictures());
    const std::string problem = bar.getLoadProblem();
    ASSERT_EQ(chdir(here), 0);
    EXPECT_NE(problem.find("./image/gui/back.bmp cannot be loaded (No such file or directory).\n"), std::string::npos)
        << problem;
    EXPECT_NE(problem.find("./image/gui/bullet.bmp cannot be loaded"), std::string::npos) << problem;
    EXPECT_TRUE(bar.loadPictures());
    EXPECT_EQ(bar.getLoadProblem(), "");
}

TEST(InfoBarDeathTest, AMissingPictureEndsTheGameWithTheFileAndTheDirectoryNamed) {
    InfoBar bar;
    // Allegro's message goes to standard output without a display; the death test reads standard error.
    EXPECT_EXIT(
        {
            dup2(STDERR_FILENO, STDOUT_FILENO);
            if (chdir("/") != 0) std::exit(3);
            bar.initialize();
            std::exit(0);
        },
        testing::ExitedWithCode(1),
        "^Missing gui picture files\\.\n\\./image/gui/back\\.bmp cannot be loaded \\(No such file or directory\\)\\.\n"
        ".*start it in its data/ directory\\.\n");
}

TEST(ResultsScreen, OnlyAFreshPressChoosesAndThePictureIsDrawnOverTheWholeView) {
    using Choice = Torvane::ResultsScreen::Choice;
    Torvane::ResultsScreen results;
    Torvane::LevelStats stats;
    results.readInput(false, true);
    EXPECT_EQ(results.getChoice(), Choice::None) << "hidden, it takes nothing";
    results.show(stats);
    results.readInput(true, false);
    EXPECT_TRUE(results.isVisible()) << "Enter held from before the screen came up does not count";
    results.readInput(false, false);
    results.readInput(false, true);
    EXPECT_EQ(results.getChoice(), Choice::PlayAgain) << "no next level: a click plays again";
    EXPECT_FALSE(results.isVisible());

    results.show(stats, true);
    EXPECT_EQ(results.getChoice(), Choice::None) << "a new showing starts without a choice";
    results.readInput(false, false);
    results.readInput(true, false);
    EXPECT_EQ(results.getChoice(), Choice::NextLevel);
    results.show(stats, true);
    results.readInput(false, false, false);
    results.readInput(false, false, true);
    EXPECT_EQ(results.getChoice(), Choice::PlayAgain) << "R plays again even with a next level";
    results.show(stats, true);
    BITMAP* frame = create_bitmap(800, 600);
    clear_to_color(frame, makecol(255, 0, 255));
    results.draw(frame);
    for (int y : {0, 299, 599}) EXPECT_NE(getpixel(frame, 400, y), makecol(255, 0, 255)) << y;
    destroy_bitmap(frame);
}
