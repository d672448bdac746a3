#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "fighters/AIPlayer.h"
#include "fighters/Player.h"
#include "hud/InfoBar.h"
#include "tests/fighters/TestWorld.h"
#include "weapons/Blood.h"
#include "weapons/Bullet.h"
#include "weapons/Explosion.h"
#include "weapons/Grenade.h"
#include "weapons/GrenadeThrown.h"
#include "weapons/Gun.h"
#include "weapons/Pistol.h"

using Torvane::Blood;
using Torvane::Player;
using Torvane::PlayerAction;

namespace {

constexpr int groundTop = 500;

class PlayerTest : public testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        ground = TestWorld::addGround(0, groundTop, 2000, 50);
    }
    void TearDown() override { TestWorld::reset(); }

    // A fighter dropped from just above the ground and left to land.
    Player* standingFighter(const std::string& role, int x, int color) {
        Player* p = TestWorld::addFighter(role, x, groundTop - 60, color);
        TestWorld::settle(p);
        return p;
    }

    Torvane::Object* ground = nullptr;
};

// A role directory made for one test inside the data folder, removed afterwards.
class ScratchRole {
public:
    ScratchRole(const std::string& name, const std::string& description) {
        role = name + "-" + std::to_string(getpid());
        folder = "image/role/" + role;
        std::string command = "mkdir -p " + folder;
        if (std::system(command.c_str()) != 0) ADD_FAILURE() << "cannot make " << folder;
        std::ofstream(folder + "/config.dat") << description;
    }
    ~ScratchRole() {
        std::string command = "rm -rf " + folder;
        if (std::system(command.c_str()) != 0) ADD_FAILURE() << "cannot remove " << folder;
    }
    std::string role;
    std::string folder;
};

std::string captured(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST_F(PlayerTest, TakesItsLookAndSizeFromItsRole) {
    for (const char* role : {"kr", "kt", "ranger"}) {
        Player p("x", role);
        EXPECT_EQ(p.getRole(), role);
        EXPECT_EQ(p.getWidth(), 28) << role;
        EXPECT_EQ(p.getHeight(), 46) << role;
        EXPECT_EQ(p.getAnimation().getAction(), 0);
        ASSERT_NE(p.getAnimation().findAction(3), nullptr) << role << " has no dying action";
        EXPECT_GE(p.getAnimation().findAction(0)->frameCount, 5) << role << " has no walk cycle";
        EXPECT_EQ(p.getMass(), 50);
        EXPECT_EQ(p.getHealth(), 100);
        EXPECT_FALSE(p.isVisible());
    }

    // The random team colour: blue from the first number after the id, then green, then red.
    std::srand(1234);
    int id = std::rand();
    int blue = std::rand() % 255, green = std::rand() % 255, red = std::rand() % 255;
    std::srand(1234);
    Player p;
    EXPECT_EQ(p.getPlayerId(), id);
    EXPECT_EQ(p.getColor(), makecol(red, green, blue));
    EXPECT_EQ(p.getName(), "NoName");
    EXPECT_EQ(p.getDefend(), 0);
}

TEST_F(PlayerTest, BrokenRolesGiveAMessageAndAFallbackSize) {
    Player* missing = nullptr;
    std::string message = captured([&] { missing = new Player("Ghost", "no-such-role"); });
    EXPECT_NE(message.find("Cannot open image/role/no-such-role/config.dat"), std::string::npos) << message;
    EXPECT_EQ(missing->getWidth(), Player::fallbackWidth);
    EXPECT_EQ(missing->getHeight(), Player::fallbackHeight);
    // Still a working fighter: it walks, animates nothing and draws nothing.
    missing->setX(100).setY(100);
    missing->moveRight(true);
    missing->move();
    BITMAP* target = create_bitmap(300, 300);
    clear_to_color(target, 0);
    missing->show();
    missing->draw(target, 0, 0);
    EXPECT_EQ(getpixel(target, 114, 120), 0);
    delete missing;

    // A role with only a dying action has no standing frame to measure.
    ScratchRole dyingOnly("dying-only", "1\n3 0 0 image/role/kr/die.bmp\n1\n0 0 28 47\n");
    Player* strange = nullptr;
    message = captured([&] { strange = new Player("Odd", dyingOnly.role); });
    EXPECT_NE(message.find("has no action 0"), std::string::npos) << message;
    EXPECT_EQ(strange->getWidth(), Player::fallbackWidth);
    EXPECT_EQ(strange->getHeight(), Player::fallbackHeight);
    // Its death still plays the action it has.
    strange->die();
    strange->move();
    EXPECT_EQ(strange->getAnimation().getAction(), 3);
    EXPECT_EQ(strange->getHeight(), 47);
    delete strange;

    // A role whose sheet is missing keeps nothing and says which file.
    ScratchRole noSheet("no-sheet", "1\n0 0 1 image/role/none.bmp\n1\n0 0 28 46\n");
    message = captured([&] { Player p("Lost", noSheet.role); });
    EXPECT_NE(message.find("failed to load bitmap: image/role/none.bmp"), std::string::npos) << message;
    destroy_bitmap(target);
}

TEST_F(PlayerTest, DamageFollowsTheHeightOfTheHitWithAsMuchBlood) {
    Player* p = standingFighter("kr", 300, makecol(200, 0, 0));
    p->setHeight(40);
    const int top = p->getY();
    Vector right(1, 0);

    EXPECT_TRUE(p->hit(310, top, right));  // top row: 10, a headshot
    EXPECT_EQ(p->getHealth(), 90);
    EXPECT_EQ(TestWorld::countObjects<Blood>(), 10);

    EXPECT_FALSE(p->hit(310, top + 2, right));  // a tenth of the way down costs one point less
    EXPECT_EQ(p->getHealth(), 81);
    EXPECT_EQ(TestWorld::countObjects<Blood>(), 19);

    EXPECT_FALSE(p->hit(310, top + 38, right));  // the bottom tenth costs nothing
    EXPECT_EQ(p->getHealth(), 81);
    EXPECT_EQ(TestWorld::countObjects<Blood>(), 19);

    EXPECT_FALSE(p->hit(310, top + 20, right));  // the middle: 5
    EXPECT_EQ(p->getHealth(), 76);

    // A body of no height has nothing but a top row: a full hit, and no division by zero.
    p->setHeight(0);
    EXPECT_TRUE(p->hit(310, top + 20, right));
    EXPECT_EQ(p->getHealth(), 66);

    // A point far outside the box counts as its nearest edge, and the distance
    // from the top does not overflow. (Not INT_MIN itself: the drops made there
    // would take the block map's own arithmetic past its limit.)
    p->setHeight(40);
    EXPECT_TRUE(p->hit(310, INT_MIN + 300, right));
    EXPECT_EQ(p->getHealth(), 56);
    EXPECT_FALSE(p->hit(310, INT_MAX, right));
    EXPECT_EQ(p->getHealth(), 56);

    // Armour takes half of each hit, rounded up, until it is worn through; a top-row hit stays a headshot.
    p->setDefend(7);
    EXPECT_TRUE(p->hit(310, top, right));
    EXPECT_EQ(p->getDefend(), 2);
    EXPECT_EQ(p->getHealth(), 51);
    EXPECT_FALSE(p->hit(310, top + 2, right));  // 9: only 2 armour left to take
    EXPECT_EQ(p->getDefend(), 0);
    EXPECT_EQ(p->getHealth(), 44);

    // A hit also stops the fighter in its tracks.
    p->setHeight(40);
    p->moveLeft(true);
    p->hit(310, top + 20, right);
    EXPECT_FALSE(p->isMovingLeft());
    EXPECT_EQ(p->getState(), Torvane::PLAYER_STANDING);

    // Health is not clamped, and none left is none: a negative health counts as not alive.
    p->setHealth(-3);
    EXPECT_FALSE(p->isAlive());
    p->setHealth(1);
    EXPECT_TRUE(p->isAlive());
    p->setHealth(0);
    EXPECT_FALSE(p->isAlive());
}

TEST_F(PlayerTest, AKillingHitRaisesOneEventAndLeavesACorpseOnTheGround) {
    Player* victim = standingFighter("kt", 300, makecol(0, 0, 200));
    victim->setWeapon(2, new Torvane::Gun(victim));
    victim->setEquipment(2);
    victim->setHealth(5);
    const int top = victim->getY();
    Vector left(-1, 0);

    // 9 points on 5 health: dead, one event with the id and the hit point.
    EXPECT_FALSE(victim->hit(310, top + victim->getHeight() / 10, left));
    EXPECT_EQ(victim->getHealth(), 0);
    EXPECT_FALSE(victim->isAlive());
    EXPECT_EQ(victim->getState(), Torvane::PLAYER_DYING);
    Torvane::ScriptEvent event;
    ASSERT_TRUE(TestWorld::game().getScriptSystem().takeEvent(event));
    EXPECT_EQ(event.name, "OnKill");
    EXPECT_EQ(event.param1, victim->getId());
    EXPECT_EQ(event.param2, 310);
    EXPECT_EQ(event.param3, top + victim->getHeight() / 10);
    EXPECT_FALSE(TestWorld::game().getScriptSystem().takeEvent(event));

    // A second hit on the corpse: blood, but no event and no health change.
    int bloodBefore = TestWorld::countObjects<Blood>();
    victim->hit(310, top, left);
    EXPECT_EQ(TestWorld::countObjects<Blood>(), bloodBefore + 10);
    EXPECT_EQ(victim->getHealth(), 0);
    EXPECT_EQ(TestWorld::game().getScriptSystem().getEventCount(), 0u);

    // The dead ignore every control.
    victim->moveRight(true);
    victim->aim(0, 0);
    EXPECT_FALSE(victim->isMovingRight());
    EXPECT_EQ(victim->getState(), Torvane::PLAYER_DYING);

    // The corpse stays in the world, plays its fall once and lies on the ground.
    TestWorld::step(200);
    EXPECT_FALSE(victim->isDead());
    EXPECT_EQ(TestWorld::game().getObjectSystem().getObjectById(victim->getId()), victim);
    const Torvane::AniAction* dying = victim->getAnimation().findAction(3);
    ASSERT_NE(dying, nullptr);
    EXPECT_EQ(victim->getAnimation().getFrame(), dying->frameCount - 1);
    EXPECT_LT(victim->getHeight(), victim->getWidth()) << "the last dying frame should lie flat";
    EXPECT_FALSE(victim->isFree());
    EXPECT_EQ(victim->getBoard(), ground);
    EXPECT_EQ(victim->getY() + victim->getHeight(), groundTop + 1);

    // Drawn without its weapon.
    BITMAP* target = create_bitmap(2000, 600);
    clear_to_color(target, makecol(0, 0, 0));
    victim->draw(target, 0, 0);
    int drawn = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 2000; ++x) drawn += getpixel(target, x, y) != makecol(0, 0, 0);
    }
    clear_to_color(target, makecol(0, 0, 0));
    victim->getAnimation().draw(target, victim->getX(), victim->getY());
    int bodyOnly = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 2000; ++x) bodyOnly += getpixel(target, x, y) != makecol(0, 0, 0);
    }
    EXPECT_GT(drawn, 50);
    EXPECT_EQ(drawn, bodyOnly);
    destroy_bitmap(target);

    // "die" from a script: dying, and no event.
    Player* other = standingFighter("kr", 600, makecol(200, 0, 0));
    other->die();
    EXPECT_EQ(other->getHealth(), 0);
    EXPECT_EQ(TestWorld::game().getScriptSystem().getEventCount(), 0u);
}

TEST_F(PlayerTest, WalksOnTheGroundAndSteersInTheAir) {
    Player* p = standingFighter("ranger", 300, makecol(0, 200, 0));
    ASSERT_FALSE(p->isFree());

    p->moveRight(true);
    EXPECT_EQ(p->getState(), Torvane::PLAYER_WALKING);
    EXPECT_TRUE(p->isAnimating());
    EXPECT_EQ(p->getAnimation().getDirection(), 0);
    // 0.2 a frame of push against 0.12 of ground friction.
    for (int frame = 1; frame <= 10; ++frame) {
        TestWorld::step();
        EXPECT_NEAR(p->getVelocity().x, 0.08f * frame, 1e-4) << "frame " << frame;
    }
    EXPECT_NE(p->getAnimation().getFrame(), 0);

    // Left pressed while right is held turns it left; letting go of left gives right back.
    p->moveLeft(true);
    EXPECT_EQ(p->getAnimation().getDirection(), 1);
    p->moveLeft(false);
    EXPECT_EQ(p->getAnimation().getDirection(), 0);
    EXPECT_EQ(p->getState(), Torvane::PLAYER_WALKING);
    EXPECT_TRUE(p->isMovingRight());
    p->moveRight(false);
    EXPECT_EQ(p->getState(), Torvane::PLAYER_STANDING);
    EXPECT_FALSE(p->isAnimating());
    EXPECT_EQ(p->getAnimation().getFrame(), 0);

    // Friction brings it to rest.
    TestWorld::step(60);
    EXPECT_EQ(p->getVelocity().x, 0.0f);

    // In the air the fighter moves a pixel a frame and keeps its velocity.
    TestWorld::place(p, p->getX(), 200);
    p->setFree(true);
    Vector still(0, 0);
    p->setVelocity(still);
    p->moveLeft(true);
    float x = p->getPosition().x;
    TestWorld::step();
    EXPECT_FLOAT_EQ(p->getPosition().x, x - 1.0f);
    EXPECT_EQ(p->getVelocity().x, 0.0f);
    TestWorld::step();
    EXPECT_FLOAT_EQ(p->getPosition().x, x - 2.0f);

    // stopMoving clears every held control.
    p->fire(10, 10);
    p->jump(true);
    p->stopMoving();
    EXPECT_FALSE(p->isMovingLeft());
    EXPECT_FALSE(p->isFiring());
    EXPECT_FALSE(p->isJumping());
}

TEST_F(PlayerTest, HeldJumpJumpsAtOnceAndAgainOnEveryLanding) {
    Player* p = standingFighter("kr", 300, makecol(200, 0, 0));
    p->jump(true);
    TestWorld::step();
    EXPECT_FLOAT_EQ(p->getVelocity().y, -6.0f);
    EXPECT_TRUE(p->isFree());

    // The first frame of a jump keeps -6: gravity starts with the frame after it.
    int jumps = 1, landings = 0;
    bool wasFree = true;
    float lastVy = -6.0f;
    for (int frame = 0; frame < 400; ++frame) {
        TestWorld::step();
        if (p->getVelocity().y == -6.0f && lastVy != -6.0f) {
            ++jumps;
            EXPECT_FALSE(wasFree) << "jumped in the air at frame " << frame;
        }
        if (wasFree && !p->isFree()) ++landings;
        wasFree = p->isFree();
        lastVy = p->getVelocity().y;
    }
    EXPECT_GE(landings, 2);
    EXPECT_GE(jumps, landings);

    // Let go, it lands and stays.
    p->jump(false);
    TestWorld::settle(p);
    TestWorld::step(5);
    EXPECT_FALSE(p->isFree());
    EXPECT_EQ(p->getVelocity().y, 0.0f);
    // In the air, jump does nothing.
    TestWorld::place(p, p->getX(), 200);
    p->setFree(true);
    p->jump(true);
    TestWorld::step();
    EXPECT_GT(p->getVelocity().y, -6.0f);
    EXPECT_TRUE(p->isFree());
}

TEST_F(PlayerTest, ScriptedWalksEndOnArrivalOrOnABump) {
    Player* p = standingFighter("kt", 90, makecol(0, 0, 200));
    p->setX(90);
    p->setAction(PlayerAction{1, 100, 0});
    EXPECT_TRUE(p->isPlayerActionOn());
    const float expected[] = {93, 96, 99, 100};
    for (float x : expected) {
        TestWorld::step();
        EXPECT_FLOAT_EQ(p->getPosition().x, x);
        EXPECT_TRUE(p->isPlayerActionOn());
    }
    EXPECT_TRUE(p->isAnimating());
    EXPECT_EQ(p->getState(), Torvane::PLAYER_STANDING) << "a scripted walk does not change the state";
    TestWorld::step();
    EXPECT_FALSE(p->isPlayerActionOn());
    // It slides on with what was left of the last step until friction stops it.
    EXPECT_GT(p->getPosition().x, 100.0f);
    EXPECT_LT(p->getPosition().x, 102.0f);
    EXPECT_TRUE(p->isAnimating()) << "the script stops the walking pictures, not the arrival";

    // A walk to the left, into a wall: the bump ends it early.
    TestWorld::addGround(40, groundTop - 100, 20, 100);
    p->stopMoving();
    p->stop();
    p->setAction(PlayerAction{1, -500, 0});
    int frames = 0;
    while (p->isPlayerActionOn() && frames < 200) {
        TestWorld::step();
        ++frames;
    }
    EXPECT_FALSE(p->isPlayerActionOn());
    EXPECT_GE(p->getX(), 60);
    EXPECT_EQ(p->getAnimation().getDirection(), 1);

    // Other action types do nothing.
    float x = p->getPosition().x;
    p->stop();
    p->setAction(PlayerAction{2, 900, 0});
    TestWorld::step(5);
    EXPECT_TRUE(p->isPlayerActionOn());
    EXPECT_FLOAT_EQ(p->getPosition().x, x);
}

TEST_F(PlayerTest, LiveFightersPassThroughCorpsesAndBlood) {
    Player* walker = standingFighter("kr", 100, makecol(200, 0, 0));
    Player* corpse = standingFighter("kt", 200, makecol(0, 0, 200));
    corpse->die();
    TestWorld::step(60);
    Vector down(0, 1);
    for (int i = 0; i < 10; ++i) TestWorld::game().getObjectSystem().addObject(new Blood(250, groundTop - 20, down));
    TestWorld::step(60);

    walker->setAction(PlayerAction{1, 400, 0});
    TestWorld::step(150);
    EXPECT_GE(walker->getX(), 399);
    EXPECT_FALSE(walker->isPlayerActionOn());

    // A live fighter in the way is a wall.
    Player* guard = standingFighter("kt", 600, makecol(0, 0, 200));
    walker->setAction(PlayerAction{1, 800, 0});
    TestWorld::step(150);
    EXPECT_FALSE(walker->isPlayerActionOn());
    EXPECT_LT(walker->getX() + walker->getWidth(), guard->getX());
}

TEST_F(PlayerTest, WeaponSlotsRefuseNumbersOutsideZeroToThree) {
    Player* p = standingFighter("kr", 300, makecol(200, 0, 0));
    Torvane::Gun* gun = new Torvane::Gun(p);
    EXPECT_TRUE(p->setWeapon(2, gun));
    EXPECT_TRUE(p->setEquipment(2));
    EXPECT_EQ(p->getCurrentWeapon(), gun);

    EXPECT_FALSE(p->setEquipment(4));
    EXPECT_FALSE(p->setEquipment(-1));
    EXPECT_EQ(p->getEquipment(), 2);
    EXPECT_EQ(p->getWeapon(4), nullptr);
    EXPECT_EQ(p->getWeapon(-1), nullptr);
    EXPECT_EQ(p->getWeapon(2), gun);
    Torvane::Pistol* stray = new Torvane::Pistol(p);
    EXPECT_FALSE(p->setWeapon(5, stray));
    EXPECT_FALSE(p->setWeapon(-2, stray));
    delete stray;  // refused: still the caller's

    // Slot 0 holds nothing and may be selected.
    EXPECT_TRUE(p->setEquipment(0));
    EXPECT_EQ(p->getCurrentWeapon(), nullptr);
    p->setEquipment(2);

    // Replacing the weapon in hand drops the selection to slot 0.
    Torvane::Gun* second = new Torvane::Gun(p);
    EXPECT_TRUE(p->setWeapon(2, second));
    EXPECT_EQ(p->getEquipment(), 0);
    EXPECT_EQ(p->getWeapon(2), second);
    // Storing the same weapon again keeps it.
    EXPECT_TRUE(p->setWeapon(2, second));
    EXPECT_EQ(p->getWeapon(2), second);

    // Aiming turns the weapon in hand only.
    p->setEquipment(2);
    p->aim(p->getCentralX() - 100, p->getCentralY());
    EXPECT_EQ(second->getAngle(), 128);
    p->setEquipment(0);
    p->aim(p->getCentralX(), p->getCentralY() - 100);
    EXPECT_EQ(second->getAngle(), 128);
    // Points far beyond the map do not overflow the difference.
    p->setEquipment(2);
    p->aim(INT_MIN, INT_MAX);
    EXPECT_EQ(second->getAngle(), 128 - 31) << "down-left, a hair under 45 degrees";
}

namespace {

// A rifle that counts its own destruction.
class CountedGun : public Torvane::Gun {
public:
    CountedGun(Player* owner, int& destroyed) : Gun(owner), destroyed(destroyed) {}
    ~CountedGun() override { ++destroyed; }

private:
    int& destroyed;
};

}  // namespace

TEST_F(PlayerTest, AFighterDestroysTheWeaponsItHolds) {
    int destroyed = 0;
    Player* p = new Player("Owner", "kr");
    CountedGun* kept = new CountedGun(p, destroyed);
    p->setWeapon(1, new CountedGun(p, destroyed));
    p->setWeapon(2, kept);
    p->setWeapon(3, new CountedGun(p, destroyed));
    EXPECT_EQ(destroyed, 0);
    // Replaced: the old one goes at once, the one stored again stays.
    p->setWeapon(1, new CountedGun(p, destroyed));
    EXPECT_EQ(destroyed, 1);
    p->setWeapon(2, kept);
    EXPECT_EQ(destroyed, 1);
    // Emptied: the weapon goes and the slot holds nothing.
    p->setWeapon(3, nullptr);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(p->getWeapon(3), nullptr);
    // The two still held go with the fighter.
    delete p;
    EXPECT_EQ(destroyed, 4);
}

TEST_F(PlayerTest, OnlyTheWeaponInHandCountsDown) {
    Player* p = standingFighter("kr", 300, makecol(200, 0, 0));
    Torvane::Gun* gun = new Torvane::Gun(p);
    Torvane::Pistol* pistol = new Torvane::Pistol(p);
    p->setWeapon(2, gun);
    p->setWeapon(1, pistol);
    gun->addBullets(10);
    pistol->addBullets(10);
    p->setEquipment(2);
    TestWorld::step();
    EXPECT_TRUE(gun->isReloading());
    EXPECT_FALSE(pistol->isReloading());
    TestWorld::step(10);
    EXPECT_EQ(gun->getTimer(), 90);
    p->setEquipment(1);
    TestWorld::step(10);
    EXPECT_EQ(gun->getTimer(), 90) << "a weapon out of hand pauses";
    EXPECT_EQ(pistol->getTimer(), 51);
}

TEST_F(PlayerTest, AtTheFarthestPlacesAndHealthsEveryNumberStaysSaneThroughASecondOfFighting) {
    // Scripts may go to a million either way; positions beyond the int range saturate at its ends.
    // The player's fighter stands at (x, y); the computer one at (farX, farY), yet on a board beside it.
    struct Row { int x, y, health, farX, farY; };
    const Row rows[] = {
        {1000000, 1000000, 1000000, -1000000, -1000000},    {-1000000, -1000000, -1000000, 1000000, 1000000},
        {1000000, -1000000, 1, -1000000, 1000000},         {INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
        {INT_MIN, INT_MIN, INT_MIN, INT_MAX, INT_MAX},     {INT_MAX, INT_MIN, 100, INT_MIN, INT_MAX},
        {INT_MIN, INT_MAX, 100, INT_MAX, INT_MIN},
    };
    auto shifted = [](int v, long long by) {
        return static_cast<int>(std::clamp<long long>(v + by, INT_MIN, INT_MAX));
    };
    Torvane::Game& game = TestWorld::game();
    Torvane::MapSystem& map = game.getMapSystem();
    const int oldClientWidth = map.getClientWidth(), oldClientHeight = map.getClientHeight();
    map.setClientWidth(800).setClientHeight(600);
    ASSERT_TRUE(game.getInfoBar().loadPictures());
    game.getInfoBar().show();
    BITMAP* frame = create_bitmap(800, 600);
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "at " << r.x << ", " << r.y << " with health " << r.health);
        TestWorld::reset();
        Torvane::Object* wall = TestWorld::addGround(shifted(r.x, -500), shifted(r.y, -500), 1000, 1000);
        Player* hero = TestWorld::addFighter("kr", r.x, r.y, makecol(0, 0, 200));
        hero->setHealth(r.health);
        hero->setVelocity(Vector(r.x > 0 ? 8.0f : -8.0f, r.y > 0 ? 8.0f : -8.0f));
        game.setMainPlayer(hero);
        Torvane::Gun* rifle = new Torvane::Gun(hero);
        hero->setWeapon(2, rifle);
        hero->setEquipment(2);
        rifle->addBullets(INT_MAX);
        hero->fire(r.farX, r.farY);
        Torvane::AIPlayer* brain = new Torvane::AIPlayer("brain", "kt");
        brain->setX(r.farX).setY(r.farY);
        brain->setColor(makecol(200, 0, 0));
        brain->show();
        game.addPlayer(brain);
        brain->setHealth(r.health);
        brain->setWeapon(3, new Torvane::Grenade(brain));
        brain->setEquipment(3);
        // A flat body just inside the corner, where boxes still have a size.
        Torvane::RealBody* crate = new Torvane::RealBody();
        crate->setX(shifted(r.x, r.x > 0 ? -300 : 300)).setY(shifted(r.y, r.y > 0 ? -300 : 300));
        crate->setWidth(60).setHeight(20).show();
        game.getObjectSystem().addObject(crate);
        Torvane::GrenadeThrown* grenade = new Torvane::GrenadeThrown(brain, r.x, r.y, r.farX, r.farY, 0);
        grenade->bomb();
        game.getObjectSystem().addObject(grenade);
        game.getObjectSystem().addObject(new Torvane::Explosion(brain, hero->getCentralX(), hero->getCentralY()));
        game.getObjectSystem().addObject(new Torvane::Bullet(brain, 100, 100, r.x, r.y));
        for (Player* p : {hero, static_cast<Player*>(brain)}) {
            p->hit(r.x, r.y, Vector(1, 0));
            p->hit(r.farX, r.farY, Vector(0, -1));
            p->aim(r.farX, r.farY);
        }
        game.getAimSystem().setX(r.x);
        game.getAimSystem().setY(r.y);
        // Everything that collides is pushed out of the wall, and the wall out of it.
        std::vector<Torvane::Object*> bodies;
        for (Torvane::Object* o : game.getObjectSystem().getObjects()) {
            if (o->isCollidable() && o != wall) bodies.push_back(o);
        }
        for (Torvane::Object* o : bodies) o->collide(wall);
        for (Torvane::Object* o : bodies) wall->collide(o);
        brain->setAction(PlayerAction{1, r.x, 0});
        brain->setBoard(wall);
        // A second of frames as the game runs them.
        for (int i = 0; i < 66; ++i) {
            game.getObjectSystem().moveObjects();
            game.getAimSystem().move();
            map.draw(frame);
            game.getObjectSystem().drawObjects(frame, map.getClientX(), map.getClientY());
            game.getInfoBar().draw(frame);
            game.getAimSystem().draw(frame);
            game.getObjectSystem().removeDeadObjects();
            map.moveClientTo(hero->getCentralX(), hero->getCentralY());
        }
        for (Torvane::Object* o : game.getObjectSystem().getObjects()) {
            EXPECT_TRUE(std::isfinite(o->getPosition().x) && std::isfinite(o->getPosition().y)) << o->getId();
        }
        for (Player* p : {hero, static_cast<Player*>(brain)}) {
            EXPECT_LE(p->getHealth(), std::max(r.health, 0));
            EXPECT_GE(p->getHealth(), std::min(r.health, 0));
        }
        EXPECT_LE(std::llabs(static_cast<long long>(hero->getX()) - r.x), 2000);
        EXPECT_LE(std::llabs(static_cast<long long>(hero->getY()) - r.y), 2000);
        EXPECT_GE(map.getClientX(), 0);
        EXPECT_LE(map.getClientX(), 2000 - 800);
        EXPECT_GE(map.getClientY(), 0);
        EXPECT_LE(map.getClientY(), 1000 - 600);
    }
    destroy_bitmap(frame);
    game.getInfoBar().hide();
    map.setClientWidth(oldClientWidth).setClientHeight(oldClientHeight);
}
