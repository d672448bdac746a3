#include "core/AllegroShutdown.h"

#include <allegro.h>

namespace Torvane {

AllegroShutdown::~AllegroShutdown() { allegro_exit(); }

}  // namespace Torvane
