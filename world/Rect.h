#pragma once

// An integer box; right and bottom are one past the last column and row.
struct Rect {
    int left;
    int right;
    int top;
    int bottom;

    bool operator==(const Rect& other) const {
        return left == other.left && right == other.right && top == other.top && bottom == other.bottom;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }
};
