#pragma once

#include "fighters/RealBody.h"

namespace Torvane {

// Placeholder fighter until the fighters land: only what the game core and the
// block system ask of it.
class Player : public RealBody {
public:
    int getPlayerId() const { return getId(); }
    void stopMoving() {}
    int getKills() const { return 0; }
    int getHeadshots() const { return 0; }
    int getColor() const { return color; }
    Player& setColor(int c) { color = c; return *this; }

private:
    int color = 0;
};

}  // namespace Torvane
