#include "tools/playtest/PlaytestReport.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "core/GameClock.h"

namespace {

constexpr int fps = Torvane::GameClock::framesPerSecond;
const char* const weaponNames[3] = {"pistol", "rifle", "grenades"};

// The lower middle, so that it is always a value some run had.
long long middle(std::vector<long long> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}

long long most(const std::vector<long long>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string seconds(long long frames) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(frames) / fps);
    return text;
}

std::string pad(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

// Deaths near one place (to 100 pixels) by one hand, most first.
std::vector<std::tuple<int, int, std::string>> deathPlaces(const std::vector<PlaytestRun::Result>& runs) {
    std::map<std::pair<int, std::string>, int> counted;
    for (const auto& run : runs) {
        for (const auto& death : run.deaths) ++counted[{(death.x + 50) / 100 * 100, death.by}];
    }
    std::vector<std::tuple<int, int, std::string>> places;
    for (const auto& place : counted) places.emplace_back(place.second, place.first.first, place.first.second);
    std::sort(places.begin(), places.end(), [](const auto& a, const auto& b) {
        return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) > std::get<0>(b) : std::get<1>(a) < std::get<1>(b);
    });
    return places;
}

}  // namespace

void PlaytestReport::add(const PlaytestPlayer::Skill& skill, PlaytestRun::Result run) {
    if (played.empty() || played.back().skill != &skill) played.push_back({&skill, {}});
    played.back().runs.push_back(std::move(run));
}

std::string PlaytestReport::clock(long long frames) {
    const long long totalSeconds = std::max(0LL, frames) / fps;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", totalSeconds / 60, totalSeconds % 60);
    return text;
}

namespace {

// Whole percent; 0 of nothing is 0.
int percent(int part, int whole) { return whole > 0 ? static_cast<int>(100LL * part / whole) : 0; }

}  // namespace

PlaytestReport::Summary PlaytestReport::summarize(const Played& played) {
    Summary summary;
    for (const auto& run : played.runs) {
        summary.deaths += static_cast<int>(run.deaths.size());
        for (const auto& death : run.deaths) summary.worstDeathCost = std::max(summary.worstDeathCost, death.cost);
        summary.shots += run.shots;
        summary.hits += run.hits;
        summary.stills.push_back(run.longestStill);
        summary.presents.push_back(run.presents);
        if (!run.won()) continue;
        ++summary.won;
        if (run.deaths.empty()) ++summary.clean;
        summary.winFrames.push_back(run.winFrame);
    }
    return summary;
}

std::vector<int> PlaytestReport::waveNumbers(const Played& played) {
    std::set<int> numbers;
    for (const auto& run : played.runs) {
        for (const auto& wave : run.waves) numbers.insert(wave.number);
    }
    return {numbers.begin(), numbers.end()};
}

bool PlaytestReport::bulletsAt(const Played& played, int wave, int weapon, int& least, int& middleCount) {
    std::vector<long long> counts;
    for (const auto& run : played.runs) {
        for (const auto& begun : run.waves) {
            if (begun.number == wave && begun.bullets[weapon] >= 0) counts.push_back(begun.bullets[weapon]);
        }
    }
    if (counts.empty()) return false;
    least = static_cast<int>(*std::min_element(counts.begin(), counts.end()));
    middleCount = static_cast<int>(middle(counts));
    return true;
}

std::vector<std::string> PlaytestReport::errors() const {
    std::vector<std::string> all;
    for (const auto& skill : played) {
        for (const auto& run : skill.runs) {
            for (const auto& error : run.errors) {
                if (std::find(all.begin(), all.end(), error) == all.end()) all.push_back(error);
            }
        }
    }
    return all;
}

void PlaytestReport::writeTable(std::FILE* out) const {
    std::fprintf(out, "Level %s, seed %u, at most %s of play a run\n", level.c_str(), seed, clock(frameLimit).c_str());
    for (const auto& skill : played) {
        const PlaytestPlayer::Skill& s = *skill.skill;
        const Summary summary = summarize(skill);
        std::fprintf(out,
                     "\n%s: reacts in %.2f s, aims %.0f px off per 100 px + %.0f px + %.0f px per px/frame of speed,\n"
                     "  reads a bubble %.1f s a line, gives a present up after %.0f s, stops %d px from enemies, "
                     "backs off below %d health\n\n",
                     s.name, static_cast<double>(s.reactionFrames) / fps, s.aimError, s.tremble, s.movementError,
                     s.readSeconds, s.detourSeconds, s.keepDistance, s.coverHealth);
        std::fprintf(out, "  run  game seed   ending  time   deaths  presents  kills  accuracy  longest still\n");
        for (size_t i = 0; i < skill.runs.size(); ++i) {
            const auto& run = skill.runs[i];
            std::fprintf(out, "  %3zu  %-10u  %-6s  %-5s  %6zu  %8d  %5d  %7d%%  %s\n", i + 1, run.gameSeed,
                         run.ending.c_str(), clock(run.won() ? run.winFrame : run.frames).c_str(), run.deaths.size(),
                         run.presents, run.kills, percent(run.hits, run.shots),
                         (clock(run.longestStill) + " to " + clock(run.stillEnd)).c_str());
        }
        const std::string label = "  ";
        std::fprintf(out, "\n%swon              %d of %zu (%d without dying)\n", label.c_str(), summary.won,
                     skill.runs.size(), summary.clean);
        if (summary.won)
            std::fprintf(out, "%stime to win      median %s, worst %s\n", label.c_str(),
                         clock(middle(summary.winFrames)).c_str(), clock(most(summary.winFrames)).c_str());
        else
            std::fprintf(out, "%stime to win      -\n", label.c_str());
        std::string deaths = std::to_string(summary.deaths);
        for (const auto& place : deathPlaces(skill.runs)) {
            deaths += (deaths.find(':') == std::string::npos ? ": " : ", ") + std::to_string(std::get<0>(place)) +
                      " near x " + std::to_string(std::get<1>(place)) +
                      (std::get<2>(place).empty() ? " (no shot)" : " by " + std::get<2>(place));
        }
        std::fprintf(out, "%sdeaths           %s\n", label.c_str(), deaths.c_str());
        if (summary.deaths)
            std::fprintf(out, "%sworst death cost %s of play since the last checkpoint\n", label.c_str(),
                         clock(summary.worstDeathCost).c_str());
        std::fprintf(out, "%saccuracy         %d%% (%d of %d bullets struck an enemy)\n", label.c_str(),
                     percent(summary.hits, summary.shots), summary.hits, summary.shots);
        std::fprintf(out, "%spresents taken   median %lld, fewest %lld, most %lld\n", label.c_str(),
                     middle(summary.presents),
                     summary.presents.empty() ? 0 : *std::min_element(summary.presents.begin(), summary.presents.end()),
                     most(summary.presents));
        std::fprintf(out, "%slongest still    median %s, worst %s\n", label.c_str(), clock(middle(summary.stills)).c_str(),
                     clock(most(summary.stills)).c_str());
        const std::vector<int> waves = waveNumbers(skill);
        if (waves.empty()) continue;
        std::fprintf(out, "%sbullets when a wave begins (fewest / median)\n%s  wave  %s%s%s\n", label.c_str(),
                     label.c_str(), pad(weaponNames[0], 12).c_str(), pad(weaponNames[1], 12).c_str(), weaponNames[2]);
        for (int wave : waves) {
            std::string row;
            for (int weapon = 0; weapon < 3; ++weapon) {
                int least = 0, median = 0;
                row += pad(bulletsAt(skill, wave, weapon, least, median)
                               ? std::to_string(least) + " / " + std::to_string(median)
                               : "-",
                           12);
            }
            std::fprintf(out, "%s  %4d  %s\n", label.c_str(), wave, row.c_str());
        }
    }
    const std::vector<std::string> all = errors();
    if (!all.empty()) {
        std::fprintf(out, "\nScript errors:\n");
        for (const auto& error : all) std::fprintf(out, "  %s\n", error.c_str());
    }
}

bool PlaytestReport::writeJson(const std::string& path) const {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    std::fprintf(out, "{\n  \"level\": %s,\n  \"seed\": %u,\n  \"limitSeconds\": %s,\n  \"skills\": [", jsonText(level).c_str(),
                 seed, seconds(frameLimit).c_str());
    for (size_t k = 0; k < played.size(); ++k) {
        const Played& skill = played[k];
        const PlaytestPlayer::Skill& s = *skill.skill;
        const Summary summary = summarize(skill);
        std::fprintf(out,
                     "%s\n    {\n      \"skill\": %s,\n      \"figures\": {\"reactionFrames\": %d, \"aimErrorPer100\": %g, "
                     "\"tremble\": %g, \"movementError\": %g, \"readSeconds\": %g, \"detourSeconds\": %g, "
                     "\"keepDistance\": %d, \"coverHealth\": %d},\n",
                     k ? "," : "", jsonText(s.name).c_str(), s.reactionFrames, s.aimError, s.tremble, s.movementError,
                     s.readSeconds, s.detourSeconds, s.keepDistance, s.coverHealth);
        std::fprintf(out, "      \"runs\": %zu,\n      \"won\": %d,\n      \"wonWithoutDying\": %d,\n", skill.runs.size(),
                     summary.won, summary.clean);
        if (summary.won)
            std::fprintf(out, "      \"winSeconds\": {\"median\": %s, \"worst\": %s},\n",
                         seconds(middle(summary.winFrames)).c_str(), seconds(most(summary.winFrames)).c_str());
        else
            std::fprintf(out, "      \"winSeconds\": null,\n");
        std::fprintf(out, "      \"deaths\": %d,\n      \"longestStillSeconds\": {\"median\": %s, \"worst\": %s},\n",
                     summary.deaths, seconds(middle(summary.stills)).c_str(), seconds(most(summary.stills)).c_str());
        std::fprintf(out, "      \"waves\": [");
        const std::vector<int> waves = waveNumbers(skill);
        for (size_t w = 0; w < waves.size(); ++w) {
            std::fprintf(out, "%s{\"wave\": %d", w ? ", " : "", waves[w]);
            for (int weapon = 0; weapon < 3; ++weapon) {
                int least = 0, median = 0;
                if (bulletsAt(skill, waves[w], weapon, least, median))
                    std::fprintf(out, ", \"%s\": {\"fewest\": %d, \"median\": %d}", weaponNames[weapon], least, median);
            }
            std::fprintf(out, "}");
        }
        std::fprintf(out, "],\n      \"games\": [");
        for (size_t i = 0; i < skill.runs.size(); ++i) {
            const auto& run = skill.runs[i];
            std::fprintf(out,
                         "%s\n        {\"run\": %zu, \"gameSeed\": %u, \"ending\": %s, \"seconds\": %s, "
                         "\"winSeconds\": %s, \"presents\": %d, \"triggers\": %d, \"kills\": %d, "
                         "\"shots\": %d, \"hits\": %d, \"longestStillSeconds\": %s, \"scriptLines\": %zu, \"deaths\": [",
                         i ? "," : "", i + 1, run.gameSeed, jsonText(run.ending).c_str(), seconds(run.frames).c_str(),
                         run.won() ? seconds(run.winFrame).c_str() : "null", run.presents, run.triggers, run.kills,
                         run.shots, run.hits, seconds(run.longestStill).c_str(), run.lines.size());
            for (size_t d = 0; d < run.deaths.size(); ++d) {
                const auto& death = run.deaths[d];
                std::fprintf(out, "%s{\"seconds\": %s, \"x\": %d, \"costSeconds\": %s, \"by\": %s}", d ? ", " : "",
                             seconds(death.frame).c_str(), death.x, seconds(death.cost).c_str(),
                             death.by.empty() ? "null" : jsonText(death.by).c_str());
            }
            std::fprintf(out, "], \"wavesBegun\": [");
            for (size_t w = 0; w < run.waves.size(); ++w) {
                const auto& wave = run.waves[w];
                std::fprintf(out, "%s{\"wave\": %d", w ? ", " : "", wave.number);
                // A weapon not held is left out, as in the table's "-".
                for (int weapon = 0; weapon < 3; ++weapon) {
                    if (wave.bullets[weapon] >= 0)
                        std::fprintf(out, ", \"%s\": %d", weaponNames[weapon], wave.bullets[weapon]);
                }
                std::fprintf(out, "}");
            }
            std::fprintf(out, "]}");
        }
        std::fprintf(out, "\n      ]\n    }");
    }
    std::fprintf(out, "\n  ],\n  \"errors\": [");
    const std::vector<std::string> all = errors();
    for (size_t i = 0; i < all.size(); ++i) std::fprintf(out, "%s%s", i ? ", " : "", jsonText(all[i]).c_str());
    std::fprintf(out, "]\n}\n");
    return std::fclose(out) == 0;
}
