#pragma once

#include <allegro.h>

#include <string>
#include <vector>

// Saves what the asset tool draws, making folders as needed, and stops the
// build with a clear message when a file cannot be written.
class AssetWriter {
public:
    static void makeDirectories(const std::string& path);
    // Saves a 24-bit BMP (exact colours; magenta stays the transparent colour).
    static void saveBitmap(BITMAP* bitmap, const std::string& path);
    static void saveText(const std::string& text, const std::string& path);
    static void saveBytes(const std::string& bytes, const std::string& path);
    // Every file saved so far, in order: the build checks them to know when to run the tool again.
    static const std::vector<std::string>& getSavedPaths();
};
