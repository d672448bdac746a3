#include "world/LevelFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace Torvane {

std::string LevelFile::checkName(const std::string& name) {
    if (name.empty()) return "the name is empty";
    if (name.size() > maxNameLength) return "the name is longer than " + std::to_string(maxNameLength) + " bytes";
    if (name.find('\0') != std::string::npos) return "the name holds a NUL byte";
    if (name[0] == '/') return "only names inside the data directory are read, not absolute ones";
    for (size_t start = 0; start <= name.size();) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return "only names inside the data directory are read, not ones with \"..\"";
        start = end + 1;
    }
    return "";
}

std::string LevelFile::checkFile(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return std::strerror(errno);
    if (S_ISDIR(status.st_mode)) return "it is a directory";
    if (!S_ISREG(status.st_mode)) return "it is not a regular file";
    return "";
}

}  // namespace Torvane
