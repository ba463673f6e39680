#include "zkl/spacecloud.h"

#include <GL/gl.h>

namespace zkl {

cTexture spriteTextures[7];
SpriteRecord spriteRecords[100];

namespace {

// The record's index truncated toward zero, or -1 when it names no texture (this also keeps a
// NaN or huge value from being converted to int).
int SpriteIndex(float textureIndex)
{
    if (textureIndex > -1.0f && textureIndex < 7.0f)
        return static_cast<int>(textureIndex);
    return -1;
}

}  // namespace

void DrawSprite(int index)
{
    if (index < 0 || index > 6)
        return;
    cTexture& texture = spriteTextures[index];
    const float half = 2.1f;
    texture.Use();
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-half, -half, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(half, -half, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(half, half, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-half, half, 0.0f);
    glEnd();
    texture.StopUsing();
}

void DrawSpriteField(float viewerDepth)
{
    for (const SpriteRecord& r : spriteRecords) {
        glPushMatrix();
        const float d = r.z - viewerDepth;
        glTranslatef(r.x, r.y, d);
        const double a = (-d - 5.0) / 50.0;
        glColor4f(1.0f, 1.0f, 1.0f, a < 0.3 ? static_cast<float>(a) : 0.3f);
        if (d < -5.0)
            DrawSprite(SpriteIndex(r.textureIndex));
        glPopMatrix();
    }
}

}  // namespace zkl
