#pragma once

#include <vector>

namespace Torvane {

// What a team battle keeps beside the world: the two teams' scores, the clock counting down
// to its end and the fallen fighters waiting to come back. The rules script sets them through
// host functions on its thread, the frame loop reads them; both under the game lock. Time is
// game frames, so that a battle plays the same on every machine and under the level runner.
class MatchState {
public:
    static constexpr int kr = 1, kt = 2;
    // The teams' colours as scripts give them to addPlayer: bullets pass fighters of their own.
    static constexpr int krColor = 0xDC2828, ktColor = 0x2850E6;
    // More than two full teams' worth: each fallen fighter waits at most once.
    static constexpr int maxWaiting = 64;

    struct Respawn {
        int id;
        int x, y;
        long long frame;  // due on this game frame
    };

    // A fresh battle: no scores, no clock, nobody waiting. Shown marks the score line on.
    void reset();
    void setShown(bool on) { shown = on; }
    bool isShown() const { return shown; }

    // 1 for KR, 2 for KT, 0 for any other colour.
    static int teamOf(int color);
    static int colorOf(int team) { return team == kr ? krColor : team == kt ? ktColor : 0; }

    // Teams outside 1 and 2 have no score: 0, and setting it is refused.
    int getScore(int team) const;
    bool setScore(int team, int points);

    void startCountdown(long long now, int seconds);
    bool hasCountdown() const { return countdownEnd >= 0; }
    // Whole seconds left, rounded up; 0 once it has run out or when there is none.
    int secondsLeft(long long now) const;
    // True once, on the first call after the clock has run out.
    bool takeTimeUp(long long now);

    // False when as many are waiting as may; a fighter already waiting is moved to the new time and place.
    bool schedule(const Respawn& respawn);
    // Moves the respawns due by now into due (emptied first), in the order they fall due.
    void takeDue(long long now, std::vector<Respawn>& due);
    int waitingCount() const { return static_cast<int>(waiting.size()); }

private:
    int scores[2] = {0, 0};
    long long countdownEnd = -1;
    bool timeUpTaken = false;
    bool shown = false;
    std::vector<Respawn> waiting;
};

}  // namespace Torvane
