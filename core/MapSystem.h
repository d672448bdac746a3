#pragma once

#include <allegro.h>

namespace Torvane {

// The map's size and background colour, and the camera (the client area).
class MapSystem {
public:
    void initialize(int width, int height);
    void setBackgroundColor(int r, int g, int b);
    MapSystem& setClientWidth(int w);
    void setClientHeight(int h);
    int getClientX() const { return clientX; }
    int getClientY() const { return clientY; }
    int getClientWidth() const { return clientWidth; }
    int getClientHeight() const { return clientHeight; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getBackgroundColor() const { return backgroundColor; }
    void draw(BITMAP* target);
    void moveClientTo(int x, int y);
    bool inClient(int x, int y) const;

private:
    int clientX = 0;
    int clientY = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int width = 640;
    int height = 480;
    int marginX = 0;
    int marginY = 0;
    // Black until a map says otherwise: black is 0 at every colour depth, so a
    // colour made before the video mode is set cannot be wrong.
    int backgroundColor = 0;
};

}  // namespace Torvane
