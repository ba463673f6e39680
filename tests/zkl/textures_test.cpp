#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/textures.h"

using namespace zkl;

namespace {

using Bytes = std::vector<unsigned char>;

// Black, a grey just below the tolerant key's edge, one at it, a blue just off black; bottom row
// first. The exact key takes black alone, the tolerant one channel sums below 25.
const Bytes edges = {0, 0, 0, 8, 8, 8, 9, 8, 8, 0, 0, 1};

Bytes held(const cTexture& t) { return t.image ? Bytes(t.image->pixels, t.image->pixels + 16) : Bytes{}; }

TEST(Textures, KeyedLoadersAddAlphaAndUploadOnceReloadsKeepThePictureInGl)
{
    const testutil::ScratchDir dir;
    const std::string file = dir.bmp("keyed.bmp", 2, 2, edges);
    const std::pair<int (cTexture::*)(const char*, int32_t), Bytes> cases[] = {
        {&cTexture::LoadMaskedNoTolerance, {0, 0, 0, 0, 8, 8, 8, 255, 9, 8, 8, 255, 0, 0, 1, 255}},
        {&cTexture::LoadMaskedWithTolerance, {0, 0, 0, 0, 8, 8, 8, 0, 9, 8, 8, 255, 0, 0, 1, 0}},
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
    const std::string present = dir.bmp("present.bmp", 2, 2, edges), missing = dir.file("missing.bmp");
    std::ofstream(dir.file("bad.bmp")) << "not a bitmap at all";
    for (const bool isMissing : {true, false}) {
        cTexture t;
        ASSERT_EQ(t.LoadMaskedNoTolerance(present.c_str(), 0), 1);
        const Bytes before = held(t);
        glrec::reset();
        fake::resetBoxes();
        const int result = isMissing ? t.LoadMaskedWithTolerance(missing.c_str(), 0)
                                     : t.LoadMaskedNoTolerance(dir.file("bad.bmp").c_str(), 0);
        EXPECT_EQ(result, 0);
        ASSERT_EQ(fake::boxes().size(), 1u);
        const fake::Box& b = fake::boxes()[0];
        if (isMissing) {
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

}  // namespace
