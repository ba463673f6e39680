#include "zkl/font.h"

#include <GL/gl.h>

namespace zkl {

void cFont::Load(const char* fileName, const char* characterMap, int32_t columnCount,
                 int32_t rowCount, double width, double height)
{
    LoadTexture(fileName);
    SetCharacterMap(characterMap);
    SetGrid(columnCount, rowCount);
    SetGlyphSize(width, height);
}

bool cFont::LoadTexture(const char* fileName) { return LoadMaskedWithTolerance(fileName, 20) != 0; }

void cFont::SetCharacterMap(const char* characterMap) { charMap = characterMap ? characterMap : ""; }

void cFont::SetGrid(int32_t columnCount, int32_t rowCount)
{
    columns = columnCount;
    rows = rowCount;
}

void cFont::SetGlyphSize(double width, double height)
{
    glyphWidth = width;
    glyphHeight = height;
}

int cFont::FindCharacter(char c) const
{
    const size_t n = charMap.find(c);
    return n == std::string::npos ? -1 : static_cast<int>(n);
}

void cFont::Print(const char* text)
{
    if (!text || columns < 1 || rows < 1)
        return;
    const double du = 1.0 / columns;
    const double dv = 1.0 / rows;
    int line = 0;
    glPushMatrix();
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        const int n = FindCharacter(c);
        if (n != -1 && c != '\n') {
            const int col = n % columns;
            const int row = n / columns;
            const double u = static_cast<double>(col) / columns;
            const double rv = row * dv;
            Use();
            glBegin(GL_QUADS);
            glTexCoord2d(u, 1.0 - (rv + dv));
            glVertex3d(0.0, 0.0, 0.0);
            glTexCoord2d(u + du, 1.0 - (rv + dv));
            glVertex3d(glyphWidth, 0.0, 0.0);
            glTexCoord2d(u + du, 1.0 - rv);
            glVertex3d(glyphWidth, glyphHeight, 0.0);
            glTexCoord2d(u, 1.0 - rv);
            glVertex3d(0.0, glyphHeight, 0.0);
            glEnd();
            StopUsing();
        } else if (c == '\n') {
            ++line;
            glPopMatrix();
            glPushMatrix();
            glTranslatef(0.0f, static_cast<float>(-line * glyphHeight), 0.0f);
        }
        if (c != '\n')
            glTranslatef(static_cast<float>(glyphWidth), 0.0f, 0.0f);
    }
    glPopMatrix();
}

}  // namespace zkl
