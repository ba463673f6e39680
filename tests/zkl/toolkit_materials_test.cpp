#include <gtest/gtest.h>

#include <GL/gl.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/fake_msgbox.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"
#include "zkl/lights.h"
#include "zkl/materials.h"

using namespace zkl;

namespace {

using V = std::vector<double>;

// The log as "name(args)" lines, to compare call sequences in one go.
std::vector<std::string> Sequence()
{
    std::vector<std::string> out;
    std::istringstream lines(glrec::dump());
    for (std::string line; std::getline(lines, line);)
        out.push_back(line);
    return out;
}

const std::string FRONT = std::to_string(GL_FRONT);

class Materials : public ::testing::Test {
protected:
    void SetUp() override
    {
        glrec::reset();
        fake::resetBoxes();
    }
};

TEST_F(Materials, NewMaterialSendsItsDefaultsOpaque)
{
    cMaterial m;
    m.Apply();
    EXPECT_EQ(Sequence(), (std::vector<std::string>{
                              "glMaterialfv(" + FRONT + ", 4609, 1, 1, 1, 1)",
                              "glMaterialfv(" + FRONT + ", 4610, 1, 1, 1, 1)",
                              "glMaterialfv(" + FRONT + ", 4608, 0.5, 0.5, 0.5, 0.5)",
                              "glMaterialfv(" + FRONT + ", 5632, 0, 0, 0, 1)",
                              "glMaterialf(" + FRONT + ", 5633, 50)",
                              "glColor3fv(1, 1, 1)",
                              "glEnable(2929)",
                              "glDisable(3042)",
                          }));
}

TEST_F(Materials, BlendingKeepsAdditiveStateUntilReset)
{
    cMaterial m;
    m.SetColor(0.25f, 0.5f, 0.75f, 0.4f);
    const float glow[4] = {0.1f, 0.2f, 0.3f, 1.0f};
    m.SetEmission(glow);
    m.SetShininess(7.0f);
    m.Apply();
    const std::vector<std::string> applied = Sequence();
    ASSERT_EQ(applied.size(), 9u);
    EXPECT_EQ(applied[0], "glBlendFunc(770, 1)");
    EXPECT_EQ(glrec::calls()[1].args, (V{0.25, 0.5, 0.75, 0.4f}));
    EXPECT_EQ(applied[2], "glDisable(2929)");
    EXPECT_EQ(applied[3], "glEnable(3042)");
    EXPECT_EQ(glrec::calls()[7].args, (V{double(GL_FRONT), double(GL_EMISSION), 0.1f, 0.2f, 0.3f, 1.0}));
    EXPECT_EQ(applied[8], "glMaterialf(" + FRONT + ", 5633, 7)");

    glrec::reset();
    m.Reset();
    EXPECT_EQ(Sequence(), (std::vector<std::string>{"glDisable(3553)", "glDisable(3008)", "glDisable(3042)",
                                                    "glColor3f(1, 1, 1)", "glEnable(2929)", "glDisable(3042)"}));

    // Three components mean opaque: alpha 1 and blending off again.
    m.SetColor(0, 1, 0);
    EXPECT_FALSE(m.blendEnabled);
    EXPECT_EQ(m.colour[3], 1.0f);
    m.SetAlpha(0.25f);
    EXPECT_TRUE(m.blendEnabled);
}

TEST_F(Materials, TextureFlagOnlyEverTurnsOn)
{
    const testutil::ScratchDir scratch;
    const std::string path = scratch.bmp("wood.bmp", 4, 2, std::vector<unsigned char>(4 * 2 * 3, 120));
    cMaterial m;
    EXPECT_FALSE(m.LoadTexture("zkl-no-such-texture.bmp"));
    EXPECT_TRUE(m.LoadTexture(path.c_str()));
    EXPECT_TRUE(m.LoadTexture("zkl-no-such-texture.bmp"));
    EXPECT_FALSE(m.LoadSecondTexture("zkl-no-such-texture.bmp"));
    EXPECT_EQ(fake::boxes().size(), 3u);

    glrec::reset();
    m.Apply();
    ASSERT_GE(glrec::calls().size(), 2u);
    EXPECT_EQ(Sequence()[0], "glEnable(3553)");
    EXPECT_EQ(glrec::calls()[1].args, (V{double(GL_TEXTURE_2D), double(m.texture.id)}));
    EXPECT_NE(m.texture.id, 0u);
}

TEST(Lights, IdsCycleThroughEightAndTheNinthSharesTheFirst)
{
    const int32_t before = lightCounter;
    std::vector<GLenum> ids;
    for (int i = 0; i < 9; ++i)
        ids.push_back(cLight().id);
    EXPECT_EQ(lightCounter, before + 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(ids[i], GL_LIGHT0 + static_cast<GLenum>((before + i) % 8)) << i;
    EXPECT_EQ(ids[8], ids[0]);
}

TEST(Lights, EnableSendsColoursAndPositionThenSwitchesOnAndDisableSwitchesLightingOff)
{
    glrec::reset();
    cLight light;
    const float where[4] = {1, 2, 3, 0};
    const float red[4] = {1, 0, 0, 1};
    light.SetPosition(where);
    light.SetDiffuse(red);
    light.Enable();
    const std::string id = std::to_string(light.id);
    EXPECT_EQ(Sequence(), (std::vector<std::string>{
                              "glLightfv(" + id + ", 4608, 0.5, 0.5, 0.5, 0.5)",
                              "glLightfv(" + id + ", 4609, 1, 0, 0, 1)",
                              "glLightfv(" + id + ", 4611, 1, 2, 3, 0)",
                              "glLightfv(" + id + ", 4610, 1, 1, 1, 1)",
                              "glEnable(" + id + ")",
                              "glEnable(2896)",
                          }));
    glrec::reset();
    light.Disable();
    EXPECT_EQ(Sequence(), (std::vector<std::string>{"glDisable(" + id + ")", "glDisable(2896)"}));
}

}  // namespace
