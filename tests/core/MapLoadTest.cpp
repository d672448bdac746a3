#include <gtest/gtest.h>
#include <unistd.h>

#include <allegro.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/TemporaryFile.h"
#include "core/MapFile.h"
#include "fighters/Player.h"
#include "fighters/RealBody.h"
#include "tests/support/HeadlessGame.h"

using Torvane::Game;
using Torvane::Object;

namespace {

class Weight : public Torvane::RealBody {
public:
    Weight(int x, int y) { setX(x).setY(y).setWidth(20).setHeight(30); }
};

class MapLoadTest : public testing::Test {
protected:
    void SetUp() override {
        // Pictures load at the depth the game runs at, whatever a test before this one left.
        set_color_depth(32);
        game().getObjectSystem().cleanupObjects();
    }
    void TearDown() override { game().getObjectSystem().cleanupObjects(); }
    static Game& game() { return headlessGame(); }
    static int solidCount() {
        int count = 0;
        for (Object* o : game().getObjectSystem().getObjects()) count += o->isCollidable();
        return count;
    }
    // Loads a map and returns what it printed.
    static std::string load(const std::string& path) {
        testing::internal::CaptureStdout();
        game().loadMap(path.c_str());
        return testing::internal::GetCapturedStdout();
    }
};

}  // namespace

TEST_F(MapLoadTest, TheRealMapLoadsWholeAndBodiesDroppedOnItComeToRestOnTheGround) {
    Torvane::MapFile file;
    ASSERT_TRUE(file.load("map/valley.map"));
    ASSERT_TRUE(file.isComplete()) << file.getError();
    EXPECT_GE(file.getWidth(), 3000);
    EXPECT_GE(file.getHeight(), 1200);

    std::string said = load("map/valley.map");
    EXPECT_EQ(said, "") << "no missing pictures, no problems";
    Torvane::MapSystem& map = game().getMapSystem();
    EXPECT_EQ(map.getWidth(), file.getWidth());
    EXPECT_EQ(map.getBackgroundColor(), makecol(file.getRed(), file.getGreen(), file.getBlue()));
    EXPECT_EQ(game().getObjectSystem().getObjectCount(), static_cast<int>(file.getPieces().size()));
    int solids = 0;
    for (size_t i = 0; i < file.getPieces().size(); ++i) {
        const Torvane::MapPiece& piece = file.getPieces()[i];
        Object* o = game().getObjectSystem().getObjects()[i];
        EXPECT_EQ(o->getX(), piece.x) << "pieces keep file order";
        EXPECT_EQ(o->getY(), piece.y);
        EXPECT_EQ(o->isCollidable(), piece.kind == 0);
        EXPECT_TRUE(o->isVisible());
        EXPECT_GT(o->getWidth(), 0) << piece.imageName << " has its picture";
        EXPECT_EQ(o->getLayer(), piece.layer);
        solids += piece.kind == 0;
    }
    EXPECT_GE(solids, 10);

    // Bodies dropped from the sky all over the map land on something solid and stay there.
    std::vector<Torvane::RealBody*> bodies;
    for (int x = 60; x < map.getWidth() - 60; x += 173) {
        bodies.push_back(new Weight(x, 20));
        game().getObjectSystem().addObject(bodies.back());
    }
    Weight* unlucky = new Weight(1225, 20);  // over the open pit
    game().getObjectSystem().addObject(unlucky);
    for (int frame = 0; frame < 600; ++frame) {
        game().getObjectSystem().moveObjects();
        game().getObjectSystem().removeDeadObjects();
    }
    EXPECT_GT(unlucky->getY(), map.getHeight()) << "the pit has no bottom";
    EXPECT_TRUE(unlucky->isFree());
    for (Torvane::RealBody* body : bodies) {
        EXPECT_FALSE(body->isFree()) << "x " << body->getX();
        ASSERT_NE(body->getBoard(), nullptr);
        EXPECT_TRUE(body->getBoard()->isCollidable());
        EXPECT_EQ(body->getY() + body->getHeight(), body->getBoard()->getY() + 1) << "one pixel into what holds it";
        EXPECT_EQ(body->getVelocity().y, 0.0f);
    }
}

TEST_F(MapLoadTest, LoadingEmptiesTheWorldHidesTheDialogAndDropsQueuedInput) {
    TemporaryFile text("1 1000 700 10 20 30 2\n"
                 "crate.bmp 5 0 100 600 0 0 0 0\n"
                 "bush.bmp 6 1 300 640 0 0 0 0\n");
    Torvane::Player* fighter = new Torvane::Player();
    game().addPlayer(fighter);
    game().setMainPlayer(fighter);
    // A bubble can be closed only after its first 30 frames.
    game().getDialog().show();
    for (int frame = 0; frame < 30; ++frame) game().getDialog().move();
    game().getEventSystem().addEvent(new Event{1, ACTION_JUMP, true, 0});
    int nextId = Object().getId() + 1;

    EXPECT_EQ(load(text.path), "");
    EXPECT_TRUE(game().getPlayers().empty());
    EXPECT_EQ(game().getMainPlayer(), nullptr);
    EXPECT_FALSE(game().getDialog().isVisible());
    EXPECT_EQ(game().getEventSystem().getEventCount(), 0u);
    ASSERT_EQ(game().getObjectSystem().getObjectCount(), 2) << "the fighter went with the old world";
    Object* crate = game().getObjectSystem().getObjects()[0];
    EXPECT_GE(crate->getId(), nextId) << "ids keep counting";
    EXPECT_EQ(crate->getWidth(), 64);
    EXPECT_EQ(game().getBlockSystem().getColumns(), 7u);
    EXPECT_EQ(game().getBlockSystem().getRows(), 5u);
    EXPECT_EQ(game().getBlockSystem().getObjectByPosition(130, 620), crate) << "solid pieces are in the grid";
    EXPECT_EQ(game().getBlockSystem().getObjectByPosition(320, 660), nullptr) << "decoration is not";
    EXPECT_EQ(game().getMapSystem().getBackgroundColor(), makecol(10, 20, 30));

    // A file that cannot be opened changes nothing, and one line says why.
    EXPECT_EQ(load("map/no-such-map.map"),
              "Map file map/no-such-map.map cannot be opened (No such file or directory); the world stays as it was.\n");
    EXPECT_EQ(game().getObjectSystem().getObjectCount(), 2);
    // Nor does one that opens but cannot be read.
    EXPECT_EQ(load("map"), "Map file map cannot be opened (it is a directory); the world stays as it was.\n");
    EXPECT_EQ(game().getObjectSystem().getObjectCount(), 2);
    EXPECT_EQ(game().getMapSystem().getWidth(), 1000);
    game().loadMap(nullptr);
    EXPECT_EQ(game().getObjectSystem().getObjectCount(), 2);
}

TEST_F(MapLoadTest, UnknownKindsAreSkippedAndMissingPicturesLeaveAnEmptyPiece) {
    TemporaryFile text("1 1000 700 10 20 30 3\n"
                 "crate.bmp 5 2 100 600 0 0 0 0\n"
                 "nothing-here.bmp 5 0 200 600 0 0 0 0\n"
                 "crate_small.bmp 5 1 300 640 0 0 0 0\n");
    std::string said = load(text.path);
    EXPECT_EQ(said, "Failed to load bitmap image/object/nothing-here.bmp (No such file or directory)\n");
    ASSERT_EQ(game().getObjectSystem().getObjectCount(), 2) << "kind 2 makes no piece";
    Object* missing = game().getObjectSystem().getObjects()[0];
    EXPECT_EQ(missing->getX(), 200) << "the record after the skipped one is read correctly";
    EXPECT_EQ(missing->getWidth(), 0);
    EXPECT_TRUE(missing->isCollidable());
    Object* small = game().getObjectSystem().getObjects()[1];
    EXPECT_EQ(small->getWidth(), 40);
    EXPECT_FALSE(small->isCollidable());
}

TEST_F(MapLoadTest, BrokenMapsSayWhatIsWrongLoadWhatCameBeforeAndLeaveAWorkingWorld) {
    struct Case {
        std::string text;
        std::string message;
        int objects;
        int width;  // of the map after loading
    };
    std::string crate = "crate.bmp 5 0 100 600 0 0 0 0\n";
    Case cases[] = {
        {"1 1000 700 10 20 30 3\n" + crate + crate + "crate.bmp 5 0 1", "record 3 of 3: the file ends where", 2, 1000},
        {"1 1200 700 10 20 30 -4\n", "the piece count \"-4\" is outside 0 to 10000", 0, 1200},
        {"1 1300 700 10 20 30 123456789\n" + crate, "the piece count \"123456789\" is outside", 0, 1300},
        {"1 -640 700 10 20 30 0\n", "the map width \"-640\" is outside 1 to 16384", 0, 1300},
        {"1 99999 99999 10 20 30 0\n", "the map width \"99999\" is outside", 0, 1300},
        {"1 1400 700 ten 20 30 0\n", "the background red \"ten\" is not a whole number", 0, 1400},
        {"1 1500 700 10 20 30 2\n" + crate + "crate.bmp five 0 1 1 0 0 0 0\n", "record 2 of 2: the layer \"five\"", 1,
         1500},
        {"", "the file ends where the first value should be", 0, 1500},
    };
    for (const Case& c : cases) {
        TemporaryFile text(c.text);
        std::string said = load(text.path);
        EXPECT_EQ(said.find("Map file " + text.path + ": "), 0u) << said;
        EXPECT_NE(said.find(c.message), std::string::npos) << said;
        EXPECT_NE(said.find("the rest of the map is not loaded."), std::string::npos) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << "one message: " << said;
        EXPECT_EQ(game().getObjectSystem().getObjectCount(), c.objects) << c.text;
        EXPECT_EQ(game().getMapSystem().getWidth(), c.width) << c.text;
        EXPECT_EQ(game().getBlockSystem().getColumns(), static_cast<unsigned>(c.width / 200 + 2))
            << "the grid matches the map and holds nothing of the old world";

        // The world goes on: a body dropped into it falls, collides and is removed.
        Weight* body = new Weight(100, 500);
        game().getObjectSystem().addObject(body);
        for (int frame = 0; frame < 60; ++frame) {
            game().getObjectSystem().moveObjects();
            game().getObjectSystem().removeDeadObjects();
        }
        EXPECT_EQ(body->isFree(), c.objects == 0) << "lands on a crate when one was loaded";
    }
}
