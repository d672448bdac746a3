#include "world/NightShade.h"

#include <algorithm>
#include <cmath>

#include "fighters/Player.h"
#include "weapons/Explosion.h"
#include "weapons/FireStar.h"
#include "weapons/Weapon.h"
#include "world/ObjectSystem.h"

namespace Torvane {

namespace {

// Flashes have a few fixed sizes, so that their light is computed once per night.
constexpr int muzzleRadius = 110, sparkRadius = 50, blastRadius = 260;
// A shot lights its shooter for this many frames.
constexpr int flashFrames = 5;
// The shade has a cell for every 2x2 pixels.
int cellRadius(int radius) { return std::max(1, radius / 2); }
long long floorHalf(long long value) { return value >= 0 ? value / 2 : -((1 - value) / 2); }

// Sizes of light kept at once: the lamps' most, and the flashes'.
constexpr size_t maxKeptPools = NightShade::maxLights + 8;

// The shade is not black but the deep blue of a night sky.
constexpr int nightRed = 6, nightGreen = 10, nightBlue = 30;

}  // namespace

int NightShade::lampLight(long long distanceSquared, int radius) {
    if (radius <= 0 || distanceSquared >= static_cast<long long>(radius) * radius) return 0;
    const double t = std::sqrt(static_cast<double>(distanceSquared)) / radius;
    if (t <= 0.5) return 255;
    // A soft edge over the outer half, so that a lamp is a glow rather than a disc.
    const double f = (1.0 - t) * 2.0;
    return static_cast<int>(255.0 * f * f * (3.0 - 2.0 * f));
}

void NightShade::setNight(int newDarkness, int newLampRadius) {
    darkness = std::clamp(newDarkness, 0, 255);
    lampRadius = std::clamp(newLampRadius, 0, maxRadius);
    if (darkness == 0) {
        clear();
        return;
    }
    for (int light = 0; light < 256; ++light)
        darknessFor[light] = static_cast<std::uint8_t>(darkness * (255 - light) / 255);
    // Made here, on the script's call, so that no frame waits for them.
    for (int radius : {lampRadius, muzzleRadius, sparkRadius, blastRadius}) pool(radius);
}

int NightShade::addLight(int x, int y, int radius) {
    if (static_cast<int>(lights.size()) >= maxLights) return 0;
    radius = std::clamp(radius, 1, maxRadius);
    pool(radius);
    lights.push_back(Light{x, y, radius});
    return static_cast<int>(lights.size());
}

void NightShade::clear() {
    darkness = 0;
    lampRadius = 0;
    lights.clear();
    flashes.clear();
}

void NightShade::addFlash(int x, int y, int radius) { flashes.push_back(Light{x, y, radius}); }

int NightShade::lightAt(int x, int y) const {
    int best = 0;
    auto consider = [&](int lx, int ly, int radius) {
        const long long dx = static_cast<long long>(x) - lx, dy = static_cast<long long>(y) - ly;
        best = std::max(best, lampLight(dx * dx + dy * dy, radius));
    };
    if (lampOn) consider(lampX, lampY, lampRadius);
    for (const Light& light : lights) consider(light.x, light.y, light.radius);
    for (const Light& flash : flashes) consider(flash.x, flash.y, flash.radius);
    return best;
}

const std::vector<std::uint8_t>& NightShade::pool(int radius) {
    // A script that keeps changing its lamp's size must not pile up lights: past a few dozen sizes
    // the kept ones go, and those still in use are made again.
    if (pools.size() >= maxKeptPools && pools.find(radius) == pools.end()) {
        pools.clear();
        for (int kept : {lampRadius, muzzleRadius, sparkRadius, blastRadius}) pool(kept);
        for (const Light& light : lights) pool(light.radius);
    }
    std::vector<std::uint8_t>& light = pools[radius];
    if (light.empty() && radius > 0) {
        const int half = cellRadius(radius), side = 2 * half + 1;
        light.resize(static_cast<size_t>(side) * side);
        for (int dy = -half; dy <= half; ++dy)
            for (int dx = -half; dx <= half; ++dx)
                light[static_cast<size_t>(dy + half) * side + (dx + half)] =
                    static_cast<std::uint8_t>(lampLight(4LL * (dx * dx + dy * dy), radius));
    }
    return light;
}

void NightShade::gatherFlashes(const Player* mainPlayer, ObjectSystem& objects) {
    flashes.clear();
    if (mainPlayer && mainPlayer->isAlive()) moveLamp(mainPlayer->getCentralX(), mainPlayer->getCentralY());
    else lampOff();
    for (Object* object : objects.getObjects()) {
        if (auto* fighter = dynamic_cast<Player*>(object)) {
            const Weapon* weapon = fighter->getCurrentWeapon();
            // Just after a shot the cool-down is near its start; a grenade's throw gives no flash.
            if (fighter->isVisible() && weapon && !weapon->isReloading() && weapon->getFireInterval() > 1 &&
                weapon->getTimer() > weapon->getFireInterval() - flashFrames)
                addFlash(fighter->getCentralX(), fighter->getCentralY(), muzzleRadius);
        } else if (dynamic_cast<FireStar*>(object)) {
            addFlash(object->getCentralX(), object->getCentralY(), sparkRadius);
        } else if (auto* blast = dynamic_cast<Explosion*>(object)) {
            addFlash(blast->getX(), blast->getY(), blastRadius);
        }
    }
}

void NightShade::shine(const Light& light, int cameraX, int cameraY) {
    const std::vector<std::uint8_t>& glow = pools[light.radius];
    if (glow.empty()) return;
    const int half = cellRadius(light.radius), side = 2 * half + 1;
    // In cells of the view; far-away lamps (or a script's wild coordinates) are skipped before any sum can grow.
    const long long left = floorHalf(static_cast<long long>(light.x) - cameraX) - half;
    const long long top = floorHalf(static_cast<long long>(light.y) - cameraY) - half;
    if (left >= shadeWidth || top >= shadeHeight || left + side <= 0 || top + side <= 0) return;
    const int x0 = static_cast<int>(std::max(0LL, left)), x1 = static_cast<int>(std::min<long long>(shadeWidth, left + side));
    const int y0 = static_cast<int>(std::max(0LL, top)), y1 = static_cast<int>(std::min<long long>(shadeHeight, top + side));
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* cell = shade.data() + static_cast<size_t>(y) * shadeWidth + x0;
        const std::uint8_t* from = glow.data() + static_cast<size_t>(y - top) * side + (x0 - left);
        // Where two lights meet the brighter wins.
        for (int x = x0; x < x1; ++x, ++cell, ++from) *cell = std::min(*cell, darknessFor[*from]);
    }
}

void NightShade::lay(BITMAP* target) const {
    const std::uint32_t tint = static_cast<std::uint32_t>(makecol32(nightRed, nightGreen, nightBlue));
    const bool packed = bitmap_color_depth(target) == 32 && _rgb_g_shift_32 == 8 &&
                        (_rgb_r_shift_32 | _rgb_b_shift_32) == 16 && (_rgb_r_shift_32 & _rgb_b_shift_32) == 0;
    for (int y = 0; y < target->h; ++y) {
        const std::uint8_t* cells = shade.data() + static_cast<size_t>(y / 2) * shadeWidth;
        if (packed) {
            // Red and blue, then green, each scaled in one multiplication: a frame's worth in about a millisecond.
            auto* row = reinterpret_cast<std::uint32_t*>(target->line[y]);
            for (int x = 0; x < target->w; ++x) {
                const std::uint32_t dark = cells[x / 2], keep = 256 - dark, pixel = row[x];
                const std::uint32_t redBlue = (((pixel & 0xff00ffu) * keep + (tint & 0xff00ffu) * dark) >> 8) & 0xff00ffu;
                const std::uint32_t green = (((pixel & 0x00ff00u) * keep + (tint & 0x00ff00u) * dark) >> 8) & 0x00ff00u;
                row[x] = redBlue | green;
            }
            continue;
        }
        for (int x = 0; x < target->w; ++x) {
            const int dark = cells[x / 2], keep = 256 - dark, pixel = getpixel(target, x, y);
            putpixel(target, x, y,
                     makecol((getr(pixel) * keep + nightRed * dark) >> 8, (getg(pixel) * keep + nightGreen * dark) >> 8,
                             (getb(pixel) * keep + nightBlue * dark) >> 8));
        }
    }
}

void NightShade::draw(BITMAP* target, int cameraX, int cameraY, const Player* mainPlayer, ObjectSystem& objects) {
    if (darkness == 0 || !target) return;
    gatherFlashes(mainPlayer, objects);
    const int width = (target->w + 1) / 2, height = (target->h + 1) / 2;
    if (width != shadeWidth || height != shadeHeight) {
        shade.assign(static_cast<size_t>(width) * height, 0);
        shadeWidth = width, shadeHeight = height;
    }
    std::fill(shade.begin(), shade.end(), static_cast<std::uint8_t>(darkness));
    if (lampOn && lampRadius > 0) shine(Light{lampX, lampY, lampRadius}, cameraX, cameraY);
    for (const Light& light : lights) shine(light, cameraX, cameraY);
    for (const Light& flash : flashes) shine(flash, cameraX, cameraY);
    lay(target);
}

}  // namespace Torvane
