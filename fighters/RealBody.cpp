#include "fighters/RealBody.h"

#include <algorithm>
#include <cmath>

#include "world/WorldConstants.h"

namespace Torvane {

RealBody::RealBody() { setCollidable(true); }

RealBody::~RealBody() {
    leaveBoard();
    for (RealBody* passenger : passengers) {
        passenger->board = nullptr;
        passenger->boardBody = nullptr;
        passenger->free = true;
    }
}

RealBody& RealBody::setMass(int m) {
    mass = m < 1 ? 1 : m;
    return *this;
}

void RealBody::addForce(const Vector& force) {
    acceleration += Vector(force.x / static_cast<float>(mass), force.y / static_cast<float>(mass));
}

void RealBody::addMomentum(const Vector& momentum) {
    velocity += Vector(momentum.x / static_cast<float>(mass), momentum.y / static_cast<float>(mass));
}

RealBody& RealBody::setFree(bool b) {
    free = b;
    if (b) leaveBoard();
    return *this;
}

RealBody& RealBody::setBoard(Object* b) {
    if (b == board) return *this;
    leaveBoard();
    board = b;
    boardBody = dynamic_cast<RealBody*>(b);
    if (boardBody) boardBody->passengers.push_back(this);
    return *this;
}

RealBody& RealBody::setBouncy(bool b) {
    bouncy = b;
    return *this;
}

void RealBody::leaveBoard() {
    if (boardBody) boardBody->forgetPassenger(this);
    board = nullptr;
    boardBody = nullptr;
}

void RealBody::forgetPassenger(RealBody* passenger) {
    auto entry = std::find(passengers.begin(), passengers.end(), passenger);
    if (entry != passengers.end()) passengers.erase(entry);
}

void RealBody::releaseRoad() {
    // Each passenger is let go directly: going through setFree would have it
    // erase itself from the list being walked.
    for (RealBody* passenger : passengers) {
        passenger->free = true;
        passenger->board = nullptr;
        passenger->boardBody = nullptr;
    }
    passengers.clear();
}

void RealBody::move() {
    Object::move();
    if (free && !board) {
        acceleration = Vector(0.0f, gravityAccel);
    } else if (!free && board) {
        // Friction slows the slide but never turns it around.
        if (velocity.x < 0) velocity.x += std::min(-velocity.x, groundFriction);
        else if (velocity.x > 0) velocity.x -= std::min(velocity.x, groundFriction);
    }
}

void RealBody::handleCollision(int side, Object* other) {
    switch (side) {
    case SIDE_ABOVE:
        velocity.y = -velocity.y;  // a head bump
        break;
    case SIDE_RIGHT:
    case SIDE_LEFT:
        // Rebound at half the closing speed: a walk into a wall turns back at half speed.
        velocity.x = static_cast<float>((velocity.x + other->getVelocity().x) / -2.0);
        break;
    case SIDE_BELOW:
        if (bouncy && std::fabs(velocity.y) > 1.0f) {
            velocity.y = static_cast<float>((velocity.y + other->getVelocity().y) / -2.0);
            break;
        }
        velocity.y = 0;
        setBoard(other);
        acceleration = Vector(0.0f, 0.0f);
        free = false;
        groundFriction = other->getFrictionConstant() * gravityAccel;
        break;
    default:
        break;
    }
}

}  // namespace Torvane
