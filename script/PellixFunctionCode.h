#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "script/PellixRuntimeException.h"
#include "script/PellixVariable.h"

class PellixSyntaxNode;

// Instructions of the compiled interpreter, a register machine whose registers are the values of the
// function's frame on the run-time stack: its locals, then its temporaries.
//
// An operand is a frame slot when it is >= 0 and references[~operand] (a constant's value or a global's
// record) when it is negative. a is the destination (or the jump target), b and c the operands.
enum PellixOpcode : uint8_t {
    PX_MOVE,      // a = b
    PX_UNDEFINED, // a = undefined (an operation without a meaning; its operands were evaluated)
    PX_ADD,       // a = b + c, and so on: the operators of the language
    PX_SUB,
    PX_MUL,
    PX_DIV,
    PX_MOD,
    PX_OR,
    PX_AND,
    PX_XOR,
    PX_NOT,
    PX_GT,
    PX_GE,
    PX_LT,
    PX_LE,
    PX_NE,
    PX_EQ,
    PX_JUMP,          // go to a
    PX_JUMP_IF_FALSE, // go to a when b reads as integer 0
    PX_JUMP_IF_TRUE,  // go to a when b does not read as integer 0
    PX_BRANCH_GT,     // go to a when the comparison b op c holds
    PX_BRANCH_GE,
    PX_BRANCH_LT,
    PX_BRANCH_LE,
    PX_BRANCH_NE,
    PX_BRANCH_EQ,
    PX_BRANCH_NOT_GT, // go to a when the comparison b op c does not hold
    PX_BRANCH_NOT_GE,
    PX_BRANCH_NOT_LT,
    PX_BRANCH_NOT_LE,
    PX_BRANCH_NOT_NE,
    PX_BRANCH_NOT_EQ,
    PX_LOOP_IF_FALSE, // the jumps from PX_JUMP_IF_FALSE on where they close a loop: these, PX_FOR_STEP and
    PX_LOOP_IF_TRUE,  // PX_CALL end the script on a stop request, so that forward jumps pay nothing for it
    PX_LOOP_BRANCH_GT,
    PX_LOOP_BRANCH_GE,
    PX_LOOP_BRANCH_LT,
    PX_LOOP_BRANCH_LE,
    PX_LOOP_BRANCH_NE,
    PX_LOOP_BRANCH_EQ,
    PX_LOOP_BRANCH_NOT_GT,
    PX_LOOP_BRANCH_NOT_GE,
    PX_LOOP_BRANCH_NOT_LT,
    PX_LOOP_BRANCH_NOT_LE,
    PX_LOOP_BRANCH_NOT_NE,
    PX_LOOP_BRANCH_NOT_EQ,
    PX_FOR_STEP,    // b = b + d, then go back to a when b <= c (b >= c for PX_FOR_STEP_DOWN); e: the loop's line
    PX_FOR_STEP_DOWN,
    PX_BEGIN_APPEND, // go to a unless b is a String; else remember its length in slot c
    PX_APPEND,       // append the text of b to the String a (slot c: its length before the first append)
    PX_CALL,   // a = call site c with the arguments in slots b, b + 1, ...; they become the top of the stack
    PX_SELECT, // go to the first CASE of table c that the selector b matches, or past the SELECT
    PX_RETURN, // end the function with its result variable
    PX_ERROR,  // throw errors[c]
    PX_STEP,   // spend one step of the budget (fuzzing builds only)
};

struct PellixInstruction {
    uint8_t op = PX_MOVE;
    int32_t a = 0;
    int32_t b = 0;
    int32_t c = 0;
    int32_t d = 0;
    int32_t e = 0;
};

struct PellixCallSite {
    PellixSyntaxNode* callee = nullptr; // null: no function of that name (a run-time "Function not found")
    std::string name;
    int argc = 0;
};

// The CASE values of one SELECT, with the first CASE each value selects. "=" compares texts when either side
// is a string, else integers; the tables answer that comparison for every value at once.
struct PellixCaseTable {
    std::vector<std::pair<int32_t, int>> integers;   // non-string values by integer, sorted
    int32_t denseBase = 0;                           // integers as a direct table when they are close together
    std::vector<int> dense;
    std::unordered_map<std::string, int> texts;      // every value by its printed form, for a string selector
    std::unordered_map<std::string, int> strings;    // string values, for a selector that is no string
    std::vector<int32_t> targets;                    // first instruction of each CASE body
    int32_t end = 0;                                 // first instruction after the SELECT
    // Made with the machine's steps where the selector is known to be an integer and no CASE value is a text:
    // for each value of dense, then for a miss, how far to jump from the SELECT's step, in bytes.
    std::vector<int32_t> denseJumps;
};

// An instruction as the machine runs it: opcode and operand form in op, operands as byte offsets where the
// form says so, jump targets relative to the instruction in bytes. Made from the compiled instructions, one for
// one, when a function is first called; the compiled ones stay for listings, lines and slow paths.
struct PellixStep {
    uint16_t op = 0;
    int32_t a = 0;
    int32_t b = 0;
    int32_t c = 0;
    int32_t d = 0;
    int32_t e = 0;
    // Where the machine's code for op starts, filled in by the machine before the first run.
    const void* handler = nullptr;

    // d and e side by side, as one 64-bit operand (a MOD's reciprocal, a SELECT's jump table): one load.
    uint64_t wide() const {
        uint64_t value;
        std::memcpy(&value, reinterpret_cast<const char*>(this) + offsetof(PellixStep, d), sizeof value);
        return value;
    }
    void setWide(uint64_t value) {
        std::memcpy(reinterpret_cast<char*>(this) + offsetof(PellixStep, d), &value, sizeof value);
    }
};
static_assert(offsetof(PellixStep, e) == offsetof(PellixStep, d) + sizeof(int32_t), "d and e make one wide operand");

// One script function compiled.
struct PellixFunctionCode {
    std::string name;
    const std::string* file = nullptr; // the script file the function was written in
    int line = 0;
    int localCount = 0;
    int frameSize = 0;   // locals and temporaries
    int resultOperand = 0;
    bool resultMissing = false; // the result variable has no storage: returning fails with "variable not found"
    std::vector<PellixInstruction> instructions;
    std::vector<int> lines; // script line of each instruction, for error messages
    std::vector<PellixVariable*> references;
    std::vector<bool> literalReferences; // for each reference: a constant of the script, whose value never changes
    std::vector<PellixCallSite> calls;
    std::vector<PellixCaseTable> cases;
    std::vector<PellixRuntimeException> errors;
    std::deque<PellixVariable> ownValues; // referenced values that belong to no variable; a deque keeps them put
    // The machine's own form of the code: the steps, and the literal constants side by side, so that an operand
    // of either kind is one address away.
    std::vector<PellixStep> steps;
    std::vector<PellixVariable> literals;
    bool threaded = false; // the steps know their handlers
};
