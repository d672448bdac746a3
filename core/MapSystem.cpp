#include "core/MapSystem.h"

namespace Torvane {

void MapSystem::initialize(int w, int h) {
    width = w;
    height = h;
}

void MapSystem::setBackgroundColor(int r, int g, int b) { backgroundColor = makecol(r, g, b); }

MapSystem& MapSystem::setClientWidth(int w) {
    clientWidth = w;
    marginX = w / 2;
    return *this;
}

void MapSystem::setClientHeight(int h) {
    clientHeight = h;
    marginY = h / 2;
}

void MapSystem::draw(BITMAP* target) { clear_to_color(target, backgroundColor); }

void MapSystem::moveClientTo(int x, int y) {
    int dx = x - clientX;
    int dy = y - clientY;
    if (dx > clientWidth - marginX) clientX = x - (clientWidth - marginX);
    else if (dx < marginX) clientX = x - marginX;
    if (dy > clientHeight - marginY) clientY = y - (clientHeight - marginY);
    else if (dy < marginY) clientY = y - marginY;
    if (clientX < 0) clientX = 0;
    if (clientY < 0) clientY = 0;
    if (clientX + clientWidth > width) clientX = width - clientWidth;
    if (clientY + clientHeight > height) clientY = height - clientHeight;
}

bool MapSystem::inClient(int x, int y) const {
    return clientX < x && x < clientX + clientWidth && clientY < y && y < clientY + clientHeight;
}

}  // namespace Torvane
