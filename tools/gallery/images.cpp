#include "tools/gallery/images.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/bmp_write.h"

namespace {

Picture Blank(int width, int height) { return {width, height, std::vector<unsigned char>(size_t(width) * height * 3)}; }

// y counts from the top of the picture; the buffer stores the bottom row first.
void Put(Picture& p, int x, int yFromTop, unsigned char r, unsigned char g, unsigned char b)
{
    unsigned char* px = &p.rgb[(size_t(p.height - 1 - yFromTop) * p.width + x) * 3];
    px[0] = r;
    px[1] = g;
    px[2] = b;
}

unsigned char Byte(double v) { return static_cast<unsigned char>(std::lround(std::fmin(std::fmax(v, 0.0), 1.0) * 255.0)); }

// 5 by 7 glyphs, one string per row from the top, '#' for ink.
struct Glyph {
    char c;
    const char* rows[7];
};

const Glyph glyphs[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'F', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "}},
    {'G', {" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ####"}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'X', {"#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'Z', {"#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"}},
    {'!', {"  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "     ", "  #  "}},
    {'.', {"     ", "     ", "     ", "     ", "     ", "     ", "  #  "}},
};

constexpr int cellSize = 16;  // pixels per glyph cell; glyphs are drawn at twice their size
constexpr int atlasColumns = 4;
constexpr int atlasRows = 4;

}  // namespace

Picture Checker(int size, int cells, const unsigned char* a, const unsigned char* b)
{
    Picture p = Blank(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const unsigned char* c = ((x * cells / size) + (y * cells / size)) % 2 ? b : a;
            Put(p, x, y, c[0], c[1], c[2]);
        }
    return p;
}

Picture Tile(int size)
{
    Picture p = Blank(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int edge = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
            const double k = edge < 2 ? 0.25 : 0.75 + 0.25 * double(y) / size;
            Put(p, x, y, Byte(k * 0.95), Byte(k * 0.85), Byte(k * 0.55));
        }
    return p;
}

Picture Glow(int size)
{
    Picture p = Blank(size, size);
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - centre, y - centre) / centre;
            const double v = std::pow(std::fmax(0.0, 1.0 - d), 0.8);
            Put(p, x, y, Byte(v), Byte(v * 0.9), Byte(v * 0.6));
        }
    return p;
}

Picture WorldMap(int width, int height)
{
    Picture p = Blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double lon = double(x) / width;
            const double lat = double(y) / height;
            const double light = 0.45 + 0.55 * std::sin(lat * 3.14159265);
            const bool line = x % (width / 12) == 0 || y % (height / 6) == 0;
            if (line) {
                Put(p, x, y, 250, 250, 250);
                continue;
            }
            const double band = std::floor(lon * 6.0) / 6.0;
            Put(p, x, y, Byte(light * (0.5 + 0.5 * std::cos(6.2831853 * band))),
                Byte(light * (0.5 + 0.5 * std::cos(6.2831853 * (band - 0.33)))),
                Byte(light * (0.5 + 0.5 * std::cos(6.2831853 * (band - 0.67)))));
        }
    return p;
}

Picture BlueStripes(int size)
{
    Picture p = Blank(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (((x + y) / 8) % 2)
                Put(p, x, y, 0, 0, 255);
            else
                Put(p, x, y, 230, 230, 230);
        }
    return p;
}

Picture ReliefColours(int size)
{
    Picture p = Blank(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / (size - 1);
            const double v = double(y) / (size - 1);
            const bool grid = x % 8 == 0 || y % 8 == 0;
            const double k = grid ? 0.7 : 1.0;
            Put(p, x, y, Byte(k * (0.3 + 0.7 * u)), Byte(k * (0.35 + 0.5 * v)), Byte(k * (1.0 - 0.7 * u)));
        }
    return p;
}

Picture ReliefHeights(int size)
{
    Picture p = Blank(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / (size - 1);
            const double v = double(y) / (size - 1);
            const double hill1 = std::exp(-(std::pow(u - 0.3, 2) + std::pow(v - 0.35, 2)) / 0.02);
            const double hill2 = 0.7 * std::exp(-(std::pow(u - 0.7, 2) + std::pow(v - 0.65, 2)) / 0.03);
            const double ridge = 0.35 * std::exp(-std::pow(u + v - 1.2, 2) / 0.01);
            const unsigned char g = Byte(std::fmin(1.0, hill1 + hill2 + ridge));
            Put(p, x, y, g, g, g);
        }
    return p;
}

Picture Disc(int size, const unsigned char* colour)
{
    Picture p = Blank(size, size);
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - centre, y - centre) / centre;
            if (d > 1.0)
                continue;
            const double k = 1.0 - 0.6 * d;
            Put(p, x, y, Byte(k * colour[0] / 255.0), Byte(k * colour[1] / 255.0), Byte(k * colour[2] / 255.0));
        }
    return p;
}

const char* GalleryFontMap()
{
    static char map[sizeof glyphs / sizeof glyphs[0] + 1];
    if (!map[0])
        for (size_t i = 0; i < sizeof glyphs / sizeof glyphs[0]; ++i)
            map[i] = glyphs[i].c;
    return map;
}

int GalleryFontColumns() { return atlasColumns; }
int GalleryFontRows() { return atlasRows; }

Picture GlyphAtlas()
{
    Picture p = Blank(atlasColumns * cellSize, atlasRows * cellSize);
    for (size_t n = 0; n < sizeof glyphs / sizeof glyphs[0]; ++n) {
        const int left = int(n % atlasColumns) * cellSize + 3;
        const int top = int(n / atlasColumns) * cellSize + 1;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (glyphs[n].rows[row][col] == '#')
                    for (int k = 0; k < 4; ++k)
                        Put(p, left + 2 * col + k % 2, top + 2 * row + k / 2, 255, 255, 255);
    }
    return p;
}

bool SavePicture(const std::string& path, const Picture& picture)
{
    return writeBmp24(path, picture.width, picture.height, picture.rgb.data());
}
