#pragma once
// Opaque 8-bit RGB PNG files. The bytes depend only on the picture: no time stamp or other
// metadata is written, and compression settings are fixed.
#include <string>

// rgb holds width * height * 3 bytes (red, green, blue), top row first, rows without gaps.
// False with the reason in *error when the file cannot be written.
bool writePngRgb(const std::string& path, int width, int height, const unsigned char* rgb,
                 std::string* error = nullptr);
