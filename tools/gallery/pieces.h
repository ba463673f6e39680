#pragma once
// The gallery's fourteen pictures, one per piece of the toolkit. Each draws a whole frame into
// the current GL context (viewport already set) from a fresh state.
#include <string>
#include <vector>

#include "zkl/ansi.h"
#include "zkl/font.h"
#include "zkl/textures.h"

constexpr int galleryWidth = 320;
constexpr int galleryHeight = 240;

// Textures the pieces draw with, loaded from the pictures of tools/gallery/images.h.
struct GalleryAssets {
    zkl::cTexture checker;      // opaque checkerboard
    zkl::cTexture tile;         // one light tile with a dark rim: shows each quad of a surface
    zkl::cTexture stripes;      // blue stripes as made
    zkl::cTexture recoloured;   // the same stripes after ReplaceImageColour
    zkl::cTexture glow;         // brightness alpha
    zkl::cTexture worldMap;     // opaque longitude / latitude map
    zkl::cAnsi relief;
    zkl::cFont font;
};

// Writes the pictures into folder, as the BMP files the assets load.
bool WriteGalleryPictures(const std::string& folder);
// Loads every asset (and the sprite field's seven textures) from folder; needs the GL context.
bool LoadGalleryAssets(GalleryAssets& assets, const std::string& folder);

struct GalleryPiece {
    const char* name;  // file name stem
    void (*draw)(GalleryAssets& assets);
};

const std::vector<GalleryPiece>& GalleryPieces();
