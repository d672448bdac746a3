#pragma once

#include <string>

namespace Torvane {

// What the player chose: full screen or a window, the sound volume and the keys of his fighter.
// Kept in a short text file he may edit by hand (see the README, "Settings"); one line per setting:
//
//     fullscreen = off
//     volume = 100
//     key.left = A
//
// A plain object: the game holds one, a menu changes it, and whoever uses a setting is handed
// it again after a change (InputSystem::useKeys, SoundSystem::setVolume, Screen::setFullScreen).
// Used on the main thread only.
class Settings {
public:
    // The fighter's controls that the player may move to other keys, in the file's order.
    enum class Action { WalkLeft, WalkRight, Jump, Reload, Rifle, Pistol, Hands, Grenade, Pause };
    static constexpr int actionCount = 9;
    static constexpr int maxVolume = 100;

    // Today's controls: A, D, W, R, 1 to 4, P; full volume; a window.
    Settings();

    // $XDG_CONFIG_HOME/torvane/settings (or ~/.config/...); empty when there is no home to keep it in.
    static std::string defaultPath();

    // Replaces every setting with the file's. A missing file (or an empty path) gives the defaults
    // silently. Each line the game cannot use is reported once on standard output with the file and
    // its line number, and the default is used for that setting; a file too big to be a settings
    // file, or unreadable, is reported and gives the defaults.
    void load(const std::string& path);
    // Writes every setting, with a comment at the top, replacing the file whole. False, with the
    // reason in error, when it cannot be written; the old file is then untouched.
    bool save(const std::string& path, std::string& error) const;
    // The file's text as save writes it.
    std::string toText() const;

    // "Walk left", "Jump", ...: the action's name for the menu.
    static const char* actionName(Action action);
    // The Allegro scancode (KEY_A, ...) the action is on.
    int getKey(Action action) const { return keys[index(action)]; }
    // Moves the action to another key. Refused, with a sentence for the player in refusal, when
    // the key is another action's, or kept for the game (Escape, F3, F11, Enter and the fixed
    // controls S, left Shift, Q, B, M), or not one the game knows.
    bool setKey(Action action, int scancode, std::string& refusal);
    // The key as a person reads it: "A", "Space", "Left Shift", "Keypad 5"; "Key 123" for one
    // the game does not know.
    static std::string keyName(int scancode);

    int getVolume() const { return volume; }
    // 0 silent .. 100 full; other values are held to that range.
    void setVolume(int percent);
    bool isFullScreen() const { return fullScreen; }
    void setFullScreen(bool on) { fullScreen = on; }

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }

private:
    static int index(Action action) { return static_cast<int>(action); }

    int keys[actionCount];
    int volume = maxVolume;
    bool fullScreen = false;
};

}  // namespace Torvane
