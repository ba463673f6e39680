// The toolkit's pieces, drawn into the GL recorder.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "tests/support/gl_recorder.h"
#include "zkl/ansi.h"
#include "zkl/fmath.h"
#include "zkl/font.h"
#include "zkl/harmonicalsphere.h"
#include "zkl/objgen.h"
#include "zkl/spacecloud.h"
#include "zkl/vector.h"

static int failingAllocations = 0;  // makes the next nothrow allocations fail

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return failingAllocations > 0 && failingAllocations-- ? nullptr : ::operator new(size);
}

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

std::vector<cVector> Points(const cVectorList& list)
{
    std::vector<cVector> out;
    for (const cVectorNod* n = list.head; n; n = n->next)
        out.push_back(n->value);
    return out;
}

double Ripple(float x, float z) { return 0.25 * x - 0.5 * z; }
double Widening(float y, float angle) { return 1.0 + y + angle / 1000.0; }
double SweepWidening(double y, double) { return 2.0 + y; }
PointVector Drift(double y) { return {10.0 * y, 100.0, -y}; }
double TwoUnits(float, float) { return 2.0; }
double UnitRadius(double, double) { return 1.0; }

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
        [=] { DrawRevolution(nan, 2, 36, Widening, GL_QUADS); },
        [] { DrawSweep(1, 0, 4, SweepWidening, Drift, GL_QUADS); },
        [] { DrawSweep(1e20, 1e20, 4, SweepWidening, Drift, GL_QUADS); },
        [] { DrawSweep(1, 1, 4, SweepWidening, nullptr, GL_QUADS); },
        [] { DrawRadialSphere(0, 8, TwoUnits, GL_QUADS); },
        [=] { DrawRadialSphere(4, nan, TwoUnits, GL_QUADS); },
        [] { DrawCylinder(1e9f, 1e9f, 4, 1, GL_QUADS); },
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        glrec::reset();
        cases[i]();
        EXPECT_TRUE(glrec::calls().empty()) << "case " << i << ":\n" << glrec::dump();
    }
}

TEST(Samplers, RevolutionSamplesTheCircleAtEachHeightAndRefusesWhatCannotStep)
{
    cVectorList list;
    SampleRevolution(1.0f, 4.0f, 4.0f, UnitRadius, &list);
    const std::vector<cVector> points = Points(list);
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

TEST(VectorList, AppendKeepsOrderClearStartsOverAndNoMemoryLeavesItAsItWas)
{
    cVectorList list;
    for (double x : {1, 2, 3})
        list.Append({x, 0, 0});
    failingAllocations = 1;
    list.Append({4, 0, 0});
    const std::vector<cVector> points = Points(list);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_TRUE(points[0] == (cVector{1, 0, 0}) && points[2] == (cVector{3, 0, 0}));
    list.Clear();
    EXPECT_EQ(list.head, nullptr);
    list.Append({7, 8, 9});  // freed by the destructor, or the sanitizer build reports a leak
    EXPECT_TRUE(list.head->value == (cVector{7, 8, 9}));
}

// An image as the loader makes it: malloc'd record and pixels.
ImageRecord* MakeImage(int width, int height, const std::vector<unsigned char>& bytes)
{
    auto* record = static_cast<ImageRecord*>(std::malloc(sizeof(ImageRecord)));
    *record = {width, height, static_cast<unsigned char*>(std::malloc(bytes.size()))};
    std::memcpy(record->pixels, bytes.data(), bytes.size());
    return record;
}

// A 3 x 2 height map: pixel (x, y) has channels k, 2k and 27k (height 30k) for k = x + 3y + 1.
TEST(Relief, SamplesInsideTheMapAndDrawsRowsFromTheFarEnd)
{
    std::vector<unsigned char> map(18);
    for (int k = 1; k <= 6; ++k) {
        map[3 * k - 3] = uint8_t(k);
        map[3 * k - 2] = uint8_t(2 * k);
        map[3 * k - 1] = uint8_t(27 * k);
    }
    cAnsi relief;
    relief.heightmap = MakeImage(3, 2, map);
    for (const auto& [x, y, height] : {std::tuple{1, 0, 60}, {2, 1, 180}, {3, 0, 0}, {0, 2, 0}, {-1, 0, 0}, {0, -1, 0}})
        EXPECT_EQ(relief.SampleHeight(x, y), height) << x << "," << y;

    glrec::reset();
    relief.gridWidth = 2, relief.gridHeight = 2;
    relief.Draw(0.5, 0.25, 0.01);
    const auto v = glrec::named("glVertex3d"), t = glrec::named("glTexCoord2d");
    ASSERT_EQ(v.size(), 16u);
    // Cell (0, 1), corners 5 to 8: map rows 1 and 0 (gridHeight - 1 and one less), the texture's lower half.
    const std::pair<V, V> corners[] = {
        {{0, 0.25, -1.2}, {0, 0.5}}, {{0.5, 0.25, -1.5}, {0.5, 0.5}}, {{0.5, 0.5, -0.6}, {0.5, 0}}, {{0, 0.5, -0.3}, {0, 0}}};
    for (size_t k = 0; k < 4; ++k) {
        ExpectNear(v[4 + k].args, corners[k].first);
        ExpectNear(t[4 + k].args, corners[k].second);
    }
    ExpectNear(v[13].args, {1.0, 0.25, -1.8});  // cell (1, 1) reaches x = 2, the last column
    glrec::reset();
    relief.gridHeight = 0;
    relief.Draw(1, 1, 1);
    EXPECT_TRUE(glrec::calls().empty());
}

TEST(Font, FindsTheFirstCellAndPrintsRowByRowFromTheTop)
{
    cFont font;
    font.Load("", "0123456x5", 4, 2, 0.5, 0.75);
    glrec::reset();
    font.Print("5?\nx5");
    // After a line feed the pen is back at the start one line lower; the unknown '?' still advances.
    std::vector<double> pens;
    for (const GlCall& c : glrec::named("glTranslatef"))
        pens.insert(pens.end(), c.args.begin(), c.args.begin() + 2);
    EXPECT_EQ(pens, (std::vector<double>{0.5, 0, 0.5, 0, 0, -0.75, 0.5, 0, 0.5, 0}));
    EXPECT_EQ(glrec::count("glBindTexture"), 3u) << "each glyph with the font's texture";
    EXPECT_EQ(glrec::count("glPushMatrix"), glrec::count("glPopMatrix"));
    // '5' is index 5: column 1 of the second row from the top, the lower half of the texture.
    const std::pair<V, V> corners[] = {
        {{0.25, 0}, {0, 0, 0}}, {{0.5, 0}, {0.5, 0, 0}},
        {{0.5, 0.5}, {0.5, 0.75, 0}}, {{0.25, 0.5}, {0, 0.75, 0}}};
    const auto coords = glrec::named("glTexCoord2d"), vertices = glrec::named("glVertex3d");
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(std::pair(coords.at(k).args, vertices.at(k).args), corners[k]);
    EXPECT_EQ(coords.at(4).args, (V{0.75, 0.0}));  // 'x', index 7: column 3
}

TEST(TextureExtras, ColoursAreReplacedWhole)
{
    // Black, red, (1, 0, 0), black: bytes 7 to 9 are zero as well, across two pixels.
    ImageRecord* image = MakeImage(2, 2, {0, 0, 0, 255, 0, 0, 1, 0, 0, 0, 0, 0});
    ReplaceImageColour(image, 0x000000, 0xFF00FF, 3);
    EXPECT_EQ(std::vector<unsigned char>(image->pixels, image->pixels + 12),
              (std::vector<unsigned char>{255, 0, 255, 255, 0, 0, 1, 0, 0, 255, 0, 255}));
    ImageRecord* rgba = MakeImage(1, 2, {1, 2, 3, 255, 1, 2, 3, 0});  // alpha is the low byte
    ReplaceImageColour(rgba, 0x010203FF, 0xAABBCC00, 4);
    for (int n : {0, 5})
        ReplaceImageColour(rgba, 0x01020300, 0, n);
    EXPECT_EQ(std::vector<unsigned char>(rgba->pixels, rgba->pixels + 8), (std::vector<unsigned char>{0xAA, 0xBB, 0xCC, 0, 1, 2, 3, 0}));
    freeImageRecord(image);
    freeImageRecord(rgba);
}

// Records are coloured by depth; only those over 5 units away that name one of the 7 textures draw.
TEST(SpriteField, AlphaRisesWithDepthAndOnlyFarRecordsWithATextureDraw)
{
    for (int i = 0; i < 7; ++i)
        spriteTextures[i].id = 100 + i;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct { float z, textureIndex, alpha; int bound; } cases[] = {
        {-10, 1, 0.1f, 101}, {-30, 2.9f, 0.3f, 102}, {-5, 3, 0.0f, 0}, {-5.5f, 0, 0.01f, 100},
        {0, 4, -0.1f, 0},    {-20, 7, 0.3f, 0},      {-20, -1, 0.3f, 0}, {-20, nan, 0.3f, 0},
    };
    for (const auto& c : cases) {
        std::fill(std::begin(spriteRecords), std::end(spriteRecords), SpriteRecord{0, 0, 1, 0});
        spriteRecords[42] = SpriteRecord{1.5f, -2, c.z, c.textureIndex};
        glrec::reset();
        DrawSpriteField(0.0f);  // the others sit in front of the viewer: coloured, never drawn
        EXPECT_FLOAT_EQ(float(glrec::named("glColor4f").at(42).args[3]), c.alpha) << c.z;
        EXPECT_EQ(glrec::named("glTranslatef")[42].args, (V{1.5, -2, c.z}));
        std::vector<double> bound;
        for (const GlCall& b : glrec::named("glBindTexture"))
            bound.push_back(b.args[1]);
        EXPECT_EQ(bound, c.bound ? V{double(c.bound)} : V{}) << c.z << " " << c.textureIndex;
    }
    glrec::reset();
    DrawSprite(-1), DrawSprite(7);
    EXPECT_TRUE(glrec::calls().empty());
}

}  // namespace
