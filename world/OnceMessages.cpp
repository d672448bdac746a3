#include "world/OnceMessages.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace Torvane {

namespace {
std::mutex shownLock;
bool overflowed = false;     // maxShown texts were shown; the last line said so
std::set<std::string> shown;  // one entry per distinct problem, never per fighter or frame; bounded
}  // namespace

bool OnceMessages::show(const std::string& text) {
    {
        std::lock_guard<std::mutex> guard(shownLock);
        if (overflowed || shown.count(text)) return false;
        if (static_cast<int>(shown.size()) == maxShown) {
            // The set stays bounded whatever the data files hold.
            overflowed = true;
            std::printf("More problems with data files are not shown (%d were).\n", maxShown);
            std::fflush(stdout);
            return false;
        }
        shown.insert(text);
    }
    // A line, not a box: these come from level files, often while the game lock is held, and a box would stop
    // the game until someone dismissed it.
    const bool ended = !text.empty() && text.back() == '\n';
    std::printf("%s%s", text.c_str(), ended ? "" : "\n");
    std::fflush(stdout);
    return true;
}

}  // namespace Torvane
