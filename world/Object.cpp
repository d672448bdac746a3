#include "world/Object.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "fighters/RealBody.h"
#include "world/OnceMessages.h"
#include "world/PictureFile.h"
#include "world/WorldConstants.h"

namespace Torvane {

std::atomic<int> objectIdGenerator{1};

Object::Object() : id(objectIdGenerator.fetch_add(1)) { Object::stop(); }

Object::~Object() = default;

void Object::draw(BITMAP* target, int cameraX, int cameraY) {
    if (sprite) {
        draw_rle_sprite(target, sprite, screenCoordinate(getX(), cameraX), screenCoordinate(getY(), cameraY));
    } else if (image) {
        draw_sprite(target, image, screenCoordinate(getX(), cameraX), screenCoordinate(getY(), cameraY));
    }
}

void Object::move() {
    position += velocity;
    velocity += acceleration;
    float magnitude = velocity.getMagnitude();
    if (magnitude > maxSpeed) velocity *= maxSpeed / magnitude;
}

void Object::stop() {
    velocity.zero();
    acceleration.zero();
}

void Object::die() { dead = true; }

bool Object::collide(Object* other) {
    const Rect a = *getRectangle();
    const Rect b = *other->getRectangle();
    RealBody* body = dynamic_cast<RealBody*>(this);

    bool touching = b.left <= a.right && b.top <= a.bottom && b.right >= a.left && b.bottom >= a.top;
    if (!touching) {
        if (body && body->getBoard() == other) {
            body->setFree(true);
            body->setBoard(nullptr);
        }
        return false;
    }
    if (body && body->getBoard() == other) return true;

    // Wide: boxes may sit at the ends of the int range, and a push may take one past them.
    long long up = std::llabs(static_cast<long long>(a.top) - b.bottom);
    long long down = std::llabs(static_cast<long long>(a.bottom) - b.top);
    long long leftGap = std::llabs(static_cast<long long>(a.left) - b.right);
    long long rightGap = std::llabs(static_cast<long long>(a.right) - b.left);
    long long vertical = std::min(up, down);
    long long horizontal = std::min(leftGap, rightGap);
    // Contacts of a pixel or less are not collisions: bodies rest on what they touch.
    if (vertical <= 1 || horizontal <= 1) return false;

    if (vertical >= horizontal) {
        if (leftGap < rightGap) {
            position.x = static_cast<float>(b.right + 1LL);
            handleCollision(SIDE_LEFT, other);
            other->handleCollision(SIDE_RIGHT, this);
        } else {
            position.x = static_cast<float>(b.left - (static_cast<long long>(a.right) - a.left) - 1);
            handleCollision(SIDE_RIGHT, other);
            other->handleCollision(SIDE_LEFT, this);
        }
    } else if (up < down) {
        position.y = static_cast<float>(b.bottom + 1LL);
        handleCollision(SIDE_ABOVE, other);
        other->handleCollision(SIDE_BELOW, this);
    } else {
        // Left overlapping by one row so the object keeps touching what it stands on.
        position.y = static_cast<float>(b.top - (static_cast<long long>(a.bottom) - a.top) + 1);
        handleCollision(SIDE_BELOW, other);
        other->handleCollision(SIDE_ABOVE, this);
    }
    return true;
}

void Object::handleCollision(int, Object*) {}

Object& Object::setX(int x) { position.x = static_cast<float>(x); return *this; }
Object& Object::setY(int y) { position.y = static_cast<float>(y); return *this; }
Object& Object::setPosition(const Vector& p) { position = p; return *this; }
Object& Object::setVelocity(const Vector& v) { velocity = v; return *this; }
Object& Object::setAcceleration(const Vector& a) { acceleration = a; return *this; }
Object& Object::setWidth(int w) { width = w; return *this; }
Object& Object::setHeight(int h) { height = h; return *this; }
Object& Object::show() { visible = true; return *this; }
Object& Object::hide() { visible = false; return *this; }
Object& Object::setCollidable(bool c) { collidable = c; return *this; }
Object& Object::setLifetime(int l) { lifetime = l; return *this; }
Object& Object::setLayer(MapLayer l) { layer = l; return *this; }

Rect* Object::getRectangle() {
    auto farEdge = [](int start, int size) {
        long long edge = static_cast<long long>(start) + size;
        return static_cast<int>(std::clamp<long long>(edge, INT_MIN, INT_MAX));
    };
    rectangle = Rect{getX(), farEdge(getX(), width), getY(), farEdge(getY(), height)};
    return &rectangle;
}

bool Object::loadImage(const char* path) {
    picture.reset();
    image = nullptr;
    sprite = nullptr;
    std::string reason;
    picture = PictureCache::load(path, reason);
    if (!picture) {
        OnceMessages::show(std::string("Failed to load bitmap ") + path + " (" + reason + ")");
        return false;
    }
    image = picture->bitmap;
    sprite = picture->sprite;
    width = image->w;
    height = image->h;
    return true;
}

}  // namespace Torvane
