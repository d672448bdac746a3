#include "core/Game.h"

#include <allegro.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "core/GameLock.h"
#include "core/MapFile.h"
#include "core/NetSession.h"
#include "core/UserFiles.h"
#include "fighters/FrontSight.h"
#include "fighters/Player.h"
#include "fighters/TeamAIPlayer.h"
#include "hud/BigText.h"
#include "weapons/Weapon.h"
#include "hud/Robot.h"

namespace Torvane {

namespace {
Game* instance = nullptr;

// Set by Allegro's own thread when the window's close button is pressed; the
// main loop ends on it as on Escape.
std::atomic<bool> closeRequested{false};
void closeButtonPressed() { closeRequested.store(true); }

// Escape is remembered the moment it goes down: a frame that waits long for the
// world (a big map loading) would otherwise miss a short press.
std::atomic<bool> escapePressed{false};
void keyChanged(int scancode) {
    if (scancode == KEY_ESC) escapePressed.store(true);
}
}  // namespace

Game::Game(MissingSoundDriver whenNoSoundDriver) {
    if (allegro_init() != 0) {
        // No display: without a system driver Allegro crashes on the first query,
        // so fall back to the headless driver and let start() fail on the video mode.
        install_allegro(SYSTEM_NONE, &errno, atexit);
    } else {
        install_timer();
        set_close_button_callback(closeButtonPressed);
    }
    inputSystem.initialize();
    if (keyboard_driver) keyboard_lowlevel_callback = keyChanged;
    soundSystem.initialize(whenNoSoundDriver);
    instance = this;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    initializeLock();
    mainPlayer = nullptr;
    gameOver.store(false);
}

Game::~Game() {
    // The world's objects belong to the object system, which keeps them until told; the robot is the one
    // picture held by no member. Both go while this is still the instance their destructors may ask for.
    players.clear();
    mainPlayer = nullptr;
    objectSystem.cleanupObjects();
    delete robot;
    robot = nullptr;
    if (pausedLabel) destroy_bitmap(pausedLabel);
    destroyLock();
    if (instance == this) instance = nullptr;
}

Game* Game::getInstance() { return instance; }

void Game::addPlayer(Player* player) {
    objectSystem.addObject(player);
    players.push_back(player);
}

Player* Game::getPlayer(int playerId) {
    for (Player* player : players) {
        if (player->getPlayerId() == playerId) return player;
    }
    return nullptr;
}

void Game::lockControl() {
    controlEnabled.store(false);
    if (mainPlayer) mainPlayer->stopMoving();
}

void Game::loadMap(const char* path) {
    MapFile map;
    if (!path || !readMap(path, map)) return;
    applyMap(map);
}

bool Game::readMap(const char* path, MapFile& map) {
    if (!map.load(path)) {
        std::printf("%s; the world stays as it was.\n", map.getError().c_str());
        std::fflush(stdout);
        return false;
    }
    // A new level's pictures: the old map's stay alive with the objects that show them until those go.
    PictureCache& pictures = objectSystem.getPictures();
    pictures.clear();
    for (const MapPiece& piece : map.getPieces()) {
        std::string reason;
        pictures.get("image/object/" + piece.imageName, reason);
    }
    return true;
}

void Game::applyMap(const MapFile& map) {
    if (objectSystem.isIterating()) {
        // Destroying the world under one of its own walks would leave the walk on freed objects.
        allegro_message("You should not loadMap while iterating.");
        return;
    }
    players.clear();
    handsFighters.clear();
    dialog.hide();
    objectSystem.cleanupObjects();
    eventSystem.clear();
    mainPlayer = nullptr;
    if (map.hasSize()) {
        mapSystem.initialize(map.getWidth(), map.getHeight());
        blockSystem.initialize(map.getWidth(), map.getHeight());
    } else {
        // The old grid lists destroyed objects: it must go even when the new size is unreadable.
        blockSystem.initialize(mapSystem.getWidth(), mapSystem.getHeight());
    }
    if (map.hasBackground()) mapSystem.setBackgroundColor(map.getRed(), map.getGreen(), map.getBlue());
    for (const MapPiece& piece : map.getPieces()) {
        if (piece.kind != MapFile::SOLID && piece.kind != MapFile::DECORATION) continue;
        Object* o = new Object();
        o->setX(piece.x).setY(piece.y).setLayer(static_cast<MapLayer>(piece.layer));
        o->loadImage(("image/object/" + piece.imageName).c_str());
        o->setCollidable(piece.kind == MapFile::SOLID).show();
        objectSystem.addObject(o);
    }
    if (!map.isComplete()) {
        std::printf("%s; the rest of the map is not loaded.\n", map.getError().c_str());
        std::fflush(stdout);
    }
}

int Game::adaptDelay(int delay, int lastFramesPerSecond) {
    if (lastFramesPerSecond < targetFramesPerSecond) return delay > 0 ? delay - 1 : 0;
    return delay + 1;
}

bool Game::start(bool showMenu) {
    // Here rather than in the constructor, so that tools and tests never read the player's file.
    settings.load(Settings::defaultPath());
    inputSystem.useKeys(settings);
    soundSystem.setVolume(settings.getVolume());
    if (!screen.setVideoMode(800, 600, 32) && !screen.setVideoMode(640, 480, 32)) return false;
    if (settings.isFullScreen()) screen.setFullScreen(true);
    if (showMenu) {
        openMenu();
        for (;;) {
            if (closeRequested.load()) return true;
            const MenuSystem::Outcome outcome = runMenuFrame();
            if (outcome == MenuSystem::Outcome::Quit) return true;
            if (outcome == MenuSystem::Outcome::Chosen) break;
            rest(countFrame());
        }
        leaveMenu();
    }
    do {
        beginLevel();
        gameLoop();
        endLevel();
    } while (advanceLevel());
    return true;
}

void Game::applySettings() {
    inputSystem.useKeys(settings);
    soundSystem.setVolume(settings.getVolume());
    if (settings.isFullScreen() != screen.isFullScreen()) screen.setFullScreen(settings.isFullScreen());
    settings.setFullScreen(screen.isFullScreen());
    std::string error;
    if (!settings.save(Settings::defaultPath(), error)) {
        std::printf("Settings not saved: %s\n", error.c_str());
        std::fflush(stdout);
    }
}

void Game::toggleFullScreen() {
    screen.setFullScreen(!screen.isFullScreen());  // says itself when full screen cannot be had
    // Nothing changed (no window, say): nothing to keep.
    if (settings.isFullScreen() == screen.isFullScreen()) return;
    settings.setFullScreen(screen.isFullScreen());
    std::string error;
    if (!settings.save(Settings::defaultPath(), error)) {
        std::printf("Settings not saved: %s\n", error.c_str());
        std::fflush(stdout);
    }
}

void Game::openMenu() {
    const Progress none;
    menuSystem.open(levels, progress ? *progress : none, &settings);
    screen.fadeIn();
}

void Game::leaveMenu() {
    levelIndex = menuSystem.getChosenLevel();
    escapePressed.store(false);
    // The menu fades away while the level builds its world; the level fades itself in.
    screen.fadeOut();
}

MenuSystem::Outcome Game::runMenuFrame() {
    MenuSystem::Input input;
    input.up = key[KEY_UP] || key[KEY_W];
    input.down = key[KEY_DOWN] || key[KEY_S];
    input.enter = key[KEY_ENTER] || key[KEY_ENTER_PAD];
    input.escape = key[KEY_ESC] || escapePressed.exchange(false);
    input.click = (mouse_b & 1) != 0;
    input.left = key[KEY_LEFT] || key[KEY_A];
    input.right = key[KEY_RIGHT] || key[KEY_D];
    input.mouseX = mouse_x;
    input.mouseY = mouse_y;
    // A key that went down this frame, for the settings page to give to an action.
    for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
        const bool down = key[scancode] != 0;
        if (down && !menuKeysHeld[scancode] && !input.newKey) input.newKey = scancode;
        menuKeysHeld[scancode] = down;
    }
    const MenuSystem::Outcome outcome = menuSystem.frame(input, screen.getBufferPage());
    if (menuSystem.settingsChanged()) applySettings();
    screen.flip();
    return outcome;
}

bool Game::advanceLevel() {
    if (!nextLevelRequested.exchange(false) || !hasNextLevel() || closeRequested.load()) return false;
    ++levelIndex;
    // The last level's world goes before the next script builds its own.
    lockGame();
    players.clear();
    mainPlayer = nullptr;
    dialog.hide();
    objectSystem.cleanupObjects();
    eventSystem.clear();
    unlockGame();
    controlEnabled.store(true);
    setPaused(false);
    escapePressed.store(false);
    gameOver.store(false);
    return true;
}

void Game::recordWin() {
    if (!progress) return;
    Progress::Result result;
    result.frames = levelStats.getFrames();
    result.kills = levelStats.getKills();
    result.headshots = levelStats.getHeadshots();
    result.accuracy = levelStats.accuracyPercent();
    result.deaths = levelStats.getDeaths();
    progress->record(levels.at(levelIndex).script, result);
    std::string error;
    if (!progress->save(progressPath, error)) {
        std::printf("Progress not kept: %s\n", error.c_str());
        std::fflush(stdout);
    }
}

void Game::beginLevel() {
    mapSystem.setClientWidth(screen.getWidth()).setClientHeight(screen.getHeight());
    infoBar.initialize();
    infoBar.show();
    levelStats.reset();
    resultsScreen.hide();
    robot = new Robot();
    robot->setX(10).setY(150);
    matchState.reset();
    dueRespawns.reserve(MatchState::maxWaiting);
    scriptSystem.start("./" + (matchOn ? std::string(MatchSettings::rulesScript) : levels.at(levelIndex).script));
}

void Game::endLevel() {
    scriptSystem.stop();
    delete robot;
    robot = nullptr;
}

void Game::gameLoop() {
    secondStart = std::time(nullptr);
    while (!gameOver.load()) {
        // Escape and the window's close button are read here, not sent as events.
        if (key[KEY_ESC] || escapePressed.load() || closeRequested.load()) gameOver.store(true);
        runFrame();
        rest(countFrame());
    }
}

void Game::runFrame() {
    BITMAP* buffer = screen.getBufferPage();
    // Input becomes events before the world is locked; in a network match the hands come with the frame.
    if (!net) inputSystem.doInput();

    // P pauses and goes on; F3 shows or hides the debug lines. Both act on the press.
    const int pauseKey = settings.getKey(Settings::Action::Pause);
    // Nobody pauses a network match: the others' worlds would go on.
    if (key[pauseKey] && !pauseKeyHeld && !net) setPaused(!isPaused());
    if (key[KEY_F3] && !debugKeyHeld) debugLinesShown = !debugLinesShown;
    if (key[KEY_F11] && !fullScreenKeyHeld) toggleFullScreen();
    pauseKeyHeld = key[pauseKey];
    debugKeyHeld = key[KEY_F3];
    fullScreenKeyHeld = key[KEY_F11];
    // A choice made on one machine alone would split the match: there Escape is the only way on.
    if (!net) resultsScreen.readInput(key[KEY_ENTER] || key[KEY_ENTER_PAD], (mouse_b & 1) != 0, key[KEY_R]);

    lockGame();
    // The world's step: the player's events, then every object moves and collides. A paused world
    // stands still; the events are only noted, so that the hands are taken up when it goes on.
    if (!net) eventSystem.handleEvents();
    // Behind the results the world stands still: the level is over.
    const bool still = isPaused() || resultsScreen.isVisible();
    if (!still) {
        objectSystem.moveObjects();
        if (matchOn) respawnDue();
        aimSystem.move();
        levelStats.frame();
    }
    // Drawing, back to front: map, objects, the night, heads-up panel, robot, bubble, reticle.
    mapSystem.draw(buffer);
    objectSystem.drawObjects(buffer, mapSystem.getClientX(), mapSystem.getClientY());
    nightShade.draw(buffer, mapSystem.getClientX(), mapSystem.getClientY(), mainPlayer, objectSystem);
    infoBar.draw(buffer);
    if (matchOn) {
        scoreboard.drawScoreLine(buffer, matchState, clock.getFrames());
        if (key[KEY_TAB] && !resultsScreen.isVisible()) {
            Scoreboard::rowsOf(players, mainPlayer, tableRows);
            Scoreboard::drawTable(buffer, tableRows, 110);
        }
    }
    if (robot && robot->isVisible()) robot->draw(buffer, 0, 0);
    if (!isPaused()) dialog.move();
    dialog.draw(buffer, mapSystem.getClientX(), mapSystem.getClientY());
    if (!dialog.isVisible()) aimSystem.draw(buffer);
    resultsScreen.draw(buffer);
    if (isPaused()) drawPaused(buffer);
    // The dead leave after the frame; the view follows the main player.
    objectSystem.removeDeadObjects();
    if (mainPlayer) mapSystem.moveClientTo(mainPlayer->getCentralX(), mainPlayer->getCentralY());
    const int objectCount = objectSystem.getObjectCount();
    if (debugLinesShown && !resultsScreen.isVisible()) drawDebugLines(buffer, objectCount);
    unlockGame();

    screen.flip();
    if (!isPaused()) clock.advanceFrame();
}

void Game::respawnDue() {
    matchState.takeDue(clock.getFrames(), dueRespawns);
    for (const MatchState::Respawn& due : dueRespawns) {
        Player* fighter = dynamic_cast<Player*>(objectSystem.getObjectById(due.id));
        // Gone with a new map, or brought back by the script already: nothing to do.
        if (!fighter || fighter->isAlive()) continue;
        fighter->respawn(due.x, due.y);
        scriptSystem.raise("OnRespawn", due.id, due.x, due.y);
    }
    if (matchState.takeTimeUp(clock.getFrames()))
        scriptSystem.raise("OnTimeUp", matchState.getScore(MatchState::kr), matchState.getScore(MatchState::kt), 0);
}

int Game::countFrame() {
    framesThisSecond += 1;
    if (std::time(nullptr) - secondStart > 0) {
        lastFramesPerSecond = framesThisSecond;
        framesThisSecond = 0;
        secondStart = std::time(nullptr);
        frameDelay = adaptDelay(frameDelay, lastFramesPerSecond);
    }
    return frameDelay;
}

void Game::setPaused(bool on) {
    if (paused.exchange(on) == on) return;
    clock.setPaused(on);
    // A paused world is silent; the short effects are not resumed, the next shots make sound again.
    if (on) soundSystem.stopAll();
}

void Game::drawPaused(BITMAP* buffer) {
    const char* text = "Paused";
    const int scale = 4;
    const int width = text_length(font, text), height = text_height(font);
    // Drawn once at the font's size, then shown four times as large every paused frame.
    if (!pausedLabel && (pausedLabel = create_bitmap(width, height))) {
        clear_to_color(pausedLabel, makecol(255, 0, 255));
        textout_ex(pausedLabel, font, text, 0, 0, makecol(255, 255, 255), -1);
    }
    if (!pausedLabel) return;
    const int left = (buffer->w - width * scale) / 2, top = (buffer->h - height * scale) / 2;
    rectfill(buffer, left - 16, top - 12, left + width * scale + 15, top + height * scale + 11, makecol(0, 0, 0));
    masked_stretch_blit(pausedLabel, buffer, 0, 0, width, height, left, top, width * scale, height * scale);
}

// Called under the game lock: it reads the main player.
void Game::drawDebugLines(BITMAP* buffer, int objectCount) {
    const int white = makecol(255, 255, 255);
    textprintf_ex(buffer, font, 20, 0, white, -1, "FPS: %d  Objects: %d", lastFramesPerSecond, objectCount);
    if (mainPlayer) {
        textprintf_ex(buffer, font, 200, 0, white, -1, "Kills: %d  Headshots: %d  X: %d  Y: %d",
                      mainPlayer->getKills(), mainPlayer->getHeadshots(), mainPlayer->getCentralX(),
                      mainPlayer->getCentralY());
    }
}

}  // namespace Torvane

namespace Torvane {

namespace {

uint64_t mix(uint64_t hash, long long value) {
    for (int i = 0; i < 8; ++i) hash = (hash ^ static_cast<uint64_t>((value >> (8 * i)) & 0xFF)) * 1099511628211ULL;
    return hash;
}

// The hands held are the fighter's state, not presses: a fighter back on his feet walks on as they hold.
void applyHands(Player& fighter, const NetInput& now, const NetInput& before) {
    const auto held = [&](uint16_t button) { return (now.buttons & button) != 0; };
    const auto pressed = [&](uint16_t button) { return held(button) && !(before.buttons & button); };
    if (fighter.isMovingLeft() != held(NetInput::Left)) fighter.moveLeft(held(NetInput::Left));
    if (fighter.isMovingRight() != held(NetInput::Right)) fighter.moveRight(held(NetInput::Right));
    fighter.jump(held(NetInput::Jump));
    if (pressed(NetInput::Rifle)) fighter.setEquipment(2);
    if (pressed(NetInput::Pistol)) fighter.setEquipment(1);
    if (pressed(NetInput::Hands)) fighter.setEquipment(0);
    if (pressed(NetInput::Grenade)) fighter.setEquipment(3);
    // On press and release alike, as the keyboard's reload.
    if ((now.buttons ^ before.buttons) & NetInput::Reload) {
        if (Weapon* weapon = fighter.getCurrentWeapon()) weapon->reload();
    }
    fighter.aim(now.aimX, now.aimY);
    if (held(NetInput::Fire)) fighter.fire(now.aimX, now.aimY);
    else fighter.holdFire();
}

}  // namespace

void Game::addHandsFighter(TeamAIPlayer* fighter) {
    fighter->setHands(true);
    if (handsFighters.size() < NetMessage::maxPlayers) handsFighters.push_back(fighter);
    if (net && static_cast<int>(handsFighters.size()) - 1 == net->getSlot()) mainPlayer = fighter;
}

NetInput Game::readLocalHands() {
    NetInput hands;
    using Action = Settings::Action;
    const std::pair<Action, uint16_t> keys[] = {
        {Action::WalkLeft, NetInput::Left},   {Action::WalkRight, NetInput::Right}, {Action::Jump, NetInput::Jump},
        {Action::Reload, NetInput::Reload},   {Action::Rifle, NetInput::Rifle},     {Action::Pistol, NetInput::Pistol},
        {Action::Hands, NetInput::Hands},     {Action::Grenade, NetInput::Grenade},
    };
    for (const auto& k : keys)
        if (key[settings.getKey(k.first)]) hands.buttons |= k.second;
    if (mouse_b & 1) hands.buttons |= NetInput::Fire;
    // The sight goes where the mouse went, as the mouse's own events would take it.
    const int x = mouse_x, y = mouse_y;
    if (x != lastMouseX || y != lastMouseY) {
        aimSystem.setX(x);
        aimSystem.setY(y);
        lastMouseX = x, lastMouseY = y;
    }
    const long long limit = NetMessage::maxCoordinate;
    hands.aimX = static_cast<int32_t>(std::clamp<long long>(static_cast<long long>(aimSystem.getX()) + mapSystem.getClientX(), -limit, limit));
    hands.aimY = static_cast<int32_t>(std::clamp<long long>(static_cast<long long>(aimSystem.getY()) + mapSystem.getClientY(), -limit, limit));
    return hands;
}

void Game::applyNetFrame(const NetMessage& frame) {
    for (const NetMessage::OrderAt& order : frame.orders) {
        if (order.order != NetMessage::Order::HandOver || order.slot >= handsFighters.size()) continue;
        handsFighters[order.slot]->setHands(false);
        // At the same frame on every machine: the script may say so, and traces show it.
        scriptSystem.raise("OnHandOver", order.slot + 1, handsFighters[order.slot]->getId(), 0);
    }
    const size_t places = std::min(handsFighters.size(), frame.inputs.size());
    for (size_t place = 0; place < places; ++place) {
        TeamAIPlayer* fighter = handsFighters[place];
        if (!fighter->hasHands() || !frame.present[place]) continue;
        applyHands(*fighter, frame.inputs[place], lastHands[place]);
        lastHands[place] = frame.inputs[place];
    }
}

uint64_t Game::worldHash() const {
    uint64_t hash = 1469598103934665603ULL;
    for (const Player* fighter : players) {
        hash = mix(hash, fighter->getId());
        hash = mix(hash, fighter->getX());
        hash = mix(hash, fighter->getY());
        hash = mix(hash, fighter->getHealth());
        hash = mix(hash, fighter->getKills());
        hash = mix(hash, fighter->getDeaths());
        hash = mix(hash, fighter->getEquipment());
        for (int slot = 1; slot < Player::slotCount; ++slot)
            if (const Weapon* weapon = fighter->getWeapon(slot)) hash = mix(hash, weapon->getBulletTotal());
    }
    hash = mix(hash, objectSystem.getObjectCount());
    hash = mix(hash, matchState.getScore(MatchState::kr));
    hash = mix(hash, matchState.getScore(MatchState::kt));
    return mix(hash, clock.getFrames());
}

bool Game::runNetworkFrame() {
    if (!net->frameReady()) return false;
    net->submitHands(readLocalHands());
    lockGame();
    applyNetFrame(net->nextFrameMessage());
    unlockGame();
    runFrame();
    // Compared once a second: the world is walked only for those frames.
    uint64_t hash = 0;
    if ((net->getFrame() + 1) % NetSession::hashInterval == 0) {
        lockGame();
        hash = worldHash();
        unlockGame();
    }
    net->finishFrame(hash);
    return true;
}

void Game::takeNetNews() {
    for (const std::string& line : net->takeNews()) {
        std::printf("%s\n", line.c_str());
        lobbyLines.push_back(line);
        if (lobbyLines.size() > 12) lobbyLines.erase(lobbyLines.begin());
    }
    std::fflush(stdout);
}

void Game::reportNetworkEnd() {
    const std::string& reason = net->getEndReason();
    if (reason.empty()) return;
    std::printf("%s\n", reason.c_str());
    if (reason.compare(0, 6, "desync") == 0) {
        // Every machine keeps the hands it ran: replayed side by side, the first difference shows the cause.
        const std::string path = UserFiles::directory(UserFiles::Kind::State) + "/desync-frame" +
                                 std::to_string(net->getFrame()) + "-player" + std::to_string(net->getSlot() + 1) + ".txt";
        std::string error;
        if (UserFiles::writeSafely(path, "# " + reason + "\n" + net->getLog(), error)) std::printf("The match's hands are in %s\n", path.c_str());
        else std::printf("The match's hands could not be kept: %s\n", error.c_str());
    }
    std::fflush(stdout);
}

bool Game::startNetwork() {
    settings.load(Settings::defaultPath());
    inputSystem.useKeys(settings);
    soundSystem.setVolume(settings.getVolume());
    if (!screen.setVideoMode(800, 600, 32) && !screen.setVideoMode(640, 480, 32)) return false;
    if (settings.isFullScreen()) screen.setFullScreen(true);
    screen.fadeIn();
    while (net->getState() == NetSession::State::Lobby) {
        if (key[KEY_ESC] || escapePressed.exchange(false) || closeRequested.load()) {
            net->leave();
            return true;
        }
        net->pump(key[KEY_ENTER] || key[KEY_ENTER_PAD]);
        takeNetNews();
        drawLobby();
        rest(15);
    }
    if (net->getState() == NetSession::State::Running) {
        // The lobby fades away while the battle builds its world; the battle fades itself in.
        screen.fadeOut();
        prepareNetworkMatch();
        beginLevel();
        secondStart = std::time(nullptr);
        while (!gameOver.load() && !key[KEY_ESC] && !escapePressed.load() && !closeRequested.load()) {
            net->pump();
            takeNetNews();
            if (net->getState() != NetSession::State::Running) break;
            if (!lockstep.beforeFrame([this] { net->pump(); })) break;
            if (!runNetworkFrame()) {
                rest(1);
                continue;
            }
            lockstep.afterFrame();
            // The host keeps the pace; a joiner behind it runs the frames waiting without a pause.
            const int pause = countFrame();
            if (net->isHost() || net->framesWaiting() <= net->getDelay()) rest(pause);
        }
        endGame();
        endLevel();
    }
    reportNetworkEnd();
    net->leave();
    return true;
}

void Game::prepareNetworkMatch() {
    const NetSession::Match& opened = net->getMatch();
    MatchSettings settings;
    settings.take("--match", opened.map);
    settings.take("--team-size", std::to_string(opened.teamSize));
    settings.take("--score", std::to_string(opened.score));
    settings.take("--minutes", std::to_string(opened.minutes));
    setMatch(settings);
    // Every machine's world draws the same numbers from the host's seed, counts frames, and runs
    // the script in step with them; only the sight shakes on its own.
    std::srand(opened.seed);
    clock.useFrameTime();
    lockstep.enable();
    aimSystem.getFrontSight().useOwnDice(true);
    showDebugLines(false);
}

void Game::drawLobby() {
    BITMAP* buffer = screen.getBufferPage();
    clear_to_color(buffer, makecol(20, 26, 44));
    const int centre = buffer->w / 2;
    BigText::draw(buffer, "KR v.s. KT", 4, centre, 60, makecol(240, 200, 90));
    const std::string joined = "Players: " + std::to_string(net->getJoined()) + " of " +
                               std::to_string(net->getMatch().players);
    BigText::draw(buffer, net->isHost() ? joined : "Waiting for the host", 2, centre, 160, makecol(236, 236, 228));
    int top = 230;
    for (const std::string& line : lobbyLines) {
        textout_centre_ex(buffer, font, line.c_str(), centre, top, makecol(180, 190, 210), -1);
        top += 14;
    }
    if (net->isHost())
        BigText::draw(buffer, "Enter: start now", 2, centre, buffer->h - 110, makecol(236, 236, 228));
    BigText::draw(buffer, "Escape: leave", 2, centre, buffer->h - 74, makecol(150, 160, 180));
    screen.flip();
}

}  // namespace Torvane
