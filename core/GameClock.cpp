#include "core/GameClock.h"

#include <ctime>

namespace Torvane {

long long GameClock::milliseconds() const {
    if (frameTime.load()) return frames.load() * 1000 / framesPerSecond;
    return static_cast<long long>(std::time(nullptr)) * 1000;
}

long long GameClock::framesFor(long long milliseconds) {
    if (milliseconds <= 0) return 0;
    return (milliseconds * framesPerSecond + 999) / 1000;
}

}  // namespace Torvane
