#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "game/scene.h"
#include "game/textures.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_music.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scratch_dir.h"

using namespace zkl;

namespace {

// Texture names the test hands to the scene set, so a bind says which sprite is drawn.
enum Name : int { GRASS = 11, MORVASK, STOR, LITEN, LAMPA, KOSSA, HAL };

struct Quad {
    GLuint texture = 0;
    bool texturing = false, alphaTest = false, blend = false;
    std::vector<GlCall> transforms;  // matrix calls since the last glLoadIdentity
    std::vector<std::array<double, 2>> st;
    std::vector<std::array<double, 3>> xyz;
};

// What the recorder saw, replayed against a small model of the GL state the scene touches.
struct Frame {
    std::vector<GlCall> calls;
    std::vector<Quad> quads;
    std::string flow;  // "U<name>" per bind, "Q" per quad, "S" per end of texturing
    Quad state;        // what is bound and enabled at the end
};

Frame replay()
{
    Frame f{glrec::calls(), {}, {}, {}};
    Quad& now = f.state;
    auto word = [&f](const std::string& w) { f.flow += (f.flow.empty() ? "" : " ") + w; };
    for (const GlCall& c : f.calls) {
        if (c.name == "glLoadIdentity")
            now.transforms.clear();
        else if (c.name == "glTranslatef" || c.name == "glRotatef")
            now.transforms.push_back(c);
        else if (c.name == "glBindTexture") {
            now.texture = static_cast<GLuint>(c.args[1]);
            word("U" + std::to_string(now.texture));
        } else if (c.name == "glEnable" || c.name == "glDisable") {
            const bool on = c.name == "glEnable";
            const auto cap = static_cast<GLenum>(c.args[0]);
            bool& flag = cap == GL_TEXTURE_2D ? now.texturing : cap == GL_ALPHA_TEST ? now.alphaTest : now.blend;
            flag = on;
            if (cap == GL_TEXTURE_2D && !on)
                word("S");
        } else if (c.name == "glBegin") {
            EXPECT_EQ(c.args[0], GL_QUADS);
            f.quads.push_back(now);
            f.quads.back().st.clear();
            f.quads.back().xyz.clear();
        } else if (c.name == "glEnd") {
            word("Q");
        } else if ((c.name == "glTexCoord2f" || c.name == "glVertex3d") && f.quads.empty()) {
            ADD_FAILURE() << c.name << " before any glBegin";
        } else if (c.name == "glTexCoord2f")
            f.quads.back().st.push_back({c.args[0], c.args[1]});
        else if (c.name == "glVertex3d")
            f.quads.back().xyz.push_back({c.args[0], c.args[1], c.args[2]});
    }
    return f;
}

void giveTexturesNames()
{
    const std::pair<cTexture*, int> set[] = {{&demo::Grass, GRASS}, {&demo::Morvask, MORVASK},
                                             {&demo::Stor, STOR},   {&demo::Liten, LITEN},
                                             {&demo::Lampa, LAMPA}, {&demo::Kossa, KOSSA},
                                             {&demo::Hal, HAL}};
    for (auto [texture, name] : set) {
        texture->id = static_cast<uint32_t>(name);
        texture->keyAlpha = 1;
    }
}

Frame drawAt(int32_t ms)
{
    giveTexturesNames();
    fakemusic::reset();
    fakemusic::state().timeMs = ms;
    glrec::reset();
    EXPECT_EQ(demo::DrawGLScene(), 1);
    return replay();
}

float f(double v) { return static_cast<float>(v); }

GlCall translate(float x, float y, float z) { return {"glTranslatef", {x, y, z}, {}}; }
GlCall rotateZ(float angle) { return {"glRotatef", {angle, 0.0, 0.0, 1.0}, {}}; }

std::string show(const std::vector<GlCall>& calls)
{
    std::ostringstream out;
    out.precision(17);
    for (const GlCall& c : calls) {
        out << c.name << "( ";
        for (double a : c.args)
            out << a << ' ';
        out << ") ";
    }
    return out.str();
}

// Exact comparison: the scene must hand GL the single-precision values, not nearby ones.
void expectCalls(const std::vector<GlCall>& got, const std::vector<GlCall>& want, int32_t ms)
{
    EXPECT_EQ(show(got), show(want)) << "t = " << ms;
}

const std::vector<std::array<double, 2>> spriteTexCoords = {{0, 0}, {1, 0}, {1, f(0.98)}, {0, f(0.98)}};

std::vector<std::array<double, 3>> rect(double left, double bottom, double right, double top)
{
    return {{left, bottom, 0}, {right, bottom, 0}, {right, top, 0}, {left, top, 0}};
}

TEST(Frame, ActorsComeInOrderEachBindingAndEndingItsTexture)
{
    const struct {
        int32_t ms;
        const char* flow;
    } cases[] = {
        {0, "U12 Q S U11 Q Q Q S"},
        {36100, "U14 Q U15 Q S U11 Q Q Q S"},  // the lamp follows the vehicle without a stop
        {42000, "U12 Q S U11 Q Q Q S"},
        {42001, "U12 Q S U11 Q Q Q S U16 Q S"},
        {100000, "U17 Q S U11 Q Q Q S U16 Q S"},
    };
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        EXPECT_EQ(frame.flow, c.flow) << "t = " << c.ms;
        ASSERT_FALSE(frame.calls.empty());
        EXPECT_EQ(frame.calls.front().name, "glClear");
        EXPECT_EQ(frame.calls.front().args, std::vector<double>{GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT});
        EXPECT_EQ(fakemusic::state().calls, std::vector<std::string>{"MusicGetTime"}) << "one clock sample";
        for (const Quad& q : frame.quads) {
            EXPECT_TRUE(q.texturing && q.alphaTest && q.blend) << "t = " << c.ms;
            EXPECT_EQ(q.st, spriteTexCoords);
        }
        EXPECT_FALSE(frame.state.texturing || frame.state.alphaTest || frame.state.blend) << "t = " << c.ms;
        EXPECT_EQ(glrec::count("glPushMatrix") + glrec::count("glMatrixMode"), 0u) << "t = " << c.ms;
    }
}

TEST(Vehicle, FrameFollowsTheWindowsAndTheTenthsOfASecond)
{
    const struct {
        int32_t ms;
        int texture;
    } cases[] = {
        {-1000, MORVASK}, {0, MORVASK},      {1, MORVASK},      {99, MORVASK},     {100, LITEN},
        {199, LITEN},     {200, MORVASK},    {3999, LITEN},     {4000, MORVASK},   {4001, MORVASK},
        {4100, STOR},     {4999, STOR},      {5000, MORVASK},   {5500, MORVASK},   {5501, LITEN},
        {6999, LITEN},    {7000, MORVASK},   {11500, MORVASK},  {11700, LITEN},    {13000, MORVASK},
        {13300, MORVASK}, {13301, STOR},     {13999, STOR},     {14000, MORVASK},  {14100, LITEN},
        {15000, MORVASK}, {17100, LITEN},    {18300, LITEN},    {18499, MORVASK},  {18500, MORVASK},
        {28700, LITEN},   {30000, MORVASK},  {30100, STOR},     {30500, MORVASK},  {36100, LITEN},
        {39000, MORVASK}, {40000, MORVASK},  {40100, LITEN},    {42900, LITEN},    {43000, MORVASK},
        {47000, MORVASK}, {47001, MORVASK},  {47100, STOR},     {49900, STOR},     {50000, MORVASK},
        {51100, LITEN},   {52000, MORVASK},  {54100, STOR},     {58000, MORVASK},  {58500, MORVASK},
        {60400, MORVASK}, {60500, LITEN},    {60999, LITEN},    {61000, HAL},      {62000, HAL},
        {62100, STOR},    {62200, MORVASK},  {65000, HAL},      {66000, HAL},      {66100, LITEN},
        {68000, HAL},     {1000000, HAL},    {INT32_MAX, HAL},  {INT32_MIN, MORVASK},
    };
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        ASSERT_FALSE(frame.quads.empty());
        EXPECT_EQ(frame.quads[0].texture, GLuint(c.texture)) << "t = " << c.ms;
        EXPECT_EQ(frame.quads[0].xyz, rect(0, 0, 0.5, 0.25));
    }
}

TEST(Vehicle, LoopAndBounceTransformItsPlace)
{
    const GlCall place = translate(0.0f, -0.37f, -1.0f);
    const auto bounce = [](int32_t ms) { return translate(0, f(std::sin(ms / 20.0) * 0.01), 0); };
    const struct {
        int32_t ms;
        std::optional<float> angle;
        bool bounces;
    } cases[] = {
        {0, {}, false},        {5000, {}, false},      {5001, {}, true},        {7999, {}, true},
        {8000, {}, false},     {8500, {}, false},      {8501, {}, true},        {11500, {}, false},
        {13500, {}, false},    {13501, {}, true},      {46000, {}, true},       {46001, f(3001.0 / 3000 * 360), true},
        {46750, 450.0f, true}, {47500, 540.0f, true},  {48250, 630.0f, true},   {48999, f(5999.0 / 3000 * 360), true},
        {49000, {}, true},     {INT32_MAX, {}, true},
    };
    for (const auto& c : cases) {
        std::vector<GlCall> want;
        if (c.angle)
            want.push_back(rotateZ(*c.angle));
        want.push_back(place);
        if (c.bounces)
            want.push_back(bounce(c.ms));
        expectCalls(drawAt(c.ms).quads.at(0).transforms, want, c.ms);
    }
}

TEST(Lamp, LitStrictlyBetween33And40SecondsOnTheVehicle)
{
    const struct {
        int32_t ms;
        bool lit;
    } cases[] = {{32999, false}, {33000, false}, {33001, true}, {36100, true}, {39999, true}, {40000, false}};
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        const bool lit = frame.quads.size() > 1 && frame.quads[1].texture == LAMPA;
        ASSERT_EQ(lit, c.lit) << "t = " << c.ms;
        if (!lit)
            continue;
        std::vector<GlCall> want = frame.quads[0].transforms;
        want.push_back(translate(0.19f, 0.15f, 0.1f));
        expectCalls(frame.quads[1].transforms, want, c.ms);
        EXPECT_EQ(frame.quads[1].xyz, rect(0, 0, 0.05, 0.05));
    }
}

TEST(Grass, ScrollOffsetFollowsTheThreeRegimes)
{
    const struct {
        int32_t ms;
        float x0;
    } cases[] = {
        {INT32_MIN, 0.0f},   {-1, 0.0f},           {0, 0.0f},           {17999, 0.0f},
        {18000, 0.0f},       {18001, 0.0060000005f}, {24999, 542 / 666.6666f}, {25000, 0.82500005f},
        {30000, 0.75000006f},
        // Beyond the 14 days where t * 1.75 leaves the int range the strip keeps scrolling.
        {1234567891, 209 / 666.6666f}, {1728000000, 0.0f}, {INT32_MAX, 0.573f},
    };
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        ASSERT_GE(frame.quads.size(), 4u);
        const GlCall step = translate(-1.2f, 0, 0);
        expectCalls(frame.quads[1].transforms, {translate(c.x0, 0, -1)}, c.ms);
        expectCalls(frame.quads[2].transforms, {translate(c.x0, 0, -1), step}, c.ms);
        expectCalls(frame.quads[3].transforms, {translate(c.x0, 0, -1), step, step}, c.ms);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(frame.quads[i].texture, GLuint(GRASS));
            EXPECT_EQ(frame.quads[i].xyz, rect(-0.6, -0.45, 0.6, -0.25));
        }
    }
}

TEST(Grass, StripRepeatsEveryTileWidth)
{
    const auto x0For = [](int Pos) {
        glrec::reset();
        demo::DrawTheGrass(Pos);
        return replay().quads.at(0).transforms.at(0).args.at(0);
    };
    EXPECT_EQ(x0For(800), x0For(0));
    EXPECT_EQ(x0For(1600 + 4), x0For(4));
    EXPECT_EQ(x0For(799), 1.1985f);
}

TEST(Cow, WalksInAfter42SecondsThenIsKnockedAway)
{
    const struct {
        int32_t ms;
        bool drawn;
        float x;
        float k;  // knock-away offset, 0 before 45000
    } cases[] = {
        {INT32_MIN, false, 0, 0},     {0, false, 0, 0},           {41999, false, 0, 0},
        {42000, false, 0, 0},         {42001, true, f(-3.249), 0}, {44448, true, f(2448.0 / 1000 - 3.25), 0},
        {45000, true, -0.25f, 0},     {45001, true, f(3001.0 / 1000 - 3.25), -0.002f},
        {46000, true, 0.75f, -2.0f},  {INT32_MAX, true, f((INT32_MAX - 42000.0) / 1000 - 3.25), f(-(INT32_MAX - 45000.0) / 500)},
    };
    for (const auto& c : cases) {
        const Frame frame = drawAt(c.ms);
        const bool drawn = !frame.quads.empty() && frame.quads.back().texture == KOSSA;
        ASSERT_EQ(drawn, c.drawn) << "t = " << c.ms;
        if (!drawn) {
            // Nothing at all after the grass has ended its texturing.
            EXPECT_EQ(frame.calls.back().name, "glDisable") << "t = " << c.ms;
            EXPECT_EQ(frame.calls.back().args[0], GL_BLEND);
            continue;
        }
        std::vector<GlCall> want;
        if (c.k != 0)
            want.push_back(translate(c.k, c.k, 0));
        want.push_back(translate(c.x, -0.37f, -1));
        expectCalls(frame.quads.back().transforms, want, c.ms);
        EXPECT_EQ(frame.quads.back().xyz, rect(0, 0, 0.25, 0.25));
    }
}

TEST(SceneTextures, EachLoadsItsOwnFileKeyedInLoadOrder)
{
    testutil::ScratchDir dir;
    const struct {
        cTexture* texture;
        const char* file;
        unsigned char red;  // each file is one pixel of its own colour
    } set[] = {                    // in load order
        {&demo::Grass, "grass.bmp", 10}, {&demo::Morvask, "morvask.bmp", 20}, {&demo::Liten, "liten.bmp", 30},
        {&demo::Stor, "stor.bmp", 40},   {&demo::Lampa, "lampa.bmp", 50},     {&demo::Kossa, "kossa.bmp", 60},
        {&demo::Hal, "hal.bmp", 70},
    };
    for (const auto& s : set) {
        dir.bmp(s.file, 1, 1, {s.red, 0, 0});
        s.texture->id = 0;
        s.texture->keyAlpha = 0;
    }
    std::filesystem::remove(dir.file("stor.bmp"));
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    glrec::reset();
    fake::resetBoxes();
    demo::LoadSceneTextures();
    std::filesystem::current_path(cwd);

    // The missing file is reported once and skipped; the ones after it still load, named in load order.
    ASSERT_EQ(fake::boxes().size(), 1u);
    EXPECT_EQ(fake::boxes()[0].caption, "stor.bmp");
    uint32_t next = 1;
    for (const auto& s : set) {
        SCOPED_TRACE(s.file);
        const bool missing = std::string(s.file) == "stor.bmp";
        EXPECT_EQ(s.texture->id, missing ? 0u : next++);
        if (missing)
            continue;
        EXPECT_EQ(s.texture->keyAlpha, 1);
        ASSERT_NE(s.texture->image, nullptr);
        EXPECT_EQ(s.texture->image->pixels[0], s.red);
        EXPECT_EQ(s.texture->image->pixels[3], 255);
    }
}

}  // namespace
