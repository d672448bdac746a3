#pragma once

#include <string>

// A file of its own for one test case, holding the given text; removed afterwards.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& text);
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    std::string path;
};
