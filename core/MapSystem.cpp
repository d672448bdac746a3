#include "core/MapSystem.h"

#include "world/Saturating.h"

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
    // Wide: the view may be sent after a fighter at the end of the int range.
    long long left = clientX, top = clientY;
    const long long dx = x - left;
    const long long dy = y - top;
    if (dx > clientWidth - marginX) left = x - static_cast<long long>(clientWidth - marginX);
    else if (dx < marginX) left = static_cast<long long>(x) - marginX;
    if (dy > clientHeight - marginY) top = y - static_cast<long long>(clientHeight - marginY);
    else if (dy < marginY) top = static_cast<long long>(y) - marginY;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (left + clientWidth > width) left = static_cast<long long>(width) - clientWidth;
    if (top + clientHeight > height) top = static_cast<long long>(height) - clientHeight;
    clientX = saturatedInt(left);
    clientY = saturatedInt(top);
}

bool MapSystem::inClient(int x, int y) const {
    return clientX < x && x < static_cast<long long>(clientX) + clientWidth && clientY < y &&
           y < static_cast<long long>(clientY) + clientHeight;
}

}  // namespace Torvane
