#pragma once

#include "world/Object.h"

namespace Torvane {

// The guide robot: a fixed picture drawn in screen coordinates, outside the world.
class Robot : public Object {
public:
    Robot();
    ~Robot() override = default;
};

}  // namespace Torvane
