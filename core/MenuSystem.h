#pragma once

namespace Torvane {

// Placeholder: the game has no menus.
class MenuSystem {};

}  // namespace Torvane
