// torvane-replay: plays a level without a display or sound, frame by frame and
// always the same way for the same level, inputs and seed.
//
//   torvane-replay [--data DIR] [--input FILE] [--seed N] [--frames N]
//                  [--shot FRAME:FILE.png]... [--trace FILE] [--where N]
//
// Exit status: 0 when the script ended the game (or Escape was pressed), 1 on a
// script or input error or a stuck level, 2 on a bad command line, 3 when the frames
// ran out first.
#include <allegro.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/Game.h"
#include "tools/common/FrameWatchdog.h"
#include "tools/common/SavePicture.h"
#include "tools/replay/InputScript.h"
#include "tools/replay/ReplayTrace.h"

namespace {

// Fifteen minutes of play, so that a level that never ends still stops.
constexpr long long defaultFrames = 15LL * 60 * Torvane::GameClock::framesPerSecond;
// A frame that takes this long in real time is stuck, whatever it is stuck in (a file, the lock, a host call):
// the run ends rather than waiting for ever. Longer than the script's own stuck guard, which says more.
constexpr int watchdogSeconds = Torvane::Lockstep::stuckSeconds + 30;

void stuckFrame(long long frame) {
    std::fprintf(stderr, "torvane-replay: the level is stuck: frame %lld has not ended in %d seconds\n", frame,
                 watchdogSeconds);
    std::fflush(stderr);
    std::_Exit(1);
}

struct Options {
    std::string data = ".";
    std::string input;
    unsigned seed = 1;
    long long frames = defaultFrames;
    std::vector<std::pair<long long, std::string>> shots;
    std::string trace;
    long long where = 0;  // every this many frames the camera and fighters are traced; 0: never
};

int usage(std::FILE* to, int status) {
    std::fprintf(to,
                 "usage: torvane-replay [--data DIR] [--input FILE] [--seed N] [--frames N]\n"
                 "                      [--shot FRAME:FILE.png]... [--trace FILE] [--where N]\n"
                 "Plays the level script/main.fb of DIR (default: the current directory) without a display,\n"
                 "66 frames to a second, with the inputs of FILE, and writes a trace of what happened.\n"
                 "--where N adds the camera and every fighter's place to the trace every N frames.\n"
                 "Exit status: 0 the game was ended, 1 script or input error, 3 the frames ran out first.\n");
    return status;
}

bool number(const char* text, long long low, long long high, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return *text && end && *end == '\0' && value >= low && value <= high;
}

// 0 when the command line is sound, else the status to exit with.
int parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") return -1;
        if (i + 1 >= argc) return 2;
        const char* value = argv[++i];
        long long n = 0;
        if (option == "--data") {
            options.data = value;
        } else if (option == "--input") {
            options.input = value;
        } else if (option == "--trace") {
            options.trace = value;
        } else if (option == "--seed" && number(value, 0, UINT_MAX, n)) {
            options.seed = static_cast<unsigned>(n);
        } else if (option == "--frames" && number(value, 0, LLONG_MAX / 2, n)) {
            options.frames = n;
        } else if (option == "--where" && number(value, 1, LLONG_MAX / 2, n)) {
            options.where = n;
        } else if (option == "--shot" && std::strchr(value, ':')) {
            const std::string shot = value;
            const size_t colon = shot.find(':');
            if (!number(shot.substr(0, colon).c_str(), 0, LLONG_MAX / 2, n) || colon + 1 == shot.size()) return 2;
            options.shots.emplace_back(n, shot.substr(colon + 1));
        } else {
            return 2;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int bad = parseOptions(argc, argv, options);
    if (bad < 0) return usage(stdout, 0);
    if (bad > 0) return usage(stderr, 2);

    InputScript inputs;
    if (!options.input.empty() && !inputs.load(options.input)) {
        std::fprintf(stderr, "%s\n", inputs.getError().c_str());
        return 1;
    }
    std::FILE* traceFile = stdout;
    if (!options.trace.empty() && !(traceFile = std::fopen(options.trace.c_str(), "w"))) {
        std::fprintf(stderr, "%s: cannot be written\n", options.trace.c_str());
        return 1;
    }
    if (chdir(options.data.c_str()) != 0) {
        std::fprintf(stderr, "%s: no such data directory\n", options.data.c_str());
        return 1;
    }
    // Never a window or a sound card, whatever this machine has.
    unsetenv("DISPLAY");
    setenv("ALSOFT_DRIVERS", "null", 1);
    // The game's own lines (the script thread, message boxes) go to standard error, so that a
    // trace on standard output holds nothing else.
    if (traceFile == stdout) {
        std::fflush(stdout);
        traceFile = fdopen(dup(1), "w");
        if (!traceFile) return 1;
    }
    dup2(2, 1);

    Torvane::Game* game = new Torvane::Game();
    std::srand(options.seed);
    game->getClock().useFrameTime();
    game->getLockstep().enable();
    if (!game->getScreen().useMemoryPages(800, 600)) {
        std::fprintf(stderr, "no memory for the screen\n");
        return 1;
    }
    ReplayTrace trace(*game, traceFile);
    game->setObserver(&trace);
    game->beginLevel();

    Torvane::Lockstep& lockstep = game->getLockstep();
    FrameWatchdog watchdog(watchdogSeconds, stuckFrame);
    std::string ending = "frames";
    long long frame = 0;
    // A level whose script does not load is not played: its error is in the trace, and the status says so.
    if (!game->getScriptSystem().isLoaded()) ending = "script error";
    for (; ending == "frames"; ++frame) {
        if (!lockstep.beforeFrame()) {
            trace.scriptFailed("the script ran " + std::to_string(Torvane::Lockstep::stuckSeconds) +
                               " seconds without waiting for the game");
            ending = "stuck";
            break;
        }
        trace.lookForDeaths();
        if (!game->isRunning()) {
            ending = "endgame";
            break;
        }
        if (frame >= options.frames) break;
        inputs.apply(frame);
        if (key[KEY_ESC]) {
            ending = "escape";
            break;
        }
        game->runFrame();
        if (options.where && frame % options.where == 0) trace.writePositions();
        for (const auto& shot : options.shots) {
            if (shot.first == frame && !savePicture(game->getScreen().getCurrentPage(), shot.second))
                std::fprintf(stderr, "%s: the picture of frame %lld cannot be written\n", shot.second.c_str(), frame);
        }
        // A paused frame is no time for the script's waits.
        if (!game->isPaused()) lockstep.afterFrame();
        watchdog.frameDone(frame);
    }
    // What the script does while it is being stopped is not part of the game.
    game->setObserver(nullptr);
    game->endGame();
    game->endLevel();
    trace.writeSummary(frame, ending);
    std::fclose(traceFile);
    if (trace.hadScriptError() || ending == "stuck") return 1;
    return ending == "frames" ? 3 : 0;
}
