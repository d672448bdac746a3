#pragma once

// A 2-D vector of floats: positions, velocities, accelerations and directions,
// in pixels, pixels per frame and pixels per frame per frame.
class Vector {
public:
    float x;
    float y;

    Vector() : x(0), y(0) {}
    Vector(float x, float y) : x(x), y(y) {}

    void zero() { x = y = 0; }
    float getMagnitude() const;
    // The zero vector stays (0, 0): callers normalise the direction between two
    // points that may coincide, and a NaN would poison every position after it.
    void normalize();

    // A velocity of the given length along (dx, dy), worked out from the slope so
    // flat and upright lines come out exact. With no direction at all it points left.
    static Vector heading(float dx, float dy, float speed);

    // Components below 0.1 in magnitude snap to 0 so residual speeds die out.
    Vector operator+(const Vector& other) const;
    Vector& operator+=(const Vector& other);
    Vector& operator*=(float factor);
};
