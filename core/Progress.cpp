#include "core/Progress.h"

#include <sstream>

#include "core/UserFiles.h"

namespace Torvane {

namespace {
constexpr std::size_t maxFileBytes = 64 * 1024;
constexpr const char* header = "# Torvane progress: one finished level a line, its best time in frames (66 a second).\n";
}  // namespace

std::string Progress::defaultPath() {
    const std::string directory = UserFiles::directory(UserFiles::Kind::Data);
    return directory.empty() ? std::string() : directory + "/progress";
}

void Progress::load(const std::string& path, std::string& warning) {
    best.clear();
    warning.clear();
    std::string text, error;
    if (!UserFiles::read(path, maxFileBytes, text, error)) {
        if (!error.empty()) warning = error + "; starting with nothing finished";
        return;
    }
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string level, k1, k2, k3, k4, k5, rest;
        Result r;
        const bool whole = static_cast<bool>(words >> level >> k1 >> r.frames >> k2 >> r.kills >> k3 >> r.headshots >>
                                             k4 >> r.accuracy >> k5 >> r.deaths) &&
                           !(words >> rest) && k1 == "time" && k2 == "kills" && k3 == "headshots" &&
                           k4 == "accuracy" && k5 == "deaths" && r.frames >= 0 && r.kills >= 0 &&
                           r.headshots >= 0 && r.accuracy >= 0 && r.accuracy <= 100 && r.deaths >= 0;
        if (!whole) {
            best.clear();
            warning = path + " is damaged (line " + std::to_string(number) + "); starting with nothing finished";
            return;
        }
        best[level] = r;
    }
}

bool Progress::save(const std::string& path, std::string& error) const {
    if (path.empty()) {
        error = "no place for the progress file: neither XDG_DATA_HOME nor HOME is set";
        return false;
    }
    std::ostringstream out;
    out << header;
    for (const auto& entry : best) {
        const Result& r = entry.second;
        out << entry.first << " time " << r.frames << " kills " << r.kills << " headshots " << r.headshots
            << " accuracy " << r.accuracy << " deaths " << r.deaths << '\n';
    }
    return UserFiles::writeSafely(path, out.str(), error);
}

const Progress::Result* Progress::bestOf(const std::string& level) const {
    auto found = best.find(level);
    return found == best.end() ? nullptr : &found->second;
}

void Progress::record(const std::string& level, const Result& result) {
    auto found = best.find(level);
    if (found == best.end() || result.frames < found->second.frames) best[level] = result;
}

}  // namespace Torvane
