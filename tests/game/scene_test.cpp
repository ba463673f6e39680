#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game/clock.h"
#include "game/scene.h"
#include "game/textures.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_music.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"

using namespace zkl;

namespace {

// Texture names handed to the scene set, so a bind says which sprite is drawn.
enum Name : int { GRASS = 11, MORVASK, STOR, LITEN, LAMPA, KOSSA, HAL };

using Args = std::vector<double>;

struct Quad {
    GLuint texture = 0;
    bool texturing = false, alphaTest = false, blend = false;
    std::vector<Args> moves;  // glTranslatef / glRotatef arguments since the last glLoadIdentity
    std::vector<Args> corners;  // glTexCoord2f and glVertex3d arguments
};

// A frame drawn at `ms`, replayed against the GL state the scene touches.
struct Frame {
    std::vector<Quad> quads;
    std::string flow;  // "U<name>" per bind, "Q" per quad, "S" per end of texturing
    Quad end;          // what is bound and enabled afterwards
};

Frame drawAt(int32_t ms)
{
    for (auto [texture, name] : {std::pair{&demo::Grass, GRASS}, {&demo::Morvask, MORVASK}, {&demo::Stor, STOR},
                                 {&demo::Liten, LITEN}, {&demo::Lampa, LAMPA}, {&demo::Kossa, KOSSA}, {&demo::Hal, HAL}})
        texture->id = uint32_t(name), texture->keyAlpha = 1;
    fakemusic::reset();
    fakemusic::state().timeMs = ms;
    glrec::reset();
    EXPECT_EQ(demo::DrawGLScene(), 1);
    EXPECT_EQ(fakemusic::state().calls, std::vector<std::string>{"MusicGetTime"}) << "one clock sample per frame";
    Frame f;
    Quad& now = f.end;
    now.moves = {{-1}};  // what the last frame left on the matrix, until a glLoadIdentity
    const auto word = [&f](const std::string& w) { f.flow += (f.flow.empty() ? "" : " ") + w; };
    for (const GlCall& c : glrec::calls()) {
        if (c.name == "glLoadIdentity")
            now.moves.clear();
        else if (c.name == "glTranslatef" || c.name == "glRotatef")
            now.moves.push_back(c.args);
        else if (c.name == "glBindTexture")
            now.texture = GLuint(c.args[1]), word("U" + std::to_string(now.texture));
        else if (c.name == "glEnable" || c.name == "glDisable") {
            const auto cap = GLenum(c.args[0]);
            (cap == GL_TEXTURE_2D ? now.texturing : cap == GL_ALPHA_TEST ? now.alphaTest : now.blend) = c.name == "glEnable";
            if (cap == GL_TEXTURE_2D && c.name == "glDisable")
                word("S");
        } else if (c.name == "glBegin") {
            f.quads.push_back(now);
            f.quads.back().corners.clear();
        } else if (c.name == "glEnd")
            word("Q");
        else if (c.name == "glTexCoord2f" || c.name == "glVertex3d")
            f.quads.back().corners.push_back(c.args);
    }
    return f;
}

// Texture corners (0,0) (1,0) (1,0.98) (0,0.98) with the quad's corners.
std::vector<Args> quad(double left, double bottom, double right, double top)
{
    const double t = 0.98f;
    return {{0, 0}, {left, bottom, 0}, {1, 0}, {right, bottom, 0}, {1, t}, {right, top, 0}, {0, t}, {left, top, 0}};
}

Args move(float x, float y, float z) { return {x, y, z}; }

TEST(Frame, ActorsComeInOrderEachBindingAndEndingItsTexture)
{
    const struct { int32_t ms; const char* flow; } cases[] = {
        {0, "U12 Q S U11 Q Q Q S"},
        {36100, "U14 Q U15 Q S U11 Q Q Q S"},  // the lamp follows the vehicle without a stop
        {42000, "U12 Q S U11 Q Q Q S"},
        {42001, "U12 Q S U11 Q Q Q S U16 Q S"},
        {100000, "U17 Q S U11 Q Q Q S U16 Q S"},
    };
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        EXPECT_EQ(frame.flow, c.flow) << "t = " << c.ms;
        EXPECT_EQ(glrec::calls().at(0).name, "glClear");
        for (const Quad& q : frame.quads)
            EXPECT_TRUE(q.texturing && q.alphaTest && q.blend) << "t = " << c.ms;
        EXPECT_FALSE(frame.end.texturing || frame.end.alphaTest || frame.end.blend) << "t = " << c.ms;
    }
}

TEST(Vehicle, FrameFollowsTheWindowsAndTheTenthsOfASecond)
{
    const struct { int32_t ms; int texture; } cases[] = {
        {INT32_MIN, MORVASK}, {0, MORVASK},    {100, LITEN},   {3999, LITEN},    {4000, MORVASK},  {4100, STOR},
        {5000, MORVASK},      {5501, LITEN},   {13300, MORVASK}, {13301, STOR},  {18499, MORVASK}, {30100, STOR},
        {60400, MORVASK},     {60500, LITEN},  {60999, LITEN}, {61000, HAL},     {62100, STOR},    {62200, MORVASK},
        {65000, HAL},         {66100, LITEN},  {INT32_MAX, HAL},
    };
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        EXPECT_EQ(frame.quads.at(0).texture, GLuint(c.texture)) << "t = " << c.ms;
        EXPECT_EQ(frame.quads[0].corners, quad(0, 0, 0.5, 0.25));
    }
}

TEST(Vehicle, LoopAndBounceMoveIt)
{
    const Args place = move(0.0f, -0.37f, -1.0f);
    const struct { int32_t ms; std::vector<Args> moves; } cases[] = {
        {5000, {place}},
        {5001, {place, move(0, -0.009572707f, 0)}},
        {8000, {place}},
        {13501, {place, move(0, 0.0038242606f, 0)}},
        {46000, {place, move(0, 0.003468191f, 0)}},
        {47500, {{540, 0, 0, 1}, place, move(0, -0.00044031873f, 0)}},
        {48999, {{719.88f, 0, 0, 1}, place, move(0, -0.004726274f, 0)}},
        {49000, {place, move(0, -0.0042799197f, 0)}},
    };
    for (const auto& c : cases) {
        const std::vector<Args> got = drawAt(c.ms).quads.at(0).moves;
        ASSERT_EQ(got.size(), c.moves.size()) << "t = " << c.ms;
        for (size_t i = 0; i < got.size(); ++i)
            for (size_t k = 0; k < got[i].size(); ++k)
                EXPECT_NEAR(got[i][k], c.moves[i][k], 1e-6) << "t = " << c.ms << ", move " << i;
    }
}

TEST(Lamp, LitStrictlyBetween33And40SecondsOnTheVehicle)
{
    for (const auto& [ms, lit] : {std::pair{33000, false}, {33001, true}, {39999, true}, {40000, false}}) {
        const Frame frame = drawAt(ms);
        ASSERT_EQ(frame.quads.size() > 1 && frame.quads[1].texture == LAMPA, lit) << "t = " << ms;
        if (!lit)
            continue;
        std::vector<Args> want = frame.quads[0].moves;
        want.push_back(move(0.19f, 0.15f, 0.1f));
        EXPECT_EQ(frame.quads[1].moves, want);
        EXPECT_EQ(frame.quads[1].corners, quad(0, 0, 0.05, 0.05));
    }
}

TEST(Grass, ScrollOffsetFollowsTheThreeRegimes)
{
    const struct { int32_t ms; float x0; } cases[] = {
        {INT32_MIN, 0.0f}, {-1, 0.0f}, {18000, 0.0f}, {18001, 0.0060000005f}, {24999, 542 / 666.6666f},
        {25000, 0.82500005f}, {30000, 0.75000006f},
        // Beyond the 14 days where t * 1.75 leaves the int range the strip keeps scrolling.
        {1234567891, 209 / 666.6666f}, {1728000000, 0.0f}, {INT32_MAX, 0.573f},
    };
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        ASSERT_GE(frame.quads.size(), 4u);
        std::vector<Args> want = {move(c.x0, 0, -1)};
        for (int i = 1; i <= 3; ++i, want.push_back(move(-1.2f, 0, 0))) {
            EXPECT_EQ(frame.quads[i].moves, want) << "t = " << c.ms;
            EXPECT_EQ(frame.quads[i].corners, quad(-0.6, -0.45, 0.6, -0.25));
        }
    }
    glrec::reset();
    demo::DrawTheGrass(1600 + 799);
    EXPECT_EQ(glrec::named("glTranslatef").at(0).args, move(1.1985f, 0, -1)) << "the strip repeats every 800";
}

TEST(Cow, WalksInAfter42SecondsThenIsKnockedAway)
{
    const struct { int32_t ms; std::vector<Args> moves; } cases[] = {
        {42000, {}},
        {42001, {move(-3.249f, -0.37f, -1)}},
        {45000, {move(-0.25f, -0.37f, -1)}},
        {45001, {move(-0.002f, -0.002f, 0), move(-0.249f, -0.37f, -1)}},
        {46000, {move(-2, -2, 0), move(0.75f, -0.37f, -1)}},
    };
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        const bool drawn = frame.quads.back().texture == KOSSA;
        ASSERT_EQ(drawn, !c.moves.empty()) << "t = " << c.ms;
        if (!drawn)
            continue;
        EXPECT_EQ(frame.quads.back().moves, c.moves) << "t = " << c.ms;
        EXPECT_EQ(frame.quads.back().corners, quad(0, 0, 0.25, 0.25));
    }
}

// tid is the layer's reading of the loaded module, exact for every int32 (a float would round).
TEST(SceneClock, TidIsTheModulesReadingExactly)
{
    for (const int32_t ms : {68001, 16777217, INT32_MAX}) {
        demo::mod = static_cast<MusicModule*>(const_cast<void*>(fakemusic::loadedModule()));
        drawAt(ms);
        EXPECT_EQ(fakemusic::state().modules.at(0), fakemusic::loadedModule());
        EXPECT_EQ(demo::tid, double(ms));
        EXPECT_EQ(demo::time(20.0), ms / 20.0);
    }
    demo::mod = nullptr;
}

// Each texture loads its own file, keyed, in load order; a missing one is reported once and
// skipped, and the ones after it still load.
TEST(SceneTextures, EachLoadsItsOwnFileKeyedInLoadOrder)
{
    testutil::ScratchDir dir;
    cTexture* const set[] = {&demo::Grass, &demo::Morvask, &demo::Liten, &demo::Stor, &demo::Lampa, &demo::Kossa, &demo::Hal};
    const char* const files[] = {"grass.bmp", "morvask.bmp", "liten.bmp", "stor.bmp", "lampa.bmp", "kossa.bmp", "hal.bmp"};
    for (unsigned char i = 0; i < 7; ++i) {
        if (i != 3)
            dir.bmp(files[i], 1, 1, {i, 9, 9});  // each file one pixel of its own colour
        set[i]->id = 0, set[i]->keyAlpha = 0;
    }
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    glrec::reset();
    fake::resetBoxes();
    demo::LoadSceneTextures();
    std::filesystem::current_path(cwd);
    ASSERT_EQ(fake::boxes().size(), 1u);
    EXPECT_EQ(fake::boxes()[0].caption, "stor.bmp");
    for (unsigned char i = 0; i < 7; ++i) {
        EXPECT_EQ(set[i]->id, i == 3 ? 0u : i < 3 ? i + 1u : i + 0u) << files[i];
        EXPECT_TRUE(i == 3 || (set[i]->keyAlpha == 1 && set[i]->image->pixels[0] == i)) << files[i];
    }
}

}  // namespace
