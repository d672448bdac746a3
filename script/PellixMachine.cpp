#include "script/PellixMachine.h"

#include <algorithm>
#include <string>
#include <utility>

#include "script/PellixCompiler.h"
#include "script/PellixFunctionCode.h"
#include "script/PellixOperators.h"
#include "script/PellixScript.h"
#include "script/PellixStepBudget.h"

namespace {

// The engine's limits, which the tree walker keeps too.
constexpr size_t maxStackSize = PellixScript::maxStackSize;
constexpr int maxCallDepth = PellixScript::maxCallDepth;

inline void moveValue(PellixVariable& target, PellixVariable&& value) {
    target.type = value.type;
    target.intValue = value.intValue;
    target.floatValue = value.floatValue;
    if (value.type == PellixVariable::String)
        target.stringValue.swap(value.stringValue);
}

inline bool readsTrue(const PellixVariable& value) {
    return value.type == PellixVariable::Integer ? value.intValue != 0 : value.getInteger() != 0;
}

// Inlined by force: execute has grown past the size up to which GCC inlines a function called once, and SELECT
// dispatch is a tenth slower through a call.
[[gnu::always_inline]] inline int findCase(const PellixCaseTable& table, const PellixVariable& selector) {
    if (selector.type == PellixVariable::String) {
        auto found = table.texts.find(selector.stringValue);
        return found == table.texts.end() ? -1 : found->second;
    }
    int match = -1;
    if (!table.integers.empty()) {
        const int32_t key = selector.getInteger();
        if (!table.dense.empty()) {
            const int64_t offset = static_cast<int64_t>(key) - table.denseBase;
            if (offset >= 0 && offset < static_cast<int64_t>(table.dense.size()))
                match = table.dense[static_cast<size_t>(offset)];
        } else {
            auto found = std::lower_bound(table.integers.begin(), table.integers.end(), key,
                                          [](const std::pair<int32_t, int>& entry, int32_t value) {
                                              return entry.first < value;
                                          });
            if (found != table.integers.end() && found->first == key)
                match = found->second;
        }
    }
    if (!table.strings.empty()) {
        char buffer[PellixVariable::numberTextCapacity];
        size_t length = 0;
        const char* text = selector.peekText(buffer, length);
        auto found = table.strings.find(std::string(text, length));
        if (found != table.strings.end() && (match < 0 || found->second < match))
            match = found->second;
    }
    return match;
}

} // namespace

PellixMachine::PellixMachine(const Shared& shared)
    : stack(shared.stack), callDepth(shared.callDepth), stopRequested(shared.stopRequested), steps(shared.steps),
      functions(shared.functions), globals(shared.globals) {}

PellixMachine::~PellixMachine() = default;

void PellixMachine::forgetCode() {
    for (auto& entry : functions)
        entry.second->code = nullptr;
}

PellixFunctionCode* PellixMachine::codeFor(PellixSyntaxNode* function) {
    if (!function->code) {
        auto code = std::make_unique<PellixFunctionCode>();
        PellixCompiler(functions, globals, *code).compileFunction(function);
        function->code = code.get();
        codeStore.push_back(std::move(code));
    }
    return function->code;
}

PellixVariable PellixMachine::run(PellixSyntaxNode* function, size_t base) {
    // A failed run leaves frames of its own behind; the caller's (a host function called from compiled code
    // may have run this) must be what it finds again.
    struct Unwind {
        std::vector<CallFrame>& frames;
        size_t count;
        ~Unwind() { frames.resize(count); }
    } unwind{frames, frames.size()};
    return execute(codeFor(function), base);
}

// Frames and the stack: a running function's frame is [base, base + frameSize). Script calls place the callee's
// frame on the caller's argument slots and never shrink the stack, so values above the running frame may be
// left over from finished calls; they are dead and reused. A host function gets the stack cut to its arguments,
// as it must see them on top, and a host invoking a script function gets back the stack it left.
PellixVariable PellixMachine::execute(PellixFunctionCode* code, size_t base) {
    const size_t entryFrames = frames.size();
    // Read through a local: through the member, a reference, every backward jump would load once more.
    const std::atomic<bool>& stop = stopRequested;
    const size_t entryArguments = stack.size() - base;
    // The stack's storage as last seen, so that calls and returns read no vector through the reference (a
    // load that waits on another). Brought up to date wherever the stack may change: here, in reach and after
    // a host function.
    PellixVariable* stackData = stack.data();
    size_t stackSize = stack.size();
    const PellixInstruction* begin = nullptr;
    const PellixInstruction* pc = nullptr;
    PellixVariable* frame = nullptr;
    PellixVariable* const* references = nullptr;

    auto currentLineOf = [&]() { return code->lines[static_cast<size_t>(pc - 1 - begin)]; };
    auto fail = [&](const std::string& error, const std::string& detail) {
        throw PellixRuntimeException(error, detail, code->name, currentLineOf());
    };
    // Makes sure the frame of the running function exists and points the registers at it.
    auto reach = [&]() {
        const size_t end = base + static_cast<size_t>(code->frameSize);
        if (stackSize < end) {
            if (end > maxStackSize) {
                throw PellixRuntimeException("Run-time stack full, the limit is " + std::to_string(maxStackSize) +
                                                 " values",
                                             code->name, code->name, code->line);
            }
            stack.resize(end);
            stackData = stack.data();
            stackSize = end;
        }
        frame = stackData + base;
        references = code->references.data();
        begin = code->instructions.data();
    };
    // A new call: the arguments are in place; the other locals start undefined.
    auto enter = [&](int argc) {
        reach();
        for (int slot = argc; slot < code->localCount; ++slot)
            frame[slot].type = PellixVariable::Undefined;
        pc = begin;
    };

    if (callDepth >= maxCallDepth) {
        throw PellixRuntimeException("Calls nested too deeply, the limit is " + std::to_string(maxCallDepth),
                                     code->name, code->name, 0);
    }
    // Counted in a member of the machine's own, as the engine's count is a reference: only a host function
    // (which may call back in) needs to see it, and the host's way back restores the engine's count whatever
    // happens.
    const int entryDepth = callDepth;
    depth = entryDepth + 1;
    enter(static_cast<int>(entryArguments));

#define OPERAND(x) ((x) >= 0 ? frame[(x)] : *references[~(x)])
// Where a stop request ends the script: the jumps back to a loop's top and the script calls. The line is worked
// out only on a stop.
#define CHECK_STOP(line)                                                                                           \
    do {                                                                                                           \
        if (stop.load(std::memory_order_relaxed))                                                                  \
            PellixRuntimeException::throwStopped(code->name, (line));                                              \
    } while (false)

    for (;;) {
        const PellixInstruction& in = *pc++;
        switch (in.op) {
        case PX_MOVE:
            OPERAND(in.a).storeValue(OPERAND(in.b));
            break;
        case PX_UNDEFINED:
            OPERAND(in.a).type = PellixVariable::Undefined;
            break;

#define ARITHMETIC(opcode, code_, integerExpression, floatExpression)                                              \
    case opcode: {                                                                                                 \
        const PellixVariable& l = OPERAND(in.b);                                                                   \
        const PellixVariable& r = OPERAND(in.c);                                                                   \
        PellixVariable& out = OPERAND(in.a);                                                                       \
        if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer) {                              \
            const int32_t a = l.intValue, b = r.intValue;                                                          \
            out.intValue = (integerExpression);                                                                    \
            out.type = PellixVariable::Integer;                                                                    \
        } else if (l.type == PellixVariable::Float && r.type == PellixVariable::Float) {                           \
            const float a = l.floatValue, b = r.floatValue;                                                        \
            out.floatValue = (floatExpression);                                                                    \
            out.type = PellixVariable::Float;                                                                      \
        } else {                                                                                                   \
            const PellixOperators::Status status = PellixOperators::apply(code_, l, r, out);                       \
            if (status != PellixOperators::Ok)                                                                     \
                fail(PellixOperators::statusMessage(status), PellixOperators::operatorText(code_));               \
        }                                                                                                          \
        break;                                                                                                     \
    }
            ARITHMETIC(PX_ADD, PellixOperators::OP_ADD, PellixOperators::wrapAdd(a, b), a + b)
            ARITHMETIC(PX_SUB, PellixOperators::OP_SUB, PellixOperators::wrapSubtract(a, b), a - b)
            ARITHMETIC(PX_MUL, PellixOperators::OP_MUL, PellixOperators::wrapMultiply(a, b), a * b)
#undef ARITHMETIC

#define INTEGER(opcode, code_, integerExpression, guard)                                                           \
    case opcode: {                                                                                                 \
        const PellixVariable& l = OPERAND(in.b);                                                                   \
        const PellixVariable& r = OPERAND(in.c);                                                                   \
        PellixVariable& out = OPERAND(in.a);                                                                       \
        if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer && (guard)) {                   \
            const int32_t a = l.intValue, b = r.intValue;                                                          \
            out.intValue = (integerExpression);                                                                    \
            out.type = PellixVariable::Integer;                                                                    \
        } else {                                                                                                   \
            const PellixOperators::Status status = PellixOperators::apply(code_, l, r, out);                       \
            if (status != PellixOperators::Ok)                                                                     \
                fail(PellixOperators::statusMessage(status), PellixOperators::operatorText(code_));               \
        }                                                                                                          \
        break;                                                                                                     \
    }
            // Division fails on zero and on INT_MIN / -1; a positive divisor is always safe.
            INTEGER(PX_DIV, PellixOperators::OP_DIV, a / b, r.intValue > 0)
            INTEGER(PX_MOD, PellixOperators::OP_MOD, a % b, r.intValue > 0)
            INTEGER(PX_OR, PellixOperators::OP_OR, a | b, true)
            INTEGER(PX_AND, PellixOperators::OP_AND, a & b, true)
            INTEGER(PX_XOR, PellixOperators::OP_XOR, a ^ b, true)
            INTEGER(PX_NOT, PellixOperators::OP_NOT, (static_cast<void>(a), b == 0 ? 1 : 0), true)
#undef INTEGER

#define COMPARISON(opcode, code_, comparison)                                                                      \
    case opcode: {                                                                                                 \
        const PellixVariable& l = OPERAND(in.b);                                                                   \
        const PellixVariable& r = OPERAND(in.c);                                                                   \
        PellixVariable& out = OPERAND(in.a);                                                                       \
        if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer) {                              \
            out.intValue = (l.intValue comparison r.intValue) ? 1 : 0;                                             \
            out.type = PellixVariable::Integer;                                                                    \
        } else {                                                                                                   \
            PellixOperators::apply(code_, l, r, out);                                                              \
        }                                                                                                          \
        break;                                                                                                     \
    }
            COMPARISON(PX_GT, PellixOperators::OP_GT, >)
            COMPARISON(PX_GE, PellixOperators::OP_GE, >=)
            COMPARISON(PX_LT, PellixOperators::OP_LT, <)
            COMPARISON(PX_LE, PellixOperators::OP_LE, <=)
            COMPARISON(PX_NE, PellixOperators::OP_NE, !=)
            COMPARISON(PX_EQ, PellixOperators::OP_EQ, ==)
#undef COMPARISON

        case PX_JUMP:
            pc = begin + in.a;
            break;
        case PX_JUMP_IF_FALSE:
            if (!readsTrue(OPERAND(in.b)))
                pc = begin + in.a;
            break;
        case PX_JUMP_IF_TRUE:
            if (readsTrue(OPERAND(in.b)))
                pc = begin + in.a;
            break;
        case PX_LOOP_IF_FALSE:
            if (!readsTrue(OPERAND(in.b))) {
                CHECK_STOP(currentLineOf());
                pc = begin + in.a;
            }
            break;
        case PX_LOOP_IF_TRUE:
            if (readsTrue(OPERAND(in.b))) {
                CHECK_STOP(currentLineOf());
                pc = begin + in.a;
            }
            break;

#define BRANCH(opcode, code_, comparison, when, back)                                                              \
    case opcode: {                                                                                                 \
        const PellixVariable& l = OPERAND(in.b);                                                                   \
        const PellixVariable& r = OPERAND(in.c);                                                                   \
        bool holds;                                                                                                \
        if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer)                                \
            holds = l.intValue comparison r.intValue;                                                              \
        else                                                                                                       \
            holds = PellixOperators::holds(code_, l, r);                                                           \
        if (holds == (when)) {                                                                                     \
            if (back)                                                                                              \
                CHECK_STOP(currentLineOf());                                                                       \
            pc = begin + in.a;                                                                                     \
        }                                                                                                          \
        break;                                                                                                     \
    }
            BRANCH(PX_BRANCH_GT, PellixOperators::OP_GT, >, true, false)
            BRANCH(PX_BRANCH_GE, PellixOperators::OP_GE, >=, true, false)
            BRANCH(PX_BRANCH_LT, PellixOperators::OP_LT, <, true, false)
            BRANCH(PX_BRANCH_LE, PellixOperators::OP_LE, <=, true, false)
            BRANCH(PX_BRANCH_NE, PellixOperators::OP_NE, !=, true, false)
            BRANCH(PX_BRANCH_EQ, PellixOperators::OP_EQ, ==, true, false)
            BRANCH(PX_BRANCH_NOT_GT, PellixOperators::OP_GT, >, false, false)
            BRANCH(PX_BRANCH_NOT_GE, PellixOperators::OP_GE, >=, false, false)
            BRANCH(PX_BRANCH_NOT_LT, PellixOperators::OP_LT, <, false, false)
            BRANCH(PX_BRANCH_NOT_LE, PellixOperators::OP_LE, <=, false, false)
            BRANCH(PX_BRANCH_NOT_NE, PellixOperators::OP_NE, !=, false, false)
            BRANCH(PX_BRANCH_NOT_EQ, PellixOperators::OP_EQ, ==, false, false)
            BRANCH(PX_LOOP_BRANCH_GT, PellixOperators::OP_GT, >, true, true)
            BRANCH(PX_LOOP_BRANCH_GE, PellixOperators::OP_GE, >=, true, true)
            BRANCH(PX_LOOP_BRANCH_LT, PellixOperators::OP_LT, <, true, true)
            BRANCH(PX_LOOP_BRANCH_LE, PellixOperators::OP_LE, <=, true, true)
            BRANCH(PX_LOOP_BRANCH_NE, PellixOperators::OP_NE, !=, true, true)
            BRANCH(PX_LOOP_BRANCH_EQ, PellixOperators::OP_EQ, ==, true, true)
            BRANCH(PX_LOOP_BRANCH_NOT_GT, PellixOperators::OP_GT, >, false, true)
            BRANCH(PX_LOOP_BRANCH_NOT_GE, PellixOperators::OP_GE, >=, false, true)
            BRANCH(PX_LOOP_BRANCH_NOT_LT, PellixOperators::OP_LT, <, false, true)
            BRANCH(PX_LOOP_BRANCH_NOT_LE, PellixOperators::OP_LE, <=, false, true)
            BRANCH(PX_LOOP_BRANCH_NOT_NE, PellixOperators::OP_NE, !=, false, true)
            BRANCH(PX_LOOP_BRANCH_NOT_EQ, PellixOperators::OP_EQ, ==, false, true)
#undef BRANCH

        case PX_FOR_STEP:
        case PX_FOR_STEP_DOWN: {
            PellixVariable& counter = OPERAND(in.b);
            const PellixVariable& limit = OPERAND(in.c);
            const PellixVariable& step = OPERAND(in.d);
            const int comparison = in.op == PX_FOR_STEP ? PellixOperators::OP_LE : PellixOperators::OP_GE;
            bool holds;
            if (counter.type == PellixVariable::Integer && step.type == PellixVariable::Integer &&
                limit.type == PellixVariable::Integer) {
                counter.intValue = PellixOperators::wrapAdd(counter.intValue, step.intValue);
                holds = in.op == PX_FOR_STEP ? counter.intValue <= limit.intValue : counter.intValue >= limit.intValue;
                steps.spend(code->name, in.e);
            } else {
                const PellixOperators::Status status =
                    PellixOperators::apply(PellixOperators::OP_ADD, counter, step, counter);
                if (status != PellixOperators::Ok)
                    fail(PellixOperators::statusMessage(status), "+");
                steps.spend(code->name, in.e);
                holds = PellixOperators::holds(comparison, counter, limit);
            }
            if (holds) {
                CHECK_STOP(in.e);
                pc = begin + in.a;
            }
            break;
        }

        case PX_BEGIN_APPEND: {
            const PellixVariable& text = OPERAND(in.b);
            if (text.type != PellixVariable::String) {
                pc = begin + in.a;
            } else {
                frame[in.c].intValue = static_cast<int32_t>(text.stringValue.size());
                frame[in.c].type = PellixVariable::Integer;
            }
            break;
        }
        case PX_APPEND: {
            PellixVariable& text = OPERAND(in.a);
            const PellixOperators::Status status = PellixOperators::appendText(text, OPERAND(in.b));
            if (status != PellixOperators::Ok) {
                text.stringValue.resize(static_cast<size_t>(frame[in.c].intValue));
                fail(PellixOperators::statusMessage(status), "+");
            }
            break;
        }

        case PX_CALL: {
            const PellixCallSite& site = code->calls[static_cast<size_t>(in.c)];
            PellixSyntaxNode* callee = site.callee;
            if (!callee)
                throw PellixRuntimeException("Function not found", site.name, site.name, 0);
            const size_t arguments = base + static_cast<size_t>(in.b);
            if (callee->kind == PellixSyntaxNode::NODE_EXTERNAL) {
                // The host sees its arguments on top of the stack and nothing above them.
                stack.resize(arguments + static_cast<size_t>(site.argc));
                PellixVariable result;
                callDepth = depth;
                callee->hostFunction(stack, result, site.argc);
                depth = callDepth;
                stack.resize(base + static_cast<size_t>(code->frameSize));
                stackData = stack.data();
                stackSize = stack.size();
                frame = stackData + base;
                moveValue(OPERAND(in.a), std::move(result));
                break;
            }
            if (callee->kind != PellixSyntaxNode::NODE_FUNCTION)
                throw PellixRuntimeException("Not a valid function", site.name, site.name, 0);
            if (site.argc > callee->localCount)
                throw PellixRuntimeException("Too many parameters", site.name, site.name, 0);
            if (depth >= maxCallDepth)
                fail("Calls nested too deeply, the limit is " + std::to_string(maxCallDepth), site.name);
            if (stop.load(std::memory_order_relaxed))
                PellixRuntimeException::throwStopped(callee->word, callee->line);
            PellixFunctionCode* calleeCode = codeFor(callee);
            frames.push_back({code, static_cast<size_t>(pc - begin), base, in.a});
            ++depth;
            code = calleeCode;
            base = arguments;
            enter(site.argc);
            break;
        }

        case PX_SELECT: {
            const PellixCaseTable& table = code->cases[static_cast<size_t>(in.c)];
            const int match = findCase(table, OPERAND(in.b));
            pc = begin + (match >= 0 ? table.targets[static_cast<size_t>(match)] : table.end);
            break;
        }

        case PX_RETURN: {
            if (code->resultMissing)
                throw PellixRuntimeException("variable not found", code->name, code->name, code->line);
            --depth;
            const int resultOperand = code->resultOperand;
            if (frames.size() == entryFrames) {
                callDepth = entryDepth;
                // Back to the host: the frame goes, the arguments it pushed stay for it to pop.
                PellixVariable result;
                moveValue(result, resultOperand >= 0 ? std::move(frame[resultOperand])
                                                     : PellixVariable(*references[~resultOperand]));
                stack.resize(base + entryArguments);
                return result;
            }
            const size_t resultIndex = base + static_cast<size_t>(resultOperand);
            PellixVariable* const global = resultOperand >= 0 ? nullptr : references[~resultOperand];
            const CallFrame caller = frames.back();
            frames.pop_back();
            code = caller.code;
            base = caller.base;
            reach();
            pc = begin + caller.returnPc;
            PellixVariable& destination = OPERAND(caller.resultOperand);
            if (global)
                destination.storeValue(*global);
            else
                moveValue(destination, std::move(stackData[resultIndex]));
            break;
        }

        case PX_ERROR:
            throw code->errors[static_cast<size_t>(in.c)];

        case PX_STEP:
            steps.spend(code->name, currentLineOf());
            break;

        default:
            fail("Unknown instruction", std::to_string(in.op));
        }
    }
#undef CHECK_STOP
#undef OPERAND
}
