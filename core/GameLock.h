#pragma once

namespace Torvane {

// The one game lock: a plain, non-recursive mutex. The main thread holds it for the
// world step of every frame; host functions hold it for their own work.
void initializeLock();
void destroyLock();
void lockGame();
void unlockGame();

// Starts routine(argument) on a new thread; the handle is released by joinThread.
void* createThread(void* argument, void* (*routine)(void*));
void joinThread(void* handle);

}  // namespace Torvane
