// Which loops the compiled interpreter runs as machine code, and that they compute what the steps compute.
// What every operation gives inside such loops, against the tree walker, is in cases/machine_code_loops.fb
// (the script cases run with machine code, without it and on the walker).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "script/PellixFunctionCode.h"
#include "script/PellixScript.h"
#include "ScriptTestSupport.h"

namespace {

#if defined(__x86_64__) && defined(__linux__)
constexpr bool machineCodeAvailable = true;
#else
constexpr bool machineCodeAvailable = false;
#endif

// The loops made into machine code in each script function, after Main ran.
std::map<std::string, size_t> machineLoops(PellixScript& script) {
    std::map<std::string, size_t> loops;
    for (const auto& entry : script.getFunctions()) {
        if (entry.second->kind != PellixSyntaxNode::NODE_FUNCTION)
            continue;
        const PellixFunctionCode* code = script.compiledCode(entry.first);
        loops[entry.first] = code && code->native ? code->native->loops.size() : 0;
    }
    return loops;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(PellixNativeLoops, TheCaseRunsItsLoopsAsMachineCodeAndAgreesWithTheSteps) {
    if (!machineCodeAvailable)
        GTEST_SKIP() << "no machine code on this processor";
    const std::string text = readFile(std::string(PELLIX_CASES_DIR) + "/machine_code_loops.fb");
    ASSERT_FALSE(text.empty());

    PellixScript native;
    registerTestHostFunctions(native);
    ASSERT_TRUE(native.parse(text)) << native.getLastError();
    ASSERT_TRUE(native.run("Main")) << native.getLastError();
    const std::string nativeOutput = takePrintedText();
    // Every loop of the case, or the case would test the steps alone. In FORLOOPS two FORs nest in a third,
    // whose code holds them; a FOR left by EXIT FOR and three DO loops follow.
    const std::map<std::string, size_t> expected{{"AFTERTHELOOP", 1}, {"CROWDED", 1},    {"FLOATOPERATORS", 4},
                                                 {"FORLOOPS", 5},     {"HANDEDBACK", 2}, {"INTEGEROPERATORS", 2},
                                                 {"MAIN", 0}};
    EXPECT_EQ(machineLoops(native), expected);

    PellixScript steps;
    steps.setMachineCode(false);
    registerTestHostFunctions(steps);
    ASSERT_TRUE(steps.parse(text)) << steps.getLastError();
    ASSERT_TRUE(steps.run("Main")) << steps.getLastError();
    EXPECT_EQ(takePrintedText(), nativeOutput);
    for (const auto& entry : machineLoops(steps))
        EXPECT_EQ(entry.second, 0u) << entry.first;
}

TEST(PellixNativeLoops, RemaindersAndQuotientsByLiteralsMatchCpp) {
    // Dividends across the whole integer range (a wrapping stride), each divisor a literal in the loop.
    const int32_t divisors[] = {1, 2, 3, 7, 8, 10, 641, 65536, 1000000007, 1073741824, 2147483647};
    for (const int32_t divisor : divisors) {
        SCOPED_TRACE(divisor);
        const std::string literal = std::to_string(divisor);
        const std::string text = "FUNCTION Main\n V = -2147483647 - 1, H = 0, Q = 0\n FOR I = 1 TO 5000\n"
                                 "  H = H * 31 + V MOD " + literal + "\n  Q = Q XOR (V / " + literal + ")\n"
                                 "  V = V + 858993\n NEXT\n Main = H XOR Q\nEND FUNCTION\n";
        uint32_t v = 0x80000000u, h = 0, q = 0;
        for (int pass = 0; pass < 5000; ++pass) {
            const int32_t value = static_cast<int32_t>(v);
            h = h * 31u + static_cast<uint32_t>(value % divisor);
            q ^= static_cast<uint32_t>(value / divisor);
            v += 858993u;
        }
        PellixScript script;
        registerTestHostFunctions(script);
        ASSERT_TRUE(script.parse(text)) << script.getLastError();
        EXPECT_EQ(static_cast<uint32_t>(script.invokeFunction("MAIN", 0).getInteger()), h ^ q);
        if (machineCodeAvailable) {
            EXPECT_EQ(machineLoops(script)["MAIN"], 1u);
        }
    }
}
