#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "script/PellixVariable.h"

// What the operators of the language compute. The type of the left operand decides the kind of result,
// except for "=" and "<>", which compare texts as soon as either side is a string.
// Integer arithmetic wraps around at 32 bits; comparisons and arithmetic on an undefined left operand give
// an undefined result. Shared by constant folding, the tree-walking interpreter and the compiled one.
class PellixOperators {
public:
    enum Code : int {
        OP_OR = 12,
        OP_AND = 13,
        OP_XOR = 14,
        OP_NOT = 15,
        OP_MOD = 16,
        OP_OPEN = 33,
        OP_CLOSE = 34,
        OP_GT = 38,
        OP_GE = 39,
        OP_LT = 40,
        OP_LE = 41,
        OP_NE = 42,
        OP_EQ = 45,
        OP_ASSIGN = 46,
        OP_MUL = 47,
        OP_DIV = 48,
        OP_ADD = 49,
        OP_SUB = 50,
    };

    enum Status { Ok, DivisionByZero, DivisionOverflow, StringTooLong };

#ifdef PELLIX_MAX_STRING_LENGTH
    static constexpr size_t maxStringLength = PELLIX_MAX_STRING_LENGTH;
#else
    static constexpr size_t maxStringLength = 16u * 1024u * 1024u;
#endif

    // out may be the same variable as left or right.
    static Status apply(int code, const PellixVariable& left, const PellixVariable& right, PellixVariable& out);

    // Whether the result of a comparison (codes 38 to 42 and 45) would read as a non-zero integer.
    static bool holds(int code, const PellixVariable& left, const PellixVariable& right);

    static bool isComparison(int code) {
        return (code >= OP_GT && code <= OP_NE) || code == OP_EQ;
    }

    // Message and detail of a failed status, for the interpreters' exceptions.
    static std::string statusMessage(Status status);
    static const char* operatorText(int code);

    static int32_t wrapAdd(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
    static int32_t wrapSubtract(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
    static int32_t wrapMultiply(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

    // MOD by a constant without a division instruction (which takes tens of cycles): divisor > 0, magic from
    // remainderMagic(divisor). Exact for every 32-bit dividend: for a power of two (magic 0) a mask; else the
    // remainder of |a| by the 64-bit fixed-point reciprocal. Either way with the sign of a, as "%" gives it.
    static uint64_t remainderMagic(uint32_t divisor) {
        return (divisor & (divisor - 1)) == 0 ? 0 : UINT64_MAX / divisor + 1;
    }
    static int32_t remainderByMagic(int32_t a, uint32_t divisor, uint64_t magic) {
        if (magic == 0) {
            const uint32_t low = static_cast<uint32_t>(a) & (divisor - 1);
            const uint32_t borrow = a < 0 && low != 0 ? divisor : 0;
            return static_cast<int32_t>(low - borrow);
        }
        const uint32_t sign = a < 0 ? UINT32_MAX : 0;
        const uint32_t magnitude = (static_cast<uint32_t>(a) ^ sign) - sign;
        const uint64_t fraction = magic * magnitude;
        const uint32_t remainder =
            static_cast<uint32_t>((static_cast<unsigned __int128>(fraction) * divisor) >> 64);
        return static_cast<int32_t>((remainder ^ sign) - sign);
    }

    static bool textEquals(const PellixVariable& left, const PellixVariable& right);
    // Appends the text of right to out, which is a String; right may be out itself.
    static Status appendText(PellixVariable& out, const PellixVariable& right);
};
