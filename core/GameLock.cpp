#include "core/GameLock.h"

#include <pthread.h>

namespace Torvane {

namespace {
pthread_mutex_t gameLock;
}

void initializeLock() { pthread_mutex_init(&gameLock, nullptr); }
void destroyLock() { pthread_mutex_destroy(&gameLock); }
void lockGame() { pthread_mutex_lock(&gameLock); }
void unlockGame() { pthread_mutex_unlock(&gameLock); }

void* createThread(void* argument, void* (*routine)(void*)) {
    pthread_t* thread = new pthread_t;
    if (pthread_create(thread, nullptr, routine, argument) != 0) {
        // A thread that never started must not be joined.
        delete thread;
        return nullptr;
    }
    return thread;
}

void joinThread(void* handle) {
    if (!handle) return;
    pthread_t* thread = static_cast<pthread_t*>(handle);
    pthread_join(*thread, nullptr);
    delete thread;
}

}  // namespace Torvane
