#pragma once

#include "sound/MissingSoundDriver.h"

namespace Torvane {

// The two programs are built from the same sources; this is all that tells them apart.
// Each program links exactly one definition of it and hands the game what it needs of it.
struct BuildConfiguration {
    const char* windowTitle;
    MissingSoundDriver missingSoundDriver;
    bool debugLinesShown;  // at start; F3 shows or hides them in either program
};

const BuildConfiguration& buildConfiguration();

}  // namespace Torvane
