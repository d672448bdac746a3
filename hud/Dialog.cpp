#include "hud/Dialog.h"

#include <algorithm>


namespace Torvane {

Dialog::~Dialog() {
    if (bitmap) destroy_bitmap(bitmap);
}

Dialog& Dialog::setPosition(int anchorX, int anchorY) {
    x = anchorX;
    y = anchorY;
    onScreen = false;
    return *this;
}

Dialog& Dialog::setScreenPosition(int anchorX, int anchorY) {
    setPosition(anchorX, anchorY);
    onScreen = true;
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

Dialog::Placement Dialog::place(int viewWidth, int viewHeight, int clientX, int clientY) const {
    // Coordinates stay in long long, and a tip far off the view is held near it: a script may
    // put its speaker anywhere.
    constexpr long long farOff = 1 << 20;
    const long long tipX = std::max(-farOff, std::min(farOff, onScreen ? x : static_cast<long long>(x) - clientX));
    const long long tipY = std::max(-farOff, std::min(farOff, onScreen ? y : static_cast<long long>(y) - clientY));
    Placement at{0, 0, static_cast<int>(tipX), static_cast<int>(tipY), true};
    long long left = tipX + width > viewWidth ? tipX - width : tipX;
    long long top = tipY - height;
    if (top < 0) {
        // No room above the speaker: beside him, level with his head, so his face stays clear.
        top = tipY - margin - spacing;
        left = tipX + sideGap + width <= viewWidth ? tipX + sideGap : tipX - sideGap - width;
    }
    left = std::max(0LL, std::min(left, static_cast<long long>(viewWidth) - width));
    top = std::max(0LL, std::min(top, static_cast<long long>(viewHeight) - height));
    at.left = static_cast<int>(left);
    at.top = static_cast<int>(top);
    const long long awayX = std::max({0LL, left + margin - tipX, tipX - (left + width - margin)});
    const long long awayY = std::max({0LL, top + margin - tipY, tipY - (top + height - margin)});
    at.tail = (awayX > 0 || awayY > 0) && awayX + awayY <= longestTail;
    return at;
}

void Dialog::draw(BITMAP* target, int clientX, int clientY) {
    if (!visible.load() || !bitmap) return;
    const Placement at = place(target->w, target->h, clientX, clientY);
    set_trans_blender(0, 0, 0, 200);
    draw_trans_sprite(target, bitmap, at.left, at.top);
    if (!at.tail) return;
    // The tail's base sits on the box's edge nearest the tip, as wide as the spacing.
    const int boxLeft = at.left + margin, boxRight = at.left + width - 1 - margin;
    const int boxTop = at.top + margin, boxBottom = at.top + height - 1 - margin;
    int x1, y1, x2, y2;
    if (at.tipY > boxBottom || at.tipY < boxTop) {
        const int edge = at.tipY > boxBottom ? boxBottom : boxTop;
        const int middle = std::max(boxLeft + spacing, std::min(at.tipX, boxRight - spacing));
        x1 = middle - spacing / 2, x2 = middle + spacing / 2, y1 = y2 = edge;
    } else {
        const int edge = at.tipX > boxRight ? boxRight : boxLeft;
        const int middle = std::max(boxTop + spacing, std::min(at.tipY, boxBottom - spacing));
        y1 = middle - spacing / 2, y2 = middle + spacing / 2, x1 = x2 = edge;
    }
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    triangle(target, x1, y1, x2, y2, at.tipX, at.tipY, backColor);
    solid_mode();
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
}

}  // namespace Torvane
