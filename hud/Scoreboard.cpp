#include "hud/Scoreboard.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "fighters/Player.h"
#include "hud/BigText.h"

namespace Torvane {

namespace {

int teamInk(int team) {
    // Lighter than the fighters' own colours, to read on the dark panel.
    return team == MatchState::kr ? makecol(255, 110, 100) : makecol(120, 160, 255);
}

}  // namespace

Scoreboard::~Scoreboard() {
    if (line) destroy_bitmap(line);
}

void Scoreboard::rowsOf(const std::vector<Player*>& players, const Player* you, std::vector<Row>& rows) {
    size_t used = 0;
    for (const Player* fighter : players) {
        const int team = MatchState::teamOf(fighter->getColor());
        if (team == 0) continue;
        if (used == rows.size()) rows.emplace_back();
        Row& row = rows[used++];
        row.name = fighter->getName();
        row.team = team;
        row.kills = fighter->getKills();
        row.deaths = fighter->getDeaths();
        row.headshots = fighter->getHeadshots();
        row.you = fighter == you;
    }
    rows.resize(used);
    // Insertion sort: a handful of rows, and no allocation.
    for (size_t i = 1; i < rows.size(); ++i) {
        for (size_t j = i; j > 0; --j) {
            const Row& a = rows[j - 1];
            const Row& b = rows[j];
            const bool before = b.team != a.team ? b.team < a.team : b.kills != a.kills ? b.kills > a.kills
                                                                                         : b.deaths < a.deaths;
            if (!before) break;
            std::swap(rows[j - 1], rows[j]);
        }
    }
}

std::string Scoreboard::scoreText(int krScore, int ktScore) {
    return "KR " + std::to_string(krScore) + " : " + std::to_string(ktScore) + " KT";
}

std::string Scoreboard::clockText(int seconds) {
    if (seconds < 0) return "";
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

void Scoreboard::drawScoreLine(BITMAP* target, const MatchState& match, long long now) {
    if (!target || !match.isShown()) return;
    const int kr = match.getScore(MatchState::kr), kt = match.getScore(MatchState::kt);
    const int seconds = match.hasCountdown() ? match.secondsLeft(now) : -1;
    if (!line || kr != lineKr || kt != lineKt || seconds != lineSeconds) {
        lineKr = kr, lineKt = kt, lineSeconds = seconds;
        if (!line) line = create_bitmap(210, 44);
        if (!line) return;
        clear_to_color(line, bitmap_mask_color(line));
        const std::string left = "KR " + std::to_string(kr), right = std::to_string(kt) + " KT";
        // Each team's number in its colour either side of the colon, the clock below.
        const int panel = makecol(16, 18, 26);
        rectfill(line, 0, 0, 209, 27, panel);
        BigText::draw(line, ":", 2, 105, 6, makecol(230, 230, 230));
        BigText::drawLeft(line, left, 2, 95 - text_length(font, left.c_str()) * 2, 6, teamInk(MatchState::kr));
        BigText::drawLeft(line, right, 2, 117, 6, teamInk(MatchState::kt));
        if (seconds >= 0) {
            rectfill(line, 75, 28, 134, 43, panel);
            const std::string clock = clockText(seconds);
            textout_centre_ex(line, font, clock.c_str(), 105, 32,
                              seconds <= 10 ? makecol(255, 200, 80) : makecol(220, 220, 220), -1);
        }
    }
    // Top right, clear of the health and weapons panel on the left.
    masked_blit(line, target, 0, 0, target->w - line->w - 8, 12, line->w, line->h);
}

void Scoreboard::drawTable(BITMAP* target, const std::vector<Row>& rows, int top) {
    if (!target) return;
    const int width = std::min(target->w - 40, 700), left = target->w / 2 - width / 2;
    const int half = width / 2, lineHeight = 14;
    int counts[2] = {0, 0};
    for (const Row& row : rows) ++counts[row.team - 1];
    const int height = 44 + lineHeight * std::max(std::max(counts[0], counts[1]), 1);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, 180);
    rectfill(target, left, top, left + width - 1, top + height - 1, makecol(10, 12, 20));
    solid_mode();
    const int light = makecol(230, 230, 230), dim = makecol(150, 156, 170);
    for (int team = MatchState::kr; team <= MatchState::kt; ++team) {
        const int x = left + (team - 1) * half + 12;
        textout_ex(target, font, team == MatchState::kr ? "KR" : "KT", x, top + 8, teamInk(team), -1);
        textout_ex(target, font, "kills deaths heads", x + half - 172, top + 8, dim, -1);
        int y = top + 28;
        for (const Row& row : rows) {
            if (row.team != team) continue;
            const int ink = row.you ? makecol(255, 220, 110) : light;
            textout_ex(target, font, row.name.substr(0, 16).c_str(), x, y, ink, -1);
            textprintf_right_ex(target, font, x + half - 132, y, ink, -1, "%d", row.kills);
            textprintf_right_ex(target, font, x + half - 84, y, ink, -1, "%d", row.deaths);
            textprintf_right_ex(target, font, x + half - 36, y, ink, -1, "%d", row.headshots);
            y += lineHeight;
        }
    }
}

}  // namespace Torvane
