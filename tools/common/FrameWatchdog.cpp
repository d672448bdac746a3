#include "tools/common/FrameWatchdog.h"

#include <chrono>

FrameWatchdog::FrameWatchdog(int seconds, void (*stuck)(long long frame))
    : seconds(seconds), stuck(stuck), thread([this] { watch(); }) {}

FrameWatchdog::~FrameWatchdog() {
    {
        std::lock_guard<std::mutex> guard(lock);
        finished = true;
    }
    wake.notify_one();
    thread.join();
}

void FrameWatchdog::watch() {
    std::unique_lock<std::mutex> guard(lock);
    long long seen = -1;
    int stillSeconds = 0;
    while (!wake.wait_for(guard, std::chrono::seconds(1), [this] { return finished; })) {
        const long long now = lastFrame.load();
        stillSeconds = now == seen ? stillSeconds + 1 : 0;
        seen = now;
        if (stillSeconds >= seconds) stuck(now + 1);
    }
}
