#pragma once

#include <string>

namespace Torvane {

// What the player did in a level, for the results screen: the time played, his kills and
// headshots, his bullets fired and the ones that struck an enemy, and his deaths. Kept by
// the game rather than by a fighter, since a level that restarts gives the player a new one.
// Counted under the game lock; read by the script thread under it too.
class LevelStats {
public:
    void reset() { *this = LevelStats(); }
    void frame() { ++frames; }
    void shot() { ++shots; }
    void struck() { ++hits; }
    void kill(bool headshot) {
        ++kills;
        if (headshot) ++headshots;
    }
    void death() { ++deaths; }

    long long getFrames() const { return frames; }
    int getKills() const { return kills; }
    int getHeadshots() const { return headshots; }
    int getShots() const { return shots; }
    int getHits() const { return hits; }
    int getDeaths() const { return deaths; }
    // Whole percent of bullets that struck an enemy; 0 when none was fired. Grenades are not counted.
    int accuracyPercent() const;
    // "m:ss" of game time, 66 frames a second.
    std::string timeText() const;
    // One line of all of it, as the level runner's trace shows it.
    std::string summary() const;

private:
    long long frames = 0;
    int kills = 0;
    int headshots = 0;
    int shots = 0;
    int hits = 0;
    int deaths = 0;
};

}  // namespace Torvane
