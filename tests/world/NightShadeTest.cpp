#include <gtest/gtest.h>

#include <allegro.h>

#include "world/NightShade.h"
#include "world/ObjectSystem.h"

using Torvane::NightShade;

TEST(NightShade, ALampIsFullNearItAndFadesToNothingAtItsRadius) {
    EXPECT_EQ(NightShade::lampLight(0, 100), 255);
    EXPECT_EQ(NightShade::lampLight(50 * 50, 100), 255);
    EXPECT_GT(NightShade::lampLight(70 * 70, 100), NightShade::lampLight(90 * 90, 100));
    EXPECT_EQ(NightShade::lampLight(100 * 100, 100), 0);
    EXPECT_EQ(NightShade::lampLight(0, 0), 0);
}

TEST(NightShade, OnlyWhatALightReachesIsLitAtNight) {
    NightShade night;
    EXPECT_TRUE(night.isLit(5000, 5000));  // by day
    night.setNight(220, 150);
    EXPECT_FALSE(night.isLit(5000, 5000));
    night.moveLamp(100, 100);
    EXPECT_TRUE(night.isLit(200, 100));
    EXPECT_FALSE(night.isLit(240, 100));
    EXPECT_EQ(night.addLight(1000, 500, 80), 1);
    EXPECT_TRUE(night.isLit(1000, 550));
    EXPECT_FALSE(night.isLit(1000, 580));
    night.addFlash(3000, 0, 110);
    EXPECT_TRUE(night.isLit(3000, 50));
    night.forgetFlashes();
    EXPECT_FALSE(night.isLit(3000, 50));
    night.lampOff();
    EXPECT_FALSE(night.isLit(100, 100));
    night.setNight(0, 150);
    EXPECT_TRUE(night.isLit(5000, 5000));
    EXPECT_EQ(night.getLightCount(), 0);
}

TEST(NightShade, LampsAreCountedAndHeldToTheirBounds) {
    NightShade night;
    night.setNight(200, 5000);
    EXPECT_EQ(night.getLampRadius(), NightShade::maxRadius);
    for (int i = 1; i <= NightShade::maxLights; ++i) EXPECT_EQ(night.addLight(i * 10, 0, i), i);
    EXPECT_EQ(night.addLight(0, 0, 50), 0);
    EXPECT_EQ(night.getLightCount(), NightShade::maxLights);
}

// What is drawn agrees with isLit: lit pixels keep most of their colour, dark ones lose it.
TEST(NightShade, TheDrawnShadeDarkensWhatIsNotLit) {
    BITMAP* view = create_bitmap(200, 100);
    ASSERT_NE(view, nullptr);
    clear_to_color(view, makecol(255, 255, 255));
    Torvane::ObjectSystem nothing;
    NightShade night;
    night.setNight(255, 100);
    night.addLight(1050, 2050, 60);  // the view shows map x 1000..1199, y 2000..2099
    night.draw(view, 1000, 2000, nullptr, nothing);
    for (int x : {50, 80, 100, 150, 199}) {
        const int bright = getr(getpixel(view, x, 50));
        EXPECT_EQ(night.isLit(1000 + x, 2050), bright >= 128) << "x " << x << ", red " << bright;
    }
    EXPECT_EQ(getr(getpixel(view, 50, 50)), 255);
    EXPECT_LT(getr(getpixel(view, 199, 50)), 16);
    destroy_bitmap(view);
}
