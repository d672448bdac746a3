#include "tools/common/SavePicture.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>

extern char** environ;

bool savePicture(BITMAP* frame, const std::string& output) {
    const bool png = output.size() > 4 && output.compare(output.size() - 4, 4, ".png") == 0;
    const std::string bmp = png ? output + ".tmp.bmp" : output;
    if (save_bitmap(bmp.c_str(), frame, nullptr) != 0) return false;
    if (!png) return true;
    // Run convert directly, not through a shell: file names may hold any character.
    // Without dates the same frame always gives the same file.
    char* arguments[] = {const_cast<char*>("convert"), const_cast<char*>(bmp.c_str()),
                         const_cast<char*>("-define"), const_cast<char*>("png:exclude-chunks=date,time"),
                         const_cast<char*>(output.c_str()), nullptr};
    pid_t child = 0;
    int status = 0;
    bool converted = posix_spawnp(&child, "convert", nullptr, nullptr, arguments, environ) == 0 &&
                     waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::remove(bmp.c_str());
    return converted;
}
