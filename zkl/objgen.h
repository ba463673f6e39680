#pragma once
// Surface generators in immediate mode: a height grid, surfaces of revolution (plain and around
// a centre path), a sphere with a radius function and a cylinder. Angles are in degrees. Every
// quad is its own glBegin(mode) / glEnd, so mode is normally GL_QUADS or GL_LINE_LOOP.
// Divisions must be positive and sizes finite; otherwise nothing is drawn.
#include <GL/gl.h>

#include "zkl/vector.h"

namespace zkl {

struct PointVector {
    double x;
    double y;
    double z;
};

using HeightFunction = double (*)(float x, float z);
using RevolutionRadius = double (*)(float y, float angle);
using SweepCentre = PointVector (*)(double y);

// Quads over sizeX by sizeZ centred on the origin, y = height(x, z), texture 0..1 across.
void DrawHeightGrid(float sizeX, float sizeZ, float divX, float divZ, HeightFunction height,
                    GLenum mode);
// Around the y axis: angle 0 while at most 360 (one column past the seam), height 0 while below
// length, radius(height, angle).
void DrawRevolution(float length, float divLength, float divAngle, RevolutionRadius radius,
                    GLenum mode);
// As DrawRevolution, in doubles, with each ring moved by centre(height).
void DrawSweep(double length, double divLength, double divAngle, SweepRadius radius,
               SweepCentre centre, GLenum mode);
// Longitude 0 while below 360, latitude 0 while below 180 in steps of 360 / divLat; each corner
// takes the texture coordinate (longitude / 360, latitude / 180).
void DrawRadialSphere(float divLon, float divLat, SphereRadius radius, GLenum mode);
// A cylinder of the given radius around the y axis, each vertex with its radial normal.
void DrawCylinder(float length, float divLength, float divAngle, float radius, GLenum mode);

}  // namespace zkl
