// torvane-replay: plays a level without a display or sound, frame by frame and
// always the same way for the same level, inputs and seed.
//
//   torvane-replay [--data DIR] [--level N | --player] [--input FILE] [--seed N] [--frames N]
//                  [--shot FRAME:FILE.png]... [--trace FILE] [--where N]
//   torvane-replay --match MAP [--team-size N] [--score K] [--minutes M] [--spectate] ...
//   torvane-replay --match MAP --host PORT [--players H] ...  |  --join HOST:PORT ...
//
// Exit status: 0 when the script ended the game (or Escape was pressed), 1 on a
// script or input error or a stuck level, 2 on a bad command line, 3 when the frames
// ran out first.
#include <TorvaneVersion.h>
#include <allegro.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/DataDirectory.h"
#include "core/Game.h"
#include "fighters/Player.h"
#include "core/NetOptions.h"
#include "core/NetSession.h"
#include "level/MatchSettings.h"
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
constexpr int lobbySeconds = 60;

void stuckFrame(long long frame) {
    std::fprintf(stderr, "torvane-replay: the level is stuck: frame %lld has not ended in %d seconds\n", frame,
                 watchdogSeconds);
    std::fflush(stderr);
    std::_Exit(1);
}

struct Options {
    std::string data;  // --data DIR; empty: core/DataDirectory looks for it
    std::string input;
    unsigned seed = 1;
    long long frames = defaultFrames;
    std::vector<std::pair<long long, std::string>> shots;
    std::string trace;
    long long where = 0;  // every this many frames the camera and fighters are traced; 0: never
    std::string level;    // "--level N", checked against the data's level list
    bool player = false;  // as the game plays for a player: his progress, the level select
    Torvane::MatchSettings match;
    Torvane::NetOptions network;
};

int usage(std::FILE* to, int status) {
    std::fprintf(to,
                 "usage: torvane-replay [--data DIR] [--level N | --player] [--input FILE] [--seed N] [--frames N]\n"
                 "                      [--shot FRAME:FILE.png]... [--trace FILE] [--where N]\n"
                 "       torvane-replay --match MAP [--team-size N] [--score K] [--minutes M] [--spectate] ...\n"
                 "       torvane-replay --match MAP --host PORT [--players H] ...  |  --join HOST:PORT ...\n"
                 "       torvane-replay --version\n"
                 "Plays the first level of DIR (default: $TORVANE_DATA, else the current directory when it\n"
                 "holds script/main.fb, else the installed share/torvane; --level N the N-th of\n"
                 "script/levels.txt, and the next ones when the results screen goes on) without a display,\n"
                 "66 frames to a second, with the inputs of FILE, and writes a trace of what happened.\n"
                 "--player plays as the game does for a player: his progress in $XDG_DATA_HOME/torvane is\n"
                 "read and kept, and when he has finished a level the level select comes first.\n"
                 "--where N adds the camera and every fighter's place to the trace every N frames.\n"
                 "--match plays a team battle on map/versus/MAP.map of DIR (as torvane --match does);\n"
                 "with --spectate your place is taken by a computer fighter, so it plays without input.\n"
                 "--host opens it on UDP port PORT for H players (default 2), starting when all are in;\n"
                 "--join takes part in one; each machine plays its own inputs and writes its own trace.\n"
                 "Exit status: 0 the game was ended, 1 script or input error, 3 the frames ran out first.\n");
    return status;
}

bool number(const char* text, long long low, long long high, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return *text && end && *end == '\0' && value >= low && value <= high;
}

// 0 when the command line is sound, -1 for help, -2 for the version, else the status to exit with.
int parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") return -1;
        if (option == "--version") return -2;
        if (option == "--player") {
            options.player = true;
            continue;
        }
        if (option == "--spectate") {
            options.match.setSpectating(true);
            continue;
        }
        if (i + 1 >= argc) return 2;
        const char* value = argv[++i];
        if (options.match.take(option, value)) continue;
        if (option == "--host") {
            options.network.setHosting();
            options.network.take("--port", value);
            continue;
        }
        if (options.network.take(option, value)) continue;
        long long n = 0;
        if (option == "--data") {
            options.data = value;
        } else if (option == "--input") {
            options.input = value;
        } else if (option == "--level") {
            options.level = value;
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

// The level select, frame by frame on the inputs: false when they quit it or the frames ran out.
bool chooseLevel(Torvane::Game& game, InputScript& inputs, ReplayTrace& trace, const Options& options, long long& frame) {
    const long long frames = options.frames;
    game.openMenu();
    for (; frame < frames; ++frame) {
        inputs.apply(frame);
        const Torvane::MenuSystem::Outcome outcome = game.runMenuFrame();
        for (const auto& shot : options.shots) {
            if (shot.first == frame && !savePicture(game.getScreen().getCurrentPage(), shot.second))
                std::fprintf(stderr, "%s: the picture of frame %lld cannot be written\n", shot.second.c_str(), frame);
        }
        if (outcome == Torvane::MenuSystem::Outcome::Quit) return false;
        if (outcome == Torvane::MenuSystem::Outcome::Chosen) {
            game.leaveMenu();
            trace.note("menu: level " + std::to_string(game.getLevelIndex() + 1) + " chosen");
            ++frame;
            return true;
        }
    }
    return false;
}

// A network match, this machine's part: the lobby until the host starts, then a frame whenever
// its hands are in. The summary is the usual one, but for the line naming this machine's fighter.
int playNetwork(Torvane::Game& game, InputScript& inputs, ReplayTrace& trace, const Options& options,
                std::FILE* traceFile) {
    static Torvane::NetSession session;
    std::string error;
    Torvane::NetSession::Match opened;
    opened.map = options.match.getMap();
    opened.players = options.network.getPlayers();
    opened.teamSize = static_cast<uint8_t>(options.match.getTeamSize());
    opened.minutes = static_cast<uint8_t>(options.match.getMinutes());
    opened.score = static_cast<uint16_t>(options.match.getScore());
    opened.seed = options.seed;
    if (!(options.network.isHosting() ? session.host(options.network.getPort(), opened, error)
                                      : session.join(options.network.getJoinAddress(), error))) {
        std::fprintf(stderr, "torvane-replay: %s\n", error.c_str());
        return 1;
    }
    const auto news = [] {
        for (const std::string& line : session.takeNews()) std::fprintf(stderr, "%s\n", line.c_str());
    };
    // A lobby nobody comes to ends: a test must not wait for ever.
    for (int waited = 0; session.getState() == Torvane::NetSession::State::Lobby; waited += 2) {
        session.pump();
        news();
        if (waited > lobbySeconds * 1000) {
            std::fprintf(stderr, "torvane-replay: nobody came in %d seconds\n", lobbySeconds);
            session.leave();
            return 1;
        }
        usleep(2000);
    }
    news();
    if (session.getState() != Torvane::NetSession::State::Running) {
        std::fprintf(stderr, "%s\n", session.getEndReason().c_str());
        return 1;
    }
    game.useNetwork(&session);
    game.prepareNetworkMatch();
    game.beginLevel();
    Torvane::Lockstep& lockstep = game.getLockstep();
    FrameWatchdog watchdog(watchdogSeconds, stuckFrame);
    std::string ending = "frames";
    const char* nudge = std::getenv("TORVANE_TEST_DESYNC_FRAME");
    const long long desyncFrame = nudge ? std::atoll(nudge) : -1;
    long long frame = 0, stalls = 0;  // frames that had to wait for their hands
    bool waited = false;
    while (ending == "frames") {
        if (!lockstep.beforeFrame([] { session.pump(); })) {
            trace.scriptFailed("the script ran " + std::to_string(Torvane::Lockstep::stuckSeconds) +
                               " seconds without waiting for the game");
            ending = "stuck";
            break;
        }
        trace.lookForDeaths();
        if (!game.isRunning()) {
            ending = "endgame";
            break;
        }
        if (frame >= options.frames) break;
        session.pump();
        news();
        if (session.getState() != Torvane::NetSession::State::Running) {
            ending = session.getEndReason();
            break;
        }
        inputs.apply(frame);
        if (key[KEY_ESC]) {
            ending = "escape";
            break;
        }
        // A test of the desync check: this machine's world is nudged at that frame.
        if (frame == desyncFrame && !game.getPlayers().empty()) game.getPlayers().front()->setHealth(1);
        if (!game.runNetworkFrame()) {
            waited = true;
            usleep(200);
            continue;
        }
        stalls += waited;
        waited = false;
        if (options.where && frame % options.where == 0) trace.writePositions();
        lockstep.afterFrame();
        watchdog.frameDone(frame);
        ++frame;
    }
    game.setObserver(nullptr);
    game.endGame();
    game.endLevel();
    trace.writeSummary(frame, ending);
    std::fclose(traceFile);
    game.reportNetworkEnd();
    std::fprintf(stderr, "network: player %d of %d, input delay %u frames, %llu bytes sent, %llu received, %llu dropped, %lld of %lld frames waited for their hands\n",
                 session.getSlot() + 1, session.getPlayers(), session.getDelay(),
                 static_cast<unsigned long long>(session.getBytesSent()),
                 static_cast<unsigned long long>(session.getBytesReceived()),
                 static_cast<unsigned long long>(session.getDropped()), stalls, frame);
    session.leave();
    if (trace.hadScriptError() || ending == "stuck") return 1;
    return ending == "frames" ? 3 : ending == "endgame" || ending == "escape" ? 0 : 4;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int bad = parseOptions(argc, argv, options);
    if (bad == -2) {
        std::printf("torvane-replay %s\n", TORVANE_VERSION);
        return 0;
    }
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
    // Pictures go where the caller asked, not into the data directory entered below.
    char here[4096];
    for (auto& shot : options.shots) {
        if (shot.second[0] != '/' && getcwd(here, sizeof here)) shot.second = std::string(here) + "/" + shot.second;
    }
    Torvane::DataDirectory data;
    if (!data.find(Torvane::DataDirectory::ofThisProgram(options.data)) || !data.enter()) {
        std::fprintf(stderr, "torvane-replay: %s\n", data.getError().c_str());
        return 1;
    }
    Torvane::LevelList levels;
    std::string error;
    if (!levels.load(error)) std::fprintf(stderr, "%s\n", error.c_str());
    int first = 0;
    if (!options.level.empty() && (first = levels.indexOf(options.level, error)) < 0) {
        std::fprintf(stderr, "torvane-replay: %s\n", error.c_str());
        return 2;
    }
    if (options.player && !options.level.empty()) return usage(stderr, 2);
    const bool matchAsked = options.match.isAsked() || options.match.isSpectating();
    if (options.network.isAsked() && (options.match.isSpectating() || !options.network.check(matchAsked, error))) {
        std::fprintf(stderr, "torvane-replay: %s\n", options.match.isSpectating() ? "--spectate is not for a network match" : error.c_str());
        return 2;
    }
    if (matchAsked && (options.player || !options.level.empty())) return usage(stderr, 2);
    if (matchAsked && !options.match.check(Torvane::MatchSettings::availableMaps(), error)) {
        std::fprintf(stderr, "torvane-replay: %s\n", error.c_str());
        return 2;
    }
    Torvane::Progress progress;
    if (options.player) {
        std::string warning;
        progress.load(Torvane::Progress::defaultPath(), warning);
        if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
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
    game->setLevels(levels);
    game->setLevelIndex(first);
    if (matchAsked) game->setMatch(options.match);
    if (options.network.isAsked()) return playNetwork(*game, inputs, trace, options, traceFile);
    long long frame = 0;
    if (options.player) game->useProgress(&progress, Torvane::Progress::defaultPath());
    if (options.player && !progress.isEmpty() && !chooseLevel(*game, inputs, trace, options, frame)) {
        trace.writeSummary(frame, "escape");
        std::fclose(traceFile);
        return 0;
    }
    game->beginLevel();

    Torvane::Lockstep& lockstep = game->getLockstep();
    FrameWatchdog watchdog(watchdogSeconds, stuckFrame);
    std::string ending = "frames";
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
            // The results screen went on: the next level starts where a player's game would.
            game->setObserver(nullptr);
            game->endLevel();
            game->setObserver(&trace);
            if (game->advanceLevel()) {
                trace.note("level " + std::to_string(game->getLevelIndex() + 1) + " " +
                           game->getLevels().at(game->getLevelIndex()).script);
                game->beginLevel();
                --frame;
                continue;
            }
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
