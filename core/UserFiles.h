#pragma once

#include <cstddef>
#include <string>

namespace Torvane {

// The player's own directories and the one safe way to write a file there. The game writes
// nowhere else: its data directory may be read-only, and a crash or a full disk mid-write must
// never leave a broken file behind, so each file is written whole beside its old self, then
// renamed over it.
class UserFiles {
public:
    enum class Kind { Data, Config, State };

    // $XDG_DATA_HOME/torvane, $XDG_CONFIG_HOME/torvane or $XDG_STATE_HOME/torvane; an unset or
    // relative variable means the default under $HOME (~/.local/share, ~/.config, ~/.local/state).
    // Empty when neither gives an absolute path.
    static std::string directory(Kind kind);

    // Creates the directory of the file and its parents as needed, writes the contents to a new
    // file beside it, flushes it to disk and renames it over the old one. On failure the old
    // file is untouched and the reason is in error.
    static bool writeSafely(const std::string& path, const std::string& contents, std::string& error);

    // Reads a whole file of at most maxBytes. False, with the reason, when it is missing,
    // unreadable or larger; a missing file leaves error empty.
    static bool read(const std::string& path, std::size_t maxBytes, std::string& contents, std::string& error);
};

}  // namespace Torvane
