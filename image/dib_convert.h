#pragma once
// Pixel conversion: DIB pixel bits in, packed red-green-blue rows out, bottom row first.
#include <cstddef>
#include <cstdint>

namespace dib {

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitFields = 3;

struct Masks {
    uint32_t red, green, blue;
};

// Everything the conversion needs, already checked against the file by the caller: for
// uncompressed encodings `bits` holds every row; an RLE stream is checked as it is read.
struct PixelSource {
    int32_t width;         // 1 .. 32768
    int32_t height;        // rows, 1 .. 32768
    bool topDown;          // first stored row is the picture's top row
    uint16_t bitCount;     // 1, 4, 8, 16, 24 or 32
    uint32_t compression;  // kBiRgb, kBiRle8 (8 bits), kBiRle4 (4 bits), kBiBitFields (16, 32)
    Masks masks;           // 16 and 32 bits: contiguous, disjoint, inside the pixel
    const uint32_t* palette;  // 256 entries; bytes in memory: red, green, blue, 0
    const unsigned char* bits;
    size_t bitsSize;
};

// Bytes from one stored row start to the next.
size_t dibStride(int32_t width, uint16_t bitCount);

// True when the masks can be decoded: not all zero, each contiguous, no two overlapping,
// none reaching past the pixel's bitCount bits.
bool validMasks(const Masks& m, uint16_t bitCount);

// Writes width * height * 3 bytes to out. RLE output must arrive zero-filled: pixels the
// stream skips stay black. Returns false when an RLE stream ends before the picture does.
bool convertPixels(const PixelSource& src, unsigned char* out);

}  // namespace dib
