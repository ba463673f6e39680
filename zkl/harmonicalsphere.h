#pragma once
// Shapes built from powers of sines and cosines: the harmonic shape and the rippling blob.
#include <GL/gl.h>

#include <cstdint>

namespace zkl {

struct XYZ {
    float x;
    float y;
    float z;
};

// The point of the harmonic shape at (u, v), in radians, for the eight parameters m[0..7]:
// r = sin(m0 v)^m1 + cos(m2 v)^m3 + sin(m4 u)^m5 + cos(m6 u)^m7, placed on the sphere of (u, v).
XYZ HarmonicShapePoint(double u, double v, const int32_t* m);

// The harmonic shape with parameters 3, 4, 3, 4, 3, 4, 3, 4 as quads of n by n divisions (one
// step past each end), all in one glBegin(mode) / glEnd. Draws nothing for n below 1.
void DrawHarmonicShape(int n, GLenum mode);

// A sphere rippling with the phase (degrees), as 51 triangle strips of 202 vertices.
void DrawBlob(float amplitude, float phase);

}  // namespace zkl
