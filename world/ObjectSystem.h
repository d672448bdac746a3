#pragma once

#include <allegro.h>

#include <vector>

#include "world/Object.h"

namespace Torvane {

// Placeholder list of live objects until the world lands.
class ObjectSystem {
public:
    void addObject(Object* o) { objects.push_back(o); }
    void moveObjects() {}
    void drawObjects(BITMAP*, int, int) {}
    void removeDeadObjects() {}
    void cleanupObjects() {
        for (Object* o : objects) delete o;
        objects.clear();
    }
    int getObjectCount() const { return static_cast<int>(objects.size()); }

private:
    std::vector<Object*> objects;
};

}  // namespace Torvane
