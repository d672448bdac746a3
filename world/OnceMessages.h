#pragma once

#include <string>

namespace Torvane {

// Shows a problem with a data file in Allegro's message box (and so on standard
// output without a display), each distinct text once per run: forty fighters of a
// role with a broken picture give one box, not forty blocking ones.
class OnceMessages {
public:
    // Distinct texts shown in one run; after them one last line says that more are not shown.
    static constexpr int maxShown = 1000;

    // Shows the text, with a line end added when it has none, unless the same
    // text was shown before or maxShown were. True when it was shown now.
    static bool show(const std::string& text);
};

}  // namespace Torvane
