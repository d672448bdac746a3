#include "level/MatchSettings.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace Torvane {

namespace {

constexpr const char* extension = ".map";

// A whole decimal number from low to high; anything else is refused.
bool readNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const long number = std::strtol(text.c_str(), nullptr, 10);
    if (number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

std::vector<std::string> MatchSettings::availableMaps(const std::string& directory) {
    std::vector<std::string> maps;
    DIR* folder = opendir((directory + "/" + mapFolder).c_str());
    if (!folder) return maps;
    const std::string ending = extension;
    while (dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() <= ending.size() || name.compare(name.size() - ending.size(), ending.size(), ending) != 0)
            continue;
        const std::string stem = name.substr(0, name.size() - ending.size());
        // Only names a player can type and no hidden files: the name is part of a path.
        if (stem[0] == '.' || stem.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_-") != std::string::npos)
            continue;
        // Bounded: a folder of thousands of files is not a list to print.
        if (maps.size() < 256) maps.push_back(stem);
    }
    closedir(folder);
    std::sort(maps.begin(), maps.end());
    return maps;
}

std::string MatchSettings::mapListText(const std::vector<std::string>& maps) {
    if (maps.empty()) return "none";
    std::string text;
    for (size_t i = 0; i < maps.size(); ++i) {
        if (i > 0) text += i + 1 == maps.size() ? " and " : ", ";
        text += maps[i];
    }
    return text;
}

bool MatchSettings::take(const std::string& option, const std::string& value) {
    int* target = nullptr;
    int high = 0;
    if (option == "--match") {
        map = value;
    } else if (option == "--team-size") {
        target = &teamSize, high = maxTeamSize;
    } else if (option == "--score") {
        target = &score, high = maxScore;
    } else if (option == "--minutes") {
        target = &minutes, high = maxMinutes;
    } else {
        return false;
    }
    asked = true;
    if (target && !readNumber(value, 1, high, *target) && badValue.empty())
        badValue = option + " " + value + " is not a whole number from 1 to " + std::to_string(high);
    return true;
}

bool MatchSettings::check(const std::vector<std::string>& maps, std::string& error) const {
    if (!badValue.empty()) {
        error = badValue;
        return false;
    }
    if (map.empty()) {
        error = "--match needs the name of a versus map; the maps are " + mapListText(maps);
        return false;
    }
    if (std::find(maps.begin(), maps.end(), map) == maps.end()) {
        error = "there is no versus map \"" + map + "\"; the maps are " + mapListText(maps);
        return false;
    }
    return true;
}

}  // namespace Torvane
