// The fighters: for every role a walk sheet (a standing pose and an eight-phase
// walk cycle), a dying sheet that falls forward and ends lying on the ground, the
// animation description naming both, and the three weapon pictures, drawn to be
// held at the fighter's centre.
//
// Figures are drawn from a jointed skeleton onto a canvas four times finer than
// the picture and then reduced: a pixel is solid when at least half of it is
// covered, and takes the average colour of what covers it. Magenta is
// transparent; solid pixels on the silhouette are darkened into an outline.
#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/assets/Art.h"
#include "tools/assets/AssetWriter.h"

namespace {

constexpr int fine = 4;  // canvas samples per picture pixel, each way
constexpr float pi = 3.14159265f;

// Size of a standing fighter; the feet stand at the middle of the bottom row.
constexpr int frameWidth = 28;
constexpr int frameHeight = 46;

struct Colour {
    float r, g, b;
    Colour shade(float f) const { return {std::min(255.0f, r * f), std::min(255.0f, g * f), std::min(255.0f, b * f)}; }
};

struct Point {
    float x, y;
};

class Canvas {
public:
    Canvas(int width, int height)
        : width(width), height(height), colours(static_cast<size_t>(width * height * fine * fine)),
          covered(colours.size(), false) {}

    int getWidth() const { return width; }
    int getHeight() const { return height; }

    // Even-odd fill at the centre of every sample.
    void polygon(const std::vector<Point>& points, Colour colour) {
        float top = 1e9f, bottom = -1e9f;
        for (const Point& p : points) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        int firstRow = std::max(0, static_cast<int>(std::floor(top * fine)));
        int lastRow = std::min(height * fine - 1, static_cast<int>(std::ceil(bottom * fine)));
        std::vector<float> crossings;
        for (int sy = firstRow; sy <= lastRow; ++sy) {
            float y = (sy + 0.5f) / fine;
            crossings.clear();
            for (size_t i = 0; i < points.size(); ++i) {
                const Point& a = points[i];
                const Point& b = points[(i + 1) % points.size()];
                if ((a.y <= y && b.y > y) || (b.y <= y && a.y > y)) {
                    crossings.push_back(a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x));
                }
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
                int from = std::max(0, static_cast<int>(std::ceil(crossings[i] * fine - 0.5f)));
                int to = std::min(width * fine - 1, static_cast<int>(std::floor(crossings[i + 1] * fine - 0.5f)));
                for (int sx = from; sx <= to; ++sx) set(sx, sy, colour);
            }
        }
    }

    // Every sample within radius of the segment: limbs, straps, barrels.
    void capsule(Point a, Point b, float radius, Colour colour) {
        int left = std::max(0, static_cast<int>((std::min(a.x, b.x) - radius) * fine));
        int right = std::min(width * fine - 1, static_cast<int>((std::max(a.x, b.x) + radius) * fine) + 1);
        int top = std::max(0, static_cast<int>((std::min(a.y, b.y) - radius) * fine));
        int bottom = std::min(height * fine - 1, static_cast<int>((std::max(a.y, b.y) + radius) * fine) + 1);
        float dx = b.x - a.x, dy = b.y - a.y;
        float lengthSquared = dx * dx + dy * dy;
        for (int sy = top; sy <= bottom; ++sy) {
            for (int sx = left; sx <= right; ++sx) {
                float px = (sx + 0.5f) / fine, py = (sy + 0.5f) / fine;
                float t = lengthSquared > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / lengthSquared : 0;
                t = std::max(0.0f, std::min(1.0f, t));
                float ex = px - (a.x + t * dx), ey = py - (a.y + t * dy);
                if (ex * ex + ey * ey <= radius * radius) set(sx, sy, colour);
            }
        }
    }

    void disc(Point centre, float radius, Colour colour) { capsule(centre, centre, radius, colour); }

    // The reduced picture, cut out of the canvas at (left, top).
    BITMAP* picture(int left, int top, int pictureWidth, int pictureHeight, bool outline) const {
        BITMAP* b = create_bitmap(pictureWidth, pictureHeight);
        const int magenta = makecol(255, 0, 255);
        clear_to_color(b, magenta);
        std::vector<bool> solid(static_cast<size_t>(pictureWidth * pictureHeight), false);
        std::vector<Colour> pixels(solid.size(), Colour{0, 0, 0});
        for (int y = 0; y < pictureHeight; ++y) {
            for (int x = 0; x < pictureWidth; ++x) {
                int cx = left + x, cy = top + y;
                if (cx < 0 || cy < 0 || cx >= width || cy >= height) continue;
                int count = 0;
                Colour sum{0, 0, 0};
                for (int sy = 0; sy < fine; ++sy) {
                    for (int sx = 0; sx < fine; ++sx) {
                        size_t i = index(cx * fine + sx, cy * fine + sy);
                        if (!covered[i]) continue;
                        ++count;
                        sum.r += colours[i].r;
                        sum.g += colours[i].g;
                        sum.b += colours[i].b;
                    }
                }
                if (count * 2 < fine * fine) continue;
                solid[static_cast<size_t>(y * pictureWidth + x)] = true;
                pixels[static_cast<size_t>(y * pictureWidth + x)] = {sum.r / count, sum.g / count, sum.b / count};
            }
        }
        auto isSolid = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < pictureWidth && y < pictureHeight &&
                   solid[static_cast<size_t>(y * pictureWidth + x)];
        };
        for (int y = 0; y < pictureHeight; ++y) {
            for (int x = 0; x < pictureWidth; ++x) {
                if (!isSolid(x, y)) continue;
                Colour c = pixels[static_cast<size_t>(y * pictureWidth + x)];
                bool edge = !isSolid(x - 1, y) || !isSolid(x + 1, y) || !isSolid(x, y - 1) || !isSolid(x, y + 1);
                if (outline && edge) c = c.shade(0.5f);
                int r = static_cast<int>(c.r + 0.5f), g = static_cast<int>(c.g + 0.5f), bl = static_cast<int>(c.b + 0.5f);
                // Pure magenta would vanish; nudge it.
                if (r == 255 && g == 0 && bl == 255) g = 1;
                putpixel(b, x, y, makecol(r, g, bl));
            }
        }
        return b;
    }

    // Smallest box of pixels that reduce to solid: {left, top, right, bottom}, exclusive ends.
    void solidBounds(int& left, int& top, int& right, int& bottom) const {
        left = width;
        top = height;
        right = 0;
        bottom = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                int count = 0;
                for (int sy = 0; sy < fine; ++sy) {
                    for (int sx = 0; sx < fine; ++sx) count += covered[index(x * fine + sx, y * fine + sy)] ? 1 : 0;
                }
                if (count * 2 < fine * fine) continue;
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x + 1);
                bottom = std::max(bottom, y + 1);
            }
        }
    }

private:
    size_t index(int sx, int sy) const { return static_cast<size_t>(sy) * width * fine + sx; }
    void set(int sx, int sy, Colour colour) {
        size_t i = index(sx, sy);
        colours[i] = colour;
        covered[i] = true;
    }

    int width, height;
    std::vector<Colour> colours;
    std::vector<bool> covered;
};

enum class Headgear { Bandana, Helmet, BushHat };

struct RoleStyle {
    const char* name;
    Colour skin, hair, shirt, trousers, boots, gear;
    Headgear headgear;
    bool vest;      // armour plate over the chest
    bool backpack;  // pack on the back
    bool camouflage;
};

// Where a body-space point (feet at the origin, facing right, y down) lands on
// the canvas: turned forward by `fall` radians about the feet, then placed.
struct Placement {
    Point feet;
    float fall = 0;

    Point operator()(Point p) const {
        float c = std::cos(fall), s = std::sin(fall);
        return {feet.x + p.x * c - p.y * s, feet.y + p.x * s + p.y * c};
    }
    std::vector<Point> operator()(const std::vector<Point>& points) const {
        std::vector<Point> placed;
        for (const Point& p : points) placed.push_back((*this)(p));
        return placed;
    }
};

// Joint angles of one picture, in radians; a positive hip angle swings the leg forward.
struct Pose {
    float frontHip = 0, frontKnee = 0.08f;
    float backHip = 0, backKnee = 0.08f;
    float bob = 0;                // pixels the body is lowered
    Point frontHand{8.5f, -24.5f}, backHand{4.5f, -24.0f};
    float headTilt = 0;           // pixels the head moves forward
};

std::vector<Point> ellipse(Point centre, float rx, float ry, float from, float to, int steps) {
    std::vector<Point> points;
    for (int i = 0; i <= steps; ++i) {
        float a = from + (to - from) * static_cast<float>(i) / steps;
        points.push_back({centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)});
    }
    return points;
}

void drawLeg(Canvas& canvas, const Placement& place, const RoleStyle& style, float hipY, float hipAngle,
             float kneeBend, float shade) {
    Point hip{0, hipY};
    Point knee{hip.x + 10.5f * std::sin(hipAngle), hip.y + 10.5f * std::cos(hipAngle)};
    float shinAngle = hipAngle - kneeBend;
    Point ankle{knee.x + 9.5f * std::sin(shinAngle), knee.y + 9.5f * std::cos(shinAngle)};
    Colour trousers = style.trousers.shade(shade);
    canvas.capsule(place(hip), place(knee), 2.8f, trousers);
    canvas.capsule(place(knee), place(ankle), 2.4f, trousers);
    // Boots stay level with the ground whatever the leg does.
    std::vector<Point> boot = {{ankle.x - 2.8f, ankle.y - 2.0f}, {ankle.x + 1.5f, ankle.y - 2.0f},
                               {ankle.x + 5.0f, ankle.y + 0.5f}, {ankle.x + 5.0f, ankle.y + 2.5f},
                               {ankle.x - 2.8f, ankle.y + 2.5f}};
    canvas.polygon(place(boot), style.boots.shade(shade));
    canvas.capsule(place({ankle.x - 2.6f, ankle.y + 2.1f}), place({ankle.x + 4.8f, ankle.y + 2.1f}), 0.45f,
                   style.boots.shade(shade * 0.6f));
}

void drawArm(Canvas& canvas, const Placement& place, const RoleStyle& style, Point shoulder, Point hand,
             float shade) {
    // The elbow sits off the straight line to the hand, on its lower side.
    Point middle{(shoulder.x + hand.x) / 2, (shoulder.y + hand.y) / 2};
    float dx = hand.x - shoulder.x, dy = hand.y - shoulder.y;
    float length = std::max(0.01f, std::sqrt(dx * dx + dy * dy));
    const float reach = 13.0f;  // upper arm plus forearm
    float out = length < reach ? std::sqrt((reach / 2) * (reach / 2) - (length / 2) * (length / 2)) : 0;
    Point across{-dy / length, dx / length};
    if (across.y < 0) across = {-across.x, -across.y};
    Point elbow{middle.x + across.x * out, middle.y + across.y * out};
    Colour sleeve = style.shirt.shade(shade);
    canvas.capsule(place(shoulder), place(elbow), 2.2f, sleeve);
    canvas.capsule(place(elbow), place(hand), 1.9f, sleeve);
    canvas.disc(place(hand), 1.7f, style.skin.shade(shade));
}

void drawHead(Canvas& canvas, const Placement& place, const RoleStyle& style, Point centre) {
    canvas.capsule(place({centre.x - 0.8f, centre.y + 3.0f}), place({centre.x - 0.6f, centre.y + 5.0f}), 1.8f,
                   style.skin.shade(0.85f));  // neck
    switch (style.headgear) {
        case Headgear::Bandana:
            canvas.disc(place({centre.x - 0.7f, centre.y - 0.4f}), 4.6f, style.hair);
            canvas.disc(place({centre.x + 0.4f, centre.y + 0.4f}), 4.2f, style.skin);
            canvas.polygon(place(ellipse({centre.x - 0.3f, centre.y - 0.6f}, 4.7f, 4.7f, pi, 2 * pi, 12)),
                           style.hair);
            // The cloth band and its knot tails flying behind.
            canvas.capsule(place({centre.x - 4.2f, centre.y - 2.2f}), place({centre.x + 4.2f, centre.y - 2.6f}),
                           1.25f, style.gear);
            canvas.capsule(place({centre.x - 4.6f, centre.y - 2.0f}), place({centre.x - 8.4f, centre.y + 0.4f}),
                           0.9f, style.gear.shade(0.8f));
            canvas.capsule(place({centre.x - 4.6f, centre.y - 1.6f}), place({centre.x - 7.6f, centre.y + 2.2f}),
                           0.8f, style.gear.shade(0.7f));
            break;
        case Headgear::Helmet:
            canvas.disc(place({centre.x + 0.4f, centre.y + 0.4f}), 4.2f, style.skin);
            canvas.polygon(place(ellipse({centre.x, centre.y - 0.4f}, 5.6f, 5.4f, pi, 2 * pi, 14)), style.gear);
            canvas.capsule(place({centre.x - 5.4f, centre.y - 0.3f}), place({centre.x + 6.2f, centre.y - 0.3f}), 0.9f,
                           style.gear.shade(0.7f));
            canvas.capsule(place({centre.x - 3.0f, centre.y - 4.2f}), place({centre.x + 2.0f, centre.y - 4.8f}),
                           0.6f, style.gear.shade(1.35f));  // shine
            // Goggles over the eyes.
            canvas.capsule(place({centre.x + 1.6f, centre.y + 0.9f}), place({centre.x + 4.0f, centre.y + 0.9f}),
                           0.9f, Colour{40, 60, 90});
            break;
        case Headgear::BushHat:
            canvas.disc(place({centre.x + 0.4f, centre.y + 0.4f}), 4.2f, style.skin);
            canvas.polygon(place(ellipse({centre.x, centre.y - 1.4f}, 4.6f, 3.8f, pi, 2 * pi, 12)), style.gear);
            canvas.polygon(place(ellipse({centre.x + 0.4f, centre.y - 1.2f}, 8.0f, 1.4f, 0, 2 * pi, 16)),
                           style.gear.shade(0.85f));
            canvas.capsule(place({centre.x - 4.2f, centre.y - 2.2f}), place({centre.x + 4.2f, centre.y - 2.2f}), 0.5f,
                           style.gear.shade(0.55f));  // hat band
            break;
    }
    if (style.headgear != Headgear::Helmet) {
        canvas.disc(place({centre.x + 2.7f, centre.y + 0.2f}), 0.7f, Colour{30, 24, 20});  // eye
    }
    canvas.capsule(place({centre.x + 2.0f, centre.y + 2.6f}), place({centre.x + 3.3f, centre.y + 2.4f}), 0.35f,
                   style.skin.shade(0.6f));  // mouth
}

void drawFighter(Canvas& canvas, const Placement& place, const RoleStyle& style, const Pose& pose) {
    const float hipY = -22.5f + pose.bob;
    const float top = hipY - 15.0f;  // shoulders
    Placement body = place;

    drawLeg(canvas, body, style, hipY, pose.backHip, pose.backKnee, 0.72f);
    if (style.backpack) {
        std::vector<Point> pack = {{-9.5f, top + 1.5f}, {-4.0f, top + 0.5f}, {-4.0f, top + 12.5f}, {-9.0f, top + 12.0f}};
        canvas.polygon(body(pack), style.gear.shade(0.8f));
        canvas.capsule(body({-9.2f, top + 7.5f}), body({-5.0f, top + 7.5f}), 0.5f, style.gear.shade(0.55f));
        canvas.disc(body({-7.0f, top + 2.0f}), 2.0f, Colour{110, 120, 80});  // rolled blanket
    }
    drawArm(canvas, body, style, {-1.6f, top + 1.8f}, pose.backHand, 0.7f);

    // Hips and torso.
    std::vector<Point> hips = {{-4.8f, hipY - 2.5f}, {4.2f, hipY - 2.5f}, {4.6f, hipY + 2.5f}, {-5.0f, hipY + 2.5f}};
    canvas.polygon(body(hips), style.trousers);
    std::vector<Point> torso = {{-4.6f, hipY - 1.5f}, {4.3f, hipY - 1.5f}, {5.4f, top + 6.5f},
                                {3.6f, top},          {-4.4f, top},        {-5.8f, top + 7.0f}};
    canvas.polygon(body(torso), style.shirt);
    std::vector<Point> back = {{-4.6f, hipY - 1.5f}, {-2.0f, hipY - 1.5f}, {-2.0f, top + 0.3f},
                               {-4.4f, top},         {-5.8f, top + 7.0f}};
    canvas.polygon(body(back), style.shirt.shade(0.8f));
    if (style.camouflage) {
        Colour dark = style.shirt.shade(0.62f), light = style.shirt.shade(1.25f);
        canvas.disc(body({-2.2f, top + 4.0f}), 1.3f, dark);
        canvas.disc(body({2.2f, top + 9.0f}), 1.5f, dark);
        canvas.disc(body({0.4f, top + 6.0f}), 1.0f, light);
        canvas.disc(body({-3.0f, top + 11.0f}), 1.1f, light);
    }
    if (style.vest) {
        std::vector<Point> vest = {{-4.0f, hipY - 3.0f}, {4.6f, hipY - 3.0f}, {5.6f, top + 6.0f},
                                   {3.0f, top + 1.5f},   {-3.8f, top + 1.5f}, {-5.0f, top + 6.5f}};
        canvas.polygon(body(vest), style.gear.shade(0.75f));
        canvas.capsule(body({-3.0f, top + 5.0f}), body({4.0f, top + 5.0f}), 0.4f, style.gear.shade(0.5f));
        canvas.capsule(body({-3.0f, top + 9.0f}), body({4.4f, top + 9.0f}), 0.4f, style.gear.shade(0.5f));
    } else {
        // A strap across the chest.
        canvas.capsule(body({-3.8f, top + 1.0f}), body({3.8f, hipY - 3.0f}), 0.7f, style.gear.shade(0.6f));
    }
    canvas.capsule(body({-4.8f, hipY - 1.6f}), body({4.4f, hipY - 1.6f}), 1.0f, Colour{45, 35, 25});  // belt
    canvas.disc(body({2.8f, hipY - 1.6f}), 0.8f, Colour{190, 170, 90});                              // buckle

    drawHead(canvas, body, style, {0.8f + pose.headTilt, top - 4.4f});
    drawLeg(canvas, body, style, hipY, pose.frontHip, pose.frontKnee, 1.0f);
    drawArm(canvas, body, style, {1.0f, top + 1.8f}, pose.frontHand, 1.0f);
}

Pose standing() {
    Pose pose;
    pose.frontHip = 0.10f;
    pose.backHip = -0.10f;
    return pose;
}

// Phase 0 to 1 through one whole stride.
Pose walking(float phase) {
    Pose pose;
    float a = 2 * pi * phase;
    const float swing = 0.48f;  // radians either way
    pose.frontHip = swing * std::sin(a);
    pose.backHip = -swing * std::sin(a);
    // A knee bends while its leg travels forward, to clear the ground.
    pose.frontKnee = 0.08f + 0.75f * std::max(0.0f, std::cos(a));
    pose.backKnee = 0.08f + 0.75f * std::max(0.0f, -std::cos(a));
    pose.bob = 1.2f * std::fabs(std::sin(a));
    pose.frontHand.y += pose.bob * 0.5f;
    pose.backHand.y += pose.bob * 0.5f;
    return pose;
}

// Step 0 to 1 of the fall: knees give, arms fly out, the body pitches forward.
Pose dying(float step) {
    Pose pose;
    // The legs buckle on the way down and lie straight at the end.
    pose.frontHip = 0.1f + 0.35f * std::sin(pi * step) - 0.1f * step;
    pose.backHip = -0.1f - 0.15f * std::sin(pi * step) + 0.1f * step;
    pose.frontKnee = 0.1f + 0.6f * std::sin(pi * step);
    pose.backKnee = 0.1f + 0.4f * std::sin(pi * step);
    // Hands go up past the head: lying, the arms reach out beyond it.
    pose.frontHand = {8.5f - 3.5f * step, -24.5f - 20.0f * step};
    pose.backHand = {4.5f - 2.5f * step, -24.0f - 18.0f * step};
    pose.headTilt = 1.0f * step;
    return pose;
}

// Lays pictures side by side (one pixel apart) and writes the sheet.
std::vector<std::vector<int>> saveSheet(const std::vector<BITMAP*>& pictures, const std::string& path) {
    int width = 0, height = 0;
    for (BITMAP* p : pictures) {
        width += p->w + 1;
        height = std::max(height, p->h);
    }
    BITMAP* sheet = create_bitmap(width, height);
    clear_to_color(sheet, makecol(255, 0, 255));
    std::vector<std::vector<int>> rectangles;
    int x = 0;
    for (BITMAP* p : pictures) {
        blit(p, sheet, 0, 0, x, 0, p->w, p->h);
        rectangles.push_back({x, 0, x + p->w, p->h});
        x += p->w + 1;
    }
    AssetWriter::saveBitmap(sheet, path);
    destroy_bitmap(sheet);
    return rectangles;
}

std::string describeAction(int id, int delay, bool loop, const std::string& sheet,
                           const std::vector<std::vector<int>>& rectangles) {
    std::string text = std::to_string(id) + " " + std::to_string(delay) + " " + (loop ? "1" : "0") + " " + sheet +
                       "\n" + std::to_string(rectangles.size()) + "\n";
    for (const std::vector<int>& r : rectangles) {
        text += std::to_string(r[0]) + " " + std::to_string(r[1]) + " " + std::to_string(r[2]) + " " +
                std::to_string(r[3]) + "\n";
    }
    return text;
}

// Weapons point right with the grip at the picture's centre: the game draws them
// centred on the fighter and turns them toward the aim.
BITMAP* rifle(const RoleStyle& style) {
    // About two thirds of a fighter's height, as a carbine is; the grip at the middle.
    Canvas canvas(34, 10);
    Colour steel{62, 68, 76}, dark{30, 33, 38};
    Colour wood = style.name == std::string("ranger") ? Colour{120, 84, 50} : Colour{48, 50, 54};
    canvas.polygon({{0.5f, 2.5f}, {9.0f, 3.5f}, {9.0f, 6.5f}, {1.2f, 8.0f}}, wood);               // stock
    canvas.polygon({{8.5f, 2.5f}, {22.0f, 2.5f}, {22.0f, 6.0f}, {8.5f, 6.0f}}, steel);             // receiver
    canvas.polygon({{10.5f, 1.2f}, {18.0f, 1.2f}, {18.0f, 2.6f}, {10.5f, 2.6f}}, dark);            // carry rail
    canvas.polygon({{15.5f, 5.6f}, {18.3f, 5.6f}, {17.2f, 9.5f}, {15.0f, 9.5f}}, dark);            // grip
    canvas.polygon({{11.2f, 5.6f}, {14.4f, 5.6f}, {13.6f, 9.0f}, {10.8f, 9.0f}}, dark);            // magazine
    canvas.polygon({{21.5f, 3.0f}, {28.0f, 3.0f}, {28.0f, 6.0f}, {21.5f, 6.0f}}, wood.shade(0.9f));  // handguard
    canvas.capsule({28.0f, 4.3f}, {33.3f, 4.3f}, 0.8f, dark);                                    // barrel
    canvas.capsule({9.0f, 3.1f}, {21.5f, 3.1f}, 0.35f, steel.shade(1.6f));  // light on the top edge
    return canvas.picture(0, 0, 34, 10, true);
}

BITMAP* pistol(const RoleStyle&) {
    Canvas canvas(16, 8);
    Colour steel{70, 74, 82}, dark{28, 30, 34};
    canvas.polygon({{3.0f, 1.2f}, {15.5f, 1.2f}, {15.5f, 3.8f}, {3.0f, 3.8f}}, steel);  // slide
    canvas.polygon({{5.5f, 3.4f}, {9.0f, 3.4f}, {8.3f, 7.6f}, {5.0f, 7.6f}}, dark);     // grip under the hand
    canvas.capsule({9.0f, 4.5f}, {10.3f, 4.1f}, 0.45f, dark);                           // trigger guard
    canvas.capsule({3.5f, 1.5f}, {15.0f, 1.5f}, 0.3f, steel.shade(1.7f));
    return canvas.picture(0, 0, 16, 8, true);
}

BITMAP* grenade(const RoleStyle&) {
    Canvas canvas(10, 12);
    Colour body{70, 92, 54};
    canvas.disc({5.0f, 7.0f}, 4.2f, body);
    canvas.capsule({2.0f, 6.0f}, {8.0f, 6.0f}, 0.35f, body.shade(0.6f));
    canvas.capsule({2.0f, 8.5f}, {8.0f, 8.5f}, 0.35f, body.shade(0.6f));
    canvas.disc({3.6f, 5.6f}, 1.0f, body.shade(1.4f));
    canvas.polygon({{3.5f, 1.5f}, {6.5f, 1.5f}, {6.5f, 3.5f}, {3.5f, 3.5f}}, Colour{120, 124, 130});  // fuse head
    canvas.capsule({6.5f, 2.0f}, {8.8f, 5.5f}, 0.5f, Colour{150, 154, 160});                           // lever
    return canvas.picture(0, 0, 10, 12, true);
}

void drawRole(const std::string& dataDirectory, const RoleStyle& style) {
    const std::string relative = std::string("image/role/") + style.name + "/";
    const std::string folder = dataDirectory + "/" + relative;

    // Action 0: standing, then the walk cycle; all pictures the size of a fighter.
    std::vector<BITMAP*> walk;
    const int walkPhases = 8;
    for (int i = 0; i <= walkPhases; ++i) {
        Canvas canvas(frameWidth, frameHeight);
        Placement place{{frameWidth / 2.0f, static_cast<float>(frameHeight)}, 0};
        Pose pose = i == 0 ? standing() : walking((i - 1 + 0.5f) / walkPhases);
        drawFighter(canvas, place, style, pose);
        walk.push_back(canvas.picture(0, 0, frameWidth, frameHeight, true));
    }

    // Action 3: the fall. Each picture keeps the standing picture's left edge, so
    // the feet stay where they were, and is cut down to the body at the top,
    // right and bottom: the last one is a body lying on the ground.
    std::vector<BITMAP*> die;
    const float falls[] = {0.0f, 0.22f, 0.55f, 0.92f, 1.28f, 1.5708f};
    const int dyingSteps = static_cast<int>(sizeof(falls) / sizeof(falls[0]));
    for (int i = 0; i < dyingSteps; ++i) {
        Canvas canvas(80, 80);
        Placement place{{frameWidth / 2.0f, 60.0f}, falls[i]};
        Pose pose = dying(static_cast<float>(i) / (dyingSteps - 1));
        drawFighter(canvas, place, style, pose);
        int left, top, right, bottom;
        canvas.solidBounds(left, top, right, bottom);
        right = std::max(right, frameWidth);
        die.push_back(canvas.picture(0, top, right, bottom - top, true));
    }

    std::vector<std::vector<int>> walkFrames = saveSheet(walk, folder + "walk.bmp");
    std::vector<std::vector<int>> dieFrames = saveSheet(die, folder + "die.bmp");
    std::string description = "2\n" + describeAction(0, 1, true, relative + "walk.bmp", walkFrames) +
                              describeAction(3, 3, false, relative + "die.bmp", dieFrames);
    AssetWriter::saveText(description, folder + "config.dat");
    for (BITMAP* b : walk) destroy_bitmap(b);
    for (BITMAP* b : die) destroy_bitmap(b);

    BITMAP* weapons[] = {rifle(style), pistol(style), grenade(style)};
    AssetWriter::saveBitmap(weapons[0], folder + "gun.bmp");
    AssetWriter::saveBitmap(weapons[1], folder + "pistol.bmp");
    AssetWriter::saveBitmap(weapons[2], folder + "grenade.bmp");
    for (BITMAP* b : weapons) destroy_bitmap(b);
}

}  // namespace

namespace Art {

void drawRoleArt(const std::string& dataDirectory) {
    // Two opposing sides, red raiders and blue troopers, and a green ranger; the raiders' captain in dark red
    // with a bronze armour plate and bandana, drawn to a raider's measure (the same frames), so that the player sees who leads a wave.
    const RoleStyle roles[] = {
        {"kr", {226, 178, 140}, {40, 30, 26}, {178, 44, 40}, {46, 44, 52}, {34, 28, 24}, {214, 60, 50},
         Headgear::Bandana, false, false, false},
        {"kt", {236, 196, 166}, {90, 70, 50}, {56, 92, 156}, {44, 58, 86}, {26, 28, 36}, {104, 118, 136},
         Headgear::Helmet, true, false, false},
        {"ranger", {196, 150, 112}, {60, 44, 30}, {92, 112, 62}, {84, 78, 56}, {58, 42, 30}, {168, 146, 100},
         Headgear::BushHat, false, true, true},
        {"captain", {214, 166, 128}, {26, 20, 18}, {112, 22, 30}, {34, 30, 36}, {20, 16, 14}, {176, 138, 66},
         Headgear::Bandana, true, false, false},
    };
    for (const RoleStyle& role : roles) drawRole(dataDirectory, role);
}

}  // namespace Art
