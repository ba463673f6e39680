#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;
using Rgb = std::array<int, 3>;

constexpr Rgb sky{0, 0, 255}, white{255, 255, 255}, green{0, 160, 0}, red{255, 0, 0};

struct ToolRun {
    int status;
    std::string err;
};

Bytes fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ToolRun render(const std::vector<std::string>& args, const testutil::ScratchDir& dir)
{
    std::string cmd = quoted(RENDER_TOOL);
    for (const std::string& a : args)
        cmd += " " + quoted(a);
    const std::string errFile = dir.file("stderr.txt");
    cmd += " 2>" + quoted(errFile) + " </dev/null";
    const int raw = std::system(cmd.c_str());
    const Bytes err = fileBytes(errFile);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(err.begin(), err.end())};
}

// One picture of the scene in `dir` at `ms`, written to dir/name.
ToolRun frame(const testutil::ScratchDir& dir, int64_t ms, const std::string& name, const std::string& size)
{
    return render({"--at", std::to_string(ms), "--out", dir.file(name), "--assets", dir.path().string(), "--size", size},
                  dir);
}

struct Picture {
    int width = 0, height = 0;
    Bytes rgb;
    Rgb at(int x, int y) const
    {
        const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

Picture readPng(const std::string& path)
{
    Picture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return p;
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u) << "opaque";
    image.format = PNG_FORMAT_RGB;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr))
        p.width = int(image.width), p.height = int(image.height);
    return p;
}

// A solid texture, or one whose texels in [x0, x1) x [y0, y1) (texel units, row 0 at the
// bottom) take another colour.
Bytes texture(int w, int h, Rgb base, Rgb patch = {}, int x0 = 0, int x1 = 0, int y0 = 0, int y1 = 0)
{
    Bytes rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb& c = x >= x0 && x < x1 && y >= y0 && y < y1 ? patch : base;
            rgb.insert(rgb.end(), {uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2])});
        }
    return rgb;
}

// The scene set: vehicle frames white with a black (see-through) patch at the upper left, grass
// green with a black band over its right part (from s = 11/16), the lamp red, the cow white.
void writeScene(const testutil::ScratchDir& dir, bool withVehicle = true)
{
    const Bytes vehicle = texture(16, 8, white, {0, 0, 0}, 0, 6, 4, 8);
    for (const char* name : {"morvask.bmp", "liten.bmp", "stor.bmp", "hal.bmp"})
        if (withVehicle)
            dir.bmp(name, 16, 8, vehicle);
    dir.bmp("grass.bmp", 16, 4, texture(16, 4, green, {0, 0, 0}, 11, 16, 0, 4));
    dir.bmp("lampa.bmp", 4, 4, texture(4, 4, red));
    dir.bmp("kossa.bmp", 8, 8, texture(8, 8, white));
}

// Where a point of the scene lands in a W x H picture (rows from the top) under the demo's
// 45-degree perspective.
std::array<int, 2> pixel(double x, double y, double z, int w, int h)
{
    const double half = std::tan(22.5 * M_PI / 180) * -z;
    const double ndcX = x / (half * w / h), ndcY = y / half;
    return {int((ndcX + 1) / 2 * w), int((1 - ndcY) / 2 * h)};
}

TEST(Render, LayersSpritesByDrawingOrderAndKeyColour)
{
    testutil::ScratchDir dir;
    writeScene(dir);
    const ToolRun run = frame(dir, 0, "t0.png", "320x240");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Picture p = readPng(dir.file("t0.png"));
    ASSERT_EQ(p.width, 320);
    ASSERT_EQ(p.height, 240);
    // At t = 0 the vehicle spans x 0 to 0.5 and y -0.37 to -0.12 on the plane z = -1; the grass
    // strip y -0.45 to -0.25, opaque left of x = 0.25 and see-through right of it.
    const struct { const char* what; double x, y; Rgb colour; } cases[] = {
        {"sky where nothing is drawn", -0.3, 0.2, sky},
        {"sky above the vehicle", 0.25, 0.0, sky},
        {"sky through the vehicle's black texels", 0.1, -0.18, sky},
        {"the vehicle's opaque texels", 0.4, -0.18, white},
        {"grass in front of the vehicle's lower part", 0.1, -0.3, green},
        {"the vehicle through black grass texels", 0.4, -0.3, white},
        {"grass where no vehicle is", -0.3, -0.3, green},
    };
    for (const auto& c : cases) {
        const auto [px, py] = pixel(c.x, c.y, -1, p.width, p.height);
        EXPECT_EQ(p.at(px, py), c.colour) << c.what << " at pixel " << px << "," << py;
    }
}

TEST(Render, LampShowsInFrontWhileLit)
{
    testutil::ScratchDir dir;
    writeScene(dir);
    // At 34000 the bounce is sin(1700) * 0.01, so the lamp's centre sits at this height.
    const double dy = std::sin(34000 / 20.0) * 0.01;
    const auto [lx, ly] = pixel(0.19 + 0.025, -0.37 + dy + 0.15 + 0.025, -0.9, 320, 240);
    for (const int ms : {33000, 34000, 40000}) {
        const std::string name = "lamp" + std::to_string(ms) + ".png";
        ASSERT_EQ(frame(dir, ms, name, "320x240").status, 0);
        const Picture p = readPng(dir.file(name));
        ASSERT_EQ(p.width, 320);
        EXPECT_EQ(p.at(lx, ly), ms == 34000 ? red : white) << "t = " << ms;
    }
}

TEST(Render, SameArgumentsGiveTheSameBytesAndSequencesMatchSingleFrames)
{
    testutil::ScratchDir dir;
    writeScene(dir);
    const std::string assets = dir.path().string();
    const auto single = [&](int64_t ms, const std::string& name) {
        EXPECT_EQ(frame(dir, ms, name, "96x72").status, 0);
        return fileBytes(dir.file(name));
    };
    const Bytes once = single(44900, "a.png");
    ASSERT_FALSE(once.empty());
    EXPECT_EQ(single(44900, "b.png"), once);
    EXPECT_EQ(single(-5000, "before.png"), single(0, "zero.png")) << "any t below 0 shows t = 0";
    EXPECT_FALSE(single(INT32_MAX, "late.png").empty());

    // 100 ms at 30 frames per second: three frames, at 44900, 44933 and 44966 ms.
    const std::string seq = dir.file("seq");
    const ToolRun run = render(
        {"--from", "44900", "--to", "45000", "--fps", "30", "--out-dir", seq, "--assets", assets, "--size", "96x72"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fileBytes(seq + "/frame-000000.png"), once);
    EXPECT_EQ(fileBytes(seq + "/frame-000002.png"), single(44966, "c.png"));
    EXPECT_NE(fileBytes(seq + "/frame-000002.png"), single(44967, "d.png")) << "the cow moves every ms";
    EXPECT_FALSE(fs::exists(seq + "/frame-000003.png"));
}

TEST(Render, MissingTexturesAreReportedOnceAndTheFrameIsStillDrawn)
{
    testutil::ScratchDir dir;
    writeScene(dir, false);
    const ToolRun run = frame(dir, 0, "partial.png", "160x120");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "morvask.bmp: Could Not Load Texture.\nliten.bmp: Could Not Load Texture.\n"
              "stor.bmp: Could Not Load Texture.\nhal.bmp: Could Not Load Texture.\n");
    const Picture p = readPng(dir.file("partial.png"));
    ASSERT_EQ(p.width, 160);
    for (const auto& [y, colour] : {std::pair{0.2, sky}, std::pair{-0.3, green}}) {
        const auto [px, py] = pixel(-0.3, y, -1, 160, 120);
        EXPECT_EQ(p.at(px, py), colour);
    }
}

TEST(Render, MusicThatCannotBeWrittenIsAFailure)
{
    testutil::ScratchDir dir;
    writeScene(dir);
    const ToolRun run = render({"--from", "0", "--to", "40", "--fps", "25", "--out-dir", dir.file("frames"), "--audio",
                                dir.file("music.wav"), "--assets", dir.path().string(), "--size", "32x24"},
                               dir);
    EXPECT_EQ(run.status, 1) << "no module in the assets folder";
    EXPECT_NE(run.err.find("music"), std::string::npos) << run.err;
}

#ifdef MUSIC_TOOL
TEST(Render, SequenceWithMusicWritesTheSameSpanAsCdQualityWav)
{
    testutil::ScratchDir dir;
    writeScene(dir);
    ASSERT_EQ(std::system((quoted(MUSIC_TOOL) + " " + quoted(dir.path().string()) + " >/dev/null").c_str()), 0);
    const std::string wav = dir.file("music.wav");
    const ToolRun run = render({"--from", "1000", "--to", "1500", "--fps", "10", "--out-dir", dir.file("frames"),
                                "--audio", wav, "--assets", dir.path().string(), "--size", "32x24"},
                               dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(dir.file("frames/frame-000004.png")));
    EXPECT_FALSE(fs::exists(dir.file("frames/frame-000005.png")));
    // The layout of the file is the music layer's; here: the span's half second at 44.1 kHz, stereo, 16 bits.
    const Bytes b = fileBytes(wav);
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(b.size(), 44u + 500 * 441 / 10 * 4) << "half a second";
}
#endif

TEST(Render, BadArgumentsExitWithUsage)
{
    testutil::ScratchDir dir;
    const std::string png = dir.file("x.png");
    const std::string d = dir.file("d");
    const std::vector<std::vector<std::string>> cases = {
        {}, {"--at", "0"}, {"--out", png}, {"--at"}, {"stray"},
        {"--at", "12ms", "--out", png}, {"--at", "", "--out", png}, {"--at", "2147483648", "--out", png},
        {"--at", "0", "--out", png, "--size", "0x10"}, {"--at", "0", "--out", png, "--size", "640"},
        {"--at", "0", "--out", png, "--size", "64x48x2"}, {"--at", "0", "--out", png, "--bogus", "1"},
        {"--at", "0", "--out", png, "--audio", dir.file("a.wav")}, {"--at", "0", "--out", png, "--from", "0"},
        {"--from", "0", "--to", "100", "--out-dir", d}, {"--from", "0", "--to", "100", "--fps", "0", "--out-dir", d},
        {"--from", "100", "--to", "100", "--fps", "30", "--out-dir", d}, {"--from", "0", "--fps", "30", "--out-dir", d},
    };
    for (const auto& args : cases) {
        std::string line;
        for (const auto& a : args)
            line += a + " ";
        const ToolRun run = render(args, dir);
        EXPECT_EQ(run.status, 2) << line;
        EXPECT_NE(run.err.find("usage: vavarizo-render --at MS --out FILE.png"), std::string::npos) << line << run.err;
        EXPECT_FALSE(fs::exists(png)) << line;
        EXPECT_FALSE(fs::exists(d)) << line;
    }
}

}  // namespace
