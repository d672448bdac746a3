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
