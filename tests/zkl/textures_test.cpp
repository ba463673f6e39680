#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/textures.h"

using namespace zkl;

// One test asks for an impossible allocation and expects null back, also under the sanitizer.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

using Bytes = std::vector<unsigned char>;

// Black, white, (5, 5, 5), red in buffer order (the bottom row first).
const Bytes twoByTwo = {0, 0, 0, 255, 255, 255, 5, 5, 5, 255, 0, 0};

class Textures : public testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        fake::resetBoxes();
    }
    testutil::ScratchDir dir;
};

Bytes held(const cTexture& t, size_t channels)
{
    if (!t.image || !t.image->pixels)
        return {};
    const size_t n = size_t(t.image->width) * size_t(t.image->height) * channels;
    return Bytes(t.image->pixels, t.image->pixels + n);
}

TEST(AlphaFunctions, KeyBlackExactlyOrWithTolerance)
{
    const struct {
        unsigned char r, g, b;
        int tolerance, noTolerance;
    } cases[] = {
        {0, 0, 0, 0, 0},     {0, 0, 1, 0, 255},    {8, 8, 8, 0, 255},         {9, 8, 8, 255, 255},
        {24, 0, 0, 0, 255},  {0, 0, 25, 255, 255}, {10, 10, 5, 255, 255},     {5, 5, 5, 0, 255},
        {255, 0, 0, 255, 255}, {255, 255, 255, 255, 255},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toleranceAlpha(c.r, c.g, c.b), c.tolerance) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(noToleranceAlpha(c.r, c.g, c.b), c.noTolerance) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
}

// What GL holds afterwards (filters, switched-off state, unpadded opaque rows) is checked on Mesa.
TEST_F(Textures, KeyedLoadersAddAlphaAndUploadOnce)
{
    const std::string file = dir.bmp("keyed.bmp", 2, 2, twoByTwo);
    const struct {
        int (cTexture::*load)(const char*, int32_t);
        Bytes rgba;
    } cases[] = {
        {&cTexture::LoadMaskedNoTolerance, {0, 0, 0, 0, 255, 255, 255, 255, 5, 5, 5, 255, 255, 0, 0, 255}},
        {&cTexture::LoadMaskedWithTolerance, {0, 0, 0, 0, 255, 255, 255, 255, 5, 5, 5, 0, 255, 0, 0, 255}},
    };
    for (const auto& c : cases) {
        glrec::reset();
        cTexture t;
        ASSERT_EQ((t.*c.load)(file.c_str(), 0), 1);
        EXPECT_EQ(held(t, 4), c.rgba);
        EXPECT_EQ(std::make_tuple(t.keyAlpha, t.brightnessAlpha, t.id), std::make_tuple(1, 0, 1u));
        const auto image = glrec::named("glTexImage2D");
        ASSERT_EQ(image.size(), 1u);
        EXPECT_EQ(image[0].args, (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE}));
        EXPECT_EQ(image[0].data, c.rgba);
        EXPECT_TRUE(fake::boxes().empty());
    }
}

TEST_F(Textures, ReloadReplacesTheHeldImageButNotThePictureInGl)
{
    const std::string first = dir.bmp("first.bmp", 2, 2, twoByTwo);
    const std::string second = dir.bmp("second.bmp", 1, 1, {9, 0, 0});
    cTexture t;
    ASSERT_EQ(t.LoadMaskedNoTolerance(first.c_str(), 0), 1);
    const uint32_t id = t.id;
    ASSERT_EQ(t.LoadMaskedNoTolerance(second.c_str(), 0), 1);
    EXPECT_EQ(t.id, id);
    EXPECT_EQ(held(t, 4), (Bytes{9, 0, 0, 255}));
    EXPECT_EQ(glrec::count("glGenTextures"), 1u);
    EXPECT_EQ(glrec::count("glTexImage2D"), 1u);
}

TEST_F(Textures, MissingFileShowsOneBoxAndKeepsWhatWasHeld)
{
    const std::string present = dir.bmp("present.bmp", 2, 2, twoByTwo);
    const std::string missing = dir.file("missing.bmp");
    int (cTexture::*const loaders[])(const char*, int32_t) = {&cTexture::LoadMaskedNoTolerance,
                                                              &cTexture::LoadMaskedWithTolerance};
    for (int which = 0; which < 3; ++which) {
        cTexture t;
        ASSERT_EQ(t.LoadMaskedNoTolerance(present.c_str(), 0), 1);
        const ImageRecord* before = t.image;
        const Bytes pixels = held(t, 4);
        glrec::reset();
        fake::resetBoxes();
        const int result = which < 2 ? (t.*loaders[which])(missing.c_str(), 0) : t.LoadOpaque(missing.c_str());
        EXPECT_EQ(result, 0);
        ASSERT_EQ(fake::boxes().size(), 1u);
        const fake::Box& b = fake::boxes()[0];
        EXPECT_EQ(std::tie(b.owner, b.text, b.caption, b.style),
                  std::make_tuple(nullptr, "Could Not Load Texture.", missing, 0x40u));
        EXPECT_EQ(t.image, before);
        EXPECT_EQ(held(t, 4), pixels);
        EXPECT_TRUE(glrec::calls().empty()) << glrec::dump();
    }
}

TEST_F(Textures, UndecodableFileLeavesNoImageAndOnlyTheDecoderSpeaks)
{
    const std::string good = dir.bmp("good.bmp", 2, 2, twoByTwo);
    const std::string bad = dir.file("bad.bmp");
    std::ofstream(bad) << "not a bitmap at all";
    cTexture t;
    ASSERT_EQ(t.LoadMaskedNoTolerance(good.c_str(), 0), 1);
    glrec::reset();
    fake::resetBoxes();
    EXPECT_EQ(t.LoadMaskedNoTolerance(bad.c_str(), 0), 0);
    EXPECT_EQ(t.image, nullptr);
    ASSERT_EQ(fake::boxes().size(), 1u);
    EXPECT_EQ(fake::boxes()[0].caption, "Error");
    EXPECT_TRUE(glrec::calls().empty()) << glrec::dump();
}

TEST_F(Textures, UseSetsAlphaTestAndBlendingByTheFlags)
{
    const struct {
        int32_t key, brightness;
        size_t enables, alphaFuncs;
    } cases[] = {{0, 0, 1, 0}, {1, 0, 3, 1}, {0, 1, 3, 1}, {1, 1, 3, 2}};
    for (const auto& c : cases) {
        cTexture t;
        t.id = 42;
        t.keyAlpha = c.key;
        t.brightnessAlpha = c.brightness;
        glrec::reset();
        t.Use();
        ASSERT_EQ(glrec::calls().at(0).name, "glEnable");
        EXPECT_EQ(glrec::calls()[0].args[0], GL_TEXTURE_2D);
        EXPECT_EQ(glrec::named("glBindTexture").at(0).args, (std::vector<double>{GL_TEXTURE_2D, 42}));
        EXPECT_EQ(glrec::count("glEnable"), c.enables);
        EXPECT_EQ(glrec::count("glDisable"), 0u) << "Use never switches the alpha test off";
        const auto alpha = glrec::named("glAlphaFunc");
        ASSERT_EQ(alpha.size(), c.alphaFuncs);
        for (const GlCall& a : alpha)
            EXPECT_EQ(a.args, (std::vector<double>{GL_GREATER, 0.05f}));
        if (c.enables == 3) {
            EXPECT_EQ(glrec::named("glBlendFunc").at(0).args,
                      (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
        }
    }
    // A texture that was never loaded starts blank and goes without a call.
    glrec::reset();
    {
        const cTexture t;
        EXPECT_EQ(std::make_tuple(t.id, t.keyAlpha, t.brightnessAlpha, t.image), std::make_tuple(0u, 0, 0, nullptr));
    }
    EXPECT_TRUE(glrec::calls().empty());
    EXPECT_TRUE(fake::boxes().empty());
}

TEST_F(Textures, AlphaChannelThatCannotBeAllocatedKeepsTheRgbImage)
{
    cTexture t;
    auto* record = static_cast<ImageRecord*>(std::malloc(sizeof(ImageRecord)));
    auto* pixels = static_cast<unsigned char*>(std::malloc(3));
    ASSERT_TRUE(record && pixels);
    // Claims far more pixels than any allocator can give four bytes each.
    *record = ImageRecord{INT32_MAX, INT32_MAX, pixels};
    t.image = record;
    EXPECT_EQ(t.AddAlphaChannel(noToleranceAlpha), 0);
    EXPECT_EQ(t.image, record);
    EXPECT_EQ(t.image->pixels, pixels);
}

}  // namespace
