#pragma once

#include <cstdint>

struct PellixFunctionCode;

// Makes the machine's steps from a function's compiled code: literals copied beside the code, operands as byte
// offsets, jumps relative, and for each instruction the fastest form its operands allow.
//
// A forward pass over the code works out, for every instruction, which frame slots hold an integer or a float
// whatever path led there. An operation whose operands are known that way runs without testing their types;
// one whose operands are frame slots or literals still tests them but finds them without a branch.
class PellixStepMaker {
public:
    enum Form : int {
        General = 0,         // operands as compiled: frame slots and references
        FrameFrame,          // tested; for FOR steps: limit in the frame, step literal
        FrameLiteral,        // tested; for FOR steps: limit and step literal
        LiteralFrame,        // tested
        IntFrameFrame,       // integers known; for FOR steps: limit in the frame, step an immediate
        IntFrameImmediate,   // integers known, c an immediate; for FOR steps: limit and step immediates
        IntImmediateFrame,   // integers known, b an immediate
        FloatFrameFrame,     // floats known
        FloatFrameImmediate, // floats known, c the bits of an immediate
        FloatImmediateFrame, // floats known, b the bits of an immediate
        FrameInteger,        // b a frame slot, tested; c an integer literal as an immediate, d the literal
        FormCount
    };

    static constexpr uint16_t stepOp(int opcode, int form) {
        return static_cast<uint16_t>(opcode * FormCount + form);
    }
    static constexpr int formOf(uint16_t op) { return op % FormCount; }
    static constexpr int opcodeOf(uint16_t op) { return op / FormCount; }

    // Fills code.steps and code.literals from code.instructions.
    static void make(PellixFunctionCode& code);
};
