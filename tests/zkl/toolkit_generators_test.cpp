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
using Primitive = std::vector<V>;

// The arguments of the calls of one name in each glBegin/glEnd pair; every call must be inside a
// primitive of this mode.
std::vector<Primitive> Primitives(const std::string& name, GLenum mode = GL_QUADS)
{
    std::vector<Primitive> out;
    bool open = false;
    for (const GlCall& c : glrec::calls()) {
        if (c.name == "glBegin" || c.name == "glEnd") {
            EXPECT_EQ(open, c.name == "glEnd") << c.name;
            EXPECT_TRUE(open || c.args.at(0) == mode);
            open = !open;
            if (open)
                out.emplace_back();
        } else {
            EXPECT_TRUE(open) << c.name << " outside glBegin/glEnd";
            if (open && c.name == name)
                out.back().push_back(c.args);
        }
    }
    EXPECT_FALSE(open);
    return out;
}

void ExpectNear(const V& got, const V& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], 1e-5) << "coordinate " << i;
}

double Ripple(float x, float z) { return 0.25 * x - 0.5 * z; }
double Widening(float y, float angle) { return 1.0 + y + angle / 1000.0; }
double SweepWidening(double y, double) { return 2.0 + y; }
PointVector Drift(double y) { return {10.0 * y, 100.0, -y}; }
double TwoUnits(float, float) { return 2.0; }

// The count, the first quad corner by corner and the very last corner pin where each loop
// starts, how it steps and where it ends.
TEST(Generators, EachDrawsItsQuadsFromEdgeToEdge)
{
    const Primitive unit = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const struct {
        std::function<void()> draw;
        const char *vertex, *coord;
        size_t count;
        Primitive first, firstCoords;
        V last, lastCoord;
    } cases[] = {
        // Angles 0 to 360 (drawn again) by heights 0 and 0.5; the radius is 1 + height + angle / 1000.
        {[] { DrawRevolution(1, 2, 36, Widening, GL_QUADS); }, "glVertex3f", "glTexCoord2f", 37 * 2,
         {{1, 0, 0}, {0.994656, 0, 0.175385}, {1.48706, 0.5, 0.262209}, {1.5, 0.5, 0}}, unit, {2.36, 1, 0}, {0, 1}},
        // x = -1, 0, 1 by z = -2, 0, 2.
        {[] { DrawHeightGrid(2, 4, 2, 2, Ripple, GL_QUADS); }, "glVertex3f", "glTexCoord2f", 9,
         {{-1, 0.75, -2}, {0, 1, -2}, {0, 0, 0}, {-1, -0.25, 0}}, {{0, 0}, {0.5, 0}, {0.5, 0.5}, {0, 0.5}},
         {1, -1.75, 4}, {1, 1.5}},
        // Angles 0 to 360 by 90, one height step: radius 2 around (0, 100, 0), then 3 around (10, 101, -1).
        {[] { DrawSweep(1, 1, 4, SweepWidening, Drift, GL_QUADS); }, "glVertex3dv", "glTexCoord2f", 5,
         {{2, 100, 0}, {0, 100, 2}, {10, 101, 2}, {13, 101, -1}}, unit, {13, 101, -1}, {0, 1}},
        // 4 longitudes by latitudes 0, 45, 90, 135 on a radius of 2.
        {[] { DrawRadialSphere(4, 8, TwoUnits, GL_QUADS); }, "glVertex3d", "glTexCoord2d", 16,
         {{0, 0, 2}, {1.414214, 0, 1.414214}, {0, 1.414214, 1.414214}, {0, 0, 2}},
         {{0, 0}, {0, 0.25}, {0.25, 0.25}, {0.25, 0}}, {1.414214, 0, -1.414214}, {1, 0.75}},
        {[] { DrawCylinder(2, 1, 4, 3, GL_QUADS); }, "glVertex3f", "glTexCoord2f", 5,
         {{3, 0, 0}, {0, 0, 3}, {0, 2, 3}, {3, 2, 0}}, unit, {3, 2, 0}, {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vertex + std::string(" quads: ") + std::to_string(c.count));
        glrec::reset();
        c.draw();
        const auto quads = Primitives(c.vertex), coords = Primitives(c.coord);
        ASSERT_EQ(quads.size(), c.count);
        for (size_t k = 0; k < 4; ++k) {
            ExpectNear(quads.front().at(k), c.first[k]);
            ExpectNear(coords.front().at(k), c.firstCoords[k]);
        }
        ExpectNear(quads.back().back(), c.last);
        ExpectNear(coords.back().back(), c.lastCoord);
    }
    // The cylinder, drawn last: its normals point out along the radius.
    const auto quads = Primitives("glVertex3f"), normals = Primitives("glNormal3f");
    for (size_t q = 0; q < quads.size(); ++q)
        for (size_t k = 0; k < 4; ++k)
            ExpectNear(normals[q][k], {quads[q][k][0] / 3, 0, quads[q][k][2] / 3});
}

TEST(Generators, HarmonicShapeAndBlobReachOneStepPastTheirEnds)
{
    glrec::reset();
    DrawHarmonicShape(4, GL_QUADS);
    const auto shape = Primitives("glVertex3f");
    ASSERT_EQ(shape.size(), 1u);
    ASSERT_EQ(shape[0].size(), 4u * 5 * 5);
    EXPECT_EQ(shape[0][0], (V{0.0, 2.0, 0.0}));
    ExpectNear(shape[0].back(), {-1.058463, -1.062691, 0.003372});  // u = 6.28, v = 3.14 + 3.14 / 4
    // Odd powers keep the sign of their base.
    const int32_t odd[8] = {1, 1, 0, 1, 1, 1, 0, 1};
    EXPECT_NEAR(HarmonicShapePoint(0.0, -std::acos(0.0), odd).x, -1.0f, 1e-6);

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
