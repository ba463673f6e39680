#include "zkl/materials.h"

#include <algorithm>

namespace zkl {

void cMaterial::Apply()
{
    if (textureEnabled)
        texture.Use();
    if (blendEnabled) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glColor4fv(colour);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
    }
    glMaterialfv(face, GL_DIFFUSE, diffuse);
    glMaterialfv(face, GL_SPECULAR, specular);
    glMaterialfv(face, GL_AMBIENT, ambient);
    glMaterialfv(face, GL_EMISSION, emission);
    glMaterialf(face, GL_SHININESS, shininess);
    if (!blendEnabled) {
        glColor3fv(colour);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
    }
}

void cMaterial::Reset()
{
    texture.StopUsing();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

bool cMaterial::LoadTexture(const char* fileName)
{
    if (texture.LoadOpaque(fileName))
        textureEnabled = true;
    return textureEnabled;
}

bool cMaterial::LoadSecondTexture(const char* fileName)
{
    if (secondTexture.LoadOpaque(fileName))
        secondTextureEnabled = true;
    return secondTextureEnabled;
}

void cMaterial::SetColor(float red, float green, float blue, float alpha)
{
    colour[0] = red;
    colour[1] = green;
    colour[2] = blue;
    colour[3] = alpha;
    blendEnabled = true;
}

void cMaterial::SetColor(float red, float green, float blue)
{
    colour[0] = red;
    colour[1] = green;
    colour[2] = blue;
    colour[3] = 1.0f;
    blendEnabled = false;
}

void cMaterial::SetAlpha(float alpha)
{
    colour[3] = alpha;
    blendEnabled = true;
}

void cMaterial::SetBlend(bool enabled) { blendEnabled = enabled; }

void cMaterial::SetShininess(float value) { shininess = value; }

void cMaterial::SetSpecular(const float* rgba) { std::copy_n(rgba, 4, specular); }
void cMaterial::SetAmbient(const float* rgba) { std::copy_n(rgba, 4, ambient); }
void cMaterial::SetEmission(const float* rgba) { std::copy_n(rgba, 4, emission); }
void cMaterial::SetDiffuse(const float* rgba) { std::copy_n(rgba, 4, diffuse); }

}  // namespace zkl
