#pragma once

// A small world for fighter and weapon tests: an empty map with a floor, built
// on the one headless game of the test program.
#include <allegro.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/Game.h"
#include "fighters/FrontSight.h"
#include "fighters/Player.h"
#include "tests/support/HeadlessGame.h"
#include "world/BlockSystem.h"
#include "world/ObjectSystem.h"

namespace TestWorld {

inline Torvane::Game& game() { return headlessGame(); }

// Empties the world and builds the grid for a map of the given size. Colours are
// made at 32 bits, as in the running game, so that team colours stay distinct.
inline void reset(int mapWidth = 2000, int mapHeight = 1000) {
    set_color_depth(32);
    Torvane::Game& g = game();
    g.getObjectSystem().cleanupObjects();
    g.getPlayers().clear();
    g.setMainPlayer(nullptr);
    g.getBlockSystem().initialize(mapWidth, mapHeight);
    g.getMapSystem().initialize(mapWidth, mapHeight);
    Torvane::ScriptEvent event;
    while (g.getScriptSystem().takeEvent(event)) {
    }
    Torvane::FrontSight& sight = g.getAimSystem().getFrontSight();
    sight.stop();
    sight.setDivergence(5);
}

// A solid block of map, as the map loader makes them.
inline Torvane::Object* addGround(int x, int y, int width, int height) {
    Torvane::Object* piece = new Torvane::Object();
    piece->setX(x).setY(y).setWidth(width).setHeight(height).setCollidable(true).show();
    game().getObjectSystem().addObject(piece);
    return piece;
}

// A fighter of a real role, placed, coloured and handed to the game.
inline Torvane::Player* addFighter(const std::string& role, int x, int y, int color) {
    Torvane::Player* p = new Torvane::Player("fighter", role);
    p->setX(x).setY(y);
    p->setColor(color);
    p->show();
    game().addPlayer(p);
    return p;
}

// Moves an object that is already in the world, keeping the grid in step.
inline void place(Torvane::Object* o, int x, int y) {
    Torvane::BlockSystem& blocks = game().getBlockSystem();
    blocks.removeObject(o);
    o->setX(x).setY(y);
    blocks.addObject(o);
}

// One frame of the world: move, then sweep the dead and let the newcomers in.
inline void step(int frames = 1) {
    for (int i = 0; i < frames; ++i) {
        game().getObjectSystem().moveObjects();
        game().getObjectSystem().removeDeadObjects();
    }
}

// Frames until the fighter stands on something, at most limit.
inline int settle(Torvane::Player* p, int limit = 400) {
    int frames = 0;
    while (p->isFree() && frames < limit) {
        step();
        ++frames;
    }
    return frames;
}

template <typename T>
int countObjects() {
    int n = 0;
    for (Torvane::Object* o : game().getObjectSystem().getObjects()) {
        if (dynamic_cast<T*>(o)) ++n;
    }
    return n;
}

inline int countEvents(const std::string& name) {
    Torvane::ScriptSystem& scripts = game().getScriptSystem();
    Torvane::ScriptEvent event;
    int n = 0;
    std::vector<Torvane::ScriptEvent> kept;
    while (scripts.takeEvent(event)) {
        if (event.name == name) ++n;
        kept.push_back(event);
    }
    for (const Torvane::ScriptEvent& e : kept) scripts.raise(e.name, e.param1, e.param2, e.param3);
    return n;
}

// A scratch folder for pictures and description files, removed with its contents.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) {
        path = "/tmp/torvane-" + name + "-" + std::to_string(getpid());
        std::string command = "mkdir -p '" + path + "'";
        if (std::system(command.c_str()) != 0) path.clear();
    }
    ~ScratchFolder() {
        if (path.empty()) return;
        std::string command = "rm -rf '" + path + "'";
        if (std::system(command.c_str()) != 0) std::perror("rm");
    }
    const std::string& getPath() const { return path; }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream out(file(name));
        out << text;
        return file(name);
    }

private:
    std::string path;
};

}  // namespace TestWorld
