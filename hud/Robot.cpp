#include "hud/Robot.h"

namespace Torvane {

Robot::Robot() { loadImage("./image/gui/ib.bmp"); }

}  // namespace Torvane
