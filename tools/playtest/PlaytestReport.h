#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/playtest/PlaytestPlayer.h"
#include "tools/playtest/PlaytestRun.h"

// The runs of every skill, summed up as a table for people and as JSON for tools.
class PlaytestReport {
public:
    PlaytestReport(std::string level, unsigned seed, long long frameLimit)
        : level(std::move(level)), seed(seed), frameLimit(frameLimit) {}

    void add(const PlaytestPlayer::Skill& skill, PlaytestRun::Result run);
    void writeTable(std::FILE* out) const;
    bool writeJson(const std::string& path) const;
    // Script errors of every run, each told once.
    std::vector<std::string> errors() const;

    // m:ss of game time.
    static std::string clock(long long frames);

private:
    struct Played {
        const PlaytestPlayer::Skill* skill;
        std::vector<PlaytestRun::Result> runs;
    };
    struct Summary {
        int won = 0, clean = 0, deaths = 0;
        long long worstDeathCost = 0;
        int shots = 0, hits = 0;
        std::vector<long long> winFrames, stills, presents;
    };
    static Summary summarize(const Played& played);
    static std::vector<int> waveNumbers(const Played& played);
    // Lowest and middle bullets of one weapon at the begin of one wave; false when never held.
    static bool bulletsAt(const Played& played, int wave, int weapon, int& least, int& middle);

    std::string level;
    unsigned seed;
    long long frameLimit;
    std::vector<Played> played;
};
