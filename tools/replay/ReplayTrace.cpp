#include "tools/replay/ReplayTrace.h"

#include "core/Game.h"
#include "core/MapSystem.h"
#include "fighters/AIPlayer.h"
#include "fighters/Player.h"
#include "hud/Dialog.h"

using Torvane::Player;

void ReplayTrace::write(const std::string& text) {
    std::fprintf(output, "%lld %s\n", game.getClock().getFrames(), text.c_str());
}

void ReplayTrace::scriptPrinted(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock);
    pendingPrint += text;
    for (size_t end; (end = pendingPrint.find('\n')) != std::string::npos; pendingPrint.erase(0, end + 1))
        write("print " + pendingPrint.substr(0, end));
}

void ReplayTrace::eventRaised(const std::string& name, int param1, int param2, int param3) {
    std::lock_guard<std::mutex> guard(lock);
    write("event " + name + " " + std::to_string(param1) + " " + std::to_string(param2) + " " +
          std::to_string(param3));
}

void ReplayTrace::fighterDied(const Player& fighter) {
    std::lock_guard<std::mutex> guard(lock);
    if (!dead.insert(fighter.getId()).second) return;
    write("death " + std::to_string(fighter.getId()) + " " + fighter.getName());
}

void ReplayTrace::gameEnded() {
    std::lock_guard<std::mutex> guard(lock);
    write("endgame");
}

void ReplayTrace::scriptFailed(const std::string& line) {
    std::lock_guard<std::mutex> guard(lock);
    scriptError = true;
    write("error " + line);
}

void ReplayTrace::resultsShown(const std::string& summary) {
    std::lock_guard<std::mutex> guard(lock);
    write("results " + summary);
}

void ReplayTrace::lookForDeaths() {
    for (Player* fighter : game.getPlayers()) {
        if (!fighter->isAlive()) fighterDied(*fighter);
    }
}

void ReplayTrace::writePositions() {
    std::lock_guard<std::mutex> guard(lock);
    const Torvane::MapSystem& map = game.getMapSystem();
    write("camera " + std::to_string(map.getClientX()) + " " + std::to_string(map.getClientY()) +
          (game.getDialog().isVisible() ? " bubble" : ""));
    for (Player* fighter : game.getPlayers()) {
        write("where " + std::to_string(fighter->getId()) + " " + fighter->getName() + " " +
              std::to_string(fighter->getCentralX()) + " " + std::to_string(fighter->getCentralY()) + " health " +
              std::to_string(fighter->getHealth()));
    }
}

void ReplayTrace::writeSummary(long long frames, const std::string& ending) {
    std::lock_guard<std::mutex> guard(lock);
    if (!pendingPrint.empty()) write("print " + pendingPrint);
    pendingPrint.clear();
    std::fprintf(output, "frames %lld\nended %s\n", frames, ending.c_str());
    for (Player* fighter : game.getPlayers()) {
        std::fprintf(output, "fighter %d %s %s colour %d health %d at %d %d\n", fighter->getId(),
                     fighter->getName().c_str(), dynamic_cast<Torvane::AIPlayer*>(fighter) ? "computer" : "human",
                     fighter->getColor(), fighter->getHealth(), fighter->getCentralX(), fighter->getCentralY());
    }
    // In a network match each machine has its own: the one line in which their traces differ.
    if (Player* main = game.getMainPlayer())
        std::fprintf(output, "%s %d kills %d headshots %d\n", game.isNetworked() ? "local player" : "main player",
                     main->getId(), main->getKills(), main->getHeadshots());
    std::fflush(output);
}
