#include "app/BuildConfiguration.h"

#ifndef TORVANE_VERSUS
#error "TORVANE_VERSUS must be defined to 0 (torvane) or 1 (torvane-versus)"
#endif

namespace Torvane {

const BuildConfiguration& buildConfiguration() {
#if TORVANE_VERSUS
    static const BuildConfiguration configuration{"KR v.s. KT", MissingSoundDriver::CarryOn, false};
#else
    static const BuildConfiguration configuration{"Collision Test", MissingSoundDriver::StopSoundSetup, true};
#endif
    return configuration;
}

}  // namespace Torvane
