#include "game/scene.h"

#include <GL/gl.h>

#include "game/clock.h"

namespace demo {

int DrawGLScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    updatetime();
    return 1;
}

}  // namespace demo
