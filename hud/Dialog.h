#pragma once

#include <allegro.h>

#include <atomic>
#include <string>
#include <vector>

namespace Torvane {

// The speech bubble: a pre-rendered black box with white text, drawn translucent
// over the world with a tail whose tip touches the speaker. It stands above its
// anchor, turns to the anchor's left near the view's right edge and always stays
// whole inside the view, beside the speaker rather than over his face. It hides
// itself after `delay` frames or when the player fires, but never within its
// first 30 frames. Everything but the visible flag is changed and read under
// the game lock, so the bitmap is never rebuilt while a frame draws it.
class Dialog {
public:
    static constexpr int minimumFrames = 30;  // a bubble cannot be dismissed sooner
    // A script can pass any text; past this size in pixels the bubble is cut rather than
    // allocating a bitmap as large as the text.
    static constexpr int maxSide = 2048;

    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    ~Dialog();

    // The speaker's head in world pixels: the bubble stays there as the view moves.
    Dialog& setPosition(int x, int y);
    // An anchor in view pixels, for a speaker drawn on the screen (the robot).
    Dialog& setScreenPosition(int x, int y);
    Dialog& setText(const std::string& text);
    // The speaker's colour frames the box, so that a reader sees who speaks.
    Dialog& setColor(int color);
    Dialog& setDelay(int frames);
    Dialog& show();
    Dialog& hide();
    void move();
    void draw(BITMAP* target, int clientX, int clientY);
    // Polled by the script thread without the game lock.
    bool isVisible() const { return visible.load(); }
    const std::string& getText() const { return text; }

    // Where the bubble's box and its tail's tip stand in a view of that size.
    struct Placement {
        int left;  // the bitmap's corner, view pixels
        int top;
        int tipX;  // the anchor in view pixels
        int tipY;
        bool tail;  // false when the tip lies too far off the box to point at
    };
    Placement place(int viewWidth, int viewHeight, int clientX, int clientY) const;

    int getX() const { return x; }
    int getY() const { return y; }
    bool isOnScreen() const { return onScreen; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getCounter() const { return counter; }
    const std::vector<std::string>& getLines() const { return lines; }
    BITMAP* getBitmap() const { return bitmap; }

private:
    void build();

    std::string text;
    std::atomic<bool> visible{false};
    int delay = 300;  // frames
    int counter = 0;  // frames left
    int x = 0;  // the anchor: world pixels, or view pixels when onScreen
    int y = 0;
    bool onScreen = false;
    int width = 0;
    int height = 0;
    int textColor = 0;
    int backColor = 0;
    BITMAP* bitmap = nullptr;
    std::vector<std::string> lines;
    int spacing = 8;  // between lines, and between the box's edge and the text
    int margin = 10;  // transparent room around the box
    static constexpr int sideGap = 18;       // from the anchor to a bubble that stands beside the speaker
    static constexpr int longestTail = 80;   // pixels; a tip farther off the box gets no tail
};

}  // namespace Torvane
