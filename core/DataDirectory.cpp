#include "core/DataDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Torvane {

namespace {

bool isDirectory(const std::string& path) {
    struct stat status;
    return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool holdsData(const std::string& directory) {
    return !directory.empty() && access((directory + "/" + DataDirectory::markerFile).c_str(), R_OK) == 0;
}

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : slash == 0 ? "/" : path.substr(0, slash);
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

DataDirectory::Places DataDirectory::ofThisProgram(const std::string& option) {
    Places places;
    places.option = option;
    const char* environment = std::getenv(environmentVariable);
    places.environment = environment ? environment : "";
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer)) places.current = buffer;
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) places.program.assign(buffer, static_cast<size_t>(length));
#if defined(TORVANE_BUILD_DIRECTORY) && defined(TORVANE_SOURCE_DATA)
    places.buildDirectory = TORVANE_BUILD_DIRECTORY;
    places.sourceData = TORVANE_SOURCE_DATA;
#endif
    return places;
}

bool DataDirectory::find(const Places& places) {
    path.clear();
    error.clear();
    if (!places.option.empty()) {
        if (isDirectory(places.option)) path = places.option;
        else error = "--data " + places.option + ": no such directory";
        return error.empty();
    }
    if (!places.environment.empty()) {
        if (isDirectory(places.environment)) path = places.environment;
        else error = std::string(environmentVariable) + "=" + places.environment + ": no such directory";
        return error.empty();
    }
    std::vector<std::string> candidates{places.current};
    // bin/PROGRAM -> share/torvane
    const std::string prefix = parentOf(parentOf(places.program));
    if (!places.program.empty() && !prefix.empty())
        candidates.push_back((prefix == "/" ? "" : prefix) + "/share/torvane");
    // A program run from its build directory (never an installed copy) reads the source tree's data.
    if (!places.buildDirectory.empty() && !places.sourceData.empty() &&
        startsWith(places.program, places.buildDirectory + "/"))
        candidates.push_back(places.sourceData);
    std::string looked;
    for (const std::string& candidate : candidates) {
        if (holdsData(candidate)) {
            path = candidate;
            return true;
        }
        looked += looked.empty() ? "the current directory " : ", ";
        looked += candidate.empty() ? "(unknown)" : candidate;
    }
    error = std::string("no game data (") + markerFile + ") found in " + looked + "; give --data DIR or set " +
            environmentVariable;
    return false;
}

bool DataDirectory::enter() {
    if (!path.empty() && chdir(path.c_str()) == 0) return true;
    error = "cannot enter the data directory " + path + ": " + std::strerror(errno);
    return false;
}

}  // namespace Torvane
