#pragma once

#include <atomic>

namespace Torvane {

// Time as the world measures it (grenade fuses, blood drying). The game reads the
// wall clock in whole seconds; the level runner counts frames at the game's 66 per
// second instead, so that a replayed level never depends on the machine's speed.
class GameClock {
public:
    static constexpr int framesPerSecond = 66;

    // Milliseconds on this clock: whole wall-clock seconds, or frames turned into time.
    long long milliseconds() const;
    void useFrameTime(bool on = true) { frameTime.store(on); }
    bool isFrameTime() const { return frameTime.load(); }
    void advanceFrame() { frames.fetch_add(1); }
    // While paused the wall clock's time does not pass for the world (a fuse waits with it).
    void setPaused(bool on);
    long long getFrames() const { return frames.load(); }
    // Frames that last at least the given time (a positive time lasts at least a frame).
    static long long framesFor(long long milliseconds);

private:
    std::atomic<bool> frameTime{false};
    std::atomic<long long> frames{0};
    std::atomic<long long> pausedMilliseconds{0};  // wall time spent paused, ended pauses only
    std::atomic<long long> pauseStart{-1};         // wall milliseconds when the pause began; -1 when running
};

}  // namespace Torvane
