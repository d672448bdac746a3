#include "core/MenuSystem.h"

#include <cstdio>

#include "core/GameClock.h"
#include "core/Progress.h"
#include "core/Settings.h"
#include "hud/BigText.h"
#include "level/LevelList.h"
#include "world/PictureCache.h"

namespace Torvane {

namespace {
// The rows: a 200x120 picture beside the name and best time, under the title.
constexpr int listTop = 130, rowHeight = 136, pictureWidth = 200, pictureHeight = 120, rowLeft = 110;

std::string timeText(long long frames) {
    const long long seconds = frames / GameClock::framesPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}
}  // namespace

void MenuSystem::open(const LevelList& levels, const Progress& progress, Settings* kept) {
    settings = kept;
    onSettingsPage = waitingForKey = false;
    entries.clear();
    for (int i = 0; i < levels.size(); ++i) {
        const LevelList::Level& level = levels.at(i);
        Entry entry{i, level.name, "Not finished yet", nullptr};
        if (const Progress::Result* best = progress.bestOf(level.script)) {
            entry.best = "Best time " + timeText(best->frames) + ", " + std::to_string(best->kills) + " kills, " +
                         std::to_string(best->accuracy) + "% accuracy";
        }
        std::string reason;
        if (!level.picture.empty()) entry.picture = PictureCache::load(level.picture, reason);
        entries.push_back(entry);
        // Reached: every finished level and the first one after them not finished.
        if (!progress.isFinished(level.script)) break;
    }
    // The level to play next is where the player most likely wants to be.
    selected = static_cast<int>(entries.size()) - 1;
    // The settings, as one more row under the levels.
    if (settings) entries.push_back(Entry{-1, "Settings", "Full screen, volume and keys", nullptr});
    firstShown = 0;
    openedWithHeldKeys = true;
}

int MenuSystem::getChosenLevel() const {
    return entries.empty() || entries[static_cast<size_t>(selected)].level < 0 ? 0
                                                                               : entries[static_cast<size_t>(selected)].level;
}

int MenuSystem::entryAt(int mouseX, int mouseY, int height) const {
    const int shown = (height - listTop - 60) / rowHeight;
    if (mouseX < rowLeft - 10 || mouseY < listTop) return -1;
    const int row = (mouseY - listTop) / rowHeight;
    if (row >= shown || firstShown + row >= static_cast<int>(entries.size())) return -1;
    return firstShown + row;
}

MenuSystem::Outcome MenuSystem::frame(const Input& input, BITMAP* target) {
    // A key held when the menu came up (Enter from the last screen, say) is let go first.
    if (openedWithHeldKeys) {
        last = input;
        openedWithHeldKeys = input.enter || input.click || input.escape;
    }
    const bool up = input.up && !last.up, down = input.down && !last.down;
    const bool enter = input.enter && !last.enter, click = input.click && !last.click;
    const bool escape = input.escape && !last.escape;
    const bool moved = input.mouseX != last.mouseX || input.mouseY != last.mouseY;
    const bool left = input.left && !last.left, right = input.right && !last.right;
    last = input;
    if (onSettingsPage) {
        if (escape && !waitingForKey) onSettingsPage = false;
        else settingsFrame(up, down, left, right, enter || click, escape ? 0 : input.newKey);
        if (target) onSettingsPage ? drawSettings(target) : draw(target);
        return Outcome::Open;
    }
    if (escape) return Outcome::Quit;
    const int count = static_cast<int>(entries.size());
    if (count == 0) return Outcome::Quit;
    if (up && selected > 0) --selected;
    if (down && selected + 1 < count) ++selected;
    const int height = target ? target->h : 600;
    const int pointed = entryAt(input.mouseX, input.mouseY, height);
    if (pointed >= 0 && (moved || click)) selected = pointed;
    const int shown = (height - listTop - 60) / rowHeight > 0 ? (height - listTop - 60) / rowHeight : 1;
    if (selected < firstShown) firstShown = selected;
    if (selected >= firstShown + shown) firstShown = selected - shown + 1;
    const bool chosen = enter || (click && pointed >= 0);
    if (chosen && entries[static_cast<size_t>(selected)].level < 0) {
        onSettingsPage = true;
        settingsRow = 0;
        refusal.clear();
        if (target) drawSettings(target);
        return Outcome::Open;
    }
    if (target) draw(target);
    return chosen ? Outcome::Chosen : Outcome::Open;
}

void MenuSystem::settingsFrame(bool up, bool down, bool left, bool right, bool enter, int newKey) {
    const int rows = 2 + Settings::actionCount;
    if (waitingForKey) {
        if (!newKey) return;
        waitingForKey = false;
        const auto action = static_cast<Settings::Action>(settingsRow - 2);
        refusal.clear();
        if (newKey != settings->getKey(action) && settings->setKey(action, newKey, refusal)) changed = true;
        return;
    }
    if (up && settingsRow > 0) --settingsRow;
    if (down && settingsRow + 1 < rows) ++settingsRow;
    if (settingsRow == 0 && (left || right || enter)) {
        settings->setFullScreen(!settings->isFullScreen());
        changed = true;
    } else if (settingsRow == 1 && (left || right)) {
        settings->setVolume(settings->getVolume() + (right ? 10 : -10));
        changed = true;
    } else if (settingsRow >= 2 && enter) {
        waitingForKey = true;
        refusal.clear();
    }
}

void MenuSystem::drawSettings(BITMAP* target) {
    const int width = target->w, height = target->h;
    clear_to_color(target, makecol(24, 36, 64));
    const int gold = makecol(240, 200, 90), light = makecol(236, 236, 228), dim = makecol(150, 160, 180);
    BigText::draw(target, "Settings", 4, width / 2, 24, gold);
    const int rows = 2 + Settings::actionCount, top = 90, step = 34;
    for (int row = 0; row < rows; ++row) {
        std::string name, value;
        if (row == 0) {
            name = "Full screen";
            value = settings->isFullScreen() ? "on" : "off";
        } else if (row == 1) {
            name = "Volume";
            value = std::to_string(settings->getVolume());
        } else {
            const auto action = static_cast<Settings::Action>(row - 2);
            name = Settings::actionName(action);
            value = waitingForKey && row == settingsRow ? "press a key" : Settings::keyName(settings->getKey(action));
        }
        const int y = top + row * step;
        const bool on = row == settingsRow;
        if (on) rectfill(target, 150, y - 6, width - 150, y + 22, makecol(52, 70, 110));
        BigText::drawLeft(target, name, 2, 170, y, on ? gold : light);
        BigText::drawLeft(target, value, 2, width / 2 + 60, y, on ? gold : light);
    }
    if (!refusal.empty()) textout_centre_ex(target, font, refusal.c_str(), width / 2, height - 66, gold, -1);
    BigText::draw(target, "Left, Right, Enter: change   Escape: back", 2, width / 2, height - 40, dim);
}

void MenuSystem::draw(BITMAP* target) {
    const int width = target->w, height = target->h;
    // The valley at dawn: a pale sky over the dark hills of the menu's lower half.
    for (int y = 0; y < height; ++y) {
        const int t = y * 255 / (height > 1 ? height - 1 : 1);
        hline(target, 0, y, width - 1, makecol(24 + t * 10 / 255, 36 + t * 20 / 255, 64 - t * 30 / 255));
    }
    const int gold = makecol(240, 200, 90), light = makecol(236, 236, 228), dim = makecol(150, 160, 180);
    BigText::draw(target, "TORVANE", 5, width / 2, 24, gold);
    BigText::draw(target, "Choose a level", 2, width / 2, 78, dim);
    const int shown = (height - listTop - 60) / rowHeight;
    for (int row = 0; row < shown && firstShown + row < static_cast<int>(entries.size()); ++row) {
        const Entry& entry = entries[static_cast<size_t>(firstShown + row)];
        const int top = listTop + row * rowHeight;
        const bool on = firstShown + row == selected;
        if (on) rectfill(target, rowLeft - 10, top - 6, width - rowLeft + 10, top + pictureHeight + 6, makecol(52, 70, 110));
        rect(target, rowLeft - 1, top - 1, rowLeft + pictureWidth, top + pictureHeight, on ? gold : dim);
        if (entry.picture && entry.picture->bitmap) {
            BITMAP* picture = entry.picture->bitmap;
            stretch_blit(picture, target, 0, 0, picture->w, picture->h, rowLeft, top, pictureWidth, pictureHeight);
        } else {
            rectfill(target, rowLeft, top, rowLeft + pictureWidth - 1, top + pictureHeight - 1, makecol(40, 48, 70));
        }
        const int textLeft = rowLeft + pictureWidth + 24;
        const std::string title = entry.level < 0 ? entry.name : std::to_string(entry.level + 1) + ". " + entry.name;
        BigText::drawLeft(target, title, 2, textLeft, top + 28, on ? gold : light);
        textout_ex(target, font, entry.best.c_str(), textLeft, top + 64, on ? light : dim, -1);
    }
    BigText::draw(target, "Enter or click: play   Escape: quit", 2, width / 2, height - 40, dim);
}

}  // namespace Torvane
