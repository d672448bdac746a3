#pragma once

// Counts one level of nesting for as long as it lives, so that every way out of a recursive parse or walk, an
// exception included, gives the level back. The parser's blocks and expressions and the tree walker each keep
// their own count and check it against their own limit.
class PellixDepthGuard {
public:
    explicit PellixDepthGuard(int& depth) : depth(depth) { ++depth; }
    ~PellixDepthGuard() { --depth; }
    PellixDepthGuard(const PellixDepthGuard&) = delete;
    PellixDepthGuard& operator=(const PellixDepthGuard&) = delete;

private:
    int& depth;
};
