#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fighters/Player.h"
#include "fighters/RealBody.h"
#include "tests/support/HeadlessGame.h"
#include "world/BlockSystem.h"
#include "world/ObjectSystem.h"

using Torvane::BlockSystem;
using Torvane::Object;
using Torvane::ObjectSystem;
using Torvane::RealBody;

namespace {

// Writes what happens to it into a shared diary.
class Diarist : public Object {
public:
    explicit Diarist(std::vector<std::string>* diary, std::string name) : diary(diary), name(std::move(name)) {}
    ~Diarist() override { diary->push_back("destroy " + name); }
    void move() override {
        diary->push_back("move " + name);
        Object::move();
    }
    void draw(BITMAP*, int cameraX, int cameraY) override {
        diary->push_back("draw " + name + " " + std::to_string(cameraX) + "," + std::to_string(cameraY));
    }

private:
    std::vector<std::string>* diary;
    std::string name;
};

// Spawns a child the first time it moves, like a gun firing a bullet.
class Spawner : public Diarist {
public:
    using Diarist::Diarist;
    std::vector<std::string>* childDiary = nullptr;
    Object* child = nullptr;
    void move() override {
        Diarist::move();
        if (!child) {
            child = new Diarist(childDiary, "child");
            child->show();
            Torvane::Game::getInstance()->getObjectSystem().addObject(child);
        }
    }
};

// Tries to take itself out of the list from inside a walk.
class Quitter : public Object {
public:
    bool removedInMove = true;
    bool removedInDraw = true;
    bool cleanedUp = true;
    void move() override {
        ObjectSystem& objects = Torvane::Game::getInstance()->getObjectSystem();
        removedInMove = objects.removeObject(this);
        cleanedUp = objects.cleanupObjects();
        die();
        objects.removeDeadObjects();  // refused: the sweep belongs at the end of the frame
    }
    void draw(BITMAP*, int, int) override {
        removedInDraw = Torvane::Game::getInstance()->getObjectSystem().removeObject(this);
    }
};

// Hands the world an object while it is drawn, and from its destructor, which
// runs inside the sweep of dead objects, tries to take another one out and
// hands over a second one.
class Testator : public Object {
public:
    Object* drawnHeir = nullptr;
    Object* lastHeir = nullptr;
    Object* victim = nullptr;
    bool* removedWhileDying = nullptr;  // outlives the testator
    ~Testator() override {
        ObjectSystem& objects = Torvane::Game::getInstance()->getObjectSystem();
        *removedWhileDying = objects.removeObject(victim);
        objects.addObject(lastHeir);
    }
    void draw(BITMAP*, int, int) override {
        if (drawnHeir->isVisible()) return;
        drawnHeir->show();
        Torvane::Game::getInstance()->getObjectSystem().addObject(drawnHeir);
    }
};

class ObjectSystemTest : public testing::Test {
protected:
    void SetUp() override {
        objects().cleanupObjects();
        blocks().initialize(1000, 600);
    }
    void TearDown() override {
        objects().cleanupObjects();
        destroy_bitmap(canvas);
    }
    static ObjectSystem& objects() { return headlessGame().getObjectSystem(); }
    static BlockSystem& blocks() { return headlessGame().getBlockSystem(); }
    static bool inGrid(Object* o) {
        for (unsigned int row = 0; row < blocks().getRows(); ++row)
            for (unsigned int column = 0; column < blocks().getColumns(); ++column) {
                const std::vector<Object*>& block = *blocks().getBlock(row, column);
                if (std::find(block.begin(), block.end(), o) != block.end()) return true;
            }
        return false;
    }
    static Object* piece(int x, int y, int w, int h) {
        Object* o = new Object();
        o->setX(x).setY(y).setWidth(w).setHeight(h).setCollidable(true).show();
        return o;
    }
    // Members, so they outlive the objects that write into them until TearDown.
    std::vector<std::string> diary;
    std::vector<std::string> childDiary;
    BITMAP* canvas = create_bitmap(64, 64);
};

}  // namespace

TEST_F(ObjectSystemTest, AddsListsFindsAndTakesOutObjectsOutsideWalks) {
    Object* solid = piece(10, 10, 50, 50);
    Object* decoration = new Object();
    decoration->setWidth(20).setHeight(20);
    objects().addObject(solid);
    objects().addObject(decoration);
    EXPECT_EQ(objects().getObjectCount(), 2);
    EXPECT_TRUE(inGrid(solid)) << "a collidable object is entered into the grid at once";
    EXPECT_FALSE(inGrid(decoration));
    EXPECT_EQ(objects().getObjectById(decoration->getId()), decoration);
    EXPECT_EQ(objects().getObjectById(-5), nullptr);

    EXPECT_TRUE(objects().removeObject(decoration));
    EXPECT_FALSE(objects().removeObject(decoration)) << "no longer listed";
    EXPECT_EQ(objects().getObjectCount(), 1);
    delete decoration;  // removeObject hands it back undestroyed
}

TEST_F(ObjectSystemTest, ObjectsAddedDuringAWalkJoinAtTheEndOfTheFrameInOrder) {
    Spawner* spawner = new Spawner(&diary, "spawner");
    spawner->childDiary = &childDiary;
    spawner->show();
    objects().addObject(spawner);

    objects().moveObjects();
    ASSERT_NE(spawner->child, nullptr);
    EXPECT_EQ(objects().getObjectCount(), 1) << "the child waits";
    EXPECT_EQ(objects().getPendingCount(), 1);
    EXPECT_EQ(objects().getObjectById(spawner->child->getId()), nullptr) << "pending objects are not found";
    objects().drawObjects(canvas, 0, 0);
    EXPECT_TRUE(childDiary.empty()) << "neither moved nor drawn in the frame it was made";
    objects().removeDeadObjects();
    EXPECT_EQ(objects().getObjectCount(), 2);
    EXPECT_EQ(objects().getObjects().back(), spawner->child);
    EXPECT_EQ(objects().getObjectById(spawner->child->getId()), spawner->child);

    objects().moveObjects();
    objects().drawObjects(canvas, 3, 4);
    EXPECT_EQ(childDiary, (std::vector<std::string>{"move child", "draw child 3,4"}));

    // Several pending objects join in the order they were made.
    class Burst : public Object {
    public:
        std::vector<Object*> made;
        void move() override {
            for (int i = 0; i < 3; ++i) {
                made.push_back(new Object());
                Torvane::Game::getInstance()->getObjectSystem().addObject(made.back());
            }
        }
    };
    Burst* burst = new Burst();
    objects().addObject(burst);
    objects().moveObjects();
    objects().removeDeadObjects();
    ASSERT_EQ(burst->made.size(), 3u);
    std::vector<Object*> tail(objects().getObjects().end() - 3, objects().getObjects().end());
    EXPECT_EQ(tail, burst->made);
}

TEST_F(ObjectSystemTest, RemovalsAndCleanupDuringAWalkAreRefusedWithTheMessage) {
    Quitter* quitter = new Quitter();
    quitter->show();
    objects().addObject(quitter);
    testing::internal::CaptureStdout();
    objects().moveObjects();
    objects().drawObjects(canvas, 0, 0);
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(quitter->removedInMove);
    EXPECT_FALSE(quitter->removedInDraw);
    EXPECT_FALSE(quitter->cleanedUp);
    EXPECT_NE(said.find("You should not remove Object when iterating .."), std::string::npos) << said;
    EXPECT_NE(said.find("You should not cleanupObjects while iterating."), std::string::npos) << said;
    EXPECT_NE(said.find("You should not removeDeadObjects while iterating."), std::string::npos) << said;
    EXPECT_EQ(objects().getObjectCount(), 1) << "nothing changed";
    EXPECT_EQ(objects().getObjectById(quitter->getId()), quitter);
    EXPECT_FALSE(objects().isIterating());
    objects().removeDeadObjects();
    EXPECT_EQ(objects().getObjectCount(), 0) << "the sweep at the end of the frame takes it";
}

TEST_F(ObjectSystemTest, TheDrawingAndSweepingWalksQueueAdditionsAndRefuseRemovalsToo) {
    Object* victim = piece(500, 100, 20, 20);
    objects().addObject(victim);
    Testator* testator = new Testator();
    testator->drawnHeir = piece(100, 100, 20, 20);
    testator->drawnHeir->hide();
    testator->lastHeir = piece(300, 100, 20, 20);
    testator->victim = victim;
    bool removedWhileDying = true;
    testator->removedWhileDying = &removedWhileDying;
    testator->show();
    objects().addObject(testator);

    objects().drawObjects(canvas, 0, 0);
    EXPECT_EQ(objects().getObjectCount(), 2) << "made while drawing: it waits";
    EXPECT_EQ(objects().getPendingCount(), 1);
    EXPECT_FALSE(inGrid(testator->drawnHeir)) << "nor is it in the grid yet";
    Object* drawnHeir = testator->drawnHeir;
    Object* lastHeir = testator->lastHeir;

    testator->die();
    testing::internal::CaptureStdout();
    objects().removeDeadObjects();
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(removedWhileDying);
    EXPECT_NE(said.find("You should not remove Object when iterating .."), std::string::npos) << said;
    EXPECT_EQ(objects().getObjects(), (std::vector<Object*>{victim, drawnHeir, lastHeir}))
        << "the victim stays; both heirs join after the sweep, in the order they were made";
    EXPECT_EQ(objects().getPendingCount(), 0);
    EXPECT_TRUE(inGrid(drawnHeir));
    EXPECT_TRUE(inGrid(lastHeir));
}

TEST_F(ObjectSystemTest, DeadObjectsAreSkippedDrawnOnceMoreAndDestroyedAfterDrawing) {
    Diarist* a = new Diarist(&diary, "a");
    Diarist* b = new Diarist(&diary, "b");
    Diarist* c = new Diarist(&diary, "c");
    Diarist* d = new Diarist(&diary, "d");
    Diarist* hidden = new Diarist(&diary, "hidden");
    for (Diarist* o : {a, b, c, d}) {
        o->show();
        objects().addObject(o);
    }
    objects().addObject(hidden);
    b->die();
    c->die();  // two dead in a row

    objects().moveObjects();
    objects().drawObjects(canvas, 0, 0);
    objects().removeDeadObjects();
    EXPECT_EQ(diary, (std::vector<std::string>{"move a", "move d", "move hidden", "draw a 0,0", "draw b 0,0",
                                               "draw c 0,0", "draw d 0,0", "destroy b", "destroy c"}));
    EXPECT_EQ(objects().getObjects(), (std::vector<Object*>{a, d, hidden})) << "the order of the rest is kept";

    diary.clear();
    objects().drawObjects(canvas, 0, 0);
    EXPECT_EQ(diary, (std::vector<std::string>{"draw a 0,0", "draw d 0,0"})) << "gone the next frame";
}

TEST_F(ObjectSystemTest, DeadCollidableObjectsLeaveTheGridBeforeTheyAreDestroyed) {
    Object* crate = piece(100, 100, 40, 40);
    objects().addObject(crate);
    ASSERT_TRUE(inGrid(crate));
    crate->die();
    objects().removeDeadObjects();
    EXPECT_EQ(objects().getObjectCount(), 0);
    EXPECT_EQ(blocks().getObjectByPosition(120, 120), nullptr);
    int hx, hy;
    EXPECT_FALSE(blocks().checkLineCollision(0, 50, 120, 300, 120, &hx, &hy)) << "its outline is gone";
}

TEST_F(ObjectSystemTest, MovingObjectsAreReenteredUnderTheirNewBoxAndPushedOutOfWalls) {
    Object* wall = piece(300, 0, 50, 400);
    objects().addObject(wall);
    Object* slider = piece(150, 100, 20, 20);
    slider->setVelocity(Vector(60, 0));
    objects().addObject(slider);

    objects().moveObjects();  // to x = 210: into block column 1 only
    EXPECT_EQ(slider->getX(), 210);
    EXPECT_EQ(blocks().getObjectByPosition(160, 110), nullptr) << "the old box left the grid";
    EXPECT_EQ(blocks().getObjectByPosition(215, 110), slider);
    int hx, hy;
    ASSERT_TRUE(blocks().checkLineCollision(0, 200, 110, 260, 110, &hx, &hy));
    EXPECT_EQ(hx, 210) << "and the outline moved along";

    slider->setVelocity(Vector(85, 0));  // the speed cap has slowed it; push it on
    objects().moveObjects();  // to x = 295: 15 pixels into the wall, pushed back out
    EXPECT_EQ(slider->getX(), 300 - 20 - 1);
    EXPECT_EQ(blocks().getObjectByPosition(285, 110), slider);

    // An object that does not move is not checked; one that moves into it is.
    Vector still(0, 0);
    slider->setVelocity(still);
    Object* rammer = piece(279, 200, 20, 20);
    rammer->setVelocity(Vector(0, -90));  // to y = 110, 10 pixels into the slider from below
    objects().addObject(rammer);
    objects().moveObjects();
    EXPECT_EQ(slider->getY(), 100) << "the slider did not move";
    EXPECT_EQ(rammer->getY(), 121) << "the rammer was pushed out below it";
}

TEST_F(ObjectSystemTest, AFighterThatWalksOffAPlatformFallsButAPlainBodyOnlyDropsItsPassengers) {
    class Crate : public RealBody {};
    Object* platform = piece(0, 300, 200, 20);
    objects().addObject(platform);

    Torvane::Player* fighter = new Torvane::Player();
    fighter->setX(150).setY(261);
    fighter->setWidth(20).setHeight(40);
    fighter->setBoard(platform);
    fighter->setFree(false);
    objects().addObject(fighter);
    fighter->setVelocity(Vector(300, 0));  // far off the platform's blocks in one frame

    Crate* crate = new Crate();
    crate->setX(100).setY(271);
    crate->setWidth(30).setHeight(30);
    crate->setBoard(platform);
    crate->setFree(false);
    objects().addObject(crate);
    Crate* rider = new Crate();
    rider->setX(105).setY(242).setWidth(10).setHeight(30);
    rider->setBoard(crate);
    rider->setFree(false);
    objects().addObject(rider);
    ASSERT_EQ(crate->getPassengers().size(), 1u);
    crate->setVelocity(Vector(0, 400));  // somewhere far below, touching nothing

    objects().moveObjects();
    EXPECT_TRUE(fighter->isFree());
    EXPECT_EQ(fighter->getBoard(), nullptr);
    EXPECT_TRUE(rider->isFree()) << "what stood on the crate falls";
    EXPECT_EQ(rider->getBoard(), nullptr);
    EXPECT_TRUE(crate->getPassengers().empty());
    EXPECT_FALSE(crate->isFree()) << "a plain body keeps its own board";
    EXPECT_EQ(crate->getBoard(), platform);
}

TEST_F(ObjectSystemTest, DrawsVisibleObjectsShiftedByTheCamera) {
    BITMAP* target = create_bitmap(100, 100);
    clear_to_color(target, 0);
    class Tile : public Object {
    public:
        explicit Tile(BITMAP* bitmap) {
            picture = std::make_shared<const Torvane::Picture>(bitmap, nullptr);
            image = bitmap;
            width = bitmap->w;
            height = bitmap->h;
        }
    };
    BITMAP* red = create_bitmap(4, 4);
    clear_to_color(red, makecol(255, 0, 0));
    BITMAP* blue = create_bitmap(4, 4);
    clear_to_color(blue, makecol(0, 0, 255));
    Tile* shown = new Tile(red);
    shown->setX(530).setY(220).show();
    Tile* hidden = new Tile(blue);
    hidden->setX(540).setY(220);
    objects().addObject(shown);
    objects().addObject(hidden);
    objects().drawObjects(target, 500, 200);
    EXPECT_EQ(getpixel(target, 30, 20), makecol(255, 0, 0));
    EXPECT_EQ(getpixel(target, 33, 23), makecol(255, 0, 0));
    EXPECT_EQ(getpixel(target, 34, 24), 0);
    EXPECT_EQ(getpixel(target, 40, 20), 0) << "invisible objects are not drawn";
    destroy_bitmap(target);
}
