#include "hud/Dialog.h"

#include <algorithm>

#include "core/Game.h"

namespace Torvane {

Dialog::~Dialog() {
    if (bitmap) destroy_bitmap(bitmap);
}

Dialog& Dialog::setPosition(int anchorX, int anchorY) {
    x = anchorX;
    y = anchorY;
    return *this;
}

Dialog& Dialog::setText(const std::string& newText) {
    text = newText;
    lines.clear();
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    int maxWidth = 0;
    for (const std::string& line : lines) maxWidth = std::max(maxWidth, text_length(font, line.c_str()));
    width = std::min(maxSide, 2 * (spacing + margin) + maxWidth);
    const long long tall = static_cast<long long>(lines.size()) * (text_height(font) + spacing) + 2 * margin + spacing;
    height = static_cast<int>(std::min<long long>(maxSide, tall));
    backColor = makecol(0, 0, 0);
    textColor = makecol(255, 255, 255);
    build();
    return *this;
}

Dialog& Dialog::setColor(int color) {
    if (bitmap) rect(bitmap, margin, margin, width - 1 - margin, height - 1 - margin, color);
    return *this;
}

Dialog& Dialog::setDelay(int frames) {
    delay = frames;
    return *this;
}

Dialog& Dialog::show() {
    counter = delay;
    visible.store(true);
    return *this;
}

Dialog& Dialog::hide() {
    if (visible.load() && delay - counter < minimumFrames) return *this;
    visible.store(false);
    return *this;
}

void Dialog::move() {
    if (!visible.load()) return;
    counter -= 1;
    if (counter < 0) visible.store(false);
}

void Dialog::draw(BITMAP* target, int clientX, int clientY) {
    if (!visible.load() || !bitmap) return;
    set_trans_blender(0, 0, 0, 200);
    draw_trans_sprite(target, bitmap, x - clientX, y - clientY);
}

void Dialog::build() {
    if (bitmap) destroy_bitmap(bitmap);
    bitmap = create_bitmap(width, height);
    if (!bitmap) return;
    clear_to_color(bitmap, makecol(255, 0, 255));
    rectfill(bitmap, margin, margin, width - 1 - margin, height - 1 - margin, backColor);
    const int lineHeight = text_height(font) + spacing;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = margin + spacing + static_cast<int>(i) * lineHeight;
        if (top >= height) break;
        textout_ex(bitmap, font, lines[i].c_str(), margin + spacing, top, textColor, -1);
    }
    // The anchor becomes the corner that the tail's tip sits on.
    y -= height;
    const MapSystem& map = Game::getInstance()->getMapSystem();
    if (x + width - map.getClientX() > map.getClientWidth()) {
        x -= width;
        triangle(bitmap, width - 1, height - 1, width - margin, height - margin - spacing,
                 width - margin - spacing, height - margin, backColor);
    } else {
        triangle(bitmap, 0, height - 1, margin, height - margin - spacing, margin + spacing, height - margin,
                 backColor);
    }
}

}  // namespace Torvane
