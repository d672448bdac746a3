#include "script/PellixOperators.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

bool compareIntegers(int code, int a, int b) {
    switch (code) {
    case PellixOperators::OP_GT: return a > b;
    case PellixOperators::OP_GE: return a >= b;
    case PellixOperators::OP_LT: return a < b;
    default: return a <= b;
    }
}

bool compareFloats(int code, float a, float b) {
    switch (code) {
    case PellixOperators::OP_GT: return a > b;
    case PellixOperators::OP_GE: return a >= b;
    case PellixOperators::OP_LT: return a < b;
    default: return a <= b;
    }
}

} // namespace

bool PellixOperators::textEquals(const PellixVariable& left, const PellixVariable& right) {
    char leftBuffer[PellixVariable::numberTextCapacity];
    char rightBuffer[PellixVariable::numberTextCapacity];
    size_t leftLength = 0;
    size_t rightLength = 0;
    const char* leftText = left.peekText(leftBuffer, leftLength);
    const char* rightText = right.peekText(rightBuffer, rightLength);
    return leftLength == rightLength && std::memcmp(leftText, rightText, leftLength) == 0;
}

PellixOperators::Status PellixOperators::appendText(PellixVariable& out, const PellixVariable& right) {
    std::string& text = out.stringValue;
    if (&right == &out) {
        const size_t length = text.size();
        if (length > maxStringLength - length)
            return StringTooLong;
        text.reserve(length * 2);
        text.append(text, 0, length);
        return Ok;
    }
    char buffer[PellixVariable::numberTextCapacity];
    size_t length = 0;
    const char* rightText = right.peekText(buffer, length);
    if (length > maxStringLength - text.size())
        return StringTooLong;
    text.append(rightText, length);
    return Ok;
}

bool PellixOperators::holds(int code, const PellixVariable& left, const PellixVariable& right) {
    if (code == OP_EQ || code == OP_NE) {
        bool equal;
        if (left.type == PellixVariable::String || right.type == PellixVariable::String)
            equal = textEquals(left, right);
        else
            equal = left.getInteger() == right.getInteger();
        return code == OP_EQ ? equal : !equal;
    }
    if (left.type == PellixVariable::Undefined)
        return false;
    if (left.type == PellixVariable::Float)
        return compareFloats(code, left.floatValue, right.getFloat());
    return compareIntegers(code, left.getInteger(), right.getInteger());
}

PellixOperators::Status PellixOperators::apply(int code, const PellixVariable& left, const PellixVariable& right,
                                               PellixVariable& out) {
    // Every case reads both operands before it writes out, which may be one of them.
    switch (code) {
    case OP_OR: out.setInteger(left.getInteger() | right.getInteger()); return Ok;
    case OP_AND: out.setInteger(left.getInteger() & right.getInteger()); return Ok;
    case OP_XOR: out.setInteger(left.getInteger() ^ right.getInteger()); return Ok;
    case OP_NOT: out.setInteger(right.getInteger() == 0 ? 1 : 0); return Ok;
    case OP_MOD: {
        const int a = left.getInteger();
        const int b = right.getInteger();
        if (b == 0)
            return DivisionByZero;
        out.setInteger(b == -1 ? 0 : a % b);
        return Ok;
    }
    case OP_GT:
    case OP_GE:
    case OP_LT:
    case OP_LE:
        if (left.type == PellixVariable::Undefined) {
            out.type = PellixVariable::Undefined;
        } else if (left.type == PellixVariable::Float) {
            const bool result = compareFloats(code, left.floatValue, right.getFloat());
            out.setFloat(result ? 1.0f : 0.0f);
        } else {
            out.setInteger(compareIntegers(code, left.getInteger(), right.getInteger()) ? 1 : 0);
        }
        return Ok;
    case OP_NE:
    case OP_EQ:
        out.setInteger(holds(code, left, right) ? 1 : 0);
        return Ok;
    case OP_MUL:
    case OP_DIV:
    case OP_SUB:
    case OP_ADD:
        break;
    default:
        out.type = PellixVariable::Undefined;
        return Ok;
    }

    switch (left.type) {
    case PellixVariable::Undefined:
        out.type = PellixVariable::Undefined;
        return Ok;
    case PellixVariable::Float: {
        const float a = left.floatValue;
        const float b = right.getFloat();
        float result;
        if (code == OP_MUL)
            result = a * b;
        else if (code == OP_DIV)
            result = a / b;
        else if (code == OP_ADD)
            result = a + b;
        else
            result = a - b;
        out.setFloat(result);
        return Ok;
    }
    case PellixVariable::String:
        if (code == OP_ADD) {
            if (&out == &left)
                return appendText(out, right);
            char buffer[PellixVariable::numberTextCapacity];
            size_t leftLength = 0;
            size_t rightLength = 0;
            const char* leftText = left.peekText(buffer, leftLength);
            char rightBuffer[PellixVariable::numberTextCapacity];
            const char* rightText = right.peekText(rightBuffer, rightLength);
            if (rightLength > maxStringLength - leftLength)
                return StringTooLong;
            if (&out == &right) {
                std::string joined;
                joined.reserve(leftLength + rightLength);
                joined.append(leftText, leftLength).append(rightText, rightLength);
                out.stringValue.swap(joined);
            } else {
                // Reuses the capacity the result already has: no allocation once it is large enough.
                out.stringValue.assign(leftText, leftLength);
                out.stringValue.append(rightText, rightLength);
            }
            out.type = PellixVariable::String;
            return Ok;
        }
        break;
    default:
        break;
    }

    const int a = left.getInteger();
    const int b = right.getInteger();
    int result;
    if (code == OP_MUL) {
        result = wrapMultiply(a, b);
    } else if (code == OP_DIV) {
        if (b == 0)
            return DivisionByZero;
        if (a == INT_MIN && b == -1)
            return DivisionOverflow;
        result = a / b;
    } else if (code == OP_ADD) {
        result = wrapAdd(a, b);
    } else {
        result = wrapSubtract(a, b);
    }
    out.setInteger(result);
    return Ok;
}

std::string PellixOperators::statusMessage(Status status) {
    switch (status) {
    case DivisionByZero: return "Division by zero";
    case DivisionOverflow: return "Integer overflow: -2147483648 divided by -1";
    case StringTooLong: return "String too long, the limit is " + std::to_string(maxStringLength) + " characters";
    default: return "";
    }
}

const char* PellixOperators::operatorText(int code) {
    switch (code) {
    case OP_OR: return "OR";
    case OP_AND: return "AND";
    case OP_XOR: return "XOR";
    case OP_NOT: return "NOT";
    case OP_MOD: return "MOD";
    case OP_GT: return ">";
    case OP_GE: return ">=";
    case OP_LT: return "<";
    case OP_LE: return "<=";
    case OP_NE: return "<>";
    case OP_EQ: return "=";
    case OP_MUL: return "*";
    case OP_DIV: return "/";
    case OP_ADD: return "+";
    case OP_SUB: return "-";
    default: return "?";
    }
}
