#include "tools/playtest/PlaytestPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Game.h"
#include "fighters/Player.h"
#include "level/PresentBox.h"
#include "weapons/Weapon.h"

using Torvane::GameClock;

namespace {

constexpr int fps = GameClock::framesPerSecond;
// Slots as the game numbers them, and the keys that put each in hand.
constexpr int pistolSlot = 1, rifleSlot = 2, grenadeSlot = 3;
const char* keyForSlot(int slot) { return slot == rifleSlot ? "1" : slot == pistolSlot ? "2" : "4"; }

}  // namespace

const std::vector<PlaytestPlayer::Skill>& PlaytestPlayer::skills() {
    //                               react aim  trem move read detour keep cover
    static const std::vector<Skill> all = {
        {"steady", 23, 4.0, 2.0, 6.0, 1.8, 8.0, 380, 40},
        {"shaky", 33, 9.0, 6.0, 10.0, 1.8, 8.0, 260, 40},
        {"rusher", 20, 6.0, 3.0, 8.0, 0.3, 4.0, 90, 15},
    };
    return all;
}

const PlaytestPlayer::Skill* PlaytestPlayer::findSkill(const std::string& name) {
    for (const Skill& s : skills()) {
        if (name == s.name) return &s;
    }
    return nullptr;
}

PlaytestPlayer::View PlaytestPlayer::look(Torvane::Game& game) const {
    View v;
    const Torvane::MapSystem& map = game.getMapSystem();
    v.cameraX = map.getClientX();
    v.cameraY = map.getClientY();
    if (map.getClientWidth() > 0) v.viewWidth = map.getClientWidth();
    if (map.getClientHeight() > 0) v.viewHeight = map.getClientHeight();
    v.mapWidth = map.getWidth();
    v.bubble = game.getDialog().isVisible();
    if (v.bubble) {
        const std::string& text = game.getDialog().getText();
        v.bubbleLines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
    Torvane::Player* me = game.getMainPlayer();
    if (!me || !me->isAlive()) return v;
    v.scout = true;
    v.x = me->getCentralX();
    v.y = me->getCentralY();
    v.top = me->getY();
    v.bottom = me->getY() + me->getHeight();
    v.speed = me->getVelocity().x;
    v.health = me->getHealth();
    v.slot = me->getEquipment();
    for (int slot = pistolSlot; slot <= grenadeSlot; ++slot) {
        if (Torvane::Weapon* weapon = me->getWeapon(slot)) {
            v.has[slot] = true;
            v.current[slot] = weapon->getBulletCurrent();
            v.total[slot] = weapon->getBulletTotal();
            if (slot == v.slot) v.reloading = weapon->isReloading();
        }
    }
    auto inView = [&v](int x, int y, int width, int height) {
        return x + width > v.cameraX && x < v.cameraX + v.viewWidth && y + height > v.cameraY &&
               y < v.cameraY + v.viewHeight;
    };
    for (Torvane::Player* other : game.getPlayers()) {
        if (other == me || !other->isAlive() || !other->isVisible() || other->getColor() == me->getColor()) continue;
        if (!inView(other->getX(), other->getY(), other->getWidth(), other->getHeight())) continue;
        // At night only a fighter in some light is seen: his body or his head.
        const Torvane::NightShade& night = game.getNightShade();
        if (!night.isLit(other->getCentralX(), other->getCentralY()) && !night.isLit(other->getCentralX(), other->getY() + 8))
            continue;
        int hitX = 0, hitY = 0;
        const bool stopped = game.getBlockSystem().checkLineCollision(
            me->getColor(), v.x, v.top + 8, other->getCentralX(), other->getCentralY(), &hitX, &hitY);
        const bool clear = !stopped || game.getBlockSystem().getObjectByPosition(hitX, hitY) == other;
        v.enemies.push_back({other->getId(), other->getCentralX(), other->getCentralY(), other->getY(),
                             other->getHeight(), other->getHealth(), other->getVelocity().x, clear});
    }
    // A trigger area has no picture: nobody sees it.
    for (Torvane::Object* object : game.getObjectSystem().getObjects()) {
        auto* box = dynamic_cast<Torvane::PresentBox*>(object);
        if (!box || box->isDead() || !box->isVisible() || !box->getImage()) continue;
        if (!inView(box->getX(), box->getY(), box->getWidth(), box->getHeight())) continue;
        v.presents.push_back({box->getId(), box->getX(), box->getY(), box->getWidth(), box->getHeight()});
    }
    return v;
}

double PlaytestPlayer::gauss(double spread) {
    std::normal_distribution<double> error(0.0, std::max(0.01, spread));
    return error(random);
}

void PlaytestPlayer::hold(std::string& out, const char* key, bool down) {
    if ((held.count(key) != 0) == down) return;
    if (down) held.insert(key);
    else held.erase(key);
    out += std::to_string(frame) + (down ? " key down " : " key up ") + key + "\n";
}

void PlaytestPlayer::button(std::string& out, bool down) {
    if (buttonDown == down) return;
    buttonDown = down;
    out += std::to_string(frame) + (down ? " button down left\n" : " button up left\n");
}

void PlaytestPlayer::point(std::string& out, int x, int y) {
    // The recoil drags the pointer with the sight; a line equal to the last would not bring it back.
    if (x == mouseX && y == mouseY) x += x > 0 ? -1 : 1;
    mouseX = x;
    mouseY = y;
    out += std::to_string(frame) + " mouse " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

std::string PlaytestPlayer::letGo(long long at) {
    frame = at;
    std::string out;
    for (const std::string& key : std::set<std::string>(held)) hold(out, key.c_str(), false);
    button(out, false);
    return out;
}

std::string PlaytestPlayer::play(Torvane::Game& game, long long now) {
    frame = now;
    std::string out;
    memory.push_back(look(game));
    while (memory.size() > static_cast<size_t>(skill.reactionFrames) + 1) memory.pop_front();
    const View& current = memory.back();
    const View& seen = memory.front();

    if (!tapped.empty() && frame >= keyUpAt) {
        hold(out, tapped.c_str(), false);
        tapped.clear();
    }
    if (buttonDown && releaseAt >= 0 && frame >= releaseAt) {
        button(out, false);
        releaseAt = -1;
    }
    if (current.bubble) {
        // Hands off while reading, then one click; again if the bubble stays. Whatever it said,
        // the way on is east again: a player who turned back at the map's end heads onward.
        exploreDirection = 1;
        if (bubbleSince < 0) {
            bubbleSince = frame;
            std::uniform_real_distribution<double> spread(0.8, 1.2);
            const double reading = skill.readSeconds * current.bubbleLines;
            clickAt = frame + skill.reactionFrames + static_cast<long long>(reading * fps * spread(random));
        }
        for (const char* key : {"A", "D", "W"}) hold(out, key, false);
        if (releaseAt < 0) button(out, false);
        if (frame >= clickAt && !buttonDown) {
            button(out, true);
            releaseAt = frame + 3;
            clickAt = frame + fps;
        }
        return out;
    }
    bubbleSince = -1;
    if (!current.scout) {
        out += letGo(frame);
        stillSince = -1;
        return out;
    }

    const int direction = walkDirection(current, seen);
    hold(out, "D", direction > 0);
    hold(out, "A", direction < 0);
    hold(out, "W", frame < jumpUntil);
    handleWeapon(out, current, seen);
    return out;
}

int PlaytestPlayer::walkDirection(const View& now, const View& seen) {
    const Fighter* nearest = nullptr;
    for (const Fighter& enemy : seen.enemies) {
        if (!nearest || std::abs(enemy.x - now.x) < std::abs(nearest->x - now.x)) nearest = &enemy;
    }
    // Where an enemy was last seen, for a while: a person goes back for one who dropped out of view
    // rather than walking on into the unknown. Forgotten once that place is in view again, empty.
    if (nearest) {
        lastSeenX = nearest->x;
        lastSeenFrame = frame;
    } else if (lastSeenX - now.cameraX > 40 && lastSeenX - now.cameraX < now.viewWidth - 40) {
        lastSeenFrame = -1;
    }
    const bool remembered = lastSeenFrame >= 0 && frame - lastSeenFrame < 15 * fps;
    // Cover is a breather, not a hiding place: back off a moment, then back into the fight.
    if (nearest && now.health < skill.coverHealth && frame >= nextCover) {
        coverUntil = frame + 2 * fps;
        nextCover = frame + 8 * fps;
    }
    // Shooting at someone who shows no hit (a crate between, say): go at him for a while.
    if (!nearest) {
        watched = 0;
    } else if (nearest->id != watched || nearest->health < watchedHealth) {
        watched = nearest->id;
        watchedHealth = nearest->health;
        lastHit = frame;
    } else if (frame - lastHit > static_cast<long long>(skill.detourSeconds * fps / 2)) {
        pushUntil = frame + 2 * fps;
        lastHit = pushUntil;
    }

    int direction = 0;
    if (frame < reverseUntil) {
        direction = reverseDirection;
    } else if (nearest && frame < coverUntil) {
        direction = nearest->x > now.x ? -1 : 1;
    } else if (nearest && frame < pushUntil) {
        direction = nearest->x > now.x ? 1 : -1;
    } else if (nearest) {
        const int distance = std::abs(nearest->x - now.x);
        const int toward = nearest->x > now.x ? 1 : -1;
        // Something in the way: closer, and over it, until he can be hit. Standing on it right
        // above him, a person walks on off its edge rather than turning on the spot.
        if (!nearest->clear && distance < 60 && nearest->top > now.bottom) {
            reverseDirection = lastDirection ? lastDirection : toward;
            reverseUntil = frame + fps;
            direction = reverseDirection;
        } else if (!nearest->clear) direction = toward;
        else if (distance > skill.keepDistance + 40) direction = toward;
        else if (distance < skill.keepDistance / 2 && skill.keepDistance >= 200) direction = -toward;
    } else {
        const Box* present = nullptr;
        for (const Box& box : seen.presents) {
            if (givenUp.count(box.id)) continue;
            auto far = [&now](const Box& b) { return std::abs(b.x + b.width / 2 - now.x) + std::abs(b.y - now.y); };
            if (!present || far(box) < far(*present)) present = &box;
        }
        if (present && present->id != goal) {
            goal = present->id;
            goalSince = frame;
        }
        if (present && frame - goalSince > static_cast<long long>(skill.detourSeconds * fps)) {
            givenUp.insert(goal);
            present = nullptr;
        }
        if (present) {
            const int dx = present->x + present->width / 2 - now.x;
            direction = dx > 4 ? 1 : dx < -4 ? -1 : 0;
            if (present->y + present->height < now.bottom - 16 && std::abs(dx) < 100 && frame > jumpUntil + 20)
                jumpUntil = frame + 10;
        } else if (remembered) {
            goal = 0;
            direction = lastSeenX > now.x ? 1 : -1;
        } else {
            goal = 0;
            // Onward to the side not yet seen: east first, back west from the map's far end.
            if (now.x > now.mapWidth - 120) exploreDirection = -1;
            else if (now.x < 120) exploreDirection = 1;
            direction = exploreDirection;
        }
    }

    if (direction) lastDirection = direction;
    // Pushing against a wall shakes x by a pixel or so: only a real step counts as getting on.
    if (direction == 0 || std::abs(now.x - stillX) > 6 || stillSince < 0) {
        stillX = now.x;
        stillSince = direction == 0 ? -1 : frame;
        return direction;
    }
    const long long still = frame - stillSince;
    // A present or a hit stops the walk with the key still down: let go and press again.
    if (still == 6) return 0;
    if (still >= 10 && frame > jumpUntil + 20) jumpUntil = frame + 12;
    if (still >= 3 * fps) {
        // Stuck for good this way: try the other way for a while, and give up the present it was after.
        if (goal) givenUp.insert(goal);
        reverseDirection = -direction;
        reverseUntil = frame + 90;
        stillSince = -1;
    }
    return direction;
}

void PlaytestPlayer::handleWeapon(std::string& out, const View& now, const View& seen) {
    const int slot = now.slot;
    auto tap = [&](const char* key) {
        hold(out, key, true);
        tapped = key;
        keyUpAt = frame + 3;
        weaponWait = frame + skill.reactionFrames;
    };
    const bool ready = tapped.empty() && frame >= weaponWait;
    if (ready && (slot == pistolSlot || slot == rifleSlot) && now.current[slot] == 0 && now.total[slot] > 0 &&
        !now.reloading) {
        tap("R");
    }
    const Fighter* target = nullptr;
    int close = 0;
    for (const Fighter& enemy : seen.enemies) {
        const int distance = std::abs(enemy.x - now.x);
        if (distance > 150 && distance < 450) ++close;
        if (!target || distance < std::abs(target->x - now.x)) target = &enemy;
    }
    // An enemy behind cover for a while, whom going at him did not reach: a grenade over it.
    if (!target || target->clear) blockedSince = -1;
    else if (blockedSince < 0) blockedSince = frame;
    const bool dugIn = blockedSince >= 0 && frame - blockedSince > 4 * fps;
    // A grenade for a group at a throw's distance, now and then.
    if ((close >= 2 || dugIn) && now.total[grenadeSlot] > 0 && frame >= nextGrenade) {
        grenadeUntil = frame + fps;
        nextGrenade = frame + 5 * fps;
    }
    int wanted = now.total[rifleSlot] > 0 ? rifleSlot : now.total[pistolSlot] > 0 ? pistolSlot : 0;
    if (frame < grenadeUntil && now.total[grenadeSlot] > 0) wanted = grenadeSlot;
    if (!wanted && now.total[grenadeSlot] > 0) wanted = grenadeSlot;
    if (wanted && wanted != slot && tapped.empty() && frame >= weaponWait) tap(keyForSlot(wanted));
    shoot(out, now, target);
}

void PlaytestPlayer::shoot(std::string& out, const View& now, const Fighter* enemy) {
    const bool clicking = releaseAt >= 0;
    if (!enemy) {
        target = 0;
        if (!clicking) button(out, false);
        // The hand rests ahead of the scout, moved only now and then.
        const int x = std::max(1, std::min(now.viewWidth - 2, now.x - now.cameraX + (held.count("A") ? -150 : 150)));
        const int y = std::max(1, std::min(now.viewHeight - 2, now.y - now.cameraY - 10));
        if (std::abs(x - mouseX) > 40 || std::abs(y - mouseY) > 40) point(out, x, y);
        return;
    }
    const double dx = enemy->x - now.x, dy = enemy->y - now.y;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (enemy->id != target || frame >= nextAim) {
        const double spread = skill.aimError * distance / 100.0 + skill.tremble +
                              skill.movementError * (std::fabs(now.speed) + std::fabs(enemy->speed));
        errorX = gauss(spread);
        errorY = gauss(spread);
        nextAim = frame + std::max(4, skill.reactionFrames / 2);
        target = enemy->id;
    }
    const bool grenade = now.slot == grenadeSlot;
    // The upper body, where a hit does the most; a grenade is thrown high.
    double aimY = enemy->top + enemy->height * 0.3 + errorY;
    if (grenade) aimY -= distance / 3;
    const int x = std::max(1, std::min(now.viewWidth - 2, static_cast<int>(enemy->x + errorX) - now.cameraX));
    const int y = std::max(1, std::min(now.viewHeight - 2, static_cast<int>(aimY) - now.cameraY));
    point(out, x, y);
    if (clicking) return;
    if (now.slot == 0 || now.total[now.slot] <= 0) {
        button(out, false);
        return;
    }
    if (grenade) {
        // An empty hand's first pull only takes a grenade up: hold on until it is there, then
        // one throw, then back to a gun.
        if (now.reloading) {
            grenadeUntil = frame + 2;
            button(out, false);
            return;
        }
        button(out, true);
        releaseAt = frame + 3;
        grenadeUntil = now.current[grenadeSlot] > 0 ? frame : frame + 10;
        return;
    }
    // Nobody empties a clip into a crate on purpose.
    if (!enemy->clear) {
        button(out, false);
        return;
    }
    // Bursts, as a finger does: held a moment, let go a moment.
    if (frame >= burstUntil && frame >= restUntil) {
        std::uniform_int_distribution<int> length(8, 16), pause(6, 16);
        burstUntil = frame + length(random);
        restUntil = burstUntil + pause(random);
    }
    button(out, frame < burstUntil);
}
