#include "zkl/ansi.h"

#include <GL/gl.h>

#include <cstddef>

namespace zkl {

cAnsi::~cAnsi() { freeImageRecord(heightmap); }

void cAnsi::Load(const char* colourFile, const char* heightmapFile, int32_t width, int32_t height)
{
    LoadMaskedWithTolerance(colourFile, 50);
    if (heightmapFile && heightmapFile[0] != '\0') {
        freeImageRecord(heightmap);
        heightmap = loadDibImage(heightmapFile);
    }
    gridWidth = width;
    gridHeight = height;
}

int cAnsi::SampleHeight(int x, int y) const
{
    if (!heightmap || !heightmap->pixels || x < 0 || y < 0 || x >= heightmap->width ||
        y >= heightmap->height)
        return 0;
    const size_t offset =
        (static_cast<size_t>(y) * static_cast<size_t>(heightmap->width) + static_cast<size_t>(x)) * 3;
    const unsigned char* p = heightmap->pixels + offset;
    return p[0] + p[1] + p[2];
}

void cAnsi::Draw(double cellWidth, double cellDepth, double heightScale)
{
    if (gridWidth < 1 || gridHeight < 1)
        return;
    const double du = 1.0 / gridWidth;
    const double dv = 1.0 / gridHeight;
    glPushMatrix();
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    Use();
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int i = 0; i < gridWidth; ++i) {
        for (int j = 0; j < gridHeight; ++j) {
            const double s = i * du;
            const double t = 1.0 - j * dv;
            const double x = i * cellWidth;
            const double y = j * cellDepth;
            // Height rows count from the other end: row j of cells samples rows h - j and h - j - 1.
            const int near = gridHeight - j;
            glBegin(GL_QUADS);
            glTexCoord2d(s, t);
            glVertex3d(x, y, -heightScale * SampleHeight(i, near));
            glTexCoord2d(s + du, t);
            glVertex3d(x + cellWidth, y, -heightScale * SampleHeight(i + 1, near));
            glTexCoord2d(s + du, t - dv);
            glVertex3d(x + cellWidth, y + cellDepth, -heightScale * SampleHeight(i + 1, near - 1));
            glTexCoord2d(s, t - dv);
            glVertex3d(x, y + cellDepth, -heightScale * SampleHeight(i, near - 1));
            glEnd();
        }
    }
    StopUsing();
    glPopMatrix();
}

}  // namespace zkl
