#pragma once

#include <string>

// Each family of game data is produced by its own function, in its own file.
// All of them write below dataDirectory, the folder the game runs in.
namespace Art {

void drawGuiArt(const std::string& dataDirectory);
void drawGorgeArt(const std::string& dataDirectory);
void drawFortArt(const std::string& dataDirectory);
void drawMapArt(const std::string& dataDirectory);
void drawNightArt(const std::string& dataDirectory);
void drawPresentArt(const std::string& dataDirectory);
void drawRoleArt(const std::string& dataDirectory);
void drawVersusArt(const std::string& dataDirectory);
void writeSoundArt(const std::string& dataDirectory);

}  // namespace Art
