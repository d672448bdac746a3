#include "hud/InfoBar.h"

#include <cstdlib>
#include <initializer_list>

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/Weapon.h"

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
    backImage = load_bitmap("./image/gui/back.bmp", nullptr);
    defendImage = load_bitmap("./image/gui/defend.bmp", nullptr);
    bloodImage = load_bitmap("./image/gui/blood.bmp", nullptr);
    gunImage = load_bitmap("./image/gui/gun.bmp", nullptr);
    pistolImage = load_bitmap("./image/gui/pistol.bmp", nullptr);
    grenadeImage = load_bitmap("./image/gui/grenade.bmp", nullptr);
    bulletImage = load_bitmap("./image/gui/bullet.bmp", nullptr);
    return backImage && defendImage && bloodImage && gunImage && pistolImage && grenadeImage && bulletImage;
}

void InfoBar::initialize() {
    blood = defend = equipment = bullet = 0;
    if (!loadPictures()) {
        allegro_message("Missing gui picture files.");
        std::exit(1);
    }
    visible = false;
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
    if (blood > 0) blit(bloodImage, target, 0, 0, 128, 52, bloodImage->w * blood / 100, bloodImage->h);
    if (defend > 0) blit(defendImage, target, 0, 0, 128, 70, defendImage->w * defend / 100, defendImage->h);
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
