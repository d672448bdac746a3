#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "script/PellixVariable.h"

class PellixScript;

// "print" and "isNull" as the game has them, for what runs scripts without the game: the pellix tool, the
// fuzz targets and the tests. Host functions are plain functions, so where print writes is one setting for
// every engine in the program; one that runs two engines side by side points it at the one it runs next.
class PellixStandInHost {
public:
    // print appends to output, up to limit characters in all, or writes to standard output when it is null
    // (the start).
    static void printTo(std::string* output, size_t limit = static_cast<size_t>(-1));
    // Registers print and isNull; the caller adds whatever other names its scripts may call.
    static void registerOn(PellixScript& script);

    // Every argument's printed form, first to last, without separator or line end.
    static void print(std::vector<PellixVariable>& stack, PellixVariable& result, int argc);
    // 1 when every argument is undefined (also with none), else 0.
    static void isNull(std::vector<PellixVariable>& stack, PellixVariable& result, int argc);
};
