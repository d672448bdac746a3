#pragma once

#include <allegro.h>

#include <string>

namespace Torvane {

// The heads-up status panel in the top-left corner.
class InfoBar {
public:
    InfoBar() = default;
    InfoBar(const InfoBar&) = delete;
    InfoBar& operator=(const InfoBar&) = delete;
    ~InfoBar();

    // Loads the pictures; a missing one ends the program.
    void initialize();
    // The same without exiting; true when all seven pictures loaded, else
    // getLoadProblem names each one that did not and why.
    bool loadPictures();
    const std::string& getLoadProblem() const { return loadProblem; }
    void draw(BITMAP* target);
    void show() { visible = true; }
    void hide() { visible = false; }
    bool isVisible() const { return visible; }
    void setBlood(int value) { blood = value; }
    void setDefend(int value) { defend = value; }
    void setEquipment(int value) { equipment = value; }
    void setBullet(int value) { bullet = value; }
    void setBackup(int value) { backup = value; }

private:
    void releasePictures();
    static void drawBar(BITMAP* target, BITMAP* bar, int top, int percent);

    BITMAP* bloodImage = nullptr;
    BITMAP* defendImage = nullptr;
    BITMAP* gunImage = nullptr;
    BITMAP* pistolImage = nullptr;
    BITMAP* bulletImage = nullptr;
    BITMAP* backImage = nullptr;
    BITMAP* grenadeImage = nullptr;
    int blood = 0;      // percent of the bar
    int defend = 0;     // percent of the bar
    int equipment = 0;  // weapon slot: 1 pistol, 2 gun, 3 grenade
    int bullet = 0;     // in the magazine
    int backup = 0;     // in reserve
    bool visible = false;
    std::string loadProblem;
};

}  // namespace Torvane
