#include "level/PresentBox.h"

#include "core/Game.h"
#include "fighters/Player.h"

namespace Torvane {

std::atomic<int> PresentBox::count{0};

PresentBox::PresentBox() {
    show();
    count.fetch_add(1);
}

PresentBox::~PresentBox() { count.fetch_sub(1); }

void PresentBox::handleCollision(int side, Object* other) {
    (void)side;
    Game* game = Game::getInstance();
    Player* main = game->getMainPlayer();
    // A box touched twice in one frame is already taken.
    if (!main || other != main || isDead()) return;
    game->getScriptSystem().raise("OnPresent", getId(), getX(), getY());
    main->interrupt();
    main->stop();
    die();
}

}  // namespace Torvane
