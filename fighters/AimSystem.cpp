#include "fighters/AimSystem.h"

#include "core/Game.h"
#include "fighters/FrontSight.h"
#include "fighters/Player.h"

namespace Torvane {

AimSystem::AimSystem() : sight(new FrontSight()) {}

AimSystem::~AimSystem() { delete sight; }

int AimSystem::getX() const { return sight->getX(); }
int AimSystem::getY() const { return sight->getY(); }
void AimSystem::setX(int x) { sight->setX(x); }
void AimSystem::setY(int y) { sight->setY(y); }

bool AimSystem::pointerFollowsSight() const {
    Game* game = Game::getInstance();
    const MapSystem& map = game->getMapSystem();
    const int x = sight->getX(), y = sight->getY();
    Player* main = game->getMainPlayer();
    return x > 0 && x < map.getClientWidth() && y > 0 && y < map.getClientHeight() && main && main->isAlive();
}

void AimSystem::move() {
    // The pointer follows where the sight was thrown before this frame's shake.
    if (pointerFollowsSight()) position_mouse(sight->getX(), sight->getY());
    sight->move();
}

void AimSystem::draw(BITMAP* target) { sight->draw(target); }

void AimSystem::jump(int strength) { sight->jump(strength); }

}  // namespace Torvane
