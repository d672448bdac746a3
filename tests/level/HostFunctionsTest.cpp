#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <thread>

#include "core/GameLock.h"
#include "fighters/AIPlayer.h"
#include "level/HostFunctions.h"
#include "level/PresentBox.h"
#include "level/ScriptSystem.h"
#include "tests/fighters/TestWorld.h"
#include "weapons/Weapon.h"

using namespace Torvane;

namespace {

PellixVariable integer(int value) {
    PellixVariable v;
    v.setInteger(value);
    return v;
}

PellixVariable text(const std::string& value) {
    PellixVariable v;
    v.setString(value);
    return v;
}

// Calls a host function as the engine does, with a value of the caller's below the
// arguments that a function reading too deep would take for one of its own.
PellixVariable call(PellixHostFunction function, std::initializer_list<PellixVariable> arguments) {
    HostStack stack;
    stack.push_back(integer(777));
    for (const PellixVariable& argument : arguments) stack.push_back(argument);
    PellixVariable result;
    function(stack, result, static_cast<int>(arguments.size()));
    EXPECT_EQ(stack.size(), arguments.size() + 1) << "a host function must leave the stack as it found it";
    EXPECT_EQ(stack[0].getInteger(), 777);
    return result;
}

int addFighter(bool computer, int color, int x, int y) {
    return call(addPlayer, {integer(computer), integer(color), text("kt"), text("name"), integer(x), integer(y)})
        .getInteger();
}

Player* fighter(int id) { return dynamic_cast<Player*>(TestWorld::game().getObjectSystem().getObjectById(id)); }

class HostFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        Torvane::game = &TestWorld::game();
        TestWorld::addGround(0, 800, 2000, 200);
        TestWorld::game().getMapSystem().setClientWidth(800).setClientHeight(600);
    }
};

}  // namespace

TEST_F(HostFunctions, AddPlayerPlacesColoursAndTheLatestHumanIsTheMainPlayer) {
    const int first = addFighter(false, makecol(0, 0, 255), 100, 700);
    const int second = addFighter(false, makecol(0, 255, 0), 300, 700);
    const int computer = addFighter(true, makecol(255, 0, 0), 500, 650);
    ASSERT_NE(fighter(first), nullptr);
    ASSERT_NE(fighter(computer), nullptr);
    EXPECT_EQ(TestWorld::game().getMainPlayer(), fighter(second));
    EXPECT_NE(dynamic_cast<AIPlayer*>(fighter(computer)), nullptr);
    EXPECT_EQ(dynamic_cast<AIPlayer*>(fighter(first)), nullptr);
    EXPECT_EQ(fighter(computer)->getX(), 500);
    EXPECT_EQ(fighter(computer)->getY(), 650);
    EXPECT_EQ(fighter(computer)->getColor(), makecol(255, 0, 0));
    EXPECT_EQ(TestWorld::game().getPlayers().size(), 3u);
    // Fighters join the world hidden: a level shows each when its entrance is ready.
    EXPECT_FALSE(fighter(first)->isVisible());
    call(showObject, {integer(first)});
    EXPECT_TRUE(fighter(first)->isVisible());
}

TEST_F(HostFunctions, ArgumentOrdersOfTheFighterCommands) {
    const int id = addFighter(false, 1, 100, 700);
    call(addPlayerWeapon, {integer(id), integer(2), integer(30)});
    call(switchWeapon, {integer(id), integer(2)});
    EXPECT_EQ(fighter(id)->getEquipment(), 2);

    // y comes before x in playerDoAim: the weapon turns as aim(300, 50) turns it.
    const int twin = addFighter(false, 1, 100, 700);
    call(addPlayerWeapon, {integer(twin), integer(2), integer(30)});
    call(switchWeapon, {integer(twin), integer(2)});
    call(playerDoAim, {integer(id), integer(50), integer(300)});
    fighter(twin)->aim(300, 50);
    EXPECT_EQ(fighter(id)->getCurrentWeapon()->getAngle(), fighter(twin)->getCurrentWeapon()->getAngle());
    fighter(twin)->aim(50, 300);
    EXPECT_NE(fighter(id)->getCurrentWeapon()->getAngle(), fighter(twin)->getCurrentWeapon()->getAngle());

    call(playerDoMove, {integer(id), integer(900), integer(12)});
    EXPECT_TRUE(fighter(id)->isPlayerActionOn());
    EXPECT_EQ(fighter(id)->getPlayerAction().type, 1);
    EXPECT_EQ(fighter(id)->getPlayerAction().x, 900);
    EXPECT_EQ(fighter(id)->getPlayerAction().y, 12);
    call(playerDoStop, {integer(id)});
    EXPECT_FALSE(fighter(id)->isPlayerActionOn());

    call(setPlayerHealth, {integer(id), integer(-5)});
    EXPECT_EQ(fighter(id)->getHealth(), -5);

    // Fire at an empty clip reloads; once loaded, one call is one shot.
    Weapon* rifle = fighter(id)->getCurrentWeapon();
    call(setPlayerHealth, {integer(id), integer(100)});
    call(playerDoFire, {integer(id), integer(1000), integer(720)});
    EXPECT_TRUE(rifle->isReloading());
    while (rifle->isReloading()) rifle->move();
    const int before = rifle->getBulletTotal();
    call(playerDoFire, {integer(id), integer(1000), integer(720)});
    EXPECT_EQ(rifle->getBulletTotal(), before - 1);
}

TEST_F(HostFunctions, WeaponsAddUpInOneSlotAndUnknownKindsChangeNothing) {
    const int id = addFighter(false, 1, 100, 700);
    call(addPlayerWeapon, {integer(id), integer(1), integer(12)});
    Weapon* pistol = fighter(id)->getWeapon(1);
    ASSERT_NE(pistol, nullptr);
    call(addPlayerWeapon, {integer(id), integer(1), integer(8)});
    EXPECT_EQ(fighter(id)->getWeapon(1), pistol) << "an existing weapon is never replaced";
    EXPECT_EQ(pistol->getBulletTotal(), 20);
    call(addPlayerWeapon, {integer(id), integer(3), integer(2)});
    EXPECT_NE(fighter(id)->getWeapon(3), nullptr);
    for (int kind : {0, 4, -1, 1000}) call(addPlayerWeapon, {integer(id), integer(kind), integer(5)});
    EXPECT_EQ(fighter(id)->getWeapon(0), nullptr);
    EXPECT_EQ(fighter(id)->getWeapon(2), nullptr);
    call(switchWeapon, {integer(id), integer(9)});
    EXPECT_EQ(fighter(id)->getEquipment(), 0) << "a slot outside 0 to 3 is refused";
}

TEST_F(HostFunctions, IdsThatNameNoFighterDoNothing) {
    Object* piece = TestWorld::addGround(0, 0, 10, 10);
    const int id = addFighter(false, 1, 100, 700);
    for (int other : {piece->getId(), 999999, 0, -3}) {
        call(setPlayerHealth, {integer(other), integer(5)});
        call(addPlayerWeapon, {integer(other), integer(2), integer(5)});
        call(die, {integer(other)});
        EXPECT_EQ(call(playerX, {integer(other)}).type, PellixVariable::Undefined);
        EXPECT_EQ(call(playerY, {integer(other)}).type, PellixVariable::Undefined);
        EXPECT_EQ(call(playerHealth, {integer(other)}).type, PellixVariable::Undefined);
        call(say, {integer(other), text("nobody speaks")});
        EXPECT_FALSE(TestWorld::game().getDialog().isVisible());
        call(waitForPlayerAction, {integer(other)});  // returns at once
    }
    EXPECT_EQ(fighter(id)->getHealth(), 100);
    call(setPlayerHealth, {integer(id), integer(37)});
    EXPECT_EQ(call(playerHealth, {integer(id)}).getInteger(), 37);
    EXPECT_EQ(call(playerX, {integer(id)}).getInteger(), fighter(id)->getCentralX());
    EXPECT_EQ(call(playerY, {integer(id)}).getInteger(), fighter(id)->getCentralY());

    testing::internal::CaptureStdout();
    call(showObject, {integer(999999)});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Object not found 999999\n");
}

TEST_F(HostFunctions, DieRaisesNoKillAndAiModeTouchesOnlyComputerFighters) {
    const int human = addFighter(false, 1, 100, 700);
    const int computer = addFighter(true, 2, 400, 700);
    call(die, {integer(computer)});
    EXPECT_FALSE(fighter(computer)->isAlive());
    EXPECT_EQ(TestWorld::countEvents("OnKill"), 0);

    const int brain = addFighter(true, 2, 600, 700);
    call(setPlayerAIMode, {integer(brain), integer(1)});
    EXPECT_TRUE(dynamic_cast<AIPlayer*>(fighter(brain))->isUnderControl());
    call(setPlayerAIMode, {integer(brain), integer(0)});
    EXPECT_FALSE(dynamic_cast<AIPlayer*>(fighter(brain))->isUnderControl());
    call(setPlayerAIMode, {integer(human), integer(1)});  // a plain fighter is left alone

    call(lockControl, {integer(1)});
    EXPECT_FALSE(TestWorld::game().canControl());
    call(lockControl, {integer(0)});
    EXPECT_TRUE(TestWorld::game().canControl());
}

TEST_F(HostFunctions, PrintIsNullAndTheHiddenPresentLine) {
    testing::internal::CaptureStdout();
    call(print, {text("x"), integer(1), text("y")});
    call(print, {});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "x1y");
    EXPECT_EQ(call(isNull, {}).getInteger(), 1);
    EXPECT_EQ(call(isNull, {PellixVariable(), PellixVariable()}).getInteger(), 1);
    EXPECT_EQ(call(isNull, {PellixVariable(), integer(0)}).getInteger(), 0);

    testing::internal::CaptureStdout();
    const int id = call(addHiddenPresent, {integer(100), integer(200), integer(30), integer(40)}).getInteger();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "add hidden present 100, 200, 30, 40\n");
    PresentBox* box = dynamic_cast<PresentBox*>(TestWorld::game().getObjectSystem().getObjectById(id));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getX(), 100);
    EXPECT_EQ(box->getY(), 200);
    EXPECT_EQ(box->getWidth(), 30);
    EXPECT_EQ(box->getHeight(), 40);
    EXPECT_EQ(box->getImage(), nullptr);

    const int pictured = call(addPresent, {text("crate"), integer(300), integer(100)}).getInteger();
    Object* crate = TestWorld::game().getObjectSystem().getObjectById(pictured);
    ASSERT_NE(crate, nullptr);
    ASSERT_NE(crate->getImage(), nullptr);
    EXPECT_EQ(crate->getWidth(), crate->getImage()->w);
    EXPECT_TRUE(crate->isVisible());
}

// Every function called with fewer arguments than it takes reads the missing ones as
// undefined and never the caller's value below them (the call helper checks it).
TEST_F(HostFunctions, ShortCallsOfEveryFunctionStayOnTheirArguments) {
    const int id = addFighter(false, 1, 100, 700);
    for (PellixHostFunction function :
         {print, isNull, loadMap, addPlayer, showObject, setPlayerHealth, delay, addPlayerWeapon, switchWeapon,
          playerDoAim, playerDoFire, playerDoMove, playerDoStop, say, robotSay, waitForPlayerAction, showRobot,
          lockControl, addPresent, addHiddenPresent, setPlayerAIMode, die, playerX, playerY, playerHealth, command}) {
        testing::internal::CaptureStdout();
        call(function, {});
        // The id as the only argument would be a delay of that many milliseconds, or a shell command.
        if (function != delay && function != command) call(function, {integer(id)});
        testing::internal::GetCapturedStdout();
    }
    // One argument to a two-argument function is its last one: the health, with no fighter id.
    const int before = fighter(id)->getHealth();
    call(setPlayerHealth, {integer(id)});
    EXPECT_EQ(fighter(id)->getHealth(), before);
    // addPlayer with nothing makes a fighter at (0, 0) all the same, like any other call with undefined values.
    testing::internal::CaptureStdout();
    const PellixVariable made = call(addPlayer, {});
    testing::internal::GetCapturedStdout();
    ASSERT_NE(fighter(made.getInteger()), nullptr);
    EXPECT_EQ(fighter(made.getInteger())->getX(), 0);
    call(lockControl, {});
    EXPECT_TRUE(TestWorld::game().canControl()) << "a missing flag is 0";
}

TEST_F(HostFunctions, SayBlocksUntilTheBubbleHasGoneAndPointsAtTheHead) {
    const int id = addFighter(false, 1, 100, 700);
    Player* speaker = fighter(id);
    Dialog& dialog = TestWorld::game().getDialog();
    std::atomic<bool> done{false};
    std::thread script([&] {
        call(say, {integer(id), text("Hello")});
        done.store(true);
    });
    while (!dialog.isVisible() && !done.load()) std::this_thread::yield();
    lockGame();
    EXPECT_EQ(dialog.getText(), "Hello");
    EXPECT_EQ(dialog.getX(), speaker->getCentralX());
    EXPECT_EQ(dialog.getY(), speaker->getY());
    EXPECT_FALSE(dialog.isOnScreen());
    unlockGame();
    int frames = 0;
    while (!done.load()) {
        lockGame();
        dialog.move();
        unlockGame();
        ++frames;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    script.join();
    EXPECT_GT(frames, 300) << "say returned before the bubble had gone";
}

TEST_F(HostFunctions, WaitForPlayerActionLastsUntilTheWalkEndsOrTheFighterDies) {
    const int id = addFighter(false, 1, 100, 700);
    call(playerDoMove, {integer(id), integer(1500), integer(0)});
    std::atomic<bool> done{false};
    std::thread script([&] {
        call(waitForPlayerAction, {integer(id)});
        done.store(true);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_FALSE(done.load());
    lockGame();
    fighter(id)->stopAction();
    unlockGame();
    script.join();

    call(playerDoMove, {integer(id), integer(1500), integer(0)});
    std::thread waiting([&] { call(waitForPlayerAction, {integer(id)}); });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    lockGame();
    fighter(id)->die();  // a dead fighter never arrives: the wait must not outlive it
    unlockGame();
    waiting.join();
}

TEST_F(HostFunctions, FadeInWaitsForTheFrames) {
    Screen& screen = TestWorld::game().getScreen();
    std::atomic<bool> done{false};
    std::thread script([&] {
        call(fadeIn, {});
        done.store(true);
    });
    while (screen.getFadeMode() != FADE_IN) std::this_thread::yield();
    int frames = 0;
    while (!done.load()) {
        screen.flip();  // no pages headless: the fade only advances
        ++frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    script.join();
    EXPECT_EQ(screen.getFadeMode(), FADE_SHOWN);
    EXPECT_GE(frames, 52);
}

TEST_F(HostFunctions, NightValuesOutOfRangeAreSaidAndHeldAndLampsAreCounted) {
    NightShade& night = TestWorld::game().getNightShade();
    testing::internal::CaptureStdout();
    call(setNight, {integer(999), integer(-5)});
    call(addLight, {integer(10), integer(20), integer(0)});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "setNight: the lamp radius -5 is not 0 to 600; using 0.\n"
              "setNight: the darkness 999 is not 0 to 255; using 255.\n"
              "addLight: the radius 0 is not 1 to 600; using 1.\n");
    EXPECT_EQ(night.getDarkness(), 255);
    EXPECT_TRUE(night.isLit(10, 20));
    for (int i = 2; i <= NightShade::maxLights; ++i) EXPECT_EQ(call(addLight, {integer(i), integer(0), integer(50)}).getInteger(), i);
    testing::internal::CaptureStdout();
    EXPECT_EQ(call(addLight, {integer(0), integer(0), integer(50)}).type, PellixVariable::Undefined);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("more than 32 lights"), std::string::npos);
    call(setNight, {integer(0), integer(0)});
    EXPECT_EQ(night.getLightCount(), 0);
}
