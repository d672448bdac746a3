// The engine in-process: loading, and the costs per loop pass, call, append and dispatch, on both interpreters
// (argument 0: the compiled interpreter, 1: the tree walker).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "script/PellixScript.h"

namespace {

void discard(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    benchmark::DoNotOptimize(stack.data());
    (void)result;
    (void)argc;
}

// Loads text, then runs Main once per benchmark iteration; items are the passes of its inner loop.
void runMain(benchmark::State& state, const std::string& text, int64_t itemsPerRun) {
    PellixScript script;
    script.setInterpreter(state.range(0) == 0 ? PellixScript::Compiled : PellixScript::TreeWalking);
    script.addFunction("print", discard);
    if (!script.parse(text)) {
        state.SkipWithError(script.getLastError().c_str());
        return;
    }
    for (auto _ : state) {
        if (!script.run("Main")) {
            state.SkipWithError(script.getLastError().c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * itemsPerRun);
}

void integerLoop(benchmark::State& state) {
    runMain(state,
            "FUNCTION Main\n S = 0\n FOR I = 1 TO 100000\n  S = S + I MOD 7 * 3 - 2\n NEXT\n print S\n"
            "END FUNCTION\n",
            100000);
}

void floatLoop(benchmark::State& state) {
    runMain(state,
            "FUNCTION Main\n X = 0.5, S = 0.0\n FOR I = 1 TO 100000\n  S = S + 4.0 / (1.0 + X * X)\n NEXT\n"
            " print S\nEND FUNCTION\n",
            100000);
}

void mutualCalls(benchmark::State& state) {
    // fib(20) through two functions: 21891 calls.
    runMain(state,
            "FUNCTION Main\n print A(20)\nEND FUNCTION\n"
            "FUNCTION A(N)\n IF N < 2 THEN\n  A = N\n ELSE\n  A = B(N - 1) + B(N - 2)\n END IF\nEND FUNCTION\n"
            "FUNCTION B(N)\n IF N < 2 THEN\n  B = N\n ELSE\n  B = A(N - 1) + A(N - 2)\n END IF\nEND FUNCTION\n",
            21891);
}

void appendText(benchmark::State& state) {
    runMain(state,
            "FUNCTION Main\n S = \"\"\n FOR I = 1 TO 20000\n  S = S + \"x\" + I MOD 10\n NEXT\n print S\n"
            "END FUNCTION\n",
            20000);
}

void selectDispatch(benchmark::State& state) {
    runMain(state,
            "FUNCTION Main\n A = 0\n FOR I = 1 TO 100000\n  SELECT CASE I MOD 5\n  CASE 0\n   A = A + 1\n"
            "  CASE 1, 2\n   A = A - 1\n  CASE 3\n   A = A + 2\n  CASE 4\n   A = A * 1\n  END SELECT\n NEXT\n"
            " print A\nEND FUNCTION\n",
            100000);
}

void hostCalls(benchmark::State& state) {
    runMain(state, "FUNCTION Main\n FOR I = 1 TO 100000\n  print I, \"x\"\n NEXT\nEND FUNCTION\n", 100000);
}

// A fresh engine loads text in every iteration; its teardown counts too, as it does for the tool.
void loadEachTime(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        PellixScript script;
        if (!script.parse(text)) {
            state.SkipWithError(script.getLastError().c_str());
            return;
        }
        benchmark::DoNotOptimize(script.getFunctions().size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// Parsing and compiling a script of 200 functions.
void loadScript(benchmark::State& state) {
    std::string text;
    for (int index = 0; index < 200; ++index) {
        const std::string name = "F" + std::to_string(index);
        text += "FUNCTION " + name + "(A, B)\n X = A * 2 + B\n IF X > 10 THEN\n  " + name +
                " = \"big\" + X\n ELSE\n  FOR I = 1 TO X\n   " + name + " = " + name +
                " + I\n  NEXT\n END IF\n SELECT CASE X\n CASE 1, 2\n  X = 0\n END SELECT\nEND FUNCTION\n";
    }
    loadEachTime(state, text);
}

// Loading what `pellix check` loads in bench/script/run.sh: 667 functions, 10,005 lines.
void loadLongScript(benchmark::State& state) {
    std::string text;
    for (int index = 0; index < 667; ++index) {
        const std::string name = "F" + std::to_string(index);
        text += "FUNCTION " + name + "(A, B)\n  X = A * 2 + B\n  IF X > 10 THEN\n    " + name +
                " = \"big\" + X\n  ELSE\n    FOR I = 1 TO X\n      " + name + " = " + name +
                " + I\n    NEXT\n  END IF\n  SELECT CASE X MOD 3\n  CASE 0, 1\n    X = 0\n  END SELECT\n"
                "END FUNCTION\n\n";
    }
    loadEachTime(state, text);
}

} // namespace

BENCHMARK(integerLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(floatLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(mutualCalls)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(appendText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(selectDispatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(hostCalls)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(loadScript)->Unit(benchmark::kMillisecond);
BENCHMARK(loadLongScript)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
