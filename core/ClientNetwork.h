#pragma once

#include "core/Event.h"

namespace Torvane {

// The one place between input and the event queue; it sends nothing over any network.
class ClientNetwork {
public:
    // Stamps the event with the main player's id and queues it; without a main
    // player the event is freed and false returned. Takes the game lock: never
    // call it with the lock held.
    bool sendEvent(Event* event);
    int getPlayerId() const { return playerId; }
    void setPlayerId(int id) { playerId = id; }

private:
    int playerId = 0;
};

}  // namespace Torvane
