#pragma once

namespace Torvane {

// Shuts Allegro down when it is destroyed. The Game holds one as its first member, so it goes
// last: every other member has freed its bitmaps while Allegro could still free them.
class AllegroShutdown {
public:
    AllegroShutdown() = default;
    AllegroShutdown(const AllegroShutdown&) = delete;
    AllegroShutdown& operator=(const AllegroShutdown&) = delete;
    ~AllegroShutdown();
};

}  // namespace Torvane
