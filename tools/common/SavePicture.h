#pragma once

#include <allegro.h>

#include <string>

// Saves a frame as a BMP, or as a PNG (through ImageMagick's convert) when the name ends in .png.
bool savePicture(BITMAP* frame, const std::string& output);
