#pragma once

#include <allegro.h>

#include <vector>

#include "world/Object.h"

namespace Torvane {

// Answers every collision question of the world from two views of the collidable
// objects: a grid of 200-pixel blocks listing the objects that reach into each
// block (box and point questions), and the block map, a map-sized bitmap with the
// outline of every object on it (line-of-flight questions). Removing an object
// erases its outline but never the outlines it crossed: a line hits every
// listed object wherever it is, however often others moved over it.
class BlockSystem {
public:
    // The largest map the grid and block map are built for: a map-sized bitmap
    // must stay affordable (at 32 bits a pixel the largest area takes 128 MB).
    static constexpr int maxMapSide = 16384;        // pixels
    static constexpr long maxMapArea = 32L << 20;   // pixels

    BlockSystem() = default;
    BlockSystem(const BlockSystem&) = delete;
    BlockSystem& operator=(const BlockSystem&) = delete;
    // Frees the grid and the block map (a map-sized bitmap); the objects listed are not ours.
    ~BlockSystem();

    // Builds an empty grid and block map for a map of that size, releasing the old ones.
    void initialize(int mapWidth, int mapHeight);

    void addObject(Object* o);
    void addObject(Object* o, int left, int top, int right, int bottom);
    void removeObject(Object* o);
    void removeObject(Object* o, int left, int top, int right, int bottom);
    bool checkCollision(Object* o);
    bool checkCollision(Object* o, int left, int top, int right, int bottom);
    // Walks the line on the block map and reports its first point that is neither
    // background nor ownColor; points outside the map count as hits.
    bool checkLineCollision(int ownColor, int x1, int y1, int x2, int y2, int* hitX, int* hitY);
    Object* getObjectByPosition(int x, int y);

    BITMAP* getBlockMap() { return blockMap; }
    // A view of the outlines for inspection: the block map region at (x, y) onto target.
    void draw(BITMAP* target, int x, int y);

    unsigned int getRows() const { return rows; }
    unsigned int getColumns() const { return columns; }
    int getBlockWidth() const { return blockWidth; }
    int getBlockHeight() const { return blockHeight; }
    bool isIterating() const { return iterating; }
    // The objects listed in one block, for inspection; null outside the grid.
    const std::vector<Object*>* getBlock(unsigned int row, unsigned int column) const;

private:
    // A block range of a rectangle. Indices are unsigned: a negative first index
    // becomes huge and makes the whole range empty, as does a grid not yet built.
    struct BlockRange {
        unsigned int firstRow, lastRow, firstColumn, lastColumn;
    };
    BlockRange rangeOf(int left, int top, int right, int bottom) const;
    // Draws again, inside the pixels of the box's outline, which have just been
    // painted black, the outlines of the listed objects that reach into them.
    void restoreOutlines(int left, int top, int right, int bottom);
    int outlineColorOf(Object* o) const;
    std::vector<Object*>& blockAt(unsigned int row, unsigned int column) { return blocks[row * columns + column]; }
    void release();

    const int blockWidth = 200;   // pixels
    const int blockHeight = 200;  // pixels
    unsigned int rows = 0;
    unsigned int columns = 0;
    bool iterating = false;
    // rows x columns lists, row by row; the lists never own their objects.
    std::vector<std::vector<Object*>> blocks;
    BITMAP* blockMap = nullptr;
    int outlineColor = 0;
};

}  // namespace Torvane
