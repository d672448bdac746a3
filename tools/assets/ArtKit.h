#pragma once

// What every family of pictures draws with: colours, a repeatable value noise for textures and
// a small deterministic dice for placing details, so that every build makes the same pictures.
// Magenta is transparent.
#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "tools/assets/AssetWriter.h"

namespace ArtKit {

inline int clampChannel(float value) { return std::max(0, std::min(255, static_cast<int>(value + 0.5f))); }

struct Colour {
    float r, g, b;
    int make() const { return makecol(clampChannel(r), clampChannel(g), clampChannel(b)); }
    Colour scaled(float f) const { return Colour{r * f, g * f, b * f}; }
    Colour mixed(const Colour& other, float t) const {
        return Colour{r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t};
    }
};

inline int transparent() { return makecol(255, 0, 255); }

// A repeatable hash of a lattice point, 0 to 1.
inline float hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xffffff) / static_cast<float>(0xffffff);
}

inline float smooth(float t) { return t * t * (3 - 2 * t); }

// Smooth value noise, 0 to 1, with features about `scale` pixels apart.
inline float noise(float x, float y, float scale, int seed) {
    float fx = x / scale, fy = y / scale;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    float tx = smooth(fx - ix), ty = smooth(fy - iy);
    float top = hash(ix, iy, seed) + (hash(ix + 1, iy, seed) - hash(ix, iy, seed)) * tx;
    float bottom = hash(ix, iy + 1, seed) + (hash(ix + 1, iy + 1, seed) - hash(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

// Noise over several octaves, 0 to 1.
inline float layered(float x, float y, float scale, int seed) {
    float sum = 0, weight = 0, amplitude = 1;
    for (int octave = 0; octave < 4; ++octave) {
        sum += noise(x, y, scale, seed + octave * 101) * amplitude;
        weight += amplitude;
        amplitude *= 0.5f;
        scale *= 0.5f;
    }
    return sum / weight;
}

// A small deterministic random source for placing details.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : state(seed * 2654435761u + 1) {}
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / static_cast<float>(1 << 24);
    }
    int range(int low, int high) { return low + static_cast<int>(next() * (high - low + 1)) % (high - low + 1); }

private:
    std::uint32_t state;
};

inline BITMAP* blank(int width, int height) {
    BITMAP* picture = create_bitmap(width, height);
    clear_to_color(picture, transparent());
    return picture;
}

// Writes the picture and frees it: every picture is drawn, saved once and done with.
inline void save(BITMAP* picture, const std::string& path) {
    AssetWriter::saveBitmap(picture, path);
    destroy_bitmap(picture);
}

}  // namespace ArtKit
