// The versus maps' pieces. The quarry: pale limestone benches cut in steps round a
// stepped mound, cut blocks and ore carts for cover, timber scaffolds, a crane and the
// far quarry walls in a green-grey haze. The rooftops: two flat roofs of an old town at
// sunrise, a ruined house between them whose broken floors climb to a bell tower's stump,
// chimneys and stair huts for cover, and the town's roofs far off. Each team's pennant
// flies over its end of both maps.
// Everything is drawn from a fixed seed, so every build makes the same pictures.
// Magenta is transparent.
#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/assets/Art.h"
#include "tools/assets/ArtKit.h"
#include "tools/assets/AssetWriter.h"

namespace {

using namespace ArtKit;

const float pi = 3.14159265f;

// Light comes from the upper west on both maps: west ends of steps are lit, east ends shaded.
enum Ends { PLAIN_ENDS = 0, LIT_WEST = 1, SHADED_EAST = 2, BOTH_ENDS = 3 };

// A picture turned east for west, for the pieces that stand mirrored at the two ends of a map.
BITMAP* mirrored(BITMAP* picture) {
    BITMAP* turned = blank(picture->w, picture->h);
    draw_sprite_h_flip(turned, picture, 0, 0);
    destroy_bitmap(picture);
    return turned;
}

// Drawing behind the fighters is softened toward the air of its map, so fighters stand out against it.
void putSoft(BITMAP* b, int x, int y, const Colour& c, const Colour& air, float softness) {
    putpixel(b, x, y, c.mixed(air, softness).make());
}

// A team's pennant on a pole, swallow-tailed, its cloth rippling.
BITMAP* pennant(const Colour& cloth) {
    BITMAP* b = blank(70, 150);
    rectfill(b, 4, 4, 7, 149, makecol(92, 90, 96));
    vline(b, 5, 4, 149, makecol(176, 174, 180));
    circlefill(b, 5, 4, 3, makecol(214, 182, 80));
    for (int x = 8; x < 68; ++x) {
        float along = (x - 8) / 60.0f;
        float wave = std::sin(along * 2.6f * pi) * 3 * along;
        int top = 10 + static_cast<int>(wave + along * 4);
        int bottom = 44 + static_cast<int>(wave - along * 4);
        // The swallow tail: a notch cut into the last third.
        int notch = along > 0.72f ? static_cast<int>((along - 0.72f) / 0.28f * 13) : 0;
        int middle = (top + bottom) / 2;
        for (int y = top; y <= bottom; ++y) {
            if (std::abs(y - middle) < notch) continue;
            float fold = 0.85f + 0.25f * std::cos(along * 2.6f * pi);
            Colour c = cloth.scaled(fold);
            if (y == top) c = c.scaled(1.15f);
            if (y == bottom) c = c.scaled(0.7f);
            putpixel(b, x, y, c.make());
        }
    }
    // A pale stripe along the cloth, so that the team reads at a glance.
    for (int x = 10; x < 50; ++x) {
        float along = (x - 8) / 60.0f;
        int y = 27 + static_cast<int>(std::sin(along * 2.6f * pi) * 3 * along);
        hline(b, x, y - 1, x, cloth.mixed(Colour{250, 246, 236}, 0.7f).make());
        putpixel(b, x, y, cloth.mixed(Colour{250, 246, 236}, 0.7f).make());
    }
    return b;
}

// ---------------------------------------------------------------- The quarry

// The morning haze that distant things in the quarry fade into (its map fills the sky with 172 202 204).
const Colour quarryHaze{188, 208, 206};
const Colour limestone{206, 198, 176}, gravel{170, 162, 146}, timber{146, 106, 70}, craneYellow{204, 164, 64};

// The limestone at a point of the map: beds of slightly different tone parted by thin dark lines,
// and on the cut faces the quarrymen's drill grooves. Pieces side by side join without a seam.
Colour limestoneAt(int mapX, int mapY) {
    float bedY = mapY + noise(mapX, 0, 240, 201) * 22;
    int bed = static_cast<int>(std::floor(bedY / 36));
    float inBed = bedY - bed * 36.0f;
    Colour c = limestone.scaled(0.88f + hash(bed, 0, 202) * 0.14f);
    c = c.mixed(Colour{196, 176, 146}, hash(bed, 1, 203) * 0.5f);
    c = c.scaled(0.93f + layered(mapX, mapY * 1.6f, 34, 204) * 0.12f);
    if (inBed < 1.6f) c = c.scaled(0.7f);
    if (inBed >= 1.6f && inBed < 3.0f) c = c.scaled(1.06f);
    // Drill grooves: faint half-round channels down some beds, lit on their west side, a few missing.
    if (hash(bed, 2, 205) > 0.7f) {
        int groove = (mapX + bed * 7) % 26;
        bool drilled = hash((mapX + bed * 7) / 26, bed, 206) > 0.3f;
        if (drilled && groove == 0) c = c.scaled(0.9f);
        else if (drilled && groove == 25) c = c.scaled(1.04f);
    }
    return c;
}

// A bench of the quarry whose top-left corner lies at (mapX, mapY): a crust of gravel and dust on top,
// the cut face below, darker toward the foot, with cracks; its exposed ends lit or shaded.
BITMAP* quarryRock(int width, int height, int mapX, int mapY, int seed, int ends) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x) {
        int crust = 5 + static_cast<int>(noise(mapX + x, 0, 8, seed) * 5);
        for (int y = 0; y < height; ++y) {
            Colour c = limestoneAt(mapX + x, mapY + y);
            c = c.scaled(1.0f - std::min(0.32f, y / 800.0f));
            if (y < crust) {
                c = gravel.scaled(0.85f + hash(mapX + x, y, seed + 1) * 0.3f);
                if (y < 2) c = limestone.scaled(1.1f);
            } else if (y < crust + 3) {
                c = c.scaled(0.7f);  // the shadow under the crust
            }
            if ((ends & LIT_WEST) && x < 5) c = c.scaled(1.14f);
            if (ends & SHADED_EAST) c = c.scaled(1.0f - std::max(0.0f, 1.0f - (width - x) / 24.0f) * 0.35f);
            putpixel(b, x, y, c.make());
        }
    }
    Dice dice(seed);
    Colour crack = limestone.scaled(0.45f);
    for (int i = 0; i < width * height / 8000 + 1; ++i) {
        int x = dice.range(4, width - 5), y = dice.range(16, std::max(17, height - 20));
        for (int step = 0, length = dice.range(8, 40); step < length && y < height; ++step) {
            putpixel(b, x, y, crack.make());
            if (x + 1 < width) putpixel(b, x + 1, y, limestone.scaled(1.12f).make());
            ++y;
            if (dice.next() < 0.4f) x = std::max(1, std::min(width - 2, x + dice.range(-1, 1)));
        }
    }
    // Loose chips on the crust.
    for (int i = 0; i < width / 6; ++i) {
        int x = dice.range(1, width - 3);
        Colour chip = limestone.scaled(0.8f + dice.next() * 0.35f);
        putpixel(b, x, 1, chip.make());
        putpixel(b, x + 1, 1, chip.scaled(0.8f).make());
    }
    return b;
}

// The quarry's end: a column of uncut rock as tall as the map, so nobody walks off it.
BITMAP* quarryWall(int width, int height, int mapX) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            Colour c = limestoneAt(mapX + x, y).scaled(0.82f + noise(mapX + x, y, 6, 206) * 0.12f);
            if (x == 0 || x == width - 1) c = c.scaled(0.75f);
            putpixel(b, x, y, c.make());
        }
    return b;
}

// The quarry's end face behind the wall, rising in benches to the top of the map, softened behind the fighters.
// Its west side lies against the map's edge.
BITMAP* quarryEnd(int width, int height) {
    BITMAP* b = blank(width, height);
    const int benchHeight = 90;
    for (int y = 0; y < height; ++y) {
        int bench = y / benchHeight;
        int edge = static_cast<int>(width * (0.3f + 0.7f * bench / (height / benchHeight)) + noise(0, y, 16, 238) * 14);
        for (int x = 0; x < std::min(width, edge); ++x) {
            Colour c = limestoneAt(x + 60, y).scaled(0.9f - x * 0.0012f);
            if (y % benchHeight < 4) c = gravel.scaled(1.05f);  // the ledge of each bench, seen from below
            else if (y % benchHeight < 8) c = c.scaled(0.8f);
            if (edge - x < 4) c = c.scaled(0.75f);
            putSoft(b, x, y, c, quarryHaze, 0.3f);
        }
    }
    return b;
}

// A few birds wheeling high over the quarry.
BITMAP* birds(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Dice dice(seed);
    Colour ink = Colour{70, 78, 84}.mixed(quarryHaze, 0.3f);
    for (int i = 0; i < 5; ++i) {
        int x = dice.range(8, width - 9), y = dice.range(6, height - 6), span = dice.range(4, 7), lift = dice.range(1, 3);
        line(b, x - span, y - lift, x, y, ink.make());
        line(b, x, y, x + span, y - lift - dice.range(0, 1), ink.make());
    }
    return b;
}

// Two cut blocks stacked a little askew, chisel-marked: cover on a bench, solid to the full box.
BITMAP* cutBlocks(int width, int height) {
    BITMAP* b = blank(width, height);
    rectfill(b, 0, 0, width - 1, height - 1, limestone.scaled(0.5f).make());
    struct Block { int left, top, right, bottom, seed; };
    const Block blocks[] = {{0, height / 2, width - 1, height - 1, 207}, {3, 0, width - 6, height / 2 - 1, 208}};
    for (const Block& block : blocks) {
        for (int y = block.top; y <= block.bottom; ++y)
            for (int x = block.left; x <= block.right; ++x) {
                Colour c = limestone.scaled(0.9f + noise(x, y, 5, block.seed) * 0.12f);
                if ((x + y * 3) % 9 == 0 && noise(x, y, 3, block.seed + 1) > 0.5f) c = c.scaled(0.9f);
                if (y == block.top || x == block.left) c = c.scaled(1.12f);
                if (y == block.bottom || x == block.right) c = c.scaled(0.62f);
                putpixel(b, x, y, c.make());
            }
    }
    // The gap beside the upper block shows the dark joint behind it.
    rectfill(b, width - 5, 0, width - 1, height / 2 - 1, limestone.scaled(0.42f).make());
    return b;
}

// An ore cart: a tipping tub of riveted iron on a frame and four small wheels, half full of broken stone.
BITMAP* oreCart(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour iron{96, 108, 100}, dark{46, 50, 50};
    // The frame fills the box's foot, so that the cart is solid where it looks solid.
    rectfill(b, 0, height - 14, width - 1, height - 1, dark.make());
    for (int y = 6; y < height - 14; ++y) {
        int inset = (y - 6) / 5;
        for (int x = inset; x < width - inset; ++x) {
            Colour c = iron.scaled(0.85f + noise(x, y, 6, 209) * 0.2f);
            if (x - inset < 3) c = c.scaled(1.2f);
            if (width - inset - x <= 3) c = c.scaled(0.7f);
            if ((y - 6) % 12 == 0) c = c.scaled(0.8f);
            putpixel(b, x, y, c.make());
        }
    }
    // Rivets along the bands.
    for (int y = 12; y < height - 14; y += 12)
        for (int x = 6; x < width - 6; x += 10) putpixel(b, x, y, iron.scaled(1.4f).make());
    // The load: broken limestone heaped above the rim, the rim itself fills the box's top row.
    Dice dice(210);
    rectfill(b, 0, 0, width - 1, 5, limestone.scaled(0.55f).make());
    for (int i = 0; i < 26; ++i) {
        int x = dice.range(4, width - 5), y = dice.range(1, 5), r = dice.range(2, 5);
        circlefill(b, x, y, r, limestone.scaled(0.75f + dice.next() * 0.3f).make());
    }
    hline(b, 0, 6, width - 1, iron.scaled(1.3f).make());
    for (int wheel : {14, width - 15}) {
        circlefill(b, wheel, height - 8, 7, makecol(30, 32, 34));
        circle(b, wheel, height - 8, 7, iron.scaled(1.1f).make());
        circlefill(b, wheel, height - 8, 2, iron.scaled(1.3f).make());
    }
    return b;
}

// A scaffold's deck: planks on a steel edge, every plank a little different.
BITMAP* scaffoldDeck(int width, int height) {
    BITMAP* b = blank(width, height);
    Dice dice(211);
    for (int left = 0; left < width; left += 20) {
        float tint = 0.85f + dice.next() * 0.25f;
        for (int x = left; x < std::min(width, left + 19); ++x)
            for (int y = 0; y < height - 5; ++y) {
                float shade = tint * (0.9f + noise(x * 0.3f, y * 3.0f, 5, 212) * 0.2f);
                if (y == 0) shade *= 1.25f;
                putpixel(b, x, y, timber.scaled(shade).make());
            }
        vline(b, std::min(width - 1, left + 19), 0, height - 6, timber.scaled(0.45f).make());
    }
    rectfill(b, 0, height - 5, width - 1, height - 1, makecol(84, 92, 96));
    hline(b, 0, height - 5, width - 1, makecol(150, 158, 160));
    return b;
}

// The scaffold under the deck: steel tubes with cross braces, behind the fighters.
BITMAP* scaffoldFrame(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour steel{112, 120, 124};
    for (int x : {6, width / 2 - 2, width - 10}) {
        for (int y = 0; y < height; ++y)
            for (int k = 0; k < 4; ++k) putSoft(b, x + k, y, steel.scaled(k == 0 ? 1.3f : 0.9f), quarryHaze, 0.25f);
    }
    for (int t = 0; t < 3; ++t) {
        line(b, 8, 4 + t, width / 2, height - 6 + t, steel.mixed(quarryHaze, 0.3f).make());
        line(b, width / 2, 4 + t, width - 8, height - 6 + t, steel.mixed(quarryHaze, 0.3f).make());
    }
    hline(b, 6, height / 2, width - 7, steel.mixed(quarryHaze, 0.25f).make());
    return b;
}

// The far wall of the quarry seen face on: benches one above the other, each a lit ledge over a cut face
// streaked by rain, a haul road slanting down them, and trees along the rim, all in the haze.
// The ends join when pictures stand side by side.
BITMAP* quarryFar(int width, int height) {
    BITMAP* b = blank(width, height);
    const int benchHeight = 52;
    auto rimAt = [&](int x) {
        float phase = 2 * pi * x / width;
        return static_cast<int>(height * 0.2f + std::sin(phase * 2 + 1) * 22 + std::sin(phase * 5) * 10);
    };
    Colour face{194, 188, 170}, weeds{150, 164, 132}, leaves{104, 128, 104};
    for (int x = 0; x < width; ++x) {
        float phase = 2 * pi * x / width;
        int rim = rimAt(x);
        float wobble = std::sin(phase * 3) * 7 + std::sin(phase * 8 + 2) * 3;
        float streak = 0.94f + noise(x, 0, 3, 213) * 0.08f;
        for (int y = rim; y < height; ++y) {
            float into = y - rim + wobble;
            int bench = static_cast<int>(std::floor(into / benchHeight));
            float within = into - bench * benchHeight;
            Colour c = face.scaled(streak * (0.95f + hash(bench, 0, 214) * 0.06f) * (1.0f - within / benchHeight * 0.1f));
            if (within < 4) c = weeds.mixed(face, 0.4f).scaled(1.05f);
            else if (within < 7) c = face.scaled(0.8f);
            // The haul road: a ramp slanting down and east across the benches.
            float road = (y - rim) - (std::fmod(x + width * 0.3f, static_cast<float>(width)) - width * 0.3f) * 0.3f;
            if (road > 0 && road < 9 && y > rim + 10) c = gravel.scaled(road < 2 ? 1.1f : 0.95f);
            putSoft(b, x, y, c, quarryHaze, 0.42f);
        }
    }
    // Trees on the rim: round crowns lit from the upper west, drawn again across the ends so that copies join.
    Dice dice(215);
    for (int i = 0; i < width / 16; ++i) {
        int cx = dice.range(0, width - 1), radius = dice.range(9, 20);
        int cy = rimAt(cx) - radius / 2 + dice.range(-2, 6);
        for (int copy : {cx - width, cx, cx + width}) {
            circlefill(b, copy + 2, cy + 2, radius, leaves.scaled(0.7f).mixed(quarryHaze, 0.45f).make());
            circlefill(b, copy, cy, radius, leaves.mixed(quarryHaze, 0.45f).make());
            circlefill(b, copy - radius / 3, cy - radius / 3, radius / 2, leaves.scaled(1.15f).mixed(quarryHaze, 0.45f).make());
        }
    }
    return b;
}

// The quarry's crane: a lattice mast, a long jib over the pit, a cable and hook, all in the haze behind the fight.
BITMAP* crane() {
    const int w = 460, h = 640;
    BITMAP* b = blank(w, h);
    Colour steel = craneYellow;
    auto thick = [&](int x1, int y1, int x2, int y2, int width, const Colour& c) {
        for (int t = 0; t < width; ++t) line(b, x1 + t, y1, x2 + t, y2, c.mixed(quarryHaze, 0.35f).make());
    };
    // The mast: two chords and a zigzag of braces.
    const int mastLeft = 330, mastRight = 360, mastTop = 90;
    thick(mastLeft, mastTop, mastLeft, h - 1, 4, steel);
    thick(mastRight, mastTop, mastRight, h - 1, 4, steel.scaled(0.8f));
    for (int y = mastTop; y < h - 30; y += 30) {
        thick(mastLeft, y, mastRight, y + 30, 2, steel.scaled(0.9f));
        thick(mastLeft, y + 30, mastRight + 2, y + 30, 1, steel.scaled(0.9f));
    }
    // The jib reaching west and the counter-jib east, with its weight.
    for (int t = 0; t < 4; ++t) {
        line(b, 10, mastTop + 10 + t, mastRight + 90, mastTop + 10 + t, steel.mixed(quarryHaze, 0.35f).make());
        line(b, 30, mastTop + 34 + t, mastLeft, mastTop + 34 + t, steel.scaled(0.85f).mixed(quarryHaze, 0.35f).make());
    }
    for (int x = 30; x < mastLeft; x += 24) {
        line(b, x, mastTop + 36, x + 12, mastTop + 12, steel.mixed(quarryHaze, 0.35f).make());
        line(b, x + 12, mastTop + 12, x + 24, mastTop + 36, steel.mixed(quarryHaze, 0.35f).make());
    }
    rectfill(b, mastRight + 50, mastTop + 14, mastRight + 92, mastTop + 50, Colour{120, 122, 118}.mixed(quarryHaze, 0.35f).make());
    // Stays from the top of the mast to both ends.
    thick(mastLeft + 14, 20, mastLeft + 14, mastTop, 3, steel);
    line(b, mastLeft + 15, 20, 10, mastTop + 10, Colour{90, 92, 96}.mixed(quarryHaze, 0.35f).make());
    line(b, mastLeft + 15, 20, mastRight + 90, mastTop + 10, Colour{90, 92, 96}.mixed(quarryHaze, 0.35f).make());
    // The cab, its window, and the trolley with the cable and hook hanging over the pit.
    rectfill(b, mastLeft - 14, mastTop + 40, mastRight + 12, mastTop + 76, steel.scaled(0.95f).mixed(quarryHaze, 0.3f).make());
    rectfill(b, mastLeft - 8, mastTop + 46, mastLeft + 14, mastTop + 62, Colour{80, 100, 110}.mixed(quarryHaze, 0.3f).make());
    rectfill(b, 96, mastTop + 8, 116, mastTop + 18, Colour{90, 92, 96}.mixed(quarryHaze, 0.3f).make());
    vline(b, 104, mastTop + 18, 380, Colour{70, 72, 76}.mixed(quarryHaze, 0.35f).make());
    vline(b, 108, mastTop + 18, 380, Colour{70, 72, 76}.mixed(quarryHaze, 0.35f).make());
    rectfill(b, 98, 380, 114, 392, Colour{96, 98, 100}.mixed(quarryHaze, 0.3f).make());
    for (int t = 0; t < 3; ++t) arc(b, 106, 400, itofix(0), itofix(128), 8 - t, Colour{70, 72, 76}.mixed(quarryHaze, 0.3f).make());
    return b;
}

// A heap of spoil: crushed stone in a cone, behind the fighters.
BITMAP* spoilHeap(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x) {
        float across = (x - width / 2.0f) / (width / 2.0f);
        int top = static_cast<int>(height * (0.08f + 0.92f * across * across) + noise(x, 0, 6, seed) * 4);
        for (int y = std::max(0, top); y < height; ++y) {
            Colour c = gravel.scaled(0.86f + hash(x / 2, y / 2, seed) * 0.22f - across * 0.1f);
            putSoft(b, x, y, c, quarryHaze, 0.25f);
        }
    }
    return b;
}

// ---------------------------------------------------------------- The rooftops

// Sunrise over the town: the sky the map is filled with, the air far roofs fade into, the warm light on the walls.
const Colour roofSky{232, 202, 178}, roofHaze{226, 200, 188}, dawn{255, 214, 160};
const Colour plaster{200, 184, 158}, brick{150, 112, 84}, slate{88, 96, 112}, beam{120, 90, 62};

// The plaster and brick of the town's walls at a point of the map: plaster worn through to brick in patches.
Colour wallAt(int mapX, int mapY, int seed) {
    float wear = layered(mapX, mapY, 60, seed);
    int row = mapY / 9, shifted = mapX + (row % 2) * 10;
    Colour bricks = brick.scaled(0.86f + hash(shifted / 20, row, seed + 1) * 0.22f);
    if (mapY % 9 == 8 || shifted % 20 == 0) bricks = Colour{176, 164, 146}.scaled(0.8f);
    Colour c = plaster.scaled(0.92f + noise(mapX, mapY, 7, seed + 2) * 0.1f);
    if (wear > 0.67f) c = bricks.mixed(c, 0.3f);
    else if (wear > 0.655f) c = c.scaled(0.85f);  // the broken edge of the plaster
    return c;
}

// A window: frame, dark panes with a glint of dawn, shutters half open.
void drawWindow(BITMAP* b, int left, int top, int width, int height, int seed) {
    Dice dice(seed);
    Colour frame = plaster.scaled(1.08f), pane{52, 58, 72};
    rectfill(b, left - 3, top - 3, left + width + 2, top + height + 5, frame.make());
    rectfill(b, left, top, left + width - 1, top + height - 1, pane.make());
    hline(b, left - 5, top + height + 4, left + width + 4, plaster.scaled(0.7f).make());
    vline(b, left + width / 2, top, top + height - 1, frame.scaled(0.9f).make());
    hline(b, left, top + height / 2, left + width - 1, frame.scaled(0.9f).make());
    if (dice.next() < 0.6f) line(b, left + 2, top + height / 2 - 3, left + width / 2 - 3, top + 2, dawn.scaled(0.8f).make());
    if (dice.next() < 0.5f) {
        Colour shutter = Colour{96, 120, 110}.scaled(0.8f + dice.next() * 0.3f);
        rectfill(b, left - 3 - width / 3, top - 2, left - 4, top + height + 1, shutter.make());
        for (int y = top; y < top + height; y += 4) hline(b, left - 3 - width / 3, y, left - 4, shutter.scaled(0.7f).make());
    }
}

// A building seen from the street side, its flat roof the top edge: coping stones lit by the dawn, a cornice,
// then storeys of windows. Neighbours drawn from map coordinates join up.
enum Windows { NO_WINDOWS, WINDOWS };

BITMAP* building(int width, int height, int mapX, int mapY, int seed, int ends, Windows windows = WINDOWS) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            Colour c = wallAt(mapX + x, mapY + y, seed);
            if (y < 8) {
                c = Colour{176, 168, 156}.scaled(0.9f + hash((mapX + x) / 30, 0, seed + 3) * 0.12f);
                if ((mapX + x) % 30 == 0) c = c.scaled(0.6f);
                if (y < 2) c = c.mixed(dawn, 0.35f);
                if (y == 7) c = c.scaled(0.6f);
            } else if (y < 20) {
                c = c.scaled(0.72f);  // under the cornice
            } else if (y < 24) {
                c = plaster.scaled(1.05f);
            }
            c = c.scaled(1.0f - std::min(0.3f, y / 900.0f));
            if ((ends & LIT_WEST) && x < 6) c = c.mixed(dawn, 0.25f);
            if (ends & SHADED_EAST) c = c.scaled(1.0f - std::max(0.0f, 1.0f - (width - x) / 22.0f) * 0.35f);
            putpixel(b, x, y, c.make());
        }
    // Storeys of windows, spaced from the map's own grid so that pieces side by side agree.
    for (int storey = 0; windows == WINDOWS && storey * 120 + 70 < height - 40; ++storey) {
        int top = 70 + storey * 120;
        for (int mx = ((mapX + 99) / 100) * 100; mx + 60 < mapX + width; mx += 100) {
            int x = mx - mapX + 30;
            if (x < 24 || x + 40 > width - 10) continue;
            drawWindow(b, x, top, 34, 52, seed + storey * 31 + mx);
        }
    }
    return b;
}

// The floor of the ruined house, open to the sky: broken boards over the joists, plaster and bricks fallen on
// them, and below it the house's front with its empty window holes.
BITMAP* ruinFloor(int width, int height, int mapX, int mapY, int seed) {
    BITMAP* b = building(width, height, mapX, mapY, seed, PLAIN_ENDS, NO_WINDOWS);
    Dice dice(seed);
    for (int x = 0; x < width; ++x) {
        int board = (mapX + x) / 26;
        float tint = 0.8f + hash(board, 0, seed) * 0.3f;
        for (int y = 0; y < 12; ++y) {
            Colour c = beam.scaled(tint * (0.9f + noise(x * 0.3f, y * 3.0f, 4, seed) * 0.2f));
            if ((mapX + x) % 26 == 0) c = c.scaled(0.5f);
            if (y == 0) c = c.scaled(1.2f);
            if (y >= 10) c = c.scaled(0.55f);
            putpixel(b, x, y, c.make());
        }
    }
    // Fallen plaster and bricks lying on the boards.
    for (int i = 0; i < width / 18; ++i) {
        int x = dice.range(2, width - 10);
        Colour c = dice.next() < 0.5f ? plaster.scaled(0.8f + dice.next() * 0.3f) : brick.scaled(0.8f + dice.next() * 0.3f);
        rectfill(b, x, 1, x + dice.range(3, 8), 3, c.make());
    }
    // The empty windows of the lower storey show the dark inside of the house.
    for (int mx = ((mapX + 139) / 140) * 140; mx + 60 < mapX + width; mx += 140) {
        int x = mx - mapX + 40;
        for (int top : {60, 180}) {
            rectfill(b, x - 4, top - 4, x + 40, top + 70, plaster.scaled(1.05f).make());
            rectfill(b, x, top, x + 36, top + 70, Colour{46, 40, 44}.make());
            for (int k = 0; k < 6; ++k) putpixel(b, x + dice.range(0, 36), top + dice.range(0, 3), plaster.scaled(0.7f).make());
            hline(b, x - 6, top + 71, x + 42, plaster.scaled(0.7f).make());
        }
    }
    return b;
}

// A broken upper floor of the ruined house: boards on a joist, plaster hanging from the ceiling below,
// the ends splintered but solid to the full box.
BITMAP* floorSlab(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Dice dice(seed);
    for (int x = 0; x < width; ++x) {
        float tint = 0.8f + hash(x / 24, 0, seed) * 0.3f;
        for (int y = 0; y < height; ++y) {
            Colour c;
            if (y < 8) {
                c = beam.scaled(tint * (0.92f + noise(x * 0.3f, y * 3.0f, 4, seed) * 0.16f));
                if (x % 24 == 0) c = c.scaled(0.55f);
                if (y == 0) c = c.scaled(1.2f).mixed(dawn, 0.2f);
            } else if (y < 14) {
                c = beam.scaled(0.55f);  // the joist
            } else {
                c = plaster.scaled(0.78f + noise(x, y, 5, seed + 1) * 0.12f);  // the ceiling of the room below
                if (y == height - 1) c = c.scaled(0.7f);
            }
            putpixel(b, x, y, c.make());
        }
    }
    // Splinters at both ends, drawn over the box's own edge.
    for (int end : {0, width - 1}) {
        for (int y = 0; y < height; y += 3) {
            int reach = dice.range(2, 6);
            int from = end == 0 ? 0 : end - reach;
            hline(b, from, y, from + reach, beam.scaled(0.5f + dice.next() * 0.4f).make());
        }
    }
    return b;
}

// The ruined house's back wall behind its broken floors: faded wallpaper, a fireplace, the outline of the lost
// storeys, the top edge torn. Behind the fighters, so soft.
BITMAP* ruinInterior(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Colour paper{170, 160, 140};
    for (int x = 0; x < width; ++x) {
        float across = static_cast<float>(x) / width;
        // The wall stands highest in the middle, where the tower held it up.
        int top = static_cast<int>(height * (0.45f * std::abs(across - 0.5f) * 2) + noise(x, 0, 12, seed) * 30);
        for (int y = std::max(0, top); y < height; ++y) {
            Colour c = paper.scaled(0.9f + noise(x, y, 9, seed + 1) * 0.1f);
            // Stripes and little flowers of the wallpaper, a different pattern in each room.
            int room = (x / 280) % 3;
            if (room == 0 && (x / 8) % 3 == 0) c = c.scaled(0.9f);
            if (room == 1 && (x % 24 == 12 && y % 24 < 4)) c = Colour{150, 120, 110};
            if (room == 2 && ((x + y) / 10) % 4 == 0) c = c.scaled(0.92f);
            if (layered(x, y, 50, seed + 2) > 0.64f) c = wallAt(x, y, seed);
            if (y < top + 3) c = c.scaled(0.7f);
            // The lines where the lost floors met the wall.
            if (y % 110 < 3 && y > top + 10) c = c.scaled(0.7f);
            // In the shade of what is left of the house, so that its floors stand out in front.
            putSoft(b, x, y, c.scaled(0.82f), roofHaze, 0.3f);
        }
    }
    // A fireplace in the lowest room and a door frame.
    for (int fx : {width / 4, width * 3 / 4 - 60}) {
        rectfill(b, fx, height - 110, fx + 60, height - 1, Colour{150, 140, 130}.mixed(roofHaze, 0.35f).make());
        rectfill(b, fx + 12, height - 86, fx + 48, height - 1, Colour{60, 52, 54}.mixed(roofHaze, 0.35f).make());
        rectfill(b, fx - 6, height - 116, fx + 66, height - 108, Colour{130, 120, 112}.mixed(roofHaze, 0.35f).make());
    }
    return b;
}

// The stump of the bell tower: stone quoins at the corners, brick between, a round window. Solid high ground.
BITMAP* towerStump(int width, int height, int mapX, int mapY) {
    BITMAP* b = blank(width, height);
    Colour stone{184, 172, 152};
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            int course = (mapY + y) / 22;
            bool quoin = (x < 18 || x >= width - 18) && ((course % 2 == 0) || x < 10 || x >= width - 10);
            Colour c = quoin ? stone.scaled(0.88f + hash(course, x < 18, 216) * 0.14f) : wallAt(mapX + x, mapY + y, 217);
            if (quoin && (mapY + y) % 22 == 21) c = c.scaled(0.7f);
            if (y < 10) c = stone.scaled(y < 2 ? 1.1f : 0.95f).mixed(dawn, y < 2 ? 0.3f : 0.0f);
            if (y == 10) c = stone.scaled(0.6f);
            c = c.scaled(1.1f - static_cast<float>(x) / width * 0.3f);
            putpixel(b, x, y, c.make());
        }
    // A round window with its tracery, dark inside.
    circlefill(b, width / 2, 90, 24, stone.scaled(1.05f).make());
    circlefill(b, width / 2, 90, 19, Colour{50, 46, 54}.make());
    for (int k = 0; k < 4; ++k) {
        float angle = k * pi / 4;
        line(b, width / 2 - static_cast<int>(std::cos(angle) * 19), 90 - static_cast<int>(std::sin(angle) * 19),
             width / 2 + static_cast<int>(std::cos(angle) * 19), 90 + static_cast<int>(std::sin(angle) * 19),
             stone.scaled(0.9f).make());
    }
    // A narrow door at the foot, bricked up.
    rectfill(b, width / 2 - 16, height - 70, width / 2 + 16, height - 1, brick.scaled(0.7f).make());
    arc(b, width / 2, height - 70, itofix(0), itofix(128), 16, stone.make());
    return b;
}

// What is left of the belfry above the stump: two broken arches and the bell hanging in one, behind the fighters.
BITMAP* belfry(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour stone = Colour{184, 172, 152}.mixed(roofHaze, 0.3f);
    // The west pier stands to its full height, the east one is broken off.
    for (int pier = 0; pier < 3; ++pier) {
        int left = pier * (width - 18) / 2;
        int top = pier == 0 ? 20 : pier == 1 ? 44 : 110;
        for (int y = top; y < height; ++y)
            for (int x = left; x < left + 18; ++x) {
                int broken = top + static_cast<int>(noise(x, 0, 4, 218) * 14);
                if (y < broken) continue;
                Colour c = stone.scaled(0.86f + hash(x / 6, y / 14, 219) * 0.14f - (x - left) * 0.008f);
                if (y % 14 == 13) c = c.scaled(0.8f);
                putpixel(b, x, y, c.make());
            }
    }
    // The arch over the western opening, and its bell.
    int middle = (width - 18) / 2;
    for (int t = 0; t < 8; ++t) arc(b, (18 + middle) / 2 + 0, 70, itofix(0), itofix(128), (middle - 18) / 2 + t, stone.scaled(0.95f).make());
    int bellX = (18 + middle) / 2, bellTop = 78;
    vline(b, bellX, 62, bellTop, Colour{80, 74, 70}.mixed(roofHaze, 0.3f).make());
    for (int y = bellTop; y < bellTop + 34; ++y) {
        int half = 6 + (y - bellTop) * (y - bellTop) / 70;
        for (int x = -half; x <= half; ++x)
            putpixel(b, bellX + x, y, Colour{150, 116, 64}.scaled(1.15f - (x + half) / (2.0f * half) * 0.45f).mixed(roofHaze, 0.3f).make());
    }
    return b;
}

// A chimney stack of brick with a stone cap: cover on a roof, solid to the full box.
BITMAP* chimney(int width, int height) {
    BITMAP* b = blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int row = y / 8, shifted = x + (row % 2) * 7;
            Colour c = brick.scaled(0.85f + hash(shifted / 14, row, 220) * 0.22f);
            if (y % 8 == 7 || shifted % 14 == 0) c = Colour{160, 148, 132}.scaled(0.8f);
            if (x < 4) c = c.mixed(dawn, 0.25f);
            if (x >= width - 5) c = c.scaled(0.7f);
            putpixel(b, x, y, c.make());
        }
    rectfill(b, 0, 0, width - 1, 9, Colour{176, 168, 156}.make());
    hline(b, 0, 0, width - 1, Colour{176, 168, 156}.mixed(dawn, 0.4f).make());
    hline(b, 0, 9, width - 1, Colour{90, 84, 80}.make());
    return b;
}

// The hut over a roof's stairs: plank walls, a door, a small window and a flat roof of tarred boards. Solid;
// its roof is the high ground by each team's end.
BITMAP* stairHut(int width, int height) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x) {
        float tint = 0.8f + hash(x / 14, 1, 221) * 0.25f;
        for (int y = 0; y < height; ++y) {
            Colour c = beam.scaled(tint * (0.9f + noise(x * 0.2f, y * 2.0f, 5, 222) * 0.15f));
            if (x % 14 == 0) c = c.scaled(0.6f);
            if (x < 4) c = c.mixed(dawn, 0.25f);
            putpixel(b, x, y, c.make());
        }
    }
    rectfill(b, 0, 0, width - 1, 11, Colour{70, 66, 70}.make());
    hline(b, 0, 0, width - 1, Colour{120, 110, 110}.mixed(dawn, 0.3f).make());
    hline(b, 0, 11, width - 1, Colour{40, 36, 40}.make());
    // The door with its frame and latch, and a window.
    rectfill(b, width - 62, 34, width - 22, height - 1, beam.scaled(0.55f).make());
    rectfill(b, width - 58, 38, width - 26, height - 1, Colour{96, 120, 110}.make());
    for (int y = 44; y < height; y += 10) hline(b, width - 58, y, width - 26, Colour{96, 120, 110}.scaled(0.75f).make());
    circlefill(b, width - 32, 80, 2, makecol(200, 180, 90));
    rectfill(b, 16, 36, 48, 64, plaster.scaled(1.05f).make());
    rectfill(b, 20, 40, 44, 60, Colour{52, 58, 72}.make());
    line(b, 22, 52, 32, 42, dawn.scaled(0.8f).make());
    return b;
}

// A plank laid across an alley between two roofs.
BITMAP* alleyPlank(int width, int height) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            Colour c = beam.scaled(1.05f * (0.9f + noise(x * 0.15f, y * 3.0f, 5, 223) * 0.2f));
            if (y == 0) c = c.mixed(dawn, 0.3f);
            if (y >= height - 3) c = c.scaled(0.55f);
            putpixel(b, x, y, c.make());
        }
    for (int x : {6, width - 8}) circlefill(b, x, height / 2, 1, makecol(60, 56, 52));
    return b;
}

// A heap of fallen bricks and beams: low cover on the ruined floor, solid to the full box.
BITMAP* rubble(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Dice dice(seed);
    rectfill(b, 0, 0, width - 1, height - 1, brick.scaled(0.45f).make());
    for (int i = 0; i < width * height / 40; ++i) {
        int y = dice.range(0, height - 4), x = dice.range(0, width - 8);
        Colour c = dice.next() < 0.7f ? brick.scaled(0.75f + dice.next() * 0.4f) : plaster.scaled(0.8f + dice.next() * 0.25f);
        rectfill(b, x, y, x + dice.range(5, 10), y + 3, c.make());
        hline(b, x, y, x + 5, c.scaled(1.15f).make());
    }
    for (int t = 0; t < 5; ++t) line(b, 4, 6 + t, width - 6, 2 + t, beam.scaled(0.7f + t * 0.06f).make());
    hline(b, 0, 0, width - 1, brick.scaled(0.9f).mixed(dawn, 0.2f).make());
    return b;
}

// The last wall of a map's end: a brick firewall as tall as the map, so nobody walks off the roofs.
BITMAP* firewall(int width, int height) {
    BITMAP* b = blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int row = y / 8, shifted = x + (row % 2) * 6;
            Colour c = brick.scaled(0.72f + hash(shifted / 12, row, 224) * 0.18f);
            if (y % 8 == 7 || shifted % 12 == 0) c = Colour{150, 138, 124}.scaled(0.75f);
            putpixel(b, x, y, c.make());
        }
    return b;
}

// A tall narrow house with a stepped gable, the neighbour against which each end's firewall stands.
// Behind the fighters, so soft. Its west side lies against the map's edge.
BITMAP* gableHouse(int width, int height) {
    BITMAP* b = blank(width, height);
    const int gableHeight = 150;
    for (int x = 0; x < width; ++x) {
        int step = std::min(x, width - 1 - x) / 30;
        int top = std::max(0, gableHeight - step * 36);
        for (int y = top; y < height; ++y) {
            Colour c = wallAt(x + 40, y, 225).scaled(1.0f - x * 0.0008f);
            if (y < top + 6) c = Colour{170, 160, 150};
            putSoft(b, x, y, c, roofHaze, 0.4f);
        }
    }
    for (int top = gableHeight + 50; top + 60 < height; top += 110)
        for (int left = 40; left + 40 < width; left += 80) {
            rectfill(b, left - 3, top - 3, left + 33, top + 53, plaster.scaled(1.05f).mixed(roofHaze, 0.4f).make());
            rectfill(b, left, top, left + 30, top + 50, Colour{70, 72, 84}.mixed(roofHaze, 0.4f).make());
        }
    // A round attic window in the gable.
    circlefill(b, width / 2, gableHeight - 40, 14, Colour{70, 72, 84}.mixed(roofHaze, 0.4f).make());
    return b;
}

// A washing line between two poles, with shirts and sheets drying: above the roofs, behind the fighters.
BITMAP* laundry(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour pole = beam.mixed(roofHaze, 0.3f);
    rectfill(b, 0, 0, 3, height - 1, pole.make());
    rectfill(b, width - 4, 0, width - 1, height - 1, pole.make());
    auto sag = [&](int x) { return 6 + static_cast<int>(std::sin(pi * x / width) * 18); };
    for (int x = 3; x < width - 4; ++x) putpixel(b, x, sag(x), Colour{90, 84, 80}.mixed(roofHaze, 0.3f).make());
    const Colour cloths[] = {{226, 222, 210}, {140, 160, 150}, {214, 196, 140}, {200, 200, 196}, {170, 150, 170}};
    Dice dice(226);
    int index = 0;
    for (int x = 18; x + 30 < width - 8; x += dice.range(34, 48)) {
        int w = dice.range(18, 30), h = dice.range(22, height - sag(x) - 6);
        Colour c = cloths[index++ % 5].mixed(roofHaze, 0.25f);
        for (int cx = x; cx < x + w; ++cx) {
            int top = sag(cx);
            for (int y = top; y < top + h; ++y) putpixel(b, cx, y, c.scaled(0.92f + 0.08f * std::sin(cx * 0.6f)).make());
        }
        vline(b, x + 2, sag(x + 2) - 2, sag(x + 2) + 1, Colour{120, 100, 80}.make());
        vline(b, x + w - 3, sag(x + w - 3) - 2, sag(x + w - 3) + 1, Colour{120, 100, 80}.make());
    }
    return b;
}

// The town far off: rows of roofs, chimneys, a dome and a spire, fading into the morning.
// The ends join when pictures stand side by side.
BITMAP* farTown(int width, int height) {
    BITMAP* b = blank(width, height);
    struct Row { float base; Colour colour; float softness; int seed; };
    const Row rows[] = {{0.42f, Colour{170, 150, 160}, 0.55f, 227}, {0.6f, Colour{132, 120, 136}, 0.4f, 228}};
    for (const Row& row : rows) {
        Dice dice(row.seed);
        std::vector<int> top(width, height);
        for (int left = 0; left < width;) {
            int house = dice.range(50, 110), rise = dice.range(0, 70);
            int base = static_cast<int>(height * row.base) - rise;
            bool pitched = dice.next() < 0.6f;
            for (int x = left; x < std::min(width, left + house); ++x) {
                int along = std::min(x - left, left + house - 1 - x);
                top[x] = pitched ? base + 30 - std::min(30, along * 2 / 3) : base;
            }
            // A chimney on some roofs.
            if (dice.next() < 0.5f && left + house - 20 < width)
                for (int x = left + house - 24; x < left + house - 14; ++x) top[x] = std::min(top[x], base - 6);
            left += house;
        }
        // Landmarks: a dome on the far row, a spire on the near one, wrapped to join at the ends.
        int mark = row.seed == 227 ? width / 3 : width * 3 / 4;
        for (int x = mark - 60; x <= mark + 60; ++x) {
            int wx = (x + width) % width;
            if (row.seed == 227) {
                float d = (x - mark) / 60.0f;
                top[wx] = std::min(top[wx], static_cast<int>(height * row.base) - 70 - static_cast<int>(std::sqrt(std::max(0.0f, 1 - d * d)) * 50));
            } else if (std::abs(x - mark) < 22) {
                top[wx] = std::min(top[wx], static_cast<int>(height * row.base) - 90 - (22 - std::abs(x - mark)) * 7);
            }
        }
        for (int x = 0; x < width; ++x)
            for (int y = std::max(0, top[x]); y < height; ++y) {
                Colour c = row.colour.scaled(0.95f + hash(x / 12, y / 16, row.seed) * 0.06f);
                if (y < top[x] + 2) c = c.mixed(dawn, 0.3f);
                // Far windows catching the low sun.
                if ((x / 6) % 4 == 1 && (y - top[x]) % 26 > 16 && (y - top[x]) % 26 < 22 && y > top[x] + 30 &&
                    hash(x / 6, y / 26, row.seed + 1) > 0.7f)
                    c = c.mixed(dawn, 0.5f);
                putSoft(b, x, y, c, roofHaze, row.softness);
            }
    }
    return b;
}

// The alley between two houses, seen down its length: shaded walls closing in, a drainpipe, darkness below.
BITMAP* alley(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour deep{44, 38, 46};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float t = std::min(1.0f, y / 260.0f);
            Colour c = wallAt(x + 300, y, 250).scaled(0.55f).mixed(deep, t);
            // The far end of the alley: a thin strip of morning light between the walls.
            if (std::abs(x - width / 2) < 6 && y < 120) c = c.mixed(roofHaze, 0.5f * (1 - y / 120.0f));
            putpixel(b, x, y, c.make());
        }
    rectfill(b, 8, 0, 12, height - 1, Colour{70, 74, 78}.make());
    for (int y = 20; y < height; y += 60) rectfill(b, 6, y, 14, y + 3, Colour{90, 94, 98}.make());
    return b;
}

// The low morning sun, a pale disc in a wide soft glow.
BITMAP* morningSun() {
    BITMAP* b = blank(180, 180);
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 180; ++x) {
            float d = std::hypot(x - 90.0f, y - 90.0f);
            if (d > 88) continue;
            if (d >= 34 && hash(x, y, 229) > (88 - d) / 54.0f) continue;
            Colour c = d < 34 ? Colour{255, 244, 214} : roofSky.mixed(dawn, (88 - d) / 54.0f * 0.9f);
            putpixel(b, x, y, c.make());
        }
    return b;
}

}  // namespace

namespace Art {

void drawVersusArt(const std::string& dataDirectory) {
    std::string folder = dataDirectory + "/image/object/";
    AssetWriter::makeDirectories(folder);
    save(pennant(Colour{196, 44, 40}), folder + "vs_flag_kr.bmp");
    save(pennant(Colour{44, 86, 196}), folder + "vs_flag_kt.bmp");

    // The quarry (map/versus/quarry.map). Solid pieces are drawn where the map places them, so that
    // neighbours join up: each team's bench, the pit between them, the mound's three tiers.
    save(quarryWall(24, 860, 0), folder + "vs_quarry_wall.bmp");
    save(quarryRock(760, 340, 0, 860, 231, SHADED_EAST), folder + "vs_quarry_bench_west.bmp");
    save(quarryRock(760, 340, 2040, 860, 232, LIT_WEST), folder + "vs_quarry_bench_east.bmp");
    save(quarryRock(1280, 240, 760, 960, 233, PLAIN_ENDS), folder + "vs_quarry_pit.bmp");
    save(quarryRock(720, 100, 1040, 860, 234, BOTH_ENDS), folder + "vs_quarry_tier.bmp");
    save(quarryRock(440, 110, 1180, 750, 235, BOTH_ENDS), folder + "vs_quarry_tier2.bmp");
    save(quarryRock(200, 110, 1300, 640, 236, BOTH_ENDS), folder + "vs_quarry_top.bmp");
    save(cutBlocks(72, 64), folder + "vs_quarry_blocks.bmp");
    save(oreCart(88, 52), folder + "vs_quarry_cart.bmp");
    save(scaffoldDeck(160, 20), folder + "vs_quarry_deck.bmp");
    save(scaffoldFrame(160, 100), folder + "vs_quarry_scaffold.bmp");
    save(quarryFar(1400, 520), folder + "vs_quarry_far.bmp");
    save(crane(), folder + "vs_quarry_crane.bmp");
    save(spoilHeap(180, 60, 237), folder + "vs_quarry_heap.bmp");
    save(quarryEnd(170, 860), folder + "vs_quarry_end.bmp");
    save(mirrored(quarryEnd(170, 860)), folder + "vs_quarry_end_east.bmp");
    save(birds(120, 50, 239), folder + "vs_birds.bmp");

    // The rooftops (map/versus/rooftops.map), drawn where that map places them: each team's roof,
    // the ruined house between them, its floors and the tower's stump.
    save(firewall(24, 900), folder + "vs_roof_firewall.bmp");
    save(building(860, 400, 0, 900, 241, SHADED_EAST), folder + "vs_roof_west.bmp");
    save(building(860, 400, 2140, 900, 242, LIT_WEST), folder + "vs_roof_east.bmp");
    save(ruinFloor(1120, 290, 940, 1010, 243), folder + "vs_roof_ruin.bmp");
    save(building(30, 110, 940, 900, 244, LIT_WEST), folder + "vs_roof_ruin_wall_west.bmp");
    save(building(30, 110, 2030, 900, 245, SHADED_EAST), folder + "vs_roof_ruin_wall_east.bmp");
    save(floorSlab(260, 24, 246), folder + "vs_roof_floor.bmp");
    save(floorSlab(150, 24, 247), folder + "vs_roof_floor_short.bmp");
    save(towerStump(120, 330, 1440, 680), folder + "vs_roof_tower.bmp");
    save(chimney(56, 90), folder + "vs_roof_chimney.bmp");
    save(stairHut(140, 120), folder + "vs_roof_hut.bmp");
    save(mirrored(stairHut(140, 120)), folder + "vs_roof_hut_east.bmp");
    save(alleyPlank(130, 16), folder + "vs_roof_plank.bmp");
    save(rubble(80, 40, 248), folder + "vs_roof_rubble.bmp");
    save(ruinInterior(1120, 340, 249), folder + "vs_roof_interior.bmp");
    save(belfry(120, 200), folder + "vs_roof_belfry.bmp");
    save(gableHouse(240, 700), folder + "vs_roof_gable.bmp");
    save(mirrored(gableHouse(240, 700)), folder + "vs_roof_gable_east.bmp");
    save(laundry(200, 80), folder + "vs_roof_laundry.bmp");
    save(farTown(1500, 520), folder + "vs_roof_town.bmp");
    save(morningSun(), folder + "vs_roof_sun.bmp");
    save(alley(80, 400), folder + "vs_roof_alley.bmp");
}

}  // namespace Art
