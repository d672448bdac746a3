#include "fighters/Animation.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "world/LevelFile.h"
#include "world/PictureCache.h"
#include "world/OnceMessages.h"
#include "world/PictureFile.h"

namespace Torvane {

namespace {

// A problem with a description file, shown once however many fighters share the role.
void report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void report(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    OnceMessages::show(text);
}

// Reads the whitespace-separated tokens of an animation description, keeping
// line numbers so that a broken file can be reported where it breaks.
class DescriptionReader {
public:
    DescriptionReader(std::ifstream& in, const char* path) : in(in), path(path) {}

    // The next token; false at the end of the file, after reporting what was missing.
    bool nextWord(const std::string& what, std::string& word) {
        word.clear();
        int c;
        while ((c = in.get()) != EOF && isSpace(c)) {
            if (c == '\n') ++lineNumber;
        }
        if (c == EOF) {
            report("%s: the file ends at line %d where %s was expected\n", path, lineNumber, what.c_str());
            return false;
        }
        while (c != EOF && !isSpace(c)) {
            // A word without end (a sheet path of a megabyte) must not be read whole.
            if (word.size() == static_cast<size_t>(Animation::maxWordLength)) {
                report("%s line %d: %s is longer than %d characters; reading stops here\n", path, lineNumber,
                       what.c_str(), Animation::maxWordLength);
                return false;
            }
            word.push_back(static_cast<char>(c));
            c = in.get();
        }
        if (c != EOF) in.unget();
        return true;
    }

    // The next token as a whole int; anything else (1.5, 12x, a number too big
    // for an int) is reported with its line and stops the reading.
    bool nextInteger(const std::string& what, int& value) {
        std::string word;
        if (!nextWord(what, word)) return false;
        errno = 0;
        char* end = nullptr;
        long parsed = std::strtol(word.c_str(), &end, 10);
        if (end == word.c_str() || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
            report("%s line %d: %s should be a whole number, found \"%s\"\n", path, lineNumber, what.c_str(),
                            word.c_str());
            return false;
        }
        value = static_cast<int>(parsed);
        return true;
    }

    int line() const { return lineNumber; }

private:
    static bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

    std::ifstream& in;
    const char* path;
    int lineNumber = 1;
};

void release(AniAction* action) {
    for (BITMAP*& f : action->frames) {
        if (f) destroy_bitmap(f);
        f = nullptr;
    }
    delete action;
}

}  // namespace

Animation::~Animation() {
    for (AniAction* action : actions) release(action);
    actions.clear();
}

bool Animation::load(const char* path) {
    // A FIFO or a name outside the data would block or leak: such a file counts as one that cannot be opened.
    if (!LevelFile::checkFile(path).empty()) return false;
    std::ifstream in(path);
    if (!in) return false;
    DescriptionReader reader(in, path);
    int announced = 0;
    if (!reader.nextInteger("the number of actions", announced)) return true;
    if (announced < 0) {
        report("%s line %d: the number of actions is %d; no action is loaded\n", path, reader.line(),
                        announced);
        return true;
    }
    actionCount = announced;
    for (int a = 0; a < announced; ++a) {
        const std::string which = "action " + std::to_string(a + 1) + " of " + std::to_string(announced);
        int id = 0, actionDelay = 0, loopFlag = 0;
        std::string sheetFile;
        if (!reader.nextInteger("the id of " + which, id)) return true;
        const int idLine = reader.line();
        if (!reader.nextInteger("the delay of " + which, actionDelay) ||
            !reader.nextInteger("the loop flag of " + which, loopFlag) ||
            !reader.nextWord("the sheet file of " + which, sheetFile)) {
            return true;
        }
        if (id < 0 || id > maxActionId) {
            report("%s line %d: the id of %s is %d, outside 0 to %d; the game plays 0 (standing and walking) and 3 "
                   "(dying)\n",
                   path, idLine, which.c_str(), id, maxActionId);
        } else if (findAction(id)) {
            report("%s line %d: %s has the id %d of an earlier action; only the first one is ever played\n", path,
                   idLine, which.c_str(), id);
        }
        if (actionDelay > maxDelay) {
            report("%s line %d: the delay of %s is %d frames, more than %d (ten seconds); each picture stays that "
                   "long\n",
                   path, reader.line(), which.c_str(), actionDelay, maxDelay);
        }
        if (actionDelay < 0) {
            report("%s line %d: the delay of %s is %d; 0 is used\n", path, reader.line(), which.c_str(),
                            actionDelay);
            actionDelay = 0;
        }
        std::string reason;
        std::shared_ptr<const Picture> sheetPicture = PictureCache::load(sheetFile, reason);
        BITMAP* sheet = sheetPicture ? sheetPicture->bitmap : nullptr;
        if (!sheet) {
            report("failed to load bitmap: %s (%s; named in %s line %d)\n", sheetFile.c_str(), reason.c_str(), path,
                   reader.line());
            return true;
        }
        AniAction* action = new AniAction();
        action->id = id;
        action->delay = actionDelay;
        action->loop = loopFlag != 0;
        action->sheet = sheet;
        action->sheetPicture = std::move(sheetPicture);
        // Appended at once so that whatever frames were read survive a break below.
        actions.push_back(action);

        int frameTotal = 0;
        if (!reader.nextInteger("the number of frames of " + which, frameTotal)) return true;
        if (frameTotal < 0) {
            report("%s line %d: %s has %d frames; reading stops here\n", path, reader.line(), which.c_str(),
                            frameTotal);
            return true;
        }
        if (frameTotal > AniAction::maxFrames) {
            report("%s line %d: %s has %d frames; only the first %d are used\n", path, reader.line(),
                            which.c_str(), frameTotal, AniAction::maxFrames);
        }
        for (int i = 0; i < frameTotal; ++i) {
            const std::string frameName = "frame " + std::to_string(i) + " of " + which;
            int left = 0, top = 0, right = 0, bottom = 0;
            if (!reader.nextInteger("the left edge of " + frameName, left) ||
                !reader.nextInteger("the top edge of " + frameName, top) ||
                !reader.nextInteger("the right edge of " + frameName, right) ||
                !reader.nextInteger("the bottom edge of " + frameName, bottom)) {
                return true;
            }
            if (action->frameCount == AniAction::maxFrames) continue;
            // Allegro does not check sub-bitmap bounds: a frame outside its sheet
            // would read outside the picture, so it is left out.
            if (left < 0 || top < 0 || right <= left || bottom <= top || right > sheet->w || bottom > sheet->h) {
                report("%s line %d: %s (%d %d %d %d) is not inside the %dx%d sheet %s; it is left out\n",
                                path, reader.line(), frameName.c_str(), left, top, right, bottom, sheet->w, sheet->h,
                                sheetFile.c_str());
                continue;
            }
            BITMAP* frameBitmap = create_sub_bitmap(sheet, left, top, right - left, bottom - top);
            if (!frameBitmap) {
                report("failed to create sub bitmap for %s\n", sheetFile.c_str());
                continue;
            }
            action->frames[action->frameCount++] = frameBitmap;
        }
    }
    return true;
}

const AniAction* Animation::findAction(int id) const {
    for (AniAction* action : actions) {
        if (action->id == id) return action;
    }
    return nullptr;
}

void Animation::setAction(int id) {
    for (AniAction* action : actions) {
        if (action->id != id) continue;
        current = action;
        actionId = id;
        frame = 0;
        delay = action->delay;
        loop = action->loop;
        delayCounter = 0;
        return;
    }
}

void Animation::setAction(int id, bool loopOverride) {
    setAction(id);
    loop = loopOverride;
}

void Animation::setFrame(int f) {
    if (!current || f < 0 || f >= current->frameCount) f = 0;
    frame = f;
}

BITMAP* Animation::currentFrame() const {
    if (!current || frame < 0 || frame >= current->frameCount) return nullptr;
    return current->frames[frame];
}

int Animation::getFrameWidth() const {
    BITMAP* f = currentFrame();
    return f ? f->w : 0;
}

int Animation::getFrameHeight() const {
    BITMAP* f = currentFrame();
    return f ? f->h : 0;
}

void Animation::nextFrame() {
    if (!current || current->frameCount == 0) return;
    if (delayCounter == 0) {
        if (frame < current->frameCount - 1) {
            frame += 1;
        } else if (loop) {
            frame = 0;
        }
        delayCounter = delay;
    } else {
        delayCounter -= 1;
    }
}

void Animation::draw(BITMAP* target, int x, int y) {
    BITMAP* f = currentFrame();
    if (!f) return;
    if (direction == 1) {
        draw_sprite_h_flip(target, f, x, y);
    } else {
        draw_sprite(target, f, x, y);
    }
}

}  // namespace Torvane
