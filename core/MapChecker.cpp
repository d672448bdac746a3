#include "core/MapChecker.h"

#include <allegro.h>

#include "world/PictureFile.h"

namespace Torvane {

void MapChecker::report(int recordNumber, const std::string& message) {
    problems.push_back(Problem{recordNumber, message});
}

const MapChecker::Picture& MapChecker::picture(const std::string& imageName) {
    auto known = pictures.find(imageName);
    if (known != pictures.end()) return known->second;
    Picture result{false, 0, 0, ""};
    BITMAP* bitmap = PictureFile::load("image/object/" + imageName, result.reason);
    if (bitmap) {
        result = Picture{true, bitmap->w, bitmap->h, ""};
        destroy_bitmap(bitmap);
    }
    return pictures.emplace(imageName, result).first->second;
}

bool MapChecker::check(const std::string& path) {
    problems.clear();
    if (!map.load(path)) {
        report(0, map.getError());
        return false;
    }
    if (!map.isComplete()) report(0, map.getError() + "; the game loads nothing after this point");

    for (const MapPiece& piece : map.getPieces()) {
        std::string where = "Map file " + path + ": record " + std::to_string(piece.recordNumber) + " (" +
                            piece.imageName + " at " + std::to_string(piece.x) + ", " + std::to_string(piece.y) + "): ";
        if (piece.kind != MapFile::SOLID && piece.kind != MapFile::DECORATION) {
            report(piece.recordNumber, where + "kind " + std::to_string(piece.kind) +
                                           " is neither 0 (solid) nor 1 (decoration); the game skips this piece");
            continue;
        }
        const Picture& shown = picture(piece.imageName);
        if (!shown.loaded) {
            report(piece.recordNumber, where + "picture image/object/" + piece.imageName +
                                           " is missing or not a readable bitmap (" + shown.reason + ")");
            continue;
        }
        if (!map.hasSize()) continue;
        long left = piece.x, top = piece.y, right = left + shown.width, bottom = top + shown.height;
        bool outside = right <= 0 || bottom <= 0 || left >= map.getWidth() || top >= map.getHeight();
        bool reachesOut = left < 0 || top < 0 || right > map.getWidth() || bottom > map.getHeight();
        if (outside || reachesOut) {
            report(piece.recordNumber,
                   where + "its " + std::to_string(shown.width) + " x " + std::to_string(shown.height) + " picture " +
                       (outside ? "lies outside" : "reaches outside") + " the " + std::to_string(map.getWidth()) +
                       " x " + std::to_string(map.getHeight()) + " map");
        }
    }
    if (map.hasTrailingText()) {
        report(0, "Map file " + path + ": " + map.getTrailingText() + " follows the last of the " +
                      std::to_string(map.getPieceCount()) + " records; is the piece count right?");
    }
    return problems.empty();
}

std::string MapChecker::getSummary() const {
    int solid = 0, decoration = 0;
    for (const MapPiece& piece : map.getPieces()) {
        if (piece.kind == MapFile::SOLID) ++solid;
        if (piece.kind == MapFile::DECORATION) ++decoration;
    }
    return map.getPath() + ": " + std::to_string(map.getWidth()) + " x " + std::to_string(map.getHeight()) + ", " +
           std::to_string(solid) + " solid and " + std::to_string(decoration) + " decoration pieces, no problems";
}

}  // namespace Torvane
