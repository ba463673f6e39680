#pragma once
// The pictures the gallery draws with, made here rather than read from anywhere: each is an RGB
// buffer, bottom row first, as a BMP file stores it and the loader returns it.
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // width * height * 3 bytes, bottom row first
};

// Two-colour checkerboard of cells by cells squares.
Picture Checker(int size, int cells, const unsigned char* a, const unsigned char* b);
// A light tile shading to a dark rim, for one quad.
Picture Tile(int size);
// A white glow fading to black at the rim.
Picture Glow(int size);
// Colour bands by longitude, light by latitude, with grid lines: a map for the sphere.
Picture WorldMap(int width, int height);
// Diagonal stripes, every other one pure blue (0, 0, 255): the colour the gallery replaces.
Picture BlueStripes(int size);
// Warm-to-cold colours for the relief, never near black.
Picture ReliefColours(int size);
// Grey hills: two bumps and a ridge.
Picture ReliefHeights(int size);
// A disc of the given colour on black.
Picture Disc(int size, const unsigned char* colour);
// The glyph atlas of the gallery font: GalleryFontMap() in cells of GalleryFontColumns() by
// GalleryFontRows(), white glyphs on black.
Picture GlyphAtlas();
const char* GalleryFontMap();
int GalleryFontColumns();
int GalleryFontRows();

// Writes the picture as a 24-bit BMP file.
bool SavePicture(const std::string& path, const Picture& picture);
