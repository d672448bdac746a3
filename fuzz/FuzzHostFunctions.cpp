#include "FuzzHostFunctions.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "level/HostFunctionNames.h"

namespace {

// Host functions are plain functions; the engine being served at the moment says where print writes.
std::string* printTarget = nullptr;

void print(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)result;
    for (size_t index = stack.size() - static_cast<size_t>(argc); index < stack.size(); ++index) {
        const std::string& text = stack[index].getString();
        if (printTarget && printTarget->size() < (1u << 20))
            printTarget->append(text, 0, std::min<size_t>(text.size(), 4096));
    }
}

void isNull(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    result.setInteger(PellixScript::allArgumentsUndefined(stack, argc) ? 1 : 0);
}

void doNothing(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)stack;
    (void)result;
    (void)argc;
}

} // namespace

void registerFuzzHostFunctions(PellixScript& script, std::string* output) {
    printTarget = output;
    for (const char* name : Torvane::hostFunctionNames) {
        PellixHostFunction function = doNothing;
        if (std::strcmp(name, "print") == 0)
            function = print;
        else if (std::strcmp(name, "isNull") == 0)
            function = isNull;
        script.addFunction(name, function);
    }
}

void selectPrintTarget(std::string* output) {
    printTarget = output;
}
