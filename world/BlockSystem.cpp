#include "world/BlockSystem.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "fighters/Player.h"

namespace Torvane {

namespace {

// What the point callback of do_line needs; it reaches the callback through a
// per-thread pointer because do_line passes only an int.
struct LineState {
    bool found;
    int hitX;
    int hitY;
    int ownColor;
};

thread_local LineState* currentLine = nullptr;

// The last pixel row or column of a box edge; a box at the far end of the int range stays there.
int lastPixel(int edge) { return edge == INT_MIN ? edge : edge - 1; }

// The pixel after the last one, where the int range allows.
int nextPixel(int last) { return last == INT_MAX ? last : last + 1; }

// start + size, held within the int range as Object::getRectangle holds it.
int saturatedEdge(int start, int size) {
    long long edge = static_cast<long long>(start) + size;
    return static_cast<int>(std::clamp<long long>(edge, INT_MIN, INT_MAX));
}

void checkPoint(BITMAP* map, int x, int y, int) {
    LineState* state = currentLine;
    if (state->found) return;
    int pixel = getpixel(map, x, y);
    if (pixel == 0 || pixel == state->ownColor) return;
    state->found = true;
    state->hitX = x;
    state->hitY = y;
}

// Lines longer than this along either axis are shortened along their own
// direction before the walk: they leave any map long before their end, and
// do_line's own arithmetic would overflow on script-given far-away targets.
constexpr std::int64_t longestWalk = 1 << 20;  // pixels

}  // namespace

BlockSystem::~BlockSystem() { release(); }

void BlockSystem::release() {
    blocks.clear();
    blocks.shrink_to_fit();
    rows = 0;
    columns = 0;
    if (blockMap) destroy_bitmap(blockMap);
    blockMap = nullptr;
}

void BlockSystem::initialize(int mapWidth, int mapHeight) {
    if (iterating) {
        // The walk in progress holds a block list that a rebuild would free.
        allegro_message("You should not initialize the block system while iterating.");
        return;
    }
    release();
    outlineColor = makecol(255, 255, 255);
    if (mapWidth <= 0 || mapHeight <= 0 || mapWidth > maxMapSide || mapHeight > maxMapSide ||
        static_cast<std::int64_t>(mapWidth) * mapHeight > maxMapArea) {
        // Without a grid every box lies outside it and every line hits at once.
        allegro_message("Map size %d x %d cannot be used: each side must be 1 to %d pixels and the area at most %ld pixels",
                        mapWidth, mapHeight, maxMapSide, static_cast<long>(maxMapArea));
        return;
    }
    blockMap = create_bitmap(mapWidth, mapHeight);
    if (!blockMap) {
        allegro_message("Not enough memory for the block map of a %d x %d map", mapWidth, mapHeight);
        return;
    }
    clear_to_color(blockMap, 0);
    columns = static_cast<unsigned int>(mapWidth / blockWidth + 2);
    rows = static_cast<unsigned int>(mapHeight / blockHeight + 2);
    blocks.resize(static_cast<size_t>(rows) * columns);
}

BlockSystem::BlockRange BlockSystem::rangeOf(int left, int top, int right, int bottom) const {
    return BlockRange{static_cast<unsigned int>(top / blockHeight), static_cast<unsigned int>(bottom / blockHeight),
                      static_cast<unsigned int>(left / blockWidth), static_cast<unsigned int>(right / blockWidth)};
}

const std::vector<Object*>* BlockSystem::getBlock(unsigned int row, unsigned int column) const {
    if (row >= rows || column >= columns) return nullptr;
    return &blocks[row * columns + column];
}

void BlockSystem::addObject(Object* o) {
    Rect r = *o->getRectangle();
    addObject(o, r.left, r.top, r.right, r.bottom);
}

void BlockSystem::addObject(Object* o, int left, int top, int right, int bottom) {
    if (!o->isCollidable()) return;
    if (iterating) {
        allegro_message("You should not addObject while iterating.");
        return;
    }
    BlockRange range = rangeOf(left, top, right, bottom);
    for (unsigned int row = range.firstRow; row <= range.lastRow && row < rows; ++row) {
        for (unsigned int column = range.firstColumn; column <= range.lastColumn && column < columns; ++column) {
            blockAt(row, column).push_back(o);
        }
    }
    if (!blockMap) return;
    rect(blockMap, left, top, lastPixel(right), lastPixel(bottom), outlineColorOf(o));
}

void BlockSystem::removeObject(Object* o) {
    Rect r = *o->getRectangle();
    removeObject(o, r.left, r.top, r.right, r.bottom);
}

void BlockSystem::removeObject(Object* o, int left, int top, int right, int bottom) {
    if (!o->isCollidable()) return;
    if (iterating) {
        allegro_message("You should not removeObject while iterating.");
        return;
    }
    BlockRange range = rangeOf(left, top, right, bottom);
    for (unsigned int row = range.firstRow; row <= range.lastRow && row < rows; ++row) {
        for (unsigned int column = range.firstColumn; column <= range.lastColumn && column < columns; ++column) {
            std::vector<Object*>& block = blockAt(row, column);
            auto entry = std::find(block.begin(), block.end(), o);
            if (entry != block.end()) block.erase(entry);
        }
    }
    if (!blockMap) return;
    rect(blockMap, left, top, lastPixel(right), lastPixel(bottom), makecol(0, 0, 0));
    restoreOutlines(left, top, right, bottom);
}

void BlockSystem::restoreOutlines(int left, int top, int right, int bottom) {
    // Painting the outline black also erased the pixels it shared with other
    // outlines: map pieces are never entered again, so fighters walking on the
    // ground would wear its top edge away and lines would pass through it. Every
    // outline that reaches into the erased pixels is drawn again, clipped to them.
    // rect draws from the smaller to the larger corner, so a box of no width or
    // height (a blood drop) covers the pixels on both sides of its edge.
    const int firstX = std::min(left, lastPixel(right)), lastX = std::max(left, lastPixel(right));
    const int firstY = std::min(top, lastPixel(bottom)), lastY = std::max(top, lastPixel(bottom));
    // Outlines with pixels here are listed from these blocks on; a box of no size
    // is listed only in the block of its corner, which may lie one pixel beyond
    // the erased ones. Pixels left of or above the map do not exist.
    const BlockRange range = rangeOf(std::max(firstX, 0), std::max(firstY, 0), nextPixel(lastX), nextPixel(lastY));
    bool clipped = false;
    for (unsigned int row = range.firstRow; row <= range.lastRow && row < rows; ++row) {
        for (unsigned int column = range.firstColumn; column <= range.lastColumn && column < columns; ++column) {
            for (Object* other : blockAt(row, column)) {
                const int otherLeft = other->getX();
                const int otherRight = saturatedEdge(otherLeft, other->getWidth());
                const int otherFirstX = std::min(otherLeft, lastPixel(otherRight));
                const int otherLastX = std::max(otherLeft, lastPixel(otherRight));
                if (otherFirstX > lastX || otherLastX < firstX) continue;
                const int otherTop = other->getY();
                const int otherBottom = saturatedEdge(otherTop, other->getHeight());
                const int otherFirstY = std::min(otherTop, lastPixel(otherBottom));
                const int otherLastY = std::max(otherTop, lastPixel(otherBottom));
                if (otherFirstY > lastY || otherLastY < firstY) continue;
                // Drawn once: from the first block of this walk that lists it.
                const BlockRange listed = rangeOf(otherLeft, otherTop, otherRight, otherBottom);
                if (row != std::max(range.firstRow, listed.firstRow) ||
                    column != std::max(range.firstColumn, listed.firstColumn)) {
                    continue;
                }
                if (!clipped) {
                    set_clip_rect(blockMap, firstX, firstY, lastX, lastY);
                    clipped = true;
                }
                rect(blockMap, otherLeft, otherTop, lastPixel(otherRight), lastPixel(otherBottom), outlineColorOf(other));
            }
        }
    }
    if (clipped) set_clip_rect(blockMap, 0, 0, blockMap->w - 1, blockMap->h - 1);
}

int BlockSystem::outlineColorOf(Object* o) const {
    // Fighters are outlined in their team colour so their own bullets pass through them.
    Player* player = dynamic_cast<Player*>(o);
    return player ? player->getColor() : outlineColor;
}

bool BlockSystem::checkCollision(Object* o) {
    Rect r = *o->getRectangle();
    return checkCollision(o, r.left, r.top, r.right, r.bottom);
}

bool BlockSystem::checkCollision(Object* o, int left, int top, int right, int bottom) {
    bool touched = false;
    // Restored rather than cleared, so a question asked from inside a collide
    // does not lift the guard of the walk around it.
    bool outerWalk = iterating;
    iterating = true;
    // The range is fixed here although collide may push o during the walk.
    BlockRange range = rangeOf(left, top, right, bottom);
    for (unsigned int row = range.firstRow; row <= range.lastRow && row < rows; ++row) {
        for (unsigned int column = range.firstColumn; column <= range.lastColumn && column < columns; ++column) {
            // No entry can be added or removed while iterating, so the list stays put.
            for (Object* other : blockAt(row, column)) {
                if (other != o && o->collide(other)) touched = true;
            }
        }
    }
    iterating = outerWalk;
    return touched;
}

bool BlockSystem::checkLineCollision(int ownColor, int x1, int y1, int x2, int y2, int* hitX, int* hitY) {
    // A walk reports its first point when that point lies off the map (it reads as
    // -1, which is no colour), so such lines need no walk at all.
    if (!blockMap || x1 < 0 || y1 < 0 || x1 >= blockMap->w || y1 >= blockMap->h) {
        *hitX = x1;
        *hitY = y1;
        return true;
    }
    std::int64_t dx = static_cast<std::int64_t>(x2) - x1;
    std::int64_t dy = static_cast<std::int64_t>(y2) - y1;
    std::int64_t longest = std::max(std::llabs(dx), std::llabs(dy));
    if (longest > longestWalk) {
        x2 = static_cast<int>(x1 + dx * longestWalk / longest);
        y2 = static_cast<int>(y1 + dy * longestWalk / longest);
    }
    LineState state{false, 0, 0, ownColor};
    LineState* outer = currentLine;
    currentLine = &state;
    do_line(blockMap, x1, y1, x2, y2, 0, checkPoint);
    currentLine = outer;
    if (!state.found) return false;
    *hitX = state.hitX;
    *hitY = state.hitY;
    return true;
}

Object* BlockSystem::getObjectByPosition(int x, int y) {
    bool outerWalk = iterating;
    iterating = true;
    Object* result = nullptr;
    unsigned int row = static_cast<unsigned int>(y / blockHeight);
    unsigned int column = static_cast<unsigned int>(x / blockWidth);
    if (row < rows && column < columns) {
        for (Object* o : blockAt(row, column)) {
            if (o->getX() <= x && x <= saturatedEdge(o->getX(), o->getWidth()) && o->getY() <= y &&
                y <= saturatedEdge(o->getY(), o->getHeight())) {
                result = o;
                break;
            }
        }
    }
    iterating = outerWalk;
    return result;
}

void BlockSystem::draw(BITMAP* target, int x, int y) {
    if (blockMap) blit(blockMap, target, x, y, 0, 0, target->w, target->h);
}

}  // namespace Torvane
