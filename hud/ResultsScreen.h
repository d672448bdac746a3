#pragma once

#include <allegro.h>

#include <atomic>

#include "core/LevelStats.h"
#include "hud/Scoreboard.h"

namespace Torvane {

// The screen that ends a level: what the player did (time, kills, headshots, accuracy,
// deaths) over the whole view, and the choice to go on to the next level (Enter or a click,
// when there is one), to play again (R, or Enter when there is no next level) or to quit
// (Escape, which quits anywhere). Shown and read by the script thread, drawn and
// answered by the frame loop. The picture is made on the first frame it is drawn and
// kept while it is shown.
class ResultsScreen {
public:
    ResultsScreen() = default;
    ResultsScreen(const ResultsScreen&) = delete;
    ResultsScreen& operator=(const ResultsScreen&) = delete;
    ~ResultsScreen();

    // Call under the game lock.
    enum class Choice { None, PlayAgain, NextLevel };
    void show(const LevelStats& stats, bool nextLevelThere = false);
    // The end of a team battle: who won, the score and every fighter's line; Enter or a click plays again.
    // Without choosing (a network match) it only says that the match is over.
    void showMatch(const std::vector<Scoreboard::Row>& rows, int krScore, int ktScore, bool choosing = true);
    void hide();
    bool isVisible() const { return visible.load(); }
    // The player chose: the screen goes away and the script reads the choice.
    void choose(Choice made);
    Choice getChoice() const { return chosen.load(); }

    // Takes a fresh press of Enter, the left button or R (one held on from before the screen
    // came up does not count).
    void readInput(bool enterDown, bool clickDown, bool againDown = false);
    void draw(BITMAP* target);

private:
    void render(int width, int height);
    void renderMatch(int width, int height);

    LevelStats shown;
    bool match = false;
    std::vector<Scoreboard::Row> matchRows;
    int matchScores[2] = {0, 0};
    bool matchChoosing = true;
    BITMAP* picture = nullptr;
    std::atomic<bool> visible{false};
    std::atomic<Choice> chosen{Choice::None};
    std::atomic<bool> nextThere{false};
    // Set by show on the script thread, read by the frame loop outside the game lock.
    std::atomic<bool> held{true};
};

}  // namespace Torvane
