#include "tests/support/TemporaryFile.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

TemporaryFile::TemporaryFile(const std::string& text) {
    char name[] = "/tmp/torvane-test-XXXXXX";
    int descriptor = mkstemp(name);
    if (descriptor < 0) std::abort();
    path = name;
    if (write(descriptor, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
    close(descriptor);
}

TemporaryFile::~TemporaryFile() { std::remove(path.c_str()); }
