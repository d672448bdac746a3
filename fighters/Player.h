#pragma once

#include <allegro.h>

#include <string>
#include <utility>

#include "fighters/Animation.h"
#include "fighters/RealBody.h"

namespace Torvane {

class Weapon;

// What a fighter was last told to do; the game uses standing, walking and dying,
// the other values are only recorded.
enum PlayerState {
    PLAYER_STANDING = 0,
    PLAYER_WALKING = 1,
    PLAYER_STATE_2 = 2,
    PLAYER_STATE_3 = 3,
    PLAYER_STATE_4 = 4,
    PLAYER_STATE_5 = 5,
    PLAYER_DYING = 6,
    PLAYER_STATE_7 = 7,
};

// A scripted action; type 1 walks to the world x coordinate x (y is carried, unused).
struct PlayerAction {
    int type;
    int x;
    int y;
};

// A fighter: a body with a role that decides its look, health, a score, four
// weapon slots and a team colour, driven by input, the level script or a brain.
class Player : public RealBody {
public:
    static constexpr int slotCount = 4;  // 0 none, 1 pistol, 2 gun, 3 grenade
    static constexpr int walkAction = 0;
    static constexpr int dyingAction = 3;
    // The size of a fighter whose role gives no standing frame to measure.
    static constexpr int fallbackWidth = 28;
    static constexpr int fallbackHeight = 46;
    // How far below the map's bottom a falling fighter is given up for lost, in pixels.
    static constexpr int fallOutMargin = 400;

    Player();
    Player(const std::string& name, const std::string& role);
    ~Player() override;

    void initialize();

    void draw(BITMAP* target, int cameraX, int cameraY) override;
    void move() override;
    void die() override;
    bool collide(Object* other) override;
    virtual void doFire();
    virtual void doMoveLeft();
    virtual void doMoveRight();

    const std::string& getName() const { return name; }
    Player& setName(const std::string& n);
    const std::string& getRole() const { return role; }
    // Loads the role's look from "image/role/<role>/config.dat" and takes its size.
    Player& setRole(const std::string& r);
    int getPlayerId() const { return playerId; }
    int getColor() const { return color; }
    Player& setColor(int c);

    int getHealth() const { return health; }
    Player& setHealth(int h);
    bool isAlive() const { return health > 0; }
    int getKills() const { return kills; }
    void addKills() { ++kills; }
    int getHeadshots() const { return headshots; }
    void addHeadshots() { ++headshots; }
    int getDefend() const { return defend; }
    Player& setDefend(int d);
    // A shot or blast of `by` (null: nobody's) struck at world point (x, y); true for a hit on the top row.
    // While a speech bubble is shown nobody is harmed: a speech is a truce.
    bool hit(int x, int y, const Vector& direction, Player* by = nullptr);
    // The name of the fighter whose shot or blast last struck this one (its own grenade too); empty when none did.
    const std::string& getLastHitBy() const { return lastHitBy; }
    // The object id of that fighter; 0 when none did.
    int getLastHitById() const { return lastHitById; }
    // Times this fighter fell.
    int getDeaths() const { return deaths; }
    // A fallen fighter back on his feet at (x, y): full health, no armour, no weapons, standing still.
    void respawn(int x, int y);

    void moveLeft(bool on);
    void moveRight(bool on);
    void jump(bool on) { jumping = on; }
    void fire(int x, int y);
    void holdFire() { firing = false; }
    bool isFiring() const { return firing; }
    void aim(int x, int y);
    void stopMoving();
    // A hit or a present stops the fighter for this frame; the hands take over again the next.
    void interrupt();
    bool takeInterruption() { return std::exchange(interrupted, false); }
    void act(PlayerState s);
    PlayerState getState() const { return state; }

    void setAction(const PlayerAction& action);
    void stopAction() { playerActionOn = false; }
    bool isPlayerActionOn() const { return playerActionOn; }
    const PlayerAction& getPlayerAction() const { return playerAction; }

    int getEquipment() const { return equipment; }
    // Slots outside 0 to 3 are refused: false, and nothing changes.
    bool setEquipment(int slot);
    // Null for an empty slot and for a slot outside 0 to 3.
    Weapon* getWeapon(int slot) const;
    Weapon* getCurrentWeapon() const { return weapons[equipment]; }
    // Destroys the weapon the slot held and keeps w, which the fighter then owns.
    // A slot outside 0 to 3 is refused (false) and w stays the caller's.
    bool setWeapon(int slot, Weapon* w);

    bool isAnimating() const { return animating; }
    bool isMovingLeft() const { return movingLeft; }
    bool isMovingRight() const { return movingRight; }
    bool isJumping() const { return jumping; }
    int getFireX() const { return fireX; }
    int getFireY() const { return fireY; }
    Animation& getAnimation() { return animation; }

protected:
    // Struck by a fighter of another team; computer fighters answer it.
    virtual void answerHit(Player& by) { (void)by; }
    void doJump();
    void doPlayerAction();
    void takeFrameSize();

    std::string name;
    int playerId = 0;
    int health = 100;
    int defend = 0;  // armour: takes half of each hit until worn through; the info bar shows it
    int headshots = 0;
    int kills = 0;
    bool animating = false;
    int color = 0;
    int equipment = 0;
    std::string role;
    std::string lastHitBy;
    int lastHitById = 0;
    int deaths = 0;
    Animation animation;
    PlayerState state = PLAYER_STANDING;
    bool movingLeft = false;
    bool movingRight = false;
    bool firing = false;
    bool jumping = false;
    bool interrupted = false;
    int fireX = 0;
    int fireY = 0;
    PlayerAction playerAction{0, 0, 0};
    bool playerActionOn = false;
    Weapon* weapons[slotCount] = {};  // owned: destroyed when replaced and with the fighter
};

}  // namespace Torvane
