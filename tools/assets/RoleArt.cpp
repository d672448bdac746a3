#include "tools/assets/Art.h"

namespace Art {

void drawRoleArt(const std::string&) {}

}  // namespace Art
