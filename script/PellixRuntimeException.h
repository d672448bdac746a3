#pragma once

#include <string>

// An error found while running a script: what, the offending word, the function concerned and the line.
class PellixRuntimeException {
public:
    PellixRuntimeException(std::string error, std::string detail, std::string function, int line);

    const std::string& getError() const { return error; }
    const std::string& getDetail() const { return detail; }
    const std::string& getFunction() const { return function; }
    int getLine() const { return line; }

    // How both interpreters end a script the host asked to stop. Out of line, so that the checks stay small.
    [[noreturn]] static void throwStopped(const std::string& function, int line);

private:
    std::string error;
    std::string detail;
    std::string function;
    int line;
};
