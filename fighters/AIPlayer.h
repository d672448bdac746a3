#pragma once

#include <string>

#include "fighters/Player.h"

namespace Torvane {

// A computer fighter. Under script control its own brain is off and only host
// functions move it.
class AIPlayer : public Player {
public:
    AIPlayer(const std::string& name, const std::string& role);
    ~AIPlayer() override = default;

    bool isUnderControl() const { return underControl; }
    void setControlMode(bool on) { underControl = on; }

protected:
    int thinkTimer = 50;  // frames until the next decision
    bool underControl = false;
};

}  // namespace Torvane
