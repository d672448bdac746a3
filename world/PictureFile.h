#pragma once

#include <allegro.h>

#include <string>

namespace Torvane {

// Loads the game's pictures (map pieces, role sheets, weapons, presents, the
// heads-up pictures) with Allegro, after a look at the file's header: a file may
// claim any size, and Allegro allocates what it claims before reading a pixel.
// BMP, PCX and TGA headers are checked; a BMP without compression must also hold
// the pixels its header promises.
class PictureFile {
public:
    static constexpr int maxSide = 16384;       // pixels, as the longest side of a map
    static constexpr long maxArea = 16777216;   // pixels (4096 x 4096, 64 MB at 32 bits)

    // Why the picture must not be loaded (also a name that is not UTF-8, which
    // Allegro would read past its end), or empty when its header is believable
    // (or the file cannot be opened: Allegro then fails on its own).
    static std::string checkHeader(const std::string& path);

    // The picture, or null when it is missing, unreadable or refused; then
    // reason says why (a missing file: the system's error text).
    static BITMAP* load(const std::string& path, std::string& reason);
};

}  // namespace Torvane
