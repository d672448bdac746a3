// torvane-snapshot [OUTPUT] [DATA_DIRECTORY]: renders one frame of the valley map
// with fighters of every role, their weapons, a corpse, a rifle and a pistol
// shot in flight and a grenade in the air, without a display, into a BMP file
// (or a PNG, through ImageMagick's convert, when OUTPUT ends in .png).
#include <TorvaneVersion.h>
#include <allegro.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Game.h"
#include "fighters/Player.h"
#include "weapons/Grenade.h"
#include "weapons/Gun.h"
#include "weapons/Pistol.h"
#include "tools/common/SavePicture.h"

using Torvane::Game;
using Torvane::Player;

namespace {

constexpr int viewWidth = 800;
constexpr int viewHeight = 600;

void step(Game& game, int frames) {
    for (int i = 0; i < frames; ++i) {
        game.getObjectSystem().moveObjects();
        game.getAimSystem().move();
        game.getObjectSystem().removeDeadObjects();
    }
}

Player* fighter(Game& game, const char* name, const char* role, int x, int y, int color) {
    Player* p = new Player(name, role);
    p->setX(x).setY(y);
    p->setColor(color);
    p->show();
    game.addPlayer(p);
    return p;
}

template <typename W>
W* arm(Player* p, int slot, int bullets) {
    W* weapon = new W(p);
    p->setWeapon(slot, weapon);
    p->setEquipment(slot);
    weapon->addBullets(bullets);
    // Loaded and ready: the first reload runs its course.
    while (weapon->getBulletCurrent() == 0 || weapon->getTimer() > 0) weapon->move();
    return weapon;
}

void face(Player* p, int direction) { p->getAnimation().setDirection(direction); }

enum UsageCause { ASKED_FOR, WRONG_COMMAND_LINE };

int usage(UsageCause cause) {
    std::fprintf(cause == ASKED_FOR ? stdout : stderr,
                 "usage: torvane-snapshot [OUTPUT] [DATA_DIRECTORY]\n"
                 "Renders one frame of the valley map into OUTPUT (default snapshot.png; a BMP, or a PNG through\n"
                 "ImageMagick's convert), reading the game's files from DATA_DIRECTORY.\n");
    return cause == ASKED_FOR ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") return usage(ASKED_FOR);
        if (argument == "--version") {
            std::printf("torvane-snapshot %s\n", TORVANE_VERSION);
            return 0;
        }
        if (argument.empty() || argument[0] == '-') return usage(WRONG_COMMAND_LINE);
    }
    if (argc > 3) return usage(WRONG_COMMAND_LINE);
    std::string output = argc > 1 ? argv[1] : "snapshot.png";
    if (output[0] != '/') {
        char here[4096];
        if (getcwd(here, sizeof here)) output = std::string(here) + "/" + output;
    }
    const std::string data = argc > 2 ? argv[2] : TORVANE_DATA_DIR;
    // No window and no sound card: the frame is drawn into memory.
    unsetenv("DISPLAY");
    setenv("ALSOFT_DRIVERS", "null", 1);
    if (chdir(data.c_str()) != 0) {
        std::fprintf(stderr, "torvane-snapshot: no data directory %s\n", data.c_str());
        return 1;
    }
    Game* game = new Game();
    set_color_depth(32);
    game->loadMap("map/valley.map");
    game->getMapSystem().setClientWidth(viewWidth).setClientHeight(viewHeight);

    const int red = makecol(220, 40, 40), blue = makecol(40, 80, 220), green = makecol(60, 170, 60);
    // On the valley floor between the low wall and the chasm: a raider against a trooper.
    Player* raider = fighter(*game, "Raider", "kr", 965, 1080, red);
    Player* trooper = fighter(*game, "Trooper", "kt", 1135, 1080, blue);
    // Behind the crates a raider has already fallen; across the chasm a trooper walks in.
    Player* fallen = fighter(*game, "Fallen", "kr", 770, 1080, red);
    Player* walker = fighter(*game, "Walker", "kt", 1440, 1080, blue);
    // Up on the stone ledge a ranger lobs a grenade.
    Player* ranger = fighter(*game, "Ranger", "ranger", 1300, 680, green);
    game->setMainPlayer(raider);
    step(*game, 120);

    arm<Torvane::Pistol>(fallen, 1, 20);
    fallen->die();
    arm<Torvane::Gun>(walker, 2, 30);
    Torvane::Gun* rifle = arm<Torvane::Gun>(raider, 2, 60);
    Torvane::Pistol* pistol = arm<Torvane::Pistol>(trooper, 1, 40);
    Torvane::Grenade* grenade = arm<Torvane::Grenade>(ranger, 3, 3);
    face(trooper, 1);
    face(ranger, 1);
    step(*game, 10);
    // A first exchange: the trooper is hit and bleeds onto the grass.
    rifle->fire(trooper->getCentralX(), trooper->getCentralY() - 10);
    step(*game, 30);
    while (rifle->getTimer() > 0) rifle->move();

    walker->moveRight(true);
    ranger->aim(1000, 1000);
    grenade->fire(1060, 900);
    step(*game, 10);

    raider->aim(trooper->getCentralX(), trooper->getCentralY() - 6);
    trooper->aim(raider->getCentralX(), raider->getCentralY());
    rifle->fire(trooper->getCentralX(), trooper->getCentralY() - 6);
    pistol->fire(raider->getCentralX(), raider->getCentralY() + 4);
    step(*game, 1);

    Torvane::MapSystem& map = game->getMapSystem();
    map.moveClientTo(1130, 950);
    Torvane::AimSystem& aim = game->getAimSystem();
    aim.setX(trooper->getCentralX() - map.getClientX());
    aim.setY(trooper->getCentralY() - 6 - map.getClientY());

    BITMAP* frame = create_bitmap(viewWidth, viewHeight);
    map.draw(frame);
    game->getObjectSystem().drawObjects(frame, map.getClientX(), map.getClientY());
    aim.draw(frame);
    const bool saved = savePicture(frame, output);
    destroy_bitmap(frame);
    if (!saved) {
        std::fprintf(stderr, "torvane-snapshot: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("torvane-snapshot: wrote %s\n", output.c_str());
    return 0;
}
