// The toolkit's vector and list, materials and lights, relief, font, texture extras and sprite
// field, drawn into the GL recorder.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/ansi.h"
#include "zkl/font.h"
#include "zkl/materials.h"
#include "zkl/spacecloud.h"
#include "zkl/vector.h"

namespace {
int failingAllocations = 0;  // makes the next nothrow allocations fail
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (failingAllocations > 0 && failingAllocations--)
        return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

using namespace zkl;

namespace {

using V = std::vector<double>;

TEST(Vector, ArithmeticIsComponentwiseAndChangesOnlyTheLeftOperand)
{
    cVector a{1.5, -2.0, 0.1};
    const cVector b{0.5, 4.0, 0.2};
    EXPECT_TRUE(a + b == (cVector{2.0, 2.0, 0.1 + 0.2}));
    EXPECT_TRUE(a - b == (cVector{1.0, -6.0, 0.1 - 0.2}));
    EXPECT_TRUE(a * b == (cVector{0.75, -8.0, 0.1 * 0.2}));
    EXPECT_TRUE(a / b == (cVector{3.0, -0.5, 0.1 / 0.2}));
    EXPECT_EQ(&(a *= b), &a);
    (a -= b) /= b;
    EXPECT_TRUE(a == (cVector{(0.75 - 0.5) / 0.5, (-8.0 - 4.0) / 4.0, (0.1 * 0.2 - 0.2) / 0.2}));
    EXPECT_TRUE(b == (cVector{0.5, 4.0, 0.2}));
    EXPECT_FALSE(b == (cVector{0.5, 4.0, std::nextafter(0.2, 0.0)}));
    EXPECT_FALSE(b == (cVector{std::nextafter(0.5, 1.0), 4.0, 0.2}));
}

TEST(VectorList, AppendKeepsOrderClearStartsOverAndNoMemoryLeavesItAsItWas)
{
    cVectorList list;
    for (double x : {1, 2, 3})
        list.Append({x, 0, 0});
    failingAllocations = 1;
    list.Append({4, 0, 0});
    std::vector<double> xs;
    for (const cVectorNod* n = list.head; n; n = n->next)
        xs.push_back(n->value.x);
    EXPECT_EQ(xs, (std::vector<double>{1, 2, 3}));
    list.Clear();
    EXPECT_EQ(list.head, nullptr);
    list.Append({7, 8, 9});  // freed by the destructor, or the sanitizer build reports a leak
    EXPECT_TRUE(list.head->value == (cVector{7, 8, 9}));
}

TEST(Materials, BlendingIsAdditiveUntilAnOpaqueColourAndTheTextureFlagStaysOn)
{
    glrec::reset();
    fake::resetBoxes();
    cMaterial m;
    m.SetColor(0.25f, 0.5f, 0.75f, 0.4f);
    m.Apply();
    EXPECT_EQ(glrec::named("glBlendFunc").at(0).args, (V{GL_SRC_ALPHA, GL_ONE}));
    EXPECT_EQ(glrec::named("glColor4fv").at(0).args, (V{0.25, 0.5, 0.75, 0.4f}));
    EXPECT_EQ(glrec::named("glDisable").at(0).args, V{GL_DEPTH_TEST});
    m.SetColor(0, 1, 0);
    EXPECT_FALSE(m.blendEnabled);
    EXPECT_EQ(m.colour[3], 1.0f);
    m.SetAlpha(0.25f);
    EXPECT_TRUE(m.blendEnabled);

    const testutil::ScratchDir scratch;
    EXPECT_FALSE(m.LoadTexture("zkl-no-such-texture.bmp"));
    EXPECT_TRUE(m.LoadTexture(scratch.bmp("wood.bmp", 1, 1, {120, 120, 120}).c_str()));
    EXPECT_TRUE(m.LoadTexture("zkl-no-such-texture.bmp"));
    glrec::reset();
    m.Apply();
    EXPECT_EQ(glrec::calls().at(1).args, (V{GL_TEXTURE_2D, double(m.texture.id)}));
}

// An image as the loader makes it: malloc'd record and pixels.
ImageRecord* MakeImage(int width, int height, const std::vector<unsigned char>& bytes)
{
    auto* record = static_cast<ImageRecord*>(std::malloc(sizeof(ImageRecord)));
    *record = {width, height, static_cast<unsigned char*>(std::malloc(bytes.size()))};
    std::memcpy(record->pixels, bytes.data(), bytes.size());
    return record;
}

// A 3 x 2 height map: pixel (x, y) is grey 10 (x + 3 y), so its height is 30 (x + 3 y).
TEST(Relief, SamplesInsideTheMapAndDrawsRowsFromTheFarEnd)
{
    std::vector<unsigned char> grey;
    for (int p = 0; p < 6; ++p)
        grey.insert(grey.end(), 3, static_cast<unsigned char>(10 * p));
    cAnsi relief;
    relief.heightmap = MakeImage(3, 2, grey);
    for (const auto& [x, y, height] : {std::tuple{1, 0, 30}, {2, 1, 150}, {3, 0, 0}, {0, 2, 0}, {-1, 0, 0}, {0, -1, 0}})
        EXPECT_EQ(relief.SampleHeight(x, y), height) << x << "," << y;

    glrec::reset();
    relief.gridWidth = 2, relief.gridHeight = 1;
    relief.Draw(0.5, 0.25, 0.01);
    const auto v = glrec::named("glVertex3d");
    ASSERT_EQ(v.size(), 8u);
    // Cell (0, 0): row 0 samples map row 1 (gridHeight - 0); the last column samples x = 2.
    EXPECT_EQ(v[0].args, (V{0, 0, -0.01 * 90}));
    EXPECT_EQ(v[2].args, (V{0.5, 0.25, -0.01 * 30}));
    EXPECT_EQ(v[5].args, (V{1.0, 0, -0.01 * 150}));
    EXPECT_EQ(glrec::named("glTexCoord2d")[2].args, (V{0.5, 0}));
    for (const auto& [w, h] : {std::pair{0, 1}, {1, 0}}) {
        glrec::reset();
        relief.gridWidth = w, relief.gridHeight = h;
        relief.Draw(1, 1, 1);
        EXPECT_TRUE(glrec::calls().empty());
    }
}

TEST(Font, FindsTheFirstCellAndPrintsRowByRowFromTheTop)
{
    cFont font;
    font.Load("", "0123456x5", 4, 2, 0.5, 0.75);
    EXPECT_EQ(font.FindCharacter('5'), 5);
    EXPECT_EQ(font.FindCharacter('?'), -1);
    glrec::reset();
    font.Print("5x\n?5");
    // After a line feed the pen is back at the start one line lower; the unknown '?' still advances.
    std::vector<double> pens;
    for (const GlCall& c : glrec::named("glTranslatef"))
        pens.insert(pens.end(), c.args.begin(), c.args.begin() + 2);
    EXPECT_EQ(pens, (std::vector<double>{0.5, 0, 0.5, 0, 0, -0.75, 0.5, 0, 0.5, 0}));
    EXPECT_EQ(glrec::count("glBegin"), 3u);
    EXPECT_EQ(glrec::count("glPushMatrix"), glrec::count("glPopMatrix"));
    const auto t = glrec::named("glTexCoord2d");
    EXPECT_EQ(t.at(0).args, (V{0.25, 0.0}));  // index 5: column 1 of the second row from the top
    EXPECT_EQ(t.at(2).args, (V{0.5, 0.5}));
    EXPECT_EQ(t.at(4).args, (V{0.75, 0.0}));  // index 7: column 3
}

TEST(TextureExtras, BrightnessAlphaIsTheChannelSumOverEightAndColoursAreReplacedWhole)
{
    const testutil::ScratchDir scratch;
    glrec::reset();
    fake::resetBoxes();
    cTexture texture;
    ASSERT_TRUE(texture.LoadBrightnessAlpha(scratch.bmp("glow.bmp", 3, 1, {255, 255, 255, 8, 8, 8, 100, 50, 2}).c_str()));
    EXPECT_EQ(glrec::named("glTexImage2D").at(0).data,
              (std::vector<unsigned char>{255, 255, 255, 95, 8, 8, 8, 3, 100, 50, 2, 19}));
    EXPECT_FALSE(texture.LoadBrightnessAlpha("zkl-no-such-file.bmp"));
    EXPECT_TRUE(fake::boxes().empty());

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

// Each record is coloured by its depth; only those more than 5 units away, naming one of the
// seven textures, are drawn.
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
    std::fill(std::begin(spriteRecords), std::end(spriteRecords), SpriteRecord{0, 0, 0, 0});
    for (cTexture& t : spriteTextures)
        t.id = 0;
}

}  // namespace
