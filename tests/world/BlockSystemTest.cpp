#include <gtest/gtest.h>

#include <allegro.h>
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "fighters/Player.h"
#include "world/BlockSystem.h"
#include "world/Object.h"

using Torvane::BlockSystem;
using Torvane::Object;

namespace {

Object* box(int x, int y, int w, int h, bool collidable = true) {
    Object* o = new Object();
    o->setX(x).setY(y).setWidth(w).setHeight(h).setCollidable(collidable);
    return o;
}

bool listed(const BlockSystem& blocks, unsigned int row, unsigned int column, Object* o) {
    const std::vector<Object*>* block = blocks.getBlock(row, column);
    return block && std::count(block->begin(), block->end(), o) == 1;
}

int listings(const BlockSystem& blocks, Object* o) {
    int count = 0;
    for (unsigned int row = 0; row < blocks.getRows(); ++row)
        for (unsigned int column = 0; column < blocks.getColumns(); ++column)
            count += static_cast<int>(std::count(blocks.getBlock(row, column)->begin(),
                                                 blocks.getBlock(row, column)->end(), o));
    return count;
}

// Bytes of heap in use now. The sanitizers bring their own allocator, which
// glibc's statistics do not see.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
size_t heapInUse() { return __sanitizer_get_current_allocated_bytes(); }
#else
size_t heapInUse() {
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;  // small blocks, and large ones mapped on their own
}
#endif

// Counts the collide calls a probe receives and whom they named.
class Probe : public Object {
public:
    std::vector<Object*> offered;
    bool answer = true;
    bool collide(Object* other) override {
        offered.push_back(other);
        return answer && Object::collide(other);
    }
};

}  // namespace

TEST(BlockSystem, GridSizeIsFullBlocksPlusTwoAndIsRebuiltOnEveryInitialize) {
    BlockSystem blocks;
    EXPECT_EQ(blocks.getRows(), 0u);
    EXPECT_EQ(blocks.getBlockMap(), nullptr);
    blocks.initialize(1000, 600);
    EXPECT_EQ(blocks.getColumns(), 7u);
    EXPECT_EQ(blocks.getRows(), 5u);
    ASSERT_NE(blocks.getBlockMap(), nullptr);
    EXPECT_EQ(blocks.getBlockMap()->w, 1000);
    EXPECT_EQ(blocks.getBlockMap()->h, 600);
    EXPECT_EQ(getpixel(blocks.getBlockMap(), 500, 300), 0) << "the block map starts black";

    Object* o = box(10, 10, 30, 30);
    blocks.addObject(o);
    EXPECT_TRUE(listed(blocks, 0, 0, o));
    blocks.initialize(199, 201);
    EXPECT_EQ(blocks.getColumns(), 2u);
    EXPECT_EQ(blocks.getRows(), 3u);
    EXPECT_EQ(listings(blocks, o), 0) << "a new map starts with an empty grid";
    EXPECT_EQ(getpixel(blocks.getBlockMap(), 10, 10), 0) << "and a clean block map";
    delete o;
}

TEST(BlockSystem, TheGridAndBlockMapAreFreedOnReinitializeAndDestruction) {
    // A 4000 x 3000 block map takes 48 MB at 32 bits a pixel: far above anything
    // else the test program allocates meanwhile.
    set_color_depth(32);
    const size_t mapBytes = 4000u * 3000u * 4u;
    const size_t slack = mapBytes / 8;
    size_t before = heapInUse();
    {
        BlockSystem blocks;
        blocks.initialize(4000, 3000);
        EXPECT_GT(heapInUse(), before + mapBytes - slack) << "the block map is on the heap";
        for (int i = 0; i < 3; ++i) blocks.initialize(4000, 3000);
        EXPECT_LT(heapInUse(), before + mapBytes + slack) << "each new map replaces the old one";
        blocks.initialize(10, 10);
        EXPECT_LT(heapInUse(), before + slack);
        blocks.initialize(4000, 3000);
    }
    EXPECT_LT(heapInUse(), before + slack) << "destruction frees the grid and the block map";
}

TEST(BlockSystem, UnusableMapSizesLeaveNoGridAndEveryQuestionAnswersSafely) {
    BlockSystem blocks;
    for (auto size : {std::pair<int, int>{0, 100}, {100, -5}, {BlockSystem::maxMapSide + 1, 10}, {16384, 16384}}) {
        blocks.initialize(1000, 600);
        blocks.initialize(size.first, size.second);
        EXPECT_EQ(blocks.getRows(), 0u) << size.first << " x " << size.second;
        EXPECT_EQ(blocks.getBlockMap(), nullptr);
        Object* o = box(10, 10, 30, 30);
        blocks.addObject(o);
        EXPECT_FALSE(blocks.checkCollision(o));
        EXPECT_EQ(blocks.getObjectByPosition(20, 20), nullptr);
        int hx = 0, hy = 0;
        EXPECT_TRUE(blocks.checkLineCollision(0, 5, 6, 50, 60, &hx, &hy)) << "no map: the first point is already off it";
        EXPECT_EQ(hx, 5);
        EXPECT_EQ(hy, 6);
        blocks.removeObject(o);
        delete o;
    }
}

TEST(BlockSystem, BoxesAreListedInEveryBlockTheyReachIncludingEdgesOnBoundaries) {
    BlockSystem blocks;
    blocks.initialize(1000, 600);
    Object* across = box(190, 0, 20, 20);
    Object* onBoundary = box(180, 0, 20, 20);
    Object* inside = box(10, 10, 20, 20);
    Object* corner = box(390, 390, 10, 10);  // right and bottom exactly on 400
    for (Object* o : {across, onBoundary, inside, corner}) blocks.addObject(o);

    EXPECT_TRUE(listed(blocks, 0, 0, across));
    EXPECT_TRUE(listed(blocks, 0, 1, across));
    EXPECT_EQ(listings(blocks, across), 2);
    EXPECT_TRUE(listed(blocks, 0, 0, onBoundary));
    EXPECT_TRUE(listed(blocks, 0, 1, onBoundary)) << "a right edge on the boundary reaches the next block";
    EXPECT_EQ(listings(blocks, onBoundary), 2);
    EXPECT_EQ(listings(blocks, inside), 1);
    EXPECT_TRUE(listed(blocks, 1, 1, corner));
    EXPECT_TRUE(listed(blocks, 1, 2, corner));
    EXPECT_TRUE(listed(blocks, 2, 1, corner));
    EXPECT_TRUE(listed(blocks, 2, 2, corner));
    EXPECT_EQ(listings(blocks, corner), 4);

    for (Object* o : {across, onBoundary, inside, corner}) {
        blocks.removeObject(o);
        EXPECT_EQ(listings(blocks, o), 0);
        delete o;
    }
}

TEST(BlockSystem, NegativeAndFarCoordinatesFollowTheUnsignedBlockIndices) {
    BlockSystem blocks;
    blocks.initialize(1000, 600);
    Object* farLeft = box(-250, 10, 300, 20);   // reaches to x = 50, but -250 / 200 is -1
    Object* nearLeft = box(-150, 10, 200, 20);  // -150 / 200 is 0
    Object* farRight = box(1300, 10, 500, 20);  // starts in column 6, the last one
    Object* beyond = box(1500, 10, 20, 20);     // column 7 does not exist
    for (Object* o : {farLeft, nearLeft, farRight, beyond}) blocks.addObject(o);

    EXPECT_EQ(listings(blocks, farLeft), 0);
    EXPECT_NE(getpixel(blocks.getBlockMap(), 0, 10), 0) << "its outline is still drawn where it reaches the map";
    EXPECT_TRUE(listed(blocks, 0, 0, nearLeft));
    EXPECT_EQ(listings(blocks, nearLeft), 1);
    EXPECT_TRUE(listed(blocks, 0, 6, farRight));
    EXPECT_EQ(listings(blocks, farRight), 1) << "the part beyond the grid is ignored";
    EXPECT_EQ(listings(blocks, beyond), 0);
    EXPECT_EQ(blocks.getBlock(0, 7), nullptr);
    EXPECT_EQ(blocks.getBlock(5, 0), nullptr);
    for (Object* o : {farLeft, nearLeft, farRight, beyond}) {
        blocks.removeObject(o);
        delete o;
    }

    // The same holds for rows: a top at -250 is in block row -1, a top at -150 in row 0.
    Object* farUp = box(10, -250, 20, 300);  // reaches down to y = 50
    Object* nearUp = box(10, -150, 20, 200);
    blocks.addObject(farUp);
    blocks.addObject(nearUp);
    EXPECT_EQ(listings(blocks, farUp), 0);
    EXPECT_TRUE(listed(blocks, 0, 0, nearUp));
    EXPECT_EQ(listings(blocks, nearUp), 1);
    EXPECT_EQ(blocks.getObjectByPosition(20, 40), nearUp) << "the box that starts above the map is not found";
    for (Object* o : {farUp, nearUp}) {
        blocks.removeObject(o);
        delete o;
    }
}

TEST(BlockSystem, OnlyCollidableObjectsEnterAndOutlinesAreWhiteExceptFightersInTheirColour) {
    BlockSystem blocks;
    blocks.initialize(400, 400);
    BITMAP* map = blocks.getBlockMap();
    Object* ghost = box(10, 10, 20, 20, false);
    blocks.addObject(ghost);
    EXPECT_EQ(listings(blocks, ghost), 0);
    EXPECT_EQ(getpixel(map, 10, 10), 0);

    Object* crate = box(10, 10, 20, 20);
    blocks.addObject(crate);
    int white = makecol(255, 255, 255);
    EXPECT_EQ(getpixel(map, 10, 10), white) << "corner";
    EXPECT_EQ(getpixel(map, 29, 29), white) << "the outline ends at the last pixel, right - 1";
    EXPECT_EQ(getpixel(map, 30, 30), 0);
    EXPECT_EQ(getpixel(map, 20, 20), 0) << "only the outline is drawn";

    Torvane::Player fighter;
    int teal = makecol(20, 200, 180);
    fighter.setColor(teal);
    fighter.setX(100).setY(100);
    fighter.setWidth(20).setHeight(40);
    blocks.addObject(&fighter);
    EXPECT_EQ(getpixel(map, 100, 120), teal);
    int hx = 0, hy = 0;
    EXPECT_FALSE(blocks.checkLineCollision(teal, 50, 120, 200, 120, &hx, &hy)) << "its own shots pass through it";
    ASSERT_TRUE(blocks.checkLineCollision(makecol(200, 0, 0), 50, 120, 200, 120, &hx, &hy)) << "others' stop there";
    EXPECT_EQ(hx, 100);

    // Computer players and any other kind of fighter are outlined in their colour too.
    class Recruit : public Torvane::Player {};
    Recruit recruit;
    int olive = makecol(120, 130, 40);
    recruit.setColor(olive);
    recruit.setX(200).setY(100);
    recruit.setWidth(20).setHeight(40);
    blocks.addObject(&recruit);
    EXPECT_EQ(getpixel(map, 200, 120), olive);
    EXPECT_FALSE(blocks.checkLineCollision(olive, 150, 120, 300, 120, &hx, &hy));
    blocks.removeObject(&recruit);

    // The inspection view copies the block map from a corner onto the whole target.
    BITMAP* view = create_bitmap(50, 50);
    blocks.draw(view, 90, 90);
    EXPECT_EQ(getpixel(view, 10, 30), teal) << "fighter's left edge at (100, 120)";
    EXPECT_EQ(getpixel(view, 20, 30), 0);
    destroy_bitmap(view);

    blocks.removeObject(&fighter);
    EXPECT_EQ(getpixel(map, 100, 120), 0) << "removal paints the outline black";
    blocks.removeObject(crate);
    delete crate;
    delete ghost;
}

TEST(BlockSystem, CheckCollisionOffersEveryNeighbourOncePerSharedBlockAndWalksToTheEnd) {
    BlockSystem blocks;
    blocks.initialize(1000, 600);
    Object* wide = box(150, 100, 100, 50);    // columns 0 and 1
    Object* far = box(700, 100, 50, 50);      // column 3
    Object* small = box(20, 20, 10, 10);      // column 0, not touching
    for (Object* o : {wide, far, small}) blocks.addObject(o);

    Probe probe;
    probe.setX(180).setY(90).setWidth(40).setHeight(20).setCollidable(true);
    // The probe is not in the grid itself; it reaches columns 0 and 1 of row 0.
    EXPECT_TRUE(blocks.checkCollision(&probe));
    EXPECT_EQ(std::count(probe.offered.begin(), probe.offered.end(), wide), 2) << "shared in two blocks";
    EXPECT_EQ(std::count(probe.offered.begin(), probe.offered.end(), small), 1) << "the walk goes on after a hit";
    EXPECT_EQ(std::count(probe.offered.begin(), probe.offered.end(), far), 0);
    EXPECT_FALSE(blocks.isIterating());

    probe.offered.clear();
    probe.answer = false;
    EXPECT_FALSE(blocks.checkCollision(&probe));
    EXPECT_EQ(probe.offered.size(), 3u);

    blocks.addObject(&probe);
    probe.offered.clear();
    blocks.checkCollision(&probe);
    EXPECT_EQ(std::count(probe.offered.begin(), probe.offered.end(), static_cast<Object*>(&probe)), 0)
        << "an object is never offered itself";
    blocks.removeObject(&probe);

    // The range is fixed when the walk starts, although collide pushes the object away.
    class Drifter : public Object {
    public:
        std::vector<Object*> offered;
        bool collide(Object* other) override {
            offered.push_back(other);
            setX(750);  // into column 3, where only far is
            return false;
        }
    };
    Drifter drifter;
    drifter.setX(180).setY(90).setWidth(40).setHeight(20).setCollidable(true);
    blocks.checkCollision(&drifter);
    EXPECT_EQ(drifter.offered.size(), 3u) << "wide in both blocks and small, as from where the walk began";
    EXPECT_EQ(std::count(drifter.offered.begin(), drifter.offered.end(), far), 0);
    for (Object* o : {wide, far, small}) {
        blocks.removeObject(o);
        delete o;
    }
}

namespace {
// Tries to change the grid from inside a walk.
class Meddler : public Object {
public:
    BlockSystem* blocks = nullptr;
    Object* victim = nullptr;
    Object* newcomer = nullptr;
    bool collide(Object*) override {
        blocks->removeObject(victim);
        blocks->addObject(newcomer);
        blocks->initialize(10, 10);
        // A nested question must not lift the guard of the walk around it.
        blocks->getObjectByPosition(0, 0);
        blocks->removeObject(victim);
        return false;
    }
};
}  // namespace

TEST(BlockSystem, ChangesDuringAWalkAreRefusedAndChangeNothing) {
    BlockSystem blocks;
    blocks.initialize(1000, 600);
    Object* victim = box(10, 10, 20, 20);
    Object* newcomer = box(40, 40, 20, 20);
    blocks.addObject(victim);
    Meddler meddler;
    meddler.blocks = &blocks;
    meddler.victim = victim;
    meddler.newcomer = newcomer;
    meddler.setX(0).setY(0).setWidth(50).setHeight(50).setCollidable(true);

    testing::internal::CaptureStdout();
    blocks.checkCollision(&meddler);
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("You should not removeObject while iterating."), std::string::npos) << said;
    EXPECT_NE(said.find("You should not addObject while iterating."), std::string::npos) << said;
    EXPECT_EQ(blocks.getColumns(), 7u) << "the grid was not rebuilt under the walk";
    EXPECT_TRUE(listed(blocks, 0, 0, victim));
    EXPECT_EQ(listings(blocks, newcomer), 0);
    EXPECT_NE(getpixel(blocks.getBlockMap(), 10, 10), 0) << "the outline stays";
    EXPECT_FALSE(blocks.isIterating());

    blocks.addObject(newcomer);
    EXPECT_TRUE(listed(blocks, 0, 0, newcomer)) << "after the walk changes are allowed again";
    blocks.removeObject(newcomer);
    blocks.removeObject(victim);
    delete newcomer;
    delete victim;
}

TEST(BlockSystem, LineTracesStopAtOutlinesPassTheirOwnColourAndHitOffTheMap) {
    BlockSystem blocks;
    blocks.initialize(1000, 600);
    int hx = -1, hy = -1;

    EXPECT_FALSE(blocks.checkLineCollision(0, 10, 300, 900, 300, &hx, &hy)) << "an empty map stops nothing";
    EXPECT_EQ(hx, -1) << "a miss leaves the hit point alone";

    Object* wall = box(500, 200, 40, 200);
    blocks.addObject(wall);
    EXPECT_TRUE(blocks.checkLineCollision(0, 10, 300, 900, 300, &hx, &hy));
    EXPECT_EQ(hx, 500);
    EXPECT_EQ(hy, 300);
    EXPECT_TRUE(blocks.checkLineCollision(0, 900, 300, 10, 300, &hx, &hy)) << "from the other side";
    EXPECT_EQ(hx, 539);
    EXPECT_FALSE(blocks.checkLineCollision(0, 505, 250, 530, 350, &hx, &hy))
        << "a line inside a box that crosses no outline does not hit it";

    // Outlines in a fighter's colour let that fighter's shots through.
    int red = makecol(220, 30, 30);
    rect(blocks.getBlockMap(), 100, 250, 119, 289, red);
    EXPECT_TRUE(blocks.checkLineCollision(0, 10, 270, 300, 270, &hx, &hy));
    EXPECT_EQ(hx, 100);
    EXPECT_FALSE(blocks.checkLineCollision(red, 10, 270, 300, 270, &hx, &hy));
    EXPECT_TRUE(blocks.checkLineCollision(red, 10, 270, 700, 270, &hx, &hy));
    EXPECT_EQ(hx, 500) << "and stop at the next outline of another colour";

    // Off the map: the first point outside counts as a hit.
    EXPECT_TRUE(blocks.checkLineCollision(0, 100, 100, 100, -50, &hx, &hy));
    EXPECT_EQ(hx, 100);
    EXPECT_EQ(hy, -1);
    EXPECT_TRUE(blocks.checkLineCollision(0, 990, 100, 1200, 100, &hx, &hy));
    EXPECT_EQ(hx, 1000);
    EXPECT_EQ(hy, 100);
    EXPECT_TRUE(blocks.checkLineCollision(0, -30, 100, 50, 100, &hx, &hy)) << "a start off the map is hit at once";
    EXPECT_EQ(hx, -30);
    EXPECT_EQ(hy, 100);
    // Far-away targets (a script may aim anywhere) end at the map's edge, quickly.
    EXPECT_TRUE(blocks.checkLineCollision(0, 700, 100, 700, 2000000000, &hx, &hy));
    EXPECT_EQ(hx, 700);
    EXPECT_EQ(hy, 600);
    EXPECT_TRUE(blocks.checkLineCollision(0, 100, 550, -2000000000, 550, &hx, &hy));
    EXPECT_EQ(hx, -1);
    EXPECT_EQ(hy, 550);
    EXPECT_TRUE(blocks.checkLineCollision(0, 10, 10, 2147483647, -2147483647 - 1, &hx, &hy));
    EXPECT_GE(hx, 10);
    EXPECT_EQ(hy, -1) << "a diagonal leaves through the top";
    blocks.removeObject(wall);
    delete wall;
}

TEST(BlockSystem, LineTracesVisitPointsInTheOrderOfAllegrosLineWalk) {
    // A single marked pixel is hit exactly when Allegro's own walk passes it, in
    // every direction; the first of several marked pixels is the one it reaches first.
    BlockSystem blocks;
    blocks.initialize(200, 200);
    BITMAP* map = blocks.getBlockMap();
    std::srand(7);
    for (int trial = 0; trial < 300; ++trial) {
        int x1 = std::rand() % 200, y1 = std::rand() % 200, x2 = std::rand() % 200, y2 = std::rand() % 200;
        std::vector<std::pair<int, int>> walk;
        static std::vector<std::pair<int, int>>* sink;
        sink = &walk;
        do_line(map, x1, y1, x2, y2, 0, [](BITMAP*, int x, int y, int) { sink->emplace_back(x, y); });
        // Mark three points of the walk, later ones first, so the earliest must win.
        size_t a = walk.size() - 1, b = walk.size() / 2, c = walk.size() / 3;
        for (size_t i : {a, b, c}) putpixel(map, walk[i].first, walk[i].second, makecol(255, 255, 255));
        int hx = -1, hy = -1;
        ASSERT_TRUE(blocks.checkLineCollision(0, x1, y1, x2, y2, &hx, &hy));
        size_t first = std::min({a, b, c});
        EXPECT_EQ(hx, walk[first].first) << x1 << "," << y1 << " -> " << x2 << "," << y2;
        EXPECT_EQ(hy, walk[first].second);
        clear_to_color(map, 0);
    }
}

TEST(BlockSystem, RemovingAnOutlineKeepsEveryOutlineItSharedOrCrossedWhole) {
    BlockSystem blocks;
    blocks.initialize(1000, 600);
    Object* left = box(100, 100, 100, 100);   // right outline column is x = 199
    Object* right = box(199, 100, 100, 100);  // left outline column is x = 199, shared
    blocks.addObject(left);
    blocks.addObject(right);
    int hx = 0, hy = 0;
    ASSERT_TRUE(blocks.checkLineCollision(0, 150, 150, 260, 150, &hx, &hy));
    EXPECT_EQ(hx, 199);

    blocks.removeObject(left);
    ASSERT_TRUE(blocks.checkLineCollision(0, 150, 150, 400, 150, &hx, &hy));
    EXPECT_EQ(hx, 199) << "the shared column still belongs to the remaining object";
    for (int y = 100; y < 200; ++y) EXPECT_NE(getpixel(blocks.getBlockMap(), 199, y), 0) << "y " << y;
    EXPECT_EQ(getpixel(blocks.getBlockMap(), 100, 150), 0) << "the removed outline itself is gone";
    EXPECT_EQ(getpixel(blocks.getBlockMap(), 150, 100), 0);

    // A box moved across a wide ground piece, as a fighter walks, crosses its top
    // edge in every block on the way: the edge must survive every erase.
    Object* ground = box(0, 300, 1000, 100);
    Object* walker = box(0, 260, 30, 41);  // the bottom row lies on the ground's top row
    blocks.addObject(ground);
    for (int x = 0; x + 30 <= 1000; x += 3) {
        blocks.removeObject(walker);
        walker->setX(x);
        blocks.addObject(walker);
    }
    blocks.removeObject(walker);
    for (int x = 0; x < 1000; ++x) {
        ASSERT_EQ(getpixel(blocks.getBlockMap(), x, 300), makecol(255, 255, 255)) << "top edge at x " << x;
        ASSERT_TRUE(blocks.checkLineCollision(0, x, 250, x, 420, &hx, &hy));
        ASSERT_EQ(hy, 300) << "a downward line at x " << x << " passed the top edge";
    }

    // A blood drop is a box of no size; its outline is the 2 x 2 pixels around
    // its corner, here on the ground's top row, once on a block boundary.
    for (int x : {250, 400}) {
        Object* drop = box(x, 301, 0, 0);
        blocks.addObject(drop);
        blocks.removeObject(drop);
        EXPECT_EQ(getpixel(blocks.getBlockMap(), x - 1, 300), makecol(255, 255, 255)) << "x " << x - 1;
        EXPECT_EQ(getpixel(blocks.getBlockMap(), x, 300), makecol(255, 255, 255)) << "x " << x;
        EXPECT_EQ(getpixel(blocks.getBlockMap(), x, 301), 0) << "the drop's own pixels are gone";
        delete drop;
    }
    blocks.removeObject(right);
    blocks.removeObject(ground);
    delete left;
    delete right;
    delete ground;
    delete walker;
}

TEST(BlockSystem, OutlinesAreRestoredInTheirOwnColoursAndOnlyInsideTheErasedBox) {
    set_color_depth(32);
    BlockSystem blocks;
    blocks.initialize(1000, 600);
    BITMAP* map = blocks.getBlockMap();
    Torvane::Player fighter;
    fighter.setX(400).setY(150).setWidth(40).setHeight(50).setCollidable(true);
    int team = makecol(10, 200, 30);
    fighter.setColor(team);
    Object* crate = box(420, 190, 100, 100);  // crosses the fighter's right and bottom edges
    blocks.addObject(&fighter);
    blocks.addObject(crate);

    // A mark on the fighter's outline outside the crate's box: a restore that
    // drew whole outlines instead of clipping them to the erased box would cover it.
    int mark = makecol(1, 2, 3);
    putpixel(map, 400, 160, mark);
    blocks.removeObject(crate);
    EXPECT_EQ(getpixel(map, 400, 160), mark) << "drawn outside the erased box";
    EXPECT_EQ(getpixel(map, 439, 195), team) << "the fighter's right edge inside the crate's box is back";
    EXPECT_EQ(getpixel(map, 430, 199), team) << "and its bottom edge";
    EXPECT_EQ(getpixel(map, 430, 190), 0) << "the crate's top edge is gone";
    int hx = 0, hy = 0;
    EXPECT_FALSE(blocks.checkLineCollision(team, 380, 195, 600, 195, &hx, &hy))
        << "the restored edge has the team colour, which the team's lines pass";
    EXPECT_TRUE(blocks.checkLineCollision(0, 380, 195, 600, 195, &hx, &hy));
    EXPECT_EQ(hx, 400);

    // The restore leaves the clip as it was: later outlines are drawn in full.
    Object* far = box(800, 400, 50, 50);
    blocks.addObject(far);
    EXPECT_EQ(getpixel(map, 800, 400), makecol(255, 255, 255));
    EXPECT_EQ(getpixel(map, 849, 449), makecol(255, 255, 255));
    blocks.removeObject(far);
    blocks.removeObject(&fighter);
    delete crate;
    delete far;
}

TEST(BlockSystem, PointLookUpsIncludeAllEdgesAndSearchOnlyTheBlockOfThePoint) {
    BlockSystem blocks;
    blocks.initialize(1000, 600);
    Object* first = box(150, 100, 100, 50);
    Object* second = box(150, 100, 100, 50);  // same box, entered later
    blocks.addObject(first);
    blocks.addObject(second);
    EXPECT_EQ(blocks.getObjectByPosition(150, 100), first) << "top-left corner, first entered wins";
    EXPECT_EQ(blocks.getObjectByPosition(250, 150), first) << "the right edge x + width is included";
    EXPECT_EQ(blocks.getObjectByPosition(200, 125), first) << "found from the second block too";
    EXPECT_EQ(blocks.getObjectByPosition(251, 125), nullptr);
    EXPECT_EQ(blocks.getObjectByPosition(149, 125), nullptr);
    EXPECT_EQ(blocks.getObjectByPosition(200, 151), nullptr);
    EXPECT_EQ(blocks.getObjectByPosition(-300, 100), nullptr) << "negative blocks are outside the grid";
    EXPECT_EQ(blocks.getObjectByPosition(5000, 100), nullptr);
    EXPECT_FALSE(blocks.isIterating());
    blocks.removeObject(first);
    EXPECT_EQ(blocks.getObjectByPosition(150, 100), second);
    blocks.removeObject(second);
    delete first;
    delete second;
}
