#pragma once

#include <allegro.h>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace Torvane {

class ObjectSystem;
class Player;

// Night over the world: everything darkened but what a light reaches. The lights are the main
// player's lamp, lamps the level puts on the map, and for a moment every shot, spark and blast.
// Set by the script thread and drawn by the frame, both under the game lock.
class NightShade {
public:
    static constexpr int maxLights = 32;
    static constexpr int maxRadius = 600;  // pixels: as high as the view

    NightShade() = default;
    NightShade(const NightShade&) = delete;
    NightShade& operator=(const NightShade&) = delete;
    ~NightShade() = default;

    // darkness 0 (day) to 255 (black); 0 ends the night and forgets the lamps. A radius of 0 is no lamp.
    void setNight(int darkness, int lampRadius);
    int getDarkness() const { return darkness; }
    int getLampRadius() const { return lampRadius; }
    // A lamp at a map point: its number from 1, or 0 when maxLights are lit already.
    int addLight(int x, int y, int radius);
    int getLightCount() const { return static_cast<int>(lights.size()); }
    // Day again, no lamps: a new map.
    void clear();

    // Where the main player's lamp is this frame (map pixels); off when there is no main player.
    void moveLamp(int x, int y) { lampX = x, lampY = y, lampOn = true; }
    void lampOff() { lampOn = false; }
    // A light for this frame only: a muzzle flash, a spark, a blast.
    void addFlash(int x, int y, int radius);
    void forgetFlashes() { flashes.clear(); }

    // How much light a map point has, 0 (none) to 255 (full), and whether that is enough to be
    // seen. By day everything is lit.
    int lightAt(int x, int y) const;
    bool isLit(int x, int y) const { return darkness == 0 || lightAt(x, y) >= 128; }

    // The light a lamp of that radius gives at that distance: full near it, fading to none at the radius.
    static int lampLight(long long distanceSquared, int radius);

    // The frame: the lamp follows the main player, the world's flashes are gathered, then the shade
    // is laid over the view whose top-left map point is (cameraX, cameraY). Nothing by day.
    void draw(BITMAP* target, int cameraX, int cameraY, const Player* mainPlayer, ObjectSystem& objects);

private:
    struct Light {
        int x, y, radius;
    };
    void gatherFlashes(const Player* mainPlayer, ObjectSystem& objects);
    // The light of one lamp, kept by radius: each is computed once, not every frame.
    const std::vector<std::uint8_t>& pool(int radius);
    void shine(const Light& light, int cameraX, int cameraY);
    void lay(BITMAP* target) const;

    int darkness = 0;
    int lampRadius = 0;
    int lampX = 0, lampY = 0;
    bool lampOn = false;
    std::vector<Light> lights;
    std::vector<Light> flashes;
    std::map<int, std::vector<std::uint8_t>> pools;
    // The darkness left at each point of the view, a cell for every 2x2 pixels (the light is soft,
    // so the finer grid would not show): made at the first night frame and kept.
    std::vector<std::uint8_t> shade;
    int shadeWidth = 0, shadeHeight = 0;
    // The darkness left where a lamp gives that much light.
    std::array<std::uint8_t, 256> darknessFor{};
};

}  // namespace Torvane
