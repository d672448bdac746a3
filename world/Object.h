#pragma once

#include <allegro.h>

#include <memory>

#include "world/PictureCache.h"
#include "world/Rect.h"
#include "world/Saturating.h"
#include "world/Vector.h"

namespace Torvane {

// Layer numbers come from map files only.
enum MapLayer : int {};

// Side codes given to handleCollision, as seen by the object that receives them.
enum CollisionSide { SIDE_RIGHT = 0, SIDE_LEFT = 1, SIDE_ABOVE = 2, SIDE_BELOW = 3 };

// The root of everything in the world. The object system owns every object handed
// to it and is the only place that destroys them.
class Object {
public:
    Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object();

    virtual void draw(BITMAP* target, int cameraX, int cameraY);
    virtual void move();
    virtual void stop();
    virtual void die();
    virtual bool collide(Object* other);
    virtual void handleCollision(int side, Object* other);

    // The float coordinate plus 0.5, truncated toward zero.
    int getX() const { return roundCoordinate(position.x); }
    int getY() const { return roundCoordinate(position.y); }
    Object& setX(int x);
    Object& setY(int y);
    Vector getPosition() const { return position; }
    Object& setPosition(const Vector& p);
    Vector getVelocity() const { return velocity; }
    Object& setVelocity(const Vector& v);
    Vector getAcceleration() const { return acceleration; }
    Object& setAcceleration(const Vector& a);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    Object& setWidth(int w);
    Object& setHeight(int h);
    // Saturated, like the coordinates themselves.
    int getCentralX() const { return saturatedSum(getX(), getWidth() / 2); }
    int getCentralY() const { return saturatedSum(getY(), getHeight() / 2); }

    Object& show();
    Object& hide();
    bool isVisible() const { return visible; }
    bool isDead() const { return dead; }
    bool isCollidable() const { return collidable; }
    Object& setCollidable(bool c);

    int getLifetime() const { return lifetime; }
    Object& setLifetime(int l);
    MapLayer getLayer() const { return layer; }
    Object& setLayer(MapLayer l);
    float getFrictionConstant() const { return frictionConstant; }
    float getMaxSpeed() const { return maxSpeed; }
    int getId() const { return id; }

    // Refreshed on every call; the pointer stays valid for the object's life.
    Rect* getRectangle();

    bool loadImage(const char* path);
    BITMAP* getImage() const { return image; }

protected:
    // Coordinates beyond the int range (only a script can put an object there)
    // saturate instead of overflowing the conversion.
    static int roundCoordinate(float coordinate) {
        float shifted = coordinate + 0.5f;
        if (!(shifted > -2147483648.0f)) return -2147483647 - 1;
        if (shifted >= 2147483648.0f) return 2147483647;
        return static_cast<int>(shifted);
    }

    // Shared with every object of the level that shows the same file (the world's picture cache).
    std::shared_ptr<const Picture> picture;
    BITMAP* image = nullptr;
    // The picture run-length encoded, for drawing: the same pixels as a masked
    // draw of image, several times faster for the large map pieces that fill
    // every frame.
    RLE_SPRITE* sprite = nullptr;
    int width = 0;
    int height = 0;
    bool visible = false;
    bool dead = false;
    int lifetime = -1;
    Vector position;
    Vector velocity;   // pixels per frame
    Vector acceleration;  // pixels per frame per frame
    bool collidable = false;
    Rect rectangle{0, 0, 0, 0};
    float maxSpeed = 8.0f;  // pixels per frame
    float frictionConstant = 1.0f;
    MapLayer layer = MapLayer(0);
    int id;
};

}  // namespace Torvane
