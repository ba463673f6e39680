#pragma once
// cFont: a texture holding a grid of glyph cells, and the strings drawn with it. Cell n of the
// character map lies in column n mod columns and row n div columns, rows counted from the top.
#include <cstdint>
#include <string>

#include "zkl/textures.h"

namespace zkl {

class cFont : public cTexture {
public:
    std::string charMap;       // the characters in cell order
    int32_t columns = 0;       // cells per row of the texture
    int32_t rows = 0;          // rows of cells
    double glyphWidth = 0.0;   // quad width and pen advance
    double glyphHeight = 0.0;  // quad height and line step

    // LoadTexture, SetCharacterMap, SetGrid and SetGlyphSize in that order.
    void Load(const char* fileName, const char* characterMap, int32_t columns, int32_t rows,
              double glyphWidth, double glyphHeight);
    // Near black is transparent.
    bool LoadTexture(const char* fileName);
    void SetCharacterMap(const char* characterMap);
    void SetGrid(int32_t columns, int32_t rows);
    void SetGlyphSize(double glyphWidth, double glyphHeight);

    // Index of the first cell showing c, or -1.
    int FindCharacter(char c) const;
    // Draws text from the current origin, one glyph quad per known character, advancing the pen
    // by glyphWidth for every character except a line feed, which returns to the start one
    // glyphHeight lower. Draws nothing while the grid has no cells.
    void Print(const char* text);
};

}  // namespace zkl
