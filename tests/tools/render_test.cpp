// vavarizo-render end to end: pictures of small hand-made textures, and sequences.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/png_read.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;
using Rgb = std::array<int, 3>;

constexpr Rgb sky{0, 0, 255}, white{255, 255, 255}, green{0, 160, 0}, red{255, 0, 0};

std::pair<int, std::string> render(const std::vector<std::string>& args, const testutil::ScratchDir& dir)
{
    std::string cmd = std::string("'") + RENDER_TOOL + "'";
    for (const std::string& a : args)
        cmd += " '" + a + "'";
    const int status = testutil::run(cmd + " 2>'" + dir.file("stderr.txt") + "' </dev/null");
    const Bytes err = testutil::readFile(dir.file("stderr.txt"));
    return {status, std::string(err.begin(), err.end())};
}

std::pair<int, std::string> frame(const testutil::ScratchDir& dir, int64_t ms, const std::string& name,
                                  const std::string& size = "320x240")
{
    return render({"--at", std::to_string(ms), "--out", dir.file(name), "--assets", dir.path().string(), "--size", size}, dir);
}

// A w x h texture of `base` whose texels x >= x0, y >= y0 (row 0 at the bottom) are black.
Bytes texture(int w, int h, Rgb base, int x0 = 99, int x1 = 99, int y0 = 0)
{
    Bytes rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool key = x >= x0 && x < x1 && y >= y0;
            rgb.insert(rgb.end(), {uint8_t(key ? 0 : base[0]), uint8_t(key ? 0 : base[1]), uint8_t(key ? 0 : base[2])});
        }
    return rgb;
}

// Vehicle frames white with a see-through patch at the upper left, grass green with a
// see-through band over its right part (from s = 11/16), the lamp red, the cow white.
void writeScene(const testutil::ScratchDir& dir)
{
    for (const char* name : {"morvask.bmp", "liten.bmp", "stor.bmp", "hal.bmp"})
        dir.bmp(name, 16, 8, texture(16, 8, white, 0, 6, 4));
    dir.bmp("grass.bmp", 16, 4, texture(16, 4, green, 11, 16));
    dir.bmp("lampa.bmp", 4, 4, texture(4, 4, red));
    dir.bmp("kossa.bmp", 8, 8, texture(8, 8, white));
}

// Where a point of the scene lands in a 320 x 240 picture (rows from the top) under the demo's
// 45-degree perspective.
std::array<int, 2> pixel(double x, double y, double z)
{
    const double half = std::tan(22.5 * M_PI / 180) * -z;
    return {int((x / (half * 4 / 3) + 1) / 2 * 320), int((1 - y / half) / 2 * 240)};
}

// At t = 0 the vehicle spans x 0 to 0.5 and y -0.37 to -0.12 on the plane z = -1; the grass
// strip y -0.45 to -0.25, opaque left of x = 0.25. At 34 s the lamp shows in front.
TEST(Render, LayersSpritesByDrawingOrderAndKeyColour)
{
    testutil::ScratchDir dir;
    writeScene(dir);
    const double lampY = -0.37 + std::sin(34000 / 20.0) * 0.01 + 0.15 + 0.025;
    const struct { const char* what; int ms; std::array<int, 2> at; Rgb colour; } cases[] = {
        {"sky where nothing is drawn", 0, pixel(-0.3, 0.2, -1), sky},
        {"sky through the vehicle's black texels", 0, pixel(0.1, -0.18, -1), sky},
        {"the vehicle's opaque texels", 0, pixel(0.4, -0.18, -1), white},
        {"grass in front of the vehicle's lower part", 0, pixel(0.1, -0.3, -1), green},
        {"the vehicle through black grass texels", 0, pixel(0.4, -0.3, -1), white},
        {"the lamp before it is lit", 33000, pixel(0.215, lampY, -0.9), white},
        {"the lit lamp", 34000, pixel(0.215, lampY, -0.9), red},
    };
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.ms) + ".png";
        if (!fs::exists(dir.file(name))) {
            ASSERT_EQ(frame(dir, c.ms, name), std::make_pair(0, std::string())) << "no clean run at " << c.ms;
        }
        const testutil::Picture p = testutil::readPng(dir.file(name));
        ASSERT_EQ(p.width, 320);
        EXPECT_EQ(p.at(c.at[0], c.at[1]), c.colour) << c.what;
    }
}

TEST(Render, SameArgumentsGiveTheSameBytesAndSequencesMatchSingleFrames)
{
    testutil::ScratchDir dir;
    writeScene(dir);
    const auto single = [&](int64_t ms, const std::string& name) {
        EXPECT_EQ(frame(dir, ms, name, "96x72").first, 0);
        return testutil::readFile(dir.file(name));
    };
    const Bytes once = single(44900, "a.png");
    ASSERT_FALSE(once.empty());
    EXPECT_EQ(single(44900, "b.png"), once);
    EXPECT_EQ(single(-5000, "before.png"), single(0, "zero.png")) << "any t below 0 shows t = 0";

    // 100 ms at 30 frames per second: three frames, at 44900, 44933 and 44966 ms.
    const std::string seq = dir.file("seq");
    const auto [status, err] = render({"--from", "44900", "--to", "45000", "--fps", "30", "--out-dir", seq,
                                       "--assets", dir.path().string(), "--size", "96x72"}, dir);
    ASSERT_EQ(status, 0) << err;
    EXPECT_EQ(testutil::readFile(seq + "/frame-000000.png"), once);
    EXPECT_EQ(testutil::readFile(seq + "/frame-000002.png"), single(44966, "c.png"));
    EXPECT_NE(testutil::readFile(seq + "/frame-000002.png"), single(44967, "d.png")) << "the cow moves every ms";
    EXPECT_FALSE(fs::exists(seq + "/frame-000003.png"));
}

}  // namespace
