#pragma once

#include <allegro.h>

#include <string>
#include <vector>

#include "core/MatchState.h"

namespace Torvane {

class Player;

// A team battle on screen: the score line at the top while playing ("KR 12 : 9 KT" and the
// time left), and the table of every fighter's kills, deaths and headshots, team by team,
// while Tab is held and on the results screen. Drawn by the frame loop under the game lock.
class Scoreboard {
public:
    Scoreboard() = default;
    Scoreboard(const Scoreboard&) = delete;
    Scoreboard& operator=(const Scoreboard&) = delete;
    ~Scoreboard();

    // One fighter's line of the table, kept by value for the results screen.
    struct Row {
        std::string name;
        int team = 0;
        int kills = 0, deaths = 0, headshots = 0;
        bool you = false;
    };
    // The fighters of the two teams into rows, each team's best first (kills, then fewer deaths).
    // The rows' room is reused: drawn every frame Tab is held, the table allocates nothing once filled.
    static void rowsOf(const std::vector<Player*>& players, const Player* you, std::vector<Row>& rows);
    // "KR 12 : 9 KT", and "3:41" or "" without a clock.
    static std::string scoreText(int krScore, int ktScore);
    static std::string clockText(int seconds);

    void drawScoreLine(BITMAP* target, const MatchState& match, long long now);
    // The table over the middle of the view, its top at top.
    static void drawTable(BITMAP* target, const std::vector<Row>& rows, int top);

private:
    // The line is drawn large through a scratch picture: made again only when its text changes.
    BITMAP* line = nullptr;
    int lineKr = -1, lineKt = -1, lineSeconds = -2;
};

}  // namespace Torvane
