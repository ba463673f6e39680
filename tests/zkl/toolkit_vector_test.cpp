#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <tuple>
#include <vector>

#include "zkl/fmath.h"
#include "zkl/harmonicalsphere.h"
#include "zkl/vector.h"

using namespace zkl;

namespace {

// Makes the next nothrow allocations fail, to see Append leave the list alone.
int failingAllocations = 0;

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (failingAllocations > 0) {
        --failingAllocations;
        return nullptr;
    }
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

std::vector<cVector> Walk(const cVectorList& list)
{
    std::vector<cVector> out;
    for (const cVectorNod* n = list.head; n; n = n->next)
        out.push_back(n->value);
    return out;
}

bool SameBits(double a, double b) { return std::isnan(a) ? std::isnan(b) : a == b && std::signbit(a) == std::signbit(b); }

TEST(Vector, ArithmeticIsComponentwiseWithIeeeResults)
{
    const double inf = std::numeric_limits<double>::infinity();
    const cVector a{1.5, -2.0, 0.1};
    const cVector b{0.5, 4.0, 0.2};
    const struct {
        const char* what;
        cVector result, expected;
    } cases[] = {
        {"sum", a + b, {2.0, 2.0, 0.1 + 0.2}},
        {"difference", a - b, {1.0, -6.0, 0.1 - 0.2}},
        {"product", a * b, {0.75, -8.0, 0.1 * 0.2}},
        {"quotient", a / b, {3.0, -0.5, 0.1 / 0.2}},
        {"division by zeros", cVector{1.0, -1.0, 0.0} / cVector{0.0, 0.0, 0.0}, {inf, -inf, std::nan("")}},
        {"division by negative zero", cVector{1.0, 0.0, 0.0} / cVector{-0.0, 1.0, 1.0}, {-inf, 0.0, 0.0}},
    };
    for (const auto& c : cases) {
        const cVector& r = c.result;
        EXPECT_TRUE(SameBits(r.x, c.expected.x) && SameBits(r.y, c.expected.y) && SameBits(r.z, c.expected.z))
            << c.what << ": " << r.x << " " << r.y << " " << r.z;
    }
}

TEST(Vector, OperatorsChangeOnlyTheirLeftOperandAndEqualityIsExact)
{
    cVector a{1.0, 2.0, 3.0};
    const cVector b{10.0, 20.0, 30.0};
    EXPECT_TRUE(a + b == (cVector{11.0, 22.0, 33.0}));
    EXPECT_TRUE(a == (cVector{1.0, 2.0, 3.0}));
    EXPECT_EQ(&(a *= b), &a);
    (a -= b) /= b;
    EXPECT_TRUE(a == (cVector{0.0, 1.0, 2.0}));
    EXPECT_TRUE(b == (cVector{10.0, 20.0, 30.0}));
    EXPECT_FALSE(a == (cVector{std::nextafter(0.0, 1.0), 1.0, 2.0}));
    EXPECT_FALSE(a == (cVector{0.0, 1.0, std::nextafter(2.0, 0.0)}));
    const cVector n{std::nan(""), 0.0, 0.0};
    EXPECT_FALSE(n == n);
}

TEST(VectorList, AppendKeepsOrderAndClearStartsOver)
{
    cVectorList list;
    list.Clear();
    EXPECT_EQ(list.head, nullptr);
    for (double x : {1, 2, 3})
        list.Append({x, 0, 0});
    const std::vector<cVector> walked = Walk(list);
    ASSERT_EQ(walked.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(walked[i].x, i + 1);

    list.Clear();
    EXPECT_EQ(list.head, nullptr);
    list.Append({7, 8, 9});
    ASSERT_EQ(Walk(list).size(), 1u);
    EXPECT_TRUE(list.head->value == (cVector{7, 8, 9}));
    // The remaining node is freed by the destructor; the leak checker of the sanitizer build
    // reports it otherwise.
}

TEST(VectorList, AppendWithoutMemoryLeavesTheListAsItWas)
{
    cVectorList list;
    failingAllocations = 1;
    list.Append({1, 2, 3});
    EXPECT_EQ(list.head, nullptr);

    list.Append({1, 0, 0});
    list.Append({2, 0, 0});
    cVectorNod* const tail = list.head->next;
    failingAllocations = 1;
    list.Append({3, 0, 0});
    failingAllocations = 0;
    EXPECT_EQ(Walk(list).size(), 2u);
    EXPECT_EQ(tail->next, nullptr);
}

double UnitRadius(double, double) { return 1.0; }
double UnitSphere(float, float) { return 1.0; }
double LongitudeRadius(float lon, float) { return 1.0 + lon / 360.0; }

TEST(Samplers, RevolutionPutsUnitRadiusPointsOnTheCircleAtEachHeight)
{
    cVectorList list;
    SampleRevolution(1.0f, 4.0f, 4.0f, UnitRadius, &list);
    const std::vector<cVector> points = Walk(list);
    // Angles 0, 90, 180, 270, 360 (outer), heights 0, 0.25, 0.5, 0.75 (inner).
    ASSERT_EQ(points.size(), 20u);
    for (size_t i = 0; i < points.size(); ++i) {
        const cVector& p = points[i];
        const double angle = 90.0 * static_cast<double>(i / 4);
        EXPECT_DOUBLE_EQ(p.y, 0.25 * static_cast<double>(i % 4)) << i;
        EXPECT_NEAR(std::hypot(p.x, p.z), 1.0, 1e-12) << i;
        EXPECT_NEAR(p.x, std::cos(angle * DEG), 1e-12) << i;
        EXPECT_NEAR(p.z, std::sin(angle * DEG), 1e-12) << i;
    }
}

TEST(Samplers, RadialSphereRunsLongitudeOuterAndHalfTheLatitudeRows)
{
    cVectorList list;
    SampleRadialSphere(4.0f, 8.0f, LongitudeRadius, &list);
    const std::vector<cVector> points = Walk(list);
    ASSERT_EQ(points.size(), 16u);  // 4 longitudes by latitudes 0, 45, 90, 135
    EXPECT_TRUE(points[0] == (cVector{0.0, 0.0, 1.0}));
    // Longitude 270, latitude 135, radius 1.75.
    const cVector& last = points.back();
    EXPECT_NEAR(last.x, 1.75 * std::sin(135 * DEG) * std::cos(270 * DEG), 1e-12);
    EXPECT_NEAR(last.y, 1.75 * std::sin(135 * DEG) * std::sin(270 * DEG), 1e-12);
    EXPECT_NEAR(last.z, 1.75 * std::cos(135 * DEG), 1e-12);
}

TEST(Samplers, ArgumentsThatCannotStepSampleNothing)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float length, divLength, divAngle;
    };
    const Case revolutions[] = {
        {1, 0, 4}, {1, 4, 0}, {1, -4, 4}, {1, 4, -1}, {inf, 4, 4}, {nan, 4, 4},
        {1, nan, 4}, {1, 4, inf}, {1, 1e-40f, 4}, {3e7f, 3e7f, 4},
    };
    for (const Case& c : revolutions) {
        cVectorList list;
        SampleRevolution(c.length, c.divLength, c.divAngle, UnitRadius, &list);
        EXPECT_EQ(list.head, nullptr) << c.length << " " << c.divLength << " " << c.divAngle;
    }
    const float spheres[][2] = {{0, 8}, {8, 0}, {-1, 8}, {8, nan}, {inf, 8}};
    for (const auto& s : spheres) {
        cVectorList list;
        SampleRadialSphere(s[0], s[1], UnitSphere, &list);
        EXPECT_EQ(list.head, nullptr) << s[0] << " " << s[1];
    }
    SampleRevolution(1, 4, 4, UnitRadius, nullptr);
    SampleRadialSphere(4, 4, UnitSphere, nullptr);
}

TEST(AngleTable, TruncatesTenthsTowardZeroAndWraps)
{
    // Before anything fills it the table reads 0.0.
    EXPECT_EQ(AngleTableAt(45.0), 0.0);
    FillAngleTable();
    for (double a : {0.0, 12.3, -700.0, 359.95, 1e6})
        EXPECT_EQ(AngleTableAt(a), 1.0) << a;

    // Number the entries to see which one each angle reads.
    for (int k = 0; k < 3600; ++k)
        angleTable[k] = k;
    const struct {
        double angle;
        double entry;
    } cases[] = {
        {359.95, 3599}, {360.0, 0}, {-0.05, 0}, {-0.15, 3599}, {0.19, 1},
        {725.25, 52}, {-360.1, 3599},
        // Far beyond the int range: still the entry of its tenths, 36000000000012.5 -> 125.
        {36000000000012.5, 125}, {-36000000000012.5, 3600 - 125},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AngleTableAt(c.angle), c.entry) << c.angle;
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 1e308})
        EXPECT_EQ(AngleTableAt(bad), 0.0) << bad;
    FillAngleTable();
}

TEST(HarmonicShape, PointFollowsThePowerSum)
{
    const int32_t m[8] = {3, 4, 3, 4, 3, 4, 3, 4};
    const XYZ origin = HarmonicShapePoint(0.0, 0.0, m);
    EXPECT_EQ(std::make_tuple(origin.x, origin.y, origin.z), std::make_tuple(0.0f, 2.0f, 0.0f));

    // Odd powers keep the sign of their base: sin(v)^1 + cos(0)^1 + sin(0)^1 + cos(0)^1 at v = -pi/2
    // sums to 1, and the point sits at r (sin v cos u, cos v, sin v sin u) = (-1, 0, 0).
    const int32_t odd[8] = {1, 1, 0, 1, 1, 1, 0, 1};
    const XYZ p = HarmonicShapePoint(0.0, -std::acos(0.0), odd);
    EXPECT_NEAR(p.x, -1.0f, 1e-6);
    EXPECT_NEAR(p.y, 0.0f, 1e-6);
    EXPECT_NEAR(p.z, 0.0f, 1e-6);
}

}  // namespace
