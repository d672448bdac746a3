#pragma once

#include <deque>
#include <mutex>
#include <string>

namespace Torvane {

// A script event raised by the game, waiting for the script thread to serve it.
struct ScriptEvent {
    std::string name;
    std::string text;
    int param1 = 0;
    int param2 = 0;
    int param3 = 0;
};

// The level script thread. Until level scripting lands no script runs:
// the game shows an empty world and ends with Escape. Raised events wait in
// the queue.
class ScriptSystem {
public:
    void start() {}
    void stop() {}

    // Queues an event for the script thread; always true. Called on the game thread.
    bool raise(const std::string& name, int param1, int param2, int param3) {
        std::lock_guard<std::mutex> guard(eventLock);
        events.push_back(ScriptEvent{name, std::string(), param1, param2, param3});
        return true;
    }
    size_t getEventCount() {
        std::lock_guard<std::mutex> guard(eventLock);
        return events.size();
    }
    // Takes the oldest event into e; false when none waits.
    bool takeEvent(ScriptEvent& e) {
        std::lock_guard<std::mutex> guard(eventLock);
        if (events.empty()) return false;
        e = events.front();
        events.pop_front();
        return true;
    }

private:
    // The game thread appends and the script thread takes: the queue has a lock of its own.
    std::mutex eventLock;
    std::deque<ScriptEvent> events;
};

}  // namespace Torvane
