#include "image/bmp_write.h"

#include <cstdio>

namespace {

void put16(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, uint32_t v)
{
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

}  // namespace

std::vector<unsigned char> encodeBmp24(int width, int height, const unsigned char* rgb)
{
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t bitsSize = stride * static_cast<uint32_t>(height);
    std::vector<unsigned char> out;
    out.reserve(54 + bitsSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + bitsSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);  // BI_RGB
    put32(out, bitsSize);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = rgb + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3 + 0]);
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

bool writeBmp24(const std::string& path, int width, int height, const unsigned char* rgb)
{
    const std::vector<unsigned char> bytes = encodeBmp24(width, height, rgb);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    // A failed flush on close loses the file's tail: that is a failed write too.
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}
