#pragma once

#include <string>
#include <vector>

#include "script/PellixVariable.h"

// A function of the host program that scripts call by name. It receives the engine's whole run-time stack,
// whose last argc entries are the call's arguments in written order, and a result that arrives undefined.
// It must leave the stack as it found it and must not touch the entries below its arguments.
using PellixHostFunction = void (*)(std::vector<PellixVariable>& stack, PellixVariable& result, int argc);

// Where a script called a host function: the calling function's file (null when the host made the call itself)
// and the line of the call.
struct PellixCallPlace {
    const std::string* file = nullptr;
    int line = 0;
};
