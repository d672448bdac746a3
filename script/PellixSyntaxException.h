#pragma once

#include <string>

// An error found while reading a script; thrown by value and turned into the last error by the engine.
class PellixSyntaxException {
public:
    PellixSyntaxException(std::string error, std::string detail, int line);

    const std::string& getError() const { return error; }
    const std::string& getDetail() const { return detail; }
    int getLine() const { return line; }

private:
    std::string error;
    std::string detail;
    int line;
};
