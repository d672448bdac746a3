#include "core/UserFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Torvane {

namespace {

bool isAbsolute(const char* path) { return path && path[0] == '/'; }

bool makeDirectories(const std::string& path, std::string& error) {
    for (std::size_t slash = 1; slash <= path.size(); ++slash) {
        if (slash < path.size() && path[slash] != '/') continue;
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "cannot make the directory " + part + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

}  // namespace

std::string UserFiles::directory(Kind kind) {
    const char* variable = kind == Kind::Data ? "XDG_DATA_HOME" : kind == Kind::Config ? "XDG_CONFIG_HOME" : "XDG_STATE_HOME";
    const char* fallback = kind == Kind::Data ? "/.local/share" : kind == Kind::Config ? "/.config" : "/.local/state";
    const char* set = std::getenv(variable);
    if (isAbsolute(set)) return std::string(set) + "/torvane";
    const char* home = std::getenv("HOME");
    if (isAbsolute(home)) return std::string(home) + fallback + "/torvane";
    return std::string();
}

bool UserFiles::writeSafely(const std::string& path, const std::string& contents, std::string& error) {
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(path.substr(0, slash), error)) return false;
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".new-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int file = mkstemp(name.data());
    if (file < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(file, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    const bool whole = written == contents.size() && fsync(file) == 0;
    const int reason = errno;
    const bool closed = close(file) == 0;
    if (!whole || !closed || std::rename(name.data(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(whole && closed ? errno : reason);
        std::remove(name.data());
        return false;
    }
    return true;
}

bool UserFiles::read(const std::string& path, std::size_t maxBytes, std::string& contents, std::string& error) {
    contents.clear();
    error.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (errno != ENOENT) error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (contents.size() + n > maxBytes) {
            error = path + " is larger than " + std::to_string(maxBytes) + " bytes";
            std::fclose(file);
            return false;
        }
        contents.append(buffer, n);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) error = "cannot read " + path;
    return !failed;
}

}  // namespace Torvane
