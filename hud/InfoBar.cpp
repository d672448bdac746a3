#include "hud/InfoBar.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/Weapon.h"
#include "world/PictureFile.h"

namespace Torvane {

InfoBar::~InfoBar() { releasePictures(); }

void InfoBar::releasePictures() {
    for (BITMAP** picture : {&backImage, &defendImage, &bloodImage, &gunImage, &pistolImage, &grenadeImage, &bulletImage}) {
        if (*picture) destroy_bitmap(*picture);
        *picture = nullptr;
    }
}

bool InfoBar::loadPictures() {
    releasePictures();
    loadProblem.clear();
    // In the order the panel has always loaded them.
    const std::pair<BITMAP**, const char*> pictures[] = {
        {&backImage, "./image/gui/back.bmp"},       {&defendImage, "./image/gui/defend.bmp"},
        {&bloodImage, "./image/gui/blood.bmp"},     {&gunImage, "./image/gui/gun.bmp"},
        {&pistolImage, "./image/gui/pistol.bmp"},   {&grenadeImage, "./image/gui/grenade.bmp"},
        {&bulletImage, "./image/gui/bullet.bmp"},
    };
    for (const auto& picture : pictures) {
        std::string reason;
        *picture.first = PictureFile::load(picture.second, reason);
        if (!*picture.first) loadProblem += std::string(picture.second) + " cannot be loaded (" + reason + ").\n";
    }
    return loadProblem.empty();
}

void InfoBar::initialize() {
    blood = defend = equipment = bullet = 0;
    if (!loadPictures()) {
        allegro_message("Missing gui picture files.\n%sThe game reads its files from the directory it runs in: "
                        "start it in its data/ directory.\n",
                        loadProblem.c_str());
        std::fflush(stdout);
        std::exit(1);
    }
    visible = false;
}

void InfoBar::drawBar(BITMAP* target, BITMAP* bar, int top, int percent) {
    // A script may set any health: above 100 the bar is simply full, and the product cannot overflow.
    const int shown = std::max(0, std::min(percent, 100));
    if (shown > 0) blit(bar, target, 0, 0, 128, top, bar->w * shown / 100, bar->h);
}

void InfoBar::draw(BITMAP* target) {
    if (!visible || !backImage) return;
    bool hasWeapon = false;
    if (Player* player = Game::getInstance()->getMainPlayer()) {
        blood = player->getHealth();
        defend = player->getDefend();
        equipment = player->getEquipment();
        if (Weapon* weapon = player->getCurrentWeapon()) {
            hasWeapon = true;
            bullet = weapon->getBulletCurrent();
            backup = weapon->getBulletTotal() - weapon->getBulletCurrent();
        }
    }
    set_trans_blender(0, 0, 0, 200);
    draw_trans_sprite(target, backImage, 0, 0);
    drawBar(target, bloodImage, 52, blood);
    drawBar(target, defendImage, 70, defend);
    if (hasWeapon) {
        textprintf_ex(target, font, 392, 30, makecol(255, 255, 255), -1, "%d", backup);
        // Icons past the frame's right edge would be clipped anyway.
        int shown = bullet < target->w / 8 ? bullet : target->w / 8;
        for (int i = 0; i < shown; ++i) draw_sprite(target, bulletImage, 392 + 8 * i, 50);
    }
    BITMAP* icon = equipment == 1 ? pistolImage : equipment == 2 ? gunImage : equipment == 3 ? grenadeImage : nullptr;
    if (icon) draw_sprite(target, icon, 275, 15);
}

}  // namespace Torvane
