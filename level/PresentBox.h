#pragma once

#include <atomic>

#include "fighters/RealBody.h"

namespace Torvane {

// A pick-up put into the world by the level script: a visible box with a
// picture, or an invisible trigger area. The main player touching it raises
// "OnPresent" with the box's id and corner, halts, and the box is gone the
// next frame. Other contacts only push objects apart: it never lands or
// carries anything, it just rests where the push-out leaves it.
class PresentBox : public RealBody {
public:
    PresentBox();
    ~PresentBox() override;

    // Boxes and trigger areas alive now, in every world: what the level's cap counts.
    static int getCount() { return count.load(); }

    void handleCollision(int side, Object* other) override;

private:
    static std::atomic<int> count;
};

}  // namespace Torvane
