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

// Black, white, a blue just off black, red, bottom row first.
const Bytes twoByTwo = {0, 0, 0, 255, 255, 255, 0, 0, 9, 255, 0, 0};

Bytes held(const cTexture& t) { return t.image ? Bytes(t.image->pixels, t.image->pixels + 16) : Bytes{}; }

TEST(AlphaFunctions, KeyBlackExactlyOrWithTolerance)
{
    const struct { unsigned char r, g, b; int tolerance, exact; } cases[] = {
        {0, 0, 0, 0, 0}, {0, 0, 1, 0, 255}, {8, 8, 8, 0, 255}, {9, 8, 8, 255, 255}, {0, 0, 25, 255, 255},
        {24, 0, 0, 0, 255}, {255, 255, 255, 255, 255},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toleranceAlpha(c.r, c.g, c.b), c.tolerance) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        EXPECT_EQ(noToleranceAlpha(c.r, c.g, c.b), c.exact) << int(c.r) << "," << int(c.g) << "," << int(c.b);
    }
}

TEST(Textures, KeyedLoadersAddAlphaAndUploadOnceReloadsKeepThePictureInGl)
{
    const testutil::ScratchDir dir;
    const std::string file = dir.bmp("keyed.bmp", 2, 2, twoByTwo);
    const std::pair<int (cTexture::*)(const char*, int32_t), Bytes> cases[] = {
        {&cTexture::LoadMaskedNoTolerance, {0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 9, 255, 255, 0, 0, 255}},
        {&cTexture::LoadMaskedWithTolerance, {0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 9, 0, 255, 0, 0, 255}},
    };
    for (const auto& [load, rgba] : cases) {
        glrec::reset();
        cTexture t;
        ASSERT_EQ((t.*load)(file.c_str(), 0), 1);
        EXPECT_EQ(held(t), rgba);
        EXPECT_EQ(std::make_tuple(t.keyAlpha, t.brightnessAlpha, t.id), std::make_tuple(1, 0, 1u));
        const auto image = glrec::named("glTexImage2D");
        ASSERT_EQ(image.size(), 1u);
        EXPECT_EQ(image[0].args, (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE}));
        EXPECT_EQ(image[0].data, rgba);

        ASSERT_EQ((t.*load)(dir.bmp("second.bmp", 1, 1, {90, 0, 0}).c_str(), 0), 1);
        EXPECT_EQ(Bytes(t.image->pixels, t.image->pixels + 4), (Bytes{90, 0, 0, 255}));
        EXPECT_EQ(t.id, 1u);
        EXPECT_EQ(glrec::count("glTexImage2D"), 1u) << "a reload leaves the picture in GL";
    }
}

// A missing file says so in one box and keeps what was held; one that cannot be decoded leaves
// no image, and only the decoder speaks. Neither touches GL.
TEST(Textures, FilesThatCannotBeLoaded)
{
    const testutil::ScratchDir dir;
    const std::string present = dir.bmp("present.bmp", 2, 2, twoByTwo), missing = dir.file("missing.bmp");
    std::ofstream(dir.file("bad.bmp")) << "not a bitmap at all";
    for (int which = 0; which < 4; ++which) {
        cTexture t;
        ASSERT_EQ(t.LoadMaskedNoTolerance(present.c_str(), 0), 1);
        const Bytes before = held(t);
        glrec::reset();
        fake::resetBoxes();
        const int result = which == 0   ? t.LoadOpaque(missing.c_str())
                           : which == 1 ? t.LoadMaskedWithTolerance(missing.c_str(), 0)
                           : which == 2 ? t.LoadMaskedNoTolerance(missing.c_str(), 0)
                                        : t.LoadMaskedNoTolerance(dir.file("bad.bmp").c_str(), 0);
        EXPECT_EQ(result, 0);
        ASSERT_EQ(fake::boxes().size(), 1u);
        const fake::Box& b = fake::boxes()[0];
        if (which < 3) {
            EXPECT_EQ(std::tie(b.owner, b.text, b.caption, b.style),
                      std::make_tuple(nullptr, "Could Not Load Texture.", missing, 0x40u));
            EXPECT_EQ(held(t), before);
        } else {
            EXPECT_EQ(b.caption, "Error");
            EXPECT_EQ(t.image, nullptr);
        }
        EXPECT_TRUE(glrec::calls().empty()) << glrec::dump();
    }
}

TEST(Textures, UseSetsAlphaTestAndBlendingByTheFlags)
{
    const struct { int32_t key, brightness; size_t enables; } cases[] = {{0, 0, 1}, {1, 0, 3}, {0, 1, 3}, {1, 1, 3}};
    for (const auto& c : cases) {
        cTexture t;
        t.id = 42, t.keyAlpha = c.key, t.brightnessAlpha = c.brightness;
        glrec::reset();
        t.Use();
        EXPECT_EQ(glrec::calls().at(0).args, std::vector<double>{GL_TEXTURE_2D});
        EXPECT_EQ(glrec::named("glBindTexture").at(0).args, (std::vector<double>{GL_TEXTURE_2D, 42}));
        EXPECT_EQ(glrec::count("glEnable"), c.enables);
        EXPECT_EQ(glrec::count("glDisable"), 0u) << "Use never switches the alpha test off";
        if (c.enables == 3) {
            EXPECT_EQ(glrec::named("glAlphaFunc").back().args, (std::vector<double>{GL_GREATER, 0.05f}));
            EXPECT_EQ(glrec::named("glBlendFunc").at(0).args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
        }
    }
}

TEST(Textures, AlphaChannelThatCannotBeAllocatedKeepsTheRgbImage)
{
    cTexture t;
    auto* record = static_cast<ImageRecord*>(std::malloc(sizeof(ImageRecord)));
    auto* pixels = static_cast<unsigned char*>(std::malloc(3));
    *record = ImageRecord{INT32_MAX, INT32_MAX, pixels};  // far more than any allocator gives
    t.image = record;
    EXPECT_EQ(t.AddAlphaChannel(noToleranceAlpha), 0);
    EXPECT_EQ(t.image, record);
    EXPECT_EQ(t.image->pixels, pixels);
}

}  // namespace
