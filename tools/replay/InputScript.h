#pragma once

#include <string>
#include <vector>

// A file of inputs for the level runner, one a line, each at a frame:
//
//   # a comment
//   30 key down D          keys by name: A-Z, 0-9, Escape, Space, Shift, Enter, F3
//   90 key up D
//   100 mouse 520 310      the pointer to screen coordinates
//   101 button down left   left or right
//   104 button up left
//
// Frames count from 0 and never go back. apply() puts the inputs of one frame into
// Allegro's keyboard and mouse state, which the game polls as it polls real ones.
class InputScript {
public:
    struct Input {
        enum Kind { KeyDown, KeyUp, MouseMove, ButtonDown, ButtonUp };
        long long frame;
        Kind kind;
        int first;   // key index, x or button bit
        int second;  // y
    };

    // False with the file, line and fault in getError() when a line is wrong.
    bool load(const std::string& path);
    bool parse(const std::string& text, const std::string& fileName);
    void apply(long long frame);
    const std::string& getError() const { return error; }
    const std::vector<Input>& getInputs() const { return inputs; }

private:
    std::vector<Input> inputs;
    size_t next = 0;
    std::string error;
};
