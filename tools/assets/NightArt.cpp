// The third level's pieces: the raiders' supply depot by night. A starry sky and a moon over
// black hills and pines, dark ground and the depot's raised yard, lamps on poles, a fence, a
// shed, the stack of ammunition the scout comes for and the fire it makes, and the picture of
// the level for the level select menu. The game's darkness lies over all of it, so the pieces
// are drawn in night colours but bright enough to read where a lamp shines on them.
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

const float pi = 3.14159265f;

int channel(float value) { return std::max(0, std::min(255, static_cast<int>(value + 0.5f))); }

struct Colour {
    float r, g, b;
    int make() const { return makecol(channel(r), channel(g), channel(b)); }
    Colour scaled(float f) const { return Colour{r * f, g * f, b * f}; }
    Colour mixed(const Colour& other, float t) const {
        return Colour{r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t};
    }
};

// Moonlight is cold; the lamps are warm.
const Colour nightSky{14, 20, 44}, soil{74, 62, 52}, grass{52, 78, 56}, gravel{104, 100, 96}, lampGlow{255, 226, 150};
const Colour steel{96, 104, 112}, olive{82, 92, 56}, timber{104, 78, 54};

float noise(float x, float y, float scale, int seed) {
    float fx = x / scale, fy = y / scale;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx), ty = ty * ty * (3 - 2 * ty);
    float top = hash(ix, iy, seed) + (hash(ix + 1, iy, seed) - hash(ix, iy, seed)) * tx;
    float bottom = hash(ix, iy + 1, seed) + (hash(ix + 1, iy + 1, seed) - hash(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

// Stars on nothing: the map's own colour is the sky. Fewer and dimmer toward the horizon.
BITMAP* stars(int width, int height) {
    BITMAP* b = blank(width, height);
    Dice dice(81);
    for (int i = 0; i < width * height / 900; ++i) {
        int x = dice.range(0, width - 1), y = static_cast<int>(dice.next() * dice.next() * height);
        float bright = (1.0f - static_cast<float>(y) / height) * (0.5f + dice.next() * 0.5f);
        Colour c = Colour{200, 210, 255}.mixed(Colour{255, 236, 200}, dice.next()).scaled(0.4f + bright * 0.6f);
        putpixel(b, x, y, c.make());
        // A few bright ones with a cross of light.
        if (dice.next() < 0.06f) {
            Colour dim = c.scaled(0.55f);
            for (int d : {-1, 1}) {
                putpixel(b, x + d, y, dim.make());
                putpixel(b, x, y + d, dim.make());
            }
        }
    }
    return b;
}

// A full moon with grey seas and a faint halo.
BITMAP* moon() {
    const int size = 120, centre = 60, radius = 26;
    BITMAP* b = blank(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float d = std::hypot(static_cast<float>(x - centre), static_cast<float>(y - centre));
            if (d <= radius) {
                float sea = noise(x, y, 9, 82) * 0.7f + noise(x, y, 4, 83) * 0.3f;
                float limb = 1.0f - std::pow(d / radius, 4.0f) * 0.25f;
                Colour c = Colour{238, 236, 220}.mixed(Colour{160, 164, 170}, sea > 0.55f ? (sea - 0.55f) * 2.2f : 0);
                putpixel(b, x, y, c.scaled(limb).make());
            } else if (d < centre - 2) {
                float glow = std::pow(1.0f - (d - radius) / (centre - 2 - radius), 2.0f) * 0.35f;
                // Dithered, so that the halo fades into the sky without a transparent hole.
                if (hash(x, y, 84) < glow) putpixel(b, x, y, nightSky.mixed(Colour{120, 130, 170}, glow * 1.6f).make());
            }
        }
    return b;
}

// Far hills and a nearer line of pines, black against the sky. The ends join when pictures
// stand side by side.
BITMAP* hills(int width, int height) {
    BITMAP* b = blank(width, height);
    for (int x = 0; x < width; ++x) {
        float phase = 2 * pi * x / width;
        int far = static_cast<int>(height * (0.28f + 0.1f * std::sin(phase * 2 + 1) + 0.06f * std::sin(phase * 7)));
        int near = static_cast<int>(height * (0.55f + 0.06f * std::sin(phase * 3 + 2)));
        // Pines: a saw of tips on the near ridge.
        float tree = std::fabs(std::fmod(x + 1000.0f * width, 26.0f) - 13.0f) / 13.0f;
        int tip = near - static_cast<int>((1.0f - tree) * (30 + 24 * hash(x / 26, 0, 85)));
        for (int y = far; y < height; ++y) {
            Colour c = Colour{30, 38, 66}.mixed(nightSky, 0.3f);
            // Moonlight on the far ridge's crest.
            if (y < far + 2) c = c.scaled(1.4f);
            if (y >= tip) c = Colour{12, 20, 24}.scaled(0.9f + noise(x, y, 5, 86) * 0.2f);
            putpixel(b, x, y, c.make());
        }
    }
    return b;
}

// Ground whose top-left corner lies at (mapX, mapY): a grass edge, soil or the yard's
// trodden gravel, stones, darker toward the foot. bank shades a west face that is a step.
BITMAP* ground(int width, int height, int mapX, int mapY, bool yard, bool bank) {
    BITMAP* b = blank(width, height);
    Colour body = yard ? gravel : soil;
    for (int x = 0; x < width; ++x) {
        int turf = yard ? 3 : 5 + static_cast<int>(noise(mapX + x, 0, 6, 87) * 5);
        for (int y = 0; y < height; ++y) {
            int mx = mapX + x, my = mapY + y;
            Colour c = body.scaled(0.8f + noise(mx, my, 14, 88) * 0.3f + noise(mx, my, 3, 89) * 0.12f);
            c = c.scaled(1.0f - std::min(0.45f, y / 500.0f));
            if (y < turf) c = (yard ? gravel.scaled(1.3f) : grass.scaled(0.9f + noise(mx, y, 3, 90) * 0.3f));
            else if (y < turf + 3) c = c.scaled(0.7f);
            // Pebbles, lit from above by the lamps.
            if (hash(mx / 3, my / 3, 91) > 0.985f) c = c.scaled(1.35f);
            if (bank && x < 14) c = c.scaled(0.65f + x * 0.025f);
            putpixel(b, x, y, c.make());
        }
    }
    if (!yard) {
        Dice dice(92 + mapX);
        for (int i = 0; i < width / 3; ++i) {
            int x = dice.range(0, width - 1);
            line(b, x, 3, x + dice.range(-2, 2), 3 - dice.range(1, 4), grass.scaled(0.8f + dice.next() * 0.5f).make());
        }
    } else {
        // Wheel ruts of the supply carts along the yard.
        for (int x = 0; x < width; ++x)
            for (int y : {10, 11, 24, 25}) putpixel(b, x, y, gravel.scaled(0.72f).make());
    }
    return b;
}

// A lamp on a pole: the lantern at (20, 12), the glass glowing warm.
BITMAP* lampPole() {
    BITMAP* b = blank(40, 140);
    rectfill(b, 17, 20, 22, 139, timber.make());
    vline(b, 17, 20, 139, timber.scaled(1.35f).make());
    vline(b, 22, 20, 139, timber.scaled(0.6f).make());
    rectfill(b, 12, 130, 27, 139, timber.scaled(0.7f).make());
    // The lantern: a cap, the glass, a base.
    triangle(b, 10, 4, 30, 4, 20, 0, steel.scaled(0.7f).make());
    rectfill(b, 12, 4, 28, 6, steel.make());
    for (int y = 7; y < 20; ++y)
        for (int x = 13; x <= 27; ++x) {
            float d = std::hypot(x - 20.0f, y - 13.0f) / 9.0f;
            putpixel(b, x, y, lampGlow.mixed(Colour{255, 255, 240}, std::max(0.0f, 1 - d)).scaled(1.0f - d * 0.2f).make());
        }
    vline(b, 13, 7, 19, steel.scaled(0.8f).make());
    vline(b, 27, 7, 19, steel.scaled(0.8f).make());
    rectfill(b, 12, 20, 28, 22, steel.scaled(0.8f).make());
    return b;
}

// A wire fence: posts, three strands and barbs.
BITMAP* fence(int width, int height) {
    BITMAP* b = blank(width, height);
    for (int x = 4; x < width; x += 80) {
        rectfill(b, x, 4, x + 4, height - 1, timber.scaled(0.9f).make());
        vline(b, x, 4, height - 1, timber.scaled(1.3f).make());
    }
    for (int strand = 0; strand < 3; ++strand) {
        int y0 = 10 + strand * (height - 20) / 2;
        for (int x = 0; x < width; ++x) {
            int y = y0 + static_cast<int>(std::sin(pi * std::fmod(x, 80.0f) / 80.0f) * 3);
            putpixel(b, x, y, steel.scaled(1.2f).make());
            if (x % 12 == 6) {
                putpixel(b, x - 1, y - 1, steel.make());
                putpixel(b, x + 1, y + 1, steel.make());
            }
        }
    }
    return b;
}

// The depot's shed: corrugated walls, a sliding door, one lit window.
BITMAP* shed() {
    BITMAP* b = blank(360, 220);
    Colour wall{88, 92, 96};
    for (int x = 0; x < 360; ++x) {
        float ridge = 0.85f + 0.15f * std::sin(x * 0.8f);
        for (int y = 60; y < 220; ++y) putpixel(b, x, y, wall.scaled(ridge * (0.9f + noise(x, y, 20, 93) * 0.2f)).make());
    }
    // The roof, its rust and its edge.
    for (int x = 0; x < 360; ++x) {
        int top = 60 - static_cast<int>((180 - std::abs(x - 180)) / 180.0f * 46);
        for (int y = top; y < 64; ++y) putpixel(b, x, y, Colour{110, 70, 52}.scaled(0.8f + noise(x, y, 8, 94) * 0.4f).make());
    }
    hline(b, 0, 63, 359, wall.scaled(0.5f).make());
    // The door, half open on darkness.
    rectfill(b, 40, 110, 150, 219, wall.scaled(0.75f).make());
    rectfill(b, 96, 112, 148, 219, makecol(10, 10, 14));
    rect(b, 40, 110, 150, 219, wall.scaled(0.45f).make());
    hline(b, 30, 106, 170, steel.scaled(0.7f).make());
    // The lit window, someone still awake.
    rectfill(b, 230, 120, 290, 160, lampGlow.scaled(0.85f).make());
    rect(b, 229, 119, 291, 161, wall.scaled(0.4f).make());
    vline(b, 260, 120, 160, wall.scaled(0.4f).make());
    hline(b, 230, 140, 290, wall.scaled(0.4f).make());
    // Stencilled letters of a supply depot, worn.
    for (int i = 0; i < 5; ++i) rectfill(b, 180 + i * 10, 80, 186 + i * 10, 92, Colour{170, 160, 120}.scaled(0.8f).make());
    return b;
}

// One ammunition crate: olive planks, a stencilled band, rope handles.
void crate(BITMAP* b, int left, int top, int w, int h, float tint) {
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x) {
            float plank = ((y - top) / 8) % 2 ? 0.92f : 1.0f;
            putpixel(b, x, y, olive.scaled(tint * plank * (0.9f + noise(x, y, 6, 95) * 0.2f)).make());
        }
    rect(b, left, top, left + w - 1, top + h - 1, olive.scaled(0.5f).make());
    rectfill(b, left + w / 4, top + h / 2 - 3, left + w * 3 / 4, top + h / 2 + 2, Colour{196, 170, 70}.scaled(tint).make());
    for (int x : {left + 3, left + w - 7}) rectfill(b, x, top + 5, x + 3, top + 8, timber.scaled(1.2f).make());
}

// A solid stack of two crates: cover in the depot.
BITMAP* ammoCrates() {
    BITMAP* b = blank(72, 64);
    crate(b, 0, 32, 72, 32, 1.0f);
    crate(b, 6, 0, 60, 32, 0.9f);
    return b;
}

// The stack the scout comes for: crates, shells and a tarp, a red warning sign.
BITMAP* ammoStack() {
    BITMAP* b = blank(260, 200);
    Dice dice(96);
    const int rows[] = {5, 4, 3, 2};
    for (int row = 0; row < 4; ++row) {
        int w = 48, h = 34, count = rows[row];
        int left = (260 - count * w) / 2;
        for (int i = 0; i < count; ++i) crate(b, left + i * w, 199 - (row + 1) * h + 1, w - 2, h - 1, 0.85f + dice.next() * 0.25f);
    }
    // Shells leaning against the stack.
    for (int i = 0; i < 6; ++i) {
        int x = 6 + i * 7;
        rectfill(b, x, 160, x + 5, 199, Colour{180, 150, 70}.make());
        vline(b, x, 160, 199, Colour{220, 190, 110}.make());
        triangle(b, x, 160, x + 5, 160, x + 2, 150, Colour{140, 120, 90}.make());
    }
    // The warning sign on its post.
    rectfill(b, 226, 120, 229, 199, timber.make());
    triangle(b, 212, 132, 244, 132, 228, 104, makecol(200, 40, 30));
    triangle(b, 218, 128, 238, 128, 228, 111, makecol(240, 220, 200));
    rectfill(b, 227, 116, 229, 123, makecol(30, 20, 20));
    return b;
}

// A dark pine in the night.
BITMAP* pine(int seed) {
    BITMAP* b = blank(100, 220);
    Dice dice(seed);
    rectfill(b, 47, 150, 53, 219, timber.scaled(0.5f).make());
    for (int tier = 0; tier < 7; ++tier) {
        int y = 18 + tier * 22, half = 10 + tier * 6;
        Colour c = Colour{24, 44, 40}.scaled(0.85f + dice.next() * 0.3f);
        triangle(b, 50 - half, y + 30, 50 + half, y + 30, 50 + dice.range(-3, 3), y - 6, c.make());
        // Moonlight on the tips of the west side.
        line(b, 50 - half, y + 30, 50, y - 6, c.scaled(1.5f).make());
    }
    return b;
}

// Flames for the burning stack: a tongue of fire that the level hangs where the stack was.
BITMAP* flames(int seed) {
    BITMAP* b = blank(80, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 80; ++x) {
            float dx = (x - 40) / 40.0f, t = y / 100.0f;
            float width = t * (0.7f + 0.3f * noise(x, y, 7, seed));
            float flicker = noise(x, y * 0.6f, 9, seed + 1);
            if (std::fabs(dx) > width * (0.6f + flicker * 0.5f)) continue;
            float heat = (1.0f - std::fabs(dx) / std::max(0.01f, width)) * t;
            Colour c = Colour{200, 50, 20}.mixed(Colour{255, 170, 40}, std::min(1.0f, heat * 1.6f));
            c = c.mixed(Colour{255, 250, 200}, std::max(0.0f, heat * 2.2f - 1.2f));
            putpixel(b, x, y, c.make());
        }
    return b;
}

// The level as the level select menu shows it: the depot's lamps in the night, the scout's
// lamp on the way in, and the stack of ammunition beyond.
BITMAP* preview() {
    const int w = 200, h = 120;
    BITMAP* b = create_bitmap(w, h);
    for (int y = 0; y < h; ++y) hline(b, 0, y, w - 1, nightSky.mixed(Colour{30, 36, 70}, y / 120.0f).make());
    Dice dice(97);
    for (int i = 0; i < 60; ++i) putpixel(b, dice.range(0, w - 1), dice.range(0, 60), Colour{220, 224, 255}.scaled(0.5f + dice.next() * 0.5f).make());
    circlefill(b, 160, 22, 8, Colour{238, 236, 220}.make());
    for (int x = 0; x < w; ++x) {
        int ridge = 62 + static_cast<int>(std::sin(x * 0.04f) * 6 + std::sin(x * 0.11f) * 3);
        vline(b, x, ridge, h - 1, Colour{24, 30, 54}.make());
        int tip = 76 - static_cast<int>((1.0f - std::fabs(std::fmod(x, 10.0f) - 5) / 5) * 8);
        vline(b, x, tip, h - 1, Colour{12, 20, 24}.make());
    }
    rectfill(b, 0, 98, 119, h - 1, soil.scaled(0.5f).make());
    rectfill(b, 120, 90, w - 1, h - 1, gravel.scaled(0.45f).make());
    // Pools of lamp light on the ground, each under its pole.
    auto pool = [&](int cx, int cy, int r) {
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x) {
                float d = std::hypot(static_cast<float>(x - cx), static_cast<float>(y - cy)) / r;
                if (d >= 1 || x < 0 || x >= w || y < 0 || y >= h) continue;
                int p = getpixel(b, x, y);
                Colour c{static_cast<float>(getr(p)), static_cast<float>(getg(p)), static_cast<float>(getb(p))};
                putpixel(b, x, y, c.mixed(lampGlow, (1 - d) * (1 - d) * 0.55f).make());
            }
    };
    for (int x : {60, 140, 180}) {
        int floor = x < 120 ? 98 : 90;
        pool(x, floor - 18, 24);
        vline(b, x, floor - 22, floor, timber.make());
        rectfill(b, x - 2, floor - 26, x + 2, floor - 22, lampGlow.make());
    }
    // The stack of crates under the last lamp, a raider by it.
    for (int row = 0; row < 3; ++row)
        for (int i = 0; i < 3 - row; ++i) rectfill(b, 160 + i * 9 + row * 4, 84 - row * 7, 167 + i * 9 + row * 4, 89 - row * 7, olive.make());
    rectfill(b, 146, 78, 149, 89, makecol(170, 40, 40));
    circlefill(b, 147, 76, 2, makecol(200, 160, 130));
    // The scout in his own small circle of light.
    pool(36, 90, 14);
    rectfill(b, 34, 87, 37, 97, makecol(60, 150, 70));
    circlefill(b, 35, 85, 2, makecol(230, 190, 150));
    rect(b, 0, 0, w - 1, h - 1, makecol(40, 44, 70));
    return b;
}

}  // namespace

namespace Art {

void drawNightArt(const std::string& dataDirectory) {
    std::string folder = dataDirectory + "/image/object/";
    AssetWriter::makeDirectories(folder);
    // Solid: the approach, the field before the depot and its raised yard, drawn where
    // map/night.map places them; crates of ammunition for cover.
    save(ground(1600, 240, 0, 1160, false, false), folder + "night_ground.bmp");
    save(ground(1600, 240, 1600, 1160, false, false), folder + "night_field.bmp");
    save(ground(2000, 360, 3200, 1040, true, true), folder + "night_yard.bmp");
    save(ammoCrates(), folder + "ammo_crates.bmp");
    // Decoration.
    save(stars(1300, 700), folder + "night_stars.bmp");
    save(moon(), folder + "night_moon.bmp");
    save(hills(1300, 460), folder + "night_hills.bmp");
    save(lampPole(), folder + "lamp_pole.bmp");
    save(fence(400, 70), folder + "night_fence.bmp");
    save(shed(), folder + "depot_shed.bmp");
    save(ammoStack(), folder + "ammo_stack.bmp");
    save(pine(98), folder + "night_pine.bmp");
    // Hung by the level where the stack was, once it has gone up.
    save(flames(99), folder + "night_fire.bmp");
    std::string gui = dataDirectory + "/image/gui/";
    AssetWriter::makeDirectories(gui);
    save(preview(), gui + "level_night.bmp");
}

}  // namespace Art
