// Runs every function of arbitrary scripts on both interpreters and requires them to agree: same result,
// same printed text, same error. Endless loops end at the step budget of the fuzzing build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "FuzzHostFunctions.h"

namespace {

struct Engine {
    PellixScript script;
    std::string output;
};

// The interpreters stop deep recursion at different depths on purpose; after that their globals may differ.
bool hitsDepthLimit(const std::string& error) {
    return error.find("nested too deeply") != std::string::npos ||
           error.find("Run-time stack full") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Engine compiled;
    Engine walking;
    walking.script.setInterpreter(PellixScript::TreeWalking);
    registerFuzzHostFunctions(compiled.script, &compiled.output);
    registerFuzzHostFunctions(walking.script, &walking.output);
    const bool loaded = compiled.script.parse(text);
    if (walking.script.parse(text) != loaded || compiled.script.getLastError() != walking.script.getLastError())
        __builtin_trap();

    // Functions in name order, placeholders of a failed load included (they fail at run time).
    std::vector<std::string> names;
    for (const auto& entry : compiled.script.getFunctions()) {
        if (entry.second->kind == PellixSyntaxNode::NODE_FUNCTION)
            names.push_back(entry.first);
    }
    if (names.size() > 8)
        names.resize(8);

    for (const std::string& name : names) {
        selectPrintTarget(&compiled.output);
        const bool compiledRan = compiled.script.run(name);
        selectPrintTarget(&walking.output);
        const bool walkingRan = walking.script.run(name);
        const std::string compiledError = compiledRan ? "" : compiled.script.getLastError();
        const std::string walkingError = walkingRan ? "" : walking.script.getLastError();
        if (hitsDepthLimit(compiledError) || hitsDepthLimit(walkingError))
            break;
        if (compiledRan != walkingRan || compiledError != walkingError || compiled.output != walking.output) {
            std::fprintf(stderr, "Interpreters disagree on %s:\ncompiled: %d %s\n[%s]\nwalking: %d %s\n[%s]\n",
                         name.c_str(), compiledRan, compiledError.c_str(), compiled.output.c_str(), walkingRan,
                         walkingError.c_str(), walking.output.c_str());
            __builtin_trap();
        }
        if (!compiled.script.getRuntimeStack()->empty() || !walking.script.getRuntimeStack()->empty())
            __builtin_trap();
    }
    return 0;
}
