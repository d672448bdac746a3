#include "level/ScriptSystem.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "core/Game.h"
#include "core/GameLock.h"
#include "level/ChildProcess.h"
#include "level/HostFunctions.h"
#include "level/LevelLimits.h"
#include "world/OnceMessages.h"

namespace Torvane {

Game* game = nullptr;

namespace {

void writeLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    // Level authors watch this output while the game runs, often through a pipe.
    std::fflush(stdout);
}

void reportError(const std::string& text) {
    if (game && game->getObserver()) game->getObserver()->scriptFailed(text);
    writeLine(text);
}

}  // namespace

void ScriptSystem::start(const std::string& entry) {
    game = Game::getInstance();
    if (started) {
        stop();
        script = std::make_unique<PellixScript>();
        game->getLockstep().restart();
        std::lock_guard<std::mutex> guard(eventLock);
        events.clear();
    }
    started = true;
    registerHostFunctions(*script);
    // Functions parsed before a load error stay registered: a level that fails to load must run none of them.
    loaded = script->load(entry);
    if (!loaded) reportError("Script error: " + script->getLastError());
    thread = createThread(this, threadProcedure);
}

void ScriptSystem::stop() {
    if (!thread) return;
    // A script that loops without calling the host would otherwise keep the join waiting for ever.
    script->requestStop();
    game->getLockstep().release();
    joinThread(thread);
    thread = nullptr;
    // Nothing a level started outlives the game, not even what a finished command left running.
    ChildProcess::endAll();
}

bool ScriptSystem::raise(const std::string& name, int param1, int param2, int param3) {
    std::unique_lock<std::mutex> guard(eventLock);
    if (events.size() >= static_cast<size_t>(LevelLimits::maxWaitingEvents)) {
        guard.unlock();
        OnceMessages::show("More than " + std::to_string(LevelLimits::maxWaitingEvents) +
                           " events wait for the script; later ones are dropped until it serves them.");
        return false;
    }
    events.push_back(ScriptEvent{name, std::string(), param1, param2, param3});
    if (Game* host = Game::getInstance(); host && host->getObserver())
        host->getObserver()->eventRaised(name, param1, param2, param3);
    return true;
}

size_t ScriptSystem::getEventCount() {
    std::lock_guard<std::mutex> guard(eventLock);
    return events.size();
}

bool ScriptSystem::takeEvent(ScriptEvent& e) {
    std::lock_guard<std::mutex> guard(eventLock);
    if (events.empty()) return false;
    e = std::move(events.front());
    events.pop_front();
    return true;
}

void ScriptSystem::runScript() {
    writeLine("Script thread running ");
    if (loaded && !script->run("Main")) reportError("Runtime error: " + script->getLastError());
    while (game->isRunning()) {
        if (loaded) serveEvents();
        pause(eventPollMilliseconds);
    }
    writeLine("Script thread ended");
    game->getLockstep().scriptEnded();
}

void ScriptSystem::serveEvents() {
    std::vector<PellixVariable>& stack = *script->getRuntimeStack();
    ScriptEvent event;
    while (takeEvent(event)) {
        for (int param : {event.param1, event.param2, event.param3}) {
            stack.emplace_back();
            stack.back().setInteger(param);
        }
        PellixScript::toUpperString(event.name);
        try {
            // The engine would let the three values spill into a short handler's locals and result.
            const int parameters = script->parameterCount(event.name);
            if (parameters >= 0 && parameters < 3)
                throw PellixRuntimeException("Too many parameters", event.name, event.name, 0);
            script->invokeFunction(event.name, 3);
        } catch (const PellixRuntimeException& e) {
            reportError(e.getFunction() + "(" + std::to_string(e.getLine()) + "): " + e.getError() + " : " +
                      e.getDetail());
        }
        stack.resize(stack.size() - 3);
    }
}

bool ScriptSystem::pause(int milliseconds) {
    if (game && game->getLockstep().isEnabled()) {
        const long long frames = GameClock::framesFor(milliseconds);
        if (frames == 0) return game->isRunning();
        return game->getLockstep().waitFrames(frames) && game->isRunning();
    }
    using Clock = std::chrono::steady_clock;
    // Counted in slices, and paused slices do not count: a wait stands still with the world.
    long long left = milliseconds > 0 ? milliseconds : 0;
    for (;;) {
        if (!game || !game->isRunning()) return false;
        if (left <= 0) return true;
        const long long slice = left < waitSliceMilliseconds ? left : waitSliceMilliseconds;
        const Clock::time_point start = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(slice));
        if (!game->isPaused())
            left -= std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    }
}

void* threadProcedure(void* self) {
    static_cast<ScriptSystem*>(self)->runScript();
    return nullptr;
}

}  // namespace Torvane
