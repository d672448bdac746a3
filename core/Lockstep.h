#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

namespace Torvane {

// Hands the world back and forth between the frames and the script thread when a
// level is replayed: a frame runs only while the script waits (or has ended), and
// the script goes on only between frames. Where a script's step falls then never
// depends on the machine. Unused in the real game, where both run side by side.
class Lockstep {
public:
    // A script that computes this long without waiting is taken for stuck. Generous:
    // sanitizer builds run scripts many times slower than the game players get.
    static constexpr int stuckSeconds = 120;

    void enable() { enabled = true; }
    bool isEnabled() const { return enabled; }

    // Script thread: sleeps until that many more frames have run; false once released.
    bool waitFrames(long long frames);
    // Script thread: it will not wait again.
    void scriptEnded();
    // Main thread: blocks until the script waits or has ended; false when it did
    // neither for stuckSeconds.
    bool beforeFrame();
    // The same, calling meanwhile every few milliseconds while it waits: a network match keeps
    // answering the other machines while the script builds its world.
    bool beforeFrame(const std::function<void()>& meanwhile);
    // Main thread: one more frame has run; wakes a script whose wait is over.
    void afterFrame();
    // Ends every wait for good (the game has stopped).
    void release();
    // Main thread, the last script joined: the next level's script runs until its first wait.
    void restart();
    long long getFrame();

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool enabled = false;
    bool released = false;
    bool scriptRunning = true;  // until its first wait
    long long frame = 0;
    long long wakeAt = 0;
};

}  // namespace Torvane
