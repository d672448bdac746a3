#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The one value type of Pellix: undefined, a 32-bit integer, a string or a 32-bit float.
// The same record is a variable's declaration: global or local, constant or not, and its frame slot.
class PellixVariable {
public:
    enum Type : int8_t { Undefined = 0, Integer = 1, String = 2, Float = 3 };

    // Longest text that formatNumber writes, terminating NUL included (-FLT_MAX printed by "%f" needs 48).
    static constexpr size_t numberTextCapacity = 64;

    int8_t type = Undefined;
    bool isGlobal = false;
    bool isConst = false;
    int16_t slot = 0;
    int32_t intValue = 0;
    float floatValue = 0.0f;
    // Payload of a String; for the other types the text that getString last printed.
    std::string stringValue;

    void setInteger(int value);
    void setFloat(float value);
    void setString(std::string value);
    // An assignment: only the value moves, the declaration flags stay. A number leaves the old text where it
    // is (it is only getString's cache then), so that storing a number never copies a string; storing a
    // variable into itself changes nothing.
    void storeValue(const PellixVariable& value) {
        if (value.type != String) {
            type = value.type;
            intValue = value.intValue;
            floatValue = value.floatValue;
        } else if (this != &value) {
            stringValue = value.stringValue;
            type = String;
        }
    }

    int getInteger() const;
    float getFloat() const;
    // Not read-only: prints a number or "undefined" into stringValue, which stays valid until the next change.
    std::string& getString();

    // The text getString would give, without touching the cache. A String returns its own text; the other
    // types print into buffer (numberTextCapacity bytes) and return where the text starts in it. length
    // receives the text length.
    const char* peekText(char* buffer, size_t& length) const;

    // atoi as a total function: blanks, sign, digits; saturates at the int range instead of overflowing.
    static int textToInteger(const char* text);
    // atof rounded to a 32-bit float.
    static float textToFloat(const char* text);
    // Truncation toward zero; NaN gives 0, values beyond the int range saturate.
    static int floatToInteger(float value);
    // Rounds to the nearest float; magnitudes beyond the float range become infinities.
    static float doubleToFloat(double value);
};
