#pragma once

#include <array>

namespace Torvane {

// The names under which the script system registers the game's host functions, in registration order.
// Level scripts call them case-insensitively; the pellix tool registers the same names so that it accepts
// exactly the scripts the game accepts.
inline constexpr std::array<const char*, 50> hostFunctionNames = {
    "print",         "isNull",       "message",      "system",      "loadMap",
    "addPlayer",     "showObject",   "setPlayerHealth", "fadeIn",   "fadeOut",
    "delay",         "endgame",      "addPlayerWeapon", "switchWeapon", "playerDoAim",
    "playerDoFire",  "playerDoMove", "playerDoStop", "say",         "robotSay",
    "waitForPlayerAction", "showRobot", "lockControl", "addPresent", "addHiddenPresent",
    "setPlayerAIMode", "die",        "playerX",      "playerY",     "playerBullets",
    "removePresent", "hangPresent",  "showResults", "setPlayerArmour", "playerHealth",
    "setNight",      "addLight",     "matchSetting", "teamColor",   "playerTeam",
    "playerKiller",  "respawnPlayer", "setTeamScore", "teamScore",  "setCountdown",
    "timeLeft",      "showMatchResults", "watchPlayer", "mapWidth", "groundTop",
};

} // namespace Torvane
