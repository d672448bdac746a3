// The second level's pieces: a sandstone gorge under a warm afternoon sky, the
// timber bridge across it and its rope rails, the raiders' sandbagged nests on
// the stepped far side, their watch post, scrub and pines, a far canyon, and the
// picture of the level for the level select menu.
// Everything is drawn from a fixed seed, so every build makes the same pictures.
// Magenta is transparent.
#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/assets/Art.h"
#include "tools/assets/ArtKit.h"
#include "tools/assets/AssetWriter.h"

namespace {

using namespace ArtKit;

const float pi = 3.14159265f;

// The gorge's own palette: the rock, its dry grass, the haze of the far walls and the sky the map is filled with.
const Colour sandstone{196, 132, 86}, dryGrass{170, 160, 78}, haze{206, 186, 178}, sky{176, 204, 228};

// The rock at a point of the map. Pieces that stand side by side are drawn from the
// same map coordinates, so that the rim, the nests and the steps join without a seam.
Colour rockAt(int mapX, int mapY) {
    // Strata: wavy bands of paler and redder stone, shifted a little along the gorge.
    float wave = mapY + noise(mapX, 0, 180, 41) * 40 + noise(mapX, mapY, 30, 42) * 8;
    float band = std::sin(wave * 0.09f) * 0.5f + std::sin(wave * 0.023f + 1.7f) * 0.5f;
    Colour c = sandstone.mixed(Colour{214, 168, 120}, std::max(0.0f, band) * 0.6f);
    c = c.mixed(Colour{160, 88, 64}, std::max(0.0f, -band) * 0.45f);
    c = c.scaled(0.86f + layered(mapX, mapY * 2.2f, 26, 43) * 0.26f);
    // The thin dark line under each harder layer.
    if (std::fmod(wave + 400, 23.0f) < 1.2f) c = c.scaled(0.8f);
    return c;
}

// A block of the gorge's rock whose top-left corner lies at (mapX, mapY): dry grass on
// top, strata below, darker toward the foot, and cracks. shadeRight darkens the east
// face of a block that ends in a cliff.
BITMAP* rock(int width, int height, int mapX, int mapY, int seed, bool shadeLeft, bool shadeRight) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x) {
        int turf = 6 + static_cast<int>(noise(mapX + x, 0, 7, 44) * 5);
        for (int y = 0; y < height; ++y) {
            Colour c = rockAt(mapX + x, mapY + y);
            c = c.scaled(1.0f - std::min(0.3f, y / 900.0f));
            if (y < turf) {
                c = dryGrass.scaled(0.85f + noise(mapX + x, y, 3, 45) * 0.3f);
                if (y < 2) c = c.scaled(1.15f);
            } else if (y < turf + 3) {
                c = c.scaled(0.68f);  // the shadow under the turf
            }
            if (shadeRight) c = c.scaled(1.0f - std::max(0.0f, 1.0f - (width - x) / 26.0f) * 0.4f);
            if (shadeLeft && x < 6) c = c.scaled(1.12f);
            putpixel(b, x, y, c.make());
        }
    }
    Dice dice(seed);
    // Cracks running down the face, lit on one side.
    Colour crack = sandstone.scaled(0.42f);
    for (int i = 0; i < width * height / 9000 + 1; ++i) {
        int x = dice.range(4, width - 5), y = dice.range(20, std::max(21, height - 40));
        for (int step = 0, length = dice.range(10, 46); step < length && y < height; ++step) {
            putpixel(b, x, y, crack.make());
            if (x + 1 < width) putpixel(b, x + 1, y, sandstone.scaled(1.18f).make());
            y += 1;
            if (dice.next() < 0.35f) x = std::max(1, std::min(width - 2, x + dice.range(-1, 1)));
        }
    }
    // Tufts of dry grass over the top edge.
    Colour blade = dryGrass.scaled(0.9f);
    for (int i = 0; i < width * 2 / 3; ++i) {
        int x = dice.range(0, width - 1);
        line(b, x, 3, x + dice.range(-2, 2), 3 - dice.range(1, 3), blade.scaled(0.8f + dice.next() * 0.4f).make());
    }
    return b;
}

// The abyss under the bridge: both walls falling away into shadow, a river far below.
BITMAP* depth(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour deep{40, 30, 36};
    for (int y = 0; y < height; ++y) {
        float t = static_cast<float>(y) / height;
        int leftWall = 40 + static_cast<int>(t * 150 + noise(0, y, 22, 46) * 26);
        int rightWall = width - 40 - static_cast<int>(t * 130 + noise(9, y, 22, 47) * 26);
        for (int x = 0; x < width; ++x) {
            Colour c;
            if (x < leftWall) {
                c = rockAt(1600 + x, 1160 + y).scaled(0.92f);
            } else if (x > rightWall) {
                c = rockAt(1600 + x, 1160 + y).scaled(0.62f);  // the wall in shade, facing the light
            } else {
                // Air: warm haze near the top, darkness below.
                c = haze.scaled(0.75f).mixed(deep, std::min(1.0f, t * 1.3f));
            }
            c = c.mixed(deep, t * t * 0.85f);
            putpixel(b, x, y, c.make());
        }
    }
    // The river: a pale, broken ribbon along the bottom.
    for (int x = 150; x < width - 150; ++x) {
        int y = height - 24 + static_cast<int>(std::sin(x * 0.03f) * 3);
        Colour water{84, 120, 132};
        hline(b, x, y, x, water.make());
        if (noise(x, 0, 6, 48) > 0.62f) putpixel(b, x, y - 1, Colour{200, 220, 224}.make());
        putpixel(b, x, y + 1, water.scaled(0.7f).make());
    }
    return b;
}

// The bridge's deck: planks laid across two stringers, every plank a little different.
BITMAP* bridgeDeck(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour wood{150, 108, 68};
    Dice dice(49);
    for (int left = 0; left < width; left += 12) {
        float tint = 0.82f + dice.next() * 0.3f;
        int drop = dice.range(0, 1);
        for (int x = left; x < std::min(width, left + 11); ++x) {
            for (int y = drop; y < height - 6; ++y) {
                float shade = tint * (0.9f + noise(x * 3.0f, y * 0.4f, 5, 50) * 0.2f);
                if (y == drop) shade *= 1.3f;
                if (y >= height - 8) shade *= 0.7f;
                putpixel(b, x, y, wood.scaled(shade).make());
            }
        }
        // A nail in each end of the plank.
        putpixel(b, left + 5, drop + 3, makecol(60, 56, 52));
    }
    // The stringer under the planks, darker and in one piece.
    rectfill(b, 0, height - 6, width - 1, height - 1, wood.scaled(0.5f).make());
    hline(b, 0, height - 6, width - 1, wood.scaled(0.35f).make());
    return b;
}

// The rails: posts at both ends and along the way, ropes sagging between them, hangers down to the deck.
BITMAP* bridgeRopes(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour wood{128, 90, 56}, rope{196, 170, 120};
    const int span = 150;
    for (int post = 0; post <= width / span; ++post) {
        int x = std::min(width - 10, post * span);
        bool end = post == 0 || post == width / span;
        int top = end ? 0 : 4;
        rectfill(b, x, top, x + (end ? 9 : 6), height - 1, wood.make());
        vline(b, x, top, height - 1, wood.scaled(1.3f).make());
        vline(b, x + (end ? 9 : 6), top, height - 1, wood.scaled(0.6f).make());
        rectfill(b, x - 1, top, x + (end ? 10 : 7), top + 3, wood.scaled(0.8f).make());
    }
    // One rope from end to end, sagging between the posts; its hangers hold the deck.
    for (int x = 0; x < width; ++x) {
        float sag = std::sin(pi * std::fmod(static_cast<float>(x), span) / span);
        int y = 8 + static_cast<int>(sag * 26 + (x < span || x > width - span ? 0 : 0));
        int y2 = 40 + static_cast<int>(sag * 10);
        for (int t = 0; t < 2; ++t) {
            putpixel(b, x, y + t, rope.scaled(t ? 0.7f : 1.0f).make());
            putpixel(b, x, y2 + t, rope.scaled(t ? 0.65f : 0.9f).make());
        }
        if (x % 25 == 12) vline(b, x, y + 2, height - 1, rope.scaled(0.75f).make());
    }
    return b;
}

// Sandbags in three rows, each bag a lit lump of burlap with a seam.
BITMAP* sandbags(int width, int height) {
    BITMAP* b = blank(width, height);
    Colour burlap{176, 156, 112};
    Dice dice(51);
    int rows = 3, bagHeight = height / rows;
    for (int row = 0; row < rows; ++row) {
        int y = height - bagHeight * (row + 1) + bagHeight / 2;
        for (int x = (row % 2) * 10 + 6; x < width; x += 20) {
            float tint = 0.85f + dice.next() * 0.25f;
            int rx = std::min(12, std::min(x, width - 1 - x)), ry = bagHeight / 2 + 1;
            if (rx < 4) continue;
            ellipsefill(b, x + 1, y + 1, rx, ry, burlap.scaled(0.5f * tint).make());
            ellipsefill(b, x, y, rx, ry, burlap.scaled(tint).make());
            ellipsefill(b, x - rx / 3, y - ry / 3, rx / 2, ry / 2, burlap.scaled(1.15f * tint).make());
            vline(b, x + rx - 3, y - ry + 2, y + ry - 2, burlap.scaled(0.6f).make());
        }
    }
    // The bottom row rests flat on the ground: the piece is solid to its full box.
    for (int x = 2; x < width - 2; ++x) putpixel(b, x, height - 1, burlap.scaled(0.45f).make());
    return b;
}

// The raiders' watch post: a plank hut on stilts with a roof, a ladder and a flagpole.
BITMAP* watchPost() {
    BITMAP* b = blank(160, 300);
    Colour wood{138, 96, 60};
    int dark = wood.scaled(0.55f).make();
    for (int leg : {22, 128}) {
        rectfill(b, leg, 130, leg + 9, 299, wood.make());
        vline(b, leg, 130, 299, wood.scaled(1.25f).make());
        vline(b, leg + 9, 130, 299, dark);
    }
    for (int t = 0; t < 4; ++t) {
        line(b, 31, 150 + t, 128, 290 + t, wood.scaled(0.8f).make());
        line(b, 128, 150 + t, 31, 290 + t, wood.scaled(0.7f).make());
    }
    // A ladder up the front leg.
    for (int x : {56, 74}) vline(b, x, 132, 299, wood.scaled(0.9f).make());
    for (int y = 140; y < 298; y += 14) hline(b, 56, y, 74, wood.scaled(1.1f).make());
    // The hut: planks, a dark window slot, a roof of boards.
    for (int x = 12; x < 148; x += 8) {
        rectfill(b, x, 78, x + 7, 134, wood.scaled(0.85f + 0.1f * ((x / 8) % 3)).make());
        vline(b, x + 7, 78, 134, dark);
    }
    rectfill(b, 28, 92, 132, 106, makecol(40, 30, 28));
    rectfill(b, 6, 130, 154, 137, wood.scaled(1.1f).make());
    triangle(b, 0, 80, 159, 80, 80, 44, makecol(112, 70, 50));
    line(b, 0, 80, 80, 44, makecol(160, 104, 74));
    rectfill(b, 0, 76, 159, 81, makecol(86, 54, 40));
    // The pole: the cloth hangs from its top (the level hangs it there).
    rectfill(b, 146, 0, 149, 80, makecol(90, 92, 98));
    vline(b, 147, 0, 80, makecol(170, 172, 180));
    circlefill(b, 147, 2, 3, makecol(220, 180, 60));
    return b;
}

// Far canyon walls: a hazy row of mesas and a warmer, nearer one, both flat-topped with
// sheer striped faces. The ends join up when pictures stand side by side.
BITMAP* canyon(int width, int height) {
    BITMAP* b = blank(width, height);
    struct Row { float base, rise; Colour colour; int seed; };
    const Row rows[] = {{0.30f, 0.22f, Colour{206, 170, 168}, 52}, {0.55f, 0.25f, Colour{198, 130, 98}, 53}};
    for (const Row& row : rows) {
        // Mesas: a smooth curve cut into a few flat levels, with slopes of scree between them.
        std::vector<float> level(width);
        for (int x = 0; x < width; ++x) {
            float phase = 2 * pi * x / width;
            float shape = std::sin(phase * 2 + row.seed) * 0.6f + std::sin(phase * 5 + row.seed * 2) * 0.4f;
            level[x] = height * (row.base + row.rise * (1 - std::floor((shape + 1) * 1.6f) / 3.2f));
        }
        for (int x = 0; x < width; ++x) {
            float lowest = level[x];
            for (int dx = -40; dx <= 40; ++dx) lowest = std::min(lowest, level[(x + dx + width) % width] + std::abs(dx) * 1.6f);
            int top = static_cast<int>(lowest + noise(x, 0, 8, row.seed) * 4);
            for (int y = top; y < height; ++y) {
                float stripe = std::sin((y + noise(x, y, 50, row.seed) * 20) * 0.2f) * 0.05f;
                // Sunlit slopes face west, shaded ones east.
                float slope = level[x] < lowest - 0.5f ? (level[(x + 1) % width] > level[x] ? 0.88f : 1.06f) : 1.0f;
                Colour c = row.colour.scaled((1.0f + stripe) * slope);
                if (y < top + 2) c = c.scaled(1.1f);
                c = c.mixed(haze, std::min(0.45f, (y - top) / static_cast<float>(height) * 0.6f));
                putpixel(b, x, y, c.make());
            }
        }
    }
    return b;
}

// A pine clinging to the rim, bent by the wind of the gorge.
BITMAP* pine(int seed) {
    BITMAP* b = blank(110, 190);
    Colour bark{96, 66, 46}, needles{64, 104, 62};
    for (int y = 40; y < 190; ++y) {
        float bend = std::sin((190 - y) * 0.012f) * 18;
        int half = 3 + (190 - y) / 40;
        for (int x = -half; x <= half; ++x) {
            putpixel(b, 40 + static_cast<int>(bend) + x, y, bark.scaled(x < 0 ? 1.15f : 0.8f).make());
        }
    }
    Dice dice(seed);
    // Flat tiers of needles, broader below.
    for (int tier = 0; tier < 6; ++tier) {
        int y = 30 + tier * 24;
        int cx = 40 + static_cast<int>(std::sin((190 - y) * 0.012f) * 18) + dice.range(-4, 8);
        int rx = 16 + tier * 6;
        for (int lump = -2; lump <= 2; ++lump) {
            int lx = cx + lump * rx / 3 + dice.range(-3, 3), ly = y + std::abs(lump) * 2 + dice.range(-2, 2);
            ellipsefill(b, lx + 2, ly + 4, rx / 2, 8, needles.scaled(0.55f).make());
        }
        for (int lump = -2; lump <= 2; ++lump) {
            int lx = cx + lump * rx / 3 + dice.range(-3, 3), ly = y + std::abs(lump) * 2 + dice.range(-2, 2);
            ellipsefill(b, lx, ly, rx / 2, 7, needles.make());
            ellipsefill(b, lx - rx / 8, ly - 3, rx / 4, 3, needles.scaled(1.25f).make());
        }
        for (int k = 0; k < rx; ++k) {
            int px = cx + dice.range(-rx, rx), py = y + dice.range(-6, 6);
            if (getpixel(b, px, py) != transparent()) putpixel(b, px, py, needles.scaled(0.75f).make());
        }
    }
    return b;
}

// A low tangle of dry scrub.
BITMAP* scrub(int seed) {
    BITMAP* b = blank(80, 34);
    Dice dice(seed);
    Colour twig{120, 96, 64}, leaf{150, 146, 84};
    for (int i = 0; i < 26; ++i) {
        int x = dice.range(8, 72);
        line(b, 40 + (x - 40) / 4, 33, x, dice.range(4, 24), twig.scaled(0.8f + dice.next() * 0.4f).make());
    }
    for (int i = 0; i < 40; ++i) {
        int x = dice.range(6, 74), y = dice.range(4, 26);
        circlefill(b, x, y, dice.range(1, 3), leaf.scaled(0.75f + dice.next() * 0.45f).make());
    }
    return b;
}

// A few fallen stones.
BITMAP* stones(int seed) {
    BITMAP* b = blank(90, 32);
    Dice dice(seed);
    for (int i = 0; i < 5; ++i) {
        int rx = dice.range(8, 18), ry = dice.range(6, 12);
        int cx = dice.range(rx + 2, 88 - rx), cy = 31 - ry;
        // Broken edges: the outline wanders in and out around the stone.
        for (int y = cy - ry; y <= 31; ++y)
            for (int x = cx - rx; x <= cx + rx; ++x) {
                float dx = (x - cx) / static_cast<float>(rx), dy = (y - cy) / static_cast<float>(ry);
                float edge = 0.8f + 0.2f * std::floor(noise(std::atan2(dy, dx) * 3, 0, 1, seed + i) * 3) / 2;
                if (dx * dx + dy * dy > edge * edge || x < 0 || x >= 90) continue;
                float light = 1.1f - dx * 0.15f - dy * 0.2f;
                putpixel(b, x, y, rockAt(x * 3 + i * 50, y * 3).scaled(light * (dy > 0.55f ? 0.7f : 1.0f)).make());
            }
    }
    return b;
}

// The level as the level select menu shows it: the bridge over the gorge, the raiders'
// nests on the stepped far side under their watch post, and a grenade's arc up to them.
BITMAP* preview() {
    const int w = 200, h = 120;
    BITMAP* b = create_bitmap(w, h);
    for (int y = 0; y < h; ++y) hline(b, 0, y, w - 1, sky.mixed(Colour{236, 214, 180}, y / 120.0f).make());
    circlefill(b, 38, 26, 9, Colour{255, 246, 214}.make());
    // Far mesas.
    for (int x = 0; x < w; ++x) {
        float shape = std::floor((std::sin(x * 0.05f) * 0.6f + std::sin(x * 0.13f + 1) * 0.4f + 1) * 2.5f) / 5.0f;
        int top = 44 + static_cast<int>((1 - shape) * 14);
        vline(b, x, top, h - 1, Colour{206, 170, 168}.mixed(haze, 0.3f).make());
    }
    // The near rim, the gorge and the far steps.
    auto block = [&](int x1, int top, int x2) {
        for (int x = x1; x <= x2; ++x)
            for (int y = top; y < h; ++y) {
                Colour c = rockAt(x * 8, y * 8 + 200).scaled(x == x2 ? 0.7f : 1.0f);
                putpixel(b, x, y, (y < top + 2 ? dryGrass : c).make());
            }
    };
    for (int x = 62; x < 104; ++x)
        for (int y = 92; y < h; ++y)
            putpixel(b, x, y, haze.scaled(0.7f).mixed(Colour{40, 30, 36}, (y - 92) / 28.0f).make());
    block(0, 92, 61);
    block(104, 92, 133);
    block(134, 72, 165);
    block(166, 54, 199);
    // The bridge and its sagging rope.
    Colour wood{150, 108, 68};
    rectfill(b, 62, 92, 103, 94, wood.make());
    for (int x = 62; x <= 103; ++x) putpixel(b, x, 85 + static_cast<int>(std::sin(pi * (x - 62) / 41.0f) * 4), makecol(196, 170, 120));
    rectfill(b, 61, 82, 62, 92, wood.scaled(0.7f).make());
    rectfill(b, 103, 82, 104, 92, wood.scaled(0.7f).make());
    // Sandbags on each rim, the watch post with the raiders' cloth.
    for (int x : {134, 166}) {
        int top = x == 134 ? 72 : 54;
        for (int k = 0; k < 3; ++k) ellipsefill(b, x + 3 + k * 4, top - 2, 3, 2, Colour{176, 156, 112}.scaled(0.9f + k * 0.05f).make());
    }
    rectfill(b, 178, 26, 194, 38, wood.scaled(0.85f).make());
    rectfill(b, 180, 29, 192, 32, makecol(40, 30, 28));
    triangle(b, 175, 27, 197, 27, 186, 19, makecol(112, 70, 50));
    vline(b, 180, 38, 53, wood.scaled(0.7f).make());
    vline(b, 192, 38, 53, wood.scaled(0.7f).make());
    vline(b, 196, 6, 27, makecol(90, 92, 98));
    rectfill(b, 184, 7, 195, 14, makecol(196, 40, 40));
    // The scout on the bridge and the dotted arc of his grenade onto the first nest.
    rectfill(b, 78, 82, 81, 91, makecol(60, 150, 70));
    circlefill(b, 79, 80, 2, makecol(230, 190, 150));
    for (int i = 0; i < 14; ++i) {
        float t = i / 13.0f;
        int x = 82 + static_cast<int>(t * 58), y = 80 - static_cast<int>(std::sin(pi * t * 0.8f) * 30 - t * -12);
        putpixel(b, x, y, makecol(40, 36, 40));
        putpixel(b, x + 1, y, makecol(40, 36, 40));
    }
    circlefill(b, 141, 66, 2, makecol(30, 30, 30));
    rect(b, 0, 0, w - 1, h - 1, makecol(60, 44, 36));
    return b;
}

}  // namespace

namespace Art {

void drawGorgeArt(const std::string& dataDirectory) {
    std::string folder = dataDirectory + "/image/object/";
    AssetWriter::makeDirectories(folder);
    // Solid pieces, drawn where map/gorge.map places them so that neighbours join up: the near
    // rim, the far floor, the narrow boards of each nest's two riflemen (a raider on a board that
    // narrow stands his ground; the second a jump's width back, where the scout can face him) and the two steps of the high ground. The far floor and the first step
    // end in pieces of their own, so that raiders below never wander under the next nest, out
    // of the scout's sight from above.
    save(rock(1600, 240, 0, 1160, 61, false, true), folder + "gorge_rim.bmp");
    save(rock(560, 240, 2200, 1160, 62, true, false), folder + "gorge_floor.bmp");
    save(rock(240, 240, 2760, 1160, 72, false, false), folder + "gorge_floor_end.bmp");
    save(rock(80, 400, 3000, 1000, 63, true, false), folder + "gorge_nest_low.bmp");
    save(rock(160, 400, 3080, 1000, 64, false, false), folder + "gorge_ledge_low.bmp");
    save(rock(80, 400, 3240, 1000, 74, false, false), folder + "gorge_nest_low2.bmp");
    save(rock(940, 400, 3320, 1000, 65, false, false), folder + "gorge_step.bmp");
    save(rock(300, 400, 4260, 1000, 73, false, false), folder + "gorge_step_end.bmp");
    save(rock(80, 540, 4560, 860, 66, true, false), folder + "gorge_nest_high.bmp");
    save(rock(160, 540, 4640, 860, 67, false, false), folder + "gorge_ledge_high.bmp");
    save(rock(80, 540, 4800, 860, 75, false, false), folder + "gorge_nest_high2.bmp");
    save(rock(320, 540, 4880, 860, 68, false, false), folder + "gorge_top.bmp");
    // The gorge's walls at both ends of the map.
    save(rock(80, 540, 0, 620, 76, false, true), folder + "gorge_pillar.bmp");
    save(bridgeDeck(600, 22), folder + "bridge_timber.bmp");
    save(sandbags(44, 30), folder + "sandbags.bmp");
    // Decoration.
    save(depth(600, 240), folder + "gorge_depth.bmp");
    save(bridgeRopes(600, 64), folder + "bridge_ropes.bmp");
    save(watchPost(), folder + "watchpost.bmp");
    save(canyon(1300, 520), folder + "canyon.bmp");
    save(pine(69), folder + "pine.bmp");
    save(scrub(70), folder + "scrub.bmp");
    save(stones(71), folder + "stones.bmp");
    std::string gui = dataDirectory + "/image/gui/";
    AssetWriter::makeDirectories(gui);
    save(preview(), gui + "level_gorge.bmp");
}

}  // namespace Art
