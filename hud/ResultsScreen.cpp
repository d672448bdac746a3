#include "hud/ResultsScreen.h"

#include <string>

#include "hud/BigText.h"

namespace Torvane {

ResultsScreen::~ResultsScreen() {
    if (picture) destroy_bitmap(picture);
}

void ResultsScreen::show(const LevelStats& stats, bool nextLevelThere) {
    shown = stats;
    match = false;
    if (picture) destroy_bitmap(picture);
    picture = nullptr;
    chosen.store(Choice::None);
    nextThere.store(nextLevelThere);
    held.store(true);
    visible.store(true);
}

void ResultsScreen::showMatch(const std::vector<Scoreboard::Row>& rows, int krScore, int ktScore, bool choosing) {
    show(LevelStats(), false);
    match = true;
    matchChoosing = choosing;
    matchRows = rows;
    matchScores[0] = krScore, matchScores[1] = ktScore;
}

void ResultsScreen::hide() { visible.store(false); }

void ResultsScreen::choose(Choice made) {
    chosen.store(made);
    visible.store(false);
}

void ResultsScreen::readInput(bool enterDown, bool clickDown, bool againDown) {
    const bool down = enterDown || clickDown || againDown;
    if (held.exchange(down) || !down || !isVisible()) return;
    choose(againDown || !nextThere.load() ? Choice::PlayAgain : Choice::NextLevel);
}

void ResultsScreen::draw(BITMAP* target) {
    if (!isVisible() || !target) return;
    if (!picture || picture->w != target->w || picture->h != target->h) {
        if (match) renderMatch(target->w, target->h);
        else render(target->w, target->h);
    }
    if (picture) blit(picture, target, 0, 0, 0, 0, picture->w, picture->h);
}

namespace {

// Dusk over the valley: deep blue at the top to near black below.
BITMAP* duskPicture(int width, int height) {
    BITMAP* picture = create_bitmap(width, height);
    if (!picture) return nullptr;
    for (int y = 0; y < height; ++y) {
        const int t = y * 255 / (height > 1 ? height - 1 : 1);
        hline(picture, 0, y, width - 1, makecol(28 - t * 20 / 255, 40 - t * 28 / 255, 78 - t * 58 / 255));
    }
    return picture;
}

}  // namespace

void ResultsScreen::renderMatch(int width, int height) {
    if (picture) destroy_bitmap(picture);
    if (!(picture = duskPicture(width, height))) return;
    const int centre = width / 2;
    const int kr = matchScores[0], kt = matchScores[1];
    const int gold = makecol(240, 200, 90), light = makecol(236, 236, 228), dim = makecol(150, 160, 180);
    const char* title = kr > kt ? "KR wins" : kt > kr ? "KT wins" : "A draw";
    const int ink = kr > kt ? makecol(255, 110, 100) : kt > kr ? makecol(120, 160, 255) : gold;
    BigText::draw(picture, title, 4, centre, height / 10, ink);
    BigText::draw(picture, Scoreboard::scoreText(kr, kt), 3, centre, height / 10 + 52, light);
    hline(picture, centre - 220, height / 10 + 90, centre + 220, gold);
    Scoreboard::drawTable(picture, matchRows, height / 10 + 104);
    if (matchChoosing) {
        BigText::draw(picture, "Enter or click: play again", 2, centre, height - height / 6, light);
        BigText::draw(picture, "Escape: quit", 2, centre, height - height / 6 + 36, dim);
    } else {
        BigText::draw(picture, "The match is over", 2, centre, height - height / 6, light);
    }
}

void ResultsScreen::render(int width, int height) {
    if (picture) destroy_bitmap(picture);
    if (!(picture = duskPicture(width, height))) return;
    const int centre = width / 2;
    const int gold = makecol(240, 200, 90), light = makecol(236, 236, 228), dim = makecol(150, 160, 180);
    BigText::draw(picture, "Mission complete", 4, centre, height / 8, gold);
    hline(picture, centre - 220, height / 8 + 48, centre + 220, gold);

    const std::string rows[][2] = {
        {"Time", shown.timeText()},
        {"Kills", std::to_string(shown.getKills())},
        {"Headshots", std::to_string(shown.getHeadshots())},
        {"Accuracy", std::to_string(shown.accuracyPercent()) + "%"},
        {"Deaths", std::to_string(shown.getDeaths())},
    };
    int top = height / 8 + 80;
    for (const auto& row : rows) {
        // Labels end and values begin at the centre line, both at twice the font's size.
        const int labelWidth = text_length(font, row[0].c_str()) * 2;
        BigText::draw(picture, row[0], 2, centre - 24 - labelWidth / 2, top, dim);
        const int valueWidth = text_length(font, row[1].c_str()) * 2;
        BigText::draw(picture, row[1], 2, centre + 24 + valueWidth / 2, top, light);
        top += 44;
    }
    const std::string detail =
        std::to_string(shown.getHits()) + " of " + std::to_string(shown.getShots()) + " bullets struck an enemy";
    textout_centre_ex(picture, font, detail.c_str(), centre, top + 4, dim, -1);
    if (nextThere.load()) {
        BigText::draw(picture, "Enter or click: next level", 2, centre, height - height / 5 - 36, light);
        BigText::draw(picture, "R: play again", 2, centre, height - height / 5, dim);
    } else {
        BigText::draw(picture, "Enter or click: play again", 2, centre, height - height / 5, light);
    }
    BigText::draw(picture, "Escape: quit", 2, centre, height - height / 5 + 36, dim);
}

}  // namespace Torvane
