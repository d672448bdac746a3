#include "world/Vector.h"

#include <cmath>

namespace {

float snapped(float value) { return std::fabs(value) < 0.1f ? 0.0f : value; }

}  // namespace

float Vector::getMagnitude() const { return std::sqrt(x * x + y * y); }

void Vector::normalize() {
    float magnitude = getMagnitude();
    if (magnitude == 0) return;
    x /= magnitude;
    y /= magnitude;
}

Vector Vector::operator+(const Vector& other) const { return Vector(snapped(x + other.x), snapped(y + other.y)); }

Vector& Vector::operator+=(const Vector& other) { return *this = *this + other; }

Vector& Vector::operator*=(float factor) {
    x *= factor;
    y *= factor;
    return *this;
}

Vector Vector::heading(float dx, float dy, float speed) {
    if (dy == 0) return Vector(dx > 0 ? speed : -speed, 0);
    if (dx == 0) return Vector(0, dy > 0 ? speed : -speed);
    float slope = dy / dx;
    float vx = std::sqrt(speed * speed / (slope * slope + 1));
    if (dx < 0) vx = -vx;
    return Vector(vx, vx * slope);
}
