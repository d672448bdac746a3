#pragma once

#include <allegro.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Torvane {

struct Picture;
class LevelList;
class Progress;
class Settings;

// The level select shown when the game starts and the player has finished a level: each
// level reached so far (all finished ones and the first one not finished) with its picture,
// name and best time. Up and Down (or W and S, or the mouse) pick, Enter or a click starts,
// Escape quits. Below the levels, "Settings" opens a page that shows and changes the settings:
// full screen and volume with Left and Right, a key by Enter and then the new key; Escape goes
// back. Frame by frame like the game, so that the level runner can drive it.
class MenuSystem {
public:
    enum class Outcome { Open, Chosen, Quit };
    struct Input {
        bool up = false, down = false, left = false, right = false, enter = false, click = false, escape = false;
        int mouseX = -1, mouseY = -1;
        int newKey = 0;  // a key pressed this frame (an Allegro scancode), 0 for none
    };

    // The settings page changes these; the game applies and keeps them when settingsChanged says so.
    void open(const LevelList& levels, const Progress& progress, Settings* settings = nullptr);
    bool settingsChanged() { return std::exchange(changed, false); }
    // One frame: reads fresh presses, moves the selection, draws the menu over target.
    Outcome frame(const Input& input, BITMAP* target);
    int getSelected() const { return selected; }
    // The level the selection stands on, as the level list counts (from 0).
    int getChosenLevel() const;
    int getEntryCount() const { return static_cast<int>(entries.size()); }

private:
    struct Entry {
        int level;
        std::string name, best;
        std::shared_ptr<const Picture> picture;
    };
    int entryAt(int mouseX, int mouseY, int height) const;
    void draw(BITMAP* target);
    void settingsFrame(bool up, bool down, bool left, bool right, bool enter, int newKey);
    void drawSettings(BITMAP* target);

    std::vector<Entry> entries;
    int selected = 0;
    int firstShown = 0;
    Input last;  // held keys count once
    bool openedWithHeldKeys = true;
    Settings* settings = nullptr;
    bool onSettingsPage = false;
    int settingsRow = 0;      // 0 full screen, 1 volume, then the actions
    bool waitingForKey = false;
    std::string refusal;      // why the last key was not taken
    bool changed = false;
};

}  // namespace Torvane
