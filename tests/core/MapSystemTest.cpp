#include <gtest/gtest.h>

#include <allegro.h>

#include "core/MapSystem.h"

using Torvane::MapSystem;

namespace {

MapSystem camera(int mapWidth, int mapHeight, int clientWidth, int clientHeight) {
    MapSystem map;
    map.setClientWidth(clientWidth).setClientHeight(clientHeight);
    map.initialize(mapWidth, mapHeight);
    return map;
}

}  // namespace

TEST(MapSystem, StartsAsAnEmptyBlack640By480Map) {
    MapSystem map;
    EXPECT_EQ(map.getWidth(), 640);
    EXPECT_EQ(map.getHeight(), 480);
    EXPECT_EQ(map.getClientX(), 0);
    EXPECT_EQ(map.getClientY(), 0);
    EXPECT_EQ(map.getBackgroundColor(), makecol(0, 0, 0));
    map.initialize(3000, 1200);
    EXPECT_EQ(map.getWidth(), 3000);
    EXPECT_EQ(map.getHeight(), 1200);
    EXPECT_EQ(&map.setClientWidth(800), &map) << "chains";
    map.setClientHeight(600);
    EXPECT_EQ(map.getClientWidth(), 800);
    EXPECT_EQ(map.getClientHeight(), 600);
}

TEST(MapSystem, DrawClearsTheFrameToTheBackgroundColour) {
    set_color_depth(32);  // the depth the game runs at, whatever a test before this one left
    MapSystem map;
    BITMAP* frame = create_bitmap(40, 30);
    clear_to_color(frame, makecol(1, 2, 3));
    map.draw(frame);
    EXPECT_EQ(getpixel(frame, 39, 29), makecol(0, 0, 0)) << "black before any map";
    map.setBackgroundColor(120, 170, 215);
    map.draw(frame);
    for (int x : {0, 20, 39}) EXPECT_EQ(getpixel(frame, x, 15), makecol(120, 170, 215));
    EXPECT_EQ(getpixel(frame, 0, 0), makecol(120, 170, 215));
    destroy_bitmap(frame);
}

TEST(MapSystem, TheCameraCentresOnThePointAndStopsAtEveryEdge) {
    MapSystem map = camera(3000, 1200, 800, 600);
    map.moveClientTo(1000, 700);
    EXPECT_EQ(map.getClientX(), 600);
    EXPECT_EQ(map.getClientY(), 400);
    map.moveClientTo(2900, 700);
    EXPECT_EQ(map.getClientX(), 2200) << "stops at the right edge";
    map.moveClientTo(3500, 1190);
    EXPECT_EQ(map.getClientX(), 2200);
    EXPECT_EQ(map.getClientY(), 600) << "stops at the bottom edge";
    map.moveClientTo(100, 50);
    EXPECT_EQ(map.getClientX(), 0) << "stops at the left edge";
    EXPECT_EQ(map.getClientY(), 0) << "stops at the top edge";
    map.moveClientTo(-500, -500);
    EXPECT_EQ(map.getClientX(), 0);
    EXPECT_EQ(map.getClientY(), 0);
    map.moveClientTo(1500, 600);
    EXPECT_EQ(map.getClientX(), 1100);
    EXPECT_EQ(map.getClientY(), 300);

    // As wide as the camera: it never moves sideways.
    MapSystem exact = camera(800, 1200, 800, 600);
    for (int x : {0, 300, 400, 799, 5000}) {
        exact.moveClientTo(x, 600);
        EXPECT_EQ(exact.getClientX(), 0) << x;
    }

    // Smaller than the camera: the right and bottom edges win, the position goes negative.
    MapSystem small = camera(600, 400, 800, 600);
    small.moveClientTo(300, 200);
    EXPECT_EQ(small.getClientX(), -200);
    EXPECT_EQ(small.getClientY(), -200);
    small.moveClientTo(-1000, -1000);
    EXPECT_EQ(small.getClientX(), -200);
}

TEST(MapSystem, AnOddCameraSizeLeavesAOnePixelBandWhereItStaysStill) {
    MapSystem map = camera(3000, 1200, 801, 601);
    map.moveClientTo(1001, 700);
    EXPECT_EQ(map.getClientX(), 600);
    map.moveClientTo(1000, 700);
    EXPECT_EQ(map.getClientX(), 600) << "dx = 400 = margin: inside the band";
    map.moveClientTo(999, 700);
    EXPECT_EQ(map.getClientX(), 599) << "dx = 399 < 400 moves";
    map.moveClientTo(1000, 700);
    EXPECT_EQ(map.getClientX(), 599) << "dx = 401 is the other side of the band";
    map.moveClientTo(1001, 700);
    EXPECT_EQ(map.getClientX(), 600) << "dx = 402 > 401 moves";
}

TEST(MapSystem, InClientIsStrictOnAllFourEdges) {
    MapSystem map = camera(3000, 1200, 800, 600);
    map.moveClientTo(1000, 700);  // camera at 600, 400
    EXPECT_TRUE(map.inClient(601, 401));
    EXPECT_TRUE(map.inClient(1399, 999));
    EXPECT_FALSE(map.inClient(600, 500));
    EXPECT_FALSE(map.inClient(1400, 500));
    EXPECT_FALSE(map.inClient(700, 400));
    EXPECT_FALSE(map.inClient(700, 1000));
}
