#include "zkl/lights.h"

#include <algorithm>

namespace zkl {

int32_t lightCounter = 0;

cLight::cLight() : id(GL_LIGHT0 + static_cast<GLenum>(lightCounter % 8))
{
    ++lightCounter;
}

void cLight::Enable()
{
    glLightfv(id, GL_AMBIENT, ambient);
    glLightfv(id, GL_DIFFUSE, diffuse);
    glLightfv(id, GL_POSITION, position);
    glLightfv(id, GL_SPECULAR, specular);
    glEnable(id);
    glEnable(GL_LIGHTING);
}

void cLight::Disable()
{
    glDisable(id);
    glDisable(GL_LIGHTING);
}

void cLight::SetPosition(const float* xyzw) { std::copy_n(xyzw, 4, position); }
void cLight::SetAmbient(const float* rgba) { std::copy_n(rgba, 4, ambient); }
void cLight::SetSpecular(const float* rgba) { std::copy_n(rgba, 4, specular); }
void cLight::SetDiffuse(const float* rgba) { std::copy_n(rgba, 4, diffuse); }

}  // namespace zkl
