#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/offscreen.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/scratch_dir.h"
#include "zkl/textures.h"

using namespace zkl;

namespace {

using Bytes = std::vector<unsigned char>;

class TexturesOnMesa : public testing::Test {
protected:
    void SetUp() override
    {
        gl = plat::OffscreenGL::create(8, 8);
        ASSERT_TRUE(gl);
        fake::resetBoxes();
    }
    std::unique_ptr<plat::OffscreenGL> gl;
    testutil::ScratchDir dir;
};

Bytes textureImage(GLenum format, size_t channels)
{
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    Bytes out(size_t(w) * size_t(h) * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return out;
}

GLint integer(GLenum pname)
{
    GLint v = 0;
    glGetIntegerv(pname, &v);
    return v;
}

TEST_F(TexturesOnMesa, KeyedLoadLeavesTheImageBoundAndTexturingOff)
{
    const std::string file = dir.bmp("keyed.bmp", 2, 2, {0, 0, 0, 255, 255, 255, 5, 5, 5, 255, 0, 0});
    cTexture t;
    ASSERT_EQ(t.LoadMaskedNoTolerance(file.c_str(), 0), 1);
    EXPECT_NE(t.id, 0u);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(t.id));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(textureImage(GL_RGBA, 4), (Bytes{0, 0, 0, 0, 255, 255, 255, 255, 5, 5, 5, 255, 255, 0, 0, 255}));
    for (const GLenum filter : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, filter, &value);
        EXPECT_EQ(value, GL_LINEAR);
    }

    t.Use();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_ALPHA_TEST_FUNC), GL_GREATER);
    GLfloat ref = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_FLOAT_EQ(ref, 0.05f);
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    t.StopUsing();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_ALPHA_TEST) || glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TexturesOnMesa, OpaqueImagesOfOddWidthArriveUnskewed)
{
    for (int width : {1, 3, 5, 4}) {
        Bytes rgb(size_t(width) * 3 * 3);
        for (size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<unsigned char>(7 * i + 1);
        const std::string file = dir.bmp("opaque" + std::to_string(width) + ".bmp", width, 3, rgb);
        cTexture t;
        t.keyAlpha = 1;
        ASSERT_EQ(t.LoadOpaque(file.c_str()), 1);
        EXPECT_EQ(t.keyAlpha, 1) << "the opaque loader leaves the key flag alone";
        glBindTexture(GL_TEXTURE_2D, t.id);
        EXPECT_EQ(textureImage(GL_RGB, 3), rgb) << "width " << width;
        EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 4);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
