#pragma once

#include <functional>
#include <string>
#include <vector>

namespace Torvane {

// A program a level starts (a shell command, a message box) that must never hold the game: it runs in a process
// group of its own, the caller waits for it in short slices, and once keepWaiting says no (the game is ending) the
// whole group is killed, so nothing it started outlives the game.
class ChildProcess {
public:
    enum class Ending { Exited, Killed, NotStarted };

    struct Result {
        Ending ending;
        int status;  // the exit status when Exited, else -1
    };

    // argv[0] is looked up on PATH. keepWaiting is called between slices of waiting; it may sleep.
    static Result run(const std::vector<std::string>& argv, const std::function<bool()>& keepWaiting);
    // Ends what is left of every group run started (a command may leave a process behind it): at the game's end.
    static void endAll();
};

}  // namespace Torvane
