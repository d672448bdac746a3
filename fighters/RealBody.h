#pragma once

#include <vector>

#include "world/Object.h"

namespace Torvane {

// A game object under simple physics: it falls while nothing holds it, lands on
// what it touches from above, slides to a halt by friction and rebounds from
// walls and ceilings. Contacts reach it through handleCollision; it never looks
// for the ground itself.
class RealBody : public Object {
public:
    RealBody();
    // Leaves its board's passenger list and drops its own passengers, so that no
    // list is left pointing at a destroyed body.
    ~RealBody() override;

    void move() override;
    void handleCollision(int side, Object* other) override;

    int getMass() const { return mass; }
    // Masses below 1 are taken as 1: the forces and momenta are divided by it.
    RealBody& setMass(int m);
    void addForce(const Vector& force);
    void addMomentum(const Vector& momentum);

    bool isFree() const { return free; }
    // Setting a body free also clears its board.
    RealBody& setFree(bool b);
    Object* getBoard() const { return board; }
    // A body on a board that is itself a body is listed among its passengers.
    RealBody& setBoard(Object* b);
    // Every passenger falls; the list is emptied.
    void releaseRoad();

    bool isBouncy() const { return bouncy; }
    RealBody& setBouncy(bool b);
    float getGroundFriction() const { return groundFriction; }
    const std::vector<RealBody*>& getPassengers() const { return passengers; }

protected:
    int mass = 1;
    bool free = true;
    Object* board = nullptr;  // never owned; compared by identity only
    std::vector<RealBody*> passengers;  // not owned
    // Pixels per frame lost along x per frame while standing. Set by each landing;
    // before the first, a body placed on a board by hand slides without friction.
    float groundFriction = 0.0f;
    bool bouncy = false;

private:
    // The board seen as a body, when it is one. The board itself may be a map
    // piece destroyed before this body (a new map is loaded piece first), so
    // only this pointer is ever followed, and a body being destroyed clears it
    // in all its passengers.
    RealBody* boardBody = nullptr;

    void leaveBoard();
    void forgetPassenger(RealBody* passenger);
};

}  // namespace Torvane
