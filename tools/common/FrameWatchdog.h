#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// Ends the process when the counted frames stop advancing for a while: a frame stuck in a file, the lock
// or a host call must not keep a headless run waiting for ever. The tools that play levels without a
// display share it; each says what being stuck means for it.
class FrameWatchdog {
public:
    // stuck is called (on the watchdog's thread) with the frame that did not end; it must end the process.
    FrameWatchdog(int seconds, void (*stuck)(long long frame));
    ~FrameWatchdog();
    FrameWatchdog(const FrameWatchdog&) = delete;
    FrameWatchdog& operator=(const FrameWatchdog&) = delete;

    void frameDone(long long frame) { lastFrame.store(frame); }

private:
    void watch();

    const int seconds;
    void (*const stuck)(long long frame);
    std::atomic<long long> lastFrame{-1};
    std::mutex lock;
    std::condition_variable wake;
    bool finished = false;
    std::thread thread;
};
