#pragma once
// cMaterial: a surface's colours, shininess and optional texture, sent to GL before drawing.
#include <GL/gl.h>

#include "zkl/textures.h"

namespace zkl {

class cMaterial {
public:
    cTexture texture;        // bound by Apply once loaded
    cTexture secondTexture;  // loaded and kept; nothing binds it
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float shininess = 50.0f;
    float ambient[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float emission[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    bool textureEnabled = false;
    bool blendEnabled = false;
    bool secondTextureEnabled = false;
    GLenum face = GL_FRONT;

    // Binds the texture, sends the material and sets colour, depth test and blending. With
    // blending on, the additive blend, the colour with its alpha and the depth test switched off
    // stay in force until Reset.
    void Apply();
    // Texturing, alpha test and blending off, colour white, depth test on.
    void Reset();

    // Opaque loads; the flag goes to true on success and is never cleared. Returns the flag.
    bool LoadTexture(const char* fileName);
    bool LoadSecondTexture(const char* fileName);

    void SetColor(float red, float green, float blue, float alpha);  // blending on
    void SetColor(float red, float green, float blue);               // alpha 1, blending off
    void SetAlpha(float alpha);                                      // blending on
    void SetBlend(bool enabled);
    void SetShininess(float value);
    void SetSpecular(const float* rgba);
    void SetAmbient(const float* rgba);
    void SetEmission(const float* rgba);
    void SetDiffuse(const float* rgba);
};

}  // namespace zkl
