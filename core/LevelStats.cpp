#include "core/LevelStats.h"

#include <cstdio>

#include "core/GameClock.h"

namespace Torvane {

int LevelStats::accuracyPercent() const {
    if (shots <= 0) return 0;
    return static_cast<int>(static_cast<long long>(hits) * 100 / shots);
}

std::string LevelStats::timeText() const {
    const long long seconds = frames / GameClock::framesPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::string LevelStats::summary() const {
    char text[160];
    std::snprintf(text, sizeof text, "time %s, kills %d, headshots %d, accuracy %d%% (%d of %d), deaths %d",
                  timeText().c_str(), kills, headshots, accuracyPercent(), hits, shots, deaths);
    return text;
}

}  // namespace Torvane
