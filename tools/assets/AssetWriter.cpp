#include "tools/assets/AssetWriter.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void AssetWriter::makeDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0755);
    }
    mkdir(path.c_str(), 0755);
}

namespace {
std::vector<std::string> savedPaths;
}  // namespace

const std::vector<std::string>& AssetWriter::getSavedPaths() { return savedPaths; }

static void makeParent(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash != std::string::npos) AssetWriter::makeDirectories(path.substr(0, slash));
}

void AssetWriter::saveBitmap(BITMAP* bitmap, const std::string& path) {
    makeParent(path);
    if (save_bitmap(path.c_str(), bitmap, nullptr) != 0) {
        std::fprintf(stderr, "torvane-assets: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    savedPaths.push_back(path);
}

void AssetWriter::saveBytes(const std::string& bytes, const std::string& path) {
    makeParent(path);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "torvane-assets: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        std::exit(1);
    }
    std::fclose(file);
    savedPaths.push_back(path);
}

void AssetWriter::saveText(const std::string& text, const std::string& path) { saveBytes(text, path); }
