#pragma once

#include <deque>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace Torvane {
class Game;
}

// A simulated person at the keyboard and mouse. Each frame it looks at what the
// screen shows (the fighters and presents in the view, the bubble, its own
// health and bullets), with a delay, and answers with inputs in the level runner's
// text format, so that what it did can be kept and replayed.
class PlaytestPlayer {
public:
    // How a kind of player plays; the figures are in the level guide and --help.
    struct Skill {
        const char* name;
        int reactionFrames;     // from seeing to acting
        double aimError;        // pixels off per 100 pixels of distance
        double tremble;         // pixels off at any distance
        double movementError;   // pixels off per pixel a frame of own and target speed
        double readSeconds;     // looking at a bubble before clicking it away, for each of its lines
        double detourSeconds;   // going for one present before giving it up
        int keepDistance;       // pixels from the nearest enemy where it stops walking at him
        int coverHealth;        // below this health it backs off from enemies
    };
    static const std::vector<Skill>& skills();
    static const Skill* findSkill(const std::string& name);

    // The random numbers are the run's: nothing else may draw from them meanwhile.
    PlaytestPlayer(const Skill& skill, std::mt19937& random) : skill(skill), random(random) {}

    // Between frames, with the script waiting: the inputs for this frame, one a line.
    std::string play(Torvane::Game& game, long long frame);
    // Lines letting go of whatever is held, for the end of a kept run.
    std::string letGo(long long frame);

private:
    struct Fighter {
        int id, x, y, top, height, health;  // health as the blood shows it
        float speed;
        bool clear;  // nothing solid between him and the scout: a person sees the crate in the way
    };
    struct Box {
        int id, x, y, width, height;
    };
    // One frame of the screen as the player takes it in.
    struct View {
        bool scout = false;
        int x = 0, y = 0, top = 0, bottom = 0;
        float speed = 0;
        int health = 0;
        int slot = 0;
        int current[4] = {}, total[4] = {};
        bool has[4] = {};
        bool reloading = false;
        int cameraX = 0, cameraY = 0, viewWidth = 800, viewHeight = 600, mapWidth = 0;
        bool bubble = false;
        int bubbleLines = 0;
        std::vector<Fighter> enemies;
        std::vector<Box> presents;
    };

    View look(Torvane::Game& game) const;
    void hold(std::string& out, const char* key, bool down);
    void button(std::string& out, bool down);
    void point(std::string& out, int x, int y);
    double gauss(double spread);
    int walkDirection(const View& now, const View& seen);
    void handleWeapon(std::string& out, const View& now, const View& seen);
    void shoot(std::string& out, const View& now, const Fighter* target);

    const Skill& skill;
    std::mt19937& random;
    long long frame = 0;
    std::deque<View> memory;  // the newest last; the oldest is what the player has taken in
    std::set<std::string> held;
    bool buttonDown = false;
    int mouseX = -1, mouseY = -1;

    long long bubbleSince = -1, clickAt = -1, releaseAt = -1;
    int watched = 0, watchedHealth = 0;
    long long lastHit = 0, pushUntil = -1;
    long long jumpUntil = -1, stillSince = -1, reverseUntil = -1, coverUntil = -1, nextCover = 0;
    int stillX = 0, exploreDirection = 1, reverseDirection = 0;
    int lastDirection = 0;
    long long blockedSince = -1;
    int lastSeenX = 0;
    long long lastSeenFrame = -1;  // an enemy was last seen at lastSeenX then; -1: none to go back for  // the nearest enemy has been behind something since
    int goal = 0;
    long long goalSince = 0;
    std::set<int> givenUp;
    int target = 0;
    double errorX = 0, errorY = 0;
    long long nextAim = 0, burstUntil = -1, restUntil = -1;
    long long keyUpAt = -1, weaponWait = 0, grenadeUntil = -1, nextGrenade = 0;
    std::string tapped;  // a key pressed for a moment, let go at keyUpAt
};
