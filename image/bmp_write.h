#pragma once
// Writes 24-bit BMP files (14-byte file header, 40-byte info header, bottom-up rows padded to
// four bytes). Used by the asset makers and by tests that need small pictures.
#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height * 3 bytes (red, green, blue), bottom row first, rows without gaps.
std::vector<unsigned char> encodeBmp24(int width, int height, const unsigned char* rgb);
bool writeBmp24(const std::string& path, int width, int height, const unsigned char* rgb);
