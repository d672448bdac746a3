#include "script/PellixVariable.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

void PellixVariable::setInteger(int value) {
    intValue = value;
    type = Integer;
}

void PellixVariable::setFloat(float value) {
    floatValue = value;
    type = Float;
}

void PellixVariable::setString(std::string value) {
    stringValue = std::move(value);
    type = String;
}

int PellixVariable::getInteger() const {
    switch (type) {
    case Integer: return intValue;
    case String: return textToInteger(stringValue.c_str());
    case Float: return floatToInteger(floatValue);
    default: return 0;
    }
}

float PellixVariable::getFloat() const {
    switch (type) {
    case Float: return floatValue;
    case Integer: return static_cast<float>(intValue);
    case String: return textToFloat(stringValue.c_str());
    default: return std::numeric_limits<float>::quiet_NaN();
    }
}

std::string& PellixVariable::getString() {
    if (type != String) {
        char buffer[numberTextCapacity];
        size_t length = 0;
        const char* text = peekText(buffer, length);
        stringValue.assign(text, length);
    }
    return stringValue;
}

const char* PellixVariable::peekText(char* buffer, size_t& length) const {
    int written = 0;
    switch (type) {
    case String:
        length = stringValue.size();
        return stringValue.c_str();
    case Integer: {
        // "%d" without the cost of a format parser: digits backwards, then the sign.
        char* end = buffer + numberTextCapacity - 1;
        *end = '\0';
        char* start = end;
        uint32_t magnitude = intValue < 0 ? 0u - static_cast<uint32_t>(intValue) : static_cast<uint32_t>(intValue);
        do {
            *--start = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (intValue < 0)
            *--start = '-';
        length = static_cast<size_t>(end - start);
        return start;
    }
    case Float:
        written = std::snprintf(buffer, numberTextCapacity, "%f", static_cast<double>(floatValue));
        break;
    default:
        std::memcpy(buffer, "undefined", 10);
        written = 9;
        break;
    }
    length = written > 0 ? static_cast<size_t>(written) : 0;
    return buffer;
}

int PellixVariable::textToInteger(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // Accumulate as a magnitude with one step of headroom, so saturation needs no signed overflow.
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    while (*p >= '0' && *p <= '9') {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) {
            magnitude = limit;
            while (*p >= '0' && *p <= '9')
                ++p;
            break;
        }
        ++p;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

float PellixVariable::textToFloat(const char* text) {
    return doubleToFloat(std::strtod(text, nullptr));
}

int PellixVariable::floatToInteger(float value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value < -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(value);
}

float PellixVariable::doubleToFloat(double value) {
    if (std::isfinite(value) && std::fabs(value) > static_cast<double>(FLT_MAX)) {
        // Values that round to FLT_MAX stay finite; beyond the rounding boundary they overflow.
        const double boundary = static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103);
        if (std::fabs(value) < boundary)
            return value < 0 ? -FLT_MAX : FLT_MAX;
        return value < 0 ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}
