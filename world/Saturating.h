#pragma once

#include <climits>
#include <cmath>

namespace Torvane {

// A script may put objects at the ends of the int range; the sums and differences
// of their coordinates are held there instead of overflowing. Inside the range
// they are the plain results.
inline int saturatedInt(long long value) {
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

inline int saturatedSum(int a, int b) { return saturatedInt(static_cast<long long>(a) + b); }

inline int saturatedDifference(int a, int b) { return saturatedInt(static_cast<long long>(a) - b); }

// static_cast<int> (truncation toward zero) for floats beyond the int range too; NaN gives 0.
inline int truncatedInt(float value) {
    if (std::isnan(value)) return 0;
    if (value <= -2147483648.0f) return INT_MIN;
    if (value >= 2147483648.0f) return INT_MAX;
    return static_cast<int>(value);
}

// Allegro adds picture sizes and radii to the positions it draws at: positions
// seen from the camera are held this far out, beyond every bitmap, so that its
// own arithmetic cannot overflow either.
inline constexpr long long farOffScreen = 1LL << 30;  // pixels

inline int screenCoordinate(long long offset) {
    return static_cast<int>(offset < -farOffScreen ? -farOffScreen : offset > farOffScreen ? farOffScreen : offset);
}

// A world coordinate as seen from the camera's.
inline int screenCoordinate(int world, int camera) { return screenCoordinate(static_cast<long long>(world) - camera); }

}  // namespace Torvane
