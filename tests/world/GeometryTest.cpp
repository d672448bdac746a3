#include <gtest/gtest.h>

#include <cmath>

#include "world/Rect.h"
#include "world/Vector.h"

TEST(Vector, AdditionSnapsSmallComponentsOfTheResult) {
    Vector a(0.05f, 3.0f);
    Vector sum = a + Vector(0.02f, 0.0f);
    EXPECT_EQ(sum.x, 0.0f);
    EXPECT_FLOAT_EQ(sum.y, 3.0f);

    Vector b(-0.09f, 0.5f);
    b += Vector(0.0f, -0.45f);
    EXPECT_EQ(b.x, 0.0f);
    EXPECT_EQ(b.y, 0.0f);

    // Exactly 0.1 is not below 0.1.
    Vector c = Vector(0.1f, 0.0f) + Vector(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(c.x, 0.1f);

    // Snapping looks at the result, not the addend: a tiny step onto a large value stays.
    Vector d = Vector(5.0f, -5.0f) + Vector(0.05f, -0.05f);
    EXPECT_FLOAT_EQ(d.x, 5.05f);
    EXPECT_FLOAT_EQ(d.y, -5.05f);
}

TEST(Vector, ScalingDoesNotSnapAndNormalizeKeepsZero) {
    Vector v(0.1f, 0.1f);
    v *= 0.5f;
    EXPECT_FLOAT_EQ(v.x, 0.05f);
    EXPECT_FLOAT_EQ(v.y, 0.05f);

    Vector w(3.0f, -4.0f);
    EXPECT_FLOAT_EQ(w.getMagnitude(), 5.0f);
    w.normalize();
    EXPECT_FLOAT_EQ(w.x, 0.6f);
    EXPECT_FLOAT_EQ(w.y, -0.8f);

    Vector zero;
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_FALSE(std::isnan(zero.getMagnitude()));

    w.zero();
    EXPECT_EQ(w.getMagnitude(), 0.0f);
}

TEST(Rect, ComparesAllFourFields) {
    Rect r{1, 2, 3, 4};
    EXPECT_TRUE(r == (Rect{1, 2, 3, 4}));
    EXPECT_TRUE(r != (Rect{1, 2, 3, 5}));
    EXPECT_TRUE(r != (Rect{0, 2, 3, 4}));
    EXPECT_TRUE(r != (Rect{1, 3, 3, 4}));
    EXPECT_TRUE(r != (Rect{1, 2, 4, 4}));
    EXPECT_FALSE(r != (Rect{1, 2, 3, 4}));
}

TEST(Vector, HeadingHasTheSpeedAlongTheDirection) {
    Vector right = Vector::heading(10, 0, 5);
    EXPECT_EQ(right.x, 5.0f);
    EXPECT_EQ(right.y, 0.0f);
    Vector up = Vector::heading(0, -3, 5);
    EXPECT_EQ(up.x, 0.0f);
    EXPECT_EQ(up.y, -5.0f);
    Vector slanted = Vector::heading(-3, 4, 10);
    EXPECT_FLOAT_EQ(slanted.x, -6.0f);
    EXPECT_FLOAT_EQ(slanted.y, 8.0f);
    Vector none = Vector::heading(0, 0, 5);
    EXPECT_EQ(none.x, -5.0f);
    EXPECT_EQ(none.y, 0.0f);
}
