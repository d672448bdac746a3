#pragma once

#include <allegro.h>

#include <vector>

#include "fighters/AniAction.h"

namespace Torvane {

// Plays a fighter's sprite-sheet actions: cuts the sheets named by an animation
// description into frames, advances them with a per-action delay and draws the
// current one, mirrored when facing left.
class Animation {
public:
    // Limits of a description file, each reported with its file and line.
    static constexpr int maxWordLength = 255;  // characters of a number or a sheet path; reading stops past it
    static constexpr int maxActionId = 255;    // warned about above it (the game plays ids 0 and 3)
    static constexpr int maxDelay = 660;       // frames (ten seconds); warned about above it

    Animation() = default;
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;
    virtual ~Animation();

    // Appends the actions of a description file. False only when the file cannot
    // be opened; problems inside it are reported and the good part is kept.
    bool load(const char* path);

    void setAction(int id);
    void setAction(int id, bool loop);
    int getAction() const { return actionId; }
    int getFrame() const { return frame; }
    void setFrame(int f);
    void setDirection(int d) { direction = d; }
    int getDirection() const { return direction; }
    bool isLooping() const { return loop; }
    int getActionCount() const { return actionCount; }
    int getLoadedActionCount() const { return static_cast<int>(actions.size()); }
    const AniAction* findAction(int id) const;
    const std::vector<AniAction*>& getActions() const { return actions; }

    // The current frame's size; 0 when there is no current frame to measure.
    int getFrameWidth() const;
    int getFrameHeight() const;
    bool hasFrame() const { return currentFrame() != nullptr; }

    void nextFrame();
    virtual void draw(BITMAP* target, int x, int y);

private:
    BITMAP* currentFrame() const;

    std::vector<AniAction*> actions;  // in file order; owned with their bitmaps
    int actionId = 0;
    int frame = 0;
    int direction = 0;  // 0 facing right (sheet as drawn), 1 facing left (mirrored)
    int actionCount = 0;
    int delay = 0;
    int delayCounter = 0;
    AniAction* current = nullptr;
    bool loop = true;
};

}  // namespace Torvane
