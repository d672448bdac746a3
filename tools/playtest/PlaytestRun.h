#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/GameObserver.h"
#include "tools/playtest/PlaytestPlayer.h"

namespace Torvane {
class Game;
}

// One game of a level played by one simulated player, headless and frame-exact as
// the level runner plays it, and what it measured.
//
// Each run is played in a child process of its own. The game is one per process
// (Game::getInstance, Allegro's globals, the pictures' caches) and is never torn
// down and built again in the shipped program, so a second Game in the same process
// is not something to rely on; a child also starts every run from the same state
// and lets a run that hangs or crashes end without taking the others with it.
class PlaytestRun : public Torvane::GameObserver {
public:
    struct Death {
        long long frame;
        int x;
        std::string by;  // empty when no shot or blast of anyone's did it
        long long cost;  // frames of play lost: since the last checkpoint line, or the start
    };
    struct Wave {
        int number;
        int bullets[3];  // pistol, rifle, grenades in all (clip and reserve); -1 when not held
    };
    struct Result {
        // won: the level was won; time: --minutes ran out; ended: the game ended otherwise;
        // failed: the script did not load; crashed: the run died or hung.
        std::string ending = "crashed";
        long long frames = 0;
        long long winFrame = -1;
        unsigned gameSeed = 0;
        int presents = 0, triggers = 0, kills = 0;
        int shots = 0, hits = 0;  // the main player's bullets, and those that struck an enemy
        long long longestStill = 0;  // frames without progress
        long long stillEnd = 0;      // the frame that ended the longest stretch
        std::vector<Death> deaths;
        std::vector<Wave> waves;
        std::vector<std::string> errors;
        std::vector<std::pair<long long, std::string>> lines;  // what the script printed, with its frame
        std::string inputs;  // in the level runner's format, when asked to keep them

        bool won() const { return ending == "won"; }
        std::string toRecord() const;
        static Result fromRecord(const std::string& record);
    };
    struct Setup {
        std::string data;
        int level = 0;  // in the data's level list
        const PlaytestPlayer::Skill* skill = nullptr;
        unsigned seed = 1;
        int run = 1;
        long long frameLimit = 0;
        bool keepInputs = false;
    };

    // The game and player seeds of a run, drawn from one generator seeded by the
    // tool's seed and the run's number.
    static unsigned gameSeed(unsigned seed, int run);
    // The win rule: a script line with the word "won", or the game ended with the main
    // player (if any) alive.
    static bool isWin(bool printedWon, bool gameEnded, bool mainPlayerAlive);
    static bool isWonLine(const std::string& line);
    // The N of a line that ends in "wave N"; 0 for any other line.
    static int waveBegun(const std::string& line);

    // Plays the run in a child process and collects its result.
    static Result playApart(const Setup& setup);

    void scriptPrinted(const std::string& text) override;
    void eventRaised(const std::string& name, int param1, int param2, int param3) override;
    void fighterDied(const Torvane::Player& fighter) override { (void)fighter; }
    void gameEnded() override {}
    void scriptFailed(const std::string& line) override;

private:
    explicit PlaytestRun(Torvane::Game& game) : game(game) {}
    // In the child: the whole game, from the data directory on.
    static Result play(const Setup& setup);
    void loop(const Setup& setup, std::mt19937& random);
    void progress(long long frame);
    void lookAround(long long frame);

    Torvane::Game& game;
    Result result;
    // Filled by the script thread or within a frame, taken by the loop between frames.
    std::mutex lock;
    std::string pendingText;
    std::vector<std::pair<long long, std::string>> newLines;
    std::vector<int> boxesTaken;

    std::vector<int> seenDead;
    int startX = 0;
    bool started = false;
    int furthest = 0;
    long long lastProgress = 0;
    bool printedWon = false;
    bool bubbleShown = false;
    std::string lastBubble;
    long long lastCheckpoint = 0;  // the frame of the last printed line with the word "checkpoint"
};
