#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/PellixFunctionCode.h"

class PellixSyntaxNode;
class PellixVariable;

// Translates the syntax tree of one function into register-machine code with the same meaning: names are
// resolved to frame slots or global records once, the flow codes of EXIT become jumps, and a SELECT whose
// selector calls no function dispatches through a table instead of testing every CASE.
class PellixCompiler {
public:
    // Names resolve against the engine's functions and globals as they are when the function compiles.
    PellixCompiler(const std::map<std::string, PellixSyntaxNode*>& functions,
                   const std::map<std::string, PellixVariable*>& globals, PellixFunctionCode& code);

    void compileFunction(PellixSyntaxNode* function);

private:
    // Where an EXIT goes. A loop ends on EXIT FOR and EXIT DO and goes on with its next test when a SELECT
    // exit reaches it; a SELECT ends on its own exit; a top-level statement of the function swallows both.
    enum ContextKind { LoopContext, SelectContext, StatementContext };
    struct Context {
        ContextKind kind;
        std::vector<size_t> exitJumps;     // to the end of the construct
        std::vector<size_t> continueJumps; // to the next test of a loop
    };

    void compileStatement(PellixSyntaxNode* node);
    void compileLoop(PellixSyntaxNode* node);
    void compileSelect(PellixSyntaxNode* node);
    void compileExit(PellixSyntaxNode* node);
    bool compileSelectTable(PellixSyntaxNode* node);
    bool compileCountedLoop(PellixSyntaxNode* node);
    bool compileAppend(PellixSyntaxNode* node, int target);

    // Computes node into the operand dest, writing dest last.
    void compileInto(PellixSyntaxNode* node, int dest);
    // An operand holding the value of node: its own storage for constants and variables, else a temporary.
    int operand(PellixSyntaxNode* node);
    // The left operand of an operation, copied first when it is a global that a call on the right may change.
    int leftOperand(PellixSyntaxNode* operation);
    void compileCall(PellixSyntaxNode* node, int dest);
    // Emits a jump to be patched, taken when node reads as true (jumpWhen) or false.
    size_t compileBranch(PellixSyntaxNode* node, bool jumpWhen);

    int variableOperand(PellixSyntaxNode* node, const std::string& name, bool& missing);
    int reference(PellixVariable* value);
    // A constant written in the script: the machine may keep a copy of it beside the code.
    int literal(PellixVariable* value);
    int undefinedOperand();
    int allocateRegister();
    static bool containsCall(const PellixSyntaxNode* node);

    size_t emit(int op, int a, int b, int c, int d = 0);
    // Operand of a constant or a variable that resolves; false for anything else.
    bool leafOperand(PellixSyntaxNode* node, int& value);
    bool refersTo(const PellixSyntaxNode* node, int target);
    static bool cannotFail(const PellixSyntaxNode* node);
    size_t emitJump();
    void emitError(const std::string& error, const std::string& detail, const std::string& function, int line);
    void patch(size_t instruction, size_t target);
    // Patches the jump that closes a loop, from a compileBranch, into its PX_LOOP_ form.
    void patchBack(size_t instruction, size_t top);
    size_t here() const { return code.instructions.size(); }

    const std::map<std::string, PellixSyntaxNode*>& functions;
    const std::map<std::string, PellixVariable*>& globals;
    PellixFunctionCode& code;
    PellixSyntaxNode* function = nullptr;
    std::vector<Context> contexts;
    std::unordered_map<PellixVariable*, int> referenceIndex;
    int nextRegister = 0;
    int line = 0;
};
