#pragma once

#include <atomic>

namespace Torvane {

// Downward acceleration of free bodies, pixels per frame per frame.
inline constexpr float gravityAccel = 0.12f;

// The next object id. Objects are made on both threads, so the counter is atomic;
// it is never reset, so an id is never handed out twice in a process.
extern std::atomic<int> objectIdGenerator;

}  // namespace Torvane
