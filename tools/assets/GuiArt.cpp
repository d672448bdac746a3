// The heads-up pictures: the status panel, its two bars, the weapon icons, one
// bullet, and the guide robot. Magenta is transparent wherever draw_sprite is used.
#include <allegro.h>

#include <cmath>

#include "tools/assets/Art.h"
#include "tools/assets/AssetWriter.h"

namespace {

int mix(int a, int b, float t) { return static_cast<int>(a + (b - a) * t + 0.5f); }

int blend(int r1, int g1, int b1, int r2, int g2, int b2, float t) {
    return makecol(mix(r1, r2, t), mix(g1, g2, t), mix(b1, b2, t));
}

void roundedBox(BITMAP* b, int x1, int y1, int x2, int y2, int radius, int colour) {
    rectfill(b, x1 + radius, y1, x2 - radius, y2, colour);
    rectfill(b, x1, y1 + radius, x2, y2 - radius, colour);
    circlefill(b, x1 + radius, y1 + radius, radius, colour);
    circlefill(b, x2 - radius, y1 + radius, radius, colour);
    circlefill(b, x1 + radius, y2 - radius, radius, colour);
    circlefill(b, x2 - radius, y2 - radius, radius, colour);
}

// A horizontal bar with a bright top edge and a darker base, like a glass tube.
BITMAP* bar(int width, int height, int r, int g, int b) {
    BITMAP* picture = create_bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        float t = static_cast<float>(y) / (height - 1);
        float shade = t < 0.3f ? 1.0f + (0.3f - t) * 1.2f : 1.0f - (t - 0.3f) * 0.7f;
        auto channel = [shade](int c) { int v = static_cast<int>(c * shade); return v > 255 ? 255 : v; };
        hline(picture, 0, y, width - 1, makecol(channel(r), channel(g), channel(b)));
    }
    // Faint segment marks every 20 pixels read as a gauge.
    for (int x = 19; x < width - 1; x += 20) vline(picture, x, 1, height - 2, makecol(r / 3, g / 3, b / 3));
    rect(picture, 0, 0, width - 1, height - 1, makecol(r / 4, g / 4, b / 4));
    return picture;
}

BITMAP* panel() {
    BITMAP* b = create_bitmap(470, 96);
    clear_to_color(b, makecol(255, 0, 255));
    roundedBox(b, 0, 0, 469, 95, 12, makecol(24, 30, 40));
    for (int y = 3; y < 93; ++y) {
        float t = (y - 3) / 90.0f;
        hline(b, 8, y, 461, blend(54, 66, 84, 22, 28, 38, t));
    }
    roundedBox(b, 10, 10, 110, 86, 8, makecol(16, 20, 28));
    // An emblem: a crosshair in a ring, the fighter's mark.
    int green = makecol(120, 220, 140);
    circle(b, 60, 48, 26, green);
    circle(b, 60, 48, 25, green);
    circle(b, 60, 48, 10, makecol(70, 150, 90));
    hline(b, 30, 48, 50, green);
    hline(b, 70, 48, 90, green);
    vline(b, 60, 18, 38, green);
    vline(b, 60, 58, 78, green);
    circlefill(b, 60, 48, 3, makecol(230, 90, 70));
    // Wells for the bars and the weapon icon.
    rectfill(b, 126, 50, 330, 65, makecol(12, 14, 20));
    rectfill(b, 126, 68, 330, 83, makecol(12, 14, 20));
    roundedBox(b, 268, 8, 380, 44, 6, makecol(16, 20, 28));
    textout_ex(b, font, "HEALTH", 126, 40, makecol(220, 120, 120), -1);
    textout_ex(b, font, "ARMOUR", 340, 72, makecol(120, 160, 230), -1);
    textout_ex(b, font, "AMMO", 392, 14, makecol(230, 200, 120), -1);
    return b;
}

BITMAP* rifle() {
    BITMAP* b = create_bitmap(100, 28);
    clear_to_color(b, makecol(255, 0, 255));
    int steel = makecol(70, 78, 88), dark = makecol(34, 38, 44), light = makecol(150, 160, 172);
    rectfill(b, 24, 8, 88, 14, steel);      // receiver and barrel
    rectfill(b, 88, 9, 99, 12, dark);       // muzzle
    hline(b, 24, 8, 88, light);
    triangle(b, 0, 10, 24, 8, 24, 16, makecol(110, 74, 44));  // stock
    triangle(b, 0, 10, 0, 20, 24, 16, makecol(90, 58, 34));
    rectfill(b, 40, 14, 48, 26, dark);      // magazine
    rectfill(b, 30, 14, 35, 22, makecol(110, 74, 44));  // grip
    rectfill(b, 46, 4, 64, 7, dark);        // sight rail
    return b;
}

BITMAP* pistol() {
    BITMAP* b = create_bitmap(48, 28);
    clear_to_color(b, makecol(255, 0, 255));
    int steel = makecol(80, 86, 96), dark = makecol(34, 38, 44);
    rectfill(b, 6, 6, 46, 13, steel);
    hline(b, 6, 6, 46, makecol(170, 176, 186));
    rectfill(b, 8, 13, 18, 27, dark);
    rect(b, 18, 13, 26, 19, dark);          // trigger guard
    rectfill(b, 42, 4, 44, 6, dark);        // front sight
    return b;
}

BITMAP* grenade() {
    BITMAP* b = create_bitmap(28, 32);
    clear_to_color(b, makecol(255, 0, 255));
    ellipsefill(b, 13, 19, 10, 12, makecol(64, 92, 48));
    ellipsefill(b, 10, 15, 4, 5, makecol(110, 150, 84));   // highlight
    for (int y = 12; y < 30; y += 5) hline(b, 5, y, 21, makecol(44, 64, 34));
    rectfill(b, 9, 3, 17, 8, makecol(120, 124, 130));       // fuse cap
    line(b, 17, 4, 26, 12, makecol(150, 154, 160));         // lever
    circle(b, 6, 4, 3, makecol(200, 190, 90));              // pin ring
    return b;
}

BITMAP* bullet() {
    BITMAP* b = create_bitmap(6, 16);
    clear_to_color(b, makecol(255, 0, 255));
    rectfill(b, 0, 5, 5, 15, makecol(200, 160, 60));
    vline(b, 1, 6, 14, makecol(250, 220, 130));
    ellipsefill(b, 2, 4, 2, 4, makecol(180, 110, 70));
    hline(b, 0, 13, 5, makecol(150, 110, 40));
    return b;
}

// The guide robot: a friendly round-headed helper with a visor and an antenna.
BITMAP* robot() {
    BITMAP* b = create_bitmap(72, 96);
    clear_to_color(b, makecol(255, 0, 255));
    int shell = makecol(214, 222, 230), shade = makecol(150, 162, 176), outline = makecol(60, 70, 84);
    line(b, 36, 2, 36, 14, outline);
    circlefill(b, 36, 4, 4, makecol(255, 120, 90));
    circlefill(b, 35, 3, 1, makecol(255, 220, 200));
    roundedBox(b, 10, 14, 62, 50, 12, outline);
    roundedBox(b, 12, 16, 60, 48, 11, shell);
    roundedBox(b, 18, 24, 54, 40, 7, makecol(28, 40, 56));      // visor
    circlefill(b, 28, 32, 4, makecol(90, 230, 255));
    circlefill(b, 44, 32, 4, makecol(90, 230, 255));
    circlefill(b, 27, 31, 1, makecol(230, 255, 255));
    circlefill(b, 43, 31, 1, makecol(230, 255, 255));
    rectfill(b, 30, 50, 42, 55, shade);                         // neck
    roundedBox(b, 14, 55, 58, 86, 9, outline);
    roundedBox(b, 16, 57, 56, 84, 8, shell);
    for (int y = 60; y < 82; ++y) hline(b, 44, y, 54, shade);   // body shading
    circlefill(b, 36, 70, 6, makecol(255, 190, 70));            // chest light
    circle(b, 36, 70, 6, outline);
    roundedBox(b, 4, 58, 12, 78, 4, shade);                     // arms
    roundedBox(b, 60, 58, 68, 78, 4, shade);
    ellipsefill(b, 36, 91, 18, 4, makecol(120, 200, 255));      // hover glow
    ellipsefill(b, 36, 91, 10, 2, makecol(220, 245, 255));
    return b;
}

// The outpost in the level select: the valley at noon, a snowy peak, the scouts' watchtower
// on the left and the raiders' red banner over the camp on the right.
BITMAP* levelOutpost() {
    BITMAP* b = create_bitmap(200, 120);
    for (int y = 0; y < 120; ++y) hline(b, 0, y, 199, blend(120, 180, 235, 196, 226, 246, y / 119.0f));
    const int rock = makecol(120, 132, 158), snow = makecol(246, 248, 252);
    triangle(b, 60, 86, 112, 22, 170, 86, rock);
    triangle(b, 100, 37, 112, 22, 126, 40, snow);
    triangle(b, 130, 86, 168, 44, 210, 86, makecol(136, 148, 172));
    triangle(b, 160, 53, 168, 44, 177, 55, snow);
    for (int x = 0; x < 200; ++x) {
        const int far = 80 + static_cast<int>(6 * std::sin(x * 0.05) + 3 * std::sin(x * 0.13 + 1.0));
        vline(b, x, far, 119, makecol(88, 142, 96));
        const int near = 96 + static_cast<int>(4 * std::sin(x * 0.04 + 2.0));
        vline(b, x, near, 119, makecol(92, 168, 72));
        vline(b, x, 106, 119, makecol(118, 86, 58));
    }
    hline(b, 0, 105, 199, makecol(70, 140, 52));
    const int wood = makecol(120, 82, 50), dark = makecol(84, 56, 34);
    line(b, 18, 104, 24, 58, wood);  // the watchtower's legs and platform
    line(b, 42, 104, 36, 58, wood);
    line(b, 20, 90, 40, 76, dark);
    line(b, 40, 90, 20, 76, dark);
    rectfill(b, 14, 50, 46, 58, wood);
    triangle(b, 12, 50, 30, 38, 48, 50, makecol(150, 60, 48));
    vline(b, 170, 52, 104, makecol(90, 90, 96));  // the banner's pole and cloth
    rectfill(b, 171, 54, 190, 66, makecol(200, 40, 40));
    hline(b, 171, 60, 190, makecol(150, 26, 26));
    rectfill(b, 132, 92, 158, 104, makecol(150, 108, 60));  // a crate of the camp
    rect(b, 132, 92, 158, 104, dark);
    line(b, 132, 92, 158, 104, dark);
    rect(b, 0, 0, 199, 119, makecol(40, 48, 70));
    return b;
}

void save(BITMAP* picture, const std::string& path) {
    AssetWriter::saveBitmap(picture, path);
    destroy_bitmap(picture);
}

}  // namespace

namespace Art {

void drawGuiArt(const std::string& dataDirectory) {
    std::string gui = dataDirectory + "/image/gui/";
    save(panel(), gui + "back.bmp");
    save(bar(200, 14, 210, 40, 40), gui + "blood.bmp");
    save(bar(200, 14, 60, 120, 220), gui + "defend.bmp");
    save(rifle(), gui + "gun.bmp");
    save(pistol(), gui + "pistol.bmp");
    save(grenade(), gui + "grenade.bmp");
    save(bullet(), gui + "bullet.bmp");
    save(robot(), gui + "ib.bmp");
    save(levelOutpost(), gui + "level_outpost.bmp");
}

}  // namespace Art
