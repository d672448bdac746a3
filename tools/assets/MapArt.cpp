// The map pieces: textured ground with grass, a rocky cliff, stone and steel
// platforms, brick walls, crates, and the decoration that dresses the valley
// (hills, clouds, trees, bushes, lamps, a fence, flowers, a sign, a boulder),
// and the first level's mountains, raider camp and watchtower.
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

// A filled ellipse lit from the upper left: highlight, body, shadow.
void litBlob(BITMAP* b, int cx, int cy, int rx, int ry, const Colour& body) {
    ellipsefill(b, cx + 1, cy + 1, rx, ry, body.scaled(0.62f).make());
    ellipsefill(b, cx, cy, rx, ry, body.make());
    if (rx > 3 && ry > 3) ellipsefill(b, cx - rx / 3, cy - ry / 3, rx / 2, ry / 2, body.scaled(1.18f).make());
}

// Blades of grass rising from baseline over the width of the picture.
void grassBlades(BITMAP* b, int baseline, int tallest, int seed, float density) {
    Dice dice(seed);
    Colour light{126, 196, 84}, dark{56, 124, 42};
    int count = static_cast<int>(b->w * density);
    for (int i = 0; i < count; ++i) {
        int x = dice.range(0, b->w - 1);
        int height = dice.range(2, tallest);
        int lean = dice.range(-2, 2);
        Colour c = dark.mixed(light, dice.next());
        line(b, x, baseline, x + lean, baseline - height, c.make());
    }
}

// Earth under a band of grass: the top surface of every ground piece.
void earthWithGrass(BITMAP* b, int grassTop, int seed, const Colour& soilTop, const Colour& soilBottom) {
    Colour grassLight{118, 186, 74}, grassDark{62, 130, 46};
    for (int x = 0; x < b->w; ++x) {
        // The grass band ends in a soft, uneven edge.
        int grassBottom = grassTop + 10 + static_cast<int>(noise(x, 0, 9, seed) * 8);
        for (int y = grassTop; y < b->h; ++y) {
            Colour c;
            if (y < grassBottom) {
                float t = static_cast<float>(y - grassTop) / (grassBottom - grassTop);
                c = grassLight.mixed(grassDark, t * 0.8f + noise(x, y, 4, seed + 1) * 0.3f);
                if (y < grassTop + 2) c = c.scaled(1.12f);
            } else {
                float depth = static_cast<float>(y - grassBottom) / std::max(1, b->h - grassBottom);
                c = soilTop.mixed(soilBottom, depth);
                // Strata: gently wavy bands of lighter and darker earth.
                float band = std::sin((y + noise(x, y, 40, seed + 2) * 30) * 0.11f);
                c = c.scaled(0.93f + band * 0.05f + layered(x, y, 24, seed + 3) * 0.16f);
                if (y < grassBottom + 3) c = c.scaled(0.7f);  // shadow under the turf
            }
            putpixel(b, x, y, c.make());
        }
    }
    Dice dice(seed + 7);
    // Pebbles and stones set in the earth.
    int stones = b->w * b->h / 900;
    for (int i = 0; i < stones; ++i) {
        int x = dice.range(4, b->w - 5), y = dice.range(grassTop + 26, b->h - 4);
        int rx = dice.range(2, 7), ry = std::max(2, rx - dice.range(0, 3));
        float grey = 0.75f + dice.next() * 0.4f;
        litBlob(b, x, y, rx, ry, Colour{128 * grey, 118 * grey, 104 * grey});
    }
    // A few roots hang down from the turf.
    for (int i = 0; i < b->w / 40; ++i) {
        int x = dice.range(4, b->w - 5), y = grassTop + 20;
        for (int step = 0; step < dice.range(6, 16); ++step) {
            putpixel(b, x, y, soilTop.scaled(0.5f).make());
            y += 1;
            x += dice.range(-1, 1);
        }
    }
    grassBlades(b, grassTop + 2, grassTop + 1, seed + 9, 1.6f);
}

BITMAP* ground(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    earthWithGrass(b, 8, seed, Colour{132, 94, 60}, Colour{74, 50, 36});
    return b;
}

// A grassy cliff: turf on top, then layered rock with cracks.
BITMAP* cliff(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    earthWithGrass(b, 8, seed, Colour{120, 100, 80}, Colour{90, 80, 74});
    Colour rock{132, 124, 116};
    for (int y = 40; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float ledge = std::fmod(y + noise(x, 0, 60, seed + 20) * 24, 46.0f);
            float shade = 0.78f + layered(x, y, 30, seed + 21) * 0.3f;
            if (ledge < 3) shade *= 1.2f;          // the lit top of a rock layer
            else if (ledge > 42) shade *= 0.72f;   // the shadow under it
            Colour c = rock.scaled(shade);
            if (y < 60) c = c.mixed(Colour{120, 100, 80}, (60 - y) / 20.0f);
            putpixel(b, x, y, c.make());
        }
    }
    Dice dice(seed + 30);
    for (int i = 0; i < width / 30; ++i) {
        int x = dice.range(5, width - 6), y = dice.range(50, height - 40);
        for (int step = 0; step < dice.range(12, 40); ++step) {
            putpixel(b, x, y, rock.scaled(0.45f).make());
            putpixel(b, x + 1, y, rock.scaled(1.15f).make());
            y += 1;
            if (dice.next() < 0.3f) x += dice.range(-1, 1);
        }
    }
    return b;
}

// A slab of cut stone blocks with moss along its top.
BITMAP* stonePlatform(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Colour stone{150, 146, 138};
    Dice dice(seed);
    int blockWidth = 60;
    for (int left = 0; left < width; left += blockWidth) {
        float tint = 0.9f + dice.next() * 0.18f;
        for (int y = 0; y < height; ++y) {
            for (int x = left; x < std::min(width, left + blockWidth); ++x) {
                float shade = tint * (0.86f + layered(x, y, 10, seed + 1) * 0.24f);
                if (y < 3) shade *= 1.25f;
                if (y >= height - 3) shade *= 0.6f;
                if (x == left || x == left + 1) shade *= 1.12f;
                if (x == left + blockWidth - 1) shade *= 0.55f;
                putpixel(b, x, y, stone.scaled(shade).make());
            }
        }
    }
    // Moss creeps over the top edge and drips down the face here and there.
    Colour moss{84, 140, 60};
    for (int x = 0; x < width; ++x) {
        float amount = noise(x, 0, 14, seed + 2);
        if (amount < 0.45f) continue;
        int depth = static_cast<int>((amount - 0.45f) * 14);
        for (int y = 0; y <= depth; ++y) putpixel(b, x, y, moss.scaled(1.15f - y * 0.05f).make());
    }
    // Chipped corners.
    for (int i = 0; i < 3; ++i) {
        putpixel(b, i, 0, transparent());
        putpixel(b, width - 1 - i, 0, transparent());
        putpixel(b, 0, i, transparent());
        putpixel(b, width - 1, i, transparent());
    }
    return b;
}

// A riveted steel girder with a see-through truss.
BITMAP* steelGirder(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Colour steel{100, 116, 132};
    int flange = 5;
    auto rivetRow = [&](int y) {
        for (int x = 6; x < width - 3; x += 14) {
            circlefill(b, x, y, 1, steel.scaled(1.6f).make());
            putpixel(b, x + 1, y + 1, steel.scaled(0.5f).make());
        }
    };
    for (int y = 0; y < height; ++y) {
        bool top = y < flange, bottom = y >= height - flange;
        if (!top && !bottom) continue;
        float shade = top ? (y == 0 ? 1.5f : y == flange - 1 ? 0.7f : 1.1f) : (y == height - flange ? 1.2f : 0.8f);
        for (int x = 0; x < width; ++x) {
            float grain = 0.92f + noise(x, y, 6, seed) * 0.14f;
            putpixel(b, x, y, steel.scaled(shade * grain).make());
        }
    }
    // Diagonals between the flanges, alternating, like a bridge truss.
    int span = height - 2 * flange;
    for (int x = 0; x + span <= width; x += span) {
        bool rising = (x / span) % 2 == 0;
        for (int offset = -1; offset <= 1; ++offset) {
            Colour c = steel.scaled(offset == -1 ? 1.35f : offset == 1 ? 0.65f : 1.0f);
            if (rising) line(b, x + offset, flange + span - 1, x + span - 1 + offset, flange, c.make());
            else line(b, x + offset, flange, x + span - 1 + offset, flange + span - 1, c.make());
        }
        vline(b, x, flange, flange + span - 1, steel.scaled(0.8f).make());
    }
    vline(b, width - 1, flange, flange + span - 1, steel.scaled(0.8f).make());
    rivetRow(2);
    rivetRow(height - 3);
    // Rust blooms.
    Dice dice(seed + 1);
    for (int i = 0; i < width / 40; ++i) {
        int x = dice.range(3, width - 4), y = dice.next() < 0.5f ? 2 : height - 3;
        circlefill(b, x, y, dice.range(1, 2), makecol(146, 84, 48));
    }
    return b;
}

// Bricks in running bond under a stone cap.
BITMAP* brickWall(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Colour mortar{178, 170, 156}, brick{156, 76, 56}, cap{160, 158, 150};
    clear_to_color(b, mortar.make());
    Dice dice(seed);
    int capHeight = 8, brickWidth = 22, brickHeight = 11;
    for (int row = 0; capHeight + row * (brickHeight + 1) < height; ++row) {
        int top = capHeight + row * (brickHeight + 1);
        int shift = (row % 2) ? -brickWidth / 2 : 0;
        for (int left = shift; left < width; left += brickWidth + 1) {
            float tint = 0.82f + dice.next() * 0.3f;
            int x1 = std::max(0, left), x2 = std::min(width - 1, left + brickWidth - 1);
            int y2 = std::min(height - 1, top + brickHeight - 1);
            for (int y = top; y <= y2; ++y) {
                for (int x = x1; x <= x2; ++x) {
                    float shade = tint * (0.9f + noise(x, y, 3, seed + 1) * 0.18f);
                    if (y == top) shade *= 1.18f;
                    if (y == y2) shade *= 0.75f;
                    putpixel(b, x, y, brick.scaled(shade).make());
                }
            }
        }
    }
    // Light from the left, shade on the right side of the wall.
    for (int y = capHeight; y < height; ++y) {
        putpixel(b, 0, y, brick.scaled(1.3f).make());
        putpixel(b, width - 1, y, brick.scaled(0.45f).make());
        putpixel(b, width - 2, y, brick.scaled(0.7f).make());
    }
    for (int y = 0; y < capHeight; ++y) {
        float shade = y < 2 ? 1.25f : y == capHeight - 1 ? 0.55f : 1.0f;
        hline(b, 0, y, width - 1, cap.scaled(shade).make());
    }
    return b;
}

// A wooden crate: a frame of planks, boards inside, a diagonal brace and nails.
BITMAP* crate(int size, int seed) {
    BITMAP* b = blank(size, size);
    Colour wood{186, 136, 78};
    int frame = std::max(4, size / 10);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            bool onFrame = x < frame || y < frame || x >= size - frame || y >= size - frame;
            float grain = 0.88f + noise(x * 0.3f, y * 3.0f, 4, seed) * 0.2f;
            float shade = onFrame ? 1.08f : 0.86f;
            if (!onFrame && (y - frame) % (size / 4) == 0) shade = 0.55f;  // gaps between boards
            putpixel(b, x, y, wood.scaled(shade * grain).make());
        }
    }
    // The brace, from the lower left to the upper right.
    for (int offset = -frame / 2; offset <= frame / 2; ++offset) {
        float shade = offset == -frame / 2 ? 1.2f : offset == frame / 2 ? 0.7f : 1.05f;
        line(b, frame, size - frame - 1 + offset, size - frame - 1, frame + offset, wood.scaled(shade).make());
    }
    rect(b, 0, 0, size - 1, size - 1, wood.scaled(0.4f).make());
    rect(b, frame - 1, frame - 1, size - frame, size - frame, wood.scaled(0.55f).make());
    hline(b, 1, 1, size - 2, wood.scaled(1.3f).make());
    int nail = frame / 2;
    for (int x : {nail, size - 1 - nail})
        for (int y : {nail, size - 1 - nail}) {
            putpixel(b, x, y, makecol(70, 70, 74));
            putpixel(b, x - 1, y - 1, makecol(190, 190, 196));
        }
    return b;
}

// Leaves in clusters, dark underneath and lit on top.
void foliage(BITMAP* b, int cx, int cy, int rx, int ry, int clusters, int seed, const Colour& leaf) {
    Dice dice(seed);
    struct Blob { int x, y, r; };
    std::vector<Blob> blobs;
    for (int i = 0; i < clusters; ++i) {
        float angle = dice.next() * 2 * pi, distance = std::sqrt(dice.next());
        blobs.push_back(Blob{cx + static_cast<int>(std::cos(angle) * rx * distance),
                             cy + static_cast<int>(std::sin(angle) * ry * distance), dice.range(rx / 4, rx / 2)});
    }
    for (const Blob& blob : blobs) circlefill(b, blob.x + 2, blob.y + 3, blob.r, leaf.scaled(0.55f).make());
    for (const Blob& blob : blobs) circlefill(b, blob.x, blob.y, blob.r, leaf.make());
    for (const Blob& blob : blobs)
        circlefill(b, blob.x - blob.r / 3, blob.y - blob.r / 3, blob.r / 2, leaf.scaled(1.2f).make());
    // Speckles of light and shadow so the leaves do not look flat.
    for (int i = 0; i < rx * ry / 6; ++i) {
        int x = cx + dice.range(-rx, rx), y = cy + dice.range(-ry, ry);
        if (x < 0 || y < 0 || x >= b->w || y >= b->h || getpixel(b, x, y) == transparent()) continue;
        putpixel(b, x, y, leaf.scaled(dice.next() < 0.5f ? 1.35f : 0.7f).make());
    }
}

BITMAP* tree(int seed) {
    BITMAP* b = blank(180, 280);
    Colour bark{104, 72, 48};
    // A trunk that tapers upward, with bark lines, and two branches.
    for (int y = 110; y < 280; ++y) {
        float half = 9 + (y - 110) * 0.045f + (y > 262 ? (y - 262) * 0.8f : 0);
        for (int x = static_cast<int>(90 - half); x <= static_cast<int>(90 + half); ++x) {
            float across = (x - (90 - half)) / (2 * half);
            float shade = 1.15f - across * 0.6f;
            if (noise(x * 2.0f, y * 0.25f, 3, seed) > 0.72f) shade *= 0.7f;
            putpixel(b, x, y, bark.scaled(shade).make());
        }
    }
    for (int t = 0; t < 3; ++t) {
        line(b, 90 + t, 170, 130 + t, 120, bark.scaled(0.9f).make());
        line(b, 89 - t, 190, 52 - t, 140, bark.scaled(1.0f).make());
    }
    foliage(b, 90, 95, 78, 80, 26, seed + 1, Colour{70, 138, 58});
    foliage(b, 60, 118, 34, 26, 8, seed + 2, Colour{78, 148, 62});
    foliage(b, 128, 112, 34, 28, 8, seed + 3, Colour{66, 130, 56});
    return b;
}

BITMAP* bush(int seed) {
    BITMAP* b = blank(110, 56);
    foliage(b, 55, 34, 44, 18, 14, seed, Colour{74, 142, 64});
    Dice dice(seed + 5);
    for (int i = 0; i < 9; ++i) {
        int x = dice.range(18, 92), y = dice.range(22, 46);
        if (getpixel(b, x, y) == transparent()) continue;
        circlefill(b, x, y, 2, makecol(200, 50, 70));
        putpixel(b, x - 1, y - 1, makecol(250, 160, 170));
    }
    return b;
}

// A street lamp of dark iron with a warm lantern.
BITMAP* lamp() {
    BITMAP* b = blank(40, 170);
    int iron = makecol(46, 50, 58), ironLight = makecol(96, 104, 118);
    rectfill(b, 12, 158, 27, 169, iron);  // foot
    hline(b, 12, 158, 27, ironLight);
    rectfill(b, 17, 40, 22, 158, iron);   // pole
    vline(b, 18, 40, 157, ironLight);
    rectfill(b, 14, 120, 25, 124, iron);  // collar
    // The lantern: a cap, glass glowing from a hot centre, a base.
    triangle(b, 8, 14, 31, 14, 20, 2, iron);
    hline(b, 8, 14, 31, ironLight);
    for (int y = 15; y < 36; ++y) {
        for (int x = 10; x <= 29; ++x) {
            float dx = (x - 19.5f) / 10, dy = (y - 24.0f) / 12;
            float heat = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
            putpixel(b, x, y, Colour{236, 180, 88}.mixed(Colour{255, 248, 210}, heat).make());
        }
    }
    vline(b, 10, 15, 35, iron);
    vline(b, 29, 15, 35, iron);
    vline(b, 19, 15, 35, makecol(150, 110, 60));
    rectfill(b, 9, 36, 30, 39, iron);
    // Rays of light around the lantern.
    int glow = makecol(255, 236, 160);
    for (int ray = 0; ray < 8; ++ray) {
        float angle = ray * pi / 4 + pi / 8;
        int x1 = 20 + static_cast<int>(std::cos(angle) * 15), y1 = 25 + static_cast<int>(std::sin(angle) * 15);
        int x2 = 20 + static_cast<int>(std::cos(angle) * 19), y2 = 25 + static_cast<int>(std::sin(angle) * 19);
        if (y2 < 40) line(b, x1, y1, x2, y2, glow);
    }
    return b;
}

BITMAP* flowers(int seed) {
    BITMAP* b = blank(72, 28);
    Dice dice(seed);
    const Colour petals[] = {{230, 60, 70}, {250, 210, 60}, {245, 245, 250}, {160, 90, 210}};
    for (int i = 0; i < 9; ++i) {
        int x = dice.range(5, 66), top = dice.range(4, 14);
        line(b, x, 27, x + dice.range(-2, 2), top, makecol(60, 130, 50));
        const Colour& petal = petals[dice.range(0, 3)];
        for (int k = 0; k < 5; ++k) {
            float angle = k * 2 * pi / 5;
            circlefill(b, x + static_cast<int>(std::cos(angle) * 3), top + static_cast<int>(std::sin(angle) * 3), 2,
                       petal.make());
        }
        circlefill(b, x, top, 1, makecol(240, 170, 40));
    }
    grassBlades(b, 27, 8, seed + 1, 1.0f);
    return b;
}

BITMAP* grassTuft(int seed) {
    BITMAP* b = blank(48, 22);
    grassBlades(b, 21, 18, seed, 2.5f);
    return b;
}

// A fence of pointed posts and two rails.
BITMAP* fence() {
    BITMAP* b = blank(160, 56);
    Colour wood{170, 128, 84};
    for (int y : {18, 38}) {
        rectfill(b, 0, y, 159, y + 5, wood.scaled(0.92f).make());
        hline(b, 0, y, 159, wood.scaled(1.2f).make());
        hline(b, 0, y + 5, 159, wood.scaled(0.6f).make());
    }
    for (int x = 6; x < 160; x += 38) {
        rectfill(b, x, 8, x + 9, 55, wood.make());
        triangle(b, x, 8, x + 9, 8, x + 4, 1, wood.make());
        vline(b, x, 6, 55, wood.scaled(1.25f).make());
        vline(b, x + 9, 8, 55, wood.scaled(0.6f).make());
        for (int y = 12; y < 54; y += 7) putpixel(b, x + 3 + (y % 3), y, wood.scaled(0.7f).make());
    }
    return b;
}

BITMAP* cloud(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Dice dice(seed);
    Colour shadow{206, 218, 236}, body{246, 249, 255};
    struct Puff { int x, y, r; };
    std::vector<Puff> puffs;
    for (int i = 0; i < 9; ++i) {
        int r = dice.range(height / 5, height / 3);
        int x = dice.range(r + 4, width - r - 5);
        int y = height - r - 4 - static_cast<int>(dice.next() * (height * 0.35f) *
                                                   std::sin(pi * (x - r) / std::max(1, width - 2 * r)));
        puffs.push_back(Puff{x, y, r});
    }
    for (const Puff& p : puffs) circlefill(b, p.x, p.y + 3, p.r, shadow.make());
    for (const Puff& p : puffs) circlefill(b, p.x, p.y, p.r - 2, body.make());
    rectfill(b, 0, height - 3, width - 1, height - 1, transparent());
    return b;
}

// Two rows of distant hills: a hazy far ridge and a greener near one.
// The ridges are shaped within the top `ridgeBand` pixels; below them the near
// hills fill the picture down to its bottom, behind the pits of the map.
BITMAP* hills(int width, int height, int ridgeBand, int seed) {
    BITMAP* b = blank(width, height);
    Colour far{132, 164, 190}, near{96, 140, 120};
    std::vector<int> nearTop(width);
    for (int x = 0; x < width; ++x) {
        // Both ridges start and end at the same height so pictures side by side join up.
        float phase = 2 * pi * x / width;
        float farRidge = ridgeBand * (0.28f + 0.12f * std::sin(phase * 2 + 1.0f) + 0.06f * std::sin(phase * 5)) +
                         noise(x, 0, 30, seed) * 10;
        float nearRidge = ridgeBand * (0.55f + 0.1f * std::sin(phase * 3 + 2.0f) + 0.05f * std::sin(phase * 7)) +
                          noise(x, 0, 20, seed + 1) * 8;
        nearTop[x] = static_cast<int>(nearRidge);
        for (int y = static_cast<int>(farRidge); y < height; ++y) {
            bool isNear = y >= nearRidge;
            Colour c = isNear ? near : far;
            float depth = std::min(1.0f, isNear ? (y - nearRidge) / ridgeBand : (y - farRidge) / ridgeBand);
            c = c.scaled(1.0f - depth * 0.25f + (noise(x, y, 12, seed + 2) - 0.5f) * 0.06f);
            if (isNear && y < nearRidge + 2) c = c.scaled(1.15f);
            if (!isNear && y < farRidge + 2) c = c.scaled(1.08f);
            putpixel(b, x, y, c.make());
        }
    }
    // Small dark trees along the near ridge.
    Dice dice(seed + 3);
    for (int i = 0; i < width / 45; ++i) {
        int x = dice.range(8, width - 9);
        int size = dice.range(6, 11);
        int ridge = nearTop[x] + 3;
        triangle(b, x - size / 2, ridge, x + size / 2, ridge, x, ridge - size * 2, near.scaled(0.72f).make());
    }
    return b;
}

// A pit in the ground: jagged rock sides and darkness below.
BITMAP* chasm(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Colour rock{96, 86, 80}, deep{12, 10, 14}, dim{58, 50, 52};
    for (int y = 0; y < height; ++y) {
        float depth = static_cast<float>(y) / height;
        int leftWall = 8 + static_cast<int>(noise(0, y, 14, seed) * 22 + depth * 20);
        int rightWall = width - 9 - static_cast<int>(noise(5, y, 14, seed + 1) * 22 + depth * 20);
        for (int x = 0; x < width; ++x) {
            Colour c;
            if (x < leftWall || x > rightWall) {
                c = rock.scaled((x < leftWall ? 0.95f : 0.6f) * (0.85f + layered(x, y, 8, seed + 2) * 0.3f));
                c = c.mixed(deep, depth * 0.8f);
            } else {
                c = dim.mixed(deep, std::sqrt(depth));
            }
            putpixel(b, x, y, c.make());
        }
    }
    return b;
}

// A pale afternoon sun with a soft halo.
BITMAP* sun() {
    BITMAP* b = blank(120, 120);
    Colour sky{142, 192, 232}, glow{255, 250, 220};
    for (int radius = 58; radius > 26; radius -= 2) {
        float t = (58.0f - radius) / 32.0f;
        circlefill(b, 60, 60, radius, sky.mixed(glow, t * t * 0.7f).make());
    }
    circlefill(b, 60, 60, 26, glow.make());
    circlefill(b, 54, 54, 12, Colour{255, 255, 244}.make());
    return b;
}

BITMAP* sign() {
    BITMAP* b = blank(64, 84);
    Colour wood{164, 118, 74};
    rectfill(b, 28, 20, 35, 83, wood.scaled(0.85f).make());
    vline(b, 28, 20, 83, wood.scaled(1.2f).make());
    // The board points right, toward the way on.
    int points[] = {4, 8, 48, 8, 60, 22, 48, 36, 4, 36};
    polygon(b, 5, points, wood.make());
    hline(b, 4, 8, 48, wood.scaled(1.3f).make());
    hline(b, 4, 36, 48, wood.scaled(0.55f).make());
    for (int y = 14; y < 34; y += 6) hline(b, 6, y, 46, wood.scaled(0.8f).make());
    int paint = makecol(250, 244, 220);
    rectfill(b, 12, 20, 36, 23, paint);
    triangle(b, 36, 15, 36, 28, 46, 21, paint);
    return b;
}

BITMAP* boulder(int seed) {
    BITMAP* b = blank(96, 52);
    Colour rock{136, 132, 126};
    for (int y = 0; y < 52; ++y) {
        for (int x = 0; x < 96; ++x) {
            float dx = (x - 48) / 46.0f, dy = (y - 50) / 48.0f;
            float edge = 1.0f - 0.12f * noise(std::atan2(dy, dx) * 20, 0, 3, seed);
            if (dx * dx + dy * dy > edge * edge || y > 49) continue;
            float light = 1.15f - (dx + 1) * 0.18f - (y / 52.0f) * 0.3f;
            putpixel(b, x, y, rock.scaled(light * (0.9f + layered(x, y, 8, seed + 1) * 0.2f)).make());
        }
    }
    // Moss on the crown.
    for (int x = 20; x < 70; ++x) {
        for (int y = 0; y < 52; ++y) {
            if (getpixel(b, x, y) == transparent()) continue;
            if (noise(x, 0, 10, seed + 2) > 0.5f)
                for (int k = 0; k < 3; ++k) putpixel(b, x, y + k, makecol(96, 144, 70));
            break;
        }
    }
    return b;
}

// A far mountain range with snow on the peaks, paler than the hills in front
// of it so the fighters stand out. Ends join up side by side, like the hills.
BITMAP* mountains(int width, int height, int seed) {
    BITMAP* b = blank(width, height);
    Colour rock{150, 168, 196}, snow{240, 244, 250}, haze{170, 200, 228};
    std::vector<float> top(width);
    for (int x = 0; x < width; ++x) {
        float phase = 2 * pi * x / width;
        // Sharp peaks: the folded sine makes ridges with pointed tops.
        float ridge = 1.0f - std::fabs(std::sin(phase * 2.5f + 0.4f));
        top[x] = std::max(2.0f, height * (0.62f - 0.42f * ridge - 0.1f * std::sin(phase * 7 + 1.3f)) +
                                    (noise(x, 0, 18, seed) - 0.5f) * 26);
    }
    for (int x = 0; x < width; ++x) {
        // Light comes from the left: slopes rising to the right are lit, the others in shade.
        float rise = top[std::max(0, x - 3)] - top[std::min(width - 1, x + 3)];
        float light = std::max(0.78f, std::min(1.12f, 0.95f + rise * 0.03f));
        float snowLine = height * 0.34f + noise(x, 0, 9, seed + 1) * 30;
        for (int y = static_cast<int>(top[x]); y < height; ++y) {
            Colour c = y < snowLine ? snow : rock.scaled(0.94f + (noise(x, y, 16, seed + 2) - 0.5f) * 0.1f);
            // The light tells the faces apart near the crest and fades into the haze below.
            c = c.scaled(1.0f + (light - 1.0f) * std::max(0.0f, 1.0f - (y - top[x]) / 140.0f));
            // Haze thickens toward the foot of the range.
            c = c.mixed(haze, std::min(0.6f, (y - top[x]) / height * 0.9f));
            putpixel(b, x, y, c.make());
        }
    }
    return b;
}

// A raider tent of striped canvas with a dark doorway, guy ropes and pegs.
BITMAP* tent() {
    BITMAP* b = blank(170, 110);
    Colour canvas{176, 72, 56}, stripe{220, 196, 150};
    for (int y = 12; y < 108; ++y) {
        float t = (y - 12) / 96.0f;
        int half = static_cast<int>(10 + t * 64);
        for (int x = 85 - half; x <= 85 + half; ++x) {
            bool striped = ((x - 85 + 200) / 14) % 2 == 0;
            Colour c = striped ? canvas : stripe.mixed(canvas, 0.25f);
            if (x > 85) c = c.scaled(0.82f);  // the shaded side
            putpixel(b, x, y, c.make());
        }
    }
    triangle(b, 85, 44, 66, 107, 104, 107, makecol(40, 26, 24));  // doorway
    line(b, 85, 44, 72, 107, makecol(150, 60, 48));                // a flap pinned back
    vline(b, 85, 2, 14, makecol(90, 70, 50));                      // ridge pole
    triangle(b, 86, 2, 86, 9, 97, 5, makecol(230, 200, 80));       // pennant
    int rope = makecol(120, 100, 80);
    line(b, 20, 70, 2, 107, rope);
    line(b, 150, 70, 167, 107, rope);
    rectfill(b, 0, 104, 4, 109, makecol(90, 70, 50));
    rectfill(b, 165, 104, 169, 109, makecol(90, 70, 50));
    return b;
}

// The banner's tall pole, seen from afar: taller than any jump reaches, so that the cloth on
// it is the level's to raise and take down (flag_raiders, flag_scouts).
BITMAP* banner() {
    BITMAP* b = blank(90, 320);
    int pole = makecol(90, 92, 98), poleLight = makecol(170, 172, 180);
    rectfill(b, 4, 6, 8, 319, pole);
    vline(b, 5, 6, 319, poleLight);
    circlefill(b, 6, 5, 5, makecol(220, 180, 60));
    rectfill(b, 0, 312, 12, 319, makecol(70, 60, 50));
    return b;
}

// A cloth for the banner's pole, rippling in the wind more toward its free end, with a team's mark:
// the raiders' two white chevrons, or the rangers' pale star.
BITMAP* flag(Colour cloth, bool chevrons) {
    BITMAP* b = blank(80, 68);
    for (int x = 0; x < 79; ++x) {
        float wave = std::sin((x + 9) * 0.16f) * x * 0.08f;
        int top = 4 + static_cast<int>(wave), bottom = 62 + static_cast<int>(wave);
        for (int y = top; y <= bottom; ++y) {
            float light = 0.85f + 0.2f * std::cos((x + 9) * 0.16f);
            putpixel(b, x, y, cloth.scaled(light).make());
        }
    }
    const int white = makecol(245, 240, 230);
    if (chevrons) {
        for (int k = 0; k < 2; ++k) {
            int x = 21 + k * 20;
            for (int t = 0; t < 5; ++t) {
                line(b, x + t, 18, x + 12 + t, 33, white);
                line(b, x + 12 + t, 33, x + t, 48, white);
            }
        }
    } else {
        // Five points around (40, 33), each drawn as a filled triangle to the centre.
        const float pi = 3.14159265f;
        for (int k = 0; k < 5; ++k) {
            float a = -pi / 2 + k * 2 * pi / 5;
            float l = a - pi / 5, r = a + pi / 5;
            triangle(b, 40 + static_cast<int>(17 * std::cos(a)), 33 + static_cast<int>(17 * std::sin(a)),
                     40 + static_cast<int>(7 * std::cos(l)), 33 + static_cast<int>(7 * std::sin(l)),
                     40 + static_cast<int>(7 * std::cos(r)), 33 + static_cast<int>(7 * std::sin(r)), white);
        }
        circlefill(b, 40, 33, 7, white);
    }
    return b;
}

// A wooden watchtower: four braced legs and a roofed lookout.
BITMAP* watchtower() {
    BITMAP* b = blank(130, 300);
    Colour wood{150, 108, 70};
    int dark = wood.scaled(0.6f).make();
    for (int leg : {14, 108}) {
        rectfill(b, leg, 110, leg + 8, 299, wood.make());
        vline(b, leg, 110, 299, wood.scaled(1.25f).make());
        vline(b, leg + 8, 110, 299, dark);
    }
    for (int y = 130; y < 290; y += 56) {
        for (int t = 0; t < 4; ++t) {
            line(b, 22, y + t, 108, y + 50 + t, wood.scaled(0.85f).make());
            line(b, 108, y + t, 22, y + 50 + t, wood.scaled(0.75f).make());
        }
        rectfill(b, 14, y - 4, 116, y, wood.make());
    }
    // The lookout: a railed box under a pointed roof.
    rectfill(b, 4, 60, 125, 112, wood.scaled(0.9f).make());
    for (int x = 8; x < 124; x += 12) vline(b, x, 60, 112, dark);
    rectfill(b, 18, 70, 112, 92, makecol(46, 36, 30));
    rectfill(b, 0, 108, 129, 114, wood.scaled(1.1f).make());
    triangle(b, 0, 62, 129, 62, 65, 8, makecol(120, 60, 46));
    line(b, 0, 62, 65, 8, makecol(170, 92, 70));
    rectfill(b, 0, 58, 129, 63, makecol(96, 48, 38));
    return b;
}

void save(BITMAP* picture, const std::string& folder, const char* name) {
    AssetWriter::saveBitmap(picture, folder + name);
    destroy_bitmap(picture);
}

}  // namespace

namespace Art {

void drawMapArt(const std::string& dataDirectory) {
    std::string folder = dataDirectory + "/image/object/";
    AssetWriter::makeDirectories(folder);
    // Solid pieces.
    save(ground(400, 240, 11), folder, "ground.bmp");
    save(ground(200, 240, 12), folder, "ground_short.bmp");
    save(cliff(400, 360, 13), folder, "cliff.bmp");
    save(stonePlatform(240, 32, 14), folder, "platform_stone.bmp");
    save(steelGirder(160, 24, 15), folder, "platform_steel.bmp");
    save(steelGirder(200, 24, 16), folder, "bridge_steel.bmp");
    save(brickWall(48, 320, 17), folder, "wall_brick.bmp");
    save(brickWall(48, 112, 18), folder, "wall_low.bmp");
    save(crate(64, 19), folder, "crate.bmp");
    save(crate(40, 20), folder, "crate_small.bmp");
    // Decoration.
    save(hills(900, 540, 340, 21), folder, "hills.bmp");
    save(chasm(200, 240, 29), folder, "chasm.bmp");
    save(chasm(200, 360, 30), folder, "chasm_deep.bmp");
    save(sun(), folder, "sun.bmp");
    save(cloud(240, 90, 22), folder, "cloud.bmp");
    save(cloud(150, 60, 23), folder, "cloud_small.bmp");
    save(tree(24), folder, "tree.bmp");
    save(bush(25), folder, "bush.bmp");
    save(lamp(), folder, "lamp.bmp");
    save(flowers(26), folder, "flowers.bmp");
    save(grassTuft(27), folder, "grass_tuft.bmp");
    save(fence(), folder, "fence.bmp");
    save(sign(), folder, "sign.bmp");
    save(boulder(28), folder, "boulder.bmp");
    // The first level's own pieces: one long floor and a wide plateau (computer
    // fighters stop at the ends of what they stand on, so a fight needs room), a
    // far range of mountains, and the raiders' camp.
    save(ground(1600, 240, 31), folder, "ground_long.bmp");
    save(cliff(1600, 360, 32), folder, "plateau.bmp");
    save(mountains(1200, 420, 33), folder, "mountains.bmp");
    save(tent(), folder, "tent.bmp");
    save(banner(), folder, "banner.bmp");
    save(flag(Colour{196, 40, 40}, true), folder, "flag_raiders.bmp");
    save(flag(Colour{52, 150, 70}, false), folder, "flag_scouts.bmp");
    save(watchtower(), folder, "watchtower.bmp");
}

}  // namespace Art
