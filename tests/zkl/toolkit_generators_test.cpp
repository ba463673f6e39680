#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/gl_recorder.h"
#include "zkl/fmath.h"
#include "zkl/harmonicalsphere.h"
#include "zkl/objgen.h"

namespace {

// The primitives of a recorded run: each glBegin with the calls up to its glEnd.
struct Primitive {
    double mode = -1;
    std::vector<GlCall> calls;
    std::vector<std::vector<double>> args(const std::string& name) const
    {
        std::vector<std::vector<double>> out;
        for (const GlCall& c : calls)
            if (c.name == name)
                out.push_back(c.args);
        return out;
    }
};

std::vector<Primitive> Primitives()
{
    std::vector<Primitive> out;
    bool open = false;
    for (const GlCall& c : glrec::calls()) {
        if (c.name == "glBegin") {
            EXPECT_FALSE(open) << "glBegin inside a primitive";
            out.push_back({c.args[0], {}});
            open = true;
        } else if (c.name == "glEnd") {
            EXPECT_TRUE(open) << "glEnd without glBegin";
            open = false;
        } else {
            EXPECT_TRUE(open) << c.name << " outside glBegin/glEnd";
            if (open)
                out.back().calls.push_back(c);
        }
    }
    EXPECT_FALSE(open) << "primitive left open";
    return out;
}

using V = std::vector<double>;

class Generators : public ::testing::Test {
protected:
    void SetUp() override { glrec::reset(); }
};

double Ripple(float x, float z) { return 0.25 * x - 0.5 * z; }
double Widening(float y, float angle) { return 1.0 + y + angle / 1000.0; }
double SweepWidening(double y, double) { return 2.0 + y; }
PointVector Drift(double y) { return {10.0 * y, 100.0, -y}; }
double TwoUnits(float, float) { return 2.0; }

TEST_F(Generators, BlobIsFiftyOneStripsOfTwoHundredTwoVertices)
{
    DrawBlob(0.5f, 30.0f);
    const std::vector<Primitive> strips = Primitives();
    ASSERT_EQ(strips.size(), 51u);
    for (const Primitive& s : strips) {
        EXPECT_EQ(s.mode, GL_TRIANGLE_STRIP);
        EXPECT_EQ(s.args("glVertex3d").size(), 202u);
        EXPECT_EQ(s.args("glColor3d").size(), 101u);
    }
    // Radius 1.2 at the north pole, coloured by it; the last strip leads at the south pole.
    EXPECT_EQ(strips.front().args("glVertex3d")[0], (V{0.0, 0.0, 1.2}));
    EXPECT_DOUBLE_EQ(strips.front().args("glColor3d")[0][0], 1.2 / 3.0 + 0.5);
    // Its partner lies one step back, on the three-lobed radius.
    const double back = -3.6 * DEG, r = std::sin(3.0 * back) * 1.2 / 5.0 + 1.2;
    const V partner = strips.front().args("glVertex3d")[1];
    EXPECT_DOUBLE_EQ(partner[0], r * std::sin(back) * std::cos(back));
    EXPECT_DOUBLE_EQ(partner[2], r * std::cos(back));
    const V south = strips.back().args("glVertex3d")[200];
    EXPECT_NEAR(std::hypot(south[0], south[1]), 0.0, 1e-4);
    EXPECT_LT(south[2], -1.0);
}

TEST_F(Generators, HarmonicShapeIsOnePrimitiveReachingOneStepPastItsEnds)
{
    const int n = 4;
    DrawHarmonicShape(n, GL_QUADS);
    const std::vector<Primitive> prims = Primitives();
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_EQ(prims[0].mode, GL_QUADS);
    const auto vertices = prims[0].args("glVertex3f");
    const auto texture = prims[0].args("glTexCoord2f");
    ASSERT_EQ(vertices.size(), 4u * (n + 1) * (n + 1));
    ASSERT_EQ(texture.size(), vertices.size());
    EXPECT_EQ(vertices[0], (V{0.0, 2.0, 0.0}));
    EXPECT_EQ(texture[0], (V{0.0, 0.0}));
    EXPECT_EQ(texture[3], (V{0.0, 1.0}));
    // The last quad's last corner is (u, v + dv) at i = j = n: beyond 3.14 in v.
    const int32_t m[8] = {3, 4, 3, 4, 3, 4, 3, 4};
    const double du = 6.28 / n, dv = 3.14 / n;
    const XYZ end = HarmonicShapePoint(n * du, n * dv + dv, m);
    EXPECT_EQ(vertices.back(), (V{end.x, end.y, end.z}));
}

TEST_F(Generators, RevolutionWithThirtySixDivisionsHasThirtySevenColumns)
{
    DrawRevolution(1.0f, 2.0f, 36.0f, Widening, GL_QUADS);
    const std::vector<Primitive> quads = Primitives();
    ASSERT_EQ(quads.size(), 37u * 2u);
    for (const Primitive& q : quads) {
        ASSERT_EQ(q.args("glVertex3f").size(), 4u);
        EXPECT_EQ(q.args("glTexCoord2f"), (std::vector<V>{{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    }
    EXPECT_EQ(quads.front().args("glVertex3f")[0], (V{1.0, 0.0, 0.0}));
    EXPECT_EQ(quads.front().args("glVertex3f")[2][1], 0.5);
    // The last column starts at 360 and covers 360 to 370 degrees at heights 0.5 to 1.
    const double r = Widening(1.0f, 370.0f);
    EXPECT_EQ(quads.back().args("glVertex3f")[2],
              (V{float(std::cos(370.0 * DEG) * r), 1.0, float(std::sin(370.0 * DEG) * r)}));
}

TEST_F(Generators, HeightGridIncludesBothEdgesAndLiftsByTheHeightFunction)
{
    DrawHeightGrid(2.0f, 4.0f, 2.0f, 2.0f, Ripple, GL_QUADS);
    const std::vector<Primitive> quads = Primitives();
    ASSERT_EQ(quads.size(), 9u);  // x = -1, 0, 1 by z = -2, 0, 2
    const auto first = quads.front().args("glVertex3f");
    EXPECT_EQ(first[0], (V{-1.0, Ripple(-1, -2), -2.0}));
    EXPECT_EQ(first[2], (V{0.0, Ripple(0, 0), 0.0}));
    EXPECT_EQ(quads.front().args("glTexCoord2f")[2], (V{0.5, 0.5}));
    EXPECT_EQ(quads.back().args("glTexCoord2f")[0], (V{1.0, 1.0}));
    EXPECT_EQ(quads.back().args("glVertex3f")[2], (V{2.0, Ripple(2, 4), 4.0}));
}

TEST_F(Generators, SweepMovesEachRingByItsCentre)
{
    DrawSweep(1.0, 1.0, 4.0, SweepWidening, Drift, GL_QUADS);
    const std::vector<Primitive> quads = Primitives();
    ASSERT_EQ(quads.size(), 5u);  // angles 0, 90, 180, 270, 360
    const auto v = quads.front().args("glVertex3dv");
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0], (V{2.0, 100.0, 0.0}));  // angle 0, height 0: radius 2 around (0, 100, 0)
    // Angle 90, height 1: radius 3 around (10, 101, -1), in the toolkit's degrees.
    EXPECT_DOUBLE_EQ(v[2][0], std::cos(90 * DEG) * 3.0 + 10.0);
    EXPECT_EQ(v[2][1], 101.0);
    EXPECT_DOUBLE_EQ(v[2][2], std::sin(90 * DEG) * 3.0 - 1.0);
    EXPECT_DOUBLE_EQ(v[3][0], 13.0);
}

TEST_F(Generators, RadialSphereWithEightLatitudeDivisionsDrawsFourRows)
{
    DrawRadialSphere(4.0f, 8.0f, TwoUnits, GL_QUADS);
    const std::vector<Primitive> quads = Primitives();
    ASSERT_EQ(quads.size(), 16u);
    // Second quad: longitude 0, latitude 45 to 90; corners (lon, lat), (lon, lat + d),
    // (lon + d, lat + d), (lon + d, lat), each textured with (lon / 360, lat / 180).
    EXPECT_EQ(quads[1].args("glTexCoord2d"), (std::vector<V>{{0.0, 0.25}, {0.0, 0.5}, {0.25, 0.5}, {0.25, 0.25}}));
    EXPECT_EQ(quads[0].args("glVertex3d")[0], (V{0.0, 0.0, 2.0}));
    const V south = quads.back().args("glVertex3d")[2];
    // Next to zero: C libraries round sin there differently, so an absolute bound.
    EXPECT_NEAR(south[0], 2.0 * std::sin(180 * DEG) * std::cos(360 * DEG), 1e-12);
    EXPECT_DOUBLE_EQ(south[2], 2.0 * std::cos(180 * DEG));
    EXPECT_EQ(quads.back().args("glTexCoord2d")[2], (V{1.0, 1.0}));
}

TEST_F(Generators, CylinderGivesEveryVertexItsRadialNormal)
{
    DrawCylinder(2.0f, 1.0f, 4.0f, 3.0f, GL_QUADS);
    const std::vector<Primitive> quads = Primitives();
    ASSERT_EQ(quads.size(), 5u);
    for (const Primitive& q : quads) {
        const auto normals = q.args("glNormal3f");
        const auto vertices = q.args("glVertex3f");
        ASSERT_EQ(normals.size(), 4u);
        ASSERT_EQ(vertices.size(), 4u);
        EXPECT_EQ(q.calls.front().name, "glNormal3f");
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(normals[k][0] * 3.0, vertices[k][0], 1e-5);
            EXPECT_EQ(normals[k][1], 0.0);
            EXPECT_NEAR(normals[k][2] * 3.0, vertices[k][2], 1e-5);
        }
    }
    EXPECT_EQ(quads[0].args("glVertex3f")[0], (V{3.0, 0.0, 0.0}));
    EXPECT_EQ(quads[0].args("glVertex3f")[2][1], 2.0);
}

TEST_F(Generators, ArgumentsThatCannotStepDrawNothing)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"harmonic n 0", [] { DrawHarmonicShape(0, GL_QUADS); }},
        {"harmonic n -3", [] { DrawHarmonicShape(-3, GL_QUADS); }},
        {"grid divX 0", [] { DrawHeightGrid(2, 2, 0, 2, Ripple, GL_QUADS); }},
        {"grid divZ -1", [] { DrawHeightGrid(2, 2, 2, -1, Ripple, GL_QUADS); }},
        {"grid size 0", [] { DrawHeightGrid(0, 2, 2, 2, Ripple, GL_QUADS); }},
        {"grid size inf", [=] { DrawHeightGrid(inf, 2, 2, 2, Ripple, GL_QUADS); }},
        {"grid divX nan", [=] { DrawHeightGrid(2, 2, nan, 2, Ripple, GL_QUADS); }},
        {"grid step lost", [] { DrawHeightGrid(1e9f, 2, 1e9f, 2, Ripple, GL_QUADS); }},
        {"grid no function", [] { DrawHeightGrid(2, 2, 2, 2, nullptr, GL_QUADS); }},
        {"revolution divAngle 0", [] { DrawRevolution(1, 2, 0, Widening, GL_QUADS); }},
        {"revolution divLength -2", [] { DrawRevolution(1, -2, 36, Widening, GL_QUADS); }},
        {"revolution length nan", [=] { DrawRevolution(nan, 2, 36, Widening, GL_QUADS); }},
        {"revolution divAngle inf", [=] { DrawRevolution(1, 2, inf, Widening, GL_QUADS); }},
        {"revolution tiny divAngle", [] { DrawRevolution(1, 2, 1e-40f, Widening, GL_QUADS); }},
        {"sweep divLength 0", [] { DrawSweep(1, 0, 4, SweepWidening, Drift, GL_QUADS); }},
        {"sweep length inf", [] { DrawSweep(std::numeric_limits<double>::infinity(), 2, 4, SweepWidening, Drift, GL_QUADS); }},
        {"sweep step lost", [] { DrawSweep(1e20, 1e20, 4, SweepWidening, Drift, GL_QUADS); }},
        {"sweep no centre", [] { DrawSweep(1, 1, 4, SweepWidening, nullptr, GL_QUADS); }},
        {"sphere divLon 0", [] { DrawRadialSphere(0, 8, TwoUnits, GL_QUADS); }},
        {"sphere divLat -8", [] { DrawRadialSphere(4, -8, TwoUnits, GL_QUADS); }},
        {"sphere divLat nan", [=] { DrawRadialSphere(4, nan, TwoUnits, GL_QUADS); }},
        {"cylinder divAngle 0", [] { DrawCylinder(1, 1, 0, 1, GL_QUADS); }},
        {"cylinder length inf", [=] { DrawCylinder(inf, 1, 4, 1, GL_QUADS); }},
        {"cylinder step lost", [] { DrawCylinder(1e9f, 1e9f, 4, 1, GL_QUADS); }},
    };
    for (const auto& [what, draw] : cases) {
        glrec::reset();
        draw();
        EXPECT_TRUE(glrec::calls().empty()) << what << ":\n" << glrec::dump();
    }
}

}  // namespace
