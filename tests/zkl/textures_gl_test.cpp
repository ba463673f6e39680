// cTexture on a real offscreen Mesa context: what GL actually holds afterwards.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/offscreen.h"
#include "tests/support/scratch_dir.h"
#include "zkl/materials.h"
#include "zkl/textures.h"

using namespace zkl;

namespace {

using Bytes = std::vector<unsigned char>;

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

GLint integer(GLenum pname, GLenum texParameter = 0)
{
    GLint v = 0;
    texParameter ? glGetTexParameteriv(GL_TEXTURE_2D, texParameter, &v) : glGetIntegerv(pname, &v);
    return v;
}

// Black, a blue just below the tolerant key's edge, a grey at it, a blue just off black; bottom
// row first. The exact key takes black alone, the tolerant one channel sums below 25.
TEST(TexturesOnMesa, LoadsLeaveTexturingOffKeepThePictureInGlAndArriveUnskewed)
{
    const auto gl = plat::OffscreenGL::create(8, 8);
    ASSERT_TRUE(gl);
    const testutil::ScratchDir dir;
    const std::string file = dir.bmp("k.bmp", 2, 2, {0, 0, 0, 0, 0, 24, 9, 8, 8, 0, 0, 1});
    const std::string second = dir.bmp("second.bmp", 1, 1, {90, 0, 0});
    const std::pair<int (cTexture::*)(const char*, int32_t), Bytes> cases[] = {
        {&cTexture::LoadMaskedNoTolerance, {0, 0, 0, 0, 0, 0, 24, 255, 9, 8, 8, 255, 0, 0, 1, 255}},
        {&cTexture::LoadMaskedWithTolerance, {0, 0, 0, 0, 0, 0, 24, 0, 9, 8, 8, 255, 0, 0, 1, 0}},
    };
    for (const auto& [load, rgba] : cases) {
        glEnable(GL_TEXTURE_2D);  // as while a frame is drawn
        glEnable(GL_BLEND);
        cTexture t;
        ASSERT_EQ((t.*load)(file.c_str(), 0), 1);
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(t.id));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_ALPHA_TEST) || glIsEnabled(GL_BLEND));
        EXPECT_EQ(integer(0, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(integer(0, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        const GLuint id = t.id;
        ASSERT_EQ((t.*load)(second.c_str(), 0), 1);
        EXPECT_EQ(Bytes(t.image->pixels, t.image->pixels + 4), (Bytes{90, 0, 0, 255}));
        EXPECT_EQ(t.id, id);
        t.Use();
        EXPECT_EQ(textureImage(GL_RGBA, 4), rgba) << "the first picture stays in GL";
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_ALPHA_TEST) && glIsEnabled(GL_BLEND));
        EXPECT_EQ(integer(GL_ALPHA_TEST_FUNC), GL_GREATER);
        GLfloat reference = 0;
        glGetFloatv(GL_ALPHA_TEST_REF, &reference);
        EXPECT_NEAR(reference, 0.05f, 1e-6);
        EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
        t.StopUsing();
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_ALPHA_TEST) || glIsEnabled(GL_BLEND));
    }

    // A brightness-keyed texture: alpha is the channel sum over eight; complete without mipmaps.
    cTexture glow;
    EXPECT_EQ(glow.LoadBrightnessAlpha(dir.file("missing.bmp").c_str()), 0);
    ASSERT_EQ(glow.LoadBrightnessAlpha(dir.bmp("g.bmp", 3, 1, {255, 255, 255, 8, 8, 8, 100, 50, 2}).c_str()), 1);
    glBindTexture(GL_TEXTURE_2D, glow.id);
    EXPECT_EQ(textureImage(GL_RGBA, 4), (Bytes{255, 255, 255, 95, 8, 8, 8, 3, 100, 50, 2, 19}));
    EXPECT_EQ(integer(0, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    glow.Use();
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST) && glIsEnabled(GL_BLEND));

    // Rows of 3-byte pixels are packed: an odd width must not come out skewed. Each upload leaves
    // the caller's unpack alignment as it found it.
    for (const auto& [width, alignment] : {std::pair{1, 2}, {3, 8}, {5, 1}, {4, 4}}) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        glEnable(GL_TEXTURE_2D);
        Bytes rgb(size_t(width) * 3 * 3);
        for (size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<unsigned char>(7 * i + 1);
        cTexture t;
        t.keyAlpha = 1;
        ASSERT_EQ(t.LoadOpaque(dir.bmp("o" + std::to_string(width) + ".bmp", width, 3, rgb).c_str()), 1);
        EXPECT_EQ(t.keyAlpha, 1) << "the opaque loader leaves the key flag alone";
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing waits for Use";
        glBindTexture(GL_TEXTURE_2D, t.id);
        EXPECT_EQ(textureImage(GL_RGB, 3), rgb) << "width " << width;
        EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), alignment);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

using Rgba = std::array<GLfloat, 4>;

Rgba colour()
{
    Rgba v{};
    glGetFloatv(GL_CURRENT_COLOR, v.data());
    return v;
}

// What GL holds after Apply: the colours on the material's face only, then either the opaque state
// or the additive blend with the colour's alpha, which stays until Reset.
TEST(MaterialsOnMesa, ApplySetsTheSurfaceAndTheBlendResetUndoesIt)
{
    const auto gl = plat::OffscreenGL::create(8, 8);
    ASSERT_TRUE(gl);
    const testutil::ScratchDir dir;
    const struct { void (cMaterial::*set)(const float*); GLenum pname; Rgba value; } surface[] = {
        {&cMaterial::SetDiffuse, GL_DIFFUSE, {0.1f, 0.2f, 0.3f, 0.4f}},
        {&cMaterial::SetSpecular, GL_SPECULAR, {0.5f, 0.6f, 0.7f, 0.8f}},
        {&cMaterial::SetAmbient, GL_AMBIENT, {0.15f, 0.25f, 0.35f, 0.45f}},
        {&cMaterial::SetEmission, GL_EMISSION, {0.05f, 0.55f, 0.65f, 0.75f}}};
    Rgba got{}, front{};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, front.data());
    cMaterial m;
    m.face = GL_BACK;
    m.SetShininess(12.5f);  // first: a copy past the specular would land on it
    for (const auto& s : surface)
        (m.*s.set)(s.value.data());
    m.SetColor(0.25f, 0.5f, 0.75f);
    glEnable(GL_BLEND);
    m.Apply();
    for (const auto& s : surface) {
        glGetMaterialfv(GL_BACK, s.pname, got.data());
        EXPECT_EQ(got, s.value) << s.pname;
    }
    glGetMaterialfv(GL_BACK, GL_SHININESS, got.data());
    EXPECT_EQ(got[0], 12.5f);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, got.data());
    EXPECT_EQ(got, front) << "the other face is left alone";
    EXPECT_EQ(colour(), (Rgba{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_BLEND) && !glIsEnabled(GL_TEXTURE_2D));

    // A colour with an alpha, or an alpha alone, blends; a colour without one makes it whole again.
    m.SetColor(0.75f, 0.125f, 0.25f, 0.375f);
    m.Apply();
    EXPECT_EQ(colour(), (Rgba{0.75f, 0.125f, 0.25f, 0.375f}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && !glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
    m.SetColor(0.25f, 0.5f, 0.75f);
    m.SetBlend(true);
    m.Apply();
    EXPECT_TRUE(glIsEnabled(GL_BLEND) && colour()[3] == 1.0f);
    m.SetColor(0.25f, 0.5f, 0.75f);
    m.SetAlpha(0.5f);
    m.Apply();
    EXPECT_EQ(colour()[3], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));

    // A texture is bound once loaded, and a failed load later keeps it; the second is only kept.
    EXPECT_FALSE(m.LoadTexture(dir.file("missing.bmp").c_str()));
    ASSERT_TRUE(m.LoadTexture(dir.bmp("t.bmp", 1, 1, {1, 2, 3}).c_str()));
    EXPECT_TRUE(m.LoadTexture(dir.file("missing.bmp").c_str()));
    EXPECT_FALSE(m.LoadSecondTexture(dir.file("missing.bmp").c_str()));
    ASSERT_TRUE(m.LoadSecondTexture(dir.bmp("u.bmp", 1, 1, {4, 5, 6}).c_str()));
    m.Apply();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(m.texture.id));
    EXPECT_NE(m.texture.id, m.secondTexture.id);

    m.Reset();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_ALPHA_TEST) || glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(colour(), (Rgba{1, 1, 1, 1}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
