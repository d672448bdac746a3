// Reads arbitrary bytes as a map file, as the game and the map checker do: every value must stay within the
// limits, a partial read must say why, and the checker must judge whatever was read.
#include <allegro.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "core/MapChecker.h"
#include "core/MapFile.h"
#include "world/BlockSystem.h"
#include "world/LevelFile.h"

using Torvane::MapFile;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Pictures are loaded by the checker: Allegro without a display. Its messages are not wanted here.
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) std::abort();
    set_color_depth(32);
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = FuzzInputFile::write(data, size);
    MapFile map;
    if (!map.load(path)) {
        if (map.getError().empty()) __builtin_trap();  // a refused file always says why
        return 0;
    }
    if (!map.isComplete() && map.getError().empty()) __builtin_trap();
    if (map.hasSize() && (map.getWidth() < 1 || map.getWidth() > Torvane::BlockSystem::maxMapSide ||
                          map.getHeight() < 1 || map.getHeight() > Torvane::BlockSystem::maxMapSide))
        __builtin_trap();
    if (map.getPieces().size() > static_cast<size_t>(MapFile::maxPieces)) __builtin_trap();
    for (const Torvane::MapPiece& piece : map.getPieces()) {
        // A name the map keeps never leads outside the data directory.
        if (!Torvane::LevelFile::checkName("image/object/" + piece.imageName).empty()) __builtin_trap();
        if (piece.imageName.empty() || piece.imageName.size() > static_cast<size_t>(MapFile::maxNameLength) ||
            piece.x < -MapFile::maxCoordinate || piece.x > MapFile::maxCoordinate ||
            piece.y < -MapFile::maxCoordinate || piece.y > MapFile::maxCoordinate)
            __builtin_trap();
    }
    Torvane::MapChecker checker;
    const bool sound = checker.check(path);
    if (sound == !checker.getProblems().empty()) __builtin_trap();
    return 0;
}
