#include "level/ChildProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace Torvane {

ChildProcess::Result ChildProcess::run(const std::vector<std::string>& argv, const std::function<bool()>& keepWaiting) {
    if (argv.empty()) return {Ending::NotStarted, -1};
    std::vector<char*> arguments;
    for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) return {Ending::NotStarted, -1};
    // A group of its own, so that what a shell starts in turn goes with it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, arguments[0], nullptr, &attributes, arguments.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) return {Ending::NotStarted, -1};

    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) return {Ending::Exited, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
        if (done < 0) return {Ending::Exited, -1};
        if (!keepWaiting()) break;
    }
    kill(-child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return {Ending::Killed, -1};
}

}  // namespace Torvane
