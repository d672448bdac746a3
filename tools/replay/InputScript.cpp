#include "tools/replay/InputScript.h"

#include <allegro.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// An Allegro key index for a name, or -1.
int keyByName(const std::string& name) {
    if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])))
        return KEY_A + (std::toupper(static_cast<unsigned char>(name[0])) - 'A');
    if (name.size() == 1 && std::isdigit(static_cast<unsigned char>(name[0]))) return KEY_0 + (name[0] - '0');
    std::string lower;
    for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "escape") return KEY_ESC;
    if (lower == "space") return KEY_SPACE;
    if (lower == "shift") return KEY_LSHIFT;
    if (lower == "enter") return KEY_ENTER;
    if (lower == "f3") return KEY_F3;
    return -1;
}

bool readNumber(std::istringstream& words, long long low, long long high, long long& value) {
    std::string word;
    if (!(words >> word)) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(word.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0' && !word.empty() && value >= low && value <= high;
}

}  // namespace

bool InputScript::load(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        error = path + ": cannot be read";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str(), path);
}

bool InputScript::parse(const std::string& text, const std::string& fileName) {
    inputs.clear();
    next = 0;
    std::istringstream lines(text);
    std::string line;
    long long lastFrame = 0;
    for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
        const size_t comment = line.find('#');
        if (comment != std::string::npos) line.erase(comment);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        auto fault = [&](const std::string& what) {
            error = fileName + ":" + std::to_string(lineNumber) + ": " + what;
            return false;
        };
        std::istringstream frameWord(first);
        long long frame = 0;
        if (!readNumber(frameWord, 0, LLONG_MAX / 2, frame)) return fault("a line starts with its frame number, not \"" + first + "\"");
        if (frame < lastFrame) return fault("frame " + std::to_string(frame) + " comes before frame " + std::to_string(lastFrame));
        lastFrame = frame;
        std::string what, state, name;
        words >> what;
        Input input{frame, Input::MouseMove, 0, 0};
        if (what == "key") {
            words >> state >> name;
            if (state != "down" && state != "up") return fault("\"key\" is followed by down or up");
            const int key = keyByName(name);
            if (key < 0) return fault("unknown key \"" + name + "\" (A-Z, 0-9, Escape, Space, Shift, Enter)");
            input.kind = state == "down" ? Input::KeyDown : Input::KeyUp;
            input.first = key;
        } else if (what == "mouse") {
            long long x = 0, y = 0;
            if (!readNumber(words, 0, 65535, x) || !readNumber(words, 0, 65535, y))
                return fault("\"mouse\" takes two screen coordinates from 0 to 65535");
            input.first = static_cast<int>(x);
            input.second = static_cast<int>(y);
        } else if (what == "button") {
            words >> state >> name;
            if (state != "down" && state != "up") return fault("\"button\" is followed by down or up");
            if (name != "left" && name != "right") return fault("the button is left or right, not \"" + name + "\"");
            input.kind = state == "down" ? Input::ButtonDown : Input::ButtonUp;
            input.first = name == "left" ? 1 : 2;
        } else {
            return fault("unknown input \"" + what + "\" (key, mouse or button)");
        }
        std::string extra;
        if (words >> extra) return fault("unexpected \"" + extra + "\" at the end of the line");
        inputs.push_back(input);
    }
    return true;
}

void InputScript::apply(long long frame) {
    for (; next < inputs.size() && inputs[next].frame <= frame; ++next) {
        const Input& input = inputs[next];
        switch (input.kind) {
            case Input::KeyDown: key[input.first] = 1; break;
            case Input::KeyUp: key[input.first] = 0; break;
            case Input::MouseMove:
                mouse_x = input.first;
                mouse_y = input.second;
                break;
            case Input::ButtonDown: mouse_b |= input.first; break;
            case Input::ButtonUp: mouse_b &= ~input.first; break;
        }
    }
}
