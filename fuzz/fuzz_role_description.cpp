// Reads arbitrary bytes as a role's animation description (config.dat), cutting the sheets it names: every
// action must keep at most 20 frames, each one a sub-bitmap inside its sheet.
#include <allegro.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "fighters/Animation.h"
#include "world/PictureFile.h"

using Torvane::AniAction;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) std::abort();
    set_color_depth(32);
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = FuzzInputFile::write(data, size);
    Torvane::Animation animation;
    if (!animation.load(path.c_str())) __builtin_trap();  // the file exists: it opens
    for (const AniAction* action : animation.getActions()) {
        if (!action->sheet || action->frameCount < 0 || action->frameCount > AniAction::maxFrames) __builtin_trap();
        // Whatever sheet a description names, only a regular file within the picture limits is ever decoded.
        const BITMAP* sheet = action->sheet;
        if (sheet->w > Torvane::PictureFile::maxSide || sheet->h > Torvane::PictureFile::maxSide ||
            static_cast<long>(sheet->w) * sheet->h > Torvane::PictureFile::maxArea)
            __builtin_trap();
        for (int i = 0; i < action->frameCount; ++i) {
            const BITMAP* frame = action->frames[i];
            if (!frame || frame->w < 1 || frame->h < 1 || frame->w > action->sheet->w || frame->h > action->sheet->h)
                __builtin_trap();
        }
        for (int i = action->frameCount; i < AniAction::maxFrames; ++i)
            if (action->frames[i]) __builtin_trap();
    }
    // Playing every action through draws only inside the frames.
    BITMAP* target = create_bitmap(64, 64);
    for (const AniAction* action : animation.getActions()) {
        animation.setAction(action->id);
        for (int step = 0; step < 3; ++step) {
            animation.nextFrame();
            animation.draw(target, 10, 10);
        }
    }
    destroy_bitmap(target);
    return 0;
}
