#pragma once

#include <map>
#include <string>

namespace Torvane {

// What the player has finished: for each level (by its entry script) the best time and the
// results of that game. Kept in $XDG_DATA_HOME/torvane/progress, one level a line, written whole
// and renamed over the old file. Read leniently: a missing, empty or damaged file is "nothing
// finished yet", and a damaged one is reported once.
class Progress {
public:
    struct Result {
        long long frames = 0;  // the level's time, 66 frames a second
        int kills = 0, headshots = 0, accuracy = 0, deaths = 0;
    };

    static std::string defaultPath();

    // Leaves the warning empty unless the file was there but damaged.
    void load(const std::string& path, std::string& warning);
    bool save(const std::string& path, std::string& error) const;

    bool isFinished(const std::string& level) const { return best.count(level) != 0; }
    const Result* bestOf(const std::string& level) const;
    // A won game: kept when the level was not finished yet or this time is better.
    void record(const std::string& level, const Result& result);
    bool isEmpty() const { return best.empty(); }

private:
    std::map<std::string, Result> best;
};

}  // namespace Torvane
