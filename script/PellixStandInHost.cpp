#include "script/PellixStandInHost.h"

#include <algorithm>
#include <cstdio>

#include "script/PellixScript.h"

namespace {

std::string* printTarget = nullptr;
size_t printLimit = static_cast<size_t>(-1);

} // namespace

void PellixStandInHost::printTo(std::string* output, size_t limit) {
    printTarget = output;
    printLimit = limit;
}

void PellixStandInHost::registerOn(PellixScript& script) {
    script.addFunction("print", print);
    script.addFunction("isNull", isNull);
}

void PellixStandInHost::print(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)result;
    const size_t count = std::min(stack.size(), static_cast<size_t>(std::max(argc, 0)));
    for (size_t index = stack.size() - count; index < stack.size(); ++index) {
        const std::string& text = stack[index].getString();
        if (!printTarget)
            std::fwrite(text.data(), 1, text.size(), stdout);
        else if (printTarget->size() < printLimit)
            printTarget->append(text, 0, std::min(text.size(), printLimit - printTarget->size()));
    }
}

void PellixStandInHost::isNull(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    result.setInteger(PellixScript::allArgumentsUndefined(stack, argc) ? 1 : 0);
}
