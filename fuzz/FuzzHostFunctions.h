#pragma once

#include <string>

#include "script/PellixScript.h"

// The game's host function names, registered as the pellix tool does: "print" writes into output (not to the
// terminal; its first mebibyte), "isNull" works, the others do nothing and "delay" does not sleep.
void registerFuzzHostFunctions(PellixScript& script, std::string* output);
// Where "print" writes from now on (host functions are plain functions shared by all engines).
void selectPrintTarget(std::string* output);
