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

Object::~Object() {
    if (sprite) destroy_rle_sprite(sprite);
    if (image) destroy_bitmap(image);
}

void Object::draw(BITMAP* target, int cameraX, int cameraY) {
    if (sprite) {
        draw_rle_sprite(target, sprite, getX() - cameraX, getY() - cameraY);
    } else if (image) {
        draw_sprite(target, image, getX() - cameraX, getY() - cameraY);
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

    int up = std::abs(a.top - b.bottom);
    int down = std::abs(a.bottom - b.top);
    int leftGap = std::abs(a.left - b.right);
    int rightGap = std::abs(a.right - b.left);
    int vertical = std::min(up, down);
    int horizontal = std::min(leftGap, rightGap);
    // Contacts of a pixel or less are not collisions: bodies rest on what they touch.
    if (vertical <= 1 || horizontal <= 1) return false;

    if (vertical >= horizontal) {
        if (leftGap < rightGap) {
            position.x = static_cast<float>(b.right + 1);
            handleCollision(SIDE_LEFT, other);
            other->handleCollision(SIDE_RIGHT, this);
        } else {
            position.x = static_cast<float>(b.left - (a.right - a.left) - 1);
            handleCollision(SIDE_RIGHT, other);
            other->handleCollision(SIDE_LEFT, this);
        }
    } else if (up < down) {
        position.y = static_cast<float>(b.bottom + 1);
        handleCollision(SIDE_ABOVE, other);
        other->handleCollision(SIDE_BELOW, this);
    } else {
        // Left overlapping by one row so the object keeps touching what it stands on.
        position.y = static_cast<float>(b.top - (a.bottom - a.top) + 1);
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
    if (sprite) destroy_rle_sprite(sprite);
    sprite = nullptr;
    if (image) destroy_bitmap(image);
    std::string reason;
    image = PictureFile::load(path, reason);
    if (!image) {
        OnceMessages::show(std::string("Failed to load bitmap ") + path + " (" + reason + ")");
        return false;
    }
    sprite = get_rle_sprite(image);
    width = image->w;
    height = image->h;
    return true;
}

}  // namespace Torvane
