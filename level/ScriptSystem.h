#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "script/PellixScript.h"

namespace Torvane {

class Game;

// A script event raised by the game, waiting for the script thread to serve it.
struct ScriptEvent {
    std::string name;
    std::string text;  // never passed to the script
    int param1 = 0;
    int param2 = 0;
    int param3 = 0;
};

// The level script beside the game. start registers the host functions, loads
// the level's entry script ("./script/main.fb" unless told) and starts the script thread, which runs Main and then
// serves raised events by calling the script function of the event's name with
// the event's three integers, until the game stops.
class ScriptSystem {
public:
    static constexpr int eventPollMilliseconds = 100;
    // Waits sleep in slices no longer than this, so that they notice the game ending.
    static constexpr int waitSliceMilliseconds = 50;

    ScriptSystem() = default;
    ScriptSystem(const ScriptSystem&) = delete;
    ScriptSystem& operator=(const ScriptSystem&) = delete;
    // Neither joins the thread nor serves what is still queued.
    ~ScriptSystem() = default;

    void start(const std::string& entry = "./script/main.fb");
    // Stops a script still running (the game has ended) and joins the thread.
    void stop();
    // Queues an event for the script thread; false when too many wait already (the event is dropped).
    // Called on the game thread.
    bool raise(const std::string& name, int param1, int param2, int param3);
    size_t getEventCount();
    // Takes the oldest event into e; false when none waits.
    bool takeEvent(ScriptEvent& e);

    void runScript();
    // Serves every event waiting now, in the order raised.
    void serveEvents();
    // Sleeps up to the given time on the script thread and returns early, with
    // false, once the game no longer runs; true when the time was slept out.
    bool pause(int milliseconds);

    PellixScript& getScript() { return *script; }
    // False after start when the level script failed to load (nothing of it runs).
    bool isLoaded() const { return loaded; }

private:
    void* thread = nullptr;
    bool loaded = false;  // a script that failed to load runs nothing, not even the functions read before the error
    // Each level starts on a fresh script: nothing of the last level's globals or functions is left.
    std::unique_ptr<PellixScript> script = std::make_unique<PellixScript>();
    bool started = false;
    // The game thread appends and the script thread takes: the queue has a lock of its own.
    std::mutex eventLock;
    std::deque<ScriptEvent> events;
};

void* threadProcedure(void* self);

// The game, for the host functions; set by ScriptSystem::start before the thread exists.
extern Game* game;

}  // namespace Torvane
