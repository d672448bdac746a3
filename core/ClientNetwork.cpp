#include "core/ClientNetwork.h"

#include "core/Game.h"
#include "core/GameLock.h"
#include "fighters/Player.h"

namespace Torvane {

bool ClientNetwork::sendEvent(Event* event) {
    Game* game = Game::getInstance();
    // The script thread may load a map, which destroys the main player, at any
    // moment outside the frame: the pointer is read and followed under the game
    // lock. The queue has a lock of its own and is filled after it is released.
    lockGame();
    Player* mainPlayer = game->getMainPlayer();
    const int id = mainPlayer ? mainPlayer->getPlayerId() : 0;
    unlockGame();
    if (!mainPlayer) {
        delete event;
        return false;
    }
    event->playerId = id;
    game->getEventSystem().addEvent(event);
    return true;
}

}  // namespace Torvane
