#pragma once
// The sprite field: 100 textured squares placed in depth, each faded in with its distance beyond
// a viewer depth, drawn with one of seven textures.
#include "zkl/textures.h"

namespace zkl {

struct SpriteRecord {
    float x;
    float y;
    float z;
    float textureIndex;  // truncated toward zero when drawn
};

// Empty until the program loads them.
extern cTexture spriteTextures[7];
// All zero at start; the program fills them.
extern SpriteRecord spriteRecords[100];

// One 4.2 by 4.2 textured square in the plane z = 0 around the current origin. Draws nothing for
// an index outside 0 to 6.
void DrawSprite(int index);
// Every record more than 5 units beyond the viewer depth (along -z), with alpha rising from 0 at
// 5 units to 0.3 at 20 units and beyond. The colour is set for every record, drawn or not.
void DrawSpriteField(float viewerDepth);

}  // namespace zkl
