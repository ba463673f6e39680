#include "tests/support/gl_recorder.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>
#include <sstream>

namespace {

std::vector<GlCall>& log()
{
    static std::vector<GlCall> calls;
    return calls;
}

GLuint nextTextureName = 1;

void rec(const char* name, std::initializer_list<double> args = {})
{
    log().push_back(GlCall{name, std::vector<double>(args), {}});
}

void recv(const char* name, std::initializer_list<double> head, const GLfloat* v, int n)
{
    GlCall c{name, std::vector<double>(head), {}};
    for (int i = 0; i < n; ++i)
        c.args.push_back(v[i]);
    log().push_back(std::move(c));
}

int unpackAlignment = 4;

}  // namespace

namespace glrec {

const std::vector<GlCall>& calls() { return log(); }

void reset()
{
    log().clear();
    nextTextureName = 1;
    unpackAlignment = 4;
}

std::vector<GlCall> named(const std::string& name)
{
    std::vector<GlCall> out;
    for (const GlCall& c : log())
        if (c.name == name)
            out.push_back(c);
    return out;
}

size_t count(const std::string& name) { return named(name).size(); }

std::string dump()
{
    std::ostringstream out;
    out.precision(17);
    for (const GlCall& c : log()) {
        out << c.name << '(';
        for (size_t i = 0; i < c.args.size(); ++i)
            out << (i ? ", " : "") << c.args[i];
        out << ")\n";
    }
    return out.str();
}

}  // namespace glrec

extern "C" {

void glBegin(GLenum mode) { rec("glBegin", {double(mode)}); }
void glEnd(void) { rec("glEnd"); }
void glVertex3d(GLdouble x, GLdouble y, GLdouble z) { rec("glVertex3d", {x, y, z}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { rec("glVertex3f", {x, y, z}); }
void glVertex3dv(const GLdouble* v) { rec("glVertex3dv", {v[0], v[1], v[2]}); }
void glTexCoord2f(GLfloat s, GLfloat t) { rec("glTexCoord2f", {s, t}); }
void glTexCoord2d(GLdouble s, GLdouble t) { rec("glTexCoord2d", {s, t}); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { rec("glNormal3f", {x, y, z}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { rec("glColor3f", {r, g, b}); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { rec("glColor4f", {r, g, b, a}); }
void glColor3d(GLdouble r, GLdouble g, GLdouble b) { rec("glColor3d", {r, g, b}); }
void glColor3fv(const GLfloat* v) { recv("glColor3fv", {}, v, 3); }
void glColor4fv(const GLfloat* v) { recv("glColor4fv", {}, v, 4); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { rec("glTranslatef", {x, y, z}); }
void glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { rec("glRotatef", {a, x, y, z}); }
void glLoadIdentity(void) { rec("glLoadIdentity"); }
void glMatrixMode(GLenum mode) { rec("glMatrixMode", {double(mode)}); }
void glPushMatrix(void) { rec("glPushMatrix"); }
void glPopMatrix(void) { rec("glPopMatrix"); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { rec("glViewport", {double(x), double(y), double(w), double(h)}); }
void glEnable(GLenum cap) { rec("glEnable", {double(cap)}); }
void glDisable(GLenum cap) { rec("glDisable", {double(cap)}); }
void glClear(GLbitfield mask) { rec("glClear", {double(mask)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { rec("glClearColor", {r, g, b, a}); }
void glClearDepth(GLclampd d) { rec("glClearDepth", {d}); }
void glDepthFunc(GLenum f) { rec("glDepthFunc", {double(f)}); }
void glShadeModel(GLenum m) { rec("glShadeModel", {double(m)}); }
void glHint(GLenum target, GLenum mode) { rec("glHint", {double(target), double(mode)}); }
void glBlendFunc(GLenum s, GLenum d) { rec("glBlendFunc", {double(s), double(d)}); }
void glAlphaFunc(GLenum f, GLclampf ref) { rec("glAlphaFunc", {double(f), ref}); }
void glMaterialfv(GLenum f, GLenum p, const GLfloat* v) { recv("glMaterialfv", {double(f), double(p)}, v, 4); }
void glMaterialf(GLenum face, GLenum pname, GLfloat v) { rec("glMaterialf", {double(face), double(pname), v}); }
void glLightfv(GLenum l, GLenum p, const GLfloat* v) { recv("glLightfv", {double(l), double(p)}, v, 4); }
void glGenTextures(GLsizei n, GLuint* names)
{
    for (GLsizei i = 0; i < n; ++i)
        names[i] = nextTextureName++;
    rec("glGenTextures", {double(n), double(names[0])});
}
void glBindTexture(GLenum target, GLuint name) { rec("glBindTexture", {double(target), double(name)}); }
void glPixelStorei(GLenum pname, GLint v)
{
    if (pname == GL_UNPACK_ALIGNMENT)
        unpackAlignment = v;
    rec("glPixelStorei", {double(pname), double(v)});
}
void glTexParameteri(GLenum target, GLenum pname, GLint v) { rec("glTexParameteri", {double(target), double(pname), double(v)}); }
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei w, GLsizei h, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels)
{
    GlCall c{"glTexImage2D",
             {double(target), double(level), double(internalFormat), double(w), double(h), double(border),
              double(format), double(type)},
             {}};
    const int channels = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
    if (pixels && w > 0 && h > 0 && type == GL_UNSIGNED_BYTE) {
        const size_t row = size_t(w) * channels;
        const size_t stride = (row + unpackAlignment - 1) / unpackAlignment * unpackAlignment;
        // What GL would read: every row at its stride, the last one only up to its end.
        const size_t bytes = stride * (size_t(h) - 1) + row;
        const auto* p = static_cast<const unsigned char*>(pixels);
        c.data.assign(p, p + bytes);
    }
    log().push_back(std::move(c));
}
// Queries change nothing and are not logged; the largest texture is llvmpipe's.
void glGetIntegerv(GLenum pname, GLint* v)
{
    if (pname == GL_MAX_TEXTURE_SIZE)
        *v = 16384;
    else if (pname == GL_UNPACK_ALIGNMENT)
        *v = unpackAlignment;
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    rec("gluPerspective", {fovy, aspect, zNear, zFar});
}

}  // extern "C"
