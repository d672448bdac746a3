#pragma once

#include <string>

namespace Torvane {

// Placeholder sound system until the sounds land.
class SoundSystem {
public:
    bool initialize() { return false; }
    void playSound(const std::string&) {}
};

}  // namespace Torvane
