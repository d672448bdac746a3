#pragma once

#include <atomic>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "script/PellixHostFunction.h"
#include "script/PellixVariable.h"

class PellixStepBudget;
class PellixSyntaxNode;
struct PellixFunctionCode;
struct PellixStep;

// The compiled interpreter: compiles script functions to register-machine code (PellixCompiler) on their first
// call and runs that code with the frames on the engine's run-time stack. Script-to-script calls do not recurse
// natively; a host function that calls back into the engine does.
//
// It shares with the engine only what it is given here: the run-time stack, the count of calls in progress
// (which the tree walker counts too), the stop request, the step budget, and the function and global tables
// that names resolve against when a function is compiled.
class PellixMachine {
public:
    struct Shared {
        std::vector<PellixVariable>& stack;
        int& callDepth;
        const std::atomic<bool>& stopRequested;
        PellixStepBudget& steps;
        const std::map<std::string, PellixSyntaxNode*>& functions;
        const std::map<std::string, PellixVariable*>& globals;
        PellixCallPlace& hostCallPlace;
    };

    explicit PellixMachine(const Shared& shared);
    ~PellixMachine();
    PellixMachine(const PellixMachine&) = delete;
    PellixMachine& operator=(const PellixMachine&) = delete;

    // Runs a script function whose argc arguments are on top of the stack, from base on; they stay there for
    // the caller to pop. On an exception the machine's own call frames are as they were on entry.
    PellixVariable run(PellixSyntaxNode* function, size_t base);
    // The code of a script function, compiled now if it has none.
    PellixFunctionCode* codeFor(PellixSyntaxNode* function);
    // A load may change what names mean: every function compiles again on its next call.
    void forgetCode();

private:
    // A script function call in progress; the callee's frame starts at base.
    struct CallFrame {
        PellixFunctionCode* code;
        const PellixStep* returnPc;
        size_t base;
        int resultOperand;
    };

    PellixVariable execute(PellixFunctionCode* code, size_t base);
    // Makes the stack end at end at least, or fails as a full stack does.
    void growStack(size_t end, const PellixFunctionCode& code);

    const Shared shared;

    // Forgotten code stays here until the engine dies: a host function may load while compiled code runs.
    std::vector<std::unique_ptr<PellixFunctionCode>> codeStore;
    // Room for as many frames as calls may nest, made on the first run, so that a call never allocates. The
    // frames in use are [0, frameCount); a running execute keeps its own count and hands it over here only
    // around host functions, which may run script functions in turn.
    std::unique_ptr<CallFrame[]> frames;
    size_t frameCount = 0;
};
