#pragma once

#include <string>

namespace Torvane {

// Reports a problem with a data file as one line on standard output, each distinct
// text once per run: forty fighters of a role with a broken picture give one line.
class OnceMessages {
public:
    // Distinct texts shown in one run; after them one last line says that more are not shown.
    static constexpr int maxShown = 1000;

    // Shows the text, with a line end added when it has none, unless the same
    // text was shown before or maxShown were. True when it was shown now.
    static bool show(const std::string& text);
};

}  // namespace Torvane
