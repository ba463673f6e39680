#include "zkl/objgen.h"

#include <cmath>

#include "zkl/fmath.h"

namespace zkl {

namespace {

// The quads of a surface around the y axis: angle from 0 while at most 360 (so the last column
// overlaps the first), height from 0 while below length, each quad its own primitive with
// texture corners (0, 0), (1, 0), (1, 1), (0, 1). corner(angle, height, s, t) sends one vertex.
template <class Corner>
void RingQuads(float length, float divLength, float divAngle, GLenum mode, Corner corner)
{
    float da = 0.0f;
    float dy = 0.0f;
    if (!RingSteps(length, divLength, divAngle, da, dy))
        return;
    for (float a = 0.0f; a <= 360.0f; a += da) {
        for (float y = 0.0f; y < length; y += dy) {
            glBegin(mode);
            corner(a, y, 0.0f, 0.0f);
            corner(a + da, y, 1.0f, 0.0f);
            corner(a + da, y + dy, 1.0f, 1.0f);
            corner(a, y + dy, 0.0f, 1.0f);
            glEnd();
        }
    }
}

}  // namespace

void DrawHeightGrid(float sizeX, float sizeZ, float divX, float divZ, HeightFunction height,
                    GLenum mode)
{
    if (!height || !(divX > 0.0f) || !(divZ > 0.0f))
        return;
    const float sx = sizeX / divX;
    const float sz = sizeZ / divZ;
    const float du = 1.0f / divX;
    const float dv = 1.0f / divZ;
    if (!StepReaches(-sizeX / 2.0f, sx, sizeX / 2.0f) || !StepReaches(-sizeZ / 2.0f, sz, sizeZ / 2.0f))
        return;
    const auto corner = [height](float cx, float cz, float s, float t) {
        glTexCoord2f(s, t);
        glVertex3f(cx, static_cast<float>(height(cx, cz)), cz);
    };
    float s = 0.0f;
    for (float x = -sizeX / 2.0f; x <= sizeX / 2.0f; x += sx) {
        float t = 0.0f;
        for (float z = -sizeZ / 2.0f; z <= sizeZ / 2.0f; z += sz) {
            glBegin(mode);
            corner(x, z, s, t);
            corner(x + sx, z, s + du, t);
            corner(x + sx, z + sz, s + du, t + dv);
            corner(x, z + sz, s, t + dv);
            glEnd();
            t += dv;
        }
        s += du;
    }
}

void DrawRevolution(float length, float divLength, float divAngle, RevolutionRadius radius,
                    GLenum mode)
{
    if (!radius)
        return;
    RingQuads(length, divLength, divAngle, mode, [radius](float angle, float h, float s, float t) {
        const double r = radius(h, angle);
        glTexCoord2f(s, t);
        glVertex3f(static_cast<float>(std::cos(angle * DEG) * r), h,
                   static_cast<float>(std::sin(angle * DEG) * r));
    });
}

void DrawSweep(double length, double divLength, double divAngle, SweepRadius radius,
               SweepCentre centre, GLenum mode)
{
    if (!radius || !centre || !(divLength > 0.0) || !(divAngle > 0.0))
        return;
    const double da = 360.0 / divAngle;
    const double dy = length / divLength;
    if (!StepReaches(0.0, da, 360.0) || !StepReaches(0.0, dy, length))
        return;
    const auto corner = [radius](double angle, double h, const PointVector& p, float s, float t) {
        const double r = radius(h, angle);
        const double v[3] = {std::cos(angle * DEG) * r + p.x, h + p.y, std::sin(angle * DEG) * r + p.z};
        glTexCoord2f(s, t);
        glVertex3dv(v);
    };
    for (double a = 0.0; a <= 360.0; a += da) {
        for (double y = 0.0; y < length; y += dy) {
            const PointVector q = centre(y);
            glBegin(mode);
            corner(a, y, q, 0.0f, 0.0f);
            corner(a + da, y, q, 1.0f, 0.0f);
            const PointVector next = centre(y + dy);
            corner(a + da, y + dy, next, 1.0f, 1.0f);
            corner(a, y + dy, next, 0.0f, 1.0f);
            glEnd();
        }
    }
}

void DrawRadialSphere(float divLon, float divLat, SphereRadius radius, GLenum mode)
{
    if (!radius || !(divLon > 0.0f) || !(divLat > 0.0f))
        return;
    const double dlon = 360.0 / divLon;
    // A full turn per divLat, while latitude only runs to 180: about divLat / 2 rows.
    const double dlat = 360.0 / divLat;
    if (!StepReaches(0.0, dlon, 360.0) || !StepReaches(0.0, dlat, 180.0))
        return;
    const auto corner = [radius](double lon, double lat) {
        const double r = radius(static_cast<float>(lon), static_cast<float>(lat));
        glTexCoord2d(lon / 360.0, lat / 180.0);
        glVertex3d(r * std::sin(lat * DEG) * std::cos(lon * DEG),
                   r * std::sin(lat * DEG) * std::sin(lon * DEG), r * std::cos(lat * DEG));
    };
    for (double lon = 0.0; lon < 360.0; lon += dlon) {
        for (double lat = 0.0; lat < 180.0; lat += dlat) {
            glBegin(mode);
            corner(lon, lat);
            corner(lon, lat + dlat);
            corner(lon + dlon, lat + dlat);
            corner(lon + dlon, lat);
            glEnd();
        }
    }
}

void DrawCylinder(float length, float divLength, float divAngle, float radius, GLenum mode)
{
    RingQuads(length, divLength, divAngle, mode, [radius](float angle, float h, float s, float t) {
        const double c = std::cos(angle * DEG);
        const double sn = std::sin(angle * DEG);
        glNormal3f(static_cast<float>(c), 0.0f, static_cast<float>(sn));
        glTexCoord2f(s, t);
        glVertex3f(static_cast<float>(c * radius), h, static_cast<float>(sn * radius));
    });
}

}  // namespace zkl
