#include "core/EventSystem.h"

#include <cstdio>

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/Weapon.h"

namespace Torvane {

EventSystem::~EventSystem() { clear(); }

void EventSystem::addEvent(Event* event) {
    std::lock_guard<std::mutex> guard(queueLock);
    queue.push_back(event);
}

void EventSystem::clear() {
    std::lock_guard<std::mutex> guard(queueLock);
    for (Event* event : queue) delete event;
    queue.clear();
}

Event* EventSystem::takeEvent() {
    std::lock_guard<std::mutex> guard(queueLock);
    if (queue.empty()) return nullptr;
    Event* event = queue.front();
    queue.pop_front();
    return event;
}

void EventSystem::handleEvents() {
    Game* game = Game::getInstance();
    Dialog& dialog = game->getDialog();
    while (Event* event = takeEvent()) {
        Player* player = game->getPlayer(event->playerId);
        const bool bubble = dialog.isVisible();
        notePress(*event, bubble);
        if (bubble) {
            // The bubble eats the click that closes it; every other control waits.
            if (event->action == ACTION_FIRE) dialog.hide();
        } else if (!game->canControl() || game->isPaused() || game->getResultsScreen().isVisible()) {
            // Discarded, not kept for later: a locked or paused fighter must not act on old input.
        } else if (!player) {
            // Its fighter is gone (a new map, say): what is still queued waits a frame.
            delete event;
            break;
        } else {
            carryOut(*event, *player);
        }
        delete event;
    }
    // Presses made while the player had no control are lost, but releases never are:
    // handed back, the fighter does what the hands hold now.
    Player* main = game->getMainPlayer();
    const bool away =
        dialog.isVisible() || !game->canControl() || game->isPaused() || game->getResultsScreen().isVisible();
    const bool interrupted = main && main->takeInterruption();
    if (main && !away && (controlWasAway || interrupted)) takeUpHeldControls(*main);
    // Whoever speaks, the scout stands and listens; his hands are taken up again afterwards.
    if (main && away && !controlWasAway) main->stopMoving();
    controlWasAway = away;
}

void EventSystem::notePress(const Event& event, bool eatenByBubble) {
    switch (event.action) {
        case ACTION_MOVE_LEFT:
            held.left = event.pressed;
            break;
        case ACTION_MOVE_RIGHT:
            held.right = event.pressed;
            break;
        case ACTION_JUMP:
            held.jump = event.pressed;
            break;
        case ACTION_FIRE:
            // The click that closes a bubble is the bubble's, down to its release:
            // holding it on must not fire.
            held.fire = event.pressed && !eatenByBubble;
            break;
        default:
            break;
    }
}

void EventSystem::takeUpHeldControls(Player& player) {
    Game* game = Game::getInstance();
    const AimSystem& aim = game->getAimSystem();
    const MapSystem& map = game->getMapSystem();
    player.moveLeft(held.left);
    player.moveRight(held.right);
    player.jump(held.jump);
    if (held.fire) {
        player.fire(aim.getX() + map.getClientX(), aim.getY() + map.getClientY());
    } else {
        player.holdFire();
    }
}

void EventSystem::carryOut(const Event& event, Player& player) {
    Game* game = Game::getInstance();
    AimSystem& aim = game->getAimSystem();
    const MapSystem& map = game->getMapSystem();
    // Fighters are told world points: the sight's screen position plus the camera.
    switch (event.action) {
        case ACTION_FIRE:
            if (event.pressed) {
                player.fire(aim.getX() + map.getClientX(), aim.getY() + map.getClientY());
            } else {
                player.holdFire();
            }
            break;
        case ACTION_JUMP:
            player.jump(event.pressed);
            break;
        case ACTION_MOVE_LEFT:
            player.moveLeft(event.pressed);
            break;
        case ACTION_MOVE_RIGHT:
            player.moveRight(event.pressed);
            break;
        case ACTION_RELOAD:
            // On press and release alike: a short tap that spans a frame reloads twice.
            if (Weapon* weapon = player.getCurrentWeapon()) weapon->reload();
            break;
        case ACTION_SELECT_1:
            player.setEquipment(2);
            break;
        case ACTION_SELECT_2:
            player.setEquipment(1);
            break;
        case ACTION_SELECT_3:
            player.setEquipment(0);
            break;
        case ACTION_SELECT_4:
            player.setEquipment(3);
            break;
        case ACTION_AIM: {
            aim.setX(event.value >> 16);
            aim.setY(event.value & 0xFFFF);
            const int x = aim.getX() + map.getClientX(), y = aim.getY() + map.getClientY();
            player.aim(x, y);
            // A held trigger follows the mouse.
            if (player.isFiring()) player.fire(x, y);
            break;
        }
        case ACTION_MOUSE_RIGHT:
        case ACTION_KEY_S:
        case ACTION_KEY_SHIFT:
        case ACTION_KEY_Q:
            break;
        default:
            std::printf("Unknown action %d\n", event.action);
            std::fflush(stdout);
            break;
    }
}

size_t EventSystem::getEventCount() {
    std::lock_guard<std::mutex> guard(queueLock);
    return queue.size();
}

std::vector<Event> EventSystem::getQueuedEvents() {
    std::lock_guard<std::mutex> guard(queueLock);
    std::vector<Event> copies;
    for (const Event* event : queue) copies.push_back(*event);
    return copies;
}

}  // namespace Torvane
