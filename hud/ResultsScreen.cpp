#include "hud/ResultsScreen.h"

#include <string>

#include "hud/BigText.h"

namespace Torvane {

ResultsScreen::~ResultsScreen() {
    if (picture) destroy_bitmap(picture);
}

void ResultsScreen::show(const LevelStats& stats, bool nextLevelThere) {
    shown = stats;
    if (picture) destroy_bitmap(picture);
    picture = nullptr;
    chosen.store(Choice::None);
    nextThere.store(nextLevelThere);
    held.store(true);
    visible.store(true);
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
    if (!picture || picture->w != target->w || picture->h != target->h) render(target->w, target->h);
    if (picture) blit(picture, target, 0, 0, 0, 0, picture->w, picture->h);
}

void ResultsScreen::render(int width, int height) {
    if (picture) destroy_bitmap(picture);
    picture = create_bitmap(width, height);
    if (!picture) return;
    // Dusk over the valley: deep blue at the top to near black below.
    for (int y = 0; y < height; ++y) {
        const int t = y * 255 / (height > 1 ? height - 1 : 1);
        hline(picture, 0, y, width - 1, makecol(28 - t * 20 / 255, 40 - t * 28 / 255, 78 - t * 58 / 255));
    }
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
