// The present boxes a level script puts into the world with addPresent: a rifle
// case, an ammunition can, a medical kit, a grenade crate and an armour vest. Each is small,
// bright and outlined in dark so it reads as a pick-up against grass and rock.
// Magenta is transparent.
#include <allegro.h>

#include "tools/assets/Art.h"
#include "tools/assets/AssetWriter.h"

namespace {

int transparent() { return makecol(255, 0, 255); }

int shade(int r, int g, int b, float f) {
    auto channel = [f](int c) {
        int v = static_cast<int>(c * f + 0.5f);
        return v < 0 ? 0 : v > 255 ? 255 : v;
    };
    return makecol(channel(r), channel(g), channel(b));
}

BITMAP* blank(int width, int height) {
    BITMAP* picture = create_bitmap(width, height);
    clear_to_color(picture, transparent());
    return picture;
}

// A box lit from above: light top edge, dark bottom edge, a dark outline.
void litBox(BITMAP* b, int x1, int y1, int x2, int y2, int r, int g, int bl) {
    for (int y = y1; y <= y2; ++y) {
        float t = static_cast<float>(y - y1) / (y2 - y1 > 0 ? y2 - y1 : 1);
        hline(b, x1, y, x2, shade(r, g, bl, 1.12f - t * 0.3f));
    }
    hline(b, x1 + 1, y1 + 1, x2 - 1, shade(r, g, bl, 1.4f));
    rect(b, x1, y1, x2, y2, shade(r, g, bl, 0.35f));
}

// A long green case with brass corners and a rifle stencilled on its lid.
BITMAP* rifleCase() {
    BITMAP* b = blank(72, 30);
    litBox(b, 0, 6, 71, 29, 70, 110, 62);
    hline(b, 1, 15, 70, shade(70, 110, 62, 0.55f));  // the lid's seam
    for (int x : {1, 66}) {
        rectfill(b, x, 7, x + 4, 12, makecol(200, 170, 80));
        rectfill(b, x, 23, x + 4, 28, makecol(200, 170, 80));
    }
    rectfill(b, 30, 1, 41, 3, makecol(50, 50, 54));  // carrying handle
    vline(b, 30, 1, 6, makecol(50, 50, 54));
    vline(b, 41, 1, 6, makecol(50, 50, 54));
    // The stencil: stock, body, barrel and magazine in pale paint.
    int paint = makecol(236, 228, 170);
    triangle(b, 10, 20, 22, 18, 22, 24, paint);
    rectfill(b, 22, 18, 50, 21, paint);
    rectfill(b, 50, 19, 62, 20, paint);
    rectfill(b, 32, 21, 36, 26, paint);
    return b;
}

// An olive ammunition can with a handle, a latch and brass rounds on its side.
BITMAP* ammunitionCan() {
    BITMAP* b = blank(44, 34);
    litBox(b, 0, 6, 43, 33, 104, 110, 60);
    rectfill(b, 0, 6, 43, 11, shade(104, 110, 60, 0.8f));  // lid
    rect(b, 0, 6, 43, 11, shade(104, 110, 60, 0.35f));
    rect(b, 14, 0, 29, 6, makecol(56, 58, 40));  // handle
    rectfill(b, 38, 8, 42, 16, makecol(150, 150, 140));  // latch
    for (int i = 0; i < 4; ++i) {
        int x = 7 + i * 8;
        rectfill(b, x, 19, x + 4, 29, makecol(210, 168, 64));
        vline(b, x + 1, 20, 28, makecol(250, 224, 140));
        ellipsefill(b, x + 2, 18, 2, 3, makecol(186, 112, 70));
    }
    return b;
}

// A white medical kit with a red cross and a dark handle.
BITMAP* medicalKit() {
    BITMAP* b = blank(42, 34);
    litBox(b, 0, 6, 41, 33, 236, 238, 240);
    rect(b, 14, 0, 27, 6, makecol(60, 64, 70));
    int red = makecol(214, 40, 44);
    rectfill(b, 17, 11, 24, 30, red);
    rectfill(b, 11, 17, 30, 24, red);
    hline(b, 17, 11, 24, makecol(250, 120, 120));
    hline(b, 11, 17, 30, makecol(250, 120, 120));
    return b;
}

// A padded olive vest with a collar, a pocket on each side and a pale ranger star.
BITMAP* armourVest() {
    BITMAP* b = blank(40, 40);
    const int edge = makecol(40, 48, 28);
    for (int y = 6; y < 39; ++y) {
        // The shoulders narrow the top; the body is straight below them.
        const int inset = y < 14 ? (14 - y) : 0;
        hline(b, 3 + inset, y, 36 - inset, shade(92, 110, 62, 1.15f - (y - 6) * 0.012f));
    }
    // The neck opening.
    rectfill(b, 16, 6, 23, 12, transparent());
    rect(b, 3, 14, 36, 38, edge);
    for (int x : {6, 26}) {
        rectfill(b, x, 24, x + 7, 33, shade(92, 110, 62, 0.8f));
        rect(b, x, 24, x + 7, 33, edge);
    }
    for (int y = 16; y < 38; y += 5) hline(b, 4, y, 35, shade(92, 110, 62, 0.9f));
    circlefill(b, 20, 19, 3, makecol(235, 230, 200));
    return b;
}

// A wooden crate of grenades: planks, an orange warning band and a grenade.
BITMAP* grenadeCrate() {
    BITMAP* b = blank(44, 38);
    litBox(b, 0, 2, 43, 37, 168, 124, 72);
    for (int y = 11; y < 37; y += 9) hline(b, 1, y, 42, shade(168, 124, 72, 0.6f));
    rectfill(b, 1, 14, 42, 25, makecol(236, 140, 40));
    hline(b, 1, 14, 42, makecol(250, 190, 100));
    // The grenade: a round body, a cap and the lever.
    circlefill(b, 22, 21, 6, makecol(52, 70, 40));
    circlefill(b, 20, 19, 2, makecol(110, 140, 84));
    rectfill(b, 20, 12, 24, 15, makecol(60, 60, 64));
    line(b, 24, 13, 29, 18, makecol(60, 60, 64));
    for (int x : {3, 38}) {
        putpixel(b, x, 5, makecol(60, 60, 64));
        putpixel(b, x, 34, makecol(60, 60, 64));
    }
    return b;
}

void save(BITMAP* picture, const std::string& path) {
    AssetWriter::saveBitmap(picture, path);
    destroy_bitmap(picture);
}

}  // namespace

namespace Art {

void drawPresentArt(const std::string& dataDirectory) {
    // addPresent names a picture of image/object/ without its ".bmp".
    std::string folder = dataDirectory + "/image/object/";
    save(rifleCase(), folder + "present_rifle.bmp");
    save(ammunitionCan(), folder + "present_ammo.bmp");
    save(medicalKit(), folder + "present_medkit.bmp");
    save(grenadeCrate(), folder + "present_grenade.bmp");
    save(armourVest(), folder + "present_armour.bmp");
}

}  // namespace Art
