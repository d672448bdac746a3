#include "tools/playtest/PlaytestRun.h"

#include <allegro.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "core/Game.h"
#include "fighters/Player.h"
#include "level/PresentBox.h"
#include "tools/common/FrameWatchdog.h"
#include "tools/replay/InputScript.h"
#include "weapons/Weapon.h"

using Torvane::Game;
using Torvane::Player;

namespace {

// A child whose frame has not ended in this long is stuck: as the level runner judges it.
constexpr int watchdogSeconds = Torvane::Lockstep::stuckSeconds + 30;
constexpr int stuckStatus = 3;
constexpr size_t mostErrors = 20;

void stuckFrame(long long frame) {
    (void)frame;
    std::_Exit(stuckStatus);
}

// Record fields are one line each: a name or a printed line must not break one.
std::string oneLine(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool wordCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '\''; }

void writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

}  // namespace

unsigned PlaytestRun::gameSeed(unsigned seed, int run) {
    std::seed_seq sequence{seed, static_cast<unsigned>(run)};
    std::mt19937 random(sequence);
    return static_cast<unsigned>(random());
}

bool PlaytestRun::isWin(bool printedWon, bool gameEnded, bool mainPlayerAlive) {
    return printedWon || (gameEnded && mainPlayerAlive);
}

bool PlaytestRun::isWonLine(const std::string& line) {
    const std::string text = lower(line);
    for (size_t at = text.find("won"); at != std::string::npos; at = text.find("won", at + 1)) {
        const bool before = at > 0 && wordCharacter(text[at - 1]);
        const bool after = at + 3 < text.size() && wordCharacter(text[at + 3]);
        if (!before && !after) return true;
    }
    return false;
}

int PlaytestRun::waveBegun(const std::string& line) {
    std::string text = lower(line);
    while (!text.empty() && (std::isspace(static_cast<unsigned char>(text.back())) || text.back() == '.' ||
                             text.back() == '!'))
        text.pop_back();
    size_t digits = text.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1]))) --digits;
    if (digits == text.size() || text.size() - digits > 6) return 0;
    size_t word = digits;
    while (word > 0 && text[word - 1] == ' ') --word;
    if (word == digits || word < 4 || text.compare(word - 4, 4, "wave") != 0) return 0;
    if (word > 4 && wordCharacter(text[word - 5])) return 0;
    return std::atoi(text.c_str() + digits);
}

void PlaytestRun::scriptPrinted(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock);
    pendingText += text;
    for (size_t end; (end = pendingText.find('\n')) != std::string::npos; pendingText.erase(0, end + 1)) {
        const std::string line = pendingText.substr(0, end);
        newLines.emplace_back(game.getClock().getFrames(), line);
        // Counted at the print itself: the script may hand out bullets right after it.
        const int wave = waveBegun(line);
        if (!wave) continue;
        Wave begun{wave, {-1, -1, -1}};
        if (Player* scout = game.getMainPlayer()) {
            for (int slot = 1; slot <= 3; ++slot) {
                if (Torvane::Weapon* weapon = scout->getWeapon(slot)) begun.bullets[slot - 1] = weapon->getBulletTotal();
            }
        }
        result.waves.push_back(begun);
    }
}

void PlaytestRun::eventRaised(const std::string& name, int param1, int, int) {
    if (name != "OnPresent") return;
    auto* box = dynamic_cast<Torvane::PresentBox*>(game.getObjectSystem().getObjectById(param1));
    std::lock_guard<std::mutex> guard(lock);
    // A box with no picture is a trigger area, which nobody sees taking.
    if (box && box->getImage()) ++result.presents;
    else ++result.triggers;
    boxesTaken.push_back(param1);
}

void PlaytestRun::scriptFailed(const std::string& line) {
    std::lock_guard<std::mutex> guard(lock);
    if (result.errors.size() < mostErrors) result.errors.push_back(oneLine(line));
}

void PlaytestRun::progress(long long frame) {
    if (frame - lastProgress > result.longestStill) {
        result.longestStill = frame - lastProgress;
        result.stillEnd = frame;
    }
    lastProgress = std::max(lastProgress, frame);
}

void PlaytestRun::lookAround(long long frame) {
    std::vector<std::pair<long long, std::string>> lines;
    size_t boxes = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        lines.swap(newLines);
        boxes = boxesTaken.size();
        boxesTaken.clear();
    }
    for (const auto& line : lines) {
        progress(line.first);
        if (line.second.find("checkpoint") != std::string::npos) lastCheckpoint = line.first;
        if (!printedWon && isWonLine(line.second)) {
            printedWon = true;
            result.winFrame = line.first;
        }
        result.lines.push_back(line);
    }
    if (boxes) progress(frame);
    // A new speech bubble is the level telling its story: reading it is not standing still.
    const Torvane::Dialog& dialog = game.getDialog();
    const bool bubble = dialog.isVisible();
    if (bubble && (!bubbleShown || dialog.getText() != lastBubble)) {
        lastBubble = dialog.getText();
        progress(frame);
    }
    bubbleShown = bubble;
    Player* scout = game.getMainPlayer();
    for (Player* fighter : game.getPlayers()) {
        if (fighter->isAlive() || std::count(seenDead.begin(), seenDead.end(), fighter->getId())) continue;
        seenDead.push_back(fighter->getId());
        if (fighter == scout) {
            // Not by a shot of this frame's (those are found after the frame): by the script.
            result.deaths.push_back({frame, fighter->getCentralX(), "", frame - lastCheckpoint});
        } else if (scout && fighter->getColor() != scout->getColor()) {
            ++result.kills;
            progress(frame);
        }
    }
    if (scout && scout->isAlive()) {
        const int x = scout->getCentralX();
        if (!started) {
            started = true;
            startX = x;
        }
        const int distance = std::abs(x - startX);
        if (distance >= furthest + 64) {
            furthest = distance;
            progress(frame);
        }
    }
}

void PlaytestRun::loop(const Setup& setup, std::mt19937& random) {
    PlaytestPlayer player(*setup.skill, random);
    Torvane::Lockstep& lockstep = game.getLockstep();
    FrameWatchdog watchdog(watchdogSeconds, stuckFrame);
    long long frame = 0;
    for (;; ++frame) {
        if (!lockstep.beforeFrame()) {
            scriptFailed("the script ran " + std::to_string(Torvane::Lockstep::stuckSeconds) +
                         " seconds without waiting for the game");
            result.ending = "stuck";
            break;
        }
        const long long now = game.getClock().getFrames();
        lookAround(now);
        const bool ended = !game.isRunning();
        if (printedWon || ended) {
            Player* scout = game.getMainPlayer();
            result.ending = isWin(printedWon, ended, !scout || scout->isAlive()) ? "won" : "ended";
            if (result.won() && !printedWon) result.winFrame = now;
            break;
        }
        if (frame >= setup.frameLimit) {
            result.ending = "time";
            break;
        }
        const std::string inputs = player.play(game, frame);
        if (!inputs.empty()) {
            // Through the level runner's own reader, so that a kept run is read back the same way.
            InputScript script;
            if (!script.parse(inputs, "playtest")) {
                scriptFailed(script.getError());
                break;
            }
            script.apply(frame);
            if (setup.keepInputs) result.inputs += inputs;
        }
        Player* scout = game.getMainPlayer();
        const int scoutId = scout && scout->isAlive() ? scout->getId() : -1;
        game.runFrame();
        if (scoutId >= 0 && game.getMainPlayer() == scout && !scout->isAlive()) {
            seenDead.push_back(scoutId);
            // Killed by his own grenade, he is named as his own killer.
            const long long at = game.getClock().getFrames();
            result.deaths.push_back({at, scout->getCentralX(), scout->getLastHitBy(), at - lastCheckpoint});
        }
        if (!game.isPaused()) lockstep.afterFrame();
        watchdog.frameDone(frame);
    }
    progress(game.getClock().getFrames());
    result.frames = game.getClock().getFrames();
    result.shots = game.getLevelStats().getShots();
    result.hits = game.getLevelStats().getHits();
    if (setup.keepInputs) result.inputs += "# the run ended here\n" + player.letGo(frame);
}

PlaytestRun::Result PlaytestRun::play(const Setup& setup) {
    Result failed;
    failed.ending = "failed";
    if (chdir(setup.data.c_str()) != 0) {
        failed.errors.push_back(setup.data + ": no such data directory");
        return failed;
    }
    unsetenv("DISPLAY");
    setenv("ALSOFT_DRIVERS", "null", 1);
    std::seed_seq sequence{setup.seed, static_cast<unsigned>(setup.run)};
    std::mt19937 random(sequence);
    const unsigned seed = static_cast<unsigned>(random());
    // Never deleted: the process ends right after the run, as the level runner's does.
    Game* game = new Game();
    std::srand(seed);
    game->getClock().useFrameTime();
    game->getLockstep().enable();
    if (!game->getScreen().useMemoryPages(800, 600)) {
        failed.errors.push_back("no memory for the screen");
        return failed;
    }
    PlaytestRun run(*game);
    game->setObserver(&run);
    Torvane::LevelList levels;
    std::string error;
    levels.load(error);
    game->setLevels(levels);
    game->setLevelIndex(setup.level < levels.size() ? setup.level : 0);
    game->beginLevel();
    if (game->getScriptSystem().isLoaded()) run.loop(setup, random);
    else run.result.ending = "failed";
    game->setObserver(nullptr);
    game->endGame();
    game->endLevel();
    std::lock_guard<std::mutex> guard(run.lock);
    run.result.gameSeed = seed;
    return run.result;
}

PlaytestRun::Result PlaytestRun::playApart(const Setup& setup) {
    Result broken;
    int pipeEnds[2];
    std::fflush(nullptr);
    if (pipe(pipeEnds) != 0) {
        broken.errors.push_back("no pipe for a run");
        return broken;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        broken.errors.push_back("no process for a run");
        return broken;
    }
    if (child == 0) {
        close(pipeEnds[0]);
        // The game's own lines would bury the tables; its errors come back in the record.
        const int nowhere = open("/dev/null", O_WRONLY);
        if (nowhere >= 0) dup2(nowhere, 1);
        writeAll(pipeEnds[1], play(setup).toRecord());
        close(pipeEnds[1]);
        std::_Exit(0);
    }
    close(pipeEnds[1]);
    std::string record;
    char buffer[65536];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0) record.append(buffer, static_cast<size_t>(n));
        else if (errno != EINTR) break;
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    Result result = Result::fromRecord(record);
    if (result.ending == "crashed") {
        if (WIFEXITED(status) && WEXITSTATUS(status) == stuckStatus)
            result.errors.push_back("a frame did not end in " + std::to_string(watchdogSeconds) + " seconds");
        else if (WIFSIGNALED(status))
            result.errors.push_back("the run was ended by signal " + std::to_string(WTERMSIG(status)));
        else
            result.errors.push_back("the run ended without a result");
    }
    return result;
}

std::string PlaytestRun::Result::toRecord() const {
    std::ostringstream out;
    out << "ending " << ending << "\nframes " << frames << "\nwin " << winFrame << "\nseed " << gameSeed
        << "\ncounts " << presents << " " << triggers << " " << kills << " " << longestStill << "\naim " << shots << " "
        << hits << "\nstill " << stillEnd << "\n";
    for (const Death& death : deaths)
        out << "death " << death.frame << " " << death.x << " " << death.cost << " " << oneLine(death.by) << "\n";
    for (const Wave& wave : waves)
        out << "wave " << wave.number << " " << wave.bullets[0] << " " << wave.bullets[1] << " " << wave.bullets[2] << "\n";
    for (const std::string& error : errors) out << "error " << oneLine(error) << "\n";
    for (const auto& line : lines) out << "line " << line.first << " " << oneLine(line.second) << "\n";
    out << "inputs " << inputs.size() << "\n" << inputs << "end\n";
    return out.str();
}

PlaytestRun::Result PlaytestRun::Result::fromRecord(const std::string& record) {
    Result result;
    Result read;
    std::istringstream in(record);
    std::string word;
    // The text after a field's numbers, without the space before it.
    auto rest = [&in] {
        std::string text;
        std::getline(in, text);
        if (!text.empty() && text[0] == ' ') text.erase(0, 1);
        return text;
    };
    while (in >> word) {
        if (word == "ending") {
            in >> read.ending;
        } else if (word == "frames") {
            in >> read.frames;
        } else if (word == "win") {
            in >> read.winFrame;
        } else if (word == "seed") {
            in >> read.gameSeed;
        } else if (word == "counts") {
            in >> read.presents >> read.triggers >> read.kills >> read.longestStill;
        } else if (word == "still") {
            in >> read.stillEnd;
        } else if (word == "aim") {
            in >> read.shots >> read.hits;
        } else if (word == "death") {
            Death death{0, 0, "", 0};
            in >> death.frame >> death.x >> death.cost;
            death.by = rest();
            read.deaths.push_back(death);
        } else if (word == "wave") {
            Wave wave{0, {-1, -1, -1}};
            in >> wave.number >> wave.bullets[0] >> wave.bullets[1] >> wave.bullets[2];
            read.waves.push_back(wave);
        } else if (word == "error") {
            read.errors.push_back(rest());
        } else if (word == "line") {
            long long frame = 0;
            in >> frame;
            read.lines.emplace_back(frame, rest());
        } else if (word == "inputs") {
            size_t size = 0;
            in >> size;
            in.get();
            read.inputs.resize(size);
            in.read(&read.inputs[0], static_cast<std::streamsize>(size));
        } else if (word == "end") {
            return read;
        } else {
            break;
        }
        if (!in) break;
    }
    // Cut short: whatever the child managed to say, the run did not finish.
    result.errors = read.errors;
    result.gameSeed = read.gameSeed;
    return result;
}
