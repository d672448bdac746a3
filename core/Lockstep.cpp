#include "core/Lockstep.h"

#include <chrono>

namespace Torvane {

bool Lockstep::waitFrames(long long frames) {
    std::unique_lock<std::mutex> lock(mutex);
    if (released) return false;
    wakeAt = frame + (frames > 0 ? frames : 1);
    scriptRunning = false;
    changed.notify_all();
    changed.wait(lock, [this] { return released || scriptRunning; });
    return !released;
}

void Lockstep::scriptEnded() {
    std::lock_guard<std::mutex> lock(mutex);
    scriptRunning = false;
    wakeAt = -1;
    changed.notify_all();
}

bool Lockstep::beforeFrame() {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(stuckSeconds), [this] { return released || !scriptRunning; });
}

bool Lockstep::beforeFrame(const std::function<void()>& meanwhile) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(stuckSeconds);
    std::unique_lock<std::mutex> lock(mutex);
    while (!changed.wait_for(lock, std::chrono::milliseconds(20), [this] { return released || !scriptRunning; })) {
        if (std::chrono::steady_clock::now() >= until) return false;
        lock.unlock();
        meanwhile();
        lock.lock();
    }
    return true;
}

void Lockstep::afterFrame() {
    std::lock_guard<std::mutex> lock(mutex);
    ++frame;
    if (!scriptRunning && wakeAt >= 0 && frame >= wakeAt) {
        scriptRunning = true;
        changed.notify_all();
    }
}

void Lockstep::release() {
    std::lock_guard<std::mutex> lock(mutex);
    released = true;
    changed.notify_all();
}

void Lockstep::restart() {
    std::lock_guard<std::mutex> lock(mutex);
    released = false;
    scriptRunning = true;
    wakeAt = frame;
}

long long Lockstep::getFrame() {
    std::lock_guard<std::mutex> lock(mutex);
    return frame;
}

}  // namespace Torvane
