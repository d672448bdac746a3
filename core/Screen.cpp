#include "core/Screen.h"

#include <cstdio>

namespace Torvane {

Screen::~Screen() {
    // Video bitmaps die with the graphics mode; only a back buffer made without
    // a mode would outlive it. Allegro's exit handler frees the rest.
}

bool Screen::setVideoMode(int w, int h, int bits) {
    // The desktop's depth is always used; where it cannot be told (0) the depth asked
    // for stands in, since a depth of 0 would break every bitmap made afterwards.
    int desktopDepth = desktop_color_depth();
    set_color_depth(desktopDepth != 0 ? desktopDepth : bits);
    fullScreen = false;
    if (!openMode(GFX_AUTODETECT_WINDOWED, w, h)) {
        if (windowOpen) {
            std::printf("Failed to create video bitmap.");
        } else {
            std::printf("Failed to set video mode %d*%d*%d\n", w, h, bits);
        }
        std::fflush(stdout);
        return false;
    }
    width = w;
    height = h;
    bitsPerPixel = bits;
    pageIndex = 1;
    return true;
}

bool Screen::setFullScreen(bool on) {
    if (on == fullScreen) return true;
    if (!windowOpen) {
        std::printf("No full screen: the game has no window to switch.\n");
        std::fflush(stdout);
        return false;
    }
    if (on && openMode(GFX_AUTODETECT_FULLSCREEN, width, height)) {
        fullScreen = true;
        return true;
    }
    if (on) {
        std::printf("Full screen %d*%d is not available (%s); the game stays in a window.\n", width, height,
                    windowOpen ? "no video memory for its pages" : allegro_error);
    }
    fullScreen = false;
    const bool windowed = openMode(GFX_AUTODETECT_WINDOWED, width, height);
    if (!windowed) std::printf("The game's window cannot be opened again (%s).\n", allegro_error);
    std::fflush(stdout);
    return windowed && !on;
}

bool Screen::openMode(int driver, int w, int h) {
    // Allegro frees the video bitmaps of a mode when it leaves it: ours go first, so that no
    // page points at freed memory whatever happens next.
    dropDisplayPages();
    windowOpen = set_gfx_mode(driver, w, h, 0, 0) == 0;
    if (!windowOpen) return false;
    pages[0] = create_video_bitmap(w, h);
    pages[1] = create_video_bitmap(w, h);
    // The buffer is memory and outlives modes; only a new size or depth needs a new one.
    BITMAP*& buffer = pages[2];
    if (buffer && (buffer->w != w || buffer->h != h || bitmap_color_depth(buffer) != get_color_depth())) {
        destroy_bitmap(buffer);
        buffer = nullptr;
    }
    if (!buffer) buffer = create_bitmap(w, h);
    if (!pages[0] || !buffer) return false;
    // Every frame is copied to page 0, so page 0 is the one on display; a second
    // page, where the driver has one, is kept but never shown.
    if (pages[1]) show_video_bitmap(pages[0]);
    clear_to_color(pages[0], makecol(0, 0, 0));
    return true;
}

void Screen::dropDisplayPages() {
    for (int i = 0; i < 2; ++i) {
        if (pages[i]) destroy_bitmap(pages[i]);
        pages[i] = nullptr;
    }
}

bool Screen::useMemoryPages(int w, int h) {
    dropDisplayPages();
    windowOpen = false;
    fullScreen = false;
    set_color_depth(32);
    // Without a display Allegro packs 32-bit colours blue-green-red; the game's window packs them
    // red-green-blue. A picture of the game must show the game's colours, also for a script's raw
    // colour numbers (255 is the scouts' blue), so the pages take the window's packing.
    _rgb_r_shift_32 = 16;
    _rgb_g_shift_32 = 8;
    _rgb_b_shift_32 = 0;
    for (BITMAP*& page : pages) {
        if (page) destroy_bitmap(page);
        page = create_bitmap(w, h);
        if (!page) return false;
        clear_to_color(page, makecol(0, 0, 0));
    }
    width = w;
    height = h;
    bitsPerPixel = 32;
    pageIndex = 1;
    return true;
}

void Screen::flip() {
    BITMAP* buffer = pages[2];
    BITMAP* page = getCurrentPage();
    switch (getFadeMode()) {
        case FADE_SHOWN:
            if (buffer && page) blit(buffer, page, 0, 0, 0, 0, buffer->w, buffer->h);
            break;
        case FADE_IN:
        case FADE_OUT:
            if (buffer && page) {
                BITMAP* scratch = create_bitmap(buffer->w, buffer->h);
                if (scratch) {
                    // Cleared explicitly: the darkening must be toward black.
                    clear_to_color(scratch, makecol(0, 0, 0));
                    set_trans_blender(0, 0, 0, getFadeAlpha());
                    draw_trans_sprite(buffer, scratch, 0, 0);
                    destroy_bitmap(scratch);
                }
                blit(buffer, page, 0, 0, 0, 0, buffer->w, buffer->h);
            }
            advanceFade();
            break;
        default:
            break;
    }
}

void Screen::advanceFade() {
    int state = fadeState.load();
    int mode = state / fadeModeUnit;
    int alpha = state % fadeModeUnit - alphaOffset;
    int next = state;
    if (mode == FADE_IN) {
        alpha -= fadeStep;
        next = packFade(alpha < 0 ? FADE_SHOWN : FADE_IN, alpha);
    } else if (mode == FADE_OUT) {
        alpha += fadeStep;
        next = packFade(alpha > 255 ? FADE_HIDDEN : FADE_OUT, alpha);
    }
    // A fade restarted meanwhile by the script wins.
    fadeState.compare_exchange_strong(state, next);
}

void Screen::fadeIn() { fadeState.store(packFade(FADE_IN, 255)); }

void Screen::fadeOut() { fadeState.store(packFade(FADE_OUT, 0)); }

}  // namespace Torvane
