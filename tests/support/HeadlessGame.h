#pragma once

#include "core/Game.h"

// The one Game of a test program, made headless on first use (no display, no
// sound card): Allegro runs on its SYSTEM_NONE driver, so memory bitmaps and all
// drawing work while the video mode, timer and input are absent.
Torvane::Game& headlessGame();
