#include "core/MapFile.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "world/BlockSystem.h"
#include "world/LevelFile.h"

namespace Torvane {

namespace {

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A word as it may be shown in a message: printable, and not too long to read.
std::string quoted(const std::string& word) {
    std::string shown;
    for (char c : word.substr(0, 40)) shown += (c >= 32 && c < 127) ? c : '?';
    if (word.size() > 40) shown += "...";
    return "\"" + shown + "\"";
}

}  // namespace

// Splits the file into white-space separated words, never holding more than
// one bounded word in memory.
class MapFile::Reader {
public:
    enum Result { WORD, END, FAILED, TOO_LONG };

    explicit Reader(std::FILE* file) : file(file) {}

    Result next(std::string& word) {
        word.clear();
        int c;
        do c = std::getc(file);
        while (c != EOF && isSpace(c));
        while (c != EOF && !isSpace(c)) {
            if (static_cast<int>(word.size()) == maxNameLength) return TOO_LONG;
            word += static_cast<char>(c);
            c = std::getc(file);
        }
        if (std::ferror(file)) {
            readError = errno;
            return FAILED;
        }
        return word.empty() ? END : WORD;
    }

    int getReadError() const { return readError; }

private:
    std::FILE* file;
    int readError = 0;
};

bool MapFile::load(const std::string& filePath) {
    *this = MapFile();
    path = filePath;
    if (const std::string refused = LevelFile::checkFile(path); !refused.empty()) {
        error = "Map file " + path + " cannot be opened (" + refused + ")";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        error = "Map file " + path + " cannot be opened (" + std::strerror(errno) + ")";
        return false;
    }
    // A UTF-8 byte-order mark, as some editors write, is no word of the map.
    unsigned char mark[3] = {};
    if (std::fread(mark, 1, 3, file) != 3 || mark[0] != 0xEF || mark[1] != 0xBB || mark[2] != 0xBF) std::rewind(file);
    Reader reader(file);
    complete = readAll(reader);
    std::fclose(file);
    // A file that opens but cannot be read at all (a directory) is no map either: the world must stay.
    if (!complete && !sizeRead && reader.getReadError() != 0) return false;
    return true;
}

bool MapFile::readAll(Reader& reader) {
    std::string where;  // the record being read, empty in the header
    std::string word;

    auto fail = [&](const std::string& what) {
        error = "Map file " + path + ": " + (where.empty() ? "" : where + ": ") + what;
        return false;
    };
    // Reads one word; false (with the error set) when there is none to read.
    auto readWord = [&](const char* name) {
        switch (reader.next(word)) {
        case Reader::WORD:
            return true;
        case Reader::END:
            return fail(std::string("the file ends where the ") + name + " should be");
        case Reader::TOO_LONG:
            return fail(std::string("the ") + name + " is longer than " + std::to_string(maxNameLength) +
                        " characters");
        case Reader::FAILED:
            break;
        }
        return fail(std::string("cannot be read (") + std::strerror(reader.getReadError()) + ")");
    };
    auto readInteger = [&](const char* name, long low, long high, int& value) {
        if (!readWord(name)) return false;
        errno = 0;
        char* end = nullptr;
        long number = std::strtol(word.c_str(), &end, 10);
        // The number must fill the whole word: a NUL byte inside it would end strtol's view early.
        if (end != word.c_str() + word.size() || (word[0] != '-' && word[0] != '+' && !(word[0] >= '0' && word[0] <= '9')))
            return fail(std::string("the ") + name + " " + quoted(word) + " is not a whole number");
        if (errno == ERANGE || number < low || number > high)
            return fail(std::string("the ") + name + " " + quoted(word) + " is outside " + std::to_string(low) + " to " +
                        std::to_string(high));
        value = static_cast<int>(number);
        return true;
    };

    int ignored;
    if (!readInteger("first value", INT_MIN, INT_MAX, ignored)) return false;
    int w, h;
    if (!readInteger("map width", 1, BlockSystem::maxMapSide, w)) return false;
    if (!readInteger("map height", 1, BlockSystem::maxMapSide, h)) return false;
    if (static_cast<std::int64_t>(w) * h > BlockSystem::maxMapArea)
        return fail("the map size " + std::to_string(w) + " x " + std::to_string(h) + " is more than " +
                    std::to_string(BlockSystem::maxMapArea) + " pixels");
    width = w;
    height = h;
    sizeRead = true;

    int r, g, b;
    if (!readInteger("background red", 0, 255, r) || !readInteger("background green", 0, 255, g) ||
        !readInteger("background blue", 0, 255, b))
        return false;
    red = r;
    green = g;
    blue = b;
    backgroundRead = true;

    int count;
    if (!readInteger("piece count", 0, maxPieces, count)) return false;
    pieceCount = count;
    pieceCountRead = true;

    for (int record = 1; record <= count; ++record) {
        where = "record " + std::to_string(record) + " of " + std::to_string(count);
        MapPiece piece;
        piece.recordNumber = record;
        if (!readWord("picture name")) return false;
        if (const std::string problem = LevelFile::checkName("image/object/" + word); !problem.empty())
            return fail("the picture name \"" + word + "\" is refused (" + problem + ")");
        piece.imageName = word;
        if (!readInteger("layer", INT_MIN, INT_MAX, piece.layer) || !readInteger("kind", INT_MIN, INT_MAX, piece.kind) ||
            !readInteger("x", -maxCoordinate, maxCoordinate, piece.x) ||
            !readInteger("y", -maxCoordinate, maxCoordinate, piece.y))
            return false;
        for (const char* name : {"sixth value", "seventh value", "eighth value", "ninth value"}) {
            if (!readInteger(name, INT_MIN, INT_MAX, ignored)) return false;
        }
        pieces.push_back(piece);
    }

    where.clear();
    switch (reader.next(word)) {
    case Reader::END:
        break;
    case Reader::FAILED:
        return fail(std::string("cannot be read (") + std::strerror(reader.getReadError()) + ")");
    case Reader::WORD:
    case Reader::TOO_LONG:
        trailingText = true;
        trailing = quoted(word);
        break;
    }
    return true;
}

}  // namespace Torvane
