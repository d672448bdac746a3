// Whole frames of a running battle on the real map, as the main loop runs them:
// the human's input events, move and collide, aim, draw, sweep of the dead and
// camera. Fifty computer fighters of two teams hunt the human fighter, who holds
// fire at the nearest of them, while 5,000 blood drops from earlier fights fly,
// land and lie along the ground. Reported: the median frame and the median of
// each phase in processor time, with the 90th percentile and the worst frame,
// and the median frame in wall time.
//
// A third plays a team battle: eight against eight team brains on the rooftops, the
// fallen back at their own end three seconds later, as the versus rules have it, measured
// once the teams have met.
//
// A second benchmark splits the world step into its two halves, moving and
// colliding, by running ObjectSystem::moveObjects' walk step by step with a
// wall clock around each half (the clock reads add to the step's total, so only
// the shares are meaningful there).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <allegro.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "core/Game.h"
#include "core/GameLock.h"
#include "fighters/AIPlayer.h"
#include "fighters/FrontSight.h"
#include "fighters/TeamAIPlayer.h"
#include "weapons/Blood.h"
#include "weapons/Grenade.h"
#include "weapons/Gun.h"
#include "weapons/Pistol.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int framesPerRun = 600;
constexpr int computerFighters = 50;
constexpr int bloodDrops = 5000;
constexpr int burstSize = 50;

Torvane::Game* game = nullptr;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Processor time of this thread, in milliseconds. Other engineers build on the
// same two cores: wall time then counts waits for a core, processor time only
// the frame's own work.
double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

double percentile(std::vector<double> values, double fraction) {
    size_t index = static_cast<size_t>(fraction * (values.size() - 1) + 0.5);
    std::nth_element(values.begin(), values.begin() + index, values.end());
    return values[index];
}

// The top of the first solid piece under (x, 0), or -1 over a pit.
int surfaceAt(int x) {
    Torvane::BlockSystem& blocks = game->getBlockSystem();
    for (int y = 0; y < game->getMapSystem().getHeight(); y += 2) {
        if (Torvane::Object* o = blocks.getObjectByPosition(x, y)) return o->getY();
    }
    return -1;
}

// Bursts of drops at points spread along the map, each thrown back from a blast.
void spawnBlood(int drops) {
    int bursts = drops / burstSize;
    int width = game->getMapSystem().getWidth();
    int spawned = 0;
    for (int burst = 0; spawned < drops; ++burst) {
        int x = 80 + static_cast<int>(static_cast<long>(burst % bursts) * (width - 160) / bursts) + burst / bursts * 7;
        int surface = surfaceAt(x);
        if (surface < 0) surface = surfaceAt(x += 150);
        if (surface < 0) continue;
        float angle = static_cast<float>(std::rand() % 360) * 3.14159265f / 180.0f;
        Vector direction(std::cos(angle), std::sin(angle));
        for (int i = 0; i < burstSize && spawned < drops; ++i, ++spawned) {
            game->getObjectSystem().addObject(
                new Torvane::Blood(x + std::rand() % 21 - 10, surface - 20 - std::rand() % 20, direction));
        }
    }
}

Torvane::Gun* arm(Torvane::Player* p) {
    Torvane::Gun* rifle = new Torvane::Gun(p);
    p->setWeapon(2, rifle);
    p->setEquipment(2);
    rifle->addBullets(1000000);
    return rifle;
}

// The battle as a level script would set it up: the map, the human in the
// valley, the computer fighters around it, two teams, everyone with a rifle.
Torvane::Player* setUpBattle() {
    std::srand(2024);
    game->loadMap("map/valley.map");
    Torvane::Player* human = new Torvane::Player("human", "ranger");
    human->setX(1000).setY(1000);
    human->setColor(makecol(40, 200, 40)).setHealth(1000000000);
    human->show();
    game->addPlayer(human);
    game->setMainPlayer(human);
    arm(human);
    for (int i = 0; i < computerFighters; ++i) {
        bool red = i % 2 == 0;
        Torvane::AIPlayer* ai = new Torvane::AIPlayer("computer", red ? "kr" : "kt");
        // Most stand on the valley floor within a screen of the human, the rest
        // on the platforms and the plateau along the map.
        int x = i < 30 ? 420 + i * 44 : 100 + (i - 30) * 170;
        if (x >= 1170 && x < 1420) x += 260;  // not into the pit
        ai->setX(x).setY(i < 30 ? 1090 : 600);
        ai->setColor(red ? makecol(200, 30, 30) : makecol(30, 60, 200));
        ai->show();
        game->addPlayer(ai);
        arm(ai);
    }
    spawnBlood(bloodDrops);
    game->getMapSystem().moveClientTo(human->getCentralX(), human->getCentralY());
    return human;
}

// What a player's hand does this frame: the mouse on the nearest live enemy, the trigger held.
void humanInput(Torvane::Player* human) {
    Torvane::MapSystem& map = game->getMapSystem();
    Torvane::Player* nearest = nullptr;
    for (Torvane::Player* p : game->getPlayers()) {
        if (p == human || !p->isAlive() || !map.inClient(p->getCentralX(), p->getCentralY())) continue;
        if (std::abs(p->getX() - human->getX()) < 100) continue;  // too close to aim at over the others
        if (!nearest || std::abs(p->getX() - human->getX()) < std::abs(nearest->getX() - human->getX())) nearest = p;
    }
    if (!nearest) return;
    int x = nearest->getCentralX() - map.getClientX(), y = nearest->getCentralY() - map.getClientY();
    Torvane::ClientNetwork& network = game->getClientNetwork();
    network.sendEvent(new Event{0, ACTION_AIM, false, x * 65536 + y});
    if (!human->isFiring()) network.sendEvent(new Event{0, ACTION_FIRE, true, 0});
}

// Per frame: wall time of the whole frame, processor time of the frame and of each phase.
struct PhaseTimes {
    std::vector<double> wall, frame, events, world, draw, sweep;
    PhaseTimes() {
        for (std::vector<double>* v : {&wall, &frame, &events, &world, &draw, &sweep}) v->reserve(framesPerRun);
    }
};

void report(benchmark::State& state, const PhaseTimes& t, Torvane::Player* human) {
    int drops = 0, fighting = 0;
    for (Torvane::Object* o : game->getObjectSystem().getObjects()) drops += dynamic_cast<Torvane::Blood*>(o) != nullptr;
    for (Torvane::Player* p : game->getPlayers()) fighting += p != human && p->isAlive();
    state.counters["wall_median_ms"] = percentile(t.wall, 0.5);
    state.counters["median_ms"] = percentile(t.frame, 0.5);
    state.counters["p90_ms"] = percentile(t.frame, 0.9);
    state.counters["worst_ms"] = *std::max_element(t.frame.begin(), t.frame.end());
    state.counters["events_ms"] = percentile(t.events, 0.5);
    state.counters["world_ms"] = percentile(t.world, 0.5);
    state.counters["draw_ms"] = percentile(t.draw, 0.5);
    state.counters["sweep_ms"] = percentile(t.sweep, 0.5);
    std::vector<double> firstFrames(t.frame.begin(), t.frame.begin() + std::min<size_t>(t.frame.size(), 100));
    state.counters["first100_median_ms"] = percentile(firstFrames, 0.5);
    state.counters["drops"] = drops;
    state.counters["alive"] = fighting;
    state.counters["hits_taken"] = 1000000000 - human->getHealth();
    state.counters["kills"] = human->getKills();
}

// One whole frame as the main loop runs it, after `before` (the hand's input, the rules), the view on
// `watched`; the processor time of each phase goes into t when it is given.
template <typename Before>
void runFrame(BITMAP* frame, Torvane::Player* watched, Before& before, PhaseTimes* t) {
    Torvane::ObjectSystem& objects = game->getObjectSystem();
    Torvane::MapSystem& map = game->getMapSystem();
    Clock::time_point start = Clock::now();
    double begun = threadMilliseconds();
    before();
    Torvane::lockGame();
    game->getEventSystem().handleEvents();
    double handled = threadMilliseconds();
    objects.moveObjects();
    double moved = threadMilliseconds();
    game->getAimSystem().move();
    map.draw(frame);
    objects.drawObjects(frame, map.getClientX(), map.getClientY());
    game->getInfoBar().draw(frame);
    game->getDialog().move();
    game->getDialog().draw(frame, map.getClientX(), map.getClientY());
    game->getAimSystem().draw(frame);
    double drawn = threadMilliseconds();
    objects.removeDeadObjects();
    map.moveClientTo(watched->getCentralX(), watched->getCentralY());
    Torvane::unlockGame();
    double swept = threadMilliseconds();
    Clock::time_point end = Clock::now();
    if (!t) return;
    t->wall.push_back(milliseconds(end - start));
    t->frame.push_back(swept - begun);
    t->events.push_back(handled - begun);
    t->world.push_back(moved - handled);
    t->draw.push_back(drawn - moved);
    t->sweep.push_back(swept - drawn);
}

// The benchmark's frames, after warmUp frames that are not measured.
template <typename Before>
void measureFrames(benchmark::State& state, PhaseTimes& t, Torvane::Player* watched, Before before, int warmUp = 0) {
    BITMAP* frame = create_bitmap(800, 600);
    for (int i = 0; i < warmUp; ++i) runFrame(frame, watched, before, nullptr);
    for (auto _ : state) {
        runFrame(frame, watched, before, &t);
        state.SetIterationTime(t.frame.back() / 1000.0);
    }
    destroy_bitmap(frame);
}

void battleFrame(benchmark::State& state) {
    Torvane::Player* human = setUpBattle();
    PhaseTimes t;
    measureFrames(state, t, human, [human] { humanInput(human); });
    report(state, t, human);
}

// The versus rules' standard weapons.
void armForBattle(Torvane::Player* p) {
    p->setWeapon(1, new Torvane::Pistol(p));
    p->getWeapon(1)->addBullets(40);
    p->setWeapon(3, new Torvane::Grenade(p));
    p->getWeapon(3)->addBullets(2);
    p->setWeapon(2, new Torvane::Gun(p));
    p->getWeapon(2)->addBullets(90);
    p->setEquipment(2);
}

// A place at the team's end of the map, on the floor there.
void placeAtEnd(Torvane::Player* p, bool red, int slot) {
    const int width = game->getMapSystem().getWidth();
    const int x = red ? 60 + (slot % 8) * 28 : width - 60 - (slot % 8) * 28;
    p->respawn(x, surfaceAt(x) - 50);
}

// Frames for the teams to walk from their ends into the middle, where the battle is.
constexpr int versusWalkIn = 1500;

void versusFrame(benchmark::State& state) {
    std::srand(2024);
    game->loadMap("map/versus/rooftops.map");
    constexpr int perTeam = 8;
    std::vector<Torvane::Player*> fighters;
    for (int i = 0; i < 2 * perTeam; ++i) {
        const bool red = i % 2 == 0;
        Torvane::TeamAIPlayer* fighter = new Torvane::TeamAIPlayer("fighter", red ? "kr" : "kt");
        fighter->setColor(red ? Torvane::MatchState::krColor : Torvane::MatchState::ktColor);
        placeAtEnd(fighter, red, i / 2);
        armForBattle(fighter);
        fighter->show();
        game->addPlayer(fighter);
        fighters.push_back(fighter);
    }
    game->setMainPlayer(fighters[0]);
    std::vector<long long> fallenAt(fighters.size(), -1);
    long long frameNumber = 0;
    int falls = 0;
    PhaseTimes t;
    measureFrames(state, t, fighters[0], [&] {
        ++frameNumber;
        for (size_t i = 0; i < fighters.size(); ++i) {
            Torvane::Player* fighter = fighters[i];
            if (fighter->isAlive()) continue;
            if (fallenAt[i] < 0) {
                fallenAt[i] = frameNumber;
                ++falls;
            } else if (frameNumber - fallenAt[i] >= 3 * Torvane::GameClock::framesPerSecond) {
                placeAtEnd(fighter, i % 2 == 0, static_cast<int>(i / 2 + frameNumber));
                armForBattle(fighter);
                fallenAt[i] = -1;
            }
        }
    }, versusWalkIn);
    report(state, t, fighters[0]);
    state.counters.erase("hits_taken");  // nobody here is made to last
    state.counters["falls"] = falls;
}

// The world step of the same battle, halved: each object's move, then its
// collision work in the block system, step for step as moveObjects does them.
void battleMoveAndCollide(benchmark::State& state) {
    Torvane::Player* human = setUpBattle();
    Torvane::ObjectSystem& objects = game->getObjectSystem();
    Torvane::BlockSystem& blocks = game->getBlockSystem();
    std::vector<double> move, collide;
    for (auto _ : state) {
        humanInput(human);
        game->getEventSystem().handleEvents();
        Clock::duration moving{}, colliding{};
        std::vector<Torvane::Object*> walk = objects.getObjects();
        for (Torvane::Object* o : walk) {
            if (o->isDead()) continue;
            Rect before = *o->getRectangle();
            Clock::time_point a = Clock::now();
            o->move();
            Clock::time_point b = Clock::now();
            moving += b - a;
            if (!o->isCollidable() || *o->getRectangle() == before) continue;
            blocks.removeObject(o, before.left, before.top, before.right, before.bottom);
            if (!blocks.checkCollision(o)) {
                if (auto* player = dynamic_cast<Torvane::Player*>(o)) {
                    player->setFree(true);
                    player->setBoard(nullptr);
                }
                if (auto* body = dynamic_cast<Torvane::RealBody*>(o)) body->releaseRoad();
            }
            blocks.addObject(o);
            colliding += Clock::now() - b;
        }
        objects.removeDeadObjects();
        game->getMapSystem().moveClientTo(human->getCentralX(), human->getCentralY());
        move.push_back(milliseconds(moving));
        collide.push_back(milliseconds(colliding));
        state.SetIterationTime(std::chrono::duration<double>(moving + colliding).count());
    }
    state.counters["move_ms"] = percentile(move, 0.5);
    state.counters["collide_ms"] = percentile(collide, 0.5);
}

BENCHMARK(battleFrame)->Iterations(framesPerRun)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(versusFrame)->Iterations(3 * framesPerRun)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(battleMoveAndCollide)->Iterations(framesPerRun)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Headless, like the unit tests: no display, no sound card, the data directory as the working directory.
    unsetenv("DISPLAY");
    setenv("ALSOFT_DRIVERS", "null", 1);
    if (chdir(TORVANE_DATA_DIR) != 0) {
        std::fprintf(stderr, "bench_frame: cannot enter %s\n", TORVANE_DATA_DIR);
        return 1;
    }
    game = new Torvane::Game();
    set_color_depth(32);
    game->getMapSystem().setClientWidth(800).setClientHeight(600);
    if (!game->getInfoBar().loadPictures()) return 1;
    game->getInfoBar().show();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
