#include "zkl/harmonicalsphere.h"

#include <cmath>

#include "zkl/fmath.h"

namespace zkl {

XYZ HarmonicShapePoint(double u, double v, const int32_t* m)
{
    double r = std::pow(std::sin(m[0] * v), m[1]);
    r += std::pow(std::cos(m[2] * v), m[3]);
    r += std::pow(std::sin(m[4] * u), m[5]);
    r += std::pow(std::cos(m[6] * u), m[7]);
    return {static_cast<float>(r * std::sin(v) * std::cos(u)), static_cast<float>(r * std::cos(v)),
            static_cast<float>(r * std::sin(v) * std::sin(u))};
}

namespace {

void HarmonicCorner(double u, double v, float s, float t, const int32_t* m)
{
    const XYZ p = HarmonicShapePoint(u, v, m);
    glTexCoord2f(s, t);
    glVertex3f(p.x, p.y, p.z);
}

}  // namespace

void DrawHarmonicShape(int n, GLenum mode)
{
    if (n < 1)
        return;
    static const int32_t m[8] = {3, 4, 3, 4, 3, 4, 3, 4};
    // 6.28 and 3.14 rather than 2 pi and pi: the shape has always been drawn with these.
    const double du = 6.28 / n;
    const double dv = 3.14 / n;
    glBegin(mode);
    for (int64_t i = 0; i <= n; ++i) {
        const double u = i * du;
        for (int64_t j = 0; j <= n; ++j) {
            const double v = j * dv;
            HarmonicCorner(u, v, 0.0f, 0.0f, m);
            HarmonicCorner(u + du, v, 1.0f, 0.0f, m);
            HarmonicCorner(u + du, v + dv, 1.0f, 1.0f, m);
            HarmonicCorner(u, v + dv, 0.0f, 1.0f, m);
        }
    }
    glEnd();
}

void DrawBlob(float amplitude, float phase)
{
    for (double lat = 0.0; lat <= 180.0; lat += 3.6) {
        glBegin(GL_TRIANGLE_STRIP);
        for (double lon = 0.0; lon <= 363.6; lon += 3.6) {
            const double w = amplitude * std::sin((5.0 * lat + phase) * DEG);
            const double r1 = std::sin(3.0 * lon * DEG) * w / 5.0 + 1.2;
            glColor3d(std::cos(lat * DEG) * r1 / 3.0 + 0.5, 0.0, 0.0);
            glVertex3d(r1 * std::sin(lat * DEG) * std::cos(lon * DEG),
                       r1 * std::sin(lat * DEG) * std::sin(lon * DEG), r1 * std::cos(lat * DEG));

            // The trailing vertex lies one step back in both angles; its ripple takes the
            // leading radius where the leading vertex took w.
            const double latBack = lat - 3.6;
            const double lonBack = lon - 3.6;
            const double r2 = std::sin(3.0 * lonBack * DEG) * r1 / 5.0 + 1.2;
            glVertex3d(r2 * std::sin(latBack * DEG) * std::cos(lonBack * DEG),
                       r2 * std::sin(latBack * DEG) * std::sin(lonBack * DEG),
                       r2 * std::cos(latBack * DEG));
            lat = latBack + 3.6;
            lon = lonBack + 3.6;
        }
        glEnd();
    }
}

}  // namespace zkl
