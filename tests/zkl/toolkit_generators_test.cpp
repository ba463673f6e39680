// The surface generators and point samplers, drawn into the GL recorder.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "tests/support/gl_recorder.h"
#include "zkl/fmath.h"
#include "zkl/harmonicalsphere.h"
#include "zkl/objgen.h"
#include "zkl/vector.h"

using namespace zkl;

namespace {

using V = std::vector<double>;

// Each glBegin's mode with the arguments of its calls of one name, checking that every call
// is inside a primitive.
void Collect(std::vector<std::vector<V>>& out, const std::string& name, GLenum mode)
{
    bool open = false;
    for (const GlCall& c : glrec::calls()) {
        if (c.name == "glBegin" || c.name == "glEnd") {
            EXPECT_EQ(open, c.name == "glEnd") << c.name;
            EXPECT_TRUE(open || c.args.at(0) == mode);
            open = !open;
            if (open)
                out.emplace_back();
        } else {
            ASSERT_TRUE(open) << c.name << " outside glBegin/glEnd";
            if (c.name == name)
                out.back().push_back(c.args);
        }
    }
    EXPECT_FALSE(open);
}

std::vector<std::vector<V>> Primitives(const std::string& name, GLenum mode = GL_QUADS)
{
    std::vector<std::vector<V>> out;
    Collect(out, name, mode);
    return out;
}

double Ripple(float x, float z) { return 0.25 * x - 0.5 * z; }
double Widening(float y, float angle) { return 1.0 + y + angle / 1000.0; }
double SweepWidening(double y, double) { return 2.0 + y; }
PointVector Drift(double y) { return {10.0 * y, 100.0, -y}; }
double TwoUnits(float, float) { return 2.0; }

// Counts and the corners that pin where each loop starts and ends.
TEST(Generators, EachDrawsItsQuadsFromEdgeToEdge)
{
    glrec::reset();
    DrawRevolution(1.0f, 2.0f, 36.0f, Widening, GL_QUADS);  // 37 columns: 360 is drawn again
    auto quads = Primitives("glVertex3f");
    ASSERT_EQ(quads.size(), 37u * 2u);
    EXPECT_EQ(quads.front()[0], (V{1.0, 0.0, 0.0}));
    const double r = Widening(1.0f, 370.0f);
    EXPECT_EQ(quads.back()[2], (V{float(std::cos(370.0 * DEG) * r), 1.0, float(std::sin(370.0 * DEG) * r)}));
    EXPECT_EQ(Primitives("glTexCoord2f")[5], (std::vector<V>{{0, 0}, {1, 0}, {1, 1}, {0, 1}}));

    glrec::reset();
    DrawHeightGrid(2.0f, 4.0f, 2.0f, 2.0f, Ripple, GL_QUADS);  // x = -1, 0, 1 by z = -2, 0, 2
    quads = Primitives("glVertex3f");
    ASSERT_EQ(quads.size(), 9u);
    EXPECT_EQ(quads.front()[0], (V{-1.0, 0.75, -2.0}));
    EXPECT_EQ(quads.back()[2], (V{2.0, -1.5, 4.0}));
    EXPECT_EQ(Primitives("glTexCoord2f").front(), (std::vector<V>{{0, 0}, {0.5, 0}, {0.5, 0.5}, {0, 0.5}}));
    EXPECT_EQ(Primitives("glTexCoord2f").back()[0], (V{1.0, 1.0}));

    glrec::reset();
    DrawSweep(1.0, 1.0, 4.0, SweepWidening, Drift, GL_QUADS);  // angles 0, 90, 180, 270, 360
    quads = Primitives("glVertex3dv");
    ASSERT_EQ(quads.size(), 5u);
    EXPECT_EQ(quads[0][0], (V{2.0, 100.0, 0.0}));  // radius 2 around (0, 100, 0)
    EXPECT_DOUBLE_EQ(quads[0][2][0], std::cos(90 * DEG) * 3.0 + 10.0);  // angle 90, height 1: radius 3 around (10, 101, -1)
    EXPECT_EQ(quads[0][2][1], 101.0);
    EXPECT_DOUBLE_EQ(quads[0][2][2], std::sin(90 * DEG) * 3.0 - 1.0);
    EXPECT_EQ(quads[0][3][0], 13.0);

    glrec::reset();
    DrawRadialSphere(4.0f, 8.0f, TwoUnits, GL_QUADS);  // 4 longitudes by latitudes 0, 45, 90, 135
    ASSERT_EQ(Primitives("glVertex3d").size(), 16u);
    EXPECT_EQ(Primitives("glVertex3d")[0][0], (V{0.0, 0.0, 2.0}));
    const V lon90lat45 = Primitives("glVertex3d")[4][1];
    EXPECT_NEAR(lon90lat45[0], 0.0, 1e-4);
    EXPECT_NEAR(lon90lat45[1], std::sqrt(2.0), 1e-4);
    EXPECT_NEAR(lon90lat45[2], std::sqrt(2.0), 1e-4);
    EXPECT_EQ(Primitives("glTexCoord2d")[1], (std::vector<V>{{0.0, 0.25}, {0.0, 0.5}, {0.25, 0.5}, {0.25, 0.25}}));
    EXPECT_EQ(Primitives("glTexCoord2d").back()[2], (V{1.0, 1.0}));

    glrec::reset();
    DrawCylinder(2.0f, 1.0f, 4.0f, 3.0f, GL_QUADS);
    quads = Primitives("glVertex3f");
    const auto normals = Primitives("glNormal3f");
    ASSERT_EQ(quads.size(), 5u);
    EXPECT_EQ(quads[0][0], (V{3.0, 0.0, 0.0}));
    EXPECT_EQ(quads[0][2][1], 2.0);
    for (size_t q = 0; q < 5; ++q)
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(normals[q][k][0] * 3, quads[q][k][0], 1e-5);
            EXPECT_NEAR(normals[q][k][2] * 3, quads[q][k][2], 1e-5);
        }
}

TEST(Generators, HarmonicShapeAndBlobReachOneStepPastTheirEnds)
{
    glrec::reset();
    DrawHarmonicShape(4, GL_QUADS);
    const auto shape = Primitives("glVertex3f");
    ASSERT_EQ(shape.size(), 1u);
    ASSERT_EQ(shape[0].size(), 4u * 5 * 5);
    EXPECT_EQ(shape[0][0], (V{0.0, 2.0, 0.0}));
    const int32_t m[8] = {3, 4, 3, 4, 3, 4, 3, 4};
    const XYZ end = HarmonicShapePoint(6.28, 3.14 + 3.14 / 4, m);  // u = n du, v = n dv + dv
    EXPECT_EQ(shape[0].back(), (V{end.x, end.y, end.z}));
    // Odd powers keep the sign of their base.
    const int32_t odd[8] = {1, 1, 0, 1, 1, 1, 0, 1};
    const XYZ p = HarmonicShapePoint(0.0, -std::acos(0.0), odd);
    EXPECT_NEAR(p.x, -1.0f, 1e-6);

    glrec::reset();
    DrawBlob(0.5f, 30.0f);
    const auto strips = Primitives("glVertex3d", GL_TRIANGLE_STRIP);
    ASSERT_EQ(strips.size(), 51u);
    for (const auto& s : strips)
        EXPECT_EQ(s.size(), 202u);
    EXPECT_EQ(strips.front()[0], (V{0.0, 0.0, 1.2}));  // radius 1.2 at the north pole
    EXPECT_LT(strips.back()[200][2], -1.0);
}

TEST(Generators, ArgumentsThatCannotStepDrawNothing)
{
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const std::function<void()> cases[] = {
        [] { DrawHarmonicShape(0, GL_QUADS); },
        [] { DrawHeightGrid(2, 2, 0, 2, Ripple, GL_QUADS); },
        [] { DrawHeightGrid(2, 2, 2, -1, Ripple, GL_QUADS); },
        [=] { DrawHeightGrid(inf, 2, 2, 2, Ripple, GL_QUADS); },
        [] { DrawHeightGrid(1e9f, 2, 1e9f, 2, Ripple, GL_QUADS); },  // the step is lost in rounding
        [] { DrawHeightGrid(2, 2, 2, 2, nullptr, GL_QUADS); },
        [] { DrawRevolution(1, -2, 36, Widening, GL_QUADS); },
        [=] { DrawRevolution(nan, 2, 36, Widening, GL_QUADS); },
        [] { DrawRevolution(1, 2, 1e-40f, Widening, GL_QUADS); },
        [] { DrawSweep(1, 0, 4, SweepWidening, Drift, GL_QUADS); },
        [] { DrawSweep(1e20, 1e20, 4, SweepWidening, Drift, GL_QUADS); },
        [] { DrawSweep(1, 1, 4, SweepWidening, nullptr, GL_QUADS); },
        [] { DrawRadialSphere(0, 8, TwoUnits, GL_QUADS); },
        [=] { DrawRadialSphere(4, nan, TwoUnits, GL_QUADS); },
        [] { DrawCylinder(1, 1, 0, 1, GL_QUADS); },
        [] { DrawCylinder(1e9f, 1e9f, 4, 1, GL_QUADS); },
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        glrec::reset();
        cases[i]();
        EXPECT_TRUE(glrec::calls().empty()) << "case " << i << ":\n" << glrec::dump();
    }
}

double UnitRadius(double, double) { return 1.0; }

TEST(Samplers, RevolutionSamplesTheCircleAtEachHeightAndRefusesWhatCannotStep)
{
    cVectorList list;
    SampleRevolution(1.0f, 4.0f, 4.0f, UnitRadius, &list);
    std::vector<cVector> points;
    for (const cVectorNod* n = list.head; n; n = n->next)
        points.push_back(n->value);
    ASSERT_EQ(points.size(), 20u);  // angles 0 to 360 (outer) by heights 0 to 0.75 (inner)
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_DOUBLE_EQ(points[i].y, 0.25 * double(i % 4)) << i;
        EXPECT_NEAR(points[i].x, std::cos(90.0 * double(i / 4) * DEG), 1e-12) << i;
    }
    for (const float bad : {0.0f, -4.0f, std::numeric_limits<float>::quiet_NaN()}) {
        cVectorList none;
        SampleRevolution(1, 1e-40f, 4, UnitRadius, &none);
        SampleRevolution(1, 4, bad, UnitRadius, &none);
        SampleRevolution(1, bad, 4, UnitRadius, &none);
        SampleRadialSphere(bad, 8, [](float, float) { return 1.0; }, &none);
        EXPECT_EQ(none.head, nullptr) << bad;
    }
    SampleRevolution(1, 4, 4, UnitRadius, nullptr);
}

TEST(AngleTable, TruncatesTenthsTowardZeroAndWraps)
{
    FillAngleTable();
    EXPECT_EQ(AngleTableAt(-700.0), 1.0);
    for (int k = 0; k < 3600; ++k)
        angleTable[k] = k;  // numbered, to see which entry each angle reads
    const std::pair<double, double> cases[] = {
        {359.95, 3599}, {360.0, 0}, {-0.05, 0}, {-0.15, 3599}, {0.19, 1}, {725.25, 52},
        {36000000000012.5, 125}, {-36000000000012.5, 3600 - 125},  // beyond the int range
        {std::nan(""), 0}, {std::numeric_limits<double>::infinity(), 0}, {1e308, 0},
    };
    for (const auto& [angle, entry] : cases)
        EXPECT_EQ(AngleTableAt(angle), entry) << angle;
    FillAngleTable();
}

}  // namespace
