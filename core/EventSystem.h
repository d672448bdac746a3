#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "core/Event.h"

namespace Torvane {

class Player;

// The queue of input events; it owns the events in it. Events are carried out
// once a frame under the game lock, oldest first, on the fighter each names.
class EventSystem {
public:
    EventSystem() = default;
    EventSystem(const EventSystem&) = delete;
    EventSystem& operator=(const EventSystem&) = delete;
    ~EventSystem();

    void addEvent(Event* event);
    void clear();
    // While a bubble shows, a click closes it and nothing else acts; while control
    // is locked events are dropped; an event for a fighter that no longer exists
    // ends the handling for this frame. Whenever control comes back to the main
    // player (bubble gone, control unlocked, the frame after a hit or a present
    // stopped him) he takes up the controls the hands hold at that moment.
    void handleEvents();
    size_t getEventCount();
    // Copies of the queued events, oldest first, for inspection.
    std::vector<Event> getQueuedEvents();

private:
    // The walk keys, jump and trigger as the hands hold them, whatever reached the fighter.
    struct HeldControls {
        bool left = false;
        bool right = false;
        bool jump = false;
        bool fire = false;
    };

    Event* takeEvent();
    void carryOut(const Event& event, Player& player);
    void notePress(const Event& event, bool eatenByBubble);
    void takeUpHeldControls(Player& player);

    HeldControls held;
    bool controlWasAway = false;  // a bubble or a lock kept the player's hands off last frame

    // addEvent runs on the main thread outside the game lock while clear runs on the
    // script thread inside it, so the queue has a small lock of its own.
    std::mutex queueLock;
    std::deque<Event*> queue;
};

}  // namespace Torvane
