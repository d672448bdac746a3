// pellix: loads a level script the way the game does, and checks it or runs one of its functions.
//
//   pellix check FILE            load FILE; prints nothing and exits 0, or prints the error and exits 1
//   pellix run FILE [FUNCTION]   load FILE, then run FUNCTION (default Main)
//   pellix walk FILE [FUNCTION]  as run, on the tree-walking interpreter (the reference the compiled one must
//                                match; the script cases run on both)
//   pellix dump FILE [FUNCTION]  load FILE, then print the register code of every script function (or one)
//
// IMPORT paths are relative to the current directory, as in the game. The game's host function names are
// registered: "print" and "isNull" work as in the game, "delay" sleeps, the others do nothing.
#include <TorvaneVersion.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "level/HostFunctionNames.h"
#include "script/PellixDisassembler.h"
#include "script/PellixScript.h"
#include "script/PellixStandInHost.h"

namespace {

// Sleeps for the milliseconds of its last argument; without arguments, or with a negative count, not at all.
void delay(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)result;
    const int milliseconds = PellixScript::hostArgument(stack, argc, 1).getInteger();
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void doNothing(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)stack;
    (void)result;
    (void)argc;
}

enum UsageCause { ASKED_FOR, WRONG_COMMAND_LINE };

// On standard output with status 0 when asked for, on standard error with status 2 after a wrong command line.
int usage(UsageCause cause) {
    std::fprintf(cause == ASKED_FOR ? stdout : stderr,
                 "usage: pellix check FILE\n"
                 "       pellix run FILE [FUNCTION]\n"
                 "       pellix walk FILE [FUNCTION]\n"
                 "       pellix dump FILE [FUNCTION]\n"
                 "       pellix --version\n"
                 "Loads a level script as the game does (IMPORT paths relative to the current directory).\n"
                 "check prints nothing when the script loads; run then calls FUNCTION (default Main);\n"
                 "walk does the same on the tree-walking interpreter, the reference for the compiled one;\n"
                 "dump prints what every script function (or FUNCTION) compiles to, one instruction a line.\n"
                 "All print the error and exit 1 when the script fails.\n");
    return cause == ASKED_FOR ? 0 : 2;
}

// Every script function in name order, or only the one named; functions a load declared by a call but never
// defined are listed too, as they compile to the error they end with.
int dumpCode(PellixScript& script, const char* only) {
    std::string wanted = only ? only : "";
    PellixScript::toUpperString(wanted);
    bool first = true;
    for (const auto& entry : script.getFunctions()) {
        if (entry.second->kind != PellixSyntaxNode::NODE_FUNCTION || (only && entry.first != wanted))
            continue;
        const PellixFunctionCode* code = script.compiledCode(entry.first);
        std::printf("%s%s", first ? "" : "\n",
                    PellixDisassembler::listing(*entry.second, *code, script.getGlobals()).c_str());
        first = false;
    }
    if (only && first) {
        std::printf("No script function %s\n", only);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return usage(ASKED_FOR);
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("pellix %s\n", TORVANE_VERSION);
        return 0;
    }
    if (argc < 3)
        return usage(WRONG_COMMAND_LINE);
    const std::string command = argv[1];
    const bool check = command == "check";
    const bool dump = command == "dump";
    const bool walk = command == "walk";
    if (!(check && argc == 3) && !((command == "run" || walk || dump) && (argc == 3 || argc == 4)))
        return usage(WRONG_COMMAND_LINE);

    PellixScript script;
    if (walk)
        script.setInterpreter(PellixScript::TreeWalking);
    for (const char* name : Torvane::hostFunctionNames) {
        PellixHostFunction function = doNothing;
        if (std::strcmp(name, "print") == 0)
            function = PellixStandInHost::print; // to standard output
        else if (std::strcmp(name, "isNull") == 0)
            function = PellixStandInHost::isNull;
        else if (std::strcmp(name, "delay") == 0)
            function = delay;
        script.addFunction(name, function);
    }

    if (!script.load(argv[2])) {
        std::printf("Script error: %s\n", script.getLastError().c_str());
        return 1;
    }
    if (check)
        return 0;
    if (dump)
        return dumpCode(script, argc == 4 ? argv[3] : nullptr);
    if (!script.run(argc == 4 ? argv[3] : "Main")) {
        std::fflush(stdout);
        std::printf("Runtime error: %s\n", script.getLastError().c_str());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}
