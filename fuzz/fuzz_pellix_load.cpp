// Loads arbitrary text as a level script: the lexer and parsers must refuse anything cleanly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzHostFunctions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string output;
    PellixScript script;
    registerFuzzHostFunctions(script, &output);
    if (!script.parse(text)) {
        const std::string error = script.getLastError();
        if (error.empty())
            __builtin_trap(); // a failed load always says why
    }
    // A second load into the same engine meets the names of the first.
    script.parse(text);
    return 0;
}
