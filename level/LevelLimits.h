#pragma once

#include "core/MapFile.h"

namespace Torvane {

// What one level may ask of the game. Levels are files players share: each count has a cap so that a level cannot
// take all memory or time, with room to spare for any real level (the outpost uses a few dozen of each). A request
// over a cap is refused with one line, once, and the game goes on. Map pieces are capped by MapFile::maxPieces.
struct LevelLimits {
    static constexpr int maxFighters = 512;          // fighters since the map was loaded, the fallen included
    static constexpr int maxPresents = 4096;         // present boxes and trigger areas in the world at once
    static constexpr int maxWaitingEvents = 1024;    // events raised and not yet served
    // Coordinates and sizes a script gives are held to this many pixels either side of the origin, and health and
    // bullets to as many points, so that the world can add and multiply them without overflow.
    static constexpr int maxCoordinate = MapFile::maxCoordinate;
    static constexpr int maxAmount = 1000000;
};

}  // namespace Torvane
