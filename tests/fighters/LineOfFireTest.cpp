// Fighters walk all over the real map; afterwards every solid piece must still
// stop lines wherever it is. Removing a fighter's outline from the block map
// once erased the edge of the ground it stood on, and shots went through.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <vector>

#include "tests/fighters/TestWorld.h"
#include "weapons/Blood.h"
#include "world/BlockSystem.h"

using Torvane::Object;
using Torvane::Player;

namespace {

class LineOfFireTest : public testing::Test {
protected:
    void SetUp() override {
        TestWorld::reset();
        TestWorld::game().loadMap("map/valley.map");
        for (Object* o : TestWorld::game().getObjectSystem().getObjects()) {
            if (o->isCollidable()) pieces.push_back(o);
        }
        ASSERT_GT(pieces.size(), 20u) << "the valley did not load";
    }
    void TearDown() override { TestWorld::reset(); }

    // Fighters dropped every `spacing` pixels along the map, two teams, each
    // walking right, then left twice as far, then back, one in four jumping on every landing.
    std::vector<Player*> walkEverywhere(int spacing, bool bleeding = false) {
        std::vector<Player*> fighters;
        int width = TestWorld::game().getMapSystem().getWidth();
        for (int x = spacing / 2; x < width - 40; x += spacing) {
            int team = fighters.size() % 2 ? makecol(200, 30, 30) : makecol(30, 60, 200);
            Player* p = TestWorld::addFighter(fighters.size() % 2 ? "kr" : "kt", x, 20, team);
            fighters.push_back(p);
        }
        TestWorld::step(300);
        if (bleeding) {
            // Every fighter is hit on its top row: ten drops each fly, land and lie
            // where the others walk afterwards.
            for (Player* p : fighters) {
                p->hit(p->getCentralX(), p->getY(), Vector(1, 0));
                p->setHealth(100);
            }
        }
        std::vector<bool> walked(width, false);
        for (int leg : {1, -2, 1}) {
            for (size_t i = 0; i < fighters.size(); ++i) {
                fighters[i]->setAction(Torvane::PlayerAction{1, fighters[i]->getX() + leg * spacing, 0});
                fighters[i]->jump(i % 4 == 0);
            }
            for (int frame = 0; frame < 2 * spacing / 3 + 60; ++frame) {
                TestWorld::step();
                for (Player* p : fighters) {
                    for (int x = std::max(0, p->getX()); x < std::min(width, p->getX() + p->getWidth()); ++x) {
                        walked[x] = true;
                    }
                }
            }
        }
        coverage = static_cast<double>(std::count(walked.begin(), walked.end(), true)) / width;
        return fighters;
    }

    double coverage = 0;  // the share of the map's columns some fighter passed through

    std::vector<Object*> pieces;
};

}  // namespace

TEST_F(LineOfFireTest, AfterFightersWalkedTheWholeValleyEveryPieceStillStopsLines) {
    walkEverywhere(60);
    ASSERT_GT(coverage, 0.95) << "the fighters did not walk the whole map";

    Torvane::BlockSystem& blocks = TestWorld::game().getBlockSystem();
    BITMAP* map = blocks.getBlockMap();
    for (Object* piece : pieces) {
        const int left = piece->getX(), top = piece->getY();
        const int right = left + piece->getWidth() - 1, bottom = top + piece->getHeight() - 1;
        SCOPED_TRACE(testing::Message() << "piece at " << left << "," << top << " size " << piece->getWidth() << "x"
                                        << piece->getHeight());
        int gaps = 0;
        for (int x = left; x <= right; ++x) {
            gaps += getpixel(map, x, top) == 0;
            gaps += bottom < map->h && getpixel(map, x, bottom) == 0;
        }
        for (int y = top; y <= bottom && y < map->h; ++y) {
            gaps += getpixel(map, left, y) == 0;
            gaps += right < map->w && getpixel(map, right, y) == 0;
        }
        EXPECT_EQ(gaps, 0) << "outline pixels worn away";

        // A line coming down onto the piece stops at its top edge or above it,
        // never inside it or at its bottom.
        int hitX = 0, hitY = 0;
        for (int x = left; x <= right && x < map->w; x += 3) {
            ASSERT_TRUE(blocks.checkLineCollision(0, x, top - 30, x, bottom + 30, &hitX, &hitY)) << "x " << x;
            ASSERT_LE(hitY, top) << "a line at x " << x << " went through the top edge";
        }
    }
}

TEST_F(LineOfFireTest, TheBlockMapShowsExactlyTheOutlinesOfWhatIsInTheWorld) {
    walkEverywhere(90, true);
    ASSERT_GE(TestWorld::countObjects<Torvane::Blood>(), 300);
    // A block map built afresh from the world as it now stands: the walked one
    // must light exactly the same pixels, no more and no fewer.
    Torvane::Game& game = TestWorld::game();
    Torvane::BlockSystem fresh;
    fresh.initialize(game.getMapSystem().getWidth(), game.getMapSystem().getHeight());
    for (Object* o : game.getObjectSystem().getObjects()) {
        if (o->isCollidable()) fresh.addObject(o);
    }
    BITMAP* walked = game.getBlockSystem().getBlockMap();
    BITMAP* expected = fresh.getBlockMap();
    int missing = 0, extra = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < walked->h; ++y) {
        for (int x = 0; x < walked->w; ++x) {
            bool lit = getpixel(walked, x, y) != 0, shouldBe = getpixel(expected, x, y) != 0;
            if (lit == shouldBe) continue;
            (lit ? extra : missing) += 1;
            if (firstX < 0) firstX = x, firstY = y;
        }
    }
    EXPECT_EQ(missing, 0) << "first difference at " << firstX << "," << firstY;
    EXPECT_EQ(extra, 0) << "stale outline pixels; first difference at " << firstX << "," << firstY;
    for (Object* o : game.getObjectSystem().getObjects()) {
        if (o->isCollidable()) fresh.removeObject(o);
    }
}
