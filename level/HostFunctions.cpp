#include "level/HostFunctions.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Game.h"
#include "core/GameLock.h"
#include "core/NetSession.h"
#include "fighters/AIPlayer.h"
#include "fighters/RealBody.h"
#include "fighters/TeamAIPlayer.h"
#include "fighters/Player.h"
#include "hud/Robot.h"
#include "level/ChildProcess.h"
#include "level/HostFunctionNames.h"
#include "level/LevelLimits.h"
#include "level/PresentBox.h"
#include "level/ScriptSystem.h"
#include "weapons/Grenade.h"
#include "weapons/Gun.h"
#include "weapons/Pistol.h"
#include "world/LevelFile.h"
#include "world/NightShade.h"
#include "world/OnceMessages.h"

namespace Torvane {

namespace {

constexpr int waitCheckMilliseconds = 100;
constexpr int networkResultsMilliseconds = 10000;

// The game lock for the length of one host call's work on the world.
class WorldAccess {
public:
    WorldAccess() { lockGame(); }
    ~WorldAccess() { unlockGame(); }
    WorldAccess(const WorldAccess&) = delete;
    WorldAccess& operator=(const WorldAccess&) = delete;
};

// Arguments by position from the top of the stack: 1 is the last one written.
int integerArgument(const HostStack& stack, int argc, int positionFromTop) {
    return PellixScript::hostArgument(stack, argc, positionFromTop).getInteger();
}

// A place, size or amount from a script, held where the world's arithmetic cannot overflow.
int coordinateArgument(const HostStack& stack, int argc, int positionFromTop) {
    return std::clamp(integerArgument(stack, argc, positionFromTop), -LevelLimits::maxCoordinate,
                      LevelLimits::maxCoordinate);
}

int amountArgument(const HostStack& stack, int argc, int positionFromTop) {
    return std::clamp(integerArgument(stack, argc, positionFromTop), -LevelLimits::maxAmount, LevelLimits::maxAmount);
}

// Reads a picture into the level's cache before the lock is taken, so that the object made under the lock finds
// it there and no file is read while the frames wait.
void preloadPicture(const std::string& path) {
    std::string reason;
    PictureCache::load(path, reason);
}

// A name a level gives stays inside the data directory; one line says why one does not.
bool allowedName(const char* what, const std::string& name) {
    const std::string problem = LevelFile::checkName(name);
    if (problem.empty()) return true;
    OnceMessages::show(std::string(what) + " " + name + " is refused (" + problem + ").");
    return false;
}

// One line the first time a cap refuses something, then silence: a level looping over a cap must not flood.
void refuseOverCap(const char* what, int cap) {
    OnceMessages::show(std::string("The level asks for more than ") + std::to_string(cap) + " " + what +
                       "; the ones over are not added.");
}

std::string textArgument(const HostStack& stack, int argc, int positionFromTop) {
    PellixVariable value = PellixScript::hostArgument(stack, argc, positionFromTop);
    return value.getString();
}

// The fighter with that object id, or null; call under the game lock.
Player* findFighter(int id) { return dynamic_cast<Player*>(game->getObjectSystem().getObjectById(id)); }

// Arguments from the first to the last, never below the stack.
size_t firstArgument(const HostStack& stack, int argc) {
    const size_t count = argc > 0 ? static_cast<size_t>(argc) : 0;
    return count < stack.size() ? stack.size() - count : 0;
}

// Blocks while the bubble is up; ends early when the game stops.
void waitForDialog() {
    while (game->getDialog().isVisible() && game->getScriptSystem().pause(waitCheckMilliseconds)) {
    }
}

void waitWhileFading(int mode) {
    while (game->getScreen().getFadeMode() == mode && game->getScriptSystem().pause(waitCheckMilliseconds)) {
    }
}

// A program the script starts runs while the game does; quitting ends it rather than waiting for it.
ChildProcess::Result runWhileTheGameRuns(const std::vector<std::string>& argv) {
    return ChildProcess::run(argv, [] { return game->getScriptSystem().pause(ScriptSystem::waitSliceMilliseconds); });
}

void writeLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Once the game is stopping, a script acts no more: no command, no box, no change to the world. The stop
// request ends the script at its next statement.
template <PellixHostFunction act>
void unlessStopping(HostStack& stack, PellixVariable& result, int argc) {
    if (game && !game->isRunning()) {
        game->getScriptSystem().getScript().requestStop();
        return;
    }
    act(stack, result, argc);
}

// A number a script gives for the night, held to Low..High; out of it one line says so and which is used.
int nightArgument(const HostStack& stack, int argc, int positionFromTop, const char* call, const char* what, int low,
                  int high) {
    const int value = integerArgument(stack, argc, positionFromTop);
    const int held = std::clamp(value, low, high);
    if (held != value)
        OnceMessages::show(std::string(call) + ": the " + what + " " + std::to_string(value) + " is not " +
                           std::to_string(low) + " to " + std::to_string(high) + "; using " + std::to_string(held) +
                           ".");
    return held;
}

}  // namespace

void print(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    GameObserver* observer = game ? game->getObserver() : nullptr;
    for (size_t index = firstArgument(stack, argc); index < stack.size(); ++index) {
        const std::string& text = stack[index].getString();
        if (observer) observer->scriptPrinted(text);
        else std::fwrite(text.data(), 1, text.size(), stdout);
    }
    // Authors and tests read this while the game runs, often through a pipe.
    std::fflush(stdout);
}

void isNull(HostStack& stack, PellixVariable& result, int argc) {
    result.setInteger(PellixScript::allArgumentsUndefined(stack, argc) ? 1 : 0);
}

void message(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    std::string text;
    for (size_t index = firstArgument(stack, argc); index < stack.size(); ++index) text += stack[index].getString();
    // The box is a program of its own, as Allegro's would be, but one that quitting closes instead of waiting for.
    // A text starting with "-" would be read as one of its options ("-file" shows any file): a space leads it.
    const char* display = std::getenv("DISPLAY");
    const std::string shown = !text.empty() && text[0] == '-' ? " " + text : text;
    if (display && *display &&
        runWhileTheGameRuns({"xmessage", "-buttons", "OK", "-default", "OK", "-center", shown}).ending !=
            ChildProcess::Ending::NotStarted)
        return;
    writeLine(text);
}

void command(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    // Without a command there is nothing to run: the shell would be handed the word "undefined".
    const PellixVariable text = PellixScript::hostArgument(stack, argc, 1);
    if (text.type == PellixVariable::Undefined) return;
    // Levels are shared files: a command runs with the player's rights only when the player said so.
    const char* allowed = std::getenv(allowSystemVariable);
    if (!allowed || std::string(allowed) != "1") {
        writeLine(game->getScriptSystem().getScript().describeHostCallPlace() +
                  ": the level asks to run a command; it was not run. To allow a level's commands, start the game "
                  "with " + allowSystemVariable + "=1.");
        return;
    }
    PellixVariable line = text;
    runWhileTheGameRuns({"/bin/sh", "-c", line.getString()});
}

void loadMap(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const std::string path = textArgument(stack, argc, 1);
    if (!allowedName("Map file", path)) return;
    // Files are read before the lock is taken: a slow file must not stop the frames.
    MapFile map;
    if (!game->readMap(path.c_str(), map)) return;
    WorldAccess access;
    game->applyMap(map);
    // A new map is a new day: its level sets the night and the lamps again.
    game->getNightShade().clear();
}

void addPlayer(HostStack& stack, PellixVariable& result, int argc) {
    const int y = coordinateArgument(stack, argc, 1);
    const int x = coordinateArgument(stack, argc, 2);
    const std::string name = textArgument(stack, argc, 3);
    const std::string role = textArgument(stack, argc, 4);
    const int color = integerArgument(stack, argc, 5);
    // 0: the player's hands; 2: the brain that fights for a team; anything else: the story levels' brain.
    const int brain = integerArgument(stack, argc, 6);
    const bool computer = brain != 0;
    {
        WorldAccess access;
        if (game->getPlayers().size() >= static_cast<size_t>(LevelLimits::maxFighters))
            return refuseOverCap("fighters", LevelLimits::maxFighters);
    }
    // A refused role is no role: the fighter takes the size of one without pictures.
    const std::string safeRole = allowedName("Role", "image/role/" + role + "/config.dat") ? role : std::string();
    // Made before the lock is taken: the role's description and pictures are files to read.
    // In a network match a player's fighter is a team brain at rest under his hands, so that it can be
    // handed to the brain when he leaves.
    const bool networked = game->isNetworked();
    Player* fighter = brain == 2 || (!computer && networked) ? new TeamAIPlayer(name, safeRole)
                      : computer                           ? new AIPlayer(name, safeRole)
                                                           : new Player(name, safeRole);
    for (const char* weapon : {"pistol", "gun", "grenade"}) preloadPicture(Weapon::picturePath(safeRole, weapon));
    WorldAccess access;
    fighter->setX(x);
    fighter->setY(y);
    fighter->setColor(color);
    game->addPlayer(fighter);
    if (!computer && networked) game->addHandsFighter(static_cast<TeamAIPlayer*>(fighter));
    else if (!computer) game->setMainPlayer(fighter);
    result.setInteger(fighter->getId());
}

void showObject(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    if (Object* object = game->getObjectSystem().getObjectById(id)) {
        object->show();
    } else {
        std::printf("Object not found %d\n", id);
        std::fflush(stdout);
    }
}

void setPlayerHealth(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int health = amountArgument(stack, argc, 1);
    const int id = integerArgument(stack, argc, 2);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) fighter->setHealth(health);
}

void fadeIn(HostStack& stack, PellixVariable& result, int argc) {
    (void)stack, (void)result, (void)argc;
    game->getScreen().fadeIn();
    waitWhileFading(FADE_IN);
}

void fadeOut(HostStack& stack, PellixVariable& result, int argc) {
    (void)stack, (void)result, (void)argc;
    game->getScreen().fadeOut();
    waitWhileFading(FADE_OUT);
}

void delay(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    game->getScriptSystem().pause(integerArgument(stack, argc, 1));
}

void endgame(HostStack& stack, PellixVariable& result, int argc) {
    (void)stack, (void)result, (void)argc;
    game->endGame();
}

void addPlayerWeapon(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int bullets = amountArgument(stack, argc, 1);
    const int kind = integerArgument(stack, argc, 2);
    const int id = integerArgument(stack, argc, 3);
    // The weapon's picture is read with the fighter (addPlayer), before any lock.
    WorldAccess access;
    Player* fighter = findFighter(id);
    if (!fighter || kind < 1 || kind > 3) return;
    Weapon* weapon = fighter->getWeapon(kind);
    if (!weapon) {
        if (kind == 1) weapon = new Pistol(fighter);
        else if (kind == 2) weapon = new Gun(fighter);
        else weapon = new Grenade(fighter);
        fighter->setWeapon(kind, weapon);
    }
    weapon->addBullets(bullets);
}

void switchWeapon(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int kind = integerArgument(stack, argc, 1);
    const int id = integerArgument(stack, argc, 2);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) fighter->setEquipment(kind);
}

void playerDoAim(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    // The script writes y before x.
    const int x = coordinateArgument(stack, argc, 1);
    const int y = coordinateArgument(stack, argc, 2);
    const int id = integerArgument(stack, argc, 3);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) fighter->aim(x, y);
}

void playerDoFire(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int y = coordinateArgument(stack, argc, 1);
    const int x = coordinateArgument(stack, argc, 2);
    const int id = integerArgument(stack, argc, 3);
    WorldAccess access;
    Player* fighter = findFighter(id);
    if (fighter && fighter->getCurrentWeapon()) fighter->getCurrentWeapon()->fire(x, y);
}

void playerDoMove(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int y = coordinateArgument(stack, argc, 1);
    const int x = coordinateArgument(stack, argc, 2);
    const int id = integerArgument(stack, argc, 3);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) fighter->setAction(PlayerAction{1, x, y});
}

void playerDoStop(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) {
        fighter->stopAction();
        fighter->stopMoving();
        fighter->stop();
    }
}

void say(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const std::string text = textArgument(stack, argc, 1);
    const int id = integerArgument(stack, argc, 2);
    {
        WorldAccess access;
        Player* fighter = findFighter(id);
        if (!fighter) return;
        game->getDialog().hide().setPosition(fighter->getCentralX(), fighter->getY()).setText(text);
        game->getDialog().setColor(fighter->getColor()).show();
    }
    waitForDialog();
}

void robotSay(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const std::string text = textArgument(stack, argc, 1);
    {
        WorldAccess access;
        Robot* robot = game->getRobot();
        // Only a game that has started has a robot to speak for.
        if (!robot) return;
        // The robot stands on the screen, not in the world: its bubble stays beside it as the view moves.
        const int x = robot->getX() + robot->getWidth();
        game->getDialog().hide().setScreenPosition(x, robot->getCentralY()).setText(text);
        game->getDialog().setColor(makecol(255, 0, 0)).show();
    }
    waitForDialog();
}

void waitForPlayerAction(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int id = integerArgument(stack, argc, 1);
    do {
        WorldAccess access;
        Player* fighter = findFighter(id);
        // A fighter that is gone or dead never finishes its walk: waiting for it would never end.
        if (!fighter || !fighter->isAlive() || !fighter->isPlayerActionOn()) return;
    } while (game->getScriptSystem().pause(waitCheckMilliseconds));
}

void showRobot(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const bool on = integerArgument(stack, argc, 1) != 0;
    WorldAccess access;
    Robot* robot = game->getRobot();
    if (!robot) return;
    if (on) robot->show();
    else robot->hide();
}

void lockControl(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const bool locked = integerArgument(stack, argc, 1) != 0;
    WorldAccess access;
    if (locked) game->lockControl();
    else game->unlockControl();
}

void addPresent(HostStack& stack, PellixVariable& result, int argc) {
    const int y = coordinateArgument(stack, argc, 1);
    const int x = coordinateArgument(stack, argc, 2);
    std::string path = "image/object/" + textArgument(stack, argc, 3) + ".bmp";
    // A refused picture leaves a box without one, as a missing picture does.
    if (!allowedName("Picture", path)) path.clear();
    if (!path.empty()) preloadPicture(path);
    WorldAccess access;
    if (PresentBox::getCount() >= LevelLimits::maxPresents)
        return refuseOverCap("presents and trigger areas", LevelLimits::maxPresents);
    PresentBox* box = new PresentBox();
    box->setX(x);
    box->setY(y);
    if (!path.empty()) box->loadImage(path.c_str());
    box->show();
    game->getObjectSystem().addObject(box);
    result.setInteger(box->getId());
}

void addHiddenPresent(HostStack& stack, PellixVariable& result, int argc) {
    const int height = coordinateArgument(stack, argc, 1);
    const int width = coordinateArgument(stack, argc, 2);
    const int y = coordinateArgument(stack, argc, 3);
    const int x = coordinateArgument(stack, argc, 4);
    WorldAccess access;
    if (PresentBox::getCount() >= LevelLimits::maxPresents)
        return refuseOverCap("presents and trigger areas", LevelLimits::maxPresents);
    PresentBox* box = new PresentBox();
    box->setX(x);
    box->setY(y);
    box->setWidth(width);
    box->setHeight(height);
    box->show();
    std::printf("add hidden present %d, %d, %d, %d\n", x, y, width, height);
    std::fflush(stdout);
    game->getObjectSystem().addObject(box);
    result.setInteger(box->getId());
}

void setPlayerAIMode(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int mode = integerArgument(stack, argc, 1);
    const int id = integerArgument(stack, argc, 2);
    WorldAccess access;
    if (AIPlayer* fighter = dynamic_cast<AIPlayer*>(game->getObjectSystem().getObjectById(id)))
        fighter->setControlMode(mode != 0);
}

void die(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) fighter->die();
}

void playerX(HostStack& stack, PellixVariable& result, int argc) {
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) result.setInteger(fighter->getCentralX());
}

void playerY(HostStack& stack, PellixVariable& result, int argc) {
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) result.setInteger(fighter->getCentralY());
}

void playerBullets(HostStack& stack, PellixVariable& result, int argc) {
    const int kind = integerArgument(stack, argc, 1);
    const int id = integerArgument(stack, argc, 2);
    WorldAccess access;
    Player* fighter = findFighter(id);
    // Null for no such fighter, as playerX; 0 for a weapon it does not have.
    if (!fighter) return;
    const Weapon* weapon = kind >= 1 && kind <= 3 ? fighter->getWeapon(kind) : nullptr;
    result.setInteger(weapon ? weapon->getBulletTotal() : 0);
}

void removePresent(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    // Only presents and trigger areas: fighters have die, and the rest is the game's own.
    if (auto* box = dynamic_cast<PresentBox*>(game->getObjectSystem().getObjectById(id))) box->die();
}

void setPlayerArmour(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    // The info bar's armour gauge is full at 100; more would only hide behind it.
    const int points = std::clamp(integerArgument(stack, argc, 1), 0, 100);
    const int id = integerArgument(stack, argc, 2);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) fighter->setDefend(points);
}

void hangPresent(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    // Held, it neither falls nor is pushed: a flag on a pole, a sign in the air.
    if (auto* box = dynamic_cast<PresentBox*>(game->getObjectSystem().getObjectById(id))) {
        box->setFree(false);
        box->setVelocity(Vector(0, 0));
    }
}

// Shows what the player did over the whole screen, keeps the win in the player's progress and
// waits for his choice: 1 to play again (the counts start over), 2 for the next level (the script
// ends the level with endgame, and the game starts the next one), 0 when the game is stopping.
// Quitting is Escape.
void showResults(HostStack& stack, PellixVariable& result, int argc) {
    (void)stack, (void)argc;
    ResultsScreen& screen = game->getResultsScreen();
    {
        WorldAccess access;
        screen.show(game->getLevelStats(), game->hasNextLevel());
        game->recordWin();
        if (GameObserver* observer = game->getObserver()) observer->resultsShown(game->getLevelStats().summary());
    }
    game->getScreen().fadeIn();
    while (screen.isVisible() && game->getScriptSystem().pause(waitCheckMilliseconds)) {
    }
    WorldAccess access;
    const ResultsScreen::Choice choice = game->isRunning() ? screen.getChoice() : ResultsScreen::Choice::None;
    screen.hide();
    int answer = 0;
    if (choice == ResultsScreen::Choice::PlayAgain) {
        game->getLevelStats().reset();
        answer = 1;
    } else if (choice == ResultsScreen::Choice::NextLevel) {
        game->requestNextLevel();
        answer = 2;
    }
    result.setInteger(answer);
}

void playerHealth(HostStack& stack, PellixVariable& result, int argc) {
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    // Null for no such fighter, as playerX; a fallen one's health may be below 0.
    if (Player* fighter = findFighter(id)) result.setInteger(fighter->getHealth());
}

void setNight(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int lampRadius = nightArgument(stack, argc, 1, "setNight", "lamp radius", 0, NightShade::maxRadius);
    const int darkness = nightArgument(stack, argc, 2, "setNight", "darkness", 0, 255);
    WorldAccess access;
    game->getNightShade().setNight(darkness, lampRadius);
}

void addLight(HostStack& stack, PellixVariable& result, int argc) {
    const int radius = nightArgument(stack, argc, 1, "addLight", "radius", 1, NightShade::maxRadius);
    const int y = nightArgument(stack, argc, 2, "addLight", "y", -LevelLimits::maxCoordinate, LevelLimits::maxCoordinate);
    const int x = nightArgument(stack, argc, 3, "addLight", "x", -LevelLimits::maxCoordinate, LevelLimits::maxCoordinate);
    WorldAccess access;
    const int id = game->getNightShade().addLight(x, y, radius);
    if (id == 0) return refuseOverCap("lights", NightShade::maxLights);
    result.setInteger(id);
}

namespace {

// A team number from a script: 1 (KR) or 2 (KT); anything else is said once and gives 0.
int teamArgument(const HostStack& stack, int argc, int positionFromTop, const char* call) {
    const int team = integerArgument(stack, argc, positionFromTop);
    if (team == MatchState::kr || team == MatchState::kt) return team;
    OnceMessages::show(std::string(call) + ": the team " + std::to_string(team) + " is not 1 (KR) or 2 (KT).");
    return 0;
}

}  // namespace

void matchSetting(HostStack& stack, PellixVariable& result, int argc) {
    const std::string name = textArgument(stack, argc, 1);
    const MatchSettings& match = game->getMatchSettings();
    // Outside a battle there are no settings: every name is undefined.
    if (!game->isMatch()) return;
    if (name == "map") result.setString(match.getMap());
    else if (name == "teamSize") result.setInteger(match.getTeamSize());
    else if (name == "score") result.setInteger(match.getScore());
    else if (name == "minutes") result.setInteger(match.getMinutes());
    else if (name == "spectate") result.setInteger(match.isSpectating() ? 1 : 0);
    else if (name == "players") result.setInteger(game->isNetworked() ? game->getNetwork()->getPlayers() : 1);
    else OnceMessages::show("matchSetting: there is no setting \"" + name +
                            "\" (there are map, teamSize, score, minutes, spectate and players).");
}

void teamColor(HostStack& stack, PellixVariable& result, int argc) {
    if (const int team = teamArgument(stack, argc, 1, "teamColor")) result.setInteger(MatchState::colorOf(team));
}

void playerTeam(HostStack& stack, PellixVariable& result, int argc) {
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) result.setInteger(MatchState::teamOf(fighter->getColor()));
}

void playerKiller(HostStack& stack, PellixVariable& result, int argc) {
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) result.setInteger(fighter->getLastHitById());
}

void respawnPlayer(HostStack& stack, PellixVariable& result, int argc) {
    const int milliseconds = std::clamp(integerArgument(stack, argc, 1), 0, 600000);
    const int y = coordinateArgument(stack, argc, 2);
    const int x = coordinateArgument(stack, argc, 3);
    const int id = integerArgument(stack, argc, 4);
    WorldAccess access;
    Player* fighter = findFighter(id);
    if (!fighter) return result.setInteger(0);
    const long long due = game->getClock().getFrames() + GameClock::framesFor(milliseconds);
    if (!game->getMatchState().schedule(MatchState::Respawn{id, x, y, due}))
        return refuseOverCap("fighters waiting to come back", MatchState::maxWaiting);
    result.setInteger(1);
}

void setTeamScore(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int points = amountArgument(stack, argc, 1);
    const int team = teamArgument(stack, argc, 2, "setTeamScore");
    WorldAccess access;
    MatchState& match = game->getMatchState();
    match.setScore(team, points);
    match.setShown(true);
}

void teamScore(HostStack& stack, PellixVariable& result, int argc) {
    const int team = teamArgument(stack, argc, 1, "teamScore");
    WorldAccess access;
    if (team) result.setInteger(game->getMatchState().getScore(team));
}

void setCountdown(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int seconds = std::clamp(integerArgument(stack, argc, 1), 0, 24 * 3600);
    WorldAccess access;
    MatchState& match = game->getMatchState();
    match.startCountdown(game->getClock().getFrames(), seconds);
    match.setShown(true);
}

void timeLeft(HostStack& stack, PellixVariable& result, int argc) {
    (void)stack, (void)argc;
    WorldAccess access;
    result.setInteger(game->getMatchState().secondsLeft(game->getClock().getFrames()));
}

void showMatchResults(HostStack& stack, PellixVariable& result, int argc) {
    (void)stack, (void)argc;
    ResultsScreen& screen = game->getResultsScreen();
    {
        WorldAccess access;
        MatchState& match = game->getMatchState();
        std::vector<Scoreboard::Row> rows;
        Scoreboard::rowsOf(game->getPlayers(), game->getMainPlayer(), rows);
        const int kr = match.getScore(MatchState::kr), kt = match.getScore(MatchState::kt);
        screen.showMatch(rows, kr, kt, !game->isNetworked());
        if (GameObserver* observer = game->getObserver()) observer->resultsShown(Scoreboard::scoreText(kr, kt));
    }
    // A choice on one machine alone would split a network match: there the results stand for ten
    // seconds on every machine, and the match is over.
    if (game->isNetworked()) game->getScriptSystem().pause(networkResultsMilliseconds);
    while (screen.isVisible() && !game->isNetworked() && game->getScriptSystem().pause(waitCheckMilliseconds)) {
    }
    WorldAccess access;
    const bool again = game->isRunning() && screen.getChoice() == ResultsScreen::Choice::PlayAgain;
    screen.hide();
    result.setInteger(again ? 1 : 0);
}

void watchPlayer(HostStack& stack, PellixVariable& result, int argc) {
    (void)result;
    const int id = integerArgument(stack, argc, 1);
    WorldAccess access;
    if (Player* fighter = findFighter(id)) game->setMainPlayer(fighter);
}

void mapWidth(HostStack& stack, PellixVariable& result, int argc) {
    (void)stack, (void)argc;
    WorldAccess access;
    result.setInteger(game->getMapSystem().getWidth());
}

void groundTop(HostStack& stack, PellixVariable& result, int argc) {
    const int x = coordinateArgument(stack, argc, 1);
    WorldAccess access;
    // The top of the highest solid map piece over x; the map's bottom where there is none.
    int top = game->getMapSystem().getHeight();
    for (const Object* object : game->getObjectSystem().getObjects()) {
        if (!object->isCollidable() || dynamic_cast<const RealBody*>(object) || dynamic_cast<const PresentBox*>(object))
            continue;
        const long long left = object->getX(), right = left + object->getWidth();
        if (x >= left && x < right && object->getY() < top) top = object->getY();
    }
    result.setInteger(top);
}

void registerHostFunctions(PellixScript& script) {
    // In the order of hostFunctionNames, which the pellix tool registers too.
    static constexpr PellixHostFunction functions[] = {
        unlessStopping<print>,           unlessStopping<isNull>,          unlessStopping<message>,
        unlessStopping<command>,         unlessStopping<loadMap>,         unlessStopping<addPlayer>,
        unlessStopping<showObject>,      unlessStopping<setPlayerHealth>, unlessStopping<fadeIn>,
        unlessStopping<fadeOut>,         unlessStopping<delay>,           unlessStopping<endgame>,
        unlessStopping<addPlayerWeapon>, unlessStopping<switchWeapon>,    unlessStopping<playerDoAim>,
        unlessStopping<playerDoFire>,    unlessStopping<playerDoMove>,    unlessStopping<playerDoStop>,
        unlessStopping<say>,             unlessStopping<robotSay>,        unlessStopping<waitForPlayerAction>,
        unlessStopping<showRobot>,       unlessStopping<lockControl>,     unlessStopping<addPresent>,
        unlessStopping<addHiddenPresent>, unlessStopping<setPlayerAIMode>, unlessStopping<die>,
        unlessStopping<playerX>,         unlessStopping<playerY>,         unlessStopping<playerBullets>,
        unlessStopping<removePresent>,   unlessStopping<hangPresent>,     unlessStopping<showResults>,
        unlessStopping<setPlayerArmour>, unlessStopping<playerHealth>,    unlessStopping<setNight>,
        unlessStopping<addLight>,        unlessStopping<matchSetting>,    unlessStopping<teamColor>,
        unlessStopping<playerTeam>,      unlessStopping<playerKiller>,    unlessStopping<respawnPlayer>,
        unlessStopping<setTeamScore>,    unlessStopping<teamScore>,       unlessStopping<setCountdown>,
        unlessStopping<timeLeft>,        unlessStopping<showMatchResults>, unlessStopping<watchPlayer>,
        unlessStopping<mapWidth>,        unlessStopping<groundTop>,
    };
    static_assert(std::size(functions) == hostFunctionNames.size(), "one function per host name");
    for (size_t i = 0; i < hostFunctionNames.size(); ++i) script.addFunction(hostFunctionNames[i], functions[i]);
}

}  // namespace Torvane
