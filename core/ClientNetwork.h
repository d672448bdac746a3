#pragma once

#include "core/Event.h"

namespace Torvane {

// The one place between input and the event queue; it sends nothing over any network.
class ClientNetwork {
public:
    bool sendEvent(Event* event);
    int getPlayerId() const { return playerId; }
    void setPlayerId(int id) { playerId = id; }

private:
    int playerId = 0;
};

}  // namespace Torvane
