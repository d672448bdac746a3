#include "core/GameClock.h"

#include <ctime>

namespace Torvane {

namespace {

long long wallMilliseconds() { return static_cast<long long>(std::time(nullptr)) * 1000; }

}  // namespace

long long GameClock::milliseconds() const {
    if (frameTime.load()) return frames.load() * 1000 / framesPerSecond;
    const long long start = pauseStart.load();
    return (start >= 0 ? start : wallMilliseconds()) - pausedMilliseconds.load();
}

void GameClock::setPaused(bool on) {
    if (on) {
        if (pauseStart.load() < 0) pauseStart.store(wallMilliseconds());
        return;
    }
    const long long start = pauseStart.exchange(-1);
    if (start >= 0) pausedMilliseconds.fetch_add(wallMilliseconds() - start);
}

long long GameClock::framesFor(long long milliseconds) {
    if (milliseconds <= 0) return 0;
    return (milliseconds * framesPerSecond + 999) / 1000;
}

}  // namespace Torvane
