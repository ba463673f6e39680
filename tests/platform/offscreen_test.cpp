#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/offscreen.h"

namespace {

TEST(Offscreen, ReadsBackTheFrameTopRowFirst)
{
    const auto gl = plat::OffscreenGL::create(6, 4);
    ASSERT_TRUE(gl);
    EXPECT_EQ(gl->width(), 6);
    EXPECT_EQ(gl->height(), 4);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);

    // Blue everywhere, then red over the bottom row only.
    glViewport(0, 0, 6, 4);
    glClearColor(0, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 6, 1);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    const auto rgb = gl->readRgb();
    ASSERT_EQ(rgb.size(), 6u * 4u * 3u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const unsigned char* p = &rgb[(y * 6 + x) * 3];
            const bool bottom = y == 3;
            EXPECT_EQ(p[0], bottom ? 255 : 0) << x << "," << y;
            EXPECT_EQ(p[1], 0) << x << "," << y;
            EXPECT_EQ(p[2], bottom ? 0 : 255) << x << "," << y;
        }
    GLint packAlignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    EXPECT_EQ(packAlignment, 4) << "read-back leaves the pack state as it found it";
}

TEST(Offscreen, RefusesAnEmptySizeAndCanBeMadeAgain)
{
    std::string error;
    EXPECT_FALSE(plat::OffscreenGL::create(0, 10, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(plat::OffscreenGL::create(10, -1));
    for (int round = 0; round < 2; ++round) {
        const auto gl = plat::OffscreenGL::create(3, 3, &error);
        ASSERT_TRUE(gl) << error;
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_EQ(gl->readRgb()[1], 255);
    }
}

}  // namespace
