#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "core/Game.h"
#include "hud/Dialog.h"
#include "tests/support/HeadlessGame.h"

using Torvane::Dialog;

namespace {

// A view of 800 x 600 at the map's origin.
void viewAtOrigin() {
    Torvane::MapSystem& map = headlessGame().getMapSystem();
    map.initialize(4000, 2000);
    map.setClientWidth(800).setClientHeight(600);
    map.moveClientTo(400, 300);
}

}  // namespace

TEST(Dialog, SizeFollowsTheLinesOfTheText) {
    viewAtOrigin();
    const int lineHeight = text_height(font);
    ASSERT_EQ(lineHeight, 8);
    Dialog dialog;
    dialog.setPosition(100, 300).setText("Hi");
    EXPECT_EQ(dialog.getWidth(), 36 + text_length(font, "Hi"));
    EXPECT_EQ(dialog.getHeight(), 44);
    ASSERT_NE(dialog.getBitmap(), nullptr);
    EXPECT_EQ(dialog.getBitmap()->w, dialog.getWidth());

    dialog.setPosition(100, 300).setText("one\nlonger line\n");
    ASSERT_EQ(dialog.getLines().size(), 3u);
    EXPECT_EQ(dialog.getLines()[1], "longer line");
    EXPECT_EQ(dialog.getLines()[2], "");
    EXPECT_EQ(dialog.getWidth(), 36 + text_length(font, "longer line"));
    EXPECT_EQ(dialog.getHeight(), 3 * 16 + 28);

    dialog.setPosition(100, 300).setText("");
    EXPECT_EQ(dialog.getLines().size(), 1u);
    EXPECT_EQ(dialog.getWidth(), 36);

    // A script's enormous text is cut, not turned into an enormous bitmap.
    dialog.setPosition(100, 300).setText(std::string(100000, 'x') + std::string(5000, '\n'));
    EXPECT_EQ(dialog.getWidth(), Dialog::maxSide);
    EXPECT_EQ(dialog.getHeight(), Dialog::maxSide);
}

TEST(Dialog, StandsWholeInTheViewBesideItsSpeaker) {
    viewAtOrigin();
    Dialog dialog;
    dialog.setText("Hello\nthere");
    const int w = dialog.getWidth(), h = dialog.getHeight();
    struct Case {
        const char* where;
        int anchorX, anchorY;
        bool onScreen;
        int clientX, clientY;
        int left, top;  // expected corner in the view
    };
    const Case cases[] = {
        {"above the head, tail's tip on it", 100, 300, false, 0, 0, 100, 300 - h},
        {"turned left near the right edge", 780, 300, false, 0, 0, 780 - w, 300 - h},
        {"world anchor follows the view", 1500, 900, false, 1400, 600, 100, 300 - h},
        {"no room above: beside the head", 100, 20, false, 0, 0, 118, 2},
        {"beside, on the left near the right edge", 790, 20, false, 0, 0, 790 - 18 - w, 2},
        {"pushed in from the left edge", -40, 300, false, 0, 0, 0, 300 - h},
        {"pushed up from the bottom", 100, 5000, false, 0, 0, 100, 600 - h},
        {"a speaker far off the map", -2147483647, 2147483647, false, 0, 0, 0, 600 - h},
        {"screen anchor ignores the view", 60, 180, true, 3000, 1400, 60, 180 - h},
    };
    for (const Case& c : cases) {
        if (c.onScreen) dialog.setScreenPosition(c.anchorX, c.anchorY);
        else dialog.setPosition(c.anchorX, c.anchorY);
        const Dialog::Placement at = dialog.place(800, 600, c.clientX, c.clientY);
        EXPECT_EQ(at.left, c.left) << c.where;
        EXPECT_EQ(at.top, c.top) << c.where;
        EXPECT_GE(at.left, 0) << c.where;
        EXPECT_LE(at.left + w, 800) << c.where;
        EXPECT_GE(at.top, 0) << c.where;
        EXPECT_LE(at.top + h, 600) << c.where;
    }
    // The tail points at a speaker near the box, never across the view.
    dialog.setPosition(100, 300);
    EXPECT_TRUE(dialog.place(800, 600, 0, 0).tail);
    dialog.setPosition(100, 5000);
    EXPECT_FALSE(dialog.place(800, 600, 0, 0).tail);
}

TEST(Dialog, ShownForThreeHundredFramesAndNotClosedInTheFirstThirty) {
    viewAtOrigin();
    Dialog dialog;
    dialog.setPosition(100, 300).setText("Read me").show();
    for (int frame = 0; frame < 300; ++frame) {
        ASSERT_TRUE(dialog.isVisible()) << frame;
        dialog.move();
    }
    EXPECT_TRUE(dialog.isVisible());
    dialog.move();
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    for (int frame = 0; frame < 10; ++frame) dialog.move();
    dialog.hide();
    EXPECT_TRUE(dialog.isVisible()) << "fire 10 frames after show";
    for (int frame = 0; frame < 30; ++frame) dialog.move();
    dialog.hide();
    EXPECT_FALSE(dialog.isVisible()) << "fire 40 frames after show";
}

TEST(Dialog, DrawnTranslucentInViewCoordinatesWithTheSpeakersFrame) {
    viewAtOrigin();
    Torvane::MapSystem& map = headlessGame().getMapSystem();
    map.moveClientTo(1400, 800);
    const int clientX = map.getClientX(), clientY = map.getClientY();
    ASSERT_GT(clientX, 0);
    const int blue = makecol(0, 0, 255);
    Dialog dialog;
    dialog.setPosition(clientX + 100, clientY + 300).setText("Hello").setColor(blue);
    BITMAP* target = create_bitmap(800, 600);
    clear_to_color(target, makecol(255, 255, 255));
    dialog.draw(target, clientX, clientY);
    EXPECT_EQ(getpixel(target, 100 + 12, 300 - 44 + 12), makecol(255, 255, 255)) << "hidden bubbles are not drawn";
    dialog.show();
    dialog.draw(target, clientX, clientY);
    // Box pixel away from the text: black at 200 of 255 over white.
    const int box = getpixel(target, 100 + 12, 300 - 44 + 12);
    EXPECT_LT(getr(box), 80);
    EXPECT_GT(getr(box), 20);
    // The transparent margin leaves the world as it was.
    EXPECT_EQ(getpixel(target, 100 + 3, 300 - 44 + 3), makecol(255, 255, 255));
    // The frame in the speaker's colour, and the tail's tip on the anchor.
    EXPECT_EQ(getpixel(dialog.getBitmap(), 10, 20), blue);
    EXPECT_LT(getr(getpixel(target, 108, 295)), 80) << "the tail reaches down to the speaker";
    destroy_bitmap(target);
}
