#pragma once
// cAnsi: a relief picture. A colour texture draped over a grid of cells whose corners are lifted
// by a height image (each pixel's height is red + green + blue, 0 to 765).
#include <cstdint>

#include "image/dib.h"
#include "zkl/textures.h"

namespace zkl {

class cAnsi : public cTexture {
public:
    ImageRecord* heightmap = nullptr;  // owned; none until Load names a height image
    int32_t gridWidth = 0;             // cells along x
    int32_t gridHeight = 0;            // cells along y

    cAnsi() = default;
    ~cAnsi();

    // Loads the colour texture (near black transparent) and, unless heightmapFile is empty, the
    // height image; then sets the grid size. A failed colour load does not stop the rest.
    void Load(const char* colourFile, const char* heightmapFile, int32_t width, int32_t height);
    // Height at a height-image pixel; 0 outside the image or without one.
    int SampleHeight(int x, int y) const;
    // Cells of cellWidth by cellDepth, corners pushed out by heightScale times their height,
    // turned 180 degrees about x so heights rise along +z and the grid runs along -y.
    // Draws nothing until the grid has at least one cell each way.
    void Draw(double cellWidth, double cellDepth, double heightScale);
};

}  // namespace zkl
