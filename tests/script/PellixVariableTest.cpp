// Values and their conversions.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "script/PellixOperators.h"
#include "script/PellixVariable.h"

namespace {

PellixVariable text(const char* value) {
    PellixVariable variable;
    variable.setString(value);
    return variable;
}

PellixVariable number(float value) {
    PellixVariable variable;
    variable.setFloat(value);
    return variable;
}

} // namespace

TEST(PellixVariable, NewValueIsUndefined) {
    PellixVariable value;
    EXPECT_EQ(value.type, PellixVariable::Undefined);
    EXPECT_FALSE(value.isGlobal);
    EXPECT_FALSE(value.isConst);
    EXPECT_EQ(value.slot, 0);
    EXPECT_EQ(value.getInteger(), 0);
    EXPECT_TRUE(std::isnan(value.getFloat()));
    EXPECT_EQ(value.getString(), "undefined");
    EXPECT_EQ(value.type, PellixVariable::Undefined);
}

TEST(PellixVariable, StringsReadAsNumbersLikeAtoiAndAtof) {
    EXPECT_EQ(text("12abc").getInteger(), 12);
    EXPECT_FLOAT_EQ(text("12abc").getFloat(), 12.0f);
    EXPECT_EQ(text("abc").getInteger(), 0);
    EXPECT_FLOAT_EQ(text("abc").getFloat(), 0.0f);
    EXPECT_EQ(text("  \t-42x").getInteger(), -42);
    EXPECT_EQ(text("+7").getInteger(), 7);
    EXPECT_EQ(text("- 7").getInteger(), 0);
    EXPECT_EQ(text("3.9").getInteger(), 3);
    EXPECT_FLOAT_EQ(text("2.5e1").getFloat(), 25.0f);
    EXPECT_EQ(text("").getInteger(), 0);
    // Beyond the int range the reading saturates instead of overflowing.
    EXPECT_EQ(text("2147483647").getInteger(), INT_MAX);
    EXPECT_EQ(text("-2147483648").getInteger(), INT_MIN);
    EXPECT_EQ(text("99999999999999999999").getInteger(), INT_MAX);
    EXPECT_EQ(text("-99999999999999999999").getInteger(), INT_MIN);
    EXPECT_TRUE(std::isinf(text("1e400").getFloat()));
}

TEST(PellixVariable, FloatsTruncateTowardZeroWithDefinedEdges) {
    EXPECT_EQ(number(3.9f).getInteger(), 3);
    EXPECT_EQ(number(-3.9f).getInteger(), -3);
    EXPECT_EQ(number(std::numeric_limits<float>::quiet_NaN()).getInteger(), 0);
    EXPECT_EQ(number(std::numeric_limits<float>::infinity()).getInteger(), INT_MAX);
    EXPECT_EQ(number(-std::numeric_limits<float>::infinity()).getInteger(), INT_MIN);
    EXPECT_EQ(number(3e9f).getInteger(), INT_MAX);
    EXPECT_EQ(number(-3e9f).getInteger(), INT_MIN);
    EXPECT_EQ(number(-2147483648.0f).getInteger(), INT_MIN);
    EXPECT_EQ(number(2147483520.0f).getInteger(), 2147483520);
    EXPECT_EQ(PellixVariable::doubleToFloat(1e39), std::numeric_limits<float>::infinity());
    EXPECT_EQ(PellixVariable::doubleToFloat(-1e39), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(PellixVariable::doubleToFloat(static_cast<double>(FLT_MAX) * (1 + 1e-9)), FLT_MAX);
}

TEST(PellixVariable, PrintedFormsAndTheirCache) {
    EXPECT_EQ(number(3.0f).getString(), "3.000000");
    EXPECT_EQ(number(2.5f).getString(), "2.500000");
    EXPECT_EQ(number(FLT_MAX).getString(), "340282346638528859811704183484516925440.000000");
    EXPECT_EQ(number(-FLT_MAX).getString(), "-340282346638528859811704183484516925440.000000");

    PellixVariable seven;
    seven.setInteger(7);
    EXPECT_EQ(seven.getString(), "7");
    EXPECT_EQ(seven.type, PellixVariable::Integer);
    EXPECT_EQ(seven.stringValue, "7");

    // Setting a payload does not clear the others; getString overwrites the cache of a number.
    PellixVariable value = text("hello");
    value.setInteger(-12);
    EXPECT_EQ(value.stringValue, "hello");
    EXPECT_EQ(value.getInteger(), -12);
    std::string& cached = value.getString();
    EXPECT_EQ(cached, "-12");
    EXPECT_EQ(&cached, &value.stringValue);

    // peekText gives the same text without touching the cache.
    PellixVariable peeked = text("stale");
    peeked.setFloat(1.5f);
    char buffer[PellixVariable::numberTextCapacity];
    size_t length = 0;
    const char* peekedText = peeked.peekText(buffer, length);
    EXPECT_EQ(std::string(peekedText, length), "1.500000");
    EXPECT_EQ(peeked.stringValue, "stale");
}

TEST(PellixVariable, CopiesCarryFlagsAndSlot) {
    PellixVariable declaration;
    declaration.isConst = true;
    declaration.isGlobal = true;
    declaration.slot = 17;
    declaration.setString("x");
    PellixVariable copy = declaration;
    EXPECT_TRUE(copy.isConst);
    EXPECT_TRUE(copy.isGlobal);
    EXPECT_EQ(copy.slot, 17);
    EXPECT_EQ(copy.getString(), "x");
    PellixVariable assigned;
    assigned = declaration;
    EXPECT_TRUE(assigned.isConst);
    EXPECT_EQ(assigned.slot, 17);
}

TEST(PellixVariable, StoreValueMovesTheValueAndKeepsTheDeclaration) {
    // Stored into itself, every kind of value stays as it was; a text longer than any short-string buffer
    // would be lost by a store that empties the target before it copies.
    const std::string longText(100, 'q');
    PellixVariable self[4];
    self[1].setInteger(-7);
    self[2].setString(longText);
    self[3].setFloat(2.5f);
    for (PellixVariable& variable : self) {
        variable.isGlobal = true;
        variable.slot = 3;
        const int8_t type = variable.type;
        variable.storeValue(variable);
        EXPECT_EQ(variable.type, type);
        EXPECT_TRUE(variable.isGlobal);
        EXPECT_EQ(variable.slot, 3);
    }
    EXPECT_EQ(self[0].getString(), "undefined");
    EXPECT_EQ(self[1].intValue, -7);
    EXPECT_EQ(self[2].stringValue, longText);
    EXPECT_EQ(self[3].floatValue, 2.5f);

    PellixVariable target;
    target.isConst = true;
    target.slot = 9;
    target.setString(longText);
    target.storeValue(number(1.25f));
    EXPECT_EQ(target.type, PellixVariable::Float);
    EXPECT_EQ(target.getString(), "1.250000");
    EXPECT_TRUE(target.isConst);
    EXPECT_EQ(target.slot, 9);
    target.storeValue(text("back to text"));
    EXPECT_EQ(target.type, PellixVariable::String);
    EXPECT_EQ(target.getString(), "back to text");
    target.storeValue(PellixVariable());
    EXPECT_EQ(target.type, PellixVariable::Undefined);
    EXPECT_EQ(target.getString(), "undefined");
    EXPECT_EQ(target.slot, 9);
}

TEST(PellixOperators, ResultsByTypeOfTheLeftOperand) {
    auto apply = [](int code, const PellixVariable& left, const PellixVariable& right) {
        PellixVariable out;
        EXPECT_EQ(PellixOperators::apply(code, left, right, out), PellixOperators::Ok);
        return out;
    };
    PellixVariable one;
    one.setInteger(1);
    PellixVariable undefined;
    EXPECT_EQ(apply(PellixOperators::OP_ADD, one, number(2.5f)).getString(), "3");
    EXPECT_EQ(apply(PellixOperators::OP_ADD, number(2.5f), one).getString(), "3.500000");
    EXPECT_EQ(apply(PellixOperators::OP_ADD, text("A"), one).getString(), "A1");
    EXPECT_EQ(apply(PellixOperators::OP_ADD, one, text("2")).getString(), "3");
    EXPECT_EQ(apply(PellixOperators::OP_ADD, undefined, one).type, PellixVariable::Undefined);
    EXPECT_EQ(apply(PellixOperators::OP_LT, undefined, one).type, PellixVariable::Undefined);
    EXPECT_EQ(apply(PellixOperators::OP_EQ, undefined, text("undefined")).getInteger(), 1);
    EXPECT_EQ(apply(PellixOperators::OP_GT, number(1.5f), number(1.2f)).getString(), "1.000000");
    EXPECT_EQ(apply(PellixOperators::OP_EQ, number(1.5f), number(1.2f)).getInteger(), 1);
    EXPECT_EQ(apply(PellixOperators::OP_LT, number(std::nanf("")), one).getString(), "0.000000");
    EXPECT_EQ(apply(PellixOperators::OP_MUL, text("6"), number(2.9f)).getString(), "12");
    EXPECT_EQ(apply(PellixOperators::OP_NOT, text("ignored"), one).getInteger(), 0);
    EXPECT_EQ(apply(99, one, one).type, PellixVariable::Undefined);

    // The result may be one of the operands, also for strings.
    PellixVariable word = text("ab");
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_ADD, word, word, word), PellixOperators::Ok);
    EXPECT_EQ(word.stringValue, "abab");
    PellixVariable right = text("cd");
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_ADD, word, right, right), PellixOperators::Ok);
    EXPECT_EQ(right.stringValue, "ababcd");
}

TEST(PellixOperators, IntegerArithmeticWrapsAndDivisionFailsCleanly) {
    auto integer = [](int value) {
        PellixVariable variable;
        variable.setInteger(value);
        return variable;
    };
    PellixVariable out;
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_ADD, integer(INT_MAX), integer(1), out), PellixOperators::Ok);
    EXPECT_EQ(out.intValue, INT_MIN);
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_SUB, integer(INT_MIN), integer(1), out), PellixOperators::Ok);
    EXPECT_EQ(out.intValue, INT_MAX);
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_MUL, integer(65536), integer(65537), out), PellixOperators::Ok);
    EXPECT_EQ(out.intValue, 65536);
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_DIV, integer(1), integer(0), out),
              PellixOperators::DivisionByZero);
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_MOD, integer(1), integer(0), out),
              PellixOperators::DivisionByZero);
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_DIV, integer(INT_MIN), integer(-1), out),
              PellixOperators::DivisionOverflow);
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_MOD, integer(INT_MIN), integer(-1), out), PellixOperators::Ok);
    EXPECT_EQ(out.intValue, 0);
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_DIV, integer(-7), integer(2), out), PellixOperators::Ok);
    EXPECT_EQ(out.intValue, -3);
    // A float divisor of an integer reads as an integer: 7 / 0.5 divides by zero.
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_DIV, integer(7), number(0.5f), out),
              PellixOperators::DivisionByZero);
    // Float division by zero follows IEEE arithmetic.
    EXPECT_EQ(PellixOperators::apply(PellixOperators::OP_DIV, number(1.0f), integer(0), out), PellixOperators::Ok);
    EXPECT_TRUE(std::isinf(out.floatValue));
}

TEST(PellixOperators, RemainderByAReciprocalMatchesTheDivision) {
    const std::vector<int32_t> dividends = {INT32_MIN, INT32_MIN + 1, -65536, -1000, -8, -7, -1, 0, 1, 6, 7, 8,
                                            99,        12345,         65535,  1 << 30, INT32_MAX - 1, INT32_MAX};
    const std::vector<uint32_t> divisors = {1, 2, 3, 5, 7, 8, 10, 255, 256, 641, 1000, 65537, 1u << 30,
                                            2147483646u, 2147483647u};
    for (uint32_t divisor : divisors) {
        const uint64_t magic = PellixOperators::remainderMagic(divisor);
        auto expected = [&](int32_t a) {
            return static_cast<int32_t>(static_cast<int64_t>(a) % static_cast<int64_t>(divisor));
        };
        for (int32_t a : dividends)
            EXPECT_EQ(PellixOperators::remainderByMagic(a, divisor, magic), expected(a)) << a << " MOD " << divisor;
        // A sweep with a fixed sequence, both signs.
        uint32_t state = 12345;
        for (int step = 0; step < 20000; ++step) {
            state = state * 1664525u + 1013904223u;
            const int32_t a = static_cast<int32_t>(state);
            ASSERT_EQ(PellixOperators::remainderByMagic(a, divisor, magic), expected(a)) << a << " MOD " << divisor;
        }
    }
}
