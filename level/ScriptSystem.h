#pragma once

namespace Torvane {

// The level script thread. Until level scripting lands no script runs:
// the game shows an empty world and ends with Escape.
class ScriptSystem {
public:
    void start() {}
    void stop() {}
};

}  // namespace Torvane
