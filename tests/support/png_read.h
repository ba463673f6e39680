#pragma once
// A PNG read back as 8-bit RGB, top row first; width 0 when it cannot be read.
#include <png.h>

#include <array>
#include <string>
#include <vector>

namespace testutil {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    std::array<int, 3> at(int x, int y) const
    {
        const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

inline Picture readPng(const std::string& path)
{
    Picture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return p;
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr))
        p.width = int(image.width), p.height = int(image.height);
    return p;
}

}  // namespace testutil
