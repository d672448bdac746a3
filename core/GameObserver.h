#pragma once

#include <string>

namespace Torvane {

class Player;

// Told of what happens in a level, for the level runner's trace. The real game has
// none; every call comes with the game lock held or from the script thread.
class GameObserver {
public:
    virtual ~GameObserver() = default;
    virtual void scriptPrinted(const std::string& text) = 0;
    virtual void eventRaised(const std::string& name, int param1, int param2, int param3) = 0;
    virtual void fighterDied(const Player& fighter) = 0;
    virtual void gameEnded() = 0;
    virtual void scriptFailed(const std::string& line) = 0;
    // The results screen came up with this summary of the level.
    virtual void resultsShown(const std::string& summary) { (void)summary; }
};

}  // namespace Torvane
