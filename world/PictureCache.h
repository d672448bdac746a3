#pragma once

#include <allegro.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace Torvane {

// A picture loaded once and shared by every object that shows it, with its run-length form for fast drawing.
struct Picture {
    Picture(BITMAP* bitmap, RLE_SPRITE* sprite) : bitmap(bitmap), sprite(sprite) {}
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture();

    BITMAP* bitmap;
    RLE_SPRITE* sprite;  // may be null when Allegro had no memory for it
};

// The pictures of the level in play, one per path, within a budget: a level naming one picture ten thousand times
// pays for it once, and a level of many large pictures is refused the ones past the budget. The world empties it
// with the map; objects keep the pictures they show alive until they go. Safe from both threads, so that a script
// can load the pictures it is about to use before it takes the game lock.
class PictureCache {
public:
    static constexpr long long budgetBytes = 256LL << 20;  // decoded pixels and their run-length forms

    PictureCache();
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;
    ~PictureCache();

    // The picture, or null with reason saying why (the file's own problem, or the budget).
    std::shared_ptr<const Picture> get(const std::string& path, std::string& reason);
    // From the world's cache (the latest made that still exists), or, without a world (a tool), loaded alone.
    static std::shared_ptr<const Picture> load(const std::string& path, std::string& reason);
    void clear();
    long long getBytes();
    size_t getCount();

private:
    std::mutex lock;
    std::map<std::string, std::shared_ptr<const Picture>> pictures;
    std::map<std::string, std::string> refused;  // path -> why, so a refused file is not read again
    long long bytes = 0;
};

}  // namespace Torvane
