#include "core/MatchState.h"

#include <algorithm>

#include "core/GameClock.h"

namespace Torvane {

void MatchState::reset() {
    scores[0] = scores[1] = 0;
    countdownEnd = -1;
    timeUpTaken = false;
    waiting.clear();
    shown = false;
}

int MatchState::teamOf(int color) { return color == krColor ? kr : color == ktColor ? kt : 0; }

int MatchState::getScore(int team) const { return team == kr || team == kt ? scores[team - 1] : 0; }

bool MatchState::setScore(int team, int points) {
    if (team != kr && team != kt) return false;
    scores[team - 1] = points;
    return true;
}

void MatchState::startCountdown(long long now, int seconds) {
    countdownEnd = seconds <= 0 ? now : now + static_cast<long long>(seconds) * GameClock::framesPerSecond;
    timeUpTaken = false;
}

bool MatchState::takeTimeUp(long long now) {
    if (countdownEnd < 0 || now < countdownEnd || timeUpTaken) return false;
    timeUpTaken = true;
    return true;
}

int MatchState::secondsLeft(long long now) const {
    if (countdownEnd < 0 || now >= countdownEnd) return 0;
    const long long frames = countdownEnd - now;
    return static_cast<int>((frames + GameClock::framesPerSecond - 1) / GameClock::framesPerSecond);
}

bool MatchState::schedule(const Respawn& respawn) {
    auto same = std::find_if(waiting.begin(), waiting.end(), [&](const Respawn& r) { return r.id == respawn.id; });
    if (same != waiting.end()) {
        *same = respawn;
        return true;
    }
    if (waiting.size() >= static_cast<size_t>(maxWaiting)) return false;
    waiting.push_back(respawn);
    return true;
}

void MatchState::takeDue(long long now, std::vector<Respawn>& due) {
    due.clear();
    for (const Respawn& r : waiting)
        if (r.frame <= now) due.push_back(r);
    if (due.empty()) return;
    waiting.erase(std::remove_if(waiting.begin(), waiting.end(), [now](const Respawn& r) { return r.frame <= now; }),
                  waiting.end());
    std::stable_sort(due.begin(), due.end(), [](const Respawn& a, const Respawn& b) { return a.frame < b.frame; });
}

}  // namespace Torvane
