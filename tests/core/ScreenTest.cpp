#include <gtest/gtest.h>

#include "core/Screen.h"

using Torvane::Screen;

namespace {

// Flips until the fade is over; returns how many frames the fade drew.
int framesUntilSettled(Screen& screen, std::vector<int>* alphas = nullptr) {
    int frames = 0;
    while ((screen.getFadeMode() == Torvane::FADE_IN || screen.getFadeMode() == Torvane::FADE_OUT) && frames < 1000) {
        if (alphas) alphas->push_back(screen.getFadeAlpha());
        screen.flip();
        ++frames;
    }
    return frames;
}

}  // namespace

TEST(Screen, StartsHiddenAndHiddenFlipsChangeNothing) {
    Screen screen;
    EXPECT_EQ(screen.getFadeMode(), Torvane::FADE_HIDDEN);
    EXPECT_EQ(screen.getWidth(), 0);
    EXPECT_EQ(screen.getBufferPage(), nullptr);
    for (int i = 0; i < 10; ++i) screen.flip();
    EXPECT_EQ(screen.getFadeMode(), Torvane::FADE_HIDDEN);
}

TEST(Screen, FadesTakeFiftyTwoFramesEachWay) {
    Screen screen;
    screen.fadeIn();
    EXPECT_EQ(screen.getFadeMode(), Torvane::FADE_IN);
    std::vector<int> alphas;
    EXPECT_EQ(framesUntilSettled(screen, &alphas), 52);
    EXPECT_EQ(screen.getFadeMode(), Torvane::FADE_SHOWN);
    ASSERT_EQ(alphas.size(), 52u);
    EXPECT_EQ(alphas.front(), 255);
    EXPECT_EQ(alphas[1], 250);
    EXPECT_EQ(alphas.back(), 0);

    // Shown stays shown.
    screen.flip();
    EXPECT_EQ(screen.getFadeMode(), Torvane::FADE_SHOWN);

    alphas.clear();
    screen.fadeOut();
    EXPECT_EQ(framesUntilSettled(screen, &alphas), 52);
    EXPECT_EQ(screen.getFadeMode(), Torvane::FADE_HIDDEN);
    EXPECT_EQ(alphas.front(), 0);
    EXPECT_EQ(alphas.back(), 255);
}

TEST(Screen, FadesRestartFromTheirBeginningWhateverTheState) {
    Screen screen;
    screen.fadeIn();
    for (int i = 0; i < 20; ++i) screen.flip();
    EXPECT_EQ(screen.getFadeAlpha(), 155);
    screen.fadeOut();  // while fading in
    EXPECT_EQ(screen.getFadeAlpha(), 0);
    EXPECT_EQ(framesUntilSettled(screen), 52);
    EXPECT_EQ(screen.getFadeMode(), Torvane::FADE_HIDDEN);

    screen.fadeIn();
    for (int i = 0; i < 30; ++i) screen.flip();
    screen.fadeIn();  // restart while fading in
    EXPECT_EQ(screen.getFadeAlpha(), 255);
    EXPECT_EQ(framesUntilSettled(screen), 52);

    // Fading out from hidden is allowed too and ends hidden.
    Screen hidden;
    hidden.fadeOut();
    EXPECT_EQ(framesUntilSettled(hidden), 52);
    EXPECT_EQ(hidden.getFadeMode(), Torvane::FADE_HIDDEN);
}
