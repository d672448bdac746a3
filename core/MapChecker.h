#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/MapFile.h"

namespace Torvane {

// Checks a map file for level authors: reads it with the game's own reader,
// relative to the working directory as the game does, and lists every problem
// it finds. The game would load such a map only in part, or with holes.
class MapChecker {
public:
    struct Problem {
        int recordNumber;     // 0 for the file as a whole
        std::string message;  // names the file, the record and what is wrong
    };

    // Returns true when the map has no problem at all.
    bool check(const std::string& path);

    const std::vector<Problem>& getProblems() const { return problems; }
    const MapFile& getMap() const { return map; }
    // One line for a map without problems: its size and pieces.
    std::string getSummary() const;

private:
    struct Picture {
        bool loaded;
        int width;
        int height;
        std::string reason;  // why it did not load
    };
    const Picture& picture(const std::string& imageName);
    void report(int recordNumber, const std::string& message);

    MapFile map;
    std::vector<Problem> problems;
    std::map<std::string, Picture> pictures;  // by image name, each loaded once
};

}  // namespace Torvane
