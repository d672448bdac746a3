#pragma once

#include "world/Object.h"

namespace Torvane {

// Placeholder until the physical body lands: only what Object::collide asks of it.
class RealBody : public Object {
public:
    Object* getBoard() const { return board; }
    RealBody& setBoard(Object* b) { board = b; return *this; }
    bool isFree() const { return free; }
    RealBody& setFree(bool f) { free = f; return *this; }

protected:
    Object* board = nullptr;
    bool free = true;
};

}  // namespace Torvane
