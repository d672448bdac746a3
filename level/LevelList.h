#pragma once

#include <string>
#include <vector>

namespace Torvane {

// The campaign: the levels in the order they are played, read from "script/levels.txt" of the
// data directory, one level a line: its entry script (which has Main), its name and the picture
// the level select shows, separated by "|". Authors add a level by adding a line and its files.
// A data directory without the file has one level, script/main.fb. The file comes from outside:
// each path must stay inside the data directory, and the list is bounded.
class LevelList {
public:
    static constexpr int maxLevels = 64;
    static constexpr const char* fileName = "script/levels.txt";

    struct Level {
        std::string script;   // relative to the data directory, under script/
        std::string name;
        std::string picture;  // relative to the data directory, under image/; may be empty
    };

    // Reads the list of the data directory. False with a message naming the line when the
    // file is there but wrong; the list then holds the single default level.
    bool load(std::string& error, const std::string& directory = ".");
    bool parse(const std::string& text, std::string& error);

    int size() const { return static_cast<int>(levels.size()); }
    const Level& at(int index) const { return levels.at(static_cast<size_t>(index)); }

    // The 0-based index of "--level N" (N counts from 1), or -1 with an error naming the levels there are.
    int indexOf(const std::string& number, std::string& error) const;

private:
    void useDefault();
    std::vector<Level> levels{Level{"script/main.fb", "Level 1", ""}};
};

}  // namespace Torvane
