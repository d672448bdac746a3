#include "core/Settings.h"

#include <allegro.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/UserFiles.h"

namespace Torvane {

namespace {

// A settings file is a dozen short lines; anything this big is not one.
constexpr std::size_t maxFileBytes = 64 * 1024;
constexpr int defaultKeys[Settings::actionCount] = {KEY_A, KEY_D, KEY_W, KEY_R, KEY_1, KEY_2, KEY_3, KEY_4, KEY_P};
const char* const keySettingNames[Settings::actionCount] = {"key.left",   "key.right",   "key.jump",
                                                            "key.reload", "key.rifle",   "key.pistol",
                                                            "key.hands",  "key.grenade", "key.pause"};
const char* const actionNames[Settings::actionCount] = {"Walk left", "Walk right",  "Jump",    "Reload", "Rifle",
                                                        "Pistol",    "Empty hands", "Grenade", "Pause"};
// The file's other settings follow the keys in the table of what each line set.
constexpr int volumeSetting = Settings::actionCount;
constexpr int fullScreenSetting = Settings::actionCount + 1;
constexpr int settingCount = Settings::actionCount + 2;

struct KeyNames {
    std::string token;    // in the file: Allegro's KEY_ name without KEY_
    std::string display;  // in the menu
};

// By scancode; an empty token is a key the game does not offer.
const std::array<KeyNames, KEY_MAX>& keyTable() {
    static const std::array<KeyNames, KEY_MAX> table = [] {
        std::array<KeyNames, KEY_MAX> t;
        for (int i = 0; i < 26; ++i) {
            const std::string letter(1, static_cast<char>('A' + i));
            t[KEY_A + i] = {letter, letter};
        }
        for (int i = 0; i < 10; ++i) {
            const std::string digit = std::to_string(i);
            t[KEY_0 + i] = {digit, digit};
            t[KEY_0_PAD + i] = {digit + "_PAD", "Keypad " + digit};
        }
        for (int i = 0; i < 12; ++i) {
            const std::string name = "F" + std::to_string(i + 1);
            t[KEY_F1 + i] = {name, name};
        }
        const struct {
            int scancode;
            const char* token;
            const char* display;
        } named[] = {
            {KEY_ESC, "ESC", "Escape"},
            {KEY_TILDE, "TILDE", "`"},
            {KEY_MINUS, "MINUS", "-"},
            {KEY_EQUALS, "EQUALS", "="},
            {KEY_BACKSPACE, "BACKSPACE", "Backspace"},
            {KEY_TAB, "TAB", "Tab"},
            {KEY_OPENBRACE, "OPENBRACE", "["},
            {KEY_CLOSEBRACE, "CLOSEBRACE", "]"},
            {KEY_ENTER, "ENTER", "Enter"},
            {KEY_COLON, "COLON", ";"},
            {KEY_QUOTE, "QUOTE", "'"},
            {KEY_BACKSLASH, "BACKSLASH", "\\"},
            {KEY_COMMA, "COMMA", ","},
            {KEY_STOP, "STOP", "."},
            {KEY_SLASH, "SLASH", "/"},
            {KEY_SPACE, "SPACE", "Space"},
            {KEY_INSERT, "INSERT", "Insert"},
            {KEY_DEL, "DEL", "Delete"},
            {KEY_HOME, "HOME", "Home"},
            {KEY_END, "END", "End"},
            {KEY_PGUP, "PGUP", "Page Up"},
            {KEY_PGDN, "PGDN", "Page Down"},
            {KEY_LEFT, "LEFT", "Left"},
            {KEY_RIGHT, "RIGHT", "Right"},
            {KEY_UP, "UP", "Up"},
            {KEY_DOWN, "DOWN", "Down"},
            {KEY_SLASH_PAD, "SLASH_PAD", "Keypad /"},
            {KEY_ASTERISK, "ASTERISK", "Keypad *"},
            {KEY_MINUS_PAD, "MINUS_PAD", "Keypad -"},
            {KEY_PLUS_PAD, "PLUS_PAD", "Keypad +"},
            {KEY_DEL_PAD, "DEL_PAD", "Keypad ."},
            {KEY_ENTER_PAD, "ENTER_PAD", "Keypad Enter"},
            {KEY_LSHIFT, "LSHIFT", "Left Shift"},
            {KEY_RSHIFT, "RSHIFT", "Right Shift"},
            {KEY_LCONTROL, "LCONTROL", "Left Ctrl"},
            {KEY_RCONTROL, "RCONTROL", "Right Ctrl"},
            {KEY_ALT, "ALT", "Alt"},
            {KEY_ALTGR, "ALTGR", "AltGr"},
        };
        for (const auto& n : named) t[n.scancode] = {n.token, n.display};
        return t;
    }();
    return table;
}

bool isKnownKey(int scancode) { return scancode > 0 && scancode < KEY_MAX && !keyTable()[scancode].token.empty(); }

// Why a key belongs to the game and not to a setting; null for a free one.
const char* keptFor(int scancode) {
    switch (scancode) {
        case KEY_ESC:
            return "it quits the game";
        case KEY_F3:
            return "it shows the debug line";
        case KEY_F11:
            return "it switches full screen";
        case KEY_ENTER:
        case KEY_ENTER_PAD:
            return "it plays again on the results screen";
        case KEY_S:
        case KEY_LSHIFT:
        case KEY_Q:
        case KEY_B:
        case KEY_M:
            return "it is one of the fixed controls";
        default:
            return nullptr;
    }
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int scancodeNamed(const std::string& name) {
    const std::string wanted = upper(name);
    const auto& table = keyTable();
    for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
        if (!table[scancode].token.empty() && table[scancode].token == wanted) return scancode;
    }
    return 0;
}

// A line as it is shown in a report: in quotes, short, and with nothing that could upset a terminal.
std::string quoted(const std::string& line) {
    constexpr std::size_t longest = 60;
    std::string shown = line;
    if (shown.size() > longest) {
        std::size_t cut = longest;
        // Not in the middle of a UTF-8 character.
        while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
        shown = shown.substr(0, cut) + "...";
    }
    for (char& c : shown) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    return "\"" + shown + "\"";
}

bool parseVolume(const std::string& value, int& volume) {
    if (value.empty() || value.size() > 3) return false;
    int number = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    if (number > Settings::maxVolume) return false;
    volume = number;
    return true;
}

}  // namespace

Settings::Settings() { std::copy(std::begin(defaultKeys), std::end(defaultKeys), keys); }

std::string Settings::defaultPath() {
    const std::string directory = UserFiles::directory(UserFiles::Kind::Config);
    return directory.empty() ? std::string() : directory + "/settings";
}

void Settings::load(const std::string& path) {
    *this = Settings();
    if (path.empty()) return;
    std::string text, error;
    if (!UserFiles::read(path, maxFileBytes, text, error)) {
        // Missing is the usual first start: nothing to say.
        if (!error.empty()) {
            std::printf("%s; using the default settings\n", error.c_str());
            std::fflush(stdout);
        }
        return;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);

    std::vector<std::pair<int, std::string>> reports;  // line number, what is wrong there
    int setOnLine[settingCount] = {};
    // Keys are checked against each other once the whole file is read: a swap of two keys is
    // written on two lines, and only together do they make sense.
    int keyLine[actionCount] = {};
    std::string keyLineText[actionCount];

    int lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string line = trim(raw);
        if (line.empty() || line[0] == '#') continue;
        auto bad = [&](const std::string& why) { reports.emplace_back(lineNumber, quoted(line) + why); };

        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            bad(" is not of the form name = value; ignored");
            continue;
        }
        const std::string name = lower(trim(line.substr(0, equals)));
        const std::string value = trim(line.substr(equals + 1));
        int setting = -1;
        if (name == "volume") setting = volumeSetting;
        if (name == "fullscreen") setting = fullScreenSetting;
        for (int a = 0; a < actionCount; ++a) {
            if (name == keySettingNames[a]) setting = a;
        }
        if (setting < 0) {
            bad(" names no setting; ignored");
            continue;
        }
        if (setOnLine[setting] != 0) {
            bad(" sets it again (first on line " + std::to_string(setOnLine[setting]) + "); ignored");
            continue;
        }
        setOnLine[setting] = lineNumber;

        if (setting == volumeSetting) {
            if (!parseVolume(value, volume)) bad(" is not a number from 0 to 100; using 100");
        } else if (setting == fullScreenSetting) {
            const std::string word = lower(value);
            if (word == "on" || word == "off") {
                fullScreen = word == "on";
            } else {
                bad(" is neither on nor off; using off");
            }
        } else {
            const std::string usingDefault = "; using " + keyTable()[defaultKeys[setting]].token;
            const int scancode = scancodeNamed(value);
            if (scancode == 0) {
                bad(" is not a key the game knows" + usingDefault);
            } else if (const char* why = keptFor(scancode)) {
                bad(": " + keyTable()[scancode].token + " is kept for the game (" + why + ")" + usingDefault);
            } else {
                keys[setting] = scancode;
                keyLine[setting] = lineNumber;
                keyLineText[setting] = line;
            }
        }
    }

    // Two actions on one key: the one the file set later goes back to its default (a default
    // always beats the file, and defaults never share a key), until every key is one action's.
    for (bool clash = true; clash;) {
        clash = false;
        for (int a = 0; a < actionCount && !clash; ++a) {
            for (int b = a + 1; b < actionCount && !clash; ++b) {
                if (keys[a] != keys[b] || (keyLine[a] == 0 && keyLine[b] == 0)) continue;
                clash = true;
                const int loser = keyLine[a] == 0 ? b : keyLine[b] == 0 ? a : keyLine[a] > keyLine[b] ? a : b;
                const int other = loser == a ? b : a;
                reports.emplace_back(keyLine[loser], quoted(keyLineText[loser]) + ": " + keyTable()[keys[loser]].token +
                                                         " is already the key of " + actionNames[other] + "; using " +
                                                         keyTable()[defaultKeys[loser]].token);
                keys[loser] = defaultKeys[loser];
                keyLine[loser] = 0;
            }
        }
    }

    std::stable_sort(reports.begin(), reports.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    for (const auto& report : reports)
        std::printf("%s line %d: %s\n", path.c_str(), report.first, report.second.c_str());
    std::fflush(stdout);
}

bool Settings::save(const std::string& path, std::string& error) const {
    if (path.empty()) {
        error = "there is no home directory to keep the settings in";
        return false;
    }
    return UserFiles::writeSafely(path, toText(), error);
}

std::string Settings::toText() const {
    std::string text =
        "# Torvane settings. Keys are Allegro key names such as A, D, W, SPACE, RSHIFT, UP, F5.\n"
        "# The game rewrites this file when its settings change; a line it cannot use is reported\n"
        "# at start and the default taken instead.\n";
    text += std::string("fullscreen = ") + (fullScreen ? "on" : "off") + "\n";
    text += "volume = " + std::to_string(volume) + "\n";
    for (int a = 0; a < actionCount; ++a) {
        text += std::string(keySettingNames[a]) + " = " + keyTable()[keys[a]].token + "\n";
    }
    return text;
}

const char* Settings::actionName(Action action) {
    const int a = index(action);
    return a >= 0 && a < actionCount ? actionNames[a] : "";
}

bool Settings::setKey(Action action, int scancode, std::string& refusal) {
    refusal.clear();
    const int target = index(action);
    if (target < 0 || target >= actionCount || !isKnownKey(scancode)) {
        refusal = "That key cannot be used.";
        return false;
    }
    if (const char* why = keptFor(scancode)) {
        refusal = keyName(scancode) + " is kept for the game: " + why + ".";
        return false;
    }
    for (int a = 0; a < actionCount; ++a) {
        if (a != target && keys[a] == scancode) {
            refusal = keyName(scancode) + " is already the key of " + actionNames[a] + ".";
            return false;
        }
    }
    keys[target] = scancode;
    return true;
}

std::string Settings::keyName(int scancode) {
    if (!isKnownKey(scancode)) return "Key " + std::to_string(scancode);
    return keyTable()[scancode].display;
}

void Settings::setVolume(int percent) { volume = std::max(0, std::min(maxVolume, percent)); }

bool Settings::operator==(const Settings& other) const {
    return std::equal(std::begin(keys), std::end(keys), std::begin(other.keys)) && volume == other.volume &&
           fullScreen == other.fullScreen;
}

}  // namespace Torvane
