#include "level/ChildProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

extern char** environ;

namespace Torvane {

namespace {

std::mutex startedLock;
std::vector<pid_t> started;  // process groups, the latest last
constexpr size_t maxRemembered = 1024;

void remember(pid_t group) {
    std::lock_guard<std::mutex> guard(startedLock);
    if (started.size() == maxRemembered) started.erase(started.begin());
    started.push_back(group);
}

}  // namespace

void ChildProcess::endAll() {
    std::lock_guard<std::mutex> guard(startedLock);
    const pid_t session = getsid(0);
    for (pid_t group : started) {
        // The group's number is its first process's: once that process is gone the number may be another's, so
        // only a group of this session, as ours are, is ended.
        const pid_t leaderSession = getsid(group);
        if (leaderSession < 0 || leaderSession == session) kill(-group, SIGKILL);
    }
    started.clear();
}

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
    remember(child);

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
