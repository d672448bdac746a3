#include <gtest/gtest.h>

#include <allegro.h>

#include "hud/InfoBar.h"
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
