#pragma once

#include <string>

namespace Torvane {

// A file that a level names: a map, a picture, a role's description. Levels are files that players download and
// share, so a name may only reach into the data directory (relative, no "..") and only a regular file, checked
// before the file is opened: a FIFO or a device would block the game, and a name outside the data would read the
// player's own files.
class LevelFile {
public:
    static constexpr size_t maxNameLength = 1024;  // bytes of a whole path

    // Each returns an empty text when all is well, otherwise why not in a few words (never anything read from a file).
    // A name a level gives (a script, a map, a role's description): relative and without "..".
    static std::string checkName(const std::string& name);
    // Any file the game is about to open: it must be a regular file. The loaders check every path so.
    static std::string checkFile(const std::string& path);
};

}  // namespace Torvane
