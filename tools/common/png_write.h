#pragma once
// Opaque 8-bit RGB PNG files. The bytes depend only on the picture: no time stamp or other
// metadata is written, and compression settings are fixed.
#include <string>
#include <vector>

// rgb holds width * height * 3 bytes (red, green, blue), rows without gaps, top row first, or
// bottom row first (as GL reads them back) when bottomUp is set. The same picture gives the
// same bytes either way. Empty with the reason in *error on failure.
std::vector<unsigned char> encodePngRgb(int width, int height, const unsigned char* rgb, bool bottomUp,
                                        std::string* error = nullptr);

// Encodes and writes the file through plat::OutFile: an existing file is replaced only by a
// complete one. False with the reason in *error when the file cannot be written.
bool writePngRgb(const std::string& path, int width, int height, const unsigned char* rgb,
                 std::string* error = nullptr);
