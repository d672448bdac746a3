#pragma once

#include <allegro.h>

#include <deque>
#include <vector>

#include "world/Object.h"

namespace Torvane {

class BlockSystem;

// The world's list of live objects. It owns every object handed to it, moves
// them once a frame keeping the block grid in step, draws them, and destroys
// the dead ones. Objects added during one of its walks wait in a queue and
// join at the end of the frame.
class ObjectSystem {
public:
    ObjectSystem() = default;
    ObjectSystem(const ObjectSystem&) = delete;
    ObjectSystem& operator=(const ObjectSystem&) = delete;
    // Releases only the containers: the game never ends through this destructor
    // with a world to tear down.
    ~ObjectSystem() = default;

    // The level's pictures, shared by the objects that show them; the map's load empties it.
    PictureCache& getPictures() { return pictures; }
    void addObject(Object* o);
    // Takes o out of the list without destroying it or touching the grid.
    bool removeObject(Object* o);
    void moveObjects();
    void drawObjects(BITMAP* target, int cameraX, int cameraY);
    void removeDeadObjects();
    // Destroys every listed object; the caller rebuilds the grid right after.
    // Refused (false) during a walk, which would go on over destroyed objects.
    bool cleanupObjects();

    int getObjectCount() const { return static_cast<int>(objects.size()); }
    Object* getObjectById(int id);
    bool isIterating() const { return iterating; }
    int getPendingCount() const { return static_cast<int>(pending.size()); }
    const std::vector<Object*>& getObjects() const { return objects; }

private:
    static BlockSystem& blockSystem();

    PictureCache pictures;
    std::vector<Object*> objects;  // in order of addition; owned
    bool iterating = false;
    std::deque<Object*> pending;   // added during a walk; owned, not yet listed
    std::vector<Object*> dying;    // scratch list of the sweeps, kept to avoid reallocating
};

}  // namespace Torvane
