#pragma once
// The seven scene pictures, drawn procedurally. Same bytes on every run.
#include <string>
#include <vector>

namespace art {

struct Sprite {
    std::string file;                 // "morvask.bmp", ...
    int width;
    int height;
    std::vector<unsigned char> rgb;   // width * height * 3, bottom row first; (0, 0, 0) = transparent
};

// All seven, in the order the demo loads them.
std::vector<Sprite> makeSprites();

// Writes the pictures into `dir` (which must exist), each replacing a file of its name only
// once complete. Returns "" or why the first failing one could not be written, naming it.
std::string writeSprites(const std::string& dir, const std::vector<Sprite>& sprites);

}  // namespace art
