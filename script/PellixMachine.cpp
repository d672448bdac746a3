#include "script/PellixMachine.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "script/PellixCompiler.h"
#include "script/PellixFunctionCode.h"
#include "script/PellixOperators.h"
#include "script/PellixScript.h"
#include "script/PellixStepBudget.h"
#include "script/PellixStepMaker.h"

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

inline float immediateFloat(int32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Each step learns where its handler starts: dispatch is then one indirect jump through the step itself.
void thread(PellixFunctionCode& code, const void* const* labels) {
    for (PellixStep& step : code.steps)
        step.handler = labels[step.op];
    code.threaded = true;
}

// A new call: the arguments are in place; the other locals start undefined. Through locals of its own, as a
// store to a type (a char) could change anything in the compiler's eyes and the bounds would be read again.
inline void clearLocals(PellixVariable* frame, int argc, int localCount) {
    for (PellixVariable *local = frame + argc, *end = frame + localCount; local < end; ++local)
        local->type = PellixVariable::Undefined;
}

// The 64 bits a step carries in d and e: a MOD's reciprocal, a SELECT's jump table.
inline uint64_t wideImmediate(const PellixStep* step) {
    return step->wide();
}

// The slow half of an operator: every mix of types, and the failures.
[[gnu::noinline]] void applyOperator(int operatorCode, const PellixVariable& left, const PellixVariable& right,
                                     PellixVariable& out, const PellixFunctionCode& code, size_t index) {
    const PellixOperators::Status status = PellixOperators::apply(operatorCode, left, right, out);
    if (status != PellixOperators::Ok) {
        throw PellixRuntimeException(PellixOperators::statusMessage(status),
                                     PellixOperators::operatorText(operatorCode), code.name, code.lines[index]);
    }
}

[[noreturn, gnu::noinline, gnu::cold]] void failAt(const std::string& error, const std::string& detail,
                                                    const PellixFunctionCode& code, size_t index) {
    throw PellixRuntimeException(error, detail, code.name, code.lines[index]);
}

} // namespace

PellixMachine::PellixMachine(const Shared& shared)
    : shared(shared) {}

PellixMachine::~PellixMachine() = default;

void PellixMachine::forgetCode() {
    for (auto& entry : shared.functions)
        entry.second->code = nullptr;
}

PellixFunctionCode* PellixMachine::codeFor(PellixSyntaxNode* function) {
    if (!function->code) {
        auto code = std::make_unique<PellixFunctionCode>();
        PellixCompiler(shared.functions, shared.globals, *code).compileFunction(function);
        PellixStepMaker::make(*code);
        function->code = code.get();
        codeStore.push_back(std::move(code));
    }
    return function->code;
}

PellixVariable PellixMachine::run(PellixSyntaxNode* function, size_t base) {
    if (!frames)
        frames.reset(new CallFrame[static_cast<size_t>(maxCallDepth)]);
    // A failed run leaves frames of its own behind; the caller's (a host function called from compiled code
    // may have run this) must be what it finds again.
    struct Unwind {
        size_t& frameCount;
        size_t count;
        ~Unwind() { frameCount = count; }
    } unwind{frameCount, frameCount};
    return execute(codeFor(function), base);
}

void PellixMachine::growStack(size_t end, const PellixFunctionCode& code) {
    if (end > maxStackSize) {
        throw PellixRuntimeException("Run-time stack full, the limit is " + std::to_string(maxStackSize) + " values",
                                     code.name, code.name, code.line);
    }
    shared.stack.resize(end);
}

// Frames and the stack: a running function's frame is [base, base + frameSize). Script calls place the callee's
// frame on the caller's argument slots and never shrink the stack, so values above the running frame may be
// left over from finished calls; they are dead and reused. A host function gets the stack cut to its arguments,
// as it must see them on top, and a host invoking a script function gets back the stack it left.
//
// The interpreter's state lives in locals that the compiler can keep in registers: nothing takes their address,
// and the slow paths get what they need as arguments. Dispatch is threaded: every step holds the address of
// its handler's label (a GCC and Clang extension) and every handler ends in a jump of its own, which predicts
// far better than one shared switch.
PellixVariable PellixMachine::execute(PellixFunctionCode* code, size_t base) {
    const size_t entryFrames = frameCount;
    size_t top = frameCount;
    CallFrame* const frameArray = frames.get();
    const std::atomic<bool>& stop = shared.stopRequested;
    const size_t entryArguments = shared.stack.size() - base;
    // The stack's storage as last seen, brought up to date wherever the stack may change: on entering a frame
    // and after a host function.
    PellixVariable* stackData = shared.stack.data();
    size_t stackSize = shared.stack.size();
    const PellixStep* pc = nullptr;
    PellixVariable* frame = nullptr;

    if (shared.callDepth >= maxCallDepth) {
        throw PellixRuntimeException("Calls nested too deeply, the limit is " + std::to_string(maxCallDepth),
                                     code->name, code->name, 0);
    }
    // Calls in progress, counted in a local: only a host function (which may call back in) needs to see the
    // count, and the host's way back restores the engine's count whatever happens.
    const int entryDepth = shared.callDepth;
    int depth = entryDepth + 1;
    using Ops = PellixOperators;

// Makes sure the frame of the running function exists and points the registers at it.
#define ENTER_FRAME()                                                                                              \
    do {                                                                                                           \
        const size_t end_ = base + static_cast<size_t>(code->frameSize);                                           \
        if (stackSize < end_) {                                                                                    \
            growStack(end_, *code);                                                                                \
            stackData = shared.stack.data();                                                                              \
            stackSize = end_;                                                                                      \
        }                                                                                                          \
        frame = stackData + base;                                                                                  \
    } while (false)
// The code's tables are read through code where needed, not held: the fast paths do not use them, and the
// registers they would take are worth more to those.
#define BEGIN() (code->steps.data())
#define INDEX() static_cast<size_t>(pc - BEGIN())
#define LINE() (code->lines[INDEX()])
#define OPERAND(x) ((x) >= 0 ? frame[(x)] : *code->references[static_cast<size_t>(~(x))])
#define FRAME_AT(offset) (*reinterpret_cast<PellixVariable*>(reinterpret_cast<char*>(frame) + (offset)))
#define LITERAL_AT(offset)                                                                                         \
    (*reinterpret_cast<const PellixVariable*>(reinterpret_cast<const char*>(code->literals.data()) + (offset)))
#define DISPATCH() goto* pc->handler
#define NEXT()                                                                                                     \
    do {                                                                                                           \
        ++pc;                                                                                                      \
        DISPATCH();                                                                                                \
    } while (false)
#define JUMP_BY(offset)                                                                                            \
    do {                                                                                                           \
        pc = reinterpret_cast<const PellixStep*>(reinterpret_cast<const char*>(pc) + (offset));                    \
        DISPATCH();                                                                                                \
    } while (false)
// Where a stop request ends the script: the jumps back to a loop's top and the script calls. The line is worked
// out only on a stop.
#define CHECK_STOP(line)                                                                                           \
    do {                                                                                                           \
        if (stop.load(std::memory_order_relaxed))                                                                  \
            PellixRuntimeException::throwStopped(code->name, (line));                                              \
    } while (false)

// Labels by opcode, then by operand form (PellixStepMaker's order); forms an opcode never gets lead nowhere.
#define CHECKED(name) &&name##_0, &&name##_1, &&name##_2, &&name##_3
#define NONE3 &&unknown, &&unknown, &&unknown
#define ALL_FORMS(name)                                                                                            \
    CHECKED(name), &&name##_4, &&name##_5, &&name##_6, &&name##_7, &&name##_8, &&name##_9, &&name##_10
#define INTEGER_FORMS(name) CHECKED(name), &&name##_4, &&name##_5, &&name##_6, NONE3, &&name##_10
#define GENERAL_ONLY(name) &&name##_0, NONE3, NONE3, NONE3, &&unknown
    static const void* const labels[] = {
        &&MOVE_0, &&MOVE_1, &&MOVE_2, &&unknown, &&MOVE_4, &&unknown, &&unknown, &&MOVE_7, &&unknown, &&unknown,
        &&unknown, // PX_MOVE
        GENERAL_ONLY(UNDEFINED),
        ALL_FORMS(ADD), ALL_FORMS(SUB), ALL_FORMS(MUL), ALL_FORMS(DIV), INTEGER_FORMS(MOD), INTEGER_FORMS(OR),
        INTEGER_FORMS(AND), INTEGER_FORMS(XOR),
        GENERAL_ONLY(NOT),
        INTEGER_FORMS(GT), INTEGER_FORMS(GE), INTEGER_FORMS(LT), INTEGER_FORMS(LE), INTEGER_FORMS(NE),
        INTEGER_FORMS(EQ),
        GENERAL_ONLY(JUMP), GENERAL_ONLY(JUMP_IF_FALSE), GENERAL_ONLY(JUMP_IF_TRUE),
        ALL_FORMS(BRANCH_GT), ALL_FORMS(BRANCH_GE), ALL_FORMS(BRANCH_LT), ALL_FORMS(BRANCH_LE),
        INTEGER_FORMS(BRANCH_NE), INTEGER_FORMS(BRANCH_EQ), ALL_FORMS(BRANCH_NOT_GT), ALL_FORMS(BRANCH_NOT_GE),
        ALL_FORMS(BRANCH_NOT_LT), ALL_FORMS(BRANCH_NOT_LE), INTEGER_FORMS(BRANCH_NOT_NE),
        INTEGER_FORMS(BRANCH_NOT_EQ),
        GENERAL_ONLY(LOOP_IF_FALSE), GENERAL_ONLY(LOOP_IF_TRUE),
        ALL_FORMS(LOOP_BRANCH_GT), ALL_FORMS(LOOP_BRANCH_GE), ALL_FORMS(LOOP_BRANCH_LT), ALL_FORMS(LOOP_BRANCH_LE),
        INTEGER_FORMS(LOOP_BRANCH_NE), INTEGER_FORMS(LOOP_BRANCH_EQ), ALL_FORMS(LOOP_BRANCH_NOT_GT),
        ALL_FORMS(LOOP_BRANCH_NOT_GE), ALL_FORMS(LOOP_BRANCH_NOT_LT), ALL_FORMS(LOOP_BRANCH_NOT_LE),
        INTEGER_FORMS(LOOP_BRANCH_NOT_NE), INTEGER_FORMS(LOOP_BRANCH_NOT_EQ),
        &&FOR_STEP_0, &&FOR_STEP_1, &&FOR_STEP_2, &&unknown, &&FOR_STEP_4, &&FOR_STEP_5, &&unknown, NONE3, &&unknown,
        &&FOR_STEP_DOWN_0, &&FOR_STEP_DOWN_1, &&FOR_STEP_DOWN_2, &&unknown, &&FOR_STEP_DOWN_4, &&FOR_STEP_DOWN_5,
        &&unknown, NONE3, &&unknown,
        GENERAL_ONLY(BEGIN_APPEND), GENERAL_ONLY(APPEND), GENERAL_ONLY(CALL),
        &&SELECT_0, NONE3, &&SELECT_4, NONE3, &&unknown, &&unknown, &&unknown,
        GENERAL_ONLY(RETURN), GENERAL_ONLY(ERROR), GENERAL_ONLY(STEP),
    };
    static_assert(sizeof(labels) / sizeof(labels[0]) ==
                      static_cast<size_t>((PX_STEP + 1) * PellixStepMaker::FormCount),
                  "one label for every opcode and operand form");
#undef GENERAL_ONLY
#undef INTEGER_FORMS
#undef ALL_FORMS
#undef NONE3
#undef CHECKED

    if (!code->threaded)
        thread(*code, labels);
    ENTER_FRAME();
    clearLocals(frame, static_cast<int>(entryArguments), code->localCount);
    pc = BEGIN();
    DISPATCH();

// An instruction with value operands, in its four forms: body(destination, l, r, ...) runs with the operands
// found for the form. The destination is an expression, found only after the operands are read.
#define WITH_FORMS(name, body, ...)                                                                                \
    name##_0 : {                                                                                                   \
        body(OPERAND(pc->a), OPERAND(pc->b), OPERAND(pc->c), __VA_ARGS__)                                          \
    }                                                                                                              \
    name##_1 : {                                                                                                   \
        body(FRAME_AT(pc->a), FRAME_AT(pc->b), FRAME_AT(pc->c), __VA_ARGS__)                                       \
    }                                                                                                              \
    name##_2 : {                                                                                                   \
        body(FRAME_AT(pc->a), FRAME_AT(pc->b), LITERAL_AT(pc->c), __VA_ARGS__)                                     \
    }                                                                                                              \
    name##_3 : {                                                                                                   \
        body(FRAME_AT(pc->a), LITERAL_AT(pc->b), FRAME_AT(pc->c), __VA_ARGS__)                                     \
    }

#define ARITHMETIC(destination, left, right, code_, integerExpression, floatExpression)                            \
    const PellixVariable& l = left;                                                                                \
    const PellixVariable& r = right;                                                                               \
    if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer) {                                  \
        const int32_t a = l.intValue, b = r.intValue;                                                              \
        PellixVariable& out = destination;                                                                         \
        out.intValue = (integerExpression);                                                                        \
        out.type = PellixVariable::Integer;                                                                        \
    } else if (l.type == PellixVariable::Float && r.type == PellixVariable::Float) {                               \
        const float a = l.floatValue, b = r.floatValue;                                                            \
        PellixVariable& out = destination;                                                                         \
        out.floatValue = (floatExpression);                                                                        \
        out.type = PellixVariable::Float;                                                                          \
    } else {                                                                                                       \
        applyOperator(code_, l, r, destination, *code, INDEX());                                                   \
    }                                                                                                              \
    NEXT();

// Integer division fails on zero and on INT_MIN / -1; a positive divisor is always safe. Two floats divide as
// floats whatever the divisor, as the operators do.
#define DIVISION(destination, left, right, code_)                                                                  \
    const PellixVariable& l = left;                                                                                \
    const PellixVariable& r = right;                                                                               \
    if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer && r.intValue > 0) {                \
        PellixVariable& out = destination;                                                                         \
        out.intValue = l.intValue / r.intValue;                                                                    \
        out.type = PellixVariable::Integer;                                                                        \
    } else if (l.type == PellixVariable::Float && r.type == PellixVariable::Float) {                               \
        PellixVariable& out = destination;                                                                         \
        out.floatValue = l.floatValue / r.floatValue;                                                              \
        out.type = PellixVariable::Float;                                                                          \
    } else {                                                                                                       \
        applyOperator(code_, l, r, destination, *code, INDEX());                                                   \
    }                                                                                                              \
    NEXT();

// Integer-only fast paths; guard says when the integer expression is safe.
#define INTEGER(destination, left, right, code_, integerExpression, guard)                                        \
    const PellixVariable& l = left;                                                                                \
    const PellixVariable& r = right;                                                                               \
    if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer && (guard)) {                       \
        const int32_t a = l.intValue, b = r.intValue;                                                              \
        PellixVariable& out = destination;                                                                         \
        out.intValue = (integerExpression);                                                                        \
        out.type = PellixVariable::Integer;                                                                        \
    } else {                                                                                                       \
        applyOperator(code_, l, r, destination, *code, INDEX());                                                   \
    }                                                                                                              \
    NEXT();

// Comparisons of two integers give 1 or 0; everything else (floats give floats) takes the operators' rules.
#define COMPARISON(destination, left, right, code_, comparison)                                                    \
    const PellixVariable& l = left;                                                                                \
    const PellixVariable& r = right;                                                                               \
    if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer) {                                  \
        const bool result = l.intValue comparison r.intValue;                                                      \
        PellixVariable& out = destination;                                                                         \
        out.intValue = result ? 1 : 0;                                                                             \
        out.type = PellixVariable::Integer;                                                                        \
    } else {                                                                                                       \
        applyOperator(code_, l, r, destination, *code, INDEX());                                                   \
    }                                                                                                              \
    NEXT();

// A conditional jump on a comparison; ordered is whether two floats compare as floats (for "=" and "<>" they
// compare as integers). back: the jump closes a loop, so a stop request is honoured there.
#define BRANCH(destination, left, right, code_, comparison, when, back, ordered)                                  \
    const PellixVariable& l = left;                                                                                \
    const PellixVariable& r = right;                                                                               \
    bool holds;                                                                                                    \
    if (l.type == PellixVariable::Integer && r.type == PellixVariable::Integer)                                    \
        holds = l.intValue comparison r.intValue;                                                                  \
    else if ((ordered) && l.type == PellixVariable::Float && r.type == PellixVariable::Float)                      \
        holds = l.floatValue comparison r.floatValue;                                                              \
    else                                                                                                           \
        holds = PellixOperators::holds(code_, l, r);                                                               \
    if (holds == (when)) {                                                                                         \
        if (back)                                                                                                  \
            CHECK_STOP(LINE());                                                                                    \
        JUMP_BY(pc->a);                                                                                            \
    }                                                                                                              \
    NEXT();

// An integer literal on the right and a frame slot on the left, tested: the literal's value comes from the
// step, the literal itself only when the left operand is no integer.
#define FRAME_INTEGER(name, code_, expression)                                                                     \
    name##_10 : {                                                                                                  \
        const PellixVariable& l = FRAME_AT(pc->b);                                                                 \
        if (l.type == PellixVariable::Integer) {                                                                   \
            const int32_t a = l.intValue, b = pc->c;                                                               \
            PellixVariable& out = FRAME_AT(pc->a);                                                                 \
            out.intValue = (expression);                                                                           \
            out.type = PellixVariable::Integer;                                                                    \
        } else {                                                                                                   \
            applyOperator(code_, l, LITERAL_AT(pc->d), FRAME_AT(pc->a), *code, INDEX());                           \
        }                                                                                                          \
        NEXT();                                                                                                    \
    }
#define FRAME_INTEGER_BRANCH(name, code_, comparison, when, back)                                                  \
    name##_10 : {                                                                                                  \
        const PellixVariable& l = FRAME_AT(pc->b);                                                                 \
        const bool holds = l.type == PellixVariable::Integer ? l.intValue comparison pc->c                         \
                                                             : Ops::holds(code_, l, LITERAL_AT(pc->d));            \
        if (holds == (when)) {                                                                                     \
            if (back)                                                                                              \
                CHECK_STOP(LINE());                                                                                \
            JUMP_BY(pc->a);                                                                                        \
        }                                                                                                          \
        NEXT();                                                                                                    \
    }

// The forms whose operand types are known: no tests, the value straight from the frame or the step.
#define FRAME_INT(offset) FRAME_AT(offset).intValue
#define FRAME_FLOAT(offset) FRAME_AT(offset).floatValue
#define INTEGER_TYPED(name, expression)                                                                            \
    name##_4 : {                                                                                                   \
        const int32_t a = FRAME_INT(pc->b), b = FRAME_INT(pc->c);                                                  \
        PellixVariable& out = FRAME_AT(pc->a);                                                                     \
        out.intValue = (expression);                                                                               \
        out.type = PellixVariable::Integer;                                                                        \
        NEXT();                                                                                                    \
    }                                                                                                              \
    name##_5 : {                                                                                                   \
        const int32_t a = FRAME_INT(pc->b), b = pc->c;                                                             \
        PellixVariable& out = FRAME_AT(pc->a);                                                                     \
        out.intValue = (expression);                                                                               \
        out.type = PellixVariable::Integer;                                                                        \
        NEXT();                                                                                                    \
    }                                                                                                              \
    name##_6 : {                                                                                                   \
        const int32_t a = pc->b, b = FRAME_INT(pc->c);                                                             \
        PellixVariable& out = FRAME_AT(pc->a);                                                                     \
        out.intValue = (expression);                                                                               \
        out.type = PellixVariable::Integer;                                                                        \
        NEXT();                                                                                                    \
    }
#define FLOAT_TYPED(name, expression)                                                                              \
    name##_7 : {                                                                                                   \
        const float a = FRAME_FLOAT(pc->b), b = FRAME_FLOAT(pc->c);                                                \
        PellixVariable& out = FRAME_AT(pc->a);                                                                     \
        out.floatValue = (expression);                                                                             \
        out.type = PellixVariable::Float;                                                                          \
        NEXT();                                                                                                    \
    }                                                                                                              \
    name##_8 : {                                                                                                   \
        const float a = FRAME_FLOAT(pc->b), b = immediateFloat(pc->c);                                             \
        PellixVariable& out = FRAME_AT(pc->a);                                                                     \
        out.floatValue = (expression);                                                                             \
        out.type = PellixVariable::Float;                                                                          \
        NEXT();                                                                                                    \
    }                                                                                                              \
    name##_9 : {                                                                                                   \
        const float a = immediateFloat(pc->b), b = FRAME_FLOAT(pc->c);                                             \
        PellixVariable& out = FRAME_AT(pc->a);                                                                     \
        out.floatValue = (expression);                                                                             \
        out.type = PellixVariable::Float;                                                                          \
        NEXT();                                                                                                    \
    }
// Known integers still divide only by a positive divisor without the full rules; a literal divisor got the
// immediate form only when it is one.
#define DIVISION_TYPED(name, code_, expression, immediateExpression)                                            \
    name##_4 : {                                                                                                   \
        const PellixVariable& r = FRAME_AT(pc->c);                                                                 \
        if (r.intValue > 0) {                                                                                      \
            const int32_t a = FRAME_INT(pc->b), b = r.intValue;                                                    \
            PellixVariable& out = FRAME_AT(pc->a);                                                                 \
            out.intValue = (expression);                                                                           \
            out.type = PellixVariable::Integer;                                                                    \
        } else {                                                                                                   \
            applyOperator(code_, FRAME_AT(pc->b), r, FRAME_AT(pc->a), *code, INDEX());                             \
        }                                                                                                          \
        NEXT();                                                                                                    \
    }                                                                                                              \
    name##_5 : {                                                                                                   \
        const int32_t a = FRAME_INT(pc->b), b = pc->c;                                                             \
        PellixVariable& out = FRAME_AT(pc->a);                                                                     \
        out.intValue = (immediateExpression);                                                                      \
        out.type = PellixVariable::Integer;                                                                        \
        NEXT();                                                                                                    \
    }                                                                                                              \
    name##_6:                                                                                                      \
    goto unknown;
#define BRANCH_LABEL(label, Type, left, right, comparison, when, back)                                         \
    label : {                                                                                                      \
        const Type a = (left), b = (right);                                                                        \
        if ((a comparison b) == (when)) {                                                                          \
            if (back)                                                                                              \
                CHECK_STOP(LINE());                                                                                \
            JUMP_BY(pc->a);                                                                                        \
        }                                                                                                          \
        NEXT();                                                                                                    \
    }
#define INTEGER_BRANCH(name, comparison, when, back)                                                               \
    BRANCH_LABEL(name##_4, int32_t, FRAME_INT(pc->b), FRAME_INT(pc->c), comparison, when, back)                  \
    BRANCH_LABEL(name##_5, int32_t, FRAME_INT(pc->b), pc->c, comparison, when, back)                             \
    BRANCH_LABEL(name##_6, int32_t, pc->b, FRAME_INT(pc->c), comparison, when, back)
#define FLOAT_BRANCH(name, comparison, when, back)                                                                 \
    BRANCH_LABEL(name##_7, float, FRAME_FLOAT(pc->b), FRAME_FLOAT(pc->c), comparison, when, back)                \
    BRANCH_LABEL(name##_8, float, FRAME_FLOAT(pc->b), immediateFloat(pc->c), comparison, when, back)             \
    BRANCH_LABEL(name##_9, float, immediateFloat(pc->b), FRAME_FLOAT(pc->c), comparison, when, back)

    FRAME_INTEGER(ADD, Ops::OP_ADD, Ops::wrapAdd(a, b))
    FRAME_INTEGER(SUB, Ops::OP_SUB, Ops::wrapSubtract(a, b))
    FRAME_INTEGER(MUL, Ops::OP_MUL, Ops::wrapMultiply(a, b))
    FRAME_INTEGER(DIV, Ops::OP_DIV, a / b)
    FRAME_INTEGER(MOD, Ops::OP_MOD, a % b)
    FRAME_INTEGER(OR, Ops::OP_OR, a | b)
    FRAME_INTEGER(AND, Ops::OP_AND, a & b)
    FRAME_INTEGER(XOR, Ops::OP_XOR, a ^ b)
    FRAME_INTEGER(GT, Ops::OP_GT, a > b ? 1 : 0)
    FRAME_INTEGER(GE, Ops::OP_GE, a >= b ? 1 : 0)
    FRAME_INTEGER(LT, Ops::OP_LT, a < b ? 1 : 0)
    FRAME_INTEGER(LE, Ops::OP_LE, a <= b ? 1 : 0)
    FRAME_INTEGER(NE, Ops::OP_NE, a != b ? 1 : 0)
    FRAME_INTEGER(EQ, Ops::OP_EQ, a == b ? 1 : 0)
    FRAME_INTEGER_BRANCH(BRANCH_GT, Ops::OP_GT, >, true, false)
    FRAME_INTEGER_BRANCH(BRANCH_GE, Ops::OP_GE, >=, true, false)
    FRAME_INTEGER_BRANCH(BRANCH_LT, Ops::OP_LT, <, true, false)
    FRAME_INTEGER_BRANCH(BRANCH_LE, Ops::OP_LE, <=, true, false)
    FRAME_INTEGER_BRANCH(BRANCH_NE, Ops::OP_NE, !=, true, false)
    FRAME_INTEGER_BRANCH(BRANCH_EQ, Ops::OP_EQ, ==, true, false)
    FRAME_INTEGER_BRANCH(BRANCH_NOT_GT, Ops::OP_GT, >, false, false)
    FRAME_INTEGER_BRANCH(BRANCH_NOT_GE, Ops::OP_GE, >=, false, false)
    FRAME_INTEGER_BRANCH(BRANCH_NOT_LT, Ops::OP_LT, <, false, false)
    FRAME_INTEGER_BRANCH(BRANCH_NOT_LE, Ops::OP_LE, <=, false, false)
    FRAME_INTEGER_BRANCH(BRANCH_NOT_NE, Ops::OP_NE, !=, false, false)
    FRAME_INTEGER_BRANCH(BRANCH_NOT_EQ, Ops::OP_EQ, ==, false, false)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_GT, Ops::OP_GT, >, true, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_GE, Ops::OP_GE, >=, true, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_LT, Ops::OP_LT, <, true, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_LE, Ops::OP_LE, <=, true, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_NE, Ops::OP_NE, !=, true, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_EQ, Ops::OP_EQ, ==, true, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_NOT_GT, Ops::OP_GT, >, false, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_NOT_GE, Ops::OP_GE, >=, false, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_NOT_LT, Ops::OP_LT, <, false, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_NOT_LE, Ops::OP_LE, <=, false, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_NOT_NE, Ops::OP_NE, !=, false, true)
    FRAME_INTEGER_BRANCH(LOOP_BRANCH_NOT_EQ, Ops::OP_EQ, ==, false, true)
#undef FRAME_INTEGER_BRANCH
#undef FRAME_INTEGER
    INTEGER_TYPED(ADD, Ops::wrapAdd(a, b))
    INTEGER_TYPED(SUB, Ops::wrapSubtract(a, b))
    INTEGER_TYPED(MUL, Ops::wrapMultiply(a, b))
    DIVISION_TYPED(DIV, Ops::OP_DIV, a / b, a / b)
    // A literal divisor's MOD multiplies by its reciprocal instead of dividing.
    DIVISION_TYPED(MOD, Ops::OP_MOD, a % b,
                   Ops::remainderByMagic(a, static_cast<uint32_t>(b), wideImmediate(pc)))
    INTEGER_TYPED(OR, a | b)
    INTEGER_TYPED(AND, a & b)
    INTEGER_TYPED(XOR, a ^ b)
    INTEGER_TYPED(GT, a > b ? 1 : 0)
    INTEGER_TYPED(GE, a >= b ? 1 : 0)
    INTEGER_TYPED(LT, a < b ? 1 : 0)
    INTEGER_TYPED(LE, a <= b ? 1 : 0)
    INTEGER_TYPED(NE, a != b ? 1 : 0)
    INTEGER_TYPED(EQ, a == b ? 1 : 0)
    FLOAT_TYPED(ADD, a + b)
    FLOAT_TYPED(SUB, a - b)
    FLOAT_TYPED(MUL, a * b)
    FLOAT_TYPED(DIV, a / b)
    INTEGER_BRANCH(BRANCH_GT, >, true, false)
    INTEGER_BRANCH(BRANCH_GE, >=, true, false)
    INTEGER_BRANCH(BRANCH_LT, <, true, false)
    INTEGER_BRANCH(BRANCH_LE, <=, true, false)
    INTEGER_BRANCH(BRANCH_NE, !=, true, false)
    INTEGER_BRANCH(BRANCH_EQ, ==, true, false)
    INTEGER_BRANCH(BRANCH_NOT_GT, >, false, false)
    INTEGER_BRANCH(BRANCH_NOT_GE, >=, false, false)
    INTEGER_BRANCH(BRANCH_NOT_LT, <, false, false)
    INTEGER_BRANCH(BRANCH_NOT_LE, <=, false, false)
    INTEGER_BRANCH(BRANCH_NOT_NE, !=, false, false)
    INTEGER_BRANCH(BRANCH_NOT_EQ, ==, false, false)
    INTEGER_BRANCH(LOOP_BRANCH_GT, >, true, true)
    INTEGER_BRANCH(LOOP_BRANCH_GE, >=, true, true)
    INTEGER_BRANCH(LOOP_BRANCH_LT, <, true, true)
    INTEGER_BRANCH(LOOP_BRANCH_LE, <=, true, true)
    INTEGER_BRANCH(LOOP_BRANCH_NE, !=, true, true)
    INTEGER_BRANCH(LOOP_BRANCH_EQ, ==, true, true)
    INTEGER_BRANCH(LOOP_BRANCH_NOT_GT, >, false, true)
    INTEGER_BRANCH(LOOP_BRANCH_NOT_GE, >=, false, true)
    INTEGER_BRANCH(LOOP_BRANCH_NOT_LT, <, false, true)
    INTEGER_BRANCH(LOOP_BRANCH_NOT_LE, <=, false, true)
    INTEGER_BRANCH(LOOP_BRANCH_NOT_NE, !=, false, true)
    INTEGER_BRANCH(LOOP_BRANCH_NOT_EQ, ==, false, true)
    FLOAT_BRANCH(BRANCH_GT, >, true, false)
    FLOAT_BRANCH(BRANCH_GE, >=, true, false)
    FLOAT_BRANCH(BRANCH_LT, <, true, false)
    FLOAT_BRANCH(BRANCH_LE, <=, true, false)
    FLOAT_BRANCH(BRANCH_NOT_GT, >, false, false)
    FLOAT_BRANCH(BRANCH_NOT_GE, >=, false, false)
    FLOAT_BRANCH(BRANCH_NOT_LT, <, false, false)
    FLOAT_BRANCH(BRANCH_NOT_LE, <=, false, false)
    FLOAT_BRANCH(LOOP_BRANCH_GT, >, true, true)
    FLOAT_BRANCH(LOOP_BRANCH_GE, >=, true, true)
    FLOAT_BRANCH(LOOP_BRANCH_LT, <, true, true)
    FLOAT_BRANCH(LOOP_BRANCH_LE, <=, true, true)
    FLOAT_BRANCH(LOOP_BRANCH_NOT_GT, >, false, true)
    FLOAT_BRANCH(LOOP_BRANCH_NOT_GE, >=, false, true)
    FLOAT_BRANCH(LOOP_BRANCH_NOT_LT, <, false, true)
    FLOAT_BRANCH(LOOP_BRANCH_NOT_LE, <=, false, true)
#undef FLOAT_BRANCH
#undef INTEGER_BRANCH
#undef BRANCH_LABEL
#undef DIVISION_TYPED
#undef FLOAT_TYPED
#undef INTEGER_TYPED
#undef FRAME_FLOAT
#undef FRAME_INT

    WITH_FORMS(ADD, ARITHMETIC, Ops::OP_ADD, Ops::wrapAdd(a, b), a + b)
    WITH_FORMS(SUB, ARITHMETIC, Ops::OP_SUB, Ops::wrapSubtract(a, b), a - b)
    WITH_FORMS(MUL, ARITHMETIC, Ops::OP_MUL, Ops::wrapMultiply(a, b), a * b)
    WITH_FORMS(DIV, DIVISION, Ops::OP_DIV)
    WITH_FORMS(MOD, INTEGER, Ops::OP_MOD, a % b, r.intValue > 0)
    WITH_FORMS(OR, INTEGER, Ops::OP_OR, a | b, true)
    WITH_FORMS(AND, INTEGER, Ops::OP_AND, a & b, true)
    WITH_FORMS(XOR, INTEGER, Ops::OP_XOR, a ^ b, true)
    WITH_FORMS(GT, COMPARISON, Ops::OP_GT, >)
    WITH_FORMS(GE, COMPARISON, Ops::OP_GE, >=)
    WITH_FORMS(LT, COMPARISON, Ops::OP_LT, <)
    WITH_FORMS(LE, COMPARISON, Ops::OP_LE, <=)
    WITH_FORMS(NE, COMPARISON, Ops::OP_NE, !=)
    WITH_FORMS(EQ, COMPARISON, Ops::OP_EQ, ==)
    WITH_FORMS(BRANCH_GT, BRANCH, Ops::OP_GT, >, true, false, true)
    WITH_FORMS(BRANCH_GE, BRANCH, Ops::OP_GE, >=, true, false, true)
    WITH_FORMS(BRANCH_LT, BRANCH, Ops::OP_LT, <, true, false, true)
    WITH_FORMS(BRANCH_LE, BRANCH, Ops::OP_LE, <=, true, false, true)
    WITH_FORMS(BRANCH_NE, BRANCH, Ops::OP_NE, !=, true, false, false)
    WITH_FORMS(BRANCH_EQ, BRANCH, Ops::OP_EQ, ==, true, false, false)
    WITH_FORMS(BRANCH_NOT_GT, BRANCH, Ops::OP_GT, >, false, false, true)
    WITH_FORMS(BRANCH_NOT_GE, BRANCH, Ops::OP_GE, >=, false, false, true)
    WITH_FORMS(BRANCH_NOT_LT, BRANCH, Ops::OP_LT, <, false, false, true)
    WITH_FORMS(BRANCH_NOT_LE, BRANCH, Ops::OP_LE, <=, false, false, true)
    WITH_FORMS(BRANCH_NOT_NE, BRANCH, Ops::OP_NE, !=, false, false, false)
    WITH_FORMS(BRANCH_NOT_EQ, BRANCH, Ops::OP_EQ, ==, false, false, false)
    WITH_FORMS(LOOP_BRANCH_GT, BRANCH, Ops::OP_GT, >, true, true, true)
    WITH_FORMS(LOOP_BRANCH_GE, BRANCH, Ops::OP_GE, >=, true, true, true)
    WITH_FORMS(LOOP_BRANCH_LT, BRANCH, Ops::OP_LT, <, true, true, true)
    WITH_FORMS(LOOP_BRANCH_LE, BRANCH, Ops::OP_LE, <=, true, true, true)
    WITH_FORMS(LOOP_BRANCH_NE, BRANCH, Ops::OP_NE, !=, true, true, false)
    WITH_FORMS(LOOP_BRANCH_EQ, BRANCH, Ops::OP_EQ, ==, true, true, false)
    WITH_FORMS(LOOP_BRANCH_NOT_GT, BRANCH, Ops::OP_GT, >, false, true, true)
    WITH_FORMS(LOOP_BRANCH_NOT_GE, BRANCH, Ops::OP_GE, >=, false, true, true)
    WITH_FORMS(LOOP_BRANCH_NOT_LT, BRANCH, Ops::OP_LT, <, false, true, true)
    WITH_FORMS(LOOP_BRANCH_NOT_LE, BRANCH, Ops::OP_LE, <=, false, true, true)
    WITH_FORMS(LOOP_BRANCH_NOT_NE, BRANCH, Ops::OP_NE, !=, false, true, false)
    WITH_FORMS(LOOP_BRANCH_NOT_EQ, BRANCH, Ops::OP_EQ, ==, false, true, false)
#undef BRANCH
#undef COMPARISON
#undef INTEGER
#undef DIVISION
#undef ARITHMETIC
#undef WITH_FORMS

NOT_0 : {
    const PellixVariable& l = OPERAND(pc->b);
    const PellixVariable& r = OPERAND(pc->c);
    PellixVariable& out = OPERAND(pc->a);
    if (r.type == PellixVariable::Integer) {
        out.intValue = r.intValue == 0 ? 1 : 0;
        out.type = PellixVariable::Integer;
    } else {
        applyOperator(Ops::OP_NOT, l, r, out, *code, INDEX());
    }
    NEXT();
}

MOVE_0:
    OPERAND(pc->a).storeValue(OPERAND(pc->b));
    NEXT();
MOVE_1:
    FRAME_AT(pc->a).storeValue(FRAME_AT(pc->b));
    NEXT();
MOVE_2:
    FRAME_AT(pc->a).storeValue(LITERAL_AT(pc->b));
    NEXT();
// A known number: its own field and the type are the value (the other field is only read for the other type).
MOVE_4 : {
    PellixVariable& out = FRAME_AT(pc->a);
    out.intValue = FRAME_AT(pc->b).intValue;
    out.type = PellixVariable::Integer;
    NEXT();
}
MOVE_7 : {
    PellixVariable& out = FRAME_AT(pc->a);
    out.floatValue = FRAME_AT(pc->b).floatValue;
    out.type = PellixVariable::Float;
    NEXT();
}
UNDEFINED_0:
    OPERAND(pc->a).type = PellixVariable::Undefined;
    NEXT();

JUMP_0:
    JUMP_BY(pc->a);
JUMP_IF_FALSE_0:
    if (!readsTrue(OPERAND(pc->b)))
        JUMP_BY(pc->a);
    NEXT();
JUMP_IF_TRUE_0:
    if (readsTrue(OPERAND(pc->b)))
        JUMP_BY(pc->a);
    NEXT();
LOOP_IF_FALSE_0:
    if (!readsTrue(OPERAND(pc->b))) {
        CHECK_STOP(LINE());
        JUMP_BY(pc->a);
    }
    NEXT();
LOOP_IF_TRUE_0:
    if (readsTrue(OPERAND(pc->b))) {
        CHECK_STOP(LINE());
        JUMP_BY(pc->a);
    }
    NEXT();

// counter = counter + step, then back to the loop's top while the limit is not passed. The FOR's line is
// the compiled instruction's e.
#define FOR_STEP(counter_, limit_, step_, up)                                                                      \
    {                                                                                                              \
        PellixVariable& counter = counter_;                                                                        \
        const PellixVariable& limit = limit_;                                                                      \
        const PellixVariable& step = step_;                                                                        \
        bool holds;                                                                                                \
        if (counter.type == PellixVariable::Integer && step.type == PellixVariable::Integer &&                     \
            limit.type == PellixVariable::Integer) {                                                               \
            counter.intValue = Ops::wrapAdd(counter.intValue, step.intValue);                                      \
            holds = (up) ? counter.intValue <= limit.intValue : counter.intValue >= limit.intValue;                \
            shared.steps.spend(code->name, code->instructions[INDEX()].e);                                                \
        } else {                                                                                                   \
            applyOperator(Ops::OP_ADD, counter, step, counter, *code, INDEX());                                    \
            shared.steps.spend(code->name, code->instructions[INDEX()].e);                                                \
            holds = Ops::holds((up) ? Ops::OP_LE : Ops::OP_GE, counter, limit);                                    \
        }                                                                                                          \
        if (holds) {                                                                                               \
            CHECK_STOP(code->instructions[INDEX()].e);                                                             \
            JUMP_BY(pc->a);                                                                                        \
        }                                                                                                          \
        NEXT();                                                                                                    \
    }
FOR_STEP_0:
    FOR_STEP(OPERAND(pc->b), OPERAND(pc->c), OPERAND(pc->d), true)
FOR_STEP_1:
    FOR_STEP(FRAME_AT(pc->b), FRAME_AT(pc->c), LITERAL_AT(pc->d), true)
FOR_STEP_2:
    FOR_STEP(FRAME_AT(pc->b), LITERAL_AT(pc->c), LITERAL_AT(pc->d), true)
// Known integers, the step an immediate: no tests but the loop's own. The limit is in the frame (form 4) or
// an immediate (form 5).
#define FOR_STEP_TYPED(label, limitValue, up)                                                                      \
    label : {                                                                                                      \
        int32_t& counter = FRAME_AT(pc->b).intValue;                                                               \
        counter = Ops::wrapAdd(counter, pc->d);                                                                    \
        shared.steps.spend(code->name, code->instructions[INDEX()].e);                                                    \
        if ((up) ? counter <= (limitValue) : counter >= (limitValue)) {                                            \
            CHECK_STOP(code->instructions[INDEX()].e);                                                             \
            JUMP_BY(pc->a);                                                                                        \
        }                                                                                                          \
        NEXT();                                                                                                    \
    }
    FOR_STEP_TYPED(FOR_STEP_4, FRAME_AT(pc->c).intValue, true)
    FOR_STEP_TYPED(FOR_STEP_5, pc->c, true)
    FOR_STEP_TYPED(FOR_STEP_DOWN_4, FRAME_AT(pc->c).intValue, false)
    FOR_STEP_TYPED(FOR_STEP_DOWN_5, pc->c, false)
#undef FOR_STEP_TYPED
FOR_STEP_DOWN_0:
    FOR_STEP(OPERAND(pc->b), OPERAND(pc->c), OPERAND(pc->d), false)
FOR_STEP_DOWN_1:
    FOR_STEP(FRAME_AT(pc->b), FRAME_AT(pc->c), LITERAL_AT(pc->d), false)
FOR_STEP_DOWN_2:
    FOR_STEP(FRAME_AT(pc->b), LITERAL_AT(pc->c), LITERAL_AT(pc->d), false)
#undef FOR_STEP

BEGIN_APPEND_0 : {
    const PellixVariable& text = OPERAND(pc->b);
    if (text.type != PellixVariable::String)
        JUMP_BY(pc->a);
    frame[pc->c].intValue = static_cast<int32_t>(text.stringValue.size());
    frame[pc->c].type = PellixVariable::Integer;
    NEXT();
}
APPEND_0 : {
    PellixVariable& text = OPERAND(pc->a);
    const PellixOperators::Status status = Ops::appendText(text, OPERAND(pc->b));
    if (status != Ops::Ok) {
        text.stringValue.resize(static_cast<size_t>(frame[pc->c].intValue));
        failAt(Ops::statusMessage(status), "+", *code, INDEX());
    }
    NEXT();
}

CALL_0 : {
    const PellixCallSite& site = code->calls[static_cast<size_t>(pc->c)];
    PellixSyntaxNode* callee = site.callee;
    if (!callee)
        throw PellixRuntimeException("Function not found", site.name, site.name, 0);
    const size_t arguments = base + static_cast<size_t>(pc->b);
    if (callee->kind == PellixSyntaxNode::NODE_EXTERNAL) {
        // The host sees its arguments on top of the stack and nothing above them. The result lives in a block
        // of its own: a jump through a label address out of a variable's scope does not destroy it.
        {
            shared.stack.resize(arguments + static_cast<size_t>(site.argc));
            PellixVariable result;
            shared.callDepth = depth;
            frameCount = top;
            shared.hostCallPlace = PellixCallPlace{code->file, LINE()};
            callee->hostFunction(shared.stack, result, site.argc);
            depth = shared.callDepth;
            if (stop.load(std::memory_order_relaxed))
                PellixRuntimeException::throwStopped(code->name, LINE());
            shared.stack.resize(base + static_cast<size_t>(code->frameSize));
            stackData = shared.stack.data();
            stackSize = shared.stack.size();
            frame = stackData + base;
            moveValue(OPERAND(pc->a), std::move(result));
        }
        NEXT();
    }
    if (callee->kind != PellixSyntaxNode::NODE_FUNCTION)
        throw PellixRuntimeException("Not a valid function", site.name, site.name, 0);
    if (site.argc > callee->localCount)
        throw PellixRuntimeException("Too many parameters", site.name, site.name, 0);
    if (depth >= maxCallDepth)
        failAt("Calls nested too deeply, the limit is " + std::to_string(maxCallDepth), site.name, *code, INDEX());
    if (stop.load(std::memory_order_relaxed))
        PellixRuntimeException::throwStopped(callee->word, callee->line);
    PellixFunctionCode* const calleeCode = callee->code ? callee->code : codeFor(callee);
    if (!calleeCode->threaded)
        thread(*calleeCode, labels);
    // Written field by field into room made beforehand: no record is built and copied.
    CallFrame& saved = frameArray[top++];
    saved.code = code;
    saved.returnPc = pc + 1;
    saved.base = base;
    saved.resultOperand = pc->a;
    ++depth;
    code = calleeCode;
    base = arguments;
    ENTER_FRAME();
    clearLocals(frame, site.argc, code->localCount);
    pc = BEGIN();
    DISPATCH();
}

SELECT_0 : {
    const PellixCaseTable& table = code->cases[static_cast<size_t>(pc->c)];
    const int match = findCase(table, OPERAND(pc->b));
    pc = BEGIN() + (match >= 0 ? table.targets[static_cast<size_t>(match)] : table.end);
    DISPATCH();
}

SELECT_4 : {
    const uint32_t offset = static_cast<uint32_t>(FRAME_AT(pc->b).intValue) - static_cast<uint32_t>(pc->c);
    const int32_t* const jumps = reinterpret_cast<const int32_t*>(static_cast<uintptr_t>(wideImmediate(pc)));
    JUMP_BY(jumps[offset < static_cast<uint32_t>(pc->a) ? offset : static_cast<uint32_t>(pc->a)]);
}

RETURN_0 : {
    if (code->resultMissing)
        throw PellixRuntimeException("variable not found", code->name, code->name, code->line);
    --depth;
    const int resultOperand = code->resultOperand;
    if (top == entryFrames) {
        shared.callDepth = entryDepth;
        frameCount = top;
        // Back to the host: the frame goes, the arguments it pushed stay for it to pop.
        PellixVariable result;
        moveValue(result, resultOperand >= 0 ? std::move(frame[resultOperand])
                                             : PellixVariable(*code->references[static_cast<size_t>(~resultOperand)]));
        shared.stack.resize(base + entryArguments);
        return result;
    }
    const size_t resultIndex = base + static_cast<size_t>(resultOperand);
    PellixVariable* const global =
        resultOperand >= 0 ? nullptr : code->references[static_cast<size_t>(~resultOperand)];
    const CallFrame& caller = frameArray[--top];
    code = caller.code;
    base = caller.base;
    ENTER_FRAME();
    pc = caller.returnPc;
    PellixVariable& destination = OPERAND(caller.resultOperand);
    if (global)
        destination.storeValue(*global);
    else
        moveValue(destination, std::move(stackData[resultIndex]));
    DISPATCH();
}

ERROR_0:
    throw code->errors[static_cast<size_t>(pc->c)];

STEP_0:
    shared.steps.spend(code->name, LINE());
    NEXT();

unknown:
    failAt("Unknown instruction", std::to_string(PellixStepMaker::opcodeOf(pc->op)), *code, INDEX());

#undef CHECK_STOP
#undef JUMP_BY
#undef NEXT
#undef DISPATCH
#undef LITERAL_AT
#undef FRAME_AT
#undef OPERAND
#undef LINE
#undef INDEX
#undef BEGIN
#undef ENTER_FRAME
}
