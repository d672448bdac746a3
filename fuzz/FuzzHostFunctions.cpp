#include "FuzzHostFunctions.h"

#include <cstring>

#include "level/HostFunctionNames.h"
#include "script/PellixStandInHost.h"

namespace {

// Enough to compare two runs; more would only slow the fuzzer down.
constexpr size_t printLimit = 1u << 20;

void doNothing(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)stack;
    (void)result;
    (void)argc;
}

} // namespace

void registerFuzzHostFunctions(PellixScript& script, std::string* output) {
    selectPrintTarget(output);
    for (const char* name : Torvane::hostFunctionNames) {
        PellixHostFunction function = doNothing;
        if (std::strcmp(name, "print") == 0)
            function = PellixStandInHost::print;
        else if (std::strcmp(name, "isNull") == 0)
            function = PellixStandInHost::isNull;
        script.addFunction(name, function);
    }
}

void selectPrintTarget(std::string* output) {
    PellixStandInHost::printTo(output, printLimit);
}
