#pragma once

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "core/GameObserver.h"

namespace Torvane {
class Game;
}

// The level runner's record of a game: one line per happening, each with the frame
// it happened at, then a summary. Happenings come from both threads, which the
// lockstep never runs at once; the lock only keeps the record tidy all the same.
class ReplayTrace : public Torvane::GameObserver {
public:
    ReplayTrace(Torvane::Game& game, std::FILE* output) : game(game), output(output) {}

    void scriptPrinted(const std::string& text) override;
    void eventRaised(const std::string& name, int param1, int param2, int param3) override;
    void fighterDied(const Torvane::Player& fighter) override;
    void gameEnded() override;
    void scriptFailed(const std::string& line) override;
    void resultsShown(const std::string& summary) override;

    // After each frame: deaths are found by looking, so that every kind of death counts.
    void lookForDeaths();
    // Where the camera and every fighter are now: for finding where to point when writing inputs.
    void writePositions();
    // A line of the runner's own: the level select's choice, the next level starting.
    void note(const std::string& text) { write(text); }
    void writeSummary(long long frames, const std::string& ending);
    bool hadScriptError() const { return scriptError; }

private:
    void write(const std::string& text);

    Torvane::Game& game;
    std::FILE* output;
    std::mutex lock;
    std::string pendingPrint;  // printed text not yet ended by a line end
    std::set<int> dead;        // fighter ids already reported
    bool scriptError = false;
};
