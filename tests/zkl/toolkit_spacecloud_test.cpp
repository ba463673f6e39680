#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "tests/support/gl_recorder.h"
#include "zkl/spacecloud.h"

using namespace zkl;

namespace {

using V = std::vector<double>;

class SpriteField : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        std::fill(std::begin(spriteRecords), std::end(spriteRecords), SpriteRecord{0, 0, 0, 0});
        // Distinct names, so a bind shows which texture a sprite used.
        for (int i = 0; i < 7; ++i)
            spriteTextures[i].id = 100 + i;
    }
    void TearDown() override
    {
        std::fill(std::begin(spriteRecords), std::end(spriteRecords), SpriteRecord{0, 0, 0, 0});
        for (cTexture& t : spriteTextures)
            t.id = 0;
    }
};

// Bound texture names in order, one per drawn sprite.
std::vector<double> Bound()
{
    std::vector<double> out;
    for (const GlCall& c : glrec::named("glBindTexture"))
        out.push_back(c.args[1]);
    return out;
}

TEST_F(SpriteField, StartingRecordsAllDrawTenUnitsDeepWithTextureZero)
{
    DrawSpriteField(10.0f);
    EXPECT_EQ(glrec::count("glBegin"), 100u);
    EXPECT_EQ(Bound(), std::vector<double>(100, 100.0));
    for (const GlCall& c : glrec::named("glTranslatef"))
        EXPECT_EQ(c.args, (V{0, 0, -10}));
    for (const GlCall& c : glrec::named("glColor4f"))
        EXPECT_EQ(c.args, (V{1, 1, 1, 0.1f}));
    // Each is the square of half-size 2.1 around the origin.
    const std::vector<GlCall> v = glrec::named("glVertex3f");
    ASSERT_EQ(v.size(), 400u);
    EXPECT_EQ(v[0].args, (V{-2.1f, -2.1f, 0}));
    EXPECT_EQ(v[2].args, (V{2.1f, 2.1f, 0}));
    EXPECT_EQ(glrec::named("glTexCoord2f")[1].args, (V{1, 0}));
}

TEST_F(SpriteField, AlphaRisesWithDepthAndOnlyFarRecordsDraw)
{
    const struct {
        float z;
        float textureIndex;
        float alpha;
        double bound;  // texture drawn with, 0 for none
    } cases[] = {
        {-10, 1, 0.1f, 101}, {-30, 2.9f, 0.3f, 102}, {-5, 3, 0.0f, 0}, {-20, 6, 0.3f, 106},
        {-5.5f, 0, 0.01f, 100}, {0, 4, -0.1f, 0}, {3, 5, -0.16f, 0},
    };
    for (const auto& c : cases) {
        glrec::reset();
        std::fill(std::begin(spriteRecords), std::end(spriteRecords), SpriteRecord{0, 0, 1, 0});
        spriteRecords[42] = SpriteRecord{1.5f, -2, c.z, c.textureIndex};
        // Every other record sits one unit in front of the viewer, so it is coloured but never drawn.
        DrawSpriteField(0.0f);
        const std::vector<GlCall> colours = glrec::named("glColor4f");
        ASSERT_EQ(colours.size(), 100u);
        EXPECT_FLOAT_EQ(static_cast<float>(colours[42].args[3]), c.alpha) << c.z;
        EXPECT_EQ(glrec::named("glTranslatef")[42].args, (V{1.5, -2, c.z}));
        EXPECT_EQ(Bound(), c.bound ? std::vector<double>{c.bound} : std::vector<double>{}) << c.z;
    }
}

TEST_F(SpriteField, IndicesOutsideTheSevenTexturesDrawNothing)
{
    for (int index : {-1, 7, 1000, std::numeric_limits<int>::min()})
        DrawSprite(index);
    EXPECT_TRUE(glrec::calls().empty()) << glrec::dump();

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {7.0f, -1.0f, -3.5f, 1e30f, nan, inf}) {
        glrec::reset();
        std::fill(std::begin(spriteRecords), std::end(spriteRecords), SpriteRecord{0, 0, 0, bad});
        DrawSpriteField(10.0f);
        EXPECT_EQ(glrec::count("glBegin"), 0u) << bad;
        EXPECT_EQ(glrec::count("glColor4f"), 100u) << bad;
    }
}

}  // namespace
