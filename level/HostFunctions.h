#pragma once

#include <vector>

#include "script/PellixScript.h"

namespace Torvane {

// The 50 host functions through which a level script drives the game. Each has the
// engine's host signature and takes its arguments by position from the top of the
// run-time stack (print, isNull and message take them all); a missing argument reads
// as undefined. They run on the script thread: work on the world happens under the
// game lock, and waits sleep without it and end early when the game stops.
using HostStack = std::vector<PellixVariable>;

// "system" runs commands only when this environment variable is "1".
constexpr const char* allowSystemVariable = "TORVANE_ALLOW_SYSTEM";

void print(HostStack& stack, PellixVariable& result, int argc);
void isNull(HostStack& stack, PellixVariable& result, int argc);
void message(HostStack& stack, PellixVariable& result, int argc);
void command(HostStack& stack, PellixVariable& result, int argc);
void loadMap(HostStack& stack, PellixVariable& result, int argc);
void addPlayer(HostStack& stack, PellixVariable& result, int argc);
void showObject(HostStack& stack, PellixVariable& result, int argc);
void setPlayerHealth(HostStack& stack, PellixVariable& result, int argc);
void fadeIn(HostStack& stack, PellixVariable& result, int argc);
void fadeOut(HostStack& stack, PellixVariable& result, int argc);
void delay(HostStack& stack, PellixVariable& result, int argc);
void endgame(HostStack& stack, PellixVariable& result, int argc);
void addPlayerWeapon(HostStack& stack, PellixVariable& result, int argc);
void switchWeapon(HostStack& stack, PellixVariable& result, int argc);
void playerDoAim(HostStack& stack, PellixVariable& result, int argc);
void playerDoFire(HostStack& stack, PellixVariable& result, int argc);
void playerDoMove(HostStack& stack, PellixVariable& result, int argc);
void playerDoStop(HostStack& stack, PellixVariable& result, int argc);
void say(HostStack& stack, PellixVariable& result, int argc);
void robotSay(HostStack& stack, PellixVariable& result, int argc);
void waitForPlayerAction(HostStack& stack, PellixVariable& result, int argc);
void showRobot(HostStack& stack, PellixVariable& result, int argc);
void lockControl(HostStack& stack, PellixVariable& result, int argc);
void addPresent(HostStack& stack, PellixVariable& result, int argc);
void addHiddenPresent(HostStack& stack, PellixVariable& result, int argc);
void setPlayerAIMode(HostStack& stack, PellixVariable& result, int argc);
void die(HostStack& stack, PellixVariable& result, int argc);
void playerX(HostStack& stack, PellixVariable& result, int argc);
void playerY(HostStack& stack, PellixVariable& result, int argc);
void playerHealth(HostStack& stack, PellixVariable& result, int argc);
void setNight(HostStack& stack, PellixVariable& result, int argc);
void addLight(HostStack& stack, PellixVariable& result, int argc);
// Team battles.
void matchSetting(HostStack& stack, PellixVariable& result, int argc);
void teamColor(HostStack& stack, PellixVariable& result, int argc);
void playerTeam(HostStack& stack, PellixVariable& result, int argc);
void playerKiller(HostStack& stack, PellixVariable& result, int argc);
void respawnPlayer(HostStack& stack, PellixVariable& result, int argc);
void setTeamScore(HostStack& stack, PellixVariable& result, int argc);
void teamScore(HostStack& stack, PellixVariable& result, int argc);
void setCountdown(HostStack& stack, PellixVariable& result, int argc);
void timeLeft(HostStack& stack, PellixVariable& result, int argc);
void showMatchResults(HostStack& stack, PellixVariable& result, int argc);
void watchPlayer(HostStack& stack, PellixVariable& result, int argc);
void mapWidth(HostStack& stack, PellixVariable& result, int argc);
void groundTop(HostStack& stack, PellixVariable& result, int argc);

// Registers all 50 under their script names, in the order of hostFunctionNames.
void registerHostFunctions(PellixScript& script);

}  // namespace Torvane
