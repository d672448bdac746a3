#include "fighters/AIPlayer.h"

namespace Torvane {

AIPlayer::AIPlayer(const std::string& name, const std::string& role) : Player(name, role) {}

}  // namespace Torvane
