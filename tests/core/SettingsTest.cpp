// The player's settings file, and his keys reaching the fighter.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <allegro.h>

#include <cstdio>
#include <initializer_list>
#include <string>

#include "core/GameLock.h"
#include "core/InputSystem.h"
#include "core/Settings.h"
#include "tests/fighters/TestWorld.h"
#include "tests/support/TemporaryFile.h"

using Torvane::Settings;
using Action = Torvane::Settings::Action;

namespace {

std::string reportsOfLoading(Settings& settings, const std::string& path) {
    testing::internal::CaptureStdout();
    settings.load(path);
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(Settings, AMissingFileGivesTheUsualControlsSilently) {
    Settings settings;
    settings.setVolume(10);
    settings.setFullScreen(true);
    EXPECT_EQ(reportsOfLoading(settings, "/nonexistent/torvane/settings"), "");
    EXPECT_EQ(settings, Settings());
    const int usual[] = {KEY_A, KEY_D, KEY_W, KEY_R, KEY_1, KEY_2, KEY_3, KEY_4, KEY_P};
    for (int a = 0; a < Settings::actionCount; ++a) EXPECT_EQ(settings.getKey(Action(a)), usual[a]) << a;
    EXPECT_EQ(settings.getVolume(), 100);
    EXPECT_FALSE(settings.isFullScreen());
}

TEST(Settings, EachBadLineIsReportedOnceWithItsNumberAndTheDefaultTakesItsPlace) {
    TemporaryFile file(
        "\xEF\xBB\xBF# made by hand\r\n"
        "fullscreen = ON\r\n"
        "volume = loud\n"
        "volume = 20\n"
        "key.jump = space\n"
        "key.left = D\n"
        "key.reload = F3\n"
        "key.pistol = NOSUCHKEY\n"
        "colour = red\n"
        "just words\n"
        "key.rifle = J\n"
        "key.hands = J\n"
        "\n"
        "key.pause = \x01");
    Settings settings;
    const std::string where = file.path + " line ";
    EXPECT_EQ(reportsOfLoading(settings, file.path),
              where + "3: \"volume = loud\" is not a number from 0 to 100; using 100\n" +
              where + "4: \"volume = 20\" sets it again (first on line 3); ignored\n" +
              where + "6: \"key.left = D\": D is already the key of Walk right; using A\n" +
              where + "7: \"key.reload = F3\": F3 is kept for the game (it shows the debug line); using R\n" +
              where + "8: \"key.pistol = NOSUCHKEY\" is not a key the game knows; using 2\n" +
              where + "9: \"colour = red\" names no setting; ignored\n" +
              where + "10: \"just words\" is not of the form name = value; ignored\n" +
              where + "12: \"key.hands = J\": J is already the key of Rifle; using 3\n" +
              where + "14: \"key.pause = ?\" is not a key the game knows; using P\n");
    EXPECT_TRUE(settings.isFullScreen());
    EXPECT_EQ(settings.getVolume(), 100);
    EXPECT_EQ(settings.getKey(Action::Jump), KEY_SPACE);
    EXPECT_EQ(settings.getKey(Action::WalkLeft), KEY_A);
    EXPECT_EQ(settings.getKey(Action::WalkRight), KEY_D);
    EXPECT_EQ(settings.getKey(Action::Reload), KEY_R);
    EXPECT_EQ(settings.getKey(Action::Rifle), KEY_J);
    EXPECT_EQ(settings.getKey(Action::Hands), KEY_3);

    TemporaryFile huge("volume = 5\n" + std::string(70000, '#'));
    EXPECT_EQ(reportsOfLoading(settings, huge.path),
              huge.path + " is larger than 65536 bytes; using the default settings\n");
    EXPECT_EQ(settings, Settings());
}

TEST(Settings, AFileWrittenBySaveReadsBackEqual) {
    char pattern[] = "/tmp/torvane-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    const std::string path = root + "/torvane/settings";
    Settings chosen;
    std::string refusal, error;
    chosen.setFullScreen(true);
    chosen.setVolume(35);
    // Walk left and right swapped, through a free key.
    ASSERT_TRUE(chosen.setKey(Action::WalkLeft, KEY_LEFT, refusal)) << refusal;
    ASSERT_TRUE(chosen.setKey(Action::WalkRight, KEY_A, refusal)) << refusal;
    ASSERT_TRUE(chosen.setKey(Action::WalkLeft, KEY_D, refusal)) << refusal;
    ASSERT_TRUE(chosen.setKey(Action::Pause, KEY_0_PAD, refusal)) << refusal;
    ASSERT_TRUE(chosen.save(path, error)) << error;
    Settings read;
    EXPECT_EQ(reportsOfLoading(read, path), "");
    EXPECT_EQ(read, chosen);
    EXPECT_EQ(read.getKey(Action::WalkLeft), KEY_D);
    EXPECT_EQ(read.toText().rfind("# Torvane settings.", 0), 0u);
    for (const std::string& made : {path, root + "/torvane", root}) std::remove(made.c_str());
}

TEST(Settings, KeysOfAnotherActionOrOfTheGameAreRefused) {
    Settings settings;
    std::string refusal;
    EXPECT_FALSE(settings.setKey(Action::Jump, KEY_D, refusal));
    EXPECT_EQ(refusal, "D is already the key of Walk right.");
    EXPECT_FALSE(settings.setKey(Action::Jump, KEY_ESC, refusal));
    EXPECT_EQ(refusal, "Escape is kept for the game: it quits the game.");
    const std::initializer_list<int> refused = {
        KEY_F3, KEY_F11, KEY_ENTER, KEY_ENTER_PAD, KEY_S, KEY_LSHIFT, KEY_Q, KEY_B, KEY_M, KEY_PRTSCR, 0, KEY_MAX, -1};
    for (int scancode : refused) {
        EXPECT_FALSE(settings.setKey(Action::Jump, scancode, refusal)) << scancode;
    }
    EXPECT_EQ(settings, Settings());
    EXPECT_TRUE(settings.setKey(Action::Jump, KEY_W, refusal)) << "its own key";
    EXPECT_EQ(Settings::keyName(KEY_RSHIFT), "Right Shift");
    EXPECT_EQ(Settings::keyName(KEY_5_PAD), "Keypad 5");
    EXPECT_EQ(Settings::keyName(KEY_PRTSCR), "Key 92");
    EXPECT_STREQ(Settings::actionName(Action::Hands), "Empty hands");
}

TEST(Settings, AMovedKeyDrivesTheFighterAndItsOldKeyNoLonger) {
    for (int i = 0; i < KEY_MAX; ++i) key[i] = 0;
    mouse_b = 0;
    TestWorld::reset();
    Torvane::Game& game = TestWorld::game();
    game.unlockControl();
    for (int i = 0; i < 30; ++i) game.getDialog().move();  // a bubble ignores hide at first
    game.getDialog().hide();
    TestWorld::addGround(0, 500, 2000, 50);
    Torvane::Player* fighter = TestWorld::addFighter("kr", 1000, 440, makecol(200, 30, 30));
    TestWorld::settle(fighter);
    game.setMainPlayer(fighter);

    Settings settings;
    std::string refusal;
    ASSERT_TRUE(settings.setKey(Action::WalkRight, KEY_L, refusal)) << refusal;
    ASSERT_TRUE(settings.setKey(Action::Jump, KEY_UP, refusal)) << refusal;
    Torvane::InputSystem input;
    input.useKeys(settings);
    auto frame = [&] {
        input.doInput();
        Torvane::lockGame();
        game.getEventSystem().handleEvents();
        Torvane::unlockGame();
    };
    frame();
    key[KEY_D] = 1;
    frame();
    EXPECT_FALSE(fighter->isMovingRight()) << "D is no longer walk right";
    key[KEY_L] = 1;
    frame();
    EXPECT_TRUE(fighter->isMovingRight());
    key[KEY_L] = 0;
    key[KEY_UP] = 1;
    frame();
    EXPECT_FALSE(fighter->isMovingRight());
    EXPECT_TRUE(fighter->isJumping());

    key[KEY_D] = 0;
    key[KEY_UP] = 0;
    frame();
    game.getEventSystem().clear();
    TestWorld::reset();
}
