#pragma once
// One textured quad with its bottom-left corner at the local origin. The top 2 % of the image
// rows stay hidden: t runs to 0.98f, not 1.
#include <GL/gl.h>

namespace demo {

inline void DrawSpriteQuad(double left, double bottom, double right, double top)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3d(left, bottom, 0.0);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3d(right, bottom, 0.0);
    glTexCoord2f(1.0f, 0.98f);
    glVertex3d(right, top, 0.0);
    glTexCoord2f(0.0f, 0.98f);
    glVertex3d(left, top, 0.0);
    glEnd();
}

}  // namespace demo
