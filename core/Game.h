#pragma once

#include <atomic>
#include <ctime>
#include <vector>

#include "core/AllegroShutdown.h"
#include "core/ClientNetwork.h"
#include "core/EventSystem.h"
#include "core/GameClock.h"
#include "core/GameObserver.h"
#include "core/InputSystem.h"
#include "core/LevelStats.h"
#include "core/MapFile.h"
#include "core/Lockstep.h"
#include "core/MapSystem.h"
#include "core/MatchState.h"
#include "core/MenuSystem.h"
#include "core/NetPacket.h"
#include "core/Progress.h"
#include "core/Screen.h"
#include "core/ServerNetwork.h"
#include "core/Settings.h"
#include "fighters/AISystem.h"
#include "fighters/AimSystem.h"
#include "hud/Dialog.h"
#include "hud/InfoBar.h"
#include "hud/ResultsScreen.h"
#include "hud/Scoreboard.h"
#include "level/LevelList.h"
#include "level/MatchSettings.h"
#include "level/ScriptSystem.h"
#include "sound/SoundSystem.h"
#include "world/BlockSystem.h"
#include "world/NightShade.h"
#include "world/ObjectSystem.h"

namespace Torvane {

class NetSession;
class Player;
class Robot;
class TeamAIPlayer;

// The one game: owns every subsystem, starts up and runs the main loop.
class Game {
public:
    static constexpr int targetFramesPerSecond = 66;

    // The programs say how a missing sound driver is met; tools and tests take the stricter way.
    explicit Game(MissingSoundDriver whenNoSoundDriver = MissingSoundDriver::StopSoundSetup);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    ~Game();

    static Game* getInstance();

    // The level select first when asked (the player has finished a level), then the levels
    // one after another as long as the results screen's "next level" is chosen.
    bool start(bool showMenu = false);
    void gameLoop();
    // What start does around the main loop: set up the heads-up display, the robot
    // and the script thread, and afterwards stop the thread and free the robot.
    // The level runner calls them around frames of its own.
    void beginLevel();
    void endLevel();
    // One frame: input, the world's step, drawing, the flip.
    void runFrame();
    // The level select on the player's progress; its frames (input, drawing, the flip) until a
    // level is chosen; then the chosen level is the one to begin.
    void openMenu();
    MenuSystem::Outcome runMenuFrame();
    void leaveMenu();

    // The campaign and the level in play (from 0).
    void setLevels(const LevelList& list) { levels = list; }
    const LevelList& getLevels() const { return levels; }
    void setLevelIndex(int index) { levelIndex = index; }
    int getLevelIndex() const { return levelIndex; }
    bool hasNextLevel() const { return !matchOn && levelIndex + 1 < levels.size(); }
    // A team battle instead of the campaign: the rules script plays on the settings' map.
    void setMatch(const MatchSettings& settings) { matchSettings = settings, matchOn = true; }
    bool isMatch() const { return matchOn; }
    const MatchSettings& getMatchSettings() const { return matchSettings; }
    // Scores, clock and fallen fighters of the battle; under the game lock.
    MatchState& getMatchState() { return matchState; }

    // A network match: this machine's part in it, and the fighters the players' hands drive,
    // by place (the first is the host's). Everything else of the world is the same on every machine.
    void useNetwork(NetSession* session) { net = session; }
    NetSession* getNetwork() { return net; }
    bool isNetworked() const { return net != nullptr; }
    // Script thread, under the game lock: the fighter of the next place; the view and the panel
    // follow the one of this machine's place.
    void addHandsFighter(TeamAIPlayer* fighter);
    int getHandsCount() const { return static_cast<int>(handsFighters.size()); }
    // Main thread: this machine's hands now, the sight's point on the map.
    NetInput readLocalHands();
    // Under the game lock: every player's hands and the host's orders of one frame.
    void applyNetFrame(const NetMessage& frame);
    // Under the game lock: a fingerprint of what the simulation holds (fighters, objects, scores, clock).
    uint64_t worldHash() const;
    // The lobby, then the match's frames as they come in, until it ends or the player leaves.
    bool startNetwork();
    // One frame of a network match if its hands are in: false (nothing run) while they are not.
    bool runNetworkFrame();
    // The match the session opened becomes this game's: its settings, seed, frame clock and lockstep.
    void prepareNetworkMatch();
    // The match ended on this machine: why, and for a desync the hands it ran, kept in
    // $XDG_STATE_HOME/torvane/ for a bug report.
    void reportNetworkEnd();
    // Results screen, script thread: the player goes on; the level ends, and start or the
    // level runner begins the next one (advanceLevel).
    void requestNextLevel() { nextLevelRequested.store(true); }
    // Between levels: true, with the world emptied and the next level chosen, when one was asked for.
    bool advanceLevel();
    // Where won levels are recorded; none (tools and tests) records nothing.
    void useProgress(Progress* kept, const std::string& path) { progress = kept, progressPath = path; }
    Progress* getProgress() { return progress; }
    // Script thread, under the game lock: the level in play was won with these results.
    void recordWin();

    Screen& getScreen() { return screen; }
    InputSystem& getInputSystem() { return inputSystem; }
    MapSystem& getMapSystem() { return mapSystem; }
    EventSystem& getEventSystem() { return eventSystem; }
    ClientNetwork& getClientNetwork() { return clientNetwork; }
    ServerNetwork& getServerNetwork() { return serverNetwork; }
    ObjectSystem& getObjectSystem() { return objectSystem; }
    SoundSystem& getSoundSystem() { return soundSystem; }
    AISystem& getAISystem() { return aiSystem; }
    MenuSystem& getMenuSystem() { return menuSystem; }
    BlockSystem& getBlockSystem() { return blockSystem; }
    AimSystem& getAimSystem() { return aimSystem; }
    ScriptSystem& getScriptSystem() { return scriptSystem; }
    InfoBar& getInfoBar() { return infoBar; }
    Dialog& getDialog() { return dialog; }
    // What the player did in this level; counted under the game lock.
    LevelStats& getLevelStats() { return levelStats; }
    ResultsScreen& getResultsScreen() { return resultsScreen; }
    NightShade& getNightShade() { return nightShade; }
    Settings& getSettings() { return settings; }
    std::vector<Player*>& getPlayers() { return players; }
    Robot* getRobot() { return robot; }
    Player* getMainPlayer() { return mainPlayer; }

    void setMainPlayer(Player* player) { mainPlayer = player; }
    void addPlayer(Player* player);
    Player* getPlayer(int playerId);
    // Reads the map and its pictures, then builds the world from it. A script does the first part
    // without the game lock (readMap) and takes the lock only to build (applyMap).
    void loadMap(const char* path);
    bool readMap(const char* path, MapFile& map);
    void applyMap(const MapFile& map);

    bool isRunning() const { return !gameOver.load(); }
    void endGame() {
        GameObserver* watching = observer.load();
        if (!gameOver.exchange(true) && watching) watching->gameEnded();
    }

    GameClock& getClock() { return clock; }
    Lockstep& getLockstep() { return lockstep; }
    GameObserver* getObserver() { return observer.load(); }
    void setObserver(GameObserver* o) { observer.store(o); }

    // A paused world stands still: objects, bubbles, the script's waits, the clock and the sounds.
    bool isPaused() const { return paused.load(); }
    void setPaused(bool on);
    // The two lines of frame rate and position at the top of the screen; F3 shows or hides them.
    void showDebugLines(bool on) { debugLinesShown = on; }
    bool areDebugLinesShown() const { return debugLinesShown; }

    void lockControl();
    void unlockControl() { controlEnabled.store(true); }
    bool canControl() const { return controlEnabled.load(); }

    // The frame delay creeps 1 ms per second toward the delay that gives the target
    // rate: shorter after a slow second, longer after a fast one, never below 0.
    static int adaptDelay(int delay, int lastFramesPerSecond);

private:
    // First, so destroyed last: Allegro closes after every member has freed its bitmaps.
    AllegroShutdown allegroShutdown;
    Screen screen;
    InputSystem inputSystem;
    MapSystem mapSystem;
    EventSystem eventSystem;
    ClientNetwork clientNetwork;
    ServerNetwork serverNetwork;
    ObjectSystem objectSystem;
    SoundSystem soundSystem;
    AISystem aiSystem;
    MenuSystem menuSystem;
    BlockSystem blockSystem;
    AimSystem aimSystem;
    ScriptSystem scriptSystem;
    InfoBar infoBar;
    std::vector<Player*> players;
    Player* mainPlayer = nullptr;
    // Written and read from both threads.
    std::atomic<bool> gameOver{false};
    Dialog dialog;
    LevelStats levelStats;
    ResultsScreen resultsScreen;
    NightShade nightShade;
    Robot* robot = nullptr;
    LevelList levels;
    int levelIndex = 0;
    MatchSettings matchSettings;
    bool matchOn = false;
    MatchState matchState;
    Scoreboard scoreboard;
    std::vector<MatchState::Respawn> dueRespawns;  // room kept between frames
    NetSession* net = nullptr;
    std::vector<TeamAIPlayer*> handsFighters;
    NetInput lastHands[NetMessage::maxPlayers] = {};
    int lastMouseX = -1, lastMouseY = -1;
    std::vector<std::string> lobbyLines;  // who came and went, for the lobby's screen
    void drawLobby();
    // The session's news printed and kept for the lobby.
    void takeNetNews();
    std::vector<Scoreboard::Row> tableRows;        // the same
    // The fallen whose time has come stand up again, and the script hears of each.
    void respawnDue();
    std::atomic<bool> nextLevelRequested{false};
    Progress* progress = nullptr;
    std::string progressPath;
    // True so that a level whose script never locks the controls is playable.
    std::atomic<bool> controlEnabled{true};
    GameClock clock;
    Lockstep lockstep;
    // Set and cleared by the level runner while the script thread may be printing.
    std::atomic<GameObserver*> observer{nullptr};

    // The frame rate shown in the debug line, and the pause after each frame that
    // steers it toward the target.
    int countFrame();
    void drawDebugLines(BITMAP* buffer, int objectCount);
    void drawPaused(BITMAP* buffer);
    // F11: the window or the whole screen, kept in the settings.
    void toggleFullScreen();
    // The settings page changed them: into the input, the sound and the screen, and kept.
    void applySettings();
    bool menuKeysHeld[KEY_MAX] = {};
    BITMAP* pausedLabel = nullptr;  // made at the first pause, after the video mode
    std::atomic<bool> paused{false};  // read by the script thread's waits
    bool pauseKeyHeld = false;
    bool debugKeyHeld = false;
    bool fullScreenKeyHeld = false;
    Settings settings;
    bool debugLinesShown = true;
    std::time_t secondStart = 0;
    int framesThisSecond = 0;
    int lastFramesPerSecond = 0;
    int frameDelay = 10;  // milliseconds
};

}  // namespace Torvane
