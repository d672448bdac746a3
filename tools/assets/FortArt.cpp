// The last level's pieces: the raider captain's hill fort at sundown. A trampled field
// and the outer yard before the gate, log palisades and a gatehouse, the stone keep at
// the east end, timber barricades to hide behind, torches, far hills in the red evening,
// and the picture of the level for the level select menu.
// Everything is drawn from a fixed seed, so every build makes the same pictures.
// Magenta is transparent.
#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/assets/Art.h"
#include "tools/assets/ArtKit.h"
#include "tools/assets/AssetWriter.h"

namespace {

using namespace ArtKit;

// Sundown: the sky the map is filled with, the glow low on it, and the warm light on everything facing west.
const Colour dusk{150, 108, 128}, glow{250, 170, 104}, earth{118, 88, 62}, turf{92, 108, 56};
const Colour logWood{116, 78, 50}, stone{138, 128, 118};

float hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 2246822519u ^
                      static_cast<std::uint32_t>(seed) * 3266489917u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return static_cast<float>(h & 0xffffff) / static_cast<float>(0xffffff);
}

float noise(float x, float y, float scale, int seed) {
    float fx = x / scale, fy = y / scale;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    float top = hash(ix, iy, seed) + (hash(ix + 1, iy, seed) - hash(ix, iy, seed)) * tx;
    float bottom = hash(ix, iy + 1, seed) + (hash(ix + 1, iy + 1, seed) - hash(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

class Dice {
public:
    explicit Dice(std::uint32_t seed) : state(seed * 747796405u + 2891336453u) {}
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / static_cast<float>(1 << 24);
    }
    int range(int low, int high) { return low + static_cast<int>(next() * (high - low + 1)) % (high - low + 1); }

private:
    std::uint32_t state;
};

// Ground whose top-left corner lies at (mapX, mapY): a trampled grass edge over earth with
// stones in it, or (paved) the courtyard's flagstones. Neighbours drawn from map coordinates join up.
BITMAP* ground(int width, int height, int mapX, int mapY, bool paved, int seed) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x) {
        int mx = mapX + x;
        int grass = paved ? 0 : 5 + static_cast<int>(noise(mx, 0, 9, seed) * 6);
        for (int y = 0; y < height; ++y) {
            int my = mapY + y;
            Colour c = earth.scaled(0.8f + noise(mx, my, 14, seed + 1) * 0.3f);
            if (noise(mx, my, 6, seed + 2) > 0.86f) c = earth.mixed(stone, 0.5f).scaled(0.8f + noise(mx, my, 3, seed + 3) * 0.2f);
            if (paved && y < 26) {
                // Flagstones: rows of slabs with dark joints, lit along the top.
                int row = y / 13, slab = (mx + row * 23) / 46;
                int inSlab = (mx + row * 23) % 46;
                c = stone.scaled(0.78f + hash(slab, row, seed) * 0.22f + noise(mx, my, 4, seed) * 0.08f);
                if (inSlab == 0 || y % 13 == 12) c = c.scaled(0.45f);
                if (y == 0) c = c.mixed(glow, 0.25f);
            } else if (y < grass) {
                c = turf.scaled(0.8f + noise(mx, y, 3, seed + 4) * 0.35f);
                if (y < 2) c = c.mixed(glow, 0.3f);
            } else if (y < grass + 3) {
                c = c.scaled(0.6f);
            }
            c = c.scaled(1.0f - std::min(0.35f, y / 700.0f));
            putpixel(b, x, y, c.make());
        }
    }
    if (!paved) {
        Dice dice(seed);
        for (int i = 0; i < width / 2; ++i) {
            int x = dice.range(0, width - 1);
            line(b, x, 3, x + dice.range(-2, 2), 3 - dice.range(1, 4), turf.scaled(0.7f + dice.next() * 0.5f).make());
        }
    }
    return b;
}

// One sharpened log, lit from the west, its bark streaked.
void log(BITMAP* b, int left, int top, int width, int bottom, float tint, int seed) {
    for (int x = left; x < left + width; ++x) {
        float across = (x - left + 0.5f) / width;
        float light = 1.25f - across * 0.6f;
        int point = top + static_cast<int>(std::abs(across - 0.5f) * width * 1.1f);
        for (int y = point; y <= bottom; ++y) {
            float streak = 0.85f + noise(x * 4.0f, y * 0.15f, 6, seed) * 0.3f;
            Colour c = logWood.scaled(tint * light * streak);
            if (y < point + 3) c = Colour{196, 160, 116}.scaled(light);  // the cut face of the point
            // Behind the fighters, so softened by the evening haze: they stand out against it.
            putpixel(b, x, y, c.mixed(dusk, 0.3f).make());
        }
    }
}

// A stretch of log palisade with a rampart walk behind it, for behind the fighters.
BITMAP* palisade(int width, int height) {
    BITMAP* b = blank(width, height);
    Dice dice(81);
    for (int x = 0; x < width; x += 22) {
        int top = dice.range(0, 10);
        log(b, x, top, 22, height - 1, 0.62f + dice.next() * 0.14f, 82 + x);
    }
    // Two cross-beams binding the logs, and iron bands.
    for (int y : {height / 3, height * 2 / 3}) {
        rectfill(b, 0, y, width - 1, y + 9, logWood.scaled(0.5f).make());
        hline(b, 0, y, width - 1, logWood.scaled(0.75f).make());
        for (int x = 11; x < width; x += 44) circlefill(b, x, y + 5, 2, makecol(60, 58, 62));
    }
    return b;
}

// The gatehouse: two log towers with roofs and a beam across, the gate standing open between them.
BITMAP* gatehouse() {
    const int w = 260, h = 360;
    BITMAP* b = blank(w, h);
    Dice dice(83);
    for (int tower : {0, 190}) {
        for (int x = tower; x < tower + 70; x += 14) log(b, x, 70, 14, h - 1, 0.7f + dice.next() * 0.15f, 84 + x);
        // The lookout: a plank box on the tower with a slit, and a pointed roof.
        rectfill(b, tower - 6, 70, tower + 75, 120, logWood.scaled(0.8f).make());
        for (int x = tower - 6; x < tower + 75; x += 9) vline(b, x, 70, 120, logWood.scaled(0.55f).make());
        rectfill(b, tower + 12, 86, tower + 57, 96, makecol(34, 24, 26));
        triangle(b, tower - 14, 72, tower + 83, 72, tower + 34, 20, makecol(92, 52, 44));
        line(b, tower - 14, 72, tower + 34, 20, Colour{170, 96, 70}.mixed(glow, 0.3f).make());
    }
    // The beam over the gateway and the open leaves of the gate against the towers.
    rectfill(b, 60, 130, 200, 150, logWood.scaled(0.55f).make());
    hline(b, 60, 130, 200, logWood.scaled(0.9f).mixed(glow, 0.3f).make());
    for (int side = 0; side < 2; ++side) {
        int x0 = side == 0 ? 70 : 168;
        for (int x = x0; x < x0 + 22; x += 6) rectfill(b, x, 160, x + 5, h - 1, logWood.scaled(0.5f + 0.05f * (x % 3)).make());
        rectfill(b, x0, 200, x0 + 21, 206, makecol(58, 56, 60));
        rectfill(b, x0, 300, x0 + 21, 306, makecol(58, 56, 60));
    }
    return b;
}

// The keep: a squat stone tower with battlements, an arrow slit, a lit window and a
// flagpole on top whose cloth the level hangs.
BITMAP* keep() {
    const int w = 300, h = 520;
    BITMAP* b = blank(w, h);
    int top = 90;
    for (int y = top; y < h; ++y) {
        int row = (y - top) / 18;
        for (int x = 20; x < w - 20; ++x) {
            int shifted = x + (row % 2) * 17;
            int block = shifted / 34;
            Colour c = stone.scaled(0.62f + hash(block, row, 85) * 0.2f + noise(x, y, 5, 86) * 0.1f);
            if (shifted % 34 == 0 || (y - top) % 18 == 17) c = c.scaled(0.55f);
            // Lit from the west, in shade toward the east.
            c = c.scaled(1.15f - (x - 20) / static_cast<float>(w - 40) * 0.4f);
            putpixel(b, x, y, c.mixed(dusk, 0.12f).make());
        }
    }
    // Battlements.
    for (int x = 20; x < w - 20; x += 44) {
        for (int y = top - 28; y < top; ++y)
            for (int k = x; k < std::min(w - 20, x + 26); ++k)
                putpixel(b, k, y, stone.scaled(0.72f + noise(k, y, 5, 87) * 0.1f).make());
    }
    // A window with firelight and an arrow slit.
    rectfill(b, 120, 200, 170, 260, makecol(40, 26, 24));
    rectfill(b, 126, 214, 164, 260, Colour{232, 150, 64}.make());
    rectfill(b, 143, 206, 147, 260, makecol(40, 26, 24));
    rectfill(b, 126, 235, 164, 238, makecol(40, 26, 24));
    rectfill(b, 88, 320, 94, 372, makecol(30, 22, 24));
    rectfill(b, 200, 320, 206, 372, makecol(30, 22, 24));
    // The flagpole.
    rectfill(b, 256, 0, 259, top - 28, makecol(84, 80, 82));
    vline(b, 257, 0, top - 28, makecol(170, 160, 150));
    circlefill(b, 257, 2, 3, makecol(220, 180, 70));
    return b;
}

// A timber barricade: crossed beams on trestles with planks nailed across; solid cover.
BITMAP* barricade(int width, int height) {
    BITMAP* b = blank(width, height);
    Dice dice(88);
    for (int y = 0; y < height - 8; y += 11) {
        float tint = 0.7f + dice.next() * 0.2f;
        rectfill(b, 0, y, width - 1, y + 9, logWood.scaled(tint).make());
        hline(b, 0, y, width - 1, logWood.scaled(tint * 1.3f).mixed(glow, 0.2f).make());
        hline(b, 0, y + 9, width - 1, logWood.scaled(0.4f).make());
        putpixel(b, 4, y + 4, makecol(50, 50, 54));
        putpixel(b, width - 5, y + 4, makecol(50, 50, 54));
    }
    for (int t = 0; t < 5; ++t) {
        line(b, 2 + t, height - 1, width - 8 + t, 0, logWood.scaled(0.55f).make());
        line(b, width - 3 - t, height - 1, 7 - t, 0, logWood.scaled(0.6f).make());
    }
    rectfill(b, 0, height - 8, width - 1, height - 1, logWood.scaled(0.45f).make());
    return b;
}

// The east end: a stone wall too tall to climb, so nobody walks off the map.
BITMAP* wall(int width, int height) {
    BITMAP* b = blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int row = y / 20, block = (x + (row % 2) * 20) / 40;
            Colour c = stone.scaled(0.6f + hash(block, row, 89) * 0.2f + noise(x, y, 4, 90) * 0.1f);
            if ((x + (row % 2) * 20) % 40 == 0 || y % 20 == 19) c = c.scaled(0.55f);
            if (x < 3) c = c.mixed(glow, 0.3f);
            putpixel(b, x, y, c.make());
        }
    return b;
}

// A torch on a post: a flame in three colours over an iron cup.
BITMAP* torch() {
    BITMAP* b = blank(24, 96);
    rectfill(b, 10, 30, 13, 95, logWood.scaled(0.6f).make());
    vline(b, 10, 30, 95, logWood.make());
    rectfill(b, 6, 26, 17, 31, makecol(56, 54, 58));
    ellipsefill(b, 12, 16, 7, 11, makecol(226, 86, 30));
    ellipsefill(b, 12, 19, 5, 8, makecol(250, 170, 50));
    ellipsefill(b, 12, 22, 3, 4, makecol(255, 236, 150));
    return b;
}

// Far hills in the evening haze, in two rows: dark and hazy. The ends join when pictures stand side by side.
BITMAP* hills(int width, int height) {
    BITMAP* b = blank(width, height);
    const float pi = 3.14159265f;
    struct Row { float base, rise; Colour colour; int seed; };
    const Row rows[] = {{0.25f, 0.25f, Colour{128, 92, 118}, 91}, {0.5f, 0.22f, Colour{84, 64, 80}, 92}};
    for (const Row& row : rows)
        for (int x = 0; x < width; ++x) {
            float phase = 2 * pi * x / width;
            float shape = std::sin(phase * 2 + row.seed) * 0.5f + std::sin(phase * 5 + row.seed) * 0.3f +
                          std::sin(phase * 11 + row.seed * 3) * 0.2f;
            int top = static_cast<int>(height * (row.base + row.rise * (1 - shape) / 2));
            for (int y = top; y < height; ++y) {
                Colour c = row.colour.mixed(dusk, std::min(0.4f, (y - top) / static_cast<float>(height)));
                if (y < top + 2) c = c.mixed(glow, 0.35f);
                putpixel(b, x, y, c.make());
            }
        }
    return b;
}

// The low sun: a disc of orange with a soft halo, cut by thin bands of cloud.
BITMAP* sun() {
    BITMAP* b = blank(220, 220);
    for (int y = 0; y < 220; ++y)
        for (int x = 0; x < 220; ++x) {
            float d = std::hypot(x - 110.0f, y - 110.0f);
            if (d > 108) continue;
            Colour c = d < 46 ? Colour{255, 214, 140}.mixed(glow, d / 46.0f) : dusk.mixed(glow, (108 - d) / 62.0f * 0.8f);
            if (d < 46 && (y == 118 || y == 119 || y == 134 || y == 135)) c = c.mixed(dusk, 0.5f);
            // Outside the disc only the glow shows: a dither thinning toward the edge keeps the sky's colour there.
            if (d >= 46 && hash(x, y, 93) > (108 - d) / 62.0f) continue;
            putpixel(b, x, y, c.make());
        }
    return b;
}

// The level as the level select menu shows it: the captain's keep against the setting sun,
// the palisade and the open gate, the scout walking in.
BITMAP* preview() {
    const int w = 200, h = 120;
    BITMAP* b = create_bitmap(w, h);
    for (int y = 0; y < h; ++y) hline(b, 0, y, w - 1, Colour{92, 70, 110}.mixed(glow, y / 130.0f).make());
    circlefill(b, 60, 70, 16, Colour{255, 214, 140}.make());
    for (int x = 0; x < w; ++x) {
        int top = 70 + static_cast<int>(std::sin(x * 0.045f) * 6 + std::sin(x * 0.11f + 1) * 3);
        vline(b, x, top, h - 1, Colour{110, 80, 104}.make());
    }
    // The palisade with its pointed logs, and the gate towers.
    for (int x = 20; x < 160; x += 5) {
        int top = 66 + (x * 7) % 4;
        rectfill(b, x, top, x + 4, 100, logWood.scaled(0.5f + 0.1f * ((x / 5) % 2)).make());
        putpixel(b, x + 2, top - 1, logWood.scaled(0.5f).make());
    }
    rectfill(b, 52, 80, 70, 100, Colour{60, 40, 40}.make());
    for (int tower : {40, 72}) {
        rectfill(b, tower, 56, tower + 11, 100, logWood.scaled(0.65f).make());
        triangle(b, tower - 3, 56, tower + 14, 56, tower + 5, 46, makecol(92, 52, 44));
    }
    // The keep and its red cloth.
    for (int y = 38; y < 100; ++y)
        for (int x = 140; x < 182; ++x) {
            Colour c = stone.scaled(0.55f + hash(x / 7 + (y / 5) % 2, y / 5, 94) * 0.15f);
            if (y % 5 == 4) c = c.scaled(0.7f);
            putpixel(b, x, y, c.make());
        }
    for (int x = 140; x < 182; x += 8) rectfill(b, x, 33, x + 4, 38, stone.scaled(0.6f).make());
    rectfill(b, 156, 56, 164, 66, Colour{232, 150, 64}.make());
    vline(b, 178, 12, 33, makecol(84, 80, 82));
    rectfill(b, 166, 13, 177, 21, makecol(196, 40, 40));
    // The courtyard, a barricade, and the scout.
    rectfill(b, 0, 100, w - 1, h - 1, earth.scaled(0.8f).make());
    hline(b, 0, 100, w - 1, turf.mixed(glow, 0.3f).make());
    rectfill(b, 112, 90, 124, 99, logWood.scaled(0.7f).make());
    rectfill(b, 96, 89, 99, 99, makecol(60, 150, 70));
    circlefill(b, 97, 87, 2, makecol(230, 190, 150));
    rectfill(b, 150, 89, 153, 99, makecol(170, 40, 40));
    circlefill(b, 151, 87, 2, makecol(230, 190, 150));
    hline(b, 149, 85, 153, makecol(200, 40, 40));
    rect(b, 0, 0, w - 1, h - 1, makecol(60, 40, 48));
    return b;
}

}  // namespace

namespace Art {

void drawFortArt(const std::string& dataDirectory) {
    std::string folder = dataDirectory + "/image/object/";
    AssetWriter::makeDirectories(folder);
    // Solid pieces, drawn where map/fort.map places them so that neighbours join up: the field,
    // the outer yard and the courtyard are one piece each, so that raiders keep to their ground.
    save(ground(1600, 240, 0, 1160, false, 101), folder + "fort_field.bmp");
    save(ground(1600, 240, 1600, 1160, false, 101), folder + "fort_yard.bmp");
    save(ground(2000, 240, 3200, 1160, true, 102), folder + "fort_court.bmp");
    save(barricade(56, 60), folder + "fort_barricade.bmp");
    save(wall(80, 520), folder + "fort_wall.bmp");
    // Decoration.
    save(palisade(440, 240), folder + "fort_palisade.bmp");
    save(gatehouse(), folder + "fort_gate.bmp");
    save(keep(), folder + "fort_keep.bmp");
    save(torch(), folder + "fort_torch.bmp");
    save(hills(1300, 300), folder + "fort_hills.bmp");
    save(sun(), folder + "fort_sun.bmp");
    std::string gui = dataDirectory + "/image/gui/";
    AssetWriter::makeDirectories(gui);
    save(preview(), gui + "level_fort.bmp");
}

}  // namespace Art
