// Samples a surface into a point list and checks what came back. Taking the addresses of a
// generator, a texture loader and the window opener makes the link pull in OpenGL, the image
// loader and the window layer through the package's interface, without opening anything.
// Every installed header is included, so each must come with what it needs, and the program has
// its own globals named like the toolkit's window state: the toolkit's live in namespace zkl.
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

#include <cmath>
#include <cstdio>

int keys = 3;
bool active = true;

static double Unit(double, double) { return 1.0; }

int main()
{
    zkl::cVectorList points;
    zkl::SampleRevolution(1.0f, 2.0f, 4.0f, Unit, &points);
    int count = 0;
    bool onCircle = true;
    for (const zkl::cVectorNod* n = points.head; n; n = n->next, ++count)
        onCircle = onCircle && std::fabs(std::hypot(n->value.x, n->value.z) - 1.0) < 1e-9;

    zkl::FillAngleTable();
    void (*volatile cylinder)(float, float, float, float, GLenum) = zkl::DrawCylinder;
    int (zkl::cTexture::*volatile load)(const char*) = &zkl::cTexture::LoadOpaque;
    int (*volatile open)(const char*, int, int, int, bool) = zkl::CreateGLWindow;

    std::printf("zkl consumer: %d points, on circle %d, angle table %g\n", count, onCircle,
                zkl::AngleTableAt(-123.4));
    const bool ownGlobals = keys == 3 && active;
    const bool linked = cylinder && load && open;
    return count == 10 && onCircle && zkl::AngleTableAt(-123.4) == 1.0 && linked && ownGlobals ? 0 : 1;
}
