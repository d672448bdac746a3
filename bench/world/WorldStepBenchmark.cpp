// One world step on the real map, as the main loop takes it: move every object
// and resolve its collisions, clear the frame and draw every object into a
// memory bitmap, remove the dead. The world holds 100, 1,000 or 5,000 blood
// drops, spawned in bursts of 50 at points spread along the ground as
// explosions leave them, and is stepped for 600 frames while the drops fly,
// fall, land, pile up and lie still. Reported: the median time of a step, and
// where it goes (move, draw, remove), with the 90th percentile and the worst.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <allegro.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/Game.h"
#include "weapons/Blood.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int framesPerRun = 600;
constexpr int burstSize = 50;

Torvane::Game* game = nullptr;

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

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

// Bursts of drops at points spread along the map, each thrown back from a blast
// that came from its own direction.
void spawnBursts(int drops) {
    int bursts = drops / burstSize;
    int width = game->getMapSystem().getWidth();
    int spawned = 0;
    for (int burst = 0; spawned < drops; ++burst) {
        int x = 80 + static_cast<int>(static_cast<long>(burst % bursts) * (width - 160) / bursts) + burst / bursts * 7;
        int surface = surfaceAt(x);
        if (surface < 0) surface = surfaceAt(x += 150);  // over a pit: the next bit of ground
        if (surface < 0) continue;
        float angle = static_cast<float>(std::rand() % 360) * 3.14159265f / 180.0f;
        Vector direction(std::cos(angle), std::sin(angle));
        for (int i = 0; i < burstSize && spawned < drops; ++i, ++spawned) {
            Torvane::Blood* drop = new Torvane::Blood(x + std::rand() % 21 - 10, surface - 20 - std::rand() % 20, direction);
            game->getObjectSystem().addObject(drop);
        }
    }
}

void worldStep(benchmark::State& state) {
    int drops = static_cast<int>(state.range(0));
    std::srand(2024);
    game->loadMap("map/valley.map");
    int pieces = game->getObjectSystem().getObjectCount();
    spawnBursts(drops);
    BITMAP* frame = create_bitmap(800, 600);
    Torvane::ObjectSystem& objects = game->getObjectSystem();
    Torvane::MapSystem& map = game->getMapSystem();
    map.moveClientTo(1800, 900);

    std::vector<double> step, move, draw, remove;
    for (std::vector<double>* v : {&step, &move, &draw, &remove}) v->reserve(framesPerRun);
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        objects.moveObjects();
        Clock::time_point moved = Clock::now();
        map.draw(frame);
        objects.drawObjects(frame, map.getClientX(), map.getClientY());
        Clock::time_point drawn = Clock::now();
        objects.removeDeadObjects();
        Clock::time_point removed = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(removed - start).count());
        step.push_back(milliseconds(removed - start));
        move.push_back(milliseconds(moved - start));
        draw.push_back(milliseconds(drawn - moved));
        remove.push_back(milliseconds(removed - drawn));
    }
    int resting = 0;
    for (Torvane::Object* o : objects.getObjects()) {
        auto* drop = dynamic_cast<Torvane::Blood*>(o);
        if (drop && !drop->isFree() && drop->getVelocity().x == 0) ++resting;
    }
    state.counters["drops"] = objects.getObjectCount() - pieces;
    state.counters["resting"] = resting;
    state.counters["median_ms"] = percentile(step, 0.5);
    state.counters["p90_ms"] = percentile(step, 0.9);
    state.counters["worst_ms"] = *std::max_element(step.begin(), step.end());
    state.counters["move_ms"] = percentile(move, 0.5);
    state.counters["draw_ms"] = percentile(draw, 0.5);
    state.counters["remove_ms"] = percentile(remove, 0.5);
    std::vector<double> firstFrames(step.begin(), step.begin() + std::min<size_t>(step.size(), 100));
    state.counters["first100_median_ms"] = percentile(firstFrames, 0.5);
    destroy_bitmap(frame);
}

BENCHMARK(worldStep)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(5000)
    ->Iterations(framesPerRun)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Headless, like the unit tests: no display, no sound card, the data directory as the working directory.
    unsetenv("DISPLAY");
    setenv("ALSOFT_DRIVERS", "null", 1);
    if (chdir(TORVANE_DATA_DIR) != 0) {
        std::fprintf(stderr, "bench_world: cannot enter %s\n", TORVANE_DATA_DIR);
        return 1;
    }
    game = new Torvane::Game();
    set_color_depth(32);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
