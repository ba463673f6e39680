#pragma once
// cLight: one GL light's colours and position, switched on and off. Lights take GL_LIGHT0 to
// GL_LIGHT7 in turn as they are constructed; the ninth shares GL_LIGHT0 with the first.
#include <GL/gl.h>

#include <cstdint>

namespace zkl {

// Lights constructed so far in the program; never decreases.
extern int32_t lightCounter;

class cLight {
public:
    float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float ambient[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    float position[4] = {0.0f, 0.0f, 0.0f, 1.0f};  // w = 1: a positional light
    float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // Stored at construction; nothing reads them.
    uint32_t reserved[4] = {0, 0, 0, 0};
    float reservedAngle = 180.0f;
    float reservedTriple[3] = {1.0f, 1.0f, 1.0f};
    uint32_t reservedWord = 0;
    GLenum id;

    cLight();

    // Sends ambient, diffuse, position (through the current modelview) and specular, then
    // switches this light and lighting on.
    void Enable();
    // Switches this light off, and lighting as a whole with it.
    void Disable();

    void SetPosition(const float* xyzw);
    void SetAmbient(const float* rgba);
    void SetSpecular(const float* rgba);
    void SetDiffuse(const float* rgba);
};

}  // namespace zkl
