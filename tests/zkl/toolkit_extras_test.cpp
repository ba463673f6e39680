#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/ansi.h"
#include "zkl/font.h"

using namespace zkl;

namespace {

using V = std::vector<double>;

// An image as the loader makes it: malloc'd record and pixels, 3 bytes per pixel.
ImageRecord* MakeImage(int width, int height, const std::vector<unsigned char>& rgb)
{
    auto* record = static_cast<ImageRecord*>(std::malloc(sizeof(ImageRecord)));
    record->width = width;
    record->height = height;
    record->pixels = static_cast<unsigned char*>(std::malloc(rgb.size()));
    std::memcpy(record->pixels, rgb.data(), rgb.size());
    return record;
}

class Extras : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        fake::resetBoxes();
    }
};

// Heights of a 3 x 2 map: pixel (x, y) has the grey value 10 * (x + 3 y), so height 30 * (x + 3 y).
ImageRecord* GreyRamp()
{
    std::vector<unsigned char> rgb;
    for (int p = 0; p < 6; ++p)
        rgb.insert(rgb.end(), 3, static_cast<unsigned char>(10 * p));
    return MakeImage(3, 2, rgb);
}

TEST_F(Extras, ReliefSamplesHeightsInsideTheMapOnly)
{
    cAnsi relief;
    EXPECT_EQ(relief.SampleHeight(0, 0), 0);
    relief.heightmap = GreyRamp();
    const struct {
        int x, y, height;
    } cases[] = {
        {0, 0, 0}, {1, 0, 30}, {2, 1, 150}, {0, 1, 90},
        {3, 0, 0}, {0, 2, 0}, {-1, 0, 0}, {0, -1, 0}, {1 << 30, 1 << 30, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(relief.SampleHeight(c.x, c.y), c.height) << c.x << "," << c.y;

    std::vector<unsigned char> white(3, 255);
    freeImageRecord(relief.heightmap);
    relief.heightmap = MakeImage(1, 1, white);
    EXPECT_EQ(relief.SampleHeight(0, 0), 765);
}

TEST_F(Extras, ReliefDrawsOneQuadPerCellLiftedByTheMapRowsFromTheFarEnd)
{
    cAnsi relief;
    relief.heightmap = GreyRamp();
    relief.gridWidth = 2;
    relief.gridHeight = 1;
    relief.Draw(0.5, 0.25, 0.01);

    ASSERT_FALSE(glrec::calls().empty());
    EXPECT_EQ(glrec::calls().front().name, "glPushMatrix");
    EXPECT_EQ(glrec::calls().back().name, "glPopMatrix");
    EXPECT_EQ(glrec::named("glRotatef").at(0).args, (V{180, 1, 0, 0}));
    EXPECT_EQ(glrec::count("glBegin"), 2u);
    const std::vector<GlCall> v = glrec::named("glVertex3d");
    const std::vector<GlCall> t = glrec::named("glTexCoord2d");
    ASSERT_EQ(v.size(), 8u);
    // Cell (0, 0): row 0 samples map row 1 (gridHeight - 0), row 1 samples map row 0.
    EXPECT_EQ(v[0].args, (V{0, 0, -0.01 * 90}));
    EXPECT_EQ(v[1].args, (V{0.5, 0, -0.01 * 120}));
    EXPECT_EQ(v[2].args, (V{0.5, 0.25, -0.01 * 30}));
    EXPECT_EQ(v[3].args, (V{0, 0.25, -0.0}));
    EXPECT_EQ(t[0].args, (V{0, 1}));
    EXPECT_EQ(t[2].args, (V{0.5, 0}));
    // Cell (1, 0): its right edge samples x = 2, the map's last column.
    EXPECT_EQ(v[5].args, (V{1.0, 0, -0.01 * 150}));
    EXPECT_EQ(t[5].args, (V{1, 1}));
}

TEST_F(Extras, ReliefLoadKeepsGoingWithoutItsColourTexture)
{
    const testutil::ScratchDir scratch;
    const std::string map = scratch.bmp("map.bmp", 2, 1, {1, 2, 3, 100, 100, 100});
    cAnsi relief;
    relief.Load("zkl-no-such-colour.bmp", map.c_str(), 5, 6);
    EXPECT_EQ(fake::boxes().size(), 1u);
    EXPECT_EQ(relief.gridWidth, 5);
    EXPECT_EQ(relief.gridHeight, 6);
    EXPECT_EQ(relief.SampleHeight(0, 0), 6);
    EXPECT_EQ(relief.SampleHeight(1, 0), 300);
    // An empty name keeps the map; a missing one leaves none.
    relief.Load("zkl-no-such-colour.bmp", "", 1, 1);
    EXPECT_EQ(relief.SampleHeight(1, 0), 300);
    relief.Load("zkl-no-such-colour.bmp", "zkl-no-such-map.bmp", 1, 1);
    EXPECT_EQ(relief.heightmap, nullptr);
}

TEST_F(Extras, FontFindsTheFirstCellOfACharacter)
{
    cFont font;
    EXPECT_EQ(font.FindCharacter('A'), -1);
    font.SetCharacterMap("ABCA b\n");
    const struct {
        char c;
        int index;
    } cases[] = {{'A', 0}, {'C', 2}, {' ', 4}, {'b', 5}, {'\n', 6}, {'a', -1}, {'Z', -1}};
    for (const auto& c : cases)
        EXPECT_EQ(font.FindCharacter(c.c), c.index) << c.c;
}

// Where each glyph quad lands: the translation in force at its glBegin, following the pushes,
// pops and translations of the log.
std::vector<V> PenPositions()
{
    std::vector<V> stack{{0, 0, 0}};
    std::vector<V> pens;
    for (const GlCall& c : glrec::calls()) {
        if (c.name == "glPushMatrix")
            stack.push_back(stack.back());
        else if (c.name == "glPopMatrix")
            stack.pop_back();
        else if (c.name == "glTranslatef")
            for (int k = 0; k < 3; ++k)
                stack.back()[k] += c.args[k];
        else if (c.name == "glBegin")
            pens.push_back(stack.back());
        EXPECT_FALSE(stack.empty()) << "more pops than pushes";
        if (stack.empty())
            return pens;
    }
    EXPECT_EQ(stack.size(), 1u) << "pushes left on the stack";
    return pens;
}

// Prints text with a fresh font that has no texture.
void PrintWith(const char* map, int columns, int rows, double glyphWidth, double glyphHeight, const char* text)
{
    cFont font;
    font.Load("", map, columns, rows, glyphWidth, glyphHeight);
    glrec::reset();
    font.Print(text);
}

TEST_F(Extras, FontPenReturnsToTheStartOneLineLowerAfterALineFeed)
{
    PrintWith("ABC", 3, 1, 0.5, 0.75, "AB\nC?C");
    const std::vector<V> pens = PenPositions();
    ASSERT_EQ(pens.size(), 4u);
    EXPECT_EQ(pens[0], (V{0, 0, 0}));
    EXPECT_EQ(pens[1], (V{0.5, 0, 0}));
    EXPECT_EQ(pens[2], (V{0, -0.75, 0}));
    EXPECT_EQ(pens[3], (V{1.0, -0.75, 0}));  // the unknown '?' still advanced the pen
    const std::vector<GlCall> v = glrec::named("glVertex3d");
    EXPECT_EQ(v[2].args, (V{0.5, 0.75, 0}));
}

TEST_F(Extras, FontTakesCellsRowByRowFromTheTop)
{
    PrintWith("0123456x", 4, 2, 1, 1, "5x");
    const std::vector<GlCall> t = glrec::named("glTexCoord2d");
    ASSERT_EQ(t.size(), 8u);
    // Index 5: column 1 of the second row from the top, s 0.25 to 0.5, t 0 to 0.5.
    EXPECT_EQ(t[0].args, (V{0.25, 0.0}));
    EXPECT_EQ(t[2].args, (V{0.5, 0.5}));
    // Index 7: column 3.
    EXPECT_EQ(t[4].args, (V{0.75, 0.0}));
}

TEST_F(Extras, ReliefAndFontWithoutCellsDrawNothing)
{
    cFont empty;
    empty.SetGrid(2, 2);
    empty.Print("AB");
    EXPECT_EQ(glrec::count("glBegin"), 0u);

    for (auto grid : {std::pair{0, 1}, {1, 0}, {-2, 3}}) {
        glrec::reset();
        cFont font;
        font.SetCharacterMap("AB");
        font.SetGrid(grid.first, grid.second);
        font.Print("AB\nA");
        font.Print(nullptr);
        cAnsi relief;
        relief.gridWidth = grid.first;
        relief.gridHeight = grid.second;
        relief.Draw(1, 1, 1);
        EXPECT_TRUE(glrec::calls().empty()) << grid.first << "x" << grid.second << "\n" << glrec::dump();
    }
}

TEST_F(Extras, BrightnessAlphaIsTheChannelSumOverEight)
{
    const testutil::ScratchDir scratch;
    // White, black, (8, 8, 8), (100, 50, 2).
    const std::string path = scratch.bmp("glow.bmp", 4, 1, {255, 255, 255, 0, 0, 0, 8, 8, 8, 100, 50, 2});
    cTexture texture;
    ASSERT_TRUE(texture.LoadBrightnessAlpha(path.c_str()));
    EXPECT_EQ(texture.brightnessAlpha, 1);
    EXPECT_EQ(texture.image, nullptr);
    const std::vector<GlCall> uploads = glrec::named("glTexImage2D");
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].args[2], GL_RGBA);
    EXPECT_EQ(uploads[0].data, (std::vector<unsigned char>{255, 255, 255, 95, 0, 0, 0, 0, 8, 8, 8, 3,
                                                           100, 50, 2, 19}));
    EXPECT_FALSE(texture.LoadBrightnessAlpha("zkl-no-such-file.bmp"));
    EXPECT_TRUE(fake::boxes().empty());
}

TEST_F(Extras, ColourReplacementMatchesWholePixelsOnly)
{
    // Pixels black, red, (1, 0, 0), black: bytes 7 to 9 are zero as well, across two pixels.
    ImageRecord* image = MakeImage(2, 2, {0, 0, 0, 255, 0, 0, 1, 0, 0, 0, 0, 0});
    ReplaceImageColour(image, 0x000000, 0xFF00FF, 3);
    EXPECT_EQ(std::vector<unsigned char>(image->pixels, image->pixels + 12),
              (std::vector<unsigned char>{255, 0, 255, 255, 0, 0, 1, 0, 0, 255, 0, 255}));
    ReplaceImageColour(image, 0xFF0000, 0x123456, 3);
    EXPECT_EQ(std::vector<unsigned char>(image->pixels + 3, image->pixels + 6),
              (std::vector<unsigned char>{0x12, 0x34, 0x56}));

    // With 4 bytes the alpha byte is the least significant.
    ImageRecord* rgba = MakeImage(1, 2, {1, 2, 3, 255, 1, 2, 3, 0});
    ReplaceImageColour(rgba, 0x010203FF, 0xAABBCC00, 4);
    EXPECT_EQ(std::vector<unsigned char>(rgba->pixels, rgba->pixels + 8),
              (std::vector<unsigned char>{0xAA, 0xBB, 0xCC, 0, 1, 2, 3, 0}));
    for (int n : {0, 5, -1})
        ReplaceImageColour(rgba, 0x01020300, 0, n);
    EXPECT_EQ(rgba->pixels[4], 1);
    freeImageRecord(image);
    freeImageRecord(rgba);
}

}  // namespace
