#pragma once

#include <string>
#include <vector>

namespace Torvane {

// A team battle as asked for on the command line: the versus map, the size of each team,
// the kills that win and the minutes it lasts. The rules themselves are the script
// "script/versus.fb", which reads these through matchSetting. Maps are the files
// "map/versus/NAME.map" of the data directory; NAME is checked against them, so a name
// never leads outside that folder.
class MatchSettings {
public:
    static constexpr const char* rulesScript = "script/versus.fb";
    static constexpr const char* mapFolder = "map/versus";
    static constexpr int maxTeamSize = 8;
    static constexpr int maxScore = 999;
    static constexpr int maxMinutes = 60;

    // The versus maps of the data directory, sorted by name, without folder or ".map".
    static std::vector<std::string> availableMaps(const std::string& directory = ".");
    // "a, b and c", or "none" when there are none.
    static std::string mapListText(const std::vector<std::string>& maps);

    // Takes "--match", "--team-size", "--score" or "--minutes" and its value: false when
    // the option is none of them (nothing changes). A bad value leaves an error for check.
    bool take(const std::string& option, const std::string& value);
    void setSpectating(bool on) { spectating = on; }

    // Whether a match was asked for at all (any of the options).
    bool isAsked() const { return asked; }
    // The options against the maps there are: false with one line saying what is wrong.
    bool check(const std::vector<std::string>& maps, std::string& error) const;

    const std::string& getMap() const { return map; }
    std::string getMapPath() const { return std::string(mapFolder) + "/" + map + ".map"; }
    int getTeamSize() const { return teamSize; }
    int getScore() const { return score; }
    int getMinutes() const { return minutes; }
    bool isSpectating() const { return spectating; }

private:
    std::string map;
    int teamSize = 4;
    int score = 20;
    int minutes = 5;
    bool spectating = false;
    bool asked = false;
    std::string badValue;  // the first option whose value was not a number in range
};

}  // namespace Torvane
