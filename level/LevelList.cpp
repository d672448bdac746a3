#include "level/LevelList.h"

#include <cstdlib>

#include "core/UserFiles.h"

namespace Torvane {

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A file the list names: relative, inside its folder, no way up and nothing a shell or a
// terminal would read as more than a name.
bool safePath(const std::string& path, const std::string& folder) {
    if (path.compare(0, folder.size(), folder) != 0 || path.size() == folder.size()) return false;
    if (path.find("..") != std::string::npos || path.find("//") != std::string::npos) return false;
    for (char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '/' || c == '_' || c == '-' || c == '.';
        if (!plain) return false;
    }
    return true;
}

}  // namespace

void LevelList::useDefault() { levels = {Level{"script/main.fb", "Level 1", ""}}; }

bool LevelList::load(std::string& error, const std::string& directory) {
    std::string text;
    useDefault();
    if (!UserFiles::read(directory + "/" + fileName, 64 * 1024, text, error)) return error.empty();
    return parse(text, error);
}

bool LevelList::parse(const std::string& text, std::string& error) {
    std::vector<Level> read;
    size_t start = 0;
    for (int line = 1; start < text.size(); ++line) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string content = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (content.empty() || content[0] == '#') continue;
        auto fail = [&](const std::string& why) {
            error = std::string(fileName) + " line " + std::to_string(line) + ": " + why;
            useDefault();
            return false;
        };
        const size_t bar1 = content.find('|');
        const size_t bar2 = bar1 == std::string::npos ? bar1 : content.find('|', bar1 + 1);
        if (bar2 == std::string::npos || content.find('|', bar2 + 1) != std::string::npos)
            return fail("a level is \"script | name | picture\", three parts");
        Level level{trimmed(content.substr(0, bar1)), trimmed(content.substr(bar1 + 1, bar2 - bar1 - 1)),
                    trimmed(content.substr(bar2 + 1))};
        if (!safePath(level.script, "script/") || level.script.size() < 4 ||
            level.script.compare(level.script.size() - 3, 3, ".fb") != 0)
            return fail("\"" + level.script + "\" is not a .fb file under script/");
        if (!level.picture.empty() && !safePath(level.picture, "image/"))
            return fail("\"" + level.picture + "\" is not a picture under image/");
        if (level.name.empty() || level.name.size() > 40) return fail("a level's name has 1 to 40 characters");
        if (static_cast<int>(read.size()) == maxLevels) return fail("more than " + std::to_string(maxLevels) + " levels");
        read.push_back(level);
    }
    if (read.empty()) {
        error = std::string(fileName) + " names no level";
        useDefault();
        return false;
    }
    levels = read;
    return true;
}

int LevelList::indexOf(const std::string& number, std::string& error) const {
    char* end = nullptr;
    const long n = std::strtol(number.c_str(), &end, 10);
    if (!number.empty() && *end == '\0' && n >= 1 && n <= size()) return static_cast<int>(n - 1);
    error = "there is no level \"" + number + "\"; the levels are:";
    for (int i = 0; i < size(); ++i) error += "\n  " + std::to_string(i + 1) + "  " + at(i).name;
    return -1;
}

}  // namespace Torvane
