#include "world/PictureCache.h"

#include <atomic>

#include "world/PictureFile.h"

namespace Torvane {

namespace {

std::atomic<PictureCache*> current{nullptr};

// Allegro grows a run-length form a little at a time; for a picture far larger than any map piece that copying
// costs more than the form saves, so such a picture is drawn masked instead.
constexpr long maxRunLengthArea = 2048L * 2048L;

RLE_SPRITE* runLengthFormOf(BITMAP* bitmap) {
    return static_cast<long>(bitmap->w) * bitmap->h <= maxRunLengthArea ? get_rle_sprite(bitmap) : nullptr;
}

}  // namespace

PictureCache::PictureCache() { current.store(this); }

PictureCache::~PictureCache() {
    PictureCache* self = this;
    current.compare_exchange_strong(self, nullptr);
}

std::shared_ptr<const Picture> PictureCache::load(const std::string& path, std::string& reason) {
    if (PictureCache* cache = current.load()) return cache->get(path, reason);
    BITMAP* bitmap = PictureFile::load(path, reason);
    return bitmap ? std::make_shared<const Picture>(bitmap, runLengthFormOf(bitmap)) : nullptr;
}

Picture::~Picture() {
    if (sprite) destroy_rle_sprite(sprite);
    if (bitmap) destroy_bitmap(bitmap);
}

std::shared_ptr<const Picture> PictureCache::get(const std::string& path, std::string& reason) {
    std::lock_guard<std::mutex> guard(lock);
    if (auto found = pictures.find(path); found != pictures.end()) return found->second;
    if (auto known = refused.find(path); known != refused.end()) {
        reason = known->second;
        return nullptr;
    }
    // Refusals are remembered only while they are few: a level cannot grow the list without bound.
    auto refuse = [&](const std::string& why) -> std::shared_ptr<const Picture> {
        reason = why;
        if (refused.size() < 4096) refused.emplace(path, why);
        return nullptr;
    };
    // One picture is at most PictureFile's limit; the budget is checked once it is known what it costs.
    const long long left = budgetBytes - bytes;
    BITMAP* bitmap = PictureFile::load(path, reason);
    if (!bitmap) return refuse(reason);
    RLE_SPRITE* sprite = runLengthFormOf(bitmap);
    const long long size = static_cast<long long>(bitmap->w) * bitmap->h * ((bitmap_color_depth(bitmap) + 7) / 8) +
                           (sprite ? sprite->size : 0);
    auto picture = std::make_shared<const Picture>(bitmap, sprite);
    if (size > left) return refuse("the level's pictures would take more than " + std::to_string(budgetBytes >> 20) +
                                   " MB");
    bytes += size;
    pictures.emplace(path, picture);
    return picture;
}

void PictureCache::clear() {
    std::lock_guard<std::mutex> guard(lock);
    pictures.clear();
    refused.clear();
    bytes = 0;
}

long long PictureCache::getBytes() {
    std::lock_guard<std::mutex> guard(lock);
    return bytes;
}

size_t PictureCache::getCount() {
    std::lock_guard<std::mutex> guard(lock);
    return pictures.size();
}

}  // namespace Torvane
