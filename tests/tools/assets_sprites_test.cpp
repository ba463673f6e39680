// The seven pictures: what the files hold, read back by two independent decoders, and what the
// show needs of the art (key only outside it, where the vehicle stands, the lamp's spot, ...).
#include "assets_support.h"

#include "image/dib.h"
#include "tools/assets/sprites.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>

namespace {

using namespace assets_test;
using art::Sprite;

const std::map<std::string, Sprite>& sprites()
{
    static const std::map<std::string, Sprite> all = [] {
        std::map<std::string, Sprite> m;
        for (Sprite& s : art::makeSprites())
            m.emplace(s.file, std::move(s));
        return m;
    }();
    return all;
}

struct View {
    const Sprite& s;
    const unsigned char* at(int x, int y) const { return &s.rgb[(static_cast<size_t>(y) * s.width + x) * 3]; }
    bool key(int x, int y) const { return at(x, y)[0] == 0 && at(x, y)[1] == 0 && at(x, y)[2] == 0; }
    // The box holding all the art: lowest and highest column, lowest and highest row (from the bottom).
    std::array<int, 4> artBox() const
    {
        std::array<int, 4> box{s.width, -1, s.height, -1};
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                if (!key(x, y))
                    box = {std::min(box[0], x), std::max(box[1], x), std::min(box[2], y), std::max(box[3], y)};
        return box;
    }
};

const char* const kFiles[] = {"grass.bmp", "morvask.bmp", "liten.bmp", "stor.bmp", "lampa.bmp", "kossa.bmp", "hal.bmp"};
const char* const kVehicle[] = {"morvask.bmp", "liten.bmp", "stor.bmp", "hal.bmp"};

// Power-of-two sides for the textures; the quads' proportions: the vehicle 2:1, lamp and cow square.
TEST(Sprites, AllSevenWithPowerOfTwoSidesInTheirQuadsProportions)
{
    ASSERT_EQ(sprites().size(), 7u);
    for (const char* f : kFiles) {
        SCOPED_TRACE(f);
        ASSERT_TRUE(sprites().count(f));
        const Sprite& s = sprites().at(f);
        EXPECT_GT(s.width, 1);
        EXPECT_GT(s.height, 1);
        EXPECT_EQ(s.width & (s.width - 1), 0);
        EXPECT_EQ(s.height & (s.height - 1), 0);
        EXPECT_EQ(s.rgb.size(), static_cast<size_t>(s.width) * s.height * 3);
    }
    for (const char* f : kVehicle)
        EXPECT_EQ(sprites().at(f).width, 2 * sprites().at(f).height) << f;
    for (const char* f : {"lampa.bmp", "kossa.bmp"})
        EXPECT_EQ(sprites().at(f).width, sprites().at(f).height) << f;
}

// The show keys out pure black only, so art must never touch it and should not come close
// (a near-black edge reads as a dirty fringe and vanishes under a tolerant key); the key
// surrounds the art and never shows through it.
TEST(Sprites, KeyOnlyAroundTheArt)
{
    for (const char* f : kFiles) {
        SCOPED_TRACE(f);
        const View v{sprites().at(f)};
        const int w = v.s.width, h = v.s.height;
        size_t art = 0, dark = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!v.key(x, y)) {
                    const unsigned char* p = v.at(x, y);
                    ++art;
                    dark += (p[0] < 8 || p[1] < 8 || p[2] < 8);
                }
        EXPECT_GT(art, 0u);
        EXPECT_EQ(dark, 0u);
        // The quads stop at t = 0.98: the top 2 % of the rows never reach the screen.
        EXPECT_LT(v.artBox()[3], static_cast<int>(h * 0.98));

        // Key pixels that no path of key pixels joins to the border are holes punched into the
        // art. (Crossing grass blades may close in a little sky; the turf is checked below.)
        if (std::string(f) == "grass.bmp")
            continue;
        EXPECT_TRUE(v.key(0, 0) && v.key(w - 1, 0) && v.key(0, h - 1) && v.key(w - 1, h - 1));
        std::vector<char> seen(static_cast<size_t>(w) * h, 0);
        std::vector<std::pair<int, int>> stack;
        for (int x = 0; x < w; ++x)
            stack.insert(stack.end(), {{x, 0}, {x, h - 1}});
        for (int y = 0; y < h; ++y)
            stack.insert(stack.end(), {{0, y}, {w - 1, y}});
        while (!stack.empty()) {
            const auto [x, y] = stack.back();
            stack.pop_back();
            if (x < 0 || y < 0 || x >= w || y >= h || seen[static_cast<size_t>(y) * w + x] || !v.key(x, y))
                continue;
            seen[static_cast<size_t>(y) * w + x] = 1;
            stack.insert(stack.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
        }
        size_t holes = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                holes += v.key(x, y) && !seen[static_cast<size_t>(y) * w + x];
        EXPECT_EQ(holes, 0u);
    }
}

// The grass strip's top edge crosses the vehicle quad 0.12 / 0.25 = 48 % up: the wheels rest on
// that line (reaching a little into the blade tips) and nothing is drawn further below, where the
// opaque grass would hide it and the gaps between blades would show it. Every frame has a body
// where the lit lamp shows, or the lamp would float in the sky.
TEST(Sprites, VehicleFramesStandOnTheGrassLineUnderTheLamp)
{
    for (const char* f : kVehicle) {
        SCOPED_TRACE(f);
        const View v{sprites().at(f)};
        const double line = 0.48 * v.s.height;
        EXPECT_GE(v.artBox()[2], line - 0.03 * v.s.height);
        EXPECT_LE(v.artBox()[2], line + 1);
        EXPECT_GT(v.artBox()[3] - line, 0.3 * v.s.height);

        // The lamp is 0.1 nearer the eye than the vehicle, so on the vehicle's plane it shows
        // 1/0.9 times further out and larger; its middle half must cover vehicle.
        const double cx = (0.19 + 0.025) / 0.9 / 0.5, cy = ((0.15 + 0.025 - 0.37) / 0.9 + 0.37) / 0.25;
        const double halfW = 0.05 / 0.9 / 0.5 / 4, halfH = 0.05 / 0.9 / 0.25 / 4;
        size_t keyed = 0;
        for (int y = int((cy - halfH) * v.s.height); y < int((cy + halfH) * v.s.height); ++y)
            for (int x = int((cx - halfW) * v.s.width); x < int((cx + halfW) * v.s.width); ++x)
                keyed += v.key(x, y);
        EXPECT_EQ(keyed, 0u);
    }

    // Alternating every 100 ms the small and big frames must read as squash and stretch: lower
    // and wider, taller and narrower than the base frame; the final frame is another picture.
    const auto base = View{sprites().at("morvask.bmp")}.artBox(), small = View{sprites().at("liten.bmp")}.artBox(),
               big = View{sprites().at("stor.bmp")}.artBox();
    EXPECT_LT(small[3], base[3] - 8);
    EXPECT_GT(big[3], base[3] + 8);
    EXPECT_GT(small[1] - small[0], base[1] - base[0] + 8);
    EXPECT_LT(big[1] - big[0], base[1] - base[0] - 8);
    EXPECT_NE(sprites().at("hal.bmp").rgb, sprites().at("morvask.bmp").rgb);
}

// The cow walks in from the left facing right: her head is the highest part and on the right.
TEST(Sprites, CowFacesRight)
{
    const View v{sprites().at("kossa.bmp")};
    const int top = v.artBox()[3];
    double sum = 0;
    int n = 0;
    for (int y = top - 20; y <= top; ++y)
        for (int x = 0; x < v.s.width; ++x)
            if (!v.key(x, y))
                sum += x, ++n;
    ASSERT_GT(n, 0);
    EXPECT_GT(sum / n, 0.7 * v.s.width);
}

// The grass tile: opaque turf at the bottom, blades with sky between them at the top, and the
// same picture continuing from its right edge into its left.
TEST(Sprites, GrassTileIsOpaqueBelowGappyAboveAndSeamless)
{
    const View v{sprites().at("grass.bmp")};
    const int w = v.s.width, h = v.s.height;
    const auto keyedIn = [&](int row) {
        int n = 0;
        for (int x = 0; x < w; ++x)
            n += v.key(x, row);
        return n;
    };
    for (int y = 0; y < h / 2; ++y)
        ASSERT_EQ(keyedIn(y), 0) << "row " << y;
    const int upper = static_cast<int>(h * 0.9);
    EXPECT_GT(keyedIn(upper), w / 5) << "sky between the blades";
    EXPECT_LT(keyedIn(upper), w) << "blades reach up";

    int mismatched = 0;
    double colourStep = 0;
    for (int y = 0; y < h; ++y) {
        mismatched += v.key(0, y) != v.key(w - 1, y);
        for (int c = 0; c < 3; ++c)
            colourStep += std::abs(v.at(0, y)[c] - v.at(w - 1, y)[c]);
    }
    EXPECT_LE(mismatched, h / 16);
    EXPECT_LT(colourStep / (3.0 * h), 40.0);
}

// The files, read back by our decoder and by ImageMagick (which hands rows out top first).
TEST(SpriteFiles, BothDecodersReadWhatWasDrawn)
{
    const ScratchDir scratch;
    const fs::path& dir = scratch.path();
    std::vector<Sprite> all;
    for (const auto& [name, s] : sprites())
        all.push_back(s);
    ASSERT_EQ(art::writeSprites(dir.string(), all), "");
    const bool magick = run("command -v convert") == 0;
    setShowErrorBoxes(false);
    for (const char* f : kFiles) {
        SCOPED_TRACE(f);
        const Sprite& s = sprites().at(f);
        std::unique_ptr<ImageRecord, void (*)(ImageRecord*)> img(loadDibImage((dir / f).c_str()), &freeImageRecord);
        ASSERT_NE(img, nullptr);
        ASSERT_EQ(img->width, s.width);
        ASSERT_EQ(img->height, s.height);
        EXPECT_EQ(std::memcmp(img->pixels, s.rgb.data(), s.rgb.size()), 0);
        if (!magick)
            continue;
        const std::vector<unsigned char> top = capture("convert '" + (dir / f).string() + "' -depth 8 rgb:- 2>/dev/null");
        ASSERT_EQ(top.size(), s.rgb.size());
        const size_t stride = static_cast<size_t>(s.width) * 3;
        for (int y = 0; y < s.height; ++y)
            ASSERT_EQ(std::memcmp(&top[(s.height - 1 - y) * stride], &s.rgb[y * stride], stride), 0) << "row " << y;
    }
    setShowErrorBoxes(true);
    if (!magick)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
}

}  // namespace
