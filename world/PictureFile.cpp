#include "world/PictureFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "world/LevelFile.h"

namespace Torvane {

namespace {

std::uint32_t littleEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

bool endsWith(const std::string& path, const char* extension) {
    const size_t length = std::strlen(extension);
    if (path.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        char c = path[path.size() - length + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != extension[i]) return false;
    }
    return true;
}

std::string claimed(std::int64_t width, std::int64_t height) {
    return "its header claims " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

std::string sizeProblem(std::int64_t width, std::int64_t height) {
    if (width < 1 || height < 1) return claimed(width, height) + ", which is no picture";
    if (width > PictureFile::maxSide || height > PictureFile::maxSide)
        return claimed(width, height) + ", more than " + std::to_string(PictureFile::maxSide) + " on a side";
    if (width * height > PictureFile::maxArea)
        return claimed(width, height) + ", more than " + std::to_string(PictureFile::maxArea) + " in all";
    return "";
}

// BITMAPFILEHEADER (14 bytes), then an OS/2 core header (12) or a Windows info header (40 or more).
std::string checkBmp(const unsigned char* header, size_t got, std::int64_t fileSize) {
    if (got < 26 || header[0] != 'B' || header[1] != 'M') return "it is not a BMP file";
    const std::uint32_t pixelOffset = littleEndian(header + 10, 4);
    const std::uint32_t infoSize = littleEndian(header + 14, 4);
    std::int64_t width, height;
    std::uint32_t bitsPerPixel, compression = 0;
    if (infoSize == 12) {
        width = littleEndian(header + 18, 2);
        height = littleEndian(header + 20, 2);
        bitsPerPixel = littleEndian(header + 24, 2);
    } else {
        if (got < 34) return "its header is cut short";
        width = static_cast<std::int32_t>(littleEndian(header + 18, 4));
        height = static_cast<std::int32_t>(littleEndian(header + 22, 4));
        if (height < 0) height = -height;  // rows stored top-down
        bitsPerPixel = littleEndian(header + 28, 2);
        compression = littleEndian(header + 30, 4);
    }
    std::string problem = sizeProblem(width, height);
    if (!problem.empty()) return problem;
    // Without compression (0) or with bit fields (3) every row is stored in full.
    if (compression == 0 || compression == 3) {
        const std::int64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
        const std::int64_t needed = static_cast<std::int64_t>(pixelOffset) + rowBytes * height;
        if (needed > fileSize)
            return claimed(width, height) + " (" + std::to_string(needed) + " bytes) but the file has only " +
                   std::to_string(fileSize) + " bytes";
    }
    return "";
}

// Allegro reads file names as UTF-8 and walks past the end of one that is not (a Latin-1 byte, a cut
// sequence): such a name must never reach it.
bool isUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                            : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

std::string PictureFile::checkHeader(const std::string& path) {
    if (!isUtf8(path)) return "its name is not UTF-8 text";
    std::string refused = LevelFile::checkFile(path);
    if (!refused.empty()) return refused;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::strerror(errno);
    unsigned char header[34] = {};
    const size_t got = std::fread(header, 1, sizeof header, file);
    struct stat status {};
    const std::int64_t fileSize = fstat(fileno(file), &status) == 0 ? status.st_size : 0;
    std::fclose(file);
    if (endsWith(path, ".bmp")) return checkBmp(header, got, fileSize);
    if (endsWith(path, ".pcx")) {
        if (got < 12) return "its header is cut short";
        return sizeProblem(std::int64_t(littleEndian(header + 8, 2)) - littleEndian(header + 4, 2) + 1,
                           std::int64_t(littleEndian(header + 10, 2)) - littleEndian(header + 6, 2) + 1);
    }
    if (endsWith(path, ".tga")) {
        if (got < 16) return "its header is cut short";
        return sizeProblem(littleEndian(header + 12, 2), littleEndian(header + 14, 2));
    }
    return "";
}

BITMAP* PictureFile::load(const std::string& path, std::string& reason) {
    reason = checkHeader(path);
    if (!reason.empty()) return nullptr;
    errno = 0;
    BITMAP* picture = load_bitmap(path.c_str(), nullptr);
    if (picture) return picture;
    reason = "it is not a picture Allegro can read";
    return nullptr;
}

}  // namespace Torvane
