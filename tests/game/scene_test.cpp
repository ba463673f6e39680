#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/clock.h"
#include "game/scene.h"
#include "game/textures.h"
#include "tests/support/fake_music.h"
#include "tests/support/gl_recorder.h"

using namespace zkl;

namespace {

// The scene set; texture name i + 1 is drawn as letter i.
cTexture* const kSet[] = {&demo::Grass, &demo::Morvask, &demo::Stor, &demo::Liten,
                          &demo::Lampa, &demo::Kossa,   &demo::Hal};
const char kLetters[] = "gmslakh";

using Args = std::vector<double>;

struct Quad {
    std::vector<Args> moves;    // glTranslatef / glRotatef arguments since the last glLoadIdentity
    std::vector<Args> corners;  // glTexCoord2f and glVertex3d arguments
};

// A frame drawn at `ms`, replayed from its GL calls. `sprites` has the bound texture's letter
// per quad and '|' per end of texturing.
struct Frame {
    std::vector<Quad> quads;
    std::string sprites;
};

Frame drawAt(int32_t ms)
{
    for (uint32_t i = 0; i < 7; ++i)
        kSet[i]->id = i + 1;
    fakemusic::reset();
    fakemusic::state().timeMs = ms;
    demo::mod = static_cast<MusicModule*>(const_cast<void*>(fakemusic::loadedModule()));
    glrec::reset();
    EXPECT_EQ(demo::DrawGLScene(), 1);
    EXPECT_EQ(glrec::calls().at(0).name, "glClear");
    Frame f;
    GLuint bound = 0;
    std::vector<Args> moves = {{-1}};  // what the last frame left on the matrix, until a glLoadIdentity
    for (const GlCall& c : glrec::calls()) {
        if (c.name == "glLoadIdentity") {
            moves.clear();
        } else if (c.name == "glTranslatef" || c.name == "glRotatef") {
            moves.push_back(c.args);
        } else if (c.name == "glBindTexture") {
            bound = GLuint(c.args[1]);
        } else if (c.name == "glDisable" && c.args[0] == GL_TEXTURE_2D) {
            f.sprites += '|';
        } else if (c.name == "glBegin") {
            f.quads.push_back({moves, {}});
            f.sprites += bound >= 1 && bound <= 7 ? kLetters[bound - 1] : '?';
        } else if (c.name == "glTexCoord2f" || c.name == "glVertex3d") {
            f.quads.back().corners.push_back(c.args);
        }
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

// The vehicle in its frame (m, s, l, h) with the lamp (a) on it without a stop, the three grass
// tiles, the cow: at the edges of their windows and the tenths of a second.
TEST(Frame, SpritesFollowTheWindows)
{
    const struct { int32_t ms; const char* sprites; } cases[] = {
        {INT32_MIN, "m|ggg|"}, {0, "m|ggg|"},       {100, "l|ggg|"},     {3999, "l|ggg|"},
        {4000, "m|ggg|"},      {4100, "s|ggg|"},    {4200, "m|ggg|"},    {13300, "m|ggg|"},
        {13301, "s|ggg|"},
        {33000, "m|ggg|"},     {33001, "ma|ggg|"},  {39999, "ma|ggg|"},  {40000, "m|ggg|"},
        {42000, "m|ggg|"},     {42001, "m|ggg|k|"}, {60999, "l|ggg|k|"}, {61000, "h|ggg|k|"},
        {62100, "s|ggg|k|"},   {65000, "h|ggg|k|"}, {INT32_MAX, "h|ggg|k|"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(drawAt(c.ms).sprites, c.sprites) << "t = " << c.ms;

    EXPECT_EQ(drawAt(36100).quads.at(1).corners, quad(0, 0, 0.05, 0.05));
    EXPECT_EQ(drawAt(42001).quads.at(4).corners, quad(0, 0, 0.25, 0.25));
}

// The vehicle's loop and bounce (quad 0), the lamp on it (1), the grass strip's three scroll
// regimes (3, the last tile, carries all three moves), the cow walking in and knocked away (4).
TEST(Frame, SpritesMoveWithTheClock)
{
    const Args place = move(0, -0.37f, -1), slide = move(-1.2f, 0, 0);
    const auto grass = [&](float x0) { return std::vector<Args>{move(x0, 0, -1), slide, slide}; };
    const struct { int32_t ms; size_t quad; std::vector<Args> moves; } cases[] = {
        {5000, 0, {place}},
        {5001, 0, {place, move(0, -0.009572707f, 0)}},
        {8000, 0, {place}},
        {13501, 0, {place, move(0, 0.0038242606f, 0)}},
        {46000, 0, {place, move(0, 0.003468191f, 0)}},
        {47500, 0, {{540, 0, 0, 1}, place, move(0, -0.00044031873f, 0)}},
        {49000, 0, {place, move(0, -0.0042799197f, 0)}},
        {36100, 1, {place, move(0, 0.00988008361f, 0), move(0.19f, 0.15f, 0.1f)}},
        {INT32_MIN, 3, grass(0)},
        {18000, 3, grass(0)},
        {18001, 3, grass(0.0060000005f)},
        {24999, 3, grass(542 / 666.6666f)},
        {30000, 3, grass(0.75000006f)},
        // Beyond the 14 days where t * 1.75 leaves the int range the strip keeps scrolling.
        {1234567891, 3, grass(209 / 666.6666f)},
        {INT32_MAX, 3, grass(0.573f)},
        {42001, 4, {move(-3.249f, -0.37f, -1)}},
        {45000, 4, {move(-0.25f, -0.37f, -1)}},
        {45001, 4, {move(-0.002f, -0.002f, 0), move(-0.249f, -0.37f, -1)}},
    };
    for (const auto& c : cases) {
        const std::vector<Args> got = drawAt(c.ms).quads.at(c.quad).moves;
        ASSERT_EQ(got.size(), c.moves.size()) << "t = " << c.ms;
        for (size_t i = 0; i < got.size(); ++i)
            for (size_t k = 0; k < c.moves[i].size(); ++k)
                EXPECT_NEAR(got[i].at(k), c.moves[i].at(k), 1e-6) << "t = " << c.ms << ", move " << i;
    }
    glrec::reset();
    demo::DrawTheGrass(1600 + 799);
    EXPECT_EQ(glrec::named("glTranslatef").at(0).args, move(1.1985f, 0, -1)) << "the strip repeats every 800";
}

}  // namespace
