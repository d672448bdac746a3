#pragma once

#include <allegro.h>

#include <atomic>

namespace Torvane {

// Display states of the fade.
enum FadeMode { FADE_HIDDEN = 0, FADE_IN = 1, FADE_OUT = 2, FADE_SHOWN = 3 };

// Video mode, the back buffer every frame is drawn into, and the fades.
class Screen {
public:
    Screen() = default;
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    ~Screen();

    bool setVideoMode(int width, int height, int bitsPerPixel);
    // Full screen at the window's size, or back to a window. When full screen cannot be had the
    // game stays in a window and says so on standard output (false). The back buffer and what it
    // holds are kept; the pages on display are made anew.
    bool setFullScreen(bool on);
    bool isFullScreen() const { return fullScreen; }
    // Pages in memory instead of a window, for playing a level without a display.
    bool useMemoryPages(int width, int height);
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getBitsPerPixel() const { return bitsPerPixel; }
    BITMAP* getBufferPage() { return pages[2]; }
    BITMAP* getCurrentPage() { return pages[1 - pageIndex]; }

    void flip();

    // Called from the script thread without the game lock.
    void fadeIn();
    void fadeOut();
    int getFadeMode() const { return fadeState.load() / fadeModeUnit; }
    int getFadeAlpha() const { return fadeState.load() % fadeModeUnit - alphaOffset; }

private:
    // Mode and darkness travel together in one atomic word, so a fade started by
    // the script can never be half-overwritten by the frame that advances the old one.
    static constexpr int fadeModeUnit = 1000;
    static constexpr int alphaOffset = 100;
    static constexpr int packFade(int mode, int alpha) { return mode * fadeModeUnit + alpha + alphaOffset; }
    void advanceFade();
    // Opens the mode and makes the pages on display; the buffer is kept when it has the size.
    bool openMode(int driver, int w, int h);
    void dropDisplayPages();

    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int pageIndex = 0;
    bool fullScreen = false;
    bool windowOpen = false;  // a video mode, not memory pages
    BITMAP* pages[3] = {nullptr, nullptr, nullptr};
    std::atomic<int> fadeState{packFade(FADE_HIDDEN, 255)};  // darkness 0 none .. 255 black
    int fadeStep = 5;  // darkness per frame
};

}  // namespace Torvane
