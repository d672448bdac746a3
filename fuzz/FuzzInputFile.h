#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The game's file readers take a path: each fuzz input is written to one file of the process, rewritten per input.
class FuzzInputFile {
public:
    // The path of the file now holding data.
    static const std::string& write(const uint8_t* data, size_t size);
};
