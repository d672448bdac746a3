#include "hud/BigText.h"

namespace Torvane {

void BigText::draw(BITMAP* target, const std::string& text, int scale, int centreX, int top, int color) {
    drawLeft(target, text, scale, centreX - text_length(font, text.c_str()) * scale / 2, top, color);
}

void BigText::drawLeft(BITMAP* target, const std::string& text, int scale, int left, int top, int color) {
    const int w = text_length(font, text.c_str()), h = text_height(font);
    if (w <= 0) return;
    // Through a scratch label, since Allegro 4 draws its font at one size only.
    BITMAP* label = create_bitmap(w, h);
    if (!label) return;
    clear_to_color(label, bitmap_mask_color(label));
    textout_ex(label, font, text.c_str(), 0, 0, color, -1);
    masked_stretch_blit(label, target, 0, 0, w, h, left, top, w * scale, h * scale);
    destroy_bitmap(label);
}

}  // namespace Torvane
