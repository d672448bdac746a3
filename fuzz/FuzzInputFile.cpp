#include "FuzzInputFile.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Made on first use, removed when the fuzzer exits.
struct InputFile {
    InputFile() {
        char name[] = "/tmp/torvane-fuzz-XXXXXX";
        const int descriptor = mkstemp(name);
        if (descriptor < 0) std::abort();
        close(descriptor);
        path = name;
    }
    ~InputFile() { std::remove(path.c_str()); }
    std::string path;
};

}  // namespace

const std::string& FuzzInputFile::write(const uint8_t* data, size_t size) {
    static const InputFile input;
    std::FILE* file = std::fopen(input.path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
    return input.path;
}
