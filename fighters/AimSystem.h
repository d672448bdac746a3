#pragma once

#include <allegro.h>

namespace Torvane {

class FrontSight;

// The human player's aim: owns the front sight, moves it once a frame and pulls
// the mouse pointer along, so that recoil really displaces the aim.
class AimSystem {
public:
    AimSystem();
    AimSystem(const AimSystem&) = delete;
    AimSystem& operator=(const AimSystem&) = delete;
    ~AimSystem();

    // The sight's position in screen pixels of the view.
    int getX() const;
    int getY() const;
    void setX(int x);
    void setY(int y);
    void move();
    // Whether move takes the mouse pointer to the sight: only from strictly
    // inside the view, and only while the main player lives.
    bool pointerFollowsSight() const;
    void draw(BITMAP* target);
    void jump(int strength);

    FrontSight& getFrontSight() { return *sight; }

private:
    FrontSight* sight;  // owned
};

}  // namespace Torvane
