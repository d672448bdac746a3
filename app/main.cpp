#include <allegro.h>
#include <TorvaneVersion.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "app/BuildConfiguration.h"
#include "core/DataDirectory.h"
#include "core/Game.h"
#include "core/NetOptions.h"
#include "core/NetSession.h"
#include "core/Progress.h"
#include "level/LevelList.h"
#include "level/MatchSettings.h"

namespace {

void printUsage(std::FILE* stream, const char* program) {
    std::fprintf(stream,
                 "usage: %s [--data DIR] [--level N]\n"
                 "       %s [--data DIR] --match MAP [--team-size N] [--score K] [--minutes M]\n"
                 "       %s [--data DIR] --host [--port P] [--players H] --match MAP [...]  |  --join HOST[:PORT]\n"
                 "       %s --version\n"
                 "Runs the game on its data (script/, map/, image/ and sound/) in DIR; without --data,\n"
                 "in $TORVANE_DATA, else the current directory when it holds script/main.fb, else the\n"
                 "share/torvane beside the program's bin/ directory (where it is installed).\n"
                 "The levels are played in the order of script/levels.txt; a player who has finished\n"
                 "one chooses where to start from the level select. --level N starts the N-th level\n"
                 "at once (1 is the first).\n"
                 "Progress is kept in $XDG_DATA_HOME/torvane/progress, settings in\n"
                 "$XDG_CONFIG_HOME/torvane/settings.\n"
                 "--match MAP starts a team battle on map/versus/MAP.map: you and N-1 computer team-mates\n"
                 "of KR (red) against N computer fighters of KT (blue); N from 1 to 8 (default 4). The first\n"
                 "team to K kills wins (default 20), or the team ahead after M minutes (default 5).\n"
                 "--host opens that battle on the network for H players (2 to 8, default 2) on UDP port P\n"
                 "(default 24650); the others --join it. Players go to the teams in turn, computer fighters\n"
                 "fill the places left; the host starts with Enter, or at once when all are in.\n"
                 "The versus maps: %s.\n",
                 program, program, program, program,
                 Torvane::MatchSettings::mapListText(Torvane::MatchSettings::availableMaps()).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const char* levelNumber = nullptr;
    Torvane::MatchSettings match;
    Torvane::NetOptions network;
    std::string dataOption;
    enum class Asked { Play, Help, Wrong } asked = Asked::Play;
    for (int i = 1; i < argc && asked == Asked::Play; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            asked = Asked::Help;
            continue;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            const char* slash = std::strrchr(argv[0], '/');
            std::printf("%s %s\n", slash ? slash + 1 : argv[0], TORVANE_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc && dataOption.empty()) {
            dataOption = argv[++i];
            continue;
        }
        if (std::strcmp(argv[i], "--level") == 0 && i + 1 < argc && !levelNumber) {
            levelNumber = argv[++i];
            continue;
        }
        if (std::strcmp(argv[i], "--host") == 0) {
            network.setHosting();
            continue;
        }
        if (i + 1 < argc && (match.take(argv[i], argv[i + 1]) || network.take(argv[i], argv[i + 1]))) {
            ++i;
            continue;
        }
        asked = Asked::Wrong;
    }
    // The usage lists the versus maps of the data, so the data is looked for first.
    Torvane::DataDirectory data;
    const bool entered = data.find(Torvane::DataDirectory::ofThisProgram(dataOption)) && data.enter();
    if (asked != Asked::Play) {
        printUsage(asked == Asked::Help ? stdout : stderr, argv[0]);
        return asked == Asked::Help ? 0 : 2;
    }
    if (!entered) {
        std::fprintf(stderr, "%s: %s\n", argv[0], data.getError().c_str());
        return 1;
    }
    std::string error;
    if (network.isAsked() && (levelNumber || !network.check(match.isAsked(), error))) {
        if (levelNumber) error = "--level is for the story; a network match is a battle";
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 2;
    }
    if (match.isAsked() && (levelNumber || !match.check(Torvane::MatchSettings::availableMaps(), error))) {
        if (levelNumber) error = "--level and --match cannot be given together";
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 2;
    }
    Torvane::LevelList levels;
    // A broken list is reported and the first level played, as before there was a list.
    if (!levels.load(error)) std::printf("%s; playing script/main.fb alone.\n", error.c_str());
    int first = 0;
    if (levelNumber && (first = levels.indexOf(levelNumber, error)) < 0) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 2;
    }
    static Torvane::Progress progress;
    std::string warning;
    progress.load(Torvane::Progress::defaultPath(), warning);
    if (!warning.empty()) std::printf("%s\n", warning.c_str());

    Torvane::Game* game = new Torvane::Game(Torvane::buildConfiguration().missingSoundDriver);
    game->showDebugLines(Torvane::buildConfiguration().debugLinesShown);
    game->setLevels(levels);
    game->setLevelIndex(first);
    game->useProgress(&progress, Torvane::Progress::defaultPath());
    if (match.isAsked()) game->setMatch(match);
    if (network.isAsked()) {
        static Torvane::NetSession session;
        Torvane::NetSession::Match opened;
        opened.map = match.getMap();
        opened.players = network.getPlayers();
        opened.teamSize = static_cast<uint8_t>(match.getTeamSize());
        opened.minutes = static_cast<uint8_t>(match.getMinutes());
        opened.score = static_cast<uint16_t>(match.getScore());
        opened.seed = std::random_device()();
        const bool ready = network.isHosting() ? session.host(network.getPort(), opened, error)
                                               : session.join(network.getJoinAddress(), error);
        if (!ready) {
            std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
            return 1;
        }
        set_window_title(Torvane::buildConfiguration().windowTitle);
        game->useNetwork(&session);
        if (!game->startNetwork()) std::printf("Failed to start game.\n");
        std::fflush(stdout);
        return 0;
    }
    std::printf("Starting Torvane ...\n");
    std::fflush(stdout);
    set_window_title(Torvane::buildConfiguration().windowTitle);
    // A new player goes straight into the first level; one who has finished a level chooses.
    if (!game->start(!levelNumber && !match.isAsked() && !progress.isEmpty())) {
        std::printf("Failed to start game.\n");
    }
    std::fflush(stdout);
    // The game is never destroyed: Allegro's exit handler winds everything down.
    return 0;
}
END_OF_MAIN()
