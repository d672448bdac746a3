#pragma once

#include <ctime>

#include "fighters/RealBody.h"

namespace Torvane {

// A drop of blood from a hit: thrown back against the shot, it falls, lands on
// the map and lies there for a minute. Fighters pass through it. It has no
// image, so it collides as a point.
class Blood : public RealBody {
public:
    // direction: the unit vector of the shot or blast that caused the hit.
    Blood(int x, int y, const Vector& direction);
    ~Blood() override = default;

    void draw(BITMAP* target, int cameraX, int cameraY) override;
    void move() override;
    bool collide(Object* other) override;

    int getSize() const { return size; }
    int getColor() const { return color; }
    int getLifeSeconds() const { return lifeSeconds; }
    Blood& setLifeSeconds(int seconds);
    std::time_t getCreatedAt() const { return static_cast<std::time_t>(createdAt / 1000); }
    // Ages the drop as if it had been made at that wall-clock second.
    Blood& setCreatedAt(std::time_t when);

private:
    int size;             // disc radius, pixels
    int color;            // Allegro colour
    int spread = 5;       // bound of the random speed factor
    int lifeSeconds = 60;
    long long createdAt;  // milliseconds on the game clock
};

}  // namespace Torvane
