#include "zkl/textures.h"

#include <GL/gl.h>

#include <cstdlib>
#include <string>

#include "platform/file_map.h"
#include "platform/msgbox.h"

namespace zkl {

namespace {

// The probe never blocks: something that is not a regular file passes it and is then refused,
// by name, by the image loader, which never opens it.
bool canOpen(const char* fileName)
{
    return plat::NonRegularKind(fileName) || plat::CanOpenForReading(fileName);
}

// GL's largest texture side; 0 when it does not say (no context).
int32_t largestTexture()
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

// A picture that decoded but had no room for its alpha channel is said so: the sprite would
// otherwise just be missing.
void reportNoRoomForAlpha(const char* fileName)
{
    const std::string text = std::string(fileName) + ": Out of memory for the alpha channel.";
    plat::MessageBox(plat::GetFocus(), text.c_str(), "Error", plat::MB_OK);
}

size_t pixelCount(const ImageRecord* image)
{
    return static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
}

}  // namespace

unsigned char toleranceAlpha(unsigned char red, unsigned char green, unsigned char blue)
{
    const int32_t sum = int32_t(red) + int32_t(green) + int32_t(blue);
    return sum * 8 >= 200 ? 255 : 0;
}

unsigned char noToleranceAlpha(unsigned char red, unsigned char green, unsigned char blue)
{
    const int32_t sum = int32_t(red) + int32_t(green) + int32_t(blue);
    return sum >= 1 ? 255 : 0;
}

cTexture::~cTexture()
{
    freeImageRecord(image);
}

int cTexture::ReadImage(const char* fileName)
{
    if (!canOpen(fileName)) {
        plat::MessageBox(nullptr, "Could Not Load Texture.", fileName, plat::MB_OK | plat::MB_ICONINFORMATION);
        return 0;
    }
    freeImageRecord(image);
    // An image GL could not take is refused before it is decoded.
    const int32_t largest = largestTexture();
    image = largest > 0 ? loadDibImage(fileName, largest) : loadDibImage(fileName);
    return image && image->pixels ? 1 : 0;
}

int cTexture::Upload(unsigned format, unsigned magFilter, unsigned minFilter)
{
    if (id != 0)
        return 1;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    // Rows are packed without padding; 3-byte rows are not 4-aligned for most widths, and GL
    // must never read past the buffer. The caller's own alignment is put back afterwards.
    const bool packedRgb = format == GL_RGB;
    GLint callerAlignment = 4;
    if (packedRgb) {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &callerAlignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image->width, image->height, 0, format,
                 GL_UNSIGNED_BYTE, image->pixels);
    if (packedRgb)
        glPixelStorei(GL_UNPACK_ALIGNMENT, callerAlignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    return 1;
}

int cTexture::AddAlphaChannel(AlphaFunction alphaFunction)
{
    if (!image || !image->pixels || image->width <= 0 || image->height <= 0)
        return 0;
    // Both allocations are checked: on failure the 3-byte image stays as it was.
    auto* record = static_cast<ImageRecord*>(std::malloc(sizeof(ImageRecord)));
    const size_t count = pixelCount(image);
    auto* rgba = static_cast<unsigned char*>(std::malloc(count * 4));
    if (!record || !rgba) {
        std::free(rgba);
        std::free(record);
        return 0;
    }
    const unsigned char* rgb = image->pixels;
    // Pixels in memory order: each pixel's result depends on that pixel alone, and a walk down
    // the columns of a large picture would miss the cache at every step (a minute for 16384^2).
    for (size_t p = 0; p < count; ++p) {
        rgba[4 * p + 0] = rgb[3 * p + 0];
        rgba[4 * p + 1] = rgb[3 * p + 1];
        rgba[4 * p + 2] = rgb[3 * p + 2];
        rgba[4 * p + 3] = alphaFunction(rgb[3 * p + 0], rgb[3 * p + 1], rgb[3 * p + 2]);
    }
    *record = ImageRecord{image->width, image->height, rgba};
    freeImageRecord(image);
    image = record;
    return 1;
}

int cTexture::LoadOpaque(const char* fileName)
{
    if (!ReadImage(fileName))
        return 0;
    Upload(GL_RGB, GL_LINEAR, GL_LINEAR);
    StopUsing();
    return 1;
}

// The two keyed loaders differ only in which pixels count as the transparent key.
static int loadMasked(cTexture& texture, const char* fileName, AlphaFunction alphaFunction)
{
    if (!texture.ReadImage(fileName))
        return 0;
    if (!texture.AddAlphaChannel(alphaFunction)) {
        reportNoRoomForAlpha(fileName);
        return 0;
    }
    texture.Upload(GL_RGBA, GL_LINEAR, GL_LINEAR);
    texture.StopUsing();
    texture.keyAlpha = 1;
    return 1;
}

int cTexture::LoadMaskedWithTolerance(const char* fileName, int32_t)
{
    return loadMasked(*this, fileName, toleranceAlpha);
}

int cTexture::LoadMaskedNoTolerance(const char* fileName, int32_t)
{
    return loadMasked(*this, fileName, noToleranceAlpha);
}

int cTexture::LoadBrightnessAlpha(const char* fileName)
{
    if (!canOpen(fileName))
        return 0;
    const int32_t largest = largestTexture();
    ImageRecord* decoded = largest > 0 ? loadDibImage(fileName, largest) : loadDibImage(fileName);
    if (!decoded || !decoded->pixels || decoded->width <= 0 || decoded->height <= 0) {
        freeImageRecord(decoded);
        return 0;
    }
    const size_t count = pixelCount(decoded);
    auto* rgba = static_cast<unsigned char*>(std::malloc(count * 4));
    if (!rgba) {
        freeImageRecord(decoded);
        reportNoRoomForAlpha(fileName);
        return 0;
    }
    const unsigned char* rgb = decoded->pixels;
    for (size_t p = 0; p < count; ++p) {
        const unsigned char r = rgb[3 * p], g = rgb[3 * p + 1], b = rgb[3 * p + 2];
        rgba[4 * p + 0] = r;
        rgba[4 * p + 1] = g;
        rgba[4 * p + 2] = b;
        rgba[4 * p + 3] = static_cast<unsigned char>((r + g + b) >> 3);
    }
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, decoded->width, decoded->height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    freeImageRecord(decoded);
    std::free(rgba);
    brightnessAlpha = 1;
    StopUsing();
    return 1;
}

void cTexture::Use()
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, id);
    if (keyAlpha || brightnessAlpha) {
        glEnable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (keyAlpha)
        glAlphaFunc(GL_GREATER, 0.05f);
    if (brightnessAlpha)
        glAlphaFunc(GL_GREATER, 0.05f);
}

void cTexture::StopUsing()
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
}

void ReplaceImageColour(ImageRecord* image, uint32_t from, uint32_t to, int n)
{
    if (!image || !image->pixels || n < 1 || n > 4)
        return;
    unsigned char* p = image->pixels;
    const size_t count = pixelCount(image);
    for (size_t i = 0; i < count; ++i, p += n) {
        uint32_t value = 0;
        for (int k = 0; k < n; ++k)
            value = (value << 8) | p[k];
        if (value != from)
            continue;
        for (int k = 0; k < n; ++k)
            p[k] = static_cast<unsigned char>(to >> (8 * (n - 1 - k)));
    }
}

}  // namespace zkl
