// The GL 1.1 entry points the toolkit calls that emscripten's immediate-mode emulation lacks:
// the double-precision variants, which GL turns into single precision anyway, and the scalar
// material call. Each forwards to the emulation's own single-precision entry point.
#include <GL/gl.h>

extern "C" {

void glClearDepthf(GLclampf depth);  // WebGL's, not in the GL 1.1 header

void glClearDepth(GLclampd depth)
{
    glClearDepthf(static_cast<GLclampf>(depth));
}

void glVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    glVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void glVertex3dv(const GLdouble* v)
{
    glVertex3d(v[0], v[1], v[2]);
}

void glTexCoord2d(GLdouble s, GLdouble t)
{
    glTexCoord2f(static_cast<GLfloat>(s), static_cast<GLfloat>(t));
}

void glMaterialf(GLenum face, GLenum name, GLfloat value)
{
    glMaterialfv(face, name, &value);
}

}  // extern "C"
