#include "world/ObjectSystem.h"

#include <algorithm>

#include "core/Game.h"
#include "fighters/Player.h"
#include "fighters/RealBody.h"
#include "world/BlockSystem.h"

namespace Torvane {

BlockSystem& ObjectSystem::blockSystem() { return Game::getInstance()->getBlockSystem(); }

void ObjectSystem::addObject(Object* o) {
    if (iterating) {
        pending.push_back(o);
        return;
    }
    objects.push_back(o);
    if (o->isCollidable()) blockSystem().addObject(o);
}

bool ObjectSystem::removeObject(Object* o) {
    if (iterating) {
        allegro_message("You should not remove Object when iterating ..");
        return false;
    }
    auto entry = std::find(objects.begin(), objects.end(), o);
    if (entry == objects.end()) return false;
    objects.erase(entry);
    return true;
}

void ObjectSystem::moveObjects() {
    BlockSystem& blocks = blockSystem();
    iterating = true;
    // Nothing joins or leaves the list during the walk: additions wait in pending.
    for (Object* o : objects) {
        if (o->isDead()) continue;
        Rect before = *o->getRectangle();
        o->move();
        if (!o->isCollidable() || *o->getRectangle() == before) continue;
        blocks.removeObject(o, before.left, before.top, before.right, before.bottom);
        bool touched = blocks.checkCollision(o);
        if (!touched) {
            // A fighter that touches nothing has walked off whatever held it.
            if (Player* player = dynamic_cast<Player*>(o)) {
                player->setFree(true);
                player->setBoard(nullptr);
            }
            if (RealBody* body = dynamic_cast<RealBody*>(o)) body->releaseRoad();
        }
        blocks.addObject(o);
    }
    iterating = false;
}

void ObjectSystem::drawObjects(BITMAP* target, int cameraX, int cameraY) {
    iterating = true;
    for (Object* o : objects) {
        if (o->isVisible()) o->draw(target, cameraX, cameraY);
    }
    iterating = false;
}

void ObjectSystem::removeDeadObjects() {
    if (iterating) {
        // From inside a walk (a destructor, say) the sweep would start over a list it is still sweeping.
        allegro_message("You should not removeDeadObjects while iterating.");
        return;
    }
    iterating = true;
    // The list is compacted first, keeping the order of the living, so that a
    // destructor that looks at the list sees only live objects, and a mass death
    // (a minute after a big explosion) costs one pass instead of one shift each.
    dying.clear();
    size_t kept = 0;
    for (Object* o : objects) {
        if (o->isDead()) dying.push_back(o);
        else objects[kept++] = o;
    }
    objects.resize(kept);
    BlockSystem& blocks = blockSystem();
    for (Object* o : dying) {
        if (o->isCollidable()) blocks.removeObject(o);
        delete o;
    }
    dying.clear();
    iterating = false;
    while (!pending.empty()) {
        addObject(pending.front());
        pending.pop_front();
    }
}

bool ObjectSystem::cleanupObjects() {
    if (iterating) {
        allegro_message("You should not cleanupObjects while iterating.");
        return false;
    }
    dying.clear();
    dying.swap(objects);
    // Objects made by a destructor wait in pending instead of joining a list
    // that is being torn down.
    iterating = true;
    for (Object* o : dying) delete o;
    iterating = false;
    dying.clear();
    return true;
}

Object* ObjectSystem::getObjectById(int id) {
    for (Object* o : objects) {
        if (o->getId() == id) return o;
    }
    return nullptr;
}

}  // namespace Torvane
