#pragma once

#include <allegro.h>

#include <string>

namespace Torvane {

// Text of Allegro's built-in 8x8 font drawn larger, for the screens between levels.
class BigText {
public:
    // Scaled `scale` times, centred on centreX, its top at top.
    static void draw(BITMAP* target, const std::string& text, int scale, int centreX, int top, int color);
    // The same, its left edge at left.
    static void drawLeft(BITMAP* target, const std::string& text, int scale, int left, int top, int color);
};

}  // namespace Torvane
