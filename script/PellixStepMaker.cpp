#include "script/PellixStepMaker.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "script/PellixFunctionCode.h"
#include "script/PellixOperators.h"

namespace {

// What a frame slot is known to hold: the value types, then "any of them" and "no path reaches here yet".
enum Known : uint8_t {
    KnownUndefined = PellixVariable::Undefined,
    KnownInteger = PellixVariable::Integer,
    KnownString = PellixVariable::String,
    KnownFloat = PellixVariable::Float,
    KnownAny = 4,
    Unreached = 5,
};

bool isJump(int opcode) {
    return opcode == PX_JUMP || opcode == PX_JUMP_IF_FALSE || opcode == PX_JUMP_IF_TRUE ||
           (opcode >= PX_BRANCH_GT && opcode <= PX_FOR_STEP_DOWN) || opcode == PX_BEGIN_APPEND;
}

bool isBranch(int opcode) {
    return (opcode >= PX_BRANCH_GT && opcode <= PX_BRANCH_NOT_EQ) ||
           (opcode >= PX_LOOP_BRANCH_GT && opcode <= PX_LOOP_BRANCH_NOT_EQ);
}

// The comparison a branch makes, as the value instruction of the same comparison.
int comparisonOf(int opcode) {
    const int first = opcode >= PX_LOOP_BRANCH_GT ? PX_LOOP_BRANCH_GT : PX_BRANCH_GT;
    return PX_GT + (opcode - first) % 6;
}

bool isValueOperation(int opcode) {
    return opcode >= PX_ADD && opcode <= PX_EQ && opcode != PX_NOT;
}

int32_t frameOffset(int slot) {
    return static_cast<int32_t>(slot * static_cast<int>(sizeof(PellixVariable)));
}

int32_t floatBits(float value) {
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class Analysis {
public:
    explicit Analysis(const PellixFunctionCode& code)
        : code(code), size(static_cast<size_t>(code.frameSize)), count(code.instructions.size()),
          enabled(count != 0 && size <= maxStates / count),
          states(enabled ? count * size : 0, Unreached), reachedFlags(count, false) {}

    // Runs the pass to its end: every slot's knowledge only widens (unreached, one type, any), so it stops. A
    // function too large for it (a state per slot per instruction), or one whose knowledge keeps widening past
    // the budget, is left without: all its steps test their operands.
    void run() {
        if (!enabled)
            return;
        // On entry the arguments may be anything, and so may the rest: how many arguments come varies by call.
        std::fill(states.begin(), states.begin() + static_cast<std::ptrdiff_t>(size), KnownAny);
        reachedFlags[0] = true;
        std::vector<size_t> work{0};
        std::vector<bool> queued(count, false);
        queued[0] = true;
        std::vector<uint8_t> after(size);
        size_t budget = maxVisitsPerInstruction * count;
        while (!work.empty()) {
            if (budget-- == 0) {
                enabled = false;
                return;
            }
            const size_t index = work.back();
            work.pop_back();
            queued[index] = false;
            std::copy(stateAt(index), stateAt(index) + size, after.begin());
            transfer(code.instructions[index], after.data());
            forEachSuccessor(index, [&](size_t next) {
                if (merge(next, after.data()) && !queued[next]) {
                    queued[next] = true;
                    work.push_back(next);
                }
            });
        }
    }

    // What operand holds before instruction index, which the pass reached.
    Known typeOf(size_t index, int32_t operand) const {
        if (!enabled)
            return operand >= 0 ? KnownAny : read(nullptr, operand);
        return read(stateAt(index), operand);
    }

    // Whether some path reaches the instruction; without the pass, every instruction counts as reached.
    bool reached(size_t index) const { return !enabled || reachedFlags[index]; }

private:
    const uint8_t* stateAt(size_t index) const { return states.data() + index * size; }
    uint8_t* stateAt(size_t index) { return states.data() + index * size; }

    bool merge(size_t index, const uint8_t* incoming) {
        bool changed = !reachedFlags[index];
        reachedFlags[index] = true;
        uint8_t* state = stateAt(index);
        for (size_t slot = 0; slot < size; ++slot) {
            const uint8_t merged = state[slot] == Unreached || state[slot] == incoming[slot] ? incoming[slot]
                                                                                             : uint8_t{KnownAny};
            if (merged != state[slot]) {
                state[slot] = merged;
                changed = true;
            }
        }
        return changed;
    }

    template <typename Visit>
    void forEachSuccessor(size_t index, Visit visit) const {
        const PellixInstruction& in = code.instructions[index];
        auto go = [&](int64_t target) {
            if (target >= 0 && static_cast<size_t>(target) < count)
                visit(static_cast<size_t>(target));
        };
        switch (in.op) {
        case PX_RETURN:
        case PX_ERROR:
            return;
        case PX_JUMP:
            go(in.a);
            return;
        case PX_SELECT:
            if (in.c >= 0 && static_cast<size_t>(in.c) < code.cases.size()) {
                const PellixCaseTable& table = code.cases[static_cast<size_t>(in.c)];
                for (int32_t target : table.targets)
                    go(target);
                go(table.end);
            }
            return;
        default:
            if (isJump(in.op))
                go(in.a);
            go(static_cast<int64_t>(index) + 1);
            return;
        }
    }

    void write(uint8_t* state, int32_t operand, Known known) const {
        if (operand >= 0 && static_cast<size_t>(operand) < size)
            state[operand] = known;
    }

    Known read(const uint8_t* state, int32_t operand) const {
        if (operand >= 0)
            return static_cast<size_t>(operand) < size ? static_cast<Known>(state[operand]) : KnownAny;
        const size_t reference = static_cast<size_t>(~operand);
        if (reference < code.references.size() && code.literalReferences[reference])
            return static_cast<Known>(code.references[reference]->type);
        return KnownAny;
    }

    // The result types follow the operators: arithmetic takes the kind of its left operand (a string only
    // stays one under "+"), ordered comparisons give a float for a float on the left, the rest integers.
    void transfer(const PellixInstruction& in, uint8_t* state) const {
        switch (in.op) {
        case PX_MOVE:
            write(state, in.a, read(state, in.b));
            return;
        case PX_UNDEFINED:
            write(state, in.a, KnownUndefined);
            return;
        case PX_ADD:
        case PX_SUB:
        case PX_MUL:
        case PX_DIV: {
            Known left = read(state, in.b);
            if (left == KnownString && in.op != PX_ADD)
                left = KnownInteger;
            write(state, in.a, left);
            return;
        }
        case PX_MOD:
        case PX_OR:
        case PX_AND:
        case PX_XOR:
        case PX_NOT:
        case PX_NE:
        case PX_EQ:
            write(state, in.a, KnownInteger);
            return;
        case PX_GT:
        case PX_GE:
        case PX_LT:
        case PX_LE: {
            Known left = read(state, in.b);
            if (left == KnownString)
                left = KnownInteger;
            write(state, in.a, left);
            return;
        }
        case PX_FOR_STEP:
        case PX_FOR_STEP_DOWN: {
            const Known counter = read(state, in.b);
            const bool integers = counter == KnownInteger && read(state, in.c) == KnownInteger &&
                                  read(state, in.d) == KnownInteger;
            write(state, in.b, integers ? KnownInteger : KnownAny);
            return;
        }
        case PX_BEGIN_APPEND:
            write(state, in.c, KnownAny);
            return;
        case PX_APPEND:
            write(state, in.a, KnownAny);
            return;
        case PX_CALL:
            // The callee's frame lies over the arguments and everything above them; a host function may leave
            // anything there too.
            for (size_t slot = in.b >= 0 ? static_cast<size_t>(in.b) : size; slot < size; ++slot)
                state[slot] = KnownAny;
            write(state, in.a, KnownAny);
            return;
        default:
            return;
        }
    }

    // 16 MiB of states at the most, and on average 64 visits of each instruction.
    static constexpr size_t maxStates = size_t{1} << 24;
    static constexpr size_t maxVisitsPerInstruction = 64;

    const PellixFunctionCode& code;
    size_t size;
    size_t count;
    bool enabled;
    std::vector<uint8_t> states; // the state before each instruction, size slots each
    std::vector<bool> reachedFlags;
};

} // namespace

void PellixStepMaker::make(PellixFunctionCode& code) {
    std::vector<int32_t> literalOffset(code.references.size(), -1);
    for (size_t index = 0; index < code.references.size(); ++index) {
        if (code.literalReferences[index]) {
            literalOffset[index] = frameOffset(static_cast<int>(code.literals.size()));
            code.literals.push_back(*code.references[index]);
        }
    }
    auto isLiteral = [&](int32_t operand) {
        return operand < 0 && literalOffset[static_cast<size_t>(~operand)] >= 0;
    };
    auto literal = [&](int32_t operand) -> const PellixVariable& {
        return *code.references[static_cast<size_t>(~operand)];
    };
    Analysis analysis(code);
    analysis.run();

    code.steps.resize(code.instructions.size());
    for (size_t index = 0; index < code.instructions.size(); ++index) {
        const PellixInstruction& in = code.instructions[index];
        PellixStep& step = code.steps[index];
        const bool jumps = isJump(in.op);
        const int32_t target =
            jumps ? static_cast<int32_t>((static_cast<int64_t>(in.a) - static_cast<int64_t>(index)) *
                                         static_cast<int64_t>(sizeof(PellixStep)))
                  : in.a;
        step = {stepOp(in.op, General), target, in.b, in.c, in.d};
        if (!analysis.reached(index))
            continue;

        if ((isValueOperation(in.op) && in.a >= 0) || isBranch(in.op)) {
            const int a = jumps ? target : frameOffset(in.a);
            const int comparison = isBranch(in.op) ? comparisonOf(in.op) : in.op;
            const Known left = analysis.typeOf(index, in.b);
            const Known right = analysis.typeOf(index, in.c);
            const bool division = comparison == PX_DIV || comparison == PX_MOD;
            // Floats compare as floats only when ordered; "=" and "<>" read them as integers.
            const bool floatForm = comparison == PX_ADD || comparison == PX_SUB || comparison == PX_MUL ||
                                   comparison == PX_DIV ||
                                   (isBranch(in.op) && comparison >= PX_GT && comparison <= PX_LE);
            if (left == KnownInteger && right == KnownInteger) {
                if (in.b >= 0 && in.c >= 0) {
                    step = {stepOp(in.op, IntFrameFrame), a, frameOffset(in.b), frameOffset(in.c), 0};
                    continue;
                }
                // A literal divisor is known to be safe or not: only a positive one skips the test.
                if (in.b >= 0 && isLiteral(in.c) && (!division || literal(in.c).intValue > 0)) {
                    const int32_t value = literal(in.c).intValue;
                    step = {stepOp(in.op, IntFrameImmediate), a, frameOffset(in.b), value, 0, 0};
                    if (comparison == PX_MOD) {
                        step.setWide(PellixOperators::remainderMagic(static_cast<uint32_t>(value)));
                    }
                    continue;
                }
                if (isLiteral(in.b) && in.c >= 0 && !division) {
                    step = {stepOp(in.op, IntImmediateFrame), a, literal(in.b).intValue, frameOffset(in.c), 0};
                    continue;
                }
            }
            if (left == KnownFloat && right == KnownFloat && floatForm) {
                if (in.b >= 0 && in.c >= 0) {
                    step = {stepOp(in.op, FloatFrameFrame), a, frameOffset(in.b), frameOffset(in.c), 0};
                    continue;
                }
                if (in.b >= 0 && isLiteral(in.c)) {
                    step = {stepOp(in.op, FloatFrameImmediate), a, frameOffset(in.b),
                            floatBits(literal(in.c).floatValue), 0};
                    continue;
                }
                if (isLiteral(in.b) && in.c >= 0) {
                    step = {stepOp(in.op, FloatImmediateFrame), a, floatBits(literal(in.b).floatValue),
                            frameOffset(in.c), 0};
                    continue;
                }
            }
            if (in.b >= 0 && in.c >= 0)
                step = {stepOp(in.op, FrameFrame), a, frameOffset(in.b), frameOffset(in.c), 0};
            else if (in.b >= 0 && isLiteral(in.c) && literal(in.c).type == PellixVariable::Integer &&
                     comparison != PX_NOT && (!division || literal(in.c).intValue > 0))
                step = {stepOp(in.op, FrameInteger), a, frameOffset(in.b), literal(in.c).intValue,
                        literalOffset[~in.c]};
            else if (in.b >= 0 && isLiteral(in.c))
                step = {stepOp(in.op, FrameLiteral), a, frameOffset(in.b), literalOffset[~in.c], 0};
            else if (isLiteral(in.b) && in.c >= 0)
                step = {stepOp(in.op, LiteralFrame), a, literalOffset[~in.b], frameOffset(in.c), 0};
        } else if (in.op == PX_SELECT && in.c >= 0 && static_cast<size_t>(in.c) < code.cases.size()) {
            // An integer selector against integer CASE values close together: one look-up in a jump table.
            PellixCaseTable& table = code.cases[static_cast<size_t>(in.c)];
            if (analysis.typeOf(index, in.b) == KnownInteger && in.b >= 0 && !table.dense.empty() &&
                table.strings.empty()) {
                auto jumpTo = [&](int32_t instruction) {
                    return static_cast<int32_t>((static_cast<int64_t>(instruction) - static_cast<int64_t>(index)) *
                                                static_cast<int64_t>(sizeof(PellixStep)));
                };
                table.denseJumps.clear();
                for (int match : table.dense) {
                    const int32_t instruction = match >= 0 ? table.targets[static_cast<size_t>(match)] : table.end;
                    table.denseJumps.push_back(jumpTo(instruction));
                }
                table.denseJumps.push_back(jumpTo(table.end));
                // The table's address rides in d and e: the step then needs nothing else to find its way.
                step = {stepOp(in.op, IntFrameFrame), static_cast<int32_t>(table.dense.size()), frameOffset(in.b),
                        table.denseBase, 0, 0};
                step.setWide(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(table.denseJumps.data())));
            }
        } else if (in.op == PX_MOVE && in.a >= 0) {
            // A number known on every path moves without looking for a text.
            const Known moved = in.b >= 0 ? analysis.typeOf(index, in.b) : KnownAny;
            const int form = moved == KnownInteger ? IntFrameFrame : moved == KnownFloat ? FloatFrameFrame : FrameFrame;
            if (in.b >= 0)
                step = {stepOp(in.op, form), frameOffset(in.a), frameOffset(in.b), 0, 0};
            else if (isLiteral(in.b))
                step = {stepOp(in.op, FrameLiteral), frameOffset(in.a), literalOffset[~in.b], 0, 0};
        } else if ((in.op == PX_FOR_STEP || in.op == PX_FOR_STEP_DOWN) && in.b >= 0 && isLiteral(in.d)) {
            const bool integers = analysis.typeOf(index, in.b) == KnownInteger &&
                                  analysis.typeOf(index, in.c) == KnownInteger &&
                                  literal(in.d).type == PellixVariable::Integer;
            const int32_t stepValue = literal(in.d).intValue;
            if (in.c >= 0) {
                step = integers ? PellixStep{stepOp(in.op, IntFrameFrame), target, frameOffset(in.b),
                                             frameOffset(in.c), stepValue}
                                : PellixStep{stepOp(in.op, FrameFrame), target, frameOffset(in.b),
                                             frameOffset(in.c), literalOffset[~in.d]};
            } else if (isLiteral(in.c)) {
                step = integers ? PellixStep{stepOp(in.op, IntFrameImmediate), target, frameOffset(in.b),
                                             literal(in.c).intValue, stepValue}
                                : PellixStep{stepOp(in.op, FrameLiteral), target, frameOffset(in.b),
                                             literalOffset[~in.c], literalOffset[~in.d]};
            }
        }
    }
}
