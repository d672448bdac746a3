#include "core/ClientNetwork.h"

#include "core/Game.h"
#include "fighters/Player.h"

namespace Torvane {

bool ClientNetwork::sendEvent(Event* event) {
    Game* game = Game::getInstance();
    Player* mainPlayer = game->getMainPlayer();
    if (!mainPlayer) {
        delete event;
        return false;
    }
    event->playerId = mainPlayer->getPlayerId();
    game->getEventSystem().addEvent(event);
    return true;
}

}  // namespace Torvane
