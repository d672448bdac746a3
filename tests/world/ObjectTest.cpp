#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <set>
#include <vector>

#include "fighters/RealBody.h"
#include "world/Object.h"

using Torvane::Object;
using Torvane::RealBody;

namespace {

// Records what handleCollision was told.
class Recorder : public Object {
public:
    std::vector<std::pair<int, Object*>> calls;
    void handleCollision(int side, Object* other) override { calls.emplace_back(side, other); }
};

template <typename T>
void place(T& o, int x, int y, int w, int h) {
    o.setX(x);
    o.setY(y);
    o.setWidth(w);
    o.setHeight(h);
}

}  // namespace

TEST(Object, PositionRoundsHalfUpThenTruncatesTowardZero) {
    Object o;
    struct { float x; int expected; } cases[] = {{2.5f, 3}, {2.4f, 2}, {-0.4f, 0}, {-0.6f, 0}, {-0.7f, 0}, {-1.6f, -1}};
    for (auto c : cases) {
        Vector p(c.x, c.x);
        o.setPosition(p);
        EXPECT_EQ(o.getX(), c.expected) << c.x;
        EXPECT_EQ(o.getY(), c.expected) << c.x;
    }
    o.setX(10).setY(20).setWidth(7).setHeight(5);
    EXPECT_EQ(o.getCentralX(), 13);
    EXPECT_EQ(o.getCentralY(), 22);
    Rect* r = o.getRectangle();
    EXPECT_EQ(*r, (Rect{10, 17, 20, 25}));
    o.setX(11);
    EXPECT_EQ(o.getRectangle(), r) << "the rectangle pointer stays the same";
    EXPECT_EQ(r->left, 11);
}

TEST(Object, StartsHiddenAliveAtRestAndDies) {
    Object o;
    EXPECT_FALSE(o.isVisible());
    EXPECT_FALSE(o.isDead());
    EXPECT_FALSE(o.isCollidable());
    EXPECT_EQ(o.getLifetime(), -1);
    EXPECT_EQ(o.getFrictionConstant(), 1.0f);
    EXPECT_EQ(o.getX(), 0);
    o.show();
    EXPECT_TRUE(o.isVisible());
    o.hide();
    EXPECT_FALSE(o.isVisible());
    o.die();
    EXPECT_TRUE(o.isDead());
}

TEST(Object, MoveUsesLastFramesVelocityAndCapsSpeed) {
    Object o;
    Vector v(6.0f, 8.0f);  // length 10
    Vector a(0.0f, 1.0f);
    o.setVelocity(v).setAcceleration(a);
    o.move();
    // Position moved with the old velocity; the new one is capped to 8 in the same direction.
    EXPECT_FLOAT_EQ(o.getPosition().x, 6.0f);
    EXPECT_FLOAT_EQ(o.getPosition().y, 8.0f);
    Vector after = o.getVelocity();
    EXPECT_NEAR(after.getMagnitude(), 8.0f, 1e-5);
    EXPECT_NEAR(after.x / after.y, 6.0f / 9.0f, 1e-5);

    // Below the cap nothing is scaled.
    Object slow;
    Vector s(1.0f, 0.0f);
    slow.setVelocity(s);
    slow.move();
    EXPECT_FLOAT_EQ(slow.getVelocity().x, 1.0f);

    o.stop();
    EXPECT_EQ(o.getVelocity().getMagnitude(), 0.0f);
    EXPECT_EQ(o.getAcceleration().getMagnitude(), 0.0f);
}

TEST(Object, IdsAreNeverReused) {
    std::set<int> seen;
    for (int i = 0; i < 50; ++i) {
        Object* o = new Object();
        EXPECT_TRUE(seen.insert(o->getId()).second);
        delete o;
    }
    Object last;
    EXPECT_GT(last.getId(), *seen.rbegin());
}

TEST(Object, CollideTouchingAndOnePixelContactsAreIgnored) {
    Recorder a, b;
    place(a, 0, 0, 10, 10);
    place(b, 10, 0, 10, 10);  // shares the edge x = 10
    EXPECT_FALSE(a.collide(&b));
    place(b, 11, 0, 10, 10);  // one pixel clear: not touching at all
    EXPECT_FALSE(a.collide(&b));
    place(b, 9, 0, 10, 10);   // one pixel deep
    EXPECT_FALSE(a.collide(&b));
    EXPECT_TRUE(a.calls.empty());
    EXPECT_TRUE(b.calls.empty());
    EXPECT_EQ(a.getX(), 0) << "ignored contacts move nothing";
}

TEST(Object, CollidePushesOutAlongXWithAOnePixelGap) {
    Recorder a, b;
    // a reaches into b from the right.
    place(a, 15, 0, 10, 20);
    place(b, 0, 0, 20, 20);
    EXPECT_TRUE(a.collide(&b));
    EXPECT_EQ(a.getX(), 21);
    ASSERT_EQ(a.calls.size(), 1u);
    EXPECT_EQ(a.calls[0].first, Torvane::SIDE_LEFT);
    EXPECT_EQ(a.calls[0].second, &b);
    ASSERT_EQ(b.calls.size(), 1u);
    EXPECT_EQ(b.calls[0].first, Torvane::SIDE_RIGHT);
    EXPECT_EQ(b.getX(), 0) << "the other object is never moved";

    // a reaches into b from the left.
    Recorder c, d;
    place(c, 0, 0, 10, 20);
    place(d, 6, 0, 20, 20);
    EXPECT_TRUE(c.collide(&d));
    EXPECT_EQ(c.getPosition().x, 6 - 10 - 1);
    EXPECT_EQ(c.calls[0].first, Torvane::SIDE_RIGHT);
    EXPECT_EQ(d.calls[0].first, Torvane::SIDE_LEFT);
}

TEST(Object, CollidePushesOutAlongYOverlappingOnTopAndClearBelow) {
    Recorder a, ground;
    place(ground, 0, 100, 200, 50);
    place(a, 50, 95, 10, 10);  // sunk 5 pixels into the ground from above
    EXPECT_TRUE(a.collide(&ground));
    EXPECT_EQ(a.getY(), 100 - 10 + 1) << "stays one row into what it stands on";
    EXPECT_EQ(a.calls[0].first, Torvane::SIDE_BELOW);
    EXPECT_EQ(ground.calls[0].first, Torvane::SIDE_ABOVE);

    Recorder head, ceiling;
    place(ceiling, 0, 0, 200, 50);
    place(head, 50, 45, 10, 10);  // pushed up into the ceiling from below
    EXPECT_TRUE(head.collide(&ceiling));
    EXPECT_EQ(head.getY(), 51) << "one pixel clear below";
    EXPECT_EQ(head.calls[0].first, Torvane::SIDE_ABOVE);
    EXPECT_EQ(ceiling.calls[0].first, Torvane::SIDE_BELOW);
}

TEST(Object, CollideWithEqualDepthsResolvesAlongX) {
    Recorder a, b;
    place(a, 0, 0, 10, 10);
    place(b, 5, 5, 10, 10);  // 5 deep both ways
    EXPECT_TRUE(a.collide(&b));
    EXPECT_EQ(a.getPosition().x, 5 - 10 - 1);
    EXPECT_EQ(a.getY(), 0);
    EXPECT_EQ(a.calls[0].first, Torvane::SIDE_RIGHT);
}

namespace {
class Body : public RealBody {};
}  // namespace

TEST(Object, CollideKeepsABodyOnItsBoardAndFreesItWhenItLeaves) {
    Body body;
    Object board;
    place(body, 10, 0, 10, 10);
    place(board, 0, 9, 100, 10);
    body.setBoard(&board).setFree(false);
    EXPECT_TRUE(body.collide(&board)) << "resting on its board counts as touching";
    EXPECT_EQ(body.getY(), 0) << "and is not pushed";

    body.setY(-50);  // jumped clear
    EXPECT_FALSE(body.collide(&board));
    EXPECT_EQ(body.getBoard(), nullptr);
    EXPECT_TRUE(body.isFree());

    // Leaving some other object does not touch the board.
    Object elsewhere;
    place(elsewhere, 500, 500, 5, 5);
    body.setBoard(&board).setFree(false);
    EXPECT_FALSE(body.collide(&elsewhere));
    EXPECT_EQ(body.getBoard(), &board);
    EXPECT_FALSE(body.isFree());
}

TEST(Object, ImageGivesSizeAndAMissingOneKeepsIt) {
    Object o;
    o.setWidth(3).setHeight(4);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(o.loadImage("image/object/no-such-picture.bmp"));
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Failed to load bitmap image/object/no-such-picture.bmp"), std::string::npos);
    EXPECT_EQ(o.getImage(), nullptr);
    EXPECT_EQ(o.getWidth(), 3);
    EXPECT_EQ(o.getHeight(), 4);

    ASSERT_TRUE(o.loadImage("image/gui/bullet.bmp"));
    EXPECT_EQ(o.getWidth(), o.getImage()->w);
    EXPECT_EQ(o.getHeight(), o.getImage()->h);

    // Drawing is masked and shifted by the camera.
    BITMAP* target = create_bitmap(40, 40);
    clear_to_color(target, makecol(0, 0, 0));
    o.setX(110).setY(205);
    o.draw(target, 100, 200);
    bool drewSomething = false;
    for (int y = 0; y < o.getHeight(); ++y)
        for (int x = 0; x < o.getWidth(); ++x)
            if (getpixel(target, 10 + x, 5 + y) != makecol(0, 0, 0)) drewSomething = true;
    EXPECT_TRUE(drewSomething);
    EXPECT_EQ(getpixel(target, 9, 5), makecol(0, 0, 0));
    destroy_bitmap(target);
}

TEST(Object, CoordinatesBeyondTheIntRangeSaturate) {
    Object o;
    o.setWidth(10).setHeight(10);
    o.setX(2147483647).setY(-2147483647 - 1);
    EXPECT_EQ(o.getX(), 2147483647);
    EXPECT_EQ(o.getY(), -2147483647 - 1);
    Rect* r = o.getRectangle();
    EXPECT_EQ(r->right, 2147483647) << "the far edge saturates too";
    EXPECT_EQ(r->top, -2147483647 - 1);
    EXPECT_EQ(r->bottom, -2147483647 - 1 + 10);
    Vector huge(1e30f, -1e30f);
    o.setPosition(huge);
    EXPECT_EQ(o.getX(), 2147483647);
    EXPECT_EQ(o.getY(), -2147483647 - 1);
}

#include "world/BlockSystem.h"

TEST(Object, AnObjectAtTheEdgeOfTheIntRangeEntersAndLeavesTheGridSafely) {
    Torvane::BlockSystem blocks;
    blocks.initialize(400, 400);
    Object far;
    far.setCollidable(true);
    far.setWidth(10).setHeight(10);
    for (int y : {-2147483647 - 1, 2147483647 - 5}) {
        far.setX(y).setY(y);
        blocks.addObject(&far);
        EXPECT_EQ(blocks.getObjectByPosition(5, 5), nullptr);
        blocks.removeObject(&far);
    }
}

TEST(Object, ALoadedPictureDrawsExactlyAsAMaskedDrawOfItsImage) {
    // Drawing goes through a run-length copy of the picture: the pixels must be
    // those of draw_sprite, transparent parts and clipped edges included.
    Object tree;
    ASSERT_TRUE(tree.loadImage("image/object/tree.bmp"));
    BITMAP* expected = create_bitmap(300, 200);
    BITMAP* drawn = create_bitmap(300, 200);
    for (int x : {-60, 40, 250}) {
        for (BITMAP* b : {expected, drawn}) {
            for (int y = 0; y < b->h; ++y) hline(b, 0, y, b->w - 1, makecol(y % 256, 90, (y * 7) % 256));
        }
        draw_sprite(expected, tree.getImage(), x, -50);
        tree.setX(1000 + x).setY(450);
        tree.draw(drawn, 1000, 500);
        int differences = 0, transparent = 0;
        for (int y = 0; y < drawn->h; ++y) {
            for (int px = 0; px < drawn->w; ++px) {
                differences += getpixel(drawn, px, y) != getpixel(expected, px, y);
                transparent += getpixel(drawn, px, y) == makecol(y % 256, 90, (y * 7) % 256);
            }
        }
        EXPECT_EQ(differences, 0) << "at x " << x;
        EXPECT_GT(transparent, 0) << "the background shows through the transparent parts";
    }
    destroy_bitmap(expected);
    destroy_bitmap(drawn);
}
