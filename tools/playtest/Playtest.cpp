// torvane-playtest: simulated players play a level headless and frame-exact, as the
// level runner plays it, and a table tells how they fared.
//
// Exit status: 0 when it ran, 1 when the level cannot be played (a script error),
// 2 on a bad command line.
#include <TorvaneVersion.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/DataDirectory.h"
#include "core/GameClock.h"
#include "level/LevelList.h"
#include "tools/playtest/PlaytestPlayer.h"
#include "tools/playtest/PlaytestReport.h"
#include "tools/playtest/PlaytestRun.h"

namespace {

struct Options {
    std::string data;  // --data DIR; empty: core/DataDirectory looks for it
    int runs = 10;
    std::string skill = "all";
    unsigned seed = 1;
    double minutes = 5;
    std::string json;
    std::string saveInput;
    int saveRun = 1;  // which game of the first player played --save-input keeps
    std::string level = "1";  // of the data's level list
};

int usage(std::FILE* to, int status) {
    std::fprintf(to,
                 "usage: torvane-playtest [--data DIR] [--level N] [--runs N] [--skill steady|shaky|rusher|all]\n"
                 "                        [--seed S] [--minutes M] [--json FILE] [--save-input FILE [--save-run N]]\n"
                 "       torvane-playtest --version\n"
                 "Simulated players play the first level of DIR (default: $TORVANE_DATA, else the current\n"
                 "directory when it holds script/main.fb, else the installed share/torvane; --level N\n"
                 "the N-th of its script/levels.txt),\n"
                 "N games each (default 10), at most M minutes of game time a game (default 5; a game that\n"
                 "runs out of time is lost), and a table per player tells how they fared. The same seed\n"
                 "(default 1) gives the same table. --json FILE writes the same numbers as JSON;\n"
                 "--save-input FILE keeps the inputs of game N (default 1) of the first player played, for\n"
                 "torvane-replay --input FILE --seed GAME_SEED (the game seed is in the file).\n"
                 "A game is won when the level prints a line with the word \"won\", or ends with the\n"
                 "main player alive.\n\n"
                 "The players (reaction, aim error per 100 px of distance + tremble + per px/frame of\n"
                 "speed, reading a bubble (a line), giving up a present, where they stop before enemies, when\n"
                 "they back off):\n");
    for (const auto& s : PlaytestPlayer::skills()) {
        std::fprintf(to, "  %-7s %.2f s, %.0f px + %.0f px + %.0f px, %.1f s, %.0f s, %d px, below %d health\n", s.name,
                     static_cast<double>(s.reactionFrames) / Torvane::GameClock::framesPerSecond, s.aimError,
                     s.tremble, s.movementError, s.readSeconds, s.detourSeconds, s.keepDistance, s.coverHealth);
    }
    std::fprintf(to, "Exit status: 0 it ran, 1 the level cannot be played (script error), 2 bad command line.\n");
    return status;
}

bool whole(const char* text, long long low, long long high, long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return *text && errno == 0 && *end == '\0' && value >= low && value <= high;
}

// 0 when the command line is sound, -1 for help, -2 for the version, else the status to exit with.
int parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") return -1;
        if (option == "--version") return -2;
        if (i + 1 >= argc) return 2;
        const char* value = argv[++i];
        long long n = 0;
        if (option == "--data") {
            options.data = value;
        } else if (option == "--level") {
            options.level = value;
        } else if (option == "--runs" && whole(value, 1, 10000, n)) {
            options.runs = static_cast<int>(n);
        } else if (option == "--skill" && (std::string(value) == "all" || PlaytestPlayer::findSkill(value))) {
            options.skill = value;
        } else if (option == "--seed" && whole(value, 0, UINT_MAX, n)) {
            options.seed = static_cast<unsigned>(n);
        } else if (option == "--minutes") {
            char* end = nullptr;
            const double minutes = std::strtod(value, &end);
            // Fractions of a minute are for quick tries; a day is more than any level needs.
            if (!*value || *end || !std::isfinite(minutes) || minutes <= 0 || minutes > 24 * 60) return 2;
            options.minutes = minutes;
        } else if (option == "--json" && *value) {
            options.json = value;
        } else if (option == "--save-input" && *value) {
            options.saveInput = value;
        } else if (option == "--save-run" && whole(value, 1, 10000, n)) {
            options.saveRun = static_cast<int>(n);
        } else {
            return 2;
        }
    }
    return 0;
}

bool saveInputs(const std::string& path, const std::string& data, int level, const PlaytestPlayer::Skill& skill,
                const PlaytestRun::Result& run) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    std::fprintf(file, "# torvane-playtest, player %s: torvane-replay --data %s --level %d --input %s --seed %u\n",
                 skill.name, data.c_str(), level + 1, path.c_str(), run.gameSeed);
    std::fprintf(file, "# ending %s at frame %lld\n", run.ending.c_str(), run.won() ? run.winFrame : run.frames);
    for (const auto& line : run.lines) std::fprintf(file, "# %lld print %s\n", line.first, line.second.c_str());
    std::fputs(run.inputs.c_str(), file);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int bad = parseOptions(argc, argv, options);
    if (bad == -2) {
        std::printf("torvane-playtest %s\n", TORVANE_VERSION);
        return 0;
    }
    if (bad < 0) return usage(stdout, 0);
    if (bad > 0) return usage(stderr, 2);
    Torvane::DataDirectory data;
    if (!data.find(Torvane::DataDirectory::ofThisProgram(options.data))) {
        std::fprintf(stderr, "torvane-playtest: %s\n", data.getError().c_str());
        return 1;
    }
    options.data = data.getPath();
    Torvane::LevelList levels;
    std::string error;
    if (!levels.load(error, options.data)) std::fprintf(stderr, "%s\n", error.c_str());
    const int level = levels.indexOf(options.level, error);
    if (level < 0) {
        std::fprintf(stderr, "torvane-playtest: %s\n", error.c_str());
        return 2;
    }
    if (access((options.data + "/" + levels.at(level).script).c_str(), R_OK) != 0) {
        std::fprintf(stderr, "%s: no %s to play\n", options.data.c_str(), levels.at(level).script.c_str());
        return 1;
    }
    const long long frameLimit =
        std::llround(options.minutes * 60 * Torvane::GameClock::framesPerSecond);
    PlaytestReport report(options.data, options.seed, frameLimit);
    bool saved = options.saveInput.empty();
    for (const auto& skill : PlaytestPlayer::skills()) {
        if (options.skill != "all" && options.skill != skill.name) continue;
        for (int run = 1; run <= options.runs; ++run) {
            PlaytestRun::Setup setup;
            setup.data = options.data;
            setup.level = level;
            setup.skill = &skill;
            setup.seed = options.seed;
            setup.run = run;
            setup.frameLimit = frameLimit;
            setup.keepInputs = !saved && run == options.saveRun;
            PlaytestRun::Result result = PlaytestRun::playApart(setup);
            if (result.ending == "failed") {
                std::fprintf(stderr, "%s: the level cannot be played\n", options.data.c_str());
                for (const auto& error : result.errors) std::fprintf(stderr, "  %s\n", error.c_str());
                return 1;
            }
            if (setup.keepInputs) {
                saved = true;
                if (!saveInputs(options.saveInput, options.data, level, skill, result)) {
                    std::fprintf(stderr, "%s: cannot be written\n", options.saveInput.c_str());
                    return 1;
                }
            }
            report.add(skill, std::move(result));
        }
    }
    report.writeTable(stdout);
    std::fflush(stdout);
    if (!options.json.empty() && !report.writeJson(options.json)) {
        std::fprintf(stderr, "%s: cannot be written\n", options.json.c_str());
        return 1;
    }
    return report.errors().empty() ? 0 : 1;
}
