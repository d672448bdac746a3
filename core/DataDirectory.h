#pragma once

#include <string>

namespace Torvane {

// Where a program finds the game's data (script/, map/, image/, sound/), so that it runs from any
// directory. The first of these wins: --data DIR; $TORVANE_DATA; the current directory when it
// holds script/main.fb (the way of playing from the source tree); share/torvane beside the
// program's bin/ (an installed copy, whatever its prefix); the source tree's data/ when the
// program runs where it was built. The two the player names are taken at his word; the others
// must hold script/main.fb. When none is found, the error names every place looked in, on one line.
class DataDirectory {
public:
    static constexpr const char* environmentVariable = "TORVANE_DATA";
    static constexpr const char* markerFile = "script/main.fb";

    // What the look-up sees of the world; ofThisProgram fills it in, a test makes its own.
    struct Places {
        std::string option;          // --data DIR; empty when not given
        std::string environment;     // $TORVANE_DATA; empty when unset
        std::string current;         // the current directory
        std::string program;         // the running program's own path, symbolic links resolved
        std::string buildDirectory;  // where the program was built ...
        std::string sourceData;      // ... and the data it uses there
    };
    static Places ofThisProgram(const std::string& option);

    // True with the directory in getPath(), or false with the reason in getError().
    bool find(const Places& places);
    // Makes the directory found the current one, for the game reads its files by relative paths.
    bool enter();
    const std::string& getPath() const { return path; }
    const std::string& getError() const { return error; }

private:
    std::string path;
    std::string error;
};

}  // namespace Torvane
