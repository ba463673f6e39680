// Every installed header, in a program with its own `keys` and `active`. A sampled surface and the
// addresses of three calls make the link pull in GL, the image loader and the window layer.
#include <zkl/ansi.h>
#include <zkl/fmath.h>
#include <zkl/font.h>
#include <zkl/harmonicalsphere.h>
#include <zkl/init.h>
#include <zkl/lights.h>
#include <zkl/materials.h>
#include <zkl/objgen.h>
#include <zkl/spacecloud.h>
#include <zkl/textures.h>
#include <zkl/vector.h>

int keys = 3;
bool active = true;

static double Unit(double, double) { return 1.0; }

int main()
{
    zkl::cVectorList points;
    zkl::SampleRevolution(1.0f, 2.0f, 4.0f, Unit, &points);
    void (*volatile cylinder)(float, float, float, float, GLenum) = zkl::DrawCylinder;
    int (zkl::cTexture::*volatile load)(const char*) = &zkl::cTexture::LoadOpaque;
    int (*volatile open)(const char*, int, int, int, bool) = zkl::CreateGLWindow;
    return points.head && cylinder && load && open && keys == 3 && active ? 0 : 1;
}
