#pragma once
// cTexture: a BMP file decoded, optionally given a colour-keyed alpha channel, uploaded once as
// an OpenGL 2D texture and bound for drawing with the matching alpha test and blending.
#include <cstdint>

#include "image/dib.h"

namespace zkl {

// Alpha for one pixel, from its red, green and blue bytes.
using AlphaFunction = unsigned char (*)(unsigned char red, unsigned char green, unsigned char blue);

// 0 when red + green + blue <= 24 (near black), otherwise 255.
unsigned char toleranceAlpha(unsigned char red, unsigned char green, unsigned char blue);
// 0 only for pure black (0, 0, 0), otherwise 255.
unsigned char noToleranceAlpha(unsigned char red, unsigned char green, unsigned char blue);

// Results are 1 (true) and 0 (false).
class cTexture {
public:
    uint32_t id = 0;               // GL texture name; 0 until the first upload
    int32_t keyAlpha = 0;          // set by the keyed loaders, never cleared
    int32_t brightnessAlpha = 0;   // set by LoadBrightnessAlpha, never cleared
    ImageRecord* image = nullptr;  // owned; 3 bytes per pixel, 4 once alpha is added

    cTexture() = default;
    ~cTexture();
    cTexture(const cTexture&) = delete;
    cTexture& operator=(const cTexture&) = delete;

    int ReadImage(const char* fileName);
    int Upload(unsigned format, unsigned magFilter, unsigned minFilter);
    int AddAlphaChannel(AlphaFunction alphaFunction);
    int LoadOpaque(const char* fileName);
    int LoadMaskedWithTolerance(const char* fileName, int32_t unused);
    int LoadMaskedNoTolerance(const char* fileName, int32_t unused);
    // Alpha = (red + green + blue) >> 3; uploads a new texture and keeps no image.
    int LoadBrightnessAlpha(const char* fileName);
    void Use();
    void StopUsing();
};

// Replaces every pixel of n bytes (1 to 4) whose bytes, read first byte most significant, equal
// `from` by the bytes of `to`. n must match the buffer's layout: 3 as decoded, 4 with alpha.
// Does nothing for n outside 1 to 4.
void ReplaceImageColour(ImageRecord* image, uint32_t from, uint32_t to, int n);

}  // namespace zkl
