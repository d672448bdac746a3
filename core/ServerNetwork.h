#pragma once

namespace Torvane {

// Placeholder: the game has no server side.
class ServerNetwork {};

}  // namespace Torvane
