#pragma once

#include <vector>

namespace Torvane {

class Player;

// Holds the computer players' list; it has no behaviour of its own.
class AISystem {
public:
    std::vector<Player*>& getPlayers() { return players; }

private:
    std::vector<Player*> players;
};

}  // namespace Torvane
