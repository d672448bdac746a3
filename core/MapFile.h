#pragma once

#include <string>
#include <vector>

namespace Torvane {

// One piece record of a map file, as read.
struct MapPiece {
    int recordNumber;       // 1 for the first record
    std::string imageName;  // loaded from "image/object/" + imageName
    int layer;
    int kind;               // 0 solid, 1 decoration; anything else makes no piece
    int x;                  // top-left corner, map pixels
    int y;
};

// Reads a map file: an ignored number, width, height, background red, green and
// blue, the piece count N, then N records of nine values (picture name, layer,
// kind, x, y and four ignored numbers), all separated by white space.
//
// The file is read up to its end or its first problem, whichever comes first;
// what came before the problem stays available, so the game can load that much
// and the map checker can report on it. Every value is checked against limits
// that keep the world finite: a file can neither make the game allocate without
// bound nor overflow a coordinate.
class MapFile {
public:
    static constexpr int maxPieces = 10000;
    static constexpr int maxNameLength = 255;       // characters of a picture name
    static constexpr int maxCoordinate = 1000000;   // pixels either side of the origin

    enum Kind { SOLID = 0, DECORATION = 1 };

    // False when the file cannot be opened or not read at all; getError says why.
    bool load(const std::string& path);

    const std::string& getPath() const { return path; }
    // True when the whole file was read without a problem.
    bool isComplete() const { return complete; }
    // What stopped the opening or the reading, naming the file, the record and the value.
    const std::string& getError() const { return error; }

    bool hasSize() const { return sizeRead; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    bool hasBackground() const { return backgroundRead; }
    int getRed() const { return red; }
    int getGreen() const { return green; }
    int getBlue() const { return blue; }
    bool hasPieceCount() const { return pieceCountRead; }
    int getPieceCount() const { return pieceCount; }
    // The records read in full, in file order.
    const std::vector<MapPiece>& getPieces() const { return pieces; }
    // A word after the last record: the game ignores it, but the piece count is
    // probably wrong.
    bool hasTrailingText() const { return trailingText; }
    const std::string& getTrailingText() const { return trailing; }

private:
    class Reader;
    bool readAll(Reader& reader);

    std::string path;
    bool complete = false;
    std::string error;
    bool sizeRead = false;
    int width = 0;
    int height = 0;
    bool backgroundRead = false;
    int red = 0;
    int green = 0;
    int blue = 0;
    bool pieceCountRead = false;
    int pieceCount = 0;
    std::vector<MapPiece> pieces;
    bool trailingText = false;
    std::string trailing;
};

}  // namespace Torvane
