// The human player's controls: polling turns changes of keys and mouse into
// events, and the event handler carries them out on the main player.
#include <gtest/gtest.h>

#include <allegro.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/ClientNetwork.h"
#include "core/EventSystem.h"
#include "core/Game.h"
#include "core/GameLock.h"
#include "core/InputSystem.h"
#include "tests/fighters/TestWorld.h"
#include "weapons/Grenade.h"
#include "weapons/Gun.h"
#include "weapons/Pistol.h"

using Torvane::InputSystem;
using Torvane::Player;

namespace {

constexpr int groundTop = 500;
// A bubble ignores hide for its first 30 frames.
constexpr int dialogFrames = 30;

// Allegro's input state is plain globals that its input thread writes; headless
// tests write them instead.
void releaseEverything() {
    for (int i = 0; i < KEY_MAX; ++i) key[i] = 0;
    mouse_b = 0;
}

class InputEventTest : public testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        releaseEverything();
        mouse_x = 400;
        mouse_y = 300;
        Torvane::Game& game = TestWorld::game();
        game.getMapSystem().setClientWidth(800).setClientHeight(600);
        game.getMapSystem().moveClientTo(1000, 500);  // camera at (600, 200)
        hideDialog();
        game.unlockControl();
        TestWorld::addGround(0, groundTop, 2000, 50);
        fighter = TestWorld::addFighter("kr", 1000, groundTop - 60, makecol(200, 30, 30));
        TestWorld::settle(fighter);
        game.setMainPlayer(fighter);
        rifle = new Torvane::Gun(fighter);
        fighter->setWeapon(2, rifle);
        fighter->setEquipment(2);
        rifle->addBullets(60);
        // The first poll only notes where the mouse is.
        input.doInput();
        events().clear();
    }
    void TearDown() override {
        // Let go of everything through the events, so that no test leaves keys held for the next.
        releaseEverything();
        TestWorld::game().unlockControl();
        hideDialog();
        frame();
        events().clear();
        TestWorld::game().unlockControl();
        hideDialog();
        TestWorld::reset();
    }

    Torvane::EventSystem& events() { return TestWorld::game().getEventSystem(); }
    Torvane::Dialog& dialog() { return TestWorld::game().getDialog(); }
    // A bubble shown long enough ago that a click may close it.
    void showDialog() {
        dialog().show();
        for (int i = 0; i < dialogFrames; ++i) dialog().move();
    }
    void hideDialog() {
        for (int i = 0; i < dialogFrames; ++i) dialog().move();
        dialog().hide();
    }
    int cameraX() { return TestWorld::game().getMapSystem().getClientX(); }
    int cameraY() { return TestWorld::game().getMapSystem().getClientY(); }

    // One frame's share of input: poll, then handle (under the lock, as the main loop does).
    void frame() {
        input.doInput();
        Torvane::lockGame();
        events().handleEvents();
        Torvane::unlockGame();
    }

    std::vector<int> queuedActions() {
        std::vector<int> actions;
        for (const Event& e : events().getQueuedEvents()) actions.push_back(e.action);
        return actions;
    }

    InputSystem input;
    Player* fighter = nullptr;
    Torvane::Gun* rifle = nullptr;
};

std::string captured(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST_F(InputEventTest, OnlyChangesMakeEventsAndTheyCarryTheMainPlayersId) {
    key[KEY_D] = 1;
    input.doInput();
    input.doInput();
    input.doInput();
    std::vector<Event> queued = events().getQueuedEvents();
    ASSERT_EQ(queued.size(), 1u) << "a held key is one event";
    EXPECT_EQ(queued[0].action, ACTION_MOVE_RIGHT);
    EXPECT_TRUE(queued[0].pressed);
    EXPECT_EQ(queued[0].playerId, fighter->getPlayerId());
    EXPECT_EQ(queued[0].value, 0);
    key[KEY_D] = 0;
    input.doInput();
    input.doInput();
    queued = events().getQueuedEvents();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_FALSE(queued[1].pressed);
    events().clear();

    key[KEY_A] = 1;  // polled twice in one frame, still one event
    input.doInput();
    EXPECT_EQ(queuedActions(), std::vector<int>{ACTION_MOVE_LEFT});
    key[KEY_A] = 0;
    input.doInput();
    EXPECT_EQ(queuedActions().size(), 2u);
}

TEST_F(InputEventTest, OneFramesEventsQueueMouseFirstThenButtonsThenKeysInTableOrder) {
    mouse_x = 10;
    mouse_y = 20;
    mouse_b = 3;
    for (int k : {KEY_M, KEY_B, KEY_Q, KEY_4, KEY_3, KEY_2, KEY_1, KEY_LSHIFT, KEY_R, KEY_S, KEY_W, KEY_D, KEY_A}) {
        key[k] = 1;
    }
    input.doInput();
    std::vector<int> expected = {ACTION_AIM,     ACTION_FIRE,     ACTION_MOUSE_RIGHT, ACTION_MOVE_LEFT, ACTION_MOVE_RIGHT,
                                 ACTION_JUMP,    ACTION_KEY_S,    ACTION_RELOAD,      ACTION_KEY_SHIFT, ACTION_SELECT_1,
                                 ACTION_SELECT_2, ACTION_SELECT_3, ACTION_SELECT_4,   ACTION_KEY_Q,     ACTION_KEY_B,
                                 ACTION_KEY_M};
    EXPECT_EQ(queuedActions(), expected);
    std::vector<Event> queued = events().getQueuedEvents();
    EXPECT_EQ(queued[0].value, 10 * 65536 + 20) << "x in the upper 16 bits, y in the lower";
    EXPECT_FALSE(queued[0].pressed);
    for (size_t i = 1; i < queued.size(); ++i) EXPECT_TRUE(queued[i].pressed) << "event " << i;
}

TEST_F(InputEventTest, AimingAndClickingInOneFrameAimsFirstThenFiresAtTheNewPoint) {
    mouse_x = 700;
    mouse_y = 150;
    mouse_b = 1;
    frame();
    const int x = 700 + cameraX(), y = 150 + cameraY();
    EXPECT_EQ(TestWorld::game().getAimSystem().getX(), 700);
    EXPECT_EQ(TestWorld::game().getAimSystem().getY(), 150);
    EXPECT_TRUE(fighter->isFiring());
    EXPECT_EQ(fighter->getFireX(), x) << "fired at the old sight: the aim came second";
    EXPECT_EQ(fighter->getFireY(), y);
    int angle = rifle->getAngle();
    EXPECT_TRUE(angle > 192 && angle < 256) << "the rifle points up and right, at the new sight: " << angle;

    // A held trigger follows the mouse.
    mouse_x = 100;
    mouse_y = 500;
    frame();
    EXPECT_EQ(fighter->getFireX(), 100 + cameraX());
    EXPECT_EQ(fighter->getFireY(), 500 + cameraY());
    angle = rifle->getAngle();
    EXPECT_TRUE(angle > 64 && angle < 128) << "down and left: " << angle;

    mouse_b = 0;
    frame();
    EXPECT_FALSE(fighter->isFiring());
    // Aiming without the trigger turns the weapon but fires nothing.
    mouse_x = 420;
    frame();
    EXPECT_FALSE(fighter->isFiring());
    EXPECT_EQ(fighter->getFireX(), 100 + cameraX());
}

TEST_F(InputEventTest, WalkingAndJumpingFollowTheKeys) {
    key[KEY_D] = 1;
    frame();
    EXPECT_TRUE(fighter->isMovingRight());
    key[KEY_D] = 0;
    key[KEY_A] = 1;
    frame();
    EXPECT_FALSE(fighter->isMovingRight());
    EXPECT_TRUE(fighter->isMovingLeft());
    key[KEY_A] = 0;
    key[KEY_W] = 1;
    frame();
    EXPECT_FALSE(fighter->isMovingLeft());
    EXPECT_TRUE(fighter->isJumping());
    key[KEY_W] = 0;
    frame();
    EXPECT_FALSE(fighter->isJumping());
}

TEST_F(InputEventTest, ReloadOnPressAndOnReleaseButATapBetweenFramesIsMissed) {
    while (rifle->getBulletCurrent() == 0 || rifle->getTimer() > 0) rifle->move();
    key[KEY_R] = 1;
    key[KEY_R] = 0;  // down and up again before the next poll
    frame();
    EXPECT_FALSE(rifle->isReloading());
    EXPECT_EQ(rifle->getTimer(), 0);

    key[KEY_R] = 1;
    frame();
    EXPECT_TRUE(rifle->isReloading()) << "the press reloads";
    EXPECT_EQ(rifle->getTimer(), rifle->getReloadTime());
    while (rifle->isReloading()) rifle->move();
    frame();
    EXPECT_FALSE(rifle->isReloading()) << "holding R reloads once";
    key[KEY_R] = 0;
    frame();
    EXPECT_TRUE(rifle->isReloading()) << "the release reloads again";
    EXPECT_EQ(rifle->getTimer(), rifle->getReloadTime());

    // Empty hands have nothing to reload, and the empty slot is no weapon.
    while (rifle->isReloading()) rifle->move();
    fighter->setEquipment(0);
    key[KEY_R] = 1;
    frame();
    EXPECT_FALSE(rifle->isReloading());
}

TEST_F(InputEventTest, KeysOneToFourSelectSlotsTwoOneNoneAndGrenadeOnPressAndRelease) {
    fighter->setWeapon(1, new Torvane::Pistol(fighter));
    fighter->setWeapon(3, new Torvane::Grenade(fighter));
    struct Case {
        int key;
        int slot;
    };
    for (Case c : {Case{KEY_1, 2}, Case{KEY_2, 1}, Case{KEY_3, 0}, Case{KEY_4, 3}}) {
        fighter->setEquipment(c.slot == 1 ? 2 : 1);
        key[c.key] = 1;
        frame();
        EXPECT_EQ(fighter->getEquipment(), c.slot) << "pressing key " << c.key;
        fighter->setEquipment(c.slot == 1 ? 2 : 1);
        key[c.key] = 0;
        frame();
        EXPECT_EQ(fighter->getEquipment(), c.slot) << "releasing key " << c.key;
    }
}

TEST_F(InputEventTest, WhileADialogShowsAClickClosesItAndTheHeldKeysActAfterwards) {
    showDialog();
    int sightX = TestWorld::game().getAimSystem().getX();
    key[KEY_D] = 1;
    mouse_x = 650;
    frame();
    EXPECT_FALSE(fighter->isMovingRight());
    EXPECT_EQ(TestWorld::game().getAimSystem().getX(), sightX) << "the aim waits too";
    EXPECT_TRUE(dialog().isVisible());

    mouse_b = 1;
    frame();
    EXPECT_FALSE(dialog().isVisible()) << "the click closes the bubble";
    EXPECT_FALSE(fighter->isFiring()) << "and is not a shot, though the button is still down";
    EXPECT_TRUE(fighter->isMovingRight()) << "D, held through the bubble, is taken up when it goes";
    mouse_b = 0;
    frame();
    EXPECT_FALSE(fighter->isFiring());
    EXPECT_EQ(fighter->getFireX(), 0) << "the release of that click fires nothing";

    // Whoever speaks, the fighter stands still; let go meanwhile, he is not left walking afterwards.
    showDialog();
    frame();
    EXPECT_FALSE(fighter->isMovingRight()) << "a bubble stops the walk";
    key[KEY_D] = 0;
    frame();
    hideDialog();
    frame();
    EXPECT_FALSE(fighter->isMovingRight()) << "the release made during the bubble counts";

    // A click in a bubble's first frames cannot close it, but it is eaten all the same.
    dialog().show();
    mouse_b = 1;
    frame();
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_FALSE(fighter->isFiring());
    mouse_b = 0;
    frame();

    // A release arriving while a bubble shows closes it as well.
    mouse_b = 1;
    input.doInput();
    events().clear();
    showDialog();
    mouse_b = 0;
    frame();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_FALSE(fighter->isFiring());
}

TEST_F(InputEventTest, WithControlLockedPressesWaitAndTheHandsAreTakenUpAtTheUnlock) {
    Torvane::lockGame();
    TestWorld::game().lockControl();
    Torvane::unlockGame();
    key[KEY_D] = 1;
    key[KEY_A] = 1;
    frame();
    key[KEY_A] = 0;
    mouse_b = 1;
    frame();
    EXPECT_EQ(events().getEventCount(), 0u) << "dropped, not kept";
    EXPECT_FALSE(fighter->isMovingRight());
    EXPECT_FALSE(fighter->isFiring());
    TestWorld::game().unlockControl();
    frame();
    EXPECT_TRUE(fighter->isMovingRight()) << "D is still held when control comes back";
    EXPECT_FALSE(fighter->isMovingLeft()) << "A was pressed and let go during the lock";
    EXPECT_TRUE(fighter->isFiring());
    EXPECT_EQ(fighter->getFireX(), TestWorld::game().getAimSystem().getX() + cameraX());

    // Locked while held, released during the lock: nothing walks on afterwards.
    Torvane::lockGame();
    TestWorld::game().lockControl();
    Torvane::unlockGame();
    key[KEY_D] = 0;
    mouse_b = 0;
    frame();
    TestWorld::game().unlockControl();
    frame();
    EXPECT_FALSE(fighter->isMovingRight());
    EXPECT_FALSE(fighter->isFiring());
}

TEST_F(InputEventTest, AHitOrAPresentStopsTheFighterForItsFrameAndTheHeldControlsGoOn) {
    key[KEY_A] = 1;
    mouse_b = 1;
    frame();
    ASSERT_TRUE(fighter->isMovingLeft());
    ASSERT_TRUE(fighter->isFiring());
    fighter->hit(fighter->getCentralX(), fighter->getY() + fighter->getHeight() - 2, Vector(1, 0));
    EXPECT_FALSE(fighter->isMovingLeft()) << "the hit stops him for its frame";
    EXPECT_FALSE(fighter->isFiring());
    frame();
    EXPECT_TRUE(fighter->isMovingLeft()) << "the next frame the hands take over again";
    EXPECT_TRUE(fighter->isFiring());
    frame();
    EXPECT_TRUE(fighter->isMovingLeft());

    fighter->interrupt();  // what a present does to the one who takes it
    key[KEY_A] = 0;
    frame();
    EXPECT_FALSE(fighter->isMovingLeft()) << "let go meanwhile: he stays";
    EXPECT_TRUE(fighter->isFiring());

    // Letting go of a walk key ends the walk only: the trigger stays held.
    key[KEY_D] = 1;
    frame();
    key[KEY_D] = 0;
    frame();
    EXPECT_FALSE(fighter->isMovingRight());
    EXPECT_TRUE(fighter->isFiring());
}

TEST_F(InputEventTest, UnknownActionsAreNamedOnStandardOutput) {
    key[KEY_B] = 1;
    EXPECT_EQ(captured([this] { frame(); }), "Unknown action 13\n");
    key[KEY_B] = 0;
    EXPECT_EQ(captured([this] { frame(); }), "Unknown action 13\n") << "the release too";
    key[KEY_M] = 1;
    EXPECT_EQ(captured([this] { frame(); }), "Unknown action 14\n");
    events().addEvent(new Event{fighter->getPlayerId(), 99, true, 0});
    events().addEvent(new Event{fighter->getPlayerId(), -1, true, 0});
    EXPECT_EQ(captured([this] { events().handleEvents(); }), "Unknown action 99\nUnknown action -1\n");
    // The controls without a use say nothing.
    for (int k : {KEY_S, KEY_Q, KEY_LSHIFT}) key[k] = 1;
    mouse_b = 2;
    EXPECT_EQ(captured([this] { frame(); }), "");
}

TEST_F(InputEventTest, AnEventForAFighterThatIsGoneEndsTheFramesHandling) {
    events().addEvent(new Event{-424242, ACTION_JUMP, true, 0});
    events().addEvent(new Event{fighter->getPlayerId(), ACTION_MOVE_RIGHT, true, 0});
    events().handleEvents();
    EXPECT_FALSE(fighter->isMovingRight()) << "the event behind the stray one waits";
    EXPECT_EQ(events().getEventCount(), 1u);
    events().handleEvents();
    EXPECT_TRUE(fighter->isMovingRight());
    EXPECT_EQ(events().getEventCount(), 0u);
}

TEST_F(InputEventTest, WithoutAMainPlayerEventsAreDroppedAndAHeldKeyStaysSilent) {
    TestWorld::game().setMainPlayer(nullptr);
    Event* lost = new Event{0, ACTION_JUMP, true, 0};
    EXPECT_FALSE(TestWorld::game().getClientNetwork().sendEvent(lost));
    key[KEY_D] = 1;
    mouse_x = 123;
    input.doInput();
    EXPECT_EQ(events().getEventCount(), 0u);
    EXPECT_TRUE(input.isPressed(ACTION_MOVE_RIGHT)) << "the flag follows the key even when the event is dropped";

    TestWorld::game().setMainPlayer(fighter);
    input.doInput();
    EXPECT_EQ(events().getEventCount(), 0u) << "still held: no new press, and the mouse has not moved since";
    key[KEY_D] = 0;
    input.doInput();
    key[KEY_D] = 1;
    input.doInput();
    EXPECT_EQ(queuedActions(), (std::vector<int>{ACTION_MOVE_RIGHT, ACTION_MOVE_RIGHT}));
}

// The script thread loads maps, which destroy the main player, while the main
// thread polls input outside the game lock. Sending must never follow a pointer
// to a destroyed fighter (AddressSanitizer) nor read it unguarded (ThreadSanitizer).
TEST_F(InputEventTest, SendingEventsWhileTheScriptThreadReplacesTheMainPlayerIsSafe) {
    TestWorld::reset();
    std::atomic<bool> done{false};
    std::atomic<int> rounds{0};
    std::thread script([&] {
        Torvane::Game& game = TestWorld::game();
        for (int round = 0; round < 300; ++round) {
            Torvane::lockGame();
            Player* p = new Player();
            game.addPlayer(p);
            game.setMainPlayer(p);
            Torvane::unlockGame();
            std::this_thread::yield();
            Torvane::lockGame();
            game.getPlayers().clear();
            game.setMainPlayer(nullptr);
            game.getObjectSystem().cleanupObjects();
            Torvane::unlockGame();
            rounds.store(round + 1);
        }
        done.store(true);
    });
    int sent = 0;
    Torvane::ClientNetwork& network = TestWorld::game().getClientNetwork();
    while (!done.load()) {
        if (network.sendEvent(new Event{0, ACTION_JUMP, true, 0})) ++sent;
        if (events().getEventCount() > 1000) events().clear();
    }
    script.join();
    EXPECT_EQ(rounds.load(), 300);
    EXPECT_EQ(TestWorld::game().getMainPlayer(), nullptr);
    events().clear();
    RecordProperty("sent", sent);
}
