#include "FuzzInputFile.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

const std::string& FuzzInputFile::write(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        char name[] = "/tmp/torvane-fuzz-XXXXXX";
        const int descriptor = mkstemp(name);
        if (descriptor < 0) std::abort();
        close(descriptor);
        return std::string(name);
    }();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
    return path;
}
