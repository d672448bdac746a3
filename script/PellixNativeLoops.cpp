#include "script/PellixNativeLoops.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "script/PellixFunctionCode.h"
#include "script/PellixStepBudget.h"
#include "script/PellixStepMaker.h"

#if defined(__x86_64__) && defined(__linux__)
#include <sys/mman.h>
#define PELLIX_NATIVE_LOOPS 1
#else
#define PELLIX_NATIVE_LOOPS 0
#endif

namespace {

using Form = PellixStepMaker::Form;

constexpr int64_t stepBytes = sizeof(PellixStep);

int opcodeOf(const PellixStep& step) { return PellixStepMaker::opcodeOf(step.op); }
int formOf(const PellixStep& step) { return PellixStepMaker::formOf(step.op); }

bool isIntegerForm(int form) {
    return form == Form::IntFrameFrame || form == Form::IntFrameImmediate || form == Form::IntImmediateFrame;
}
bool isFloatForm(int form) {
    return form == Form::FloatFrameFrame || form == Form::FloatFrameImmediate || form == Form::FloatImmediateFrame;
}
bool isLoopBranch(int opcode) { return opcode >= PX_LOOP_BRANCH_GT && opcode <= PX_LOOP_BRANCH_NOT_EQ; }
bool jumps(int opcode) { return pellixJumps(opcode) && opcode != PX_BEGIN_APPEND; }

int64_t targetOf(size_t index, const PellixStep& step) {
    return static_cast<int64_t>(index) + step.a / stepBytes;
}

// A literal operand of the compiled code, when the operand is one.
const PellixVariable* literalOperand(const PellixFunctionCode& code, int32_t operand) {
    if (operand >= 0)
        return nullptr;
    const size_t reference = static_cast<size_t>(~operand);
    if (reference >= code.references.size() || !code.literalReferences[reference])
        return nullptr;
    return code.references[reference];
}

// What a jump on a literal condition does: the condition reads as the machine reads it.
bool literalHolds(const PellixVariable& value) {
    return value.type == PellixVariable::Integer ? value.intValue != 0 : value.getInteger() != 0;
}

// Whether the routine can run step index itself.
bool runsNatively(const PellixFunctionCode& code, size_t index) {
    const PellixStep& step = code.steps[index];
    const int opcode = opcodeOf(step);
    const int form = formOf(step);
    if (jumps(opcode)) {
        const int64_t target = targetOf(index, step);
        if (target < 0 || target >= static_cast<int64_t>(code.steps.size()))
            return false;
    }
    switch (opcode) {
    case PX_ADD:
    case PX_SUB:
    case PX_MUL:
    case PX_DIV:
        return (isIntegerForm(form) && !(opcode == PX_DIV && form == Form::IntImmediateFrame)) || isFloatForm(form);
    case PX_MOD:
        return form == Form::IntFrameFrame || form == Form::IntFrameImmediate;
    case PX_OR:
    case PX_AND:
    case PX_XOR:
    case PX_GT:
    case PX_GE:
    case PX_LT:
    case PX_LE:
    case PX_NE:
    case PX_EQ:
        return isIntegerForm(form);
    case PX_FOR_STEP:
    case PX_FOR_STEP_DOWN:
        return form == Form::IntFrameFrame || form == Form::IntFrameImmediate;
    case PX_JUMP:
    case PX_STEP:
        return true;
    case PX_JUMP_IF_FALSE:
    case PX_JUMP_IF_TRUE:
    case PX_LOOP_IF_FALSE:
    case PX_LOOP_IF_TRUE:
        return literalOperand(code, code.instructions[index].b) != nullptr;
    case PX_MOVE:
        if (form == Form::IntFrameFrame || form == Form::FloatFrameFrame)
            return true;
        if (form != Form::FrameLiteral)
            return false;
        return reinterpret_cast<const PellixVariable*>(reinterpret_cast<const char*>(code.literals.data()) + step.b)
                   ->type != PellixVariable::String;
    default:
        return pellixIsBranch(opcode) && (isIntegerForm(form) || isFloatForm(form));
    }
}

// Where the fields of a frame slot are, from the slot's start.
const PellixVariable layout{};
const int32_t typeAt = static_cast<int32_t>(reinterpret_cast<const char*>(&layout.type) -
                                            reinterpret_cast<const char*>(&layout));
const int32_t intAt = static_cast<int32_t>(reinterpret_cast<const char*>(&layout.intValue) -
                                           reinterpret_cast<const char*>(&layout));
const int32_t floatAt = static_cast<int32_t>(reinterpret_cast<const char*>(&layout.floatValue) -
                                             reinterpret_cast<const char*>(&layout));

// Which frame slots the function may still read, before each instruction: a slot that no exit of a loop
// needs can live in a register alone while the loop runs.
class Liveness {
public:
    explicit Liveness(const PellixFunctionCode& code)
        : code(code), count(code.instructions.size()), words((static_cast<size_t>(code.frameSize) + 63) / 64),
          enabled(count * words <= maxWords) {
        if (!enabled)
            return;
        liveIn.assign(count * words, 0);
        std::vector<uint64_t> out(words);
        // Backward sweeps until nothing changes; each sweep settles one more level of nested loops.
        for (int sweep = 0;; ++sweep) {
            if (sweep == maxSweeps) {
                enabled = false;
                return;
            }
            bool changed = false;
            for (size_t index = count; index-- > 0;) {
                std::fill(out.begin(), out.end(), 0);
                pellixForEachSuccessor(code, index, [&](size_t next) {
                    for (size_t word = 0; word < words; ++word)
                        out[word] |= liveIn[next * words + word];
                });
                if (!effects(code.instructions[index], out))
                    std::fill(out.begin(), out.end(), ~uint64_t{0});
                uint64_t* in = liveIn.data() + index * words;
                if (!std::equal(out.begin(), out.end(), in)) {
                    std::copy(out.begin(), out.end(), in);
                    changed = true;
                }
            }
            if (!changed)
                return;
        }
    }

    // Whether slot may be read on some path from instruction index on (past the end: never).
    bool live(size_t index, size_t slot) const {
        if (index >= count)
            return false;
        if (!enabled || slot / 64 >= words)
            return true;
        return (liveIn[index * words + slot / 64] >> (slot % 64)) & 1;
    }

private:
    // Turns what is live after the instruction into what is live before it; false for an instruction it does
    // not know, before which everything counts as live.
    bool effects(const PellixInstruction& in, std::vector<uint64_t>& live) const {
        auto define = [&](int32_t operand) {
            if (operand >= 0 && static_cast<size_t>(operand) / 64 < words)
                live[static_cast<size_t>(operand) / 64] &= ~(uint64_t{1} << (operand % 64));
        };
        auto use = [&](int32_t operand) {
            if (operand >= 0 && static_cast<size_t>(operand) / 64 < words)
                live[static_cast<size_t>(operand) / 64] |= uint64_t{1} << (operand % 64);
        };
        switch (in.op) {
        case PX_MOVE:
            define(in.a);
            use(in.b);
            return true;
        case PX_UNDEFINED:
            define(in.a);
            return true;
        case PX_JUMP:
        case PX_ERROR:
        case PX_STEP:
            return true;
        case PX_JUMP_IF_FALSE:
        case PX_JUMP_IF_TRUE:
        case PX_LOOP_IF_FALSE:
        case PX_LOOP_IF_TRUE:
        case PX_SELECT:
        case PX_BEGIN_APPEND: // its slot c is written only when it does not jump
            use(in.b);
            return true;
        case PX_FOR_STEP:
        case PX_FOR_STEP_DOWN:
            use(in.b);
            use(in.c);
            use(in.d);
            return true;
        case PX_APPEND:
            use(in.a);
            use(in.b);
            use(in.c);
            return true;
        case PX_CALL: {
            if (in.c < 0 || static_cast<size_t>(in.c) >= code.calls.size())
                return false;
            define(in.a);
            for (int argument = 0; argument < code.calls[static_cast<size_t>(in.c)].argc; ++argument)
                use(in.b + argument);
            return true;
        }
        case PX_RETURN:
            use(code.resultOperand);
            return true;
        default:
            if (in.op >= PX_ADD && in.op <= PX_EQ) {
                define(in.a);
                use(in.b);
                use(in.c);
                return true;
            }
            if (in.op >= PX_BRANCH_GT && in.op <= PX_LOOP_BRANCH_NOT_EQ) {
                use(in.b);
                use(in.c);
                return true;
            }
            return false;
        }
    }

    static constexpr size_t maxWords = size_t{1} << 20; // 8 MiB of sets
    static constexpr int maxSweeps = 64;

    const PellixFunctionCode& code;
    size_t count;
    size_t words;
    bool enabled;
    std::vector<uint64_t> liveIn;
};

// x86-64 condition codes, as in jcc and setcc.
enum Condition : uint8_t {
    Below = 0x2,
    AboveOrEqual = 0x3,
    Equal = 0x4,
    NotEqual = 0x5,
    BelowOrEqual = 0x6,
    Above = 0x7,
    Sign = 0x8,
    Less = 0xC,
    GreaterOrEqual = 0xD,
    LessOrEqual = 0xE,
    Greater = 0xF,
    Always = 0xFF,
};
Condition negated(Condition condition) { return static_cast<Condition>(condition ^ 1); }

// Registers by number. eax, ecx, edx and r8 are scratch, xmm0 and xmm1 too; the frame is in rdi, the stop
// request's address in rsi, the step budget's in r9. The rest hold frame values while the loop runs.
enum Register : uint8_t { EAX = 0, ECX = 1, EDX = 2, EBX = 3, EBP = 5, R10 = 10, R11 = 11, R12 = 12, R15 = 15 };
enum FloatRegister : uint8_t { XMM0 = 0, XMM1 = 1 };
constexpr uint8_t integerHomes[] = {R10, R11, EBX, EBP, R12, 13, 14, R15};
constexpr uint8_t floatHomes[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
bool calleeSaved(uint8_t reg) { return reg == EBX || reg == EBP || reg >= R12; }

// The arithmetic that x86 encodes as 0x81 /digit (immediate) and digit * 8 + 3 (memory into register).
enum Arithmetic : uint8_t { Add = 0, Or = 1, And = 4, Subtract = 5, Xor = 6, Compare = 7 };

// An operand of an x86 instruction: a register, or a field of the frame.
struct Place {
    bool inRegister;
    uint8_t reg;
    int32_t offset;
    static Place registerNumber(uint8_t reg) { return {true, reg, 0}; }
    static Place frame(int32_t offset) { return {false, 0, offset}; }
};

enum Kind : uint8_t { IntegerField, FloatField };

// Writes one routine. Frame values the loop uses wait in registers (loaded on entry, written through to the
// frame unless nothing after the loop reads them). Jumps to steps of the loop are patched once every step has
// its place; jumps out of it and side exits go to small tails that return the step index.
class Assembler {
public:
    Assembler(const PellixFunctionCode& code, const Liveness& liveness, size_t head, size_t end)
        : code(code), head(head), end(end), places(end - head + 1) {
        chooseHomes(liveness);
    }

    std::vector<uint8_t> routine() {
        if (PellixStepBudget::enabled)
            bytes({0x49, 0x89, 0xD1}); // mov r9, rdx
        for (uint8_t reg : saved)
            push(reg);
        for (const Home& home : homes) {
            if (home.kind == IntegerField)
                rm({}, {0x8B}, home.reg, Place::frame(home.slot + intAt)); // mov reg, [field]
            else
                rm({0xF3}, {0x0F, 0x10}, home.reg, Place::frame(home.slot + floatAt)); // movss
        }
        for (size_t index = head; index <= end; ++index) {
            places[index - head] = out.size();
            step(index);
        }
        leave(static_cast<int32_t>(end + 1));
        for (const Patch& patch : toSteps)
            patchAt(patch.at, places[patch.target - head]);
        for (const Patch& patch : toExits) {
            patchAt(patch.at, out.size());
            leave(static_cast<int32_t>(patch.target));
        }
        return std::move(out);
    }

private:
    struct Patch {
        size_t at;
        size_t target; // a step of the loop, or the value an exit returns
    };
    struct Home {
        int32_t slot; // byte offset of the frame slot
        Kind kind;
        uint8_t reg;
    };

    // Every frame field the loop reads or writes, with the kind of value it takes there.
    template <typename Visit>
    void forEachAccess(const PellixStep& step, Visit visit) const {
        const int opcode = opcodeOf(step);
        const int form = formOf(step);
        if (opcode == PX_MOVE) {
            if (form != Form::FloatFrameFrame)
                visit(step.a, IntegerField);
            if (form != Form::IntFrameFrame)
                visit(step.a, FloatField);
            if (form == Form::IntFrameFrame)
                visit(step.b, IntegerField);
            if (form == Form::FloatFrameFrame)
                visit(step.b, FloatField);
            return;
        }
        if (opcode == PX_FOR_STEP || opcode == PX_FOR_STEP_DOWN) {
            visit(step.b, IntegerField);
            if (form == Form::IntFrameFrame)
                visit(step.c, IntegerField);
            return;
        }
        const bool value = opcode >= PX_ADD && opcode <= PX_EQ;
        if (!value && !pellixIsBranch(opcode))
            return;
        const Kind kind = isFloatForm(form) ? FloatField : IntegerField;
        if (value)
            visit(step.a, kind);
        if (form != Form::IntImmediateFrame && form != Form::FloatImmediateFrame)
            visit(step.b, kind);
        if (form != Form::IntFrameImmediate && form != Form::FloatFrameImmediate)
            visit(step.c, kind);
    }

    // The busiest fields get registers; a slot that no exit of the loop needs is never written to the frame.
    void chooseHomes(const Liveness& liveness) {
        struct Use {
            int32_t slot;
            Kind kind;
            int count;
        };
        std::vector<Use> uses;
        for (size_t index = head; index <= end; ++index) {
            forEachAccess(code.steps[index], [&](int32_t slot, Kind kind) {
                auto found = std::find_if(uses.begin(), uses.end(),
                                          [&](const Use& use) { return use.slot == slot && use.kind == kind; });
                if (found == uses.end())
                    uses.push_back({slot, kind, 1});
                else
                    ++found->count;
            });
        }
        std::stable_sort(uses.begin(), uses.end(), [](const Use& left, const Use& right) {
            return left.count > right.count;
        });
        size_t integers = 0, floats = 0;
        for (const Use& use : uses) {
            if (use.kind == IntegerField && integers < sizeof integerHomes)
                homes.push_back({use.slot, use.kind, integerHomes[integers++]});
            else if (use.kind == FloatField && floats < sizeof floatHomes)
                homes.push_back({use.slot, use.kind, floatHomes[floats++]});
        }
        for (const Home& home : homes) {
            if (home.kind == IntegerField && calleeSaved(home.reg))
                saved.push_back(home.reg);
        }

        std::vector<size_t> exits{end + 1};
        for (size_t index = head; index <= end; ++index) {
            const PellixStep& step = code.steps[index];
            const int opcode = opcodeOf(step);
            if (jumps(opcode)) {
                const int64_t target = targetOf(index, step);
                if (target < static_cast<int64_t>(head) || target > static_cast<int64_t>(end))
                    exits.push_back(static_cast<size_t>(target));
            }
            const bool divides = (opcode == PX_DIV || opcode == PX_MOD) && formOf(step) == Form::IntFrameFrame;
            const bool spends = PellixStepBudget::enabled &&
                                (opcode == PX_STEP || opcode == PX_FOR_STEP || opcode == PX_FOR_STEP_DOWN);
            if (divides || spends)
                exits.push_back(index);
        }
        for (const Home& home : homes) {
            const size_t slot = static_cast<size_t>(home.slot) / sizeof(PellixVariable);
            const bool needed = std::any_of(exits.begin(), exits.end(),
                                            [&](size_t exit) { return liveness.live(exit, slot); });
            if (!needed && std::find(registerOnly.begin(), registerOnly.end(), home.slot) == registerOnly.end())
                registerOnly.push_back(home.slot);
        }
    }
    const Home* homeOf(int32_t slot, Kind kind) const {
        for (const Home& home : homes) {
            if (home.slot == slot && home.kind == kind)
                return &home;
        }
        return nullptr;
    }
    bool writtenToFrame(int32_t slot) const {
        return std::find(registerOnly.begin(), registerOnly.end(), slot) == registerOnly.end();
    }
    Place integerPlace(int32_t slot) const {
        const Home* home = homeOf(slot, IntegerField);
        return home ? Place::registerNumber(home->reg) : Place::frame(slot + intAt);
    }
    Place floatPlace(int32_t slot) const {
        const Home* home = homeOf(slot, FloatField);
        return home ? Place::registerNumber(home->reg) : Place::frame(slot + floatAt);
    }

    void byte(uint8_t value) { out.push_back(value); }
    void bytes(std::initializer_list<uint8_t> values) { out.insert(out.end(), values); }
    void dword(int32_t value) {
        uint8_t raw[4];
        std::memcpy(raw, &value, sizeof raw);
        out.insert(out.end(), raw, raw + 4);
    }
    void qword(uint64_t value) {
        uint8_t raw[8];
        std::memcpy(raw, &value, sizeof raw);
        out.insert(out.end(), raw, raw + 8);
    }
    void patchAt(size_t at, size_t destination) {
        const int32_t relative = static_cast<int32_t>(static_cast<int64_t>(destination) - static_cast<int64_t>(at + 4));
        std::memcpy(out.data() + at, &relative, sizeof relative);
    }
    // prefix, REX where needed, opcode, then the ModR/M for reg and a register or [rdi + offset].
    void rm(std::initializer_list<uint8_t> prefix, std::initializer_list<uint8_t> opcode, uint8_t reg, Place place) {
        bytes(prefix);
        const uint8_t rex = static_cast<uint8_t>(0x40 | (reg >= 8 ? 4 : 0) | (place.inRegister && place.reg >= 8 ? 1 : 0));
        if (rex != 0x40)
            byte(rex);
        bytes(opcode);
        if (place.inRegister) {
            byte(static_cast<uint8_t>(0xC0 | ((reg & 7) << 3) | (place.reg & 7)));
        } else {
            byte(static_cast<uint8_t>(0x80 | ((reg & 7) << 3) | 7));
            dword(place.offset);
        }
    }
    void push(uint8_t reg) {
        if (reg >= 8)
            byte(0x41);
        byte(static_cast<uint8_t>(0x50 + (reg & 7)));
    }
    void pop(uint8_t reg) {
        if (reg >= 8)
            byte(0x41);
        byte(static_cast<uint8_t>(0x58 + (reg & 7)));
    }
    void moveImmediate(uint8_t reg, int32_t value) {
        if (reg >= 8)
            byte(0x41);
        byte(static_cast<uint8_t>(0xB8 + (reg & 7)));
        dword(value);
    }
    void storeType(int32_t slot, PellixVariable::Type type) {
        rm({}, {0xC6}, 0, Place::frame(slot + typeAt));
        byte(static_cast<uint8_t>(type));
    }
    void storeImmediate(int32_t offset, int32_t value) {
        rm({}, {0xC7}, 0, Place::frame(offset));
        dword(value);
    }
    void loadInteger(uint8_t reg, Place place) { rm({}, {0x8B}, reg, place); }
    void loadFloat(uint8_t reg, Place place) {
        if (place.inRegister)
            rm({}, {0x0F, 0x28}, reg, place); // movaps
        else
            rm({0xF3}, {0x0F, 0x10}, reg, place); // movss
    }
    void loadFloatImmediate(uint8_t reg, int32_t bits) {
        moveImmediate(EAX, bits);
        rm({0x66}, {0x0F, 0x6E}, reg, Place::registerNumber(EAX)); // movd
    }
    // The result in eax (or xmm0) goes to the slot's register and, unless only the loop reads it, the frame.
    void writeInteger(int32_t slot, uint8_t reg, bool withType = true) {
        if (const Home* home = homeOf(slot, IntegerField))
            rm({}, {0x89}, reg, Place::registerNumber(home->reg));
        if (!writtenToFrame(slot))
            return;
        rm({}, {0x89}, reg, Place::frame(slot + intAt));
        if (withType)
            storeType(slot, PellixVariable::Integer);
    }
    void writeFloat(int32_t slot) {
        if (const Home* home = homeOf(slot, FloatField))
            rm({}, {0x0F, 0x28}, home->reg, Place::registerNumber(XMM0));
        if (!writtenToFrame(slot))
            return;
        rm({0xF3}, {0x0F, 0x11}, XMM0, Place::frame(slot + floatAt));
        storeType(slot, PellixVariable::Float);
    }

    // A jump to a step, of the loop or beyond it.
    void jumpTo(Condition condition, int64_t target) {
        if (condition == Always)
            byte(0xE9);
        else
            bytes({0x0F, static_cast<uint8_t>(0x80 | condition)});
        const size_t at = out.size();
        dword(0);
        const bool inside = target >= static_cast<int64_t>(head) && target <= static_cast<int64_t>(end);
        (inside ? toSteps : toExits).push_back({at, static_cast<size_t>(target)});
    }
    // A side exit that returns value (a step index, or ~index for a stop).
    void exitWhen(Condition condition, int32_t value) {
        bytes({0x0F, static_cast<uint8_t>(0x80 | condition)});
        toExits.push_back({out.size(), static_cast<size_t>(static_cast<uint32_t>(value))});
        dword(0);
    }
    void leave(int32_t value) {
        moveImmediate(EAX, value);
        for (size_t index = saved.size(); index-- > 0;)
            pop(saved[index]);
        byte(0xC3);
    }
    void checkStop(size_t index) {
        bytes({0x80, 0x3E, 0x00}); // cmp byte [rsi], 0
        exitWhen(NotEqual, static_cast<int32_t>(~index));
    }
    // The budget runs out on the step itself: the machine runs it and ends the script.
    void spendStep(size_t index) {
        if (!PellixStepBudget::enabled)
            return;
        bytes({0x49, 0x8B, 0x01});       // mov rax, [r9]
        bytes({0x48, 0x83, 0xE8, 0x01}); // sub rax, 1
        exitWhen(Sign, static_cast<int32_t>(index));
        bytes({0x49, 0x89, 0x01});       // mov [r9], rax
    }
    // A conditional jump; one that closes a loop honours a stop request first, as the machine does.
    void branch(Condition condition, int64_t target, bool back, size_t index) {
        if (!back) {
            jumpTo(condition, target);
            return;
        }
        if (condition == Always) {
            checkStop(index);
            jumpTo(Always, target);
            return;
        }
        bytes({0x0F, static_cast<uint8_t>(0x80 | negated(condition))});
        const size_t skip = out.size();
        dword(0);
        checkStop(index);
        jumpTo(Always, target);
        patchAt(skip, out.size());
    }

    // eax = left; then the right operand, as a place or an immediate.
    template <typename WithPlace, typename WithImmediate>
    void integerOperands(const PellixStep& step, WithPlace withPlace, WithImmediate withImmediate) {
        if (formOf(step) == Form::IntImmediateFrame)
            moveImmediate(EAX, step.b);
        else
            loadInteger(EAX, integerPlace(step.b));
        if (formOf(step) == Form::IntFrameImmediate)
            withImmediate(step.c);
        else
            withPlace(integerPlace(step.c));
    }
    void integerArithmetic(const PellixStep& step, Arithmetic operation) {
        integerOperands(
            step, [&](Place place) { rm({}, {static_cast<uint8_t>(operation * 8 + 3)}, EAX, place); },
            [&](int32_t value) {
                bytes({0x81, static_cast<uint8_t>(0xC0 | (operation << 3) | EAX)});
                dword(value);
            });
    }
    // xmm0 = left; the right operand's place (xmm1 for an immediate).
    Place floatOperands(const PellixStep& step) {
        if (formOf(step) == Form::FloatImmediateFrame)
            loadFloatImmediate(XMM0, step.b);
        else
            loadFloat(XMM0, floatPlace(step.b));
        if (formOf(step) != Form::FloatFrameImmediate)
            return floatPlace(step.c);
        loadFloatImmediate(XMM1, step.c);
        return Place::registerNumber(XMM1);
    }

    static Condition integerCondition(int comparison) {
        switch (comparison) {
        case PX_GT: return Greater;
        case PX_GE: return GreaterOrEqual;
        case PX_LT: return Less;
        case PX_LE: return LessOrEqual;
        case PX_NE: return NotEqual;
        default: return Equal;
        }
    }

    void step(size_t index) {
        const PellixStep& step = code.steps[index];
        const int opcode = opcodeOf(step);
        const int form = formOf(step);
        switch (opcode) {
        case PX_ADD:
        case PX_SUB:
        case PX_MUL:
        case PX_DIV:
            if (isFloatForm(form)) {
                // addss, subss, mulss, divss: the same single-precision results as the machine's.
                const Place right = floatOperands(step);
                const uint8_t operation = opcode == PX_ADD   ? 0x58
                                          : opcode == PX_SUB ? 0x5C
                                          : opcode == PX_MUL ? 0x59
                                                             : 0x5E;
                rm({0xF3}, {0x0F, operation}, XMM0, right);
                writeFloat(step.a);
                return;
            }
            if (opcode == PX_MUL) {
                integerOperands(
                    step, [&](Place place) { rm({}, {0x0F, 0xAF}, EAX, place); }, // imul eax, place
                    [&](int32_t value) {
                        bytes({0x69, 0xC0}); // imul eax, eax, value
                        dword(value);
                    });
            } else if (opcode == PX_DIV) {
                division(index, step);
            } else {
                integerArithmetic(step, opcode == PX_ADD ? Add : Subtract);
            }
            writeInteger(step.a, EAX);
            return;
        case PX_MOD:
            if (form == Form::IntFrameImmediate) {
                remainderByLiteral(step);
            } else {
                division(index, step);
                writeInteger(step.a, EDX);
            }
            return;
        case PX_OR:
        case PX_AND:
        case PX_XOR:
            integerArithmetic(step, opcode == PX_OR ? Or : opcode == PX_AND ? And : Xor);
            writeInteger(step.a, EAX);
            return;
        case PX_GT:
        case PX_GE:
        case PX_LT:
        case PX_LE:
        case PX_NE:
        case PX_EQ:
            integerArithmetic(step, Compare);
            bytes({0x0F, static_cast<uint8_t>(0x90 | integerCondition(opcode)), 0xC0}); // setcc al
            bytes({0x0F, 0xB6, 0xC0});                                                   // movzx eax, al
            writeInteger(step.a, EAX);
            return;
        case PX_FOR_STEP:
        case PX_FOR_STEP_DOWN:
            // The counter is known to be an integer: like the machine, it writes no type.
            spendStep(index);
            loadInteger(EAX, integerPlace(step.b));
            bytes({0x81, 0xC0}); // add eax, step
            dword(step.d);
            writeInteger(step.b, EAX, false);
            if (form == Form::IntFrameImmediate) {
                bytes({0x81, 0xF8}); // cmp eax, limit
                dword(step.c);
            } else {
                rm({}, {0x3B}, EAX, integerPlace(step.c));
            }
            branch(opcode == PX_FOR_STEP ? LessOrEqual : GreaterOrEqual, targetOf(index, step), true, index);
            return;
        case PX_JUMP: {
            const int64_t target = targetOf(index, step);
            branch(Always, target, target <= static_cast<int64_t>(index), index);
            return;
        }
        case PX_JUMP_IF_FALSE:
        case PX_JUMP_IF_TRUE:
        case PX_LOOP_IF_FALSE:
        case PX_LOOP_IF_TRUE: {
            // Only on a literal: the jump is always taken or never.
            const bool holds = literalHolds(*literalOperand(code, code.instructions[index].b));
            const bool onTrue = opcode == PX_JUMP_IF_TRUE || opcode == PX_LOOP_IF_TRUE;
            if (holds == onTrue)
                branch(Always, targetOf(index, step), opcode == PX_LOOP_IF_FALSE || opcode == PX_LOOP_IF_TRUE, index);
            return;
        }
        case PX_STEP:
            spendStep(index);
            return;
        case PX_MOVE:
            if (form == Form::IntFrameFrame) {
                loadInteger(EAX, integerPlace(step.b));
                writeInteger(step.a, EAX);
            } else if (form == Form::FloatFrameFrame) {
                loadFloat(XMM0, floatPlace(step.b));
                writeFloat(step.a);
            } else {
                moveLiteral(step);
            }
            return;
        default:
            comparisonBranch(index, step);
            return;
        }
    }

    // A number literal into the frame: both fields and the type, as storing a value does.
    void moveLiteral(const PellixStep& step) {
        const PellixVariable& value =
            *reinterpret_cast<const PellixVariable*>(reinterpret_cast<const char*>(code.literals.data()) + step.b);
        int32_t bits;
        std::memcpy(&bits, &value.floatValue, sizeof bits);
        if (const Home* home = homeOf(step.a, IntegerField))
            moveImmediate(home->reg, value.intValue);
        if (const Home* home = homeOf(step.a, FloatField))
            loadFloatImmediate(home->reg, bits);
        if (!writtenToFrame(step.a))
            return;
        storeImmediate(step.a + intAt, value.intValue);
        storeImmediate(step.a + floatAt, bits);
        storeType(step.a, static_cast<PellixVariable::Type>(value.type));
    }

    void comparisonBranch(size_t index, const PellixStep& step) {
        const int opcode = opcodeOf(step);
        const int first = isLoopBranch(opcode) ? PX_LOOP_BRANCH_GT : PX_BRANCH_GT;
        const int comparison = pellixComparisonOf(opcode);
        const bool when = opcode - first < 6;
        Condition holds;
        if (isFloatForm(formOf(step))) {
            // ucomiss compares as unsigned; an unordered pair (a NaN) is neither above nor above-or-equal, so
            // it fails every comparison, as in C++. "<" and "<=" swap the operands.
            const Place right = floatOperands(step);
            if (comparison == PX_LT || comparison == PX_LE) {
                loadFloat(XMM1, right);
                rm({}, {0x0F, 0x2E}, XMM1, Place::registerNumber(XMM0)); // ucomiss xmm1, xmm0
            } else {
                rm({}, {0x0F, 0x2E}, XMM0, right); // ucomiss xmm0, right
            }
            holds = comparison == PX_GT || comparison == PX_LT ? Above : AboveOrEqual;
        } else {
            integerArithmetic(step, Compare);
            holds = integerCondition(comparison);
        }
        branch(when ? holds : negated(holds), targetOf(index, step), isLoopBranch(opcode), index);
    }

    // eax = left / right and edx = left % right, for a right operand in the frame (not positive: the machine
    // takes the step) or a positive immediate.
    void division(size_t index, const PellixStep& step) {
        if (formOf(step) == Form::IntFrameImmediate) {
            moveImmediate(ECX, step.c);
        } else {
            loadInteger(ECX, integerPlace(step.c));
            bytes({0x85, 0xC9}); // test ecx, ecx
            exitWhen(LessOrEqual, static_cast<int32_t>(index));
        }
        loadInteger(EAX, integerPlace(step.b));
        byte(0x99);          // cdq
        bytes({0xF7, 0xF9}); // idiv ecx
    }

    // MOD by a positive literal without a division: the machine's reciprocal for most divisors, a mask for a
    // power of two. The step carries the reciprocal (0 for a power of two).
    void remainderByLiteral(const PellixStep& step) {
        const uint64_t magic = step.wide();
        const int32_t divisor = step.c;
        loadInteger(EAX, integerPlace(step.b));
        if (magic == 0) {
            // a - ((a + (a < 0 ? divisor - 1 : 0)) & -divisor): the remainder with the dividend's sign.
            bytes({0x89, 0xC1});       // mov ecx, eax
            bytes({0xC1, 0xF9, 0x1F}); // sar ecx, 31
            bytes({0x81, 0xE1});       // and ecx, divisor - 1
            dword(divisor - 1);
            bytes({0x01, 0xC1});       // add ecx, eax
            bytes({0x81, 0xE1});       // and ecx, -divisor
            dword(-divisor);
            bytes({0x29, 0xC8});       // sub eax, ecx
            writeInteger(step.a, EAX);
            return;
        }
        byte(0x99);                      // cdq: edx = the sign
        bytes({0x31, 0xD0});             // xor eax, edx
        bytes({0x29, 0xD0});             // sub eax, edx: the magnitude
        bytes({0x41, 0x89, 0xD0});       // mov r8d, edx
        bytes({0x48, 0xB9});             // mov rcx, magic
        qword(magic);
        bytes({0x48, 0x0F, 0xAF, 0xC8}); // imul rcx, rax: the fraction
        moveImmediate(EAX, divisor);
        bytes({0x48, 0xF7, 0xE1});       // mul rcx: rdx = the remainder
        bytes({0x44, 0x31, 0xC2});       // xor edx, r8d
        bytes({0x44, 0x29, 0xC2});       // sub edx, r8d
        writeInteger(step.a, EDX);
    }

    const PellixFunctionCode& code;
    size_t head;
    size_t end;
    std::vector<Home> homes;
    std::vector<uint8_t> saved;        // callee-saved registers the homes use
    std::vector<int32_t> registerOnly; // slots no exit needs
    std::vector<size_t> places;        // where each step of the loop starts in out
    std::vector<Patch> toSteps;
    std::vector<Patch> toExits;
    std::vector<uint8_t> out;
};

} // namespace

std::unique_ptr<PellixNativeLoops> PellixNativeLoops::make(const PellixFunctionCode& code) {
#if PELLIX_NATIVE_LOOPS
    const size_t count = code.steps.size();
    if (count == 0 || code.instructions.size() != count)
        return nullptr;
    // Steps it cannot run before each index, to see at once whether a stretch has any.
    std::vector<size_t> missing(count + 1, 0);
    for (size_t index = 0; index < count; ++index)
        missing[index + 1] = missing[index] + (runsNatively(code, index) ? 0 : 1);

    // A loop is the stretch from a backward jump's target to the jump; the longest ones first, and none inside
    // or across one already taken.
    struct Stretch {
        size_t head;
        size_t end;
    };
    std::vector<Stretch> candidates;
    for (size_t index = 0; index < count; ++index) {
        const int opcode = opcodeOf(code.steps[index]);
        if (!jumps(opcode))
            continue;
        const int64_t target = targetOf(index, code.steps[index]);
        // The step after the loop must exist: the routine returns it when the loop ends.
        if (target >= 0 && target <= static_cast<int64_t>(index) && index + 1 < count &&
            missing[index + 1] == missing[target])
            candidates.push_back({static_cast<size_t>(target), index});
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Stretch& left, const Stretch& right) {
        return left.end - left.head > right.end - right.head;
    });
    std::vector<Stretch> chosen;
    for (const Stretch& candidate : candidates) {
        const bool overlaps = std::any_of(chosen.begin(), chosen.end(), [&](const Stretch& taken) {
            return candidate.head <= taken.end && taken.head <= candidate.end;
        });
        if (!overlaps)
            chosen.push_back(candidate);
    }
    if (chosen.empty())
        return nullptr;

    const Liveness liveness(code);
    std::vector<std::vector<uint8_t>> routines;
    size_t total = 0;
    for (const Stretch& stretch : chosen) {
        routines.push_back(Assembler(code, liveness, stretch.head, stretch.end).routine());
        total += (routines.back().size() + 15) & ~size_t{15};
    }
    const size_t page = 4096;
    const size_t size = (total + page - 1) & ~(page - 1);
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return nullptr;
    std::unique_ptr<PellixNativeLoops> native(new PellixNativeLoops);
    native->memory = memory;
    native->size = size;
    size_t offset = 0;
    for (size_t index = 0; index < chosen.size(); ++index) {
        char* start = static_cast<char*>(memory) + offset;
        std::memcpy(start, routines[index].data(), routines[index].size());
        Loop loop;
        loop.head = static_cast<int32_t>(chosen[index].head);
        loop.entry = reinterpret_cast<Entry>(reinterpret_cast<uintptr_t>(start));
        native->loops.push_back(loop);
        offset += (routines[index].size() + 15) & ~size_t{15};
    }
    // Written, then only run: the pages are never writable and executable at once.
    if (mprotect(memory, size, PROT_READ | PROT_EXEC) != 0)
        return nullptr;
    return native;
#else
    (void)code;
    return nullptr;
#endif
}

PellixNativeLoops::~PellixNativeLoops() {
#if PELLIX_NATIVE_LOOPS
    if (memory)
        munmap(memory, size);
#endif
}

PellixNativeLoops::Loop& PellixNativeLoops::at(int32_t head) {
    for (Loop& loop : loops) {
        if (loop.head == head)
            return loop;
    }
    return loops.front();
}
