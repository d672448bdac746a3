#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

// Objects that live until their owner dies, made a block at a time: a long script has tens of thousands of
// nodes and values, and one allocation each (plus a set entry to find them again) was most of its load time.
// Objects never move; all are destroyed together, in the order they were made.
template <typename T, std::size_t BlockSize = 128>
class PellixPool {
public:
    PellixPool() = default;
    ~PellixPool() { clear(); }
    PellixPool(const PellixPool&) = delete;
    PellixPool& operator=(const PellixPool&) = delete;

    template <typename... Args>
    T* make(Args&&... args) {
        if (blocks.empty() || used == BlockSize) {
            Block block = takeSpareBlock();
            if (!block)
                block.reset(new Slot[BlockSize]); // left uninitialised: make_unique would clear it first
            blocks.push_back(std::move(block));
            used = 0;
        }
        // A constructor that throws leaves the slot free.
        T* object = new (&blocks.back()[used]) T(std::forward<Args>(args)...);
        ++used;
        return object;
    }

    void clear() {
        for (std::size_t block = 0; block < blocks.size(); ++block) {
            const std::size_t count = block + 1 == blocks.size() ? used : BlockSize;
            for (std::size_t index = 0; index < count; ++index)
                std::launder(reinterpret_cast<T*>(&blocks[block][index]))->~T();
        }
        keepSpareBlocks(blocks);
        blocks.clear();
        used = 0;
    }

private:
    struct alignas(T) Slot {
        unsigned char bytes[sizeof(T)];
    };
    using Block = std::unique_ptr<Slot[]>;

    // Blocks of pools that were cleared, kept for the next ones, up to 8 MiB a type. Handed back to malloc, they
    // merged into free space that it returned to the system, and every load after the first (a new level, a
    // test, a benchmark loop) paid the page faults of the whole tree again. Made once and never destroyed, so
    // that an engine that dies during static destruction still finds it; shared by threads, hence the lock.
    struct Spare {
        std::mutex lock;
        std::vector<Block> blocks;
    };
    static constexpr std::size_t maxSpareBlocks = (std::size_t{8} << 20) / (sizeof(Slot) * BlockSize);

    static Spare& spare() {
        static Spare* const instance = new Spare;
        return *instance;
    }

    static Block takeSpareBlock() {
        Spare& cache = spare();
        std::lock_guard<std::mutex> guard(cache.lock);
        if (cache.blocks.empty())
            return nullptr;
        Block block = std::move(cache.blocks.back());
        cache.blocks.pop_back();
        return block;
    }

    static void keepSpareBlocks(std::vector<Block>& released) {
        Spare& cache = spare();
        std::lock_guard<std::mutex> guard(cache.lock);
        for (Block& block : released) {
            if (cache.blocks.size() >= maxSpareBlocks)
                break;
            cache.blocks.push_back(std::move(block));
        }
    }

    std::vector<Block> blocks;
    std::size_t used = 0;
};
