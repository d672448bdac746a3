#pragma once

#include <deque>
#include <mutex>

#include "core/Event.h"

namespace Torvane {

// The queue of input events; it owns the events in it.
class EventSystem {
public:
    EventSystem() = default;
    EventSystem(const EventSystem&) = delete;
    EventSystem& operator=(const EventSystem&) = delete;
    ~EventSystem();

    void addEvent(Event* event);
    void clear();
    void handleEvents();
    size_t getEventCount();

private:
    // addEvent runs on the main thread outside the game lock while clear runs on the
    // script thread inside it, so the queue has a small lock of its own.
    std::mutex queueLock;
    std::deque<Event*> queue;
};

}  // namespace Torvane
