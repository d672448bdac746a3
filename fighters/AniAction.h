#pragma once

#include <allegro.h>

#include <memory>

#include "world/PictureCache.h"

namespace Torvane {

// One action of a fighter's sprite sheet; its frames are sub-bitmaps of the sheet.
struct AniAction {
    static constexpr int maxFrames = 20;

    int id = 0;
    int frameCount = 0;  // frames in use, never above maxFrames
    int delay = 0;       // extra nextFrame calls each frame stays on screen
    bool loop = false;
    BITMAP* sheet = nullptr;  // shown through sheetPicture, which keeps it alive
    std::shared_ptr<const Picture> sheetPicture;
    BITMAP* frames[maxFrames] = {};
};

}  // namespace Torvane
