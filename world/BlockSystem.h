#pragma once

namespace Torvane {

// Placeholder collision grid until the world lands.
class BlockSystem {
public:
    void initialize(int, int) {}
};

}  // namespace Torvane
