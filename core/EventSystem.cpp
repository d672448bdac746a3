#include "core/EventSystem.h"

namespace Torvane {

EventSystem::~EventSystem() { clear(); }

void EventSystem::addEvent(Event* event) {
    std::lock_guard<std::mutex> guard(queueLock);
    queue.push_back(event);
}

void EventSystem::clear() {
    std::lock_guard<std::mutex> guard(queueLock);
    for (Event* event : queue) delete event;
    queue.clear();
}

void EventSystem::handleEvents() {
    // Fighter actions arrive with the input piece of the game; events are dropped until then.
    clear();
}

size_t EventSystem::getEventCount() {
    std::lock_guard<std::mutex> guard(queueLock);
    return queue.size();
}

}  // namespace Torvane
